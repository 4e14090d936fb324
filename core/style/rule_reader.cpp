#include "rule_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "file_io.h"
#include "text_util.h"
#include "type_code.h"

namespace tessaro {

namespace {

constexpr std::size_t NPOS = std::string_view::npos;

// Longer lines are no rules: a condition of a hundred thousand alternatives is a few megabytes.
constexpr std::size_t MAX_LINE_BYTES = 16u << 20;

// A bracket left open is read on into the lines after it, but not forever:
// a stray "[" must not swallow the rest of the file.
constexpr std::size_t MAX_PENDING_LINES = 16;
constexpr std::size_t MAX_PENDING_BYTES = 4096;

// True when a code starts at pos: "0x" in either case, or a digit (mkgmap reads decimal and octal codes too).
bool code_at(std::string_view line, std::size_t pos) {
    return pos < line.size() && line[pos] >= '0' && line[pos] <= '9';
}

// What the scan of a line finds.
struct LineWalk {
    std::size_t cut = 0;       // where a comment starts, or the line's size
    bool open_at_end = false;  // a "[" with nothing but blanks after it
    int depth = 0;             // 1 when an action is open at its end
    char quote = 0;            // the quote open at its end, if any
    std::size_t quote_at = 0;  // where that quote opened
    bool action_cut = false;   // an action was ended before a type bracket
};

// The bytes walk_line stops at; one test passes the others.
constexpr std::array<bool, 256> WALK_STOPS = [] {
    std::array<bool, 256> stops{};
    for (const unsigned char c : std::string_view("\"#'[{}")) stops[c] = true;
    return stops;
}();

// Each byte of the line that matters, left to right: quotes, comments, action braces and type brackets; its brackets
// ("[" and "]", or npos when a comment or the line's end comes first) are added to `brackets`.
LineWalk walk_line(std::string_view line, int depth, std::vector<std::pair<std::size_t, std::size_t>>& brackets) {
    LineWalk walk;
    walk.cut = line.size();
    walk.depth = depth;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (!WALK_STOPS[static_cast<unsigned char>(c)]) continue;
        if (walk.quote != 0) {
            if (c == walk.quote) walk.quote = 0;
            continue;
        }
        if (c == '#') {
            walk.cut = i;
            break;
        }
        if (c == '\'' || c == '"') {
            walk.quote = c;
            walk.quote_at = i;
        }
        // As mkgmap reads an action: its first "}" ends it, a "{" inside is text.
        if (c == '{') walk.depth = 1;
        if (c == '}') walk.depth = 0;
        if (c != '[') continue;
        const std::size_t k = line.find_first_not_of(' ', i + 1);
        if (!code_at(line, k)) {
            if (walk.depth == 0 && (k == NPOS || line[k] == '#')) walk.open_at_end = true;
            continue;
        }
        if (walk.depth > 0) {
            // A type bracket outside quotes is no action's text (mkgmap refuses it): the "}" before it was left out.
            walk.depth = 0;
            walk.action_cut = true;
        }
        // A plain loop: find_first_of asks the C library once for every byte.
        std::size_t close = k;
        while (close < line.size() && line[close] != ']' && line[close] != '#') ++close;
        const bool closed = close < line.size() && line[close] == ']';
        brackets.emplace_back(i, closed ? close : NPOS);
        if (!closed) {
            walk.cut = close;  // a comment or the line's end comes first
            break;
        }
        i = close;
    }
    return walk;
}

// The words that may start a line inside an action or a type bracket that an earlier line opened: mkgmap's commands
// of each kind. A line starting with any other word starts the next rule, and mkgmap refuses the style there.
constexpr std::string_view ACTION_WORDS[] = {"add",  "addaccess", "addlabel", "apply",  "apply_first", "apply_once", "delete",
                                             "deletealltags", "echo", "echotags", "name", "rename", "set", "setaccess"};
constexpr std::string_view BRACKET_WORDS[] = {"continue", "copy", "default_name", "level", "no_propagate", "propagate",
                                              "resolution", "road_class", "road_speed", "with_actions", "withactions"};

// Where the text holds, from `from` on, "[", blanks and a digit: the start of a type bracket; or npos.
std::size_t type_bracket_at(std::string_view text, std::size_t from = 0) {
    for (std::size_t at = text.find('[', from); at != NPOS; at = text.find('[', at + 1))
        if (code_at(text, text.find_first_not_of(' ', at + 1))) return at;
    return NPOS;
}

// True when the line, read on inside a construct, may continue it: a line
// empty but for a comment, one of `words`, or one of the bytes in `marks`.
template <std::size_t N>
bool continues(std::string_view line, const std::string_view (&words)[N], std::string_view marks) {
    const std::size_t i = line.find_first_not_of(' ');
    if (i == NPOS || line[i] == '#' || marks.find(line[i]) != NPOS) return true;
    std::size_t end = i;
    while (end < line.size() && (is_alnum_ascii(line[end]) || line[end] == '_')) ++end;
    return std::find(std::begin(words), std::end(words), line.substr(i, end - i)) != std::end(words);
}

// True when the file holds a type bracket outside comments: a "[" and, after blanks, a digit (quotes and actions are
// not told apart: for a file whose reading found no bracket, this says whether it has any that were hidden).
bool holds_type_brackets(const std::string& path) {
    std::string text;
    std::error_code error;
    read_file(path, text, error);
    enum { TEXT, COMMENT, BRACKET } state = TEXT;
    for (const char c : text) {
        if (c == '\n' || c == '\r') state = TEXT;
        else if (state == COMMENT) continue;
        else if (c == '#') state = COMMENT;
        else if (state == BRACKET && c >= '0' && c <= '9') return true;
        else if (c == '[') state = BRACKET;
        else if (c != ' ' && c != '\t') state = TEXT;
    }
    return false;
}

}  // namespace

