#include "rule_reader.h"

#include <algorithm>
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
// Every "  " becomes " " in one left-to-right pass without overlaps (a run
// of three or four blanks becomes two): the second blank of each pair goes.
// Branch-free, in the text's own buffer, so a 50 MB file costs no copy.
void halve_blank_pairs(std::string& s) {
    char* const data = s.data();
    const std::size_t n = s.size();
    std::size_t write = 0;
    bool unpaired_blank = false;
    for (std::size_t read = 0; read < n; ++read) {
        const char c = data[read];
        const bool blank = c == ' ';
        const bool drop = blank && unpaired_blank;
        data[write] = c;
        write += drop ? 0 : 1;
        unpaired_blank = blank && !drop;
    }
    s.resize(write);
}

// Every "0 X" and "0 x" becomes "0x". The two passes are one: no match can
// make or break another, as a match starts with "0" and ends with an x.
void join_spaced_codes(std::string& s) {
    char* const data = s.data();
    const std::size_t n = s.size();
    std::size_t write = 0;
    char previous = '\0';
    for (std::size_t read = 0; read < n; ++read) {
        const char c = data[read];
        if (c == ' ' && previous == '0' && read + 1 < n && (data[read + 1] == 'x' || data[read + 1] == 'X')) {
            data[write++] = 'x';
            previous = data[read + 1];
            ++read;
            continue;
        }
        data[write++] = c;
        previous = c;
    }
    s.resize(write);
}

std::size_t count_lines(std::string_view text) {
    std::size_t n = 0;
    for (const char* p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr; ++p)
        ++n;
    return n;
}

}  // namespace

std::string_view cut_code(std::string_view token) {
    return token.substr(0, token.find(']'));
}

bool is_type_code(std::string_view code) {
    return code.size() > 2 && code[0] == '0' && lower_char(code[1]) == 'x';
}

void RuleReader::loadbinary(const std::string& path) {
    m_rule_text.clear();
    m_shell.yield_events();
    m_shell.hon();
    loadbinaryfst(path);
    strp_data();
    m_shell.yield_events();
    m_shell.hof();
}

void RuleReader::loadbinaryfst(const std::string& path) {
    m_rule_text.clear();
    m_shell.yield_events();
    m_shell.hon();
    std::string error;
    if (!read_file(path, m_rule_text, error, [this] { m_shell.yield_events(); })) {
        m_shell.hof();
        m_shell.message(error);
        return;
    }
    m_shell.yield_events();
    m_shell.hof();
}

void RuleReader::split_rule_text() {
    m_rule_list.clear();
    m_joined.clear();
    if (m_rule_text.empty()) return;
    m_rule_list.reserve(count_lines(m_rule_text) + 1);
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

void RuleReader::strp_data() {
    // Most files hold no CR or no tab: memchr says so at once.
    if (m_rule_text.find('\r') != std::string::npos)
        m_rule_text.erase(std::remove(m_rule_text.begin(), m_rule_text.end(), '\r'), m_rule_text.end());
    if (m_rule_text.find('\t') != std::string::npos)
        std::transform(m_rule_text.begin(), m_rule_text.end(), m_rule_text.begin(),
                       [](char c) { return c == '\t' ? ' ' : c; });
    // "  " becomes " " (one pass: four blanks become two), then "0 X" and "0 x"
    // become "0x"; the two code passes are one, as neither can make or break
    // a match of the other.
    halve_blank_pairs(m_rule_text);
    join_spaced_codes(m_rule_text);
    split_rule_text();

    // Index of the nearest earlier line holding "=", as it stands after its own
    // processing: a type code on a line of its own is joined to it.
    std::size_t last_eq = std::string::npos;
    for (std::size_t i = 0; i < m_rule_list.size(); ++i) {
        std::string_view& line = m_rule_list[i];
        line = line.substr(0, line.find('#'));
        const std::size_t code = find_ci(line, "0x");
        if (code != std::string_view::npos && code > 0) {
            bool only_blanks = true;
            for (std::size_t k = 0; k + 1 < code; ++k) only_blanks = only_blanks && line[k] == ' ';
            if (only_blanks && last_eq != std::string::npos) {
                std::string joined;
                joined.reserve(m_rule_list[last_eq].size() + line.size());
                joined.append(m_rule_list[last_eq]).append(line);
                line = m_joined.emplace_back(std::move(joined));
            }
        }
        if (line.find('=') != std::string_view::npos) last_eq = i;
    }
}

// Items are "<text after the bracket> @<text before it>", built into one
// buffer sized beforehand so that the views into it stay put.
template <typename FindBracket>
void RuleReader::make_items(FindBracket find_bracket) {
    std::vector<std::pair<std::string_view, std::size_t>> found;
    std::size_t size = 0;
    for (const std::string_view line : m_rule_list) {
        const std::pair<std::string_view, std::size_t> hit = find_bracket(line);
        if (hit.second == std::string_view::npos) continue;
        found.push_back(hit);
        size += hit.first.size() + 1;
    }
    m_items.clear();
    m_items.reserve(size);
    m_working_list.clear();
    m_working_list.reserve(found.size());
    for (const auto& [line, bracket] : found) {
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
