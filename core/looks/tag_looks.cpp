#include "tag_looks.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "tag_bounds.h"
#include "text_util.h"

namespace tessaro {

namespace {

std::string_view trimmed(std::string_view s) {
    return trim_any_of(s, " \t\r\n");
}

// Bytes that end an unquoted word of a condition, as a table: every byte of a word is looked up.
constexpr std::array<bool, 256> WORD_ENDS = [] {
    std::array<bool, 256> table{};
    for (const char c : std::string_view(" \t\r\n&|()!=<>~{}[]'\"")) table[static_cast<unsigned char>(c)] = true;
    return table;
}();

enum class Kind { End, Word, Quoted, Open, Close, Not, Junction, Op };

struct Token {
    Kind kind = Kind::End;
    std::string_view text;  // a word, the inside of quotes, or the operator
};

// The tokens of a condition, with one token of look-ahead.
class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    Token next() {
        const Token token = m_peek ? *m_peek : scan();
        m_peek.reset();
        return token;
    }
    Token peek() {
        if (!m_peek) m_peek = scan();
        return *m_peek;
    }
    // After a word: true when "(" follows, the group then skipped (a function's arguments).
    bool skip_call() {
        if (m_peek) return false;
        std::size_t at = m_at;
        while (at < m_text.size() && (is_blank_tab_or_cr(m_text[at]) || m_text[at] == '\n')) ++at;
        if (at == m_text.size() || m_text[at] != '(') return false;
        m_at = skip_group(at, '(', ')');
        return true;
    }

private:
    Token scan() {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (is_blank_tab_or_cr(c) || c == '\n') {
                ++m_at;
            } else if (c == '{') {
                m_at = skip_group(m_at, '{', '}');  // an action, not the condition
            } else {
                break;
            }
        }
        if (m_at == m_text.size() || m_text[m_at] == '[') return {};  // a type bracket ends it
        const std::size_t start = m_at;
        const char c = m_text[m_at++];
        const char after = m_at < m_text.size() ? m_text[m_at] : '\0';
        switch (c) {
            case '\'':
            case '"': {
                const std::size_t close = m_text.find(c, m_at);
                const std::size_t end = close == std::string_view::npos ? m_text.size() : close;
                const Token quoted{Kind::Quoted, m_text.substr(m_at, end - m_at)};
                m_at = close == std::string_view::npos ? end : close + 1;
                return quoted;
            }
            case '(': return {Kind::Open, "("};
            case ')': return {Kind::Close, ")"};
            case '&':
            case '|': return {Kind::Junction, m_text.substr(start, 1)};
            case '!':
                if (after != '=' && after != '~') return {Kind::Not, "!"};
                ++m_at;
                return {Kind::Op, m_text.substr(start, 2)};
            case '<':
            case '>':
                if (after == '=') ++m_at;
                return {Kind::Op, m_text.substr(start, m_at - start)};
            case '=':
            case '~': return {Kind::Op, m_text.substr(start, 1)};
            default:
                while (m_at < m_text.size() && !WORD_ENDS[static_cast<unsigned char>(m_text[m_at])]) ++m_at;
                // A lone "}" or "]" has nothing to say: it ends no word and starts none.
                if (m_at == start) ++m_at;
                return {Kind::Word, m_text.substr(start, m_at - start)};
        }
    }

    // From an opening byte at `at` to after its closing one, nested pairs and
    // quoted text inside included; the end of the text when it never closes.
    std::size_t skip_group(std::size_t at, char open, char close) const {
        int depth = 0;
        for (; at < m_text.size(); ++at) {
            const char c = m_text[at];
            if (c == '\'' || c == '"') {
                const std::size_t end = m_text.find(c, at + 1);
                if (end == std::string_view::npos) return m_text.size();
                at = end;
            } else if (c == open) {
                ++depth;
            } else if (c == close && --depth == 0) {
                return at + 1;
            }
        }
        return m_text.size();
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::optional<Token> m_peek;
};

bool is_plain_word(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return is_alnum_ascii(c) || c == '_' || c == '-' || static_cast<unsigned char>(c) >= 0x80;
    });
}