std::size_t normalise_rule_text(char* text, std::size_t size) {
    std::size_t read = 0;
    // Where normalising leaves the byte as it is: not a CR or tab, a blank before a blank, tab or CR, nor the "0" of
    // "0 x". Letters and most other bytes come after "0": one test passes them.
    const auto unchanged = [&](std::size_t i) {
        switch (static_cast<unsigned char>(text[i]) > '0' ? 0 : text[i]) {
            case '\r':
            case '\t': return false;
            case ' ': return i + 1 == size || !is_blank_tab_or_cr(text[i + 1]);
            case '0': return i + 2 >= size || text[i + 1] != ' ' || lower_char(text[i + 2]) != 'x';
            default: return true;
        }
    };
    // No byte moves before the first change.
    while (read < size && unchanged(read)) ++read;
    std::size_t write = read;
    while (read < size) {
        if (unchanged(read)) {
            text[write++] = text[read++];
            continue;
        }
        if (text[read] == '0') {  // "0 x": the blank goes
            text[write++] = '0';
            text[write++] = 'x';
            read += 3;
            continue;
        }
        // A run of blanks, tabs and CRs: the CRs go, and of the blanks and tabs (blanks now) every two become one.
        std::size_t blanks = 0;
        for (; read < size && is_blank_tab_or_cr(text[read]); ++read) blanks += text[read] != '\r';
        const std::size_t kept = (blanks + 1) / 2;
        if (kept == 1 && write > 0 && text[write - 1] == '0' && read < size && lower_char(text[read]) == 'x') {
            text[write++] = 'x';
            ++read;
            continue;
        }
        std::memset(text + write, ' ', kept);
        write += kept;
    }
    return write;
}

std::string RuleItem::text() const {
    std::string item;
    item.reserve(after.size() + 2 + before.size());
    item.append(after).append(" @").append(before);
    return item;
}

void RuleReader::start(Items items) {
    close();
    m_items_kind = items;
    // The last file's buffer goes: grown into, it would double for the next larger file.
    std::string().swap(m_text);
    m_normalised = false;
    m_scan = {};
    m_statements.reset();
}

