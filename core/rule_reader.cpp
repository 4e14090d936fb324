#include "rule_reader.h"

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

std::string make_item(std::string_view line, std::size_t bracket) {
    std::string item;
    item.reserve(line.size() + 2);
    item.append(line.substr(bracket + 1));
    item.append(" @");
    item.append(line.substr(0, bracket));
    return item;
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
    if (m_rule_text.empty()) return;
    std::size_t start = 0;
    while (true) {
        const std::size_t lf = m_rule_text.find('\n', start);
        if (lf == std::string::npos) {
            m_rule_list.emplace_back(m_rule_text.substr(start));
            break;
        }
        m_rule_list.emplace_back(m_rule_text.substr(start, lf - start));
        start = lf + 1;
    }
}

void RuleReader::strp_data() {
    std::string t = replace_all(m_rule_text, "\r", "");
    t = replace_all(t, "\t", " ");
    t = replace_all(t, "  ", " ");
    t = replace_all(t, "0 X", "0x");
    m_rule_text = replace_all(t, "0 x", "0x");
    split_rule_text();

    // Index of the nearest earlier line holding "=", as it stands after its own
    // processing: a type code on a line of its own is joined to it.
    std::size_t last_eq = std::string::npos;
    for (std::size_t i = 0; i < m_rule_list.size(); ++i) {
        std::string& line = m_rule_list[i];
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        const std::size_t code = find_ci(line, "0x");
        if (code != std::string::npos && code > 0) {
            bool only_blanks = true;
            for (std::size_t k = 0; k + 1 < code; ++k) only_blanks = only_blanks && line[k] == ' ';
            if (only_blanks && last_eq != std::string::npos) line = m_rule_list[last_eq] + line;
        }
        if (line.find('=') != std::string::npos) last_eq = i;
    }
}

void RuleReader::scan_rules() {
    m_working_list.clear();
    for (const std::string& line : m_rule_list) {
        if (line.empty()) continue;
        const std::size_t bracket = find_type_bracket(line);
        if (bracket != std::string::npos) m_working_list.push_back(make_item(line, bracket));
    }
}

void RuleReader::scan_polygon_rules() {
    split_rule_text();
    m_working_list.clear();
    for (const std::string& raw : m_rule_list) {
        std::string_view line = raw;
        const std::size_t hash = line.find('#');
        if (hash != std::string_view::npos) line = trim_blanks(line.substr(0, hash));
        if (line.empty() || find_ci(line, "0x") == std::string_view::npos) continue;
        const std::size_t bracket = line.find('[');
        if (bracket != std::string_view::npos) m_working_list.push_back(make_item(line, bracket));
    }
}

}  // namespace tessaro