// Position just after the group that opens at `at` ("(" or "["), or npos; a "\\" escapes the byte after it.
std::size_t group_end(std::string_view r, std::size_t at) {
    int depth = 0;
    const char open = r[at], close = open == '(' ? ')' : ']';
    for (std::size_t i = at; i < r.size(); ++i) {
        if (r[i] == '\\') {
            ++i;
        } else if (r[i] == open) {
            ++depth;
        } else if (r[i] == close && --depth == 0) {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

// How many parentheses enclose the whole of r, found in one pass: as many as open
// at its start and close at its end, and as the depth inside never falls below.
std::size_t enclosing_parentheses(std::string_view r) {
    std::size_t open = 0, close = 0;
    while (open < r.size() && r[open] == '(') ++open;
    while (close < r.size() - open && r[r.size() - 1 - close] == ')') ++close;
    std::size_t layers = std::min(open, close);
    if (layers == 0) return 0;
    std::size_t depth = open;
    for (std::size_t i = open; i < r.size() - close; ++i) {
        if (r[i] == '\\') {
            ++i;
        } else if (r[i] == '(') {
            ++depth;
        } else if (r[i] == ')') {
            if (depth == 0) return 0;  // unbalanced
            layers = std::min(layers, --depth);
        }
    }
    // The closing run must close what the inside left open, and then the layers.
    return depth == close ? layers : 0;
}

// Anchors, a leading or trailing ".*", and parentheses around it all taken
// off; empty when that takes more rounds than any plain regular expression needs.
std::string_view bare_regex(std::string_view r) {
    constexpr int MOST_ROUNDS = 16;
    for (int round = 0;; ++round) {
        const std::string_view before = r;
        if (r.starts_with('^')) r.remove_prefix(1);
        if (r.starts_with(".*")) r.remove_prefix(2);
        if (r.ends_with('$') && !r.ends_with("\\$")) r.remove_suffix(1);
        if (r.ends_with(".*") && !r.ends_with("\\.*")) r.remove_suffix(2);
        const std::size_t layers = enclosing_parentheses(r);
        r = r.substr(layers, r.size() - 2 * layers);
        if (r == before) return r;
        if (round == MOST_ROUNDS) return {};
    }
}

// The plain words that a regular expression's alternatives stand for.
void regex_words(std::string_view regex, int depth, std::vector<std::string_view>& words) {
    constexpr int MOST_NESTED = 16;  // deeper alternatives are no plain words anyway
    regex = bare_regex(regex);
    std::vector<std::string_view> branches;
    std::size_t start = 0;
    for (std::size_t i = 0; i < regex.size(); ++i) {
        if (regex[i] == '\\') {
            ++i;
        } else if (regex[i] == '(' || regex[i] == '[') {
            const std::size_t end = group_end(regex, i);
            if (end == std::string_view::npos) return;  // unbalanced: no plain word in it
            i = end - 1;
        } else if (regex[i] == '|') {
            branches.push_back(regex.substr(start, i - start));
            start = i + 1;
        }
    }
    if (branches.empty()) {
        if (is_plain_word(regex)) words.push_back(regex);
        return;
    }
    branches.push_back(regex.substr(start));
    if (depth == MOST_NESTED) return;
    for (std::string_view branch : branches) regex_words(branch, depth + 1, words);
}

// The Type= value of the entry whose line starts at `line_start`, and where its Type= line starts:
// the nearest Type= line above, unless a section line ("[_point]", "[end]") comes first.
std::pair<std::string_view, std::size_t> entry_code_above(std::string_view text, std::size_t line_start) {
    while (line_start > 0) {
        const std::size_t end = line_start - 1;  // the line feed of the line above
        const std::size_t feed = end == 0 ? std::string_view::npos : text.rfind('\n', end - 1);
        const std::size_t start = feed == std::string_view::npos ? 0 : feed + 1;
        std::string_view line = text.substr(start, end - start);
        line.remove_prefix(std::min(line.size(), line.find_first_not_of(" \t")));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with('[')) break;
        if (line.size() > 5 && find_ci(line.substr(0, 5), "type=") == 0) return {trimmed(line.substr(5)), start};
        line_start = start;
    }
    return {{}, std::string_view::npos};
}

}  // namespace

std::vector<RuleTag> positive_tags(std::string_view condition, bool bounds) {
    std::vector<RuleTag> tags;
    // A condition asks for a few tags: room for them without moving them as they come.
    tags.reserve(8);
    // Each tag once: a look through the few tags so far, and a set once there are many (one rule may list a hundred
    // thousand alternatives). The key's length first: any byte may stand in a key or a value.
    constexpr std::size_t FEW = 16;
    std::unordered_set<std::string> seen;
    const auto seen_key = [](std::string_view key, std::string_view value, std::string_view op) {
        return std::to_string(key.size()).append(1, ':').append(key).append(op).append(1, ':').append(value);
    };
    const auto fresh = [&](std::string_view key, std::string_view value, std::string_view op) {
        if (tags.size() < FEW)
            return std::none_of(tags.begin(), tags.end(),
                                [&](const RuleTag& t) { return t.key == key && t.value == value && t.op == op; });
        if (seen.empty())
            for (const RuleTag& t : tags) seen.insert(seen_key(t.key, t.value, t.op));
        return seen.insert(seen_key(key, value, op)).second;
    };
    const auto add = [&](std::string_view key, std::string_view value, std::string_view op = "=") {
        key = trimmed(key);
        value = trimmed(value);
        if (!key.empty() && !value.empty() && fresh(key, value, op))
            tags.push_back({std::string(key), std::string(value), std::string(op)});
    };
    Scanner scan(condition);
    // Whether each open parenthesis is negated (through any "!" around it).
    std::vector<bool> negated_groups;
    bool not_pending = false;  // a "!" waits for what it negates
    const auto negated = [&] { return not_pending != (!negated_groups.empty() && negated_groups.back()); };
    for (Token token = scan.next(); token.kind != Kind::End; token = scan.next()) {
        switch (token.kind) {
            case Kind::Not: not_pending = !not_pending; continue;
            case Kind::Open: negated_groups.push_back(negated()); break;
            case Kind::Close:
                if (!negated_groups.empty()) negated_groups.pop_back();
                break;
            case Kind::Word:
            case Kind::Quoted: {
                const bool function = token.kind == Kind::Word && scan.skip_call();
                std::string_view key = token.text;
                if (key.starts_with('$')) key.remove_prefix(1);
                if (scan.peek().kind != Kind::Op) break;
                const std::string_view op = scan.next().text;
                const Kind value_kind = scan.peek().kind;
                if (value_kind != Kind::Word && value_kind != Kind::Quoted) break;
                const std::string_view value = scan.next().text;
                if (function || negated()) break;
                if (op == "=") {
                    add(key, value);
                } else if (op == "~") {
                    std::vector<std::string_view> words;
                    regex_words(trimmed(value), 0, words);
                    for (std::string_view word : words) add(key, word);
                } else if (bounds && is_bound_op(op) && number(trimmed(value))) {
                    add(key, value, op);
                }
                break;
            }
            default: break;
        }
        not_pending = false;
    }
    return tags;
}

bool TagLooks::add_alternatives(std::uint32_t look, std::string_view tags) {
    bool any = false;
    while (!tags.empty()) {
        const std::size_t bar = std::min(tags.find('|'), tags.size());
        std::string_view alternative = tags.substr(0, bar);
        tags.remove_prefix(std::min(bar + 1, tags.size()));
        const auto first = static_cast<std::uint32_t>(m_tags.size());
        bool whole = true;
        while (whole && !alternative.empty()) {
            const std::size_t amp = std::min(alternative.find('&'), alternative.size());
            const std::string_view tag = alternative.substr(0, amp);
            alternative.remove_prefix(std::min(amp + 1, alternative.size()));
            // key=value, or a bound: key<N, key<=N, key>N, key>=N.
            const std::size_t at = std::min(find_any(tag, "<>="), tag.size());
            const std::size_t op_size = at + 1 < tag.size() && tag[at] != '=' && tag[at + 1] == '=' ? 2 : 1;
            const std::string_view op = at == tag.size() ? "=" : tag.substr(at, op_size);
            const std::string_view key = trimmed(tag.substr(0, at));
            const std::string_view value = at == tag.size() ? "" : trimmed(tag.substr(at + op_size));
            whole = !key.empty() && !value.empty() && (op == "=" || number(value));
            if (whole) m_tags.push_back({key, value, op});
        }
        const auto count = static_cast<std::uint32_t>(m_tags.size() - first);
        if (!whole || count == 0) {  // a broken alternative stands for nothing
            m_tags.resize(first);
            continue;
        }
        m_alternatives.push_back({look, first, count});
        any = true;
    }
    return any;
}

void TagLooks::build(std::string_view text) {
    // From tags line to tags line: the rows of the icons between them are never walked.
    std::size_t look_type_line = std::string_view::npos;  // the Type= line of the look added last
    for (std::size_t at = text.find(";tags="); at != std::string_view::npos; at = text.find(";tags=", at + 1)) {
        std::size_t start = at;
        while (start > 0 && (text[start - 1] == ' ' || text[start - 1] == '\t')) --start;
        if (start > 0 && text[start - 1] != '\n') continue;  // inside a line
        const auto [code, type_line] = entry_code_above(text, start);
        if (code.empty()) continue;
        std::string_view line = text.substr(at, std::min(text.find('\n', at), text.size()) - at);
        if (line.back() == '\r') line.remove_suffix(1);
        // A second tags line of an entry adds to its look.
        const bool same_entry = type_line == look_type_line;
        const auto look = static_cast<std::uint32_t>(m_codes.size() - (same_entry ? 1 : 0));
        if (add_alternatives(look, line.substr(6)) && !same_entry) {
            m_codes.emplace_back(code);
            look_type_line = type_line;
        }
    }
    for (std::uint32_t i = 0; i < m_alternatives.size(); ++i) m_by_key[m_tags[m_alternatives[i].first_tag].key].push_back(i);
}

// A rule's tags as the scoring asks for them, by key: a rule of a hundred thousand alternatives costs as many steps.
class TagLooks::RuleTagIndex {
public:
    explicit RuleTagIndex(const std::vector<RuleTag>& tags) {
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const auto [at, fresh] = m_by_key.try_emplace(tags[i].key);
            if (fresh) at->second.first = i;
            if (tags[i].op != "=") {
                if (const std::optional<double> b = number(tags[i].value)) at->second.bounds.emplace_back(tags[i].op, *b);
                continue;
            }
            at->second.star = at->second.star || tags[i].value == "*";
            at->second.values.insert(tags[i].value);
        }
    }
    // True when an earlier tag has the key of tag i.
    bool key_met_before(std::size_t i, const std::string& key) const { return m_by_key.find(key)->second.first != i; }
    // 2 when a tag of the wanted key has its value, 1 when either value is "*", else 0.
    int match(const LookTag& wanted) const {
        const auto hit = m_by_key.find(wanted.key);
        if (hit == m_by_key.end()) return 0;
        const Values& rule = hit->second;
        if (wanted.op != "=") return match_bound(wanted, rule);
        if (rule.values.count(wanted.value) != 0) return 2;
        if (rule.values.empty()) return 0;  // bounds alone
        return rule.star || wanted.value == "*" ? 1 : 0;
    }

private:
    struct Values {
        std::size_t first = 0;  // the first tag of the key
        bool star = false;
        std::unordered_set<std::string_view> values;
        std::vector<std::pair<std::string_view, double>> bounds;  // op, number
    };
    static int match_bound(const LookTag& wanted, const Values& rule) {
        const std::optional<double> limit = number(wanted.value);
        if (!limit) return 0;
        for (const auto& [op, b] : rule.bounds)
            if (implies(op, b, wanted.op, *limit)) return 2;
        for (const std::string_view value : rule.values)
            if (const std::optional<double> x = number(value); x && meets(wanted.op, *limit, *x)) return 2;
        return rule.star ? 1 : 0;
    }
    std::unordered_map<std::string_view, Values> m_by_key;
};