void RuleReader::open(const std::string& path, Items items, bool statements) {
    start(items);
    m_path = path;
    m_closed = false;
    std::error_code error;
    if (!read_file(path, m_text, error)) m_failure = Failure{Failure::Kind::Read, path, 0, error};
    // A file read in part is read as far as it goes; one that could not be opened gives nothing.
    if (m_failure && m_text.empty()) return;
    // A NUL byte is no text (UTF-16 holds one in every ASCII character): the
    // file is named, and what reads as rules all the same is read.
    if (!m_failure && m_text.find('\0') != std::string::npos) m_failure = Failure{Failure::Kind::NotText, path, 0, {}};
    // From the bytes as read, before lines are normalised in place.
    if (statements) m_statements = include_statements(m_text);
    if (items != Items::None) scan_lines();
}

void RuleReader::scan_text(std::string_view text) {
    start(Items::Rules);
    m_path.clear();
    m_text.assign(text);
    scan_lines();
}

std::string_view RuleReader::text() {
    if (!m_normalised) {
        m_text.resize(normalise_rule_text(m_text.data(), m_text.size()));
        m_normalised = true;
    }
    return m_text;
}

// Each line of the text in turn, normalised in place: CR, LF and CR LF each end one.
void RuleReader::scan_lines() {
    char* text = m_text.data();
    const std::size_t size = m_text.size();
    // Every item starts at a "[": room for them all at once, where growing
    // would hold the old and the new array side by side (a large file's peak).
    m_scan.items.reserve(static_cast<std::size_t>(std::count(m_text.begin(), m_text.end(), '[')));
    for (std::size_t start = 0; start < size;) {
        // The first LF, unless a CR comes before it: the C library finds them faster than a loop over a line's bytes.
        const void* feed = std::memchr(text + start, '\n', size - start);
        std::size_t end = feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(feed) - text) : size;
        if (const void* cr = std::memchr(text + start, '\r', end - start))
            end = static_cast<std::size_t>(static_cast<const char*>(cr) - text);
        // A CR right before a line feed ends the same line.
        const bool cr_lf = end + 1 < size && text[end] == '\r' && text[end + 1] == '\n';
        if (end - start > MAX_LINE_BYTES) {
            // A line of megabytes is no rule: named and passed over.
            fault(Warning::Kind::LineTooLong, ++m_scan.line);
        } else {
            scan_line(std::string_view(text + start, normalise_rule_text(text + start, end - start)));
        }
        start = end + (cr_lf ? 2 : 1);
    }
    end_of_text();
}

