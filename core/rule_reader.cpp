#include "rule_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

namespace {

// Position of the first "[" that is followed by blanks (any number) and "0x"
// in either case, or npos. mkgmap accepts "[ 0x6200 ...]" and styles use it.
std::size_t find_type_bracket(std::string_view line) {
    std::size_t pos = 0;
    while ((pos = line.find('[', pos)) != std::string_view::npos) {
        std::size_t k = pos + 1;
        while (k < line.size() && line[k] == ' ') ++k;
        if (k + 1 < line.size() && line[k] == '0' && lower_char(line[k + 1]) == 'x') return pos;
        ++pos;
    }
    return std::string_view::npos;
}

// The blank and code normalisations of stripping, done in the text's own
// buffer: each replacement is shorter than what it replaces, so writing never
// overtakes reading, and a rule file of 50 MB needs no second copy. Nothing is
// moved before the first replacement.
// Replaces, left to right and without overlaps, every match of `size` bytes
// that starts with the pair (a, b) and passes `rest`, by `to` (shorter). Done
// in the text's own buffer: writing never overtakes reading, and a rule file
// of 50 MB needs no second copy. Nothing moves before the first match.
template <typename Rest>
void shrink_in_place(std::string& s, char a, char b, std::size_t size, std::string_view to, Rest rest) {
    char* const data = s.data();
    const std::size_t n = s.size();
    const auto next_match = [&](std::size_t i) {
        while ((i = find_pair(data, i, n, a, b)) < n) {
            if (i + size <= n && rest(data + i)) return i;
            ++i;
        }
        return n;
    };
    std::size_t hit = next_match(0);
    if (hit == n) return;
    std::size_t write = hit;
    while (hit < n) {
        std::memcpy(data + write, to.data(), to.size());
        write += to.size();
        const std::size_t read = hit + size;
        hit = next_match(read);
        std::memmove(data + write, data + read, hit - read);
        write += hit - read;
    }
    s.resize(write);
}


// True when "0x" in either case starts at pos.
bool code_at(std::string_view line, std::size_t pos) {
    return pos + 1 < line.size() && line[pos] == '0' && lower_char(line[pos + 1]) == 'x';
}

}  // namespace

std::string_view cut_code(std::string_view token) {
    return token.substr(0, token.find(']'));
}

bool is_type_code(std::string_view code) {
    return code.size() > 2 && code[0] == '0' && lower_char(code[1]) == 'x';
}

void RuleReader::reserve(std::size_t bytes) {
    m_rule_text.reserve(bytes);
    // An item is its line plus one byte; joined lines add their condition again.
    m_items.reserve(bytes + bytes / 8);
    m_rule_list.reserve(bytes / 32 + 1);
    m_working_list.reserve(bytes / 32 + 1);
}

std::optional<Failure> RuleReader::loadbinary(const std::string& path) {
    return load(path, true);
}

std::optional<Failure> RuleReader::load_text(const std::string& path) {
    return load(path, false);
}

std::optional<Failure> RuleReader::load(const std::string& path, bool make_list) {
    std::optional<Failure> failure = loadbinaryfst(path);
    if (make_list) {
        strp_data();
    } else {
        normalise_text();
        m_rule_list.clear();
        m_joined.clear();
    }
    yield_to(m_yield);
    return failure;
}

std::optional<Failure> RuleReader::loadbinaryfst(const std::string& path) {
    m_rule_text.clear();
    yield_to(m_yield);
    std::string error;
    if (!read_file(path, m_rule_text, error, m_yield)) {
        return Failure{Failure::Kind::Read, path, 0, error};
    }
    yield_to(m_yield);
    return std::nullopt;
}

void RuleReader::split_rule_text() {
    m_rule_list.clear();
    m_joined.clear();
    if (m_rule_text.empty()) return;
    // A guess at the line count (counting them would cost a pass of its own).
    m_rule_list.reserve(m_rule_text.size() / 32 + 1);
    const std::string_view text = m_rule_text;
    std::size_t start = 0;
    while (true) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            m_rule_list.push_back(text.substr(start));
            break;
        }
        m_rule_list.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
}

