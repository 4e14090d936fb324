#include "include_statements.h"

#include <algorithm>
#include <optional>

#include "file_io.h"
#include "text_util.h"

namespace tessaro {

namespace {

bool is_quote(char c) {
    return c == '\'' || c == '"';
}

std::string_view trim(std::string_view s) {
    return trim_any_of(s, " \t\r");
}

void skip_blanks(std::string_view line, std::size_t& i) {
    while (i < line.size() && is_blank_tab_or_cr(line[i])) ++i;
}

// The name at i, quoted or a bare word (up to a blank, ";", "#" or a quote),
// and i after it; empty for an unclosed quote.
std::string_view name_at(std::string_view line, std::size_t& i) {
    if (i < line.size() && is_quote(line[i])) {
        const std::size_t close = line.find(line[i], i + 1);
        if (close == std::string_view::npos) return {};
        const std::string_view name = line.substr(i + 1, close - i - 1);
        i = close + 1;
        return name;
    }
    const std::size_t start = i;
    while (i < line.size() && !is_blank_tab_or_cr(line[i]) && line[i] != ';' && line[i] != '#' && !is_quote(line[i])) ++i;
    return line.substr(start, i - start);
}

// The statement that starts at `at`, if one does; `at` then goes past it and its ";".
std::optional<IncludeStatement> statement_at(std::string_view line, std::size_t& at, std::size_t line_number) {
    std::size_t i = at;
    if (line.compare(i, 7, "include") != 0) return std::nullopt;
    i += 7;
    // mkgmap takes a quote right after the word: include'inc/x';
    if (i >= line.size() || !(is_blank_tab_or_cr(line[i]) || is_quote(line[i]))) return std::nullopt;
    skip_blanks(line, i);
    // A condition on a tag named "include" (include=yes, include != no, include ~ 'x.*') is none.
    if (i < line.size() && std::string_view("=!<>~").find(line[i]) != std::string_view::npos) return std::nullopt;
    const std::string_view path = name_at(line, i);
    if (path.empty()) return std::nullopt;
    IncludeStatement out{std::string(path), {}, line_number, {}};
    skip_blanks(line, i);
    const std::string_view rest = line.substr(i);
    if (rest.compare(0, 4, "from") == 0 && (rest.size() == 4 || is_blank_tab_or_cr(rest[4]) || is_quote(rest[4]) || rest[4] == ';')) {
        i += 4;
        skip_blanks(line, i);
        const std::string_view style = name_at(line, i);
        // "from" without a style name is no statement mkgmap reads.
        if (style.empty()) return std::nullopt;
        out.style = std::string(style);
        skip_blanks(line, i);
    }
    if (i < line.size() && line[i] == ';') ++i;
    if (!out.style.empty()) out.text = std::string(trim(line.substr(at, i - at)));
    at = i;
    return out;
}

// The statements of one line. mkgmap reads a statement wherever a rule may start: at the line's start, after another
// statement, after a rule's type bracket. "include" within quotes, braces, a condition or a comment is none.
void statements_of_line(std::string_view line, std::size_t line_number, std::vector<IncludeStatement>& out) {
    bool rule_may_start = true;
    int braces = 0;
    for (std::size_t i = 0; i < line.size();) {
        if (rule_may_start) {
            skip_blanks(line, i);
            if (std::optional<IncludeStatement> statement = statement_at(line, i, line_number)) {
                out.push_back(std::move(*statement));
                continue;
            }
            rule_may_start = false;
            if (i == line.size()) return;
        }
        const char c = line[i];
        if (c == '#') return;
        if (is_quote(c)) {
            const std::size_t close = line.find(c, i + 1);
            if (close == std::string_view::npos) return;
            i = close + 1;
            continue;
        }
        // An action ends at its first "}" (one may close an action opened on a line before).
        if (c == '{') braces = 1;
        else if (c == '}') braces = 0;
        else if (c == ']' && braces == 0) rule_may_start = true;
        ++i;
    }
}

}  // namespace

std::vector<IncludeStatement> include_statements(std::string_view rule_text) {
    std::vector<IncludeStatement> out;
    // Line numbers are counted only up to each line looked at, and only once.
    std::size_t counted_to = 0;
    std::size_t line_number = 1;
    // Only a line that holds "include" is looked at.
    for (std::size_t at = rule_text.find("include"); at != std::string_view::npos;) {
        const std::size_t start = rule_text.rfind('\n', at) + 1;  // npos + 1: the first line
        const std::size_t end = std::min(rule_text.find('\n', at), rule_text.size());
        line_number += std::count(rule_text.data() + counted_to, rule_text.data() + start, '\n');
        counted_to = start;
        statements_of_line(rule_text.substr(start, end - start), line_number, out);
        at = rule_text.find("include", end + 1);
    }
    return out;
}

std::vector<IncludeStatement> base_style_lines(std::string_view info_text) {
    std::vector<IncludeStatement> out;
    bool in_braces = false;  // inside a value written over several lines
    std::size_t line_number = 0;
    for (std::size_t start = 0; start < info_text.size();) {
        const std::size_t end = std::min(info_text.find('\n', start), info_text.size());
        const std::string_view line = trim(info_text.substr(start, end - start));
        start = end + 1;
        ++line_number;
        if (in_braces) {
            in_braces = line.find('}') == std::string_view::npos;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        const std::size_t open = line.find('{');
        if (open != std::string_view::npos && line.find('}', open) == std::string_view::npos) {
            in_braces = true;
            continue;
        }
        if (!line.starts_with("base-style")) continue;
        std::string_view value = trim(line.substr(10));
        if (value.starts_with('=') || value.starts_with(':')) value = trim(value.substr(1));
        else if (value.starts_with('{')) value = trim(value.substr(1, value.find('}') - 1));
        else continue;
        if (value.empty()) continue;
        out.push_back({{}, std::string(value), line_number, std::string(line)});
    }
    return out;
}

std::vector<IncludeStatement> read_include_statements(const std::string& path) {
    std::string text;
    std::error_code error;
    read_file(path, text, error);  // only regular files: a pipe would block
    return include_statements(text);
}

}  // namespace tessaro