void RuleReader::scan_line(std::string_view line) {
    ++m_scan.line;
    if (m_scan.pending_quote && type_bracket_at(line.substr(0, line.find(m_scan.quote_char))) != NPOS) {
        // A quote that would take in the type bracket of a later line is a
        // stray one: no value a map maker quotes holds a rule of the next line.
        m_scan.held.emplace_back(line);
        give_up_quote();
        return;
    }
    if (ends_open_construct(line)) flush_pending();
    std::string_view text = line;
    int depth = m_scan.depth;
    if (!m_scan.held.empty()) {
        // Outside a quote, a comment ends the line before the held text reads on.
        Brackets ignored;
        const std::string_view joined = m_scan.pending_quote ? line : line.substr(0, walk_line(line, 0, ignored).cut);
        // One blank where the lines meet, unless one stands there already or the bracket just opened.
        if (!m_scan.pending.empty() && m_scan.pending.back() != ' ' && m_scan.pending.back() != '[' && !joined.starts_with(' '))
            m_scan.pending += ' ';
        m_scan.held_starts.push_back(m_scan.pending.size());
        m_scan.pending.append(joined);
        text = m_scan.pending;
        depth = m_scan.pending_depth;
    }
    Brackets found;
    const LineWalk walk = walk_line(text, depth, found);
    const std::size_t first = m_scan.held.empty() ? m_scan.line : m_scan.pending_first;
    // A quote given up before ends with the line it opened on.
    std::size_t quote_line = m_scan.line;
    if (walk.quote != 0 && !m_scan.held.empty()) {
        // The last line read on that starts before the quote.
        const auto after = std::upper_bound(m_scan.held_starts.begin(), m_scan.held_starts.end(), walk.quote_at);
        quote_line = m_scan.pending_first + static_cast<std::size_t>(after - m_scan.held_starts.begin()) - 1;
    }
    const bool quote_ends_here = walk.quote != 0 && std::ranges::binary_search(m_scan.quotes_given_up, quote_line);
    const bool quote_open = walk.quote != 0 && !quote_ends_here;
    const bool bracket_open = walk.open_at_end || (!found.empty() && found.back().second == NPOS);
    if (quote_open || bracket_open) {
        const bool room = m_scan.held.size() < MAX_PENDING_LINES && text.size() < MAX_PENDING_BYTES;
        if (room || quote_open) {
            hold_line(line, quote_open ? quote_line : 0, walk.open_at_end && (found.empty() || found.back().second != NPOS));
            m_scan.quote_char = walk.quote;
            // Also for the lines read on with this one.
            if (quote_ends_here) m_scan.pending += walk.quote;
        }
        if (room) return;
        if (quote_open) {
            give_up_quote();
            return;
        }
        fault(Warning::Kind::BracketNotClosed, first);
    }
    // Kept: the items are views into it.
    if (!m_scan.held.empty()) text = m_scan.joined.emplace_back(release_held());
    if (walk.action_cut) fault(Warning::Kind::ActionNotClosed, m_scan.depth != 0 ? m_scan.action_line : first);
    finish_line(text.substr(0, walk.cut), first, found, walk.depth);
}

// True when the line shows that the bracket held open before it never closes (a bare "[" is followed by no code, a
// bracket by no type command): the held line is to be read as it stands. An action open since an earlier line that
// the line cannot continue is ended here, and named.
bool RuleReader::ends_open_construct(std::string_view line) {
    if (m_scan.pending_bare) {
        const std::size_t first = line.find_first_not_of(' ');
        return first != NPOS && !code_at(line, first);
    }
    if (!m_scan.held.empty()) {
        if (m_scan.pending_quote || continues(line, BRACKET_WORDS, "]")) return false;
        fault(Warning::Kind::BracketNotClosed, m_scan.pending_first);
        return true;
    }
    if (m_scan.depth != 0 && !continues(line, ACTION_WORDS, "}|;'\"")) {
        fault(Warning::Kind::ActionNotClosed, m_scan.action_line);
        m_scan.depth = 0;
    }
    return false;
}

// Holds the line (alone, or read on with those before it) until the next lines show whether its construct closes;
// `quote_line`: where the quote held open opened, 0 when none is.
void RuleReader::hold_line(std::string_view line, std::size_t quote_line, bool bare) {
    if (m_scan.held.empty()) {
        m_scan.pending.assign(line);
        m_scan.pending_first = m_scan.line;
        m_scan.pending_depth = m_scan.depth;
        m_scan.held_starts.assign(1, 0);
    }
    // Quotes held open one after the other over lines: the first is the stray one.
    if (!m_scan.pending_quote) m_scan.quote_line = quote_line;
    m_scan.held.emplace_back(line);
    m_scan.pending_quote = quote_line != 0;
    m_scan.pending_bare = bare;
}