void RuleReader::normalise_text() {
    // Most files hold no CR or no tab: memchr says so at once.
    if (m_rule_text.find('\r') != std::string::npos)
        m_rule_text.erase(std::remove(m_rule_text.begin(), m_rule_text.end(), '\r'), m_rule_text.end());
    for (std::size_t tab = m_rule_text.find('\t'); tab != std::string::npos; tab = m_rule_text.find('\t', tab + 1))
        m_rule_text[tab] = ' ';
    // "  " becomes " " (one pass: four blanks become two), then "0 X" and "0 x"
    // become "0x"; the two code passes are one, as neither can make or break
    // a match of the other.
    shrink_in_place(m_rule_text, ' ', ' ', 2, " ", [](const char*) { return true; });
    shrink_in_place(m_rule_text, '0', ' ', 3, "0x", [](const char* p) { return p[2] == 'x' || p[2] == 'X'; });
}

void RuleReader::strp_data() {
    normalise_text();
    split_rule_text();

    // Index of the nearest earlier line holding "=", as it stands after its own
    // processing: a type code on a line of its own is joined to it.
    std::size_t last_eq = std::string::npos;
    // The next "#" at or after the line in hand, sought over the whole text
    // rather than once a line: most lines hold none.
    const std::string_view text = m_rule_text;
    std::size_t hash = text.find('#');
    for (std::size_t i = 0; i < m_rule_list.size(); ++i) {
        std::string_view& line = m_rule_list[i];
        const auto start = static_cast<std::size_t>(line.data() - text.data());
        if (hash < start) hash = text.find('#', start);
        if (hash < start + line.size()) line = line.substr(0, hash - start);
        // A code on a line of its own: its first "0x" has nothing but blanks
        // before the character ahead of it, so it stands at the first non-blank
        // (not at the line's start) or right after it.
        std::size_t first = 0;
        while (first < line.size() && line[first] == ' ') ++first;
        const bool code_alone = (first > 0 && code_at(line, first)) || code_at(line, first + 1);
        if (code_alone && last_eq != std::string::npos) {
            std::string joined;
            joined.reserve(m_rule_list[last_eq].size() + line.size());
            joined.append(m_rule_list[last_eq]).append(line);
            line = m_joined.emplace_back(std::move(joined));
        }
        if (line.find('=') != std::string_view::npos) last_eq = i;
    }
}

// Items are "<text after the bracket> @<text before it>": as long as their
// line plus one. They are built into one buffer reserved for every line being
// an item, so that the views into it stay put without a list of the hits
// first; reserved pages that are never written cost no memory.
template <typename FindBracket>
void RuleReader::make_items(FindBracket find_bracket) {
    std::size_t most = 0;
    for (const std::string_view line : m_rule_list) most += line.size() + 1;
    m_items.clear();
    m_items.reserve(most);
    m_working_list.clear();
    m_working_list.reserve(m_rule_list.size());
    for (const std::string_view raw : m_rule_list) {
        const auto [line, bracket] = find_bracket(raw);
        if (bracket == std::string_view::npos) continue;
        const std::size_t start = m_items.size();
        m_items.append(line.substr(bracket + 1)).append(" @").append(line.substr(0, bracket));
        m_working_list.emplace_back(m_items.data() + start, m_items.size() - start);
    }
}

void RuleReader::scan_rules() {
    make_items([](std::string_view line) {
        return std::pair(line, line.empty() ? std::string_view::npos : find_type_bracket(line));
    });
}

void RuleReader::scan_polygon_rules() {
    split_rule_text();
    make_items([](std::string_view line) {
        const std::size_t hash = line.find('#');
        if (hash != std::string_view::npos) line = trim_blanks(line.substr(0, hash));
        if (line.empty() || find_ci(line, "0x") == std::string_view::npos) return std::pair(line, std::string_view::npos);
        return std::pair(line, line.find('['));
    });
}

}  // namespace tessaro