int TagLooks::score(const Alternative& alternative, const RuleTagIndex& rule_tags) const {
    int sum = 0;
    for (std::uint32_t t = alternative.first_tag; t < alternative.first_tag + alternative.tag_count; ++t) {
        const int best = rule_tags.match(m_tags[t]);
        if (best == 0) return 0;
        sum += best;
    }
    return sum;
}

bool TagLooks::exact(const Alternative& alternative, int score) const {
    if (score != 2 * static_cast<int>(alternative.tag_count)) return false;
    for (std::uint32_t t = alternative.first_tag; t < alternative.first_tag + alternative.tag_count; ++t)
        if (m_tags[t].value == "*") return false;
    return true;
}

std::optional<TagMatch> TagLooks::best(const std::vector<RuleTag>& rule_tags) const {
    constexpr std::uint32_t NONE = ~std::uint32_t{0};
    std::uint32_t winner = NONE;
    int winner_score = 0;
    std::vector<std::uint32_t> exact_looks;  // looks with an alternative met value for value
    const RuleTagIndex index(rule_tags);
    for (std::size_t i = 0; i < rule_tags.size(); ++i) {
        const std::string& key = rule_tags[i].key;
        if (index.key_met_before(i, key)) continue;  // its key's alternatives are scored already
        const auto hit = m_by_key.find(key);
        if (hit == m_by_key.end()) continue;
        for (const std::uint32_t a : hit->second) {
            const int s = score(m_alternatives[a], index);
            if (s == 0) continue;
            if (exact(m_alternatives[a], s)) exact_looks.push_back(m_alternatives[a].look);
            const bool better =
                winner == NONE || s > winner_score ||
                (s == winner_score && (m_alternatives[a].tag_count < m_alternatives[winner].tag_count ||
                                       (m_alternatives[a].tag_count == m_alternatives[winner].tag_count && a < winner)));
            if (better) {
                winner = a;
                winner_score = s;
            }
        }
    }
    if (winner == NONE) return std::nullopt;
    const Alternative& won = m_alternatives[winner];
    const bool exact_look = std::find(exact_looks.begin(), exact_looks.end(), won.look) != exact_looks.end();
    TagMatch match{m_codes[won.look], {}, exact_look};
    for (std::uint32_t t = won.first_tag; t < won.first_tag + won.tag_count; ++t)
        match.matched.append(match.matched.empty() ? "" : " ").append(m_tags[t].key).append(m_tags[t].op).append(m_tags[t].value);
    return match;
}

bool tags_agree(std::string_view look, const std::vector<RuleTag>& rule_tags) {
    const auto asked = [&](std::string_view key, std::string_view value) {
        return std::any_of(rule_tags.begin(), rule_tags.end(), [&](const RuleTag& t) {
            return t.op == "=" && t.key == key && (t.value == value || t.value == "*" || value == "*");
        });
    };
    for (std::size_t at = look.find(";tags="); at != std::string_view::npos; at = look.find(";tags=", at + 1)) {
        std::string_view line = look.substr(at + 6);
        line = line.substr(0, find_line_end(line));
        // Alternatives and their tags alike end at "|" or "&".
        while (!line.empty()) {
            const std::size_t end = std::min(find_any(line, "|&"), line.size());
            const std::string_view tag = line.substr(0, end);
            line.remove_prefix(std::min(end + 1, line.size()));
            const std::size_t eq = find_any(tag, "<>=");
            if (eq != std::string_view::npos && tag[eq] == '=' && asked(trimmed(tag.substr(0, eq)), trimmed(tag.substr(eq + 1))))
                return true;
        }
    }
    return false;
}

}  // namespace tessaro