// A quote that never closes: named, it ends with the line it opened on, and
// the lines held after it are read again on their own.
void RuleReader::give_up_quote() {
    fault(Warning::Kind::QuoteNotClosed, m_scan.quote_line);
    // Each line once, in order: given up from the first line on, a quote opens on a later line each time.
    m_scan.quotes_given_up.insert(std::ranges::upper_bound(m_scan.quotes_given_up, m_scan.quote_line), m_scan.quote_line);
    std::vector<std::string> held = std::move(m_scan.held);
    release_held();
    m_scan.line = m_scan.pending_first - 1;
    m_scan.depth = m_scan.pending_depth;
    // Where a type bracket follows the quote on its line, the quote ends before it: the rule keeps its type.
    std::string& opened = held[m_scan.quote_line - m_scan.pending_first];
    Brackets ignored;
    const LineWalk alone = walk_line(opened, 0, ignored);
    if (alone.quote != 0) {
        const std::size_t bracket = type_bracket_at(opened, alone.quote_at + 1);
        if (bracket != NPOS) opened.insert(bracket, 1, alone.quote);
    }
    for (std::string& line : held) scan_line(m_scan.joined.emplace_back(std::move(line)));
}

// The end of the text: what is still open never closes.
void RuleReader::end_of_text() {
    while (!m_scan.held.empty()) {
        if (m_scan.pending_quote) {
            give_up_quote();
            continue;
        }
        if (!m_scan.pending_bare) fault(Warning::Kind::BracketNotClosed, m_scan.pending_first);
        flush_pending();
    }
    if (m_scan.depth != 0) fault(Warning::Kind::ActionNotClosed, m_scan.action_line);
    m_scan.depth = 0;
}

void RuleReader::fault(Warning::Kind kind, std::size_t line) {
    // One construct is named once, however it shows.
    if (!m_scan.faults.empty() && m_scan.faults.back().kind == kind && m_scan.faults.back().line == line) return;
    m_scan.faults.push_back({kind, m_path, line, {}});
}

std::vector<Warning> RuleReader::take_faults() {
    return std::exchange(m_scan.faults, {});
}

// Ends the holding of lines: the text held.
std::string RuleReader::release_held() {
    m_scan.pending_bare = false;
    m_scan.pending_quote = false;
    m_scan.held.clear();
    return std::exchange(m_scan.pending, {});
}

// A line held open, read as it stands: at the end of the file, or where the next line shows it never closes.
void RuleReader::flush_pending() {
    Brackets found;
    const std::string_view text = m_scan.joined.emplace_back(release_held());
    const LineWalk walk = walk_line(text, m_scan.pending_depth, found);
    finish_line(text.substr(0, walk.cut), m_scan.pending_first, found, walk.depth);
}

// The items of a line whose brackets are known (positions in text); `depth`: the action open at its end.
void RuleReader::finish_line(std::string_view text, std::size_t line, const Brackets& brackets, int depth) {
    if (m_scan.depth == 0 && depth != 0) m_scan.action_line = line;
    m_scan.depth = depth;
    const std::size_t first = text.find_first_not_of(' ');
    if (brackets.empty()) {
        if (first != NPOS) m_scan.condition = text;
        return;
    }
    std::size_t shift = 0;
    if (!m_scan.condition.empty() && first == brackets.front().first) {
        // A bracket that starts its line: the condition stands above it.
        shift = m_scan.condition.size();
        text = m_scan.joined.emplace_back(std::string(m_scan.condition).append(text));
    }
    m_scan.condition = {};
    std::size_t from = 0;
    for (const auto& [open_at, close] : brackets) {
        const std::size_t open = open_at + shift;
        const std::string_view after = text.substr(open + 1);
        const LeadingCode code = leading_code(after);
        m_scan.items.push_back(RuleItem{text.substr(from, open - from), after, line, code.code, code.value});
        if (close == NPOS) break;
        from = close + shift + 1;
    }
}

std::optional<std::vector<IncludeStatement>> RuleReader::take_statements() {
    return std::exchange(m_statements, std::nullopt);
}

std::optional<Failure> RuleReader::close() {
    std::optional<Failure> failure = std::exchange(m_failure, std::nullopt);
    // A file whose brackets were all lost to quotes or actions is never passed over in silence.
    if (!failure && !m_closed && m_items_kind != Items::None && m_scan.items.empty() && holds_type_brackets(m_path))
        m_scan.faults.push_back({Warning::Kind::NoTypesRead, m_path, 0, {}});
    m_closed = true;
    return failure;
}

}  // namespace tessaro
