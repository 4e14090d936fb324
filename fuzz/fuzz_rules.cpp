// A rule file's text through the rule reader: strp_data, scan_rules and
// scan_polygon_rules, with the code cut the section writers apply to items.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "rule_reader.h"
#include "text_util.h"

namespace tessaro {
namespace {

constexpr std::size_t NPOS = std::string_view::npos;

// The text's lines as split_rule_text cuts them: none for an empty text,
// otherwise one more than there are line feeds.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t lf = text.find('\n', start);
        if (lf == NPOS) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
}

// First "[" followed by any number of blanks and "0x" in either case.
std::size_t type_bracket(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '[') continue;
        std::size_t k = i + 1;
        while (k < line.size() && line[k] == ' ') ++k;
        if (hex_prefix_at(line, k)) return i;
    }
    return NPOS;
}

// The reader's lists hold strings or views into its own buffers; compared as text.
template <typename List>
bool same_text(const List& list, const std::vector<std::string>& expected) {
    if (list.size() != expected.size()) return false;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (std::string_view(list[i]) != expected[i]) return false;
    return true;
}

std::string item_of(std::string_view line, std::size_t bracket) {
    return std::string(line.substr(bracket + 1)) + " @" + std::string(line.substr(0, bracket));
}

bool has_hex_prefix(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i)
        if (hex_prefix_at(s, i)) return true;
    return false;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The writers take the first word of an item (lower-cased) and cut it at "]".
void check_code_cut(std::string_view item, bool starts_with_code) {
    const std::string_view trimmed = trim(item);
    const std::string token = [&] {
        std::string t(trimmed.substr(0, trimmed.find(' ')));
        for (char& c : t) c = ascii_lower(c);
        return t;
    }();
    if (starts_with_code) require(hex_prefix_at(token, 0), "a scanned rule item starts with its type code");

    const std::string_view code = cut_code(token);
    require(code.data() == token.data() && code.size() <= token.size(), "cut_code keeps the start of the token");
    require(code.find(']') == NPOS, "cut_code stops before the first ]");
    require(code.size() == token.size() || token[code.size()] == ']', "cut_code cuts only at a ]");
    const bool type_code = code.size() > 2 && hex_prefix_at(code, 0);
    require(is_type_code(code) == type_code, "is_type_code means 0x and at least one more character");
}

}  // namespace
}  // namespace tessaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro;
    const std::string_view input = as_text(data, size);
    RuleReader reader;
    reader.rule_text() = std::string(input);
    reader.strp_data();

    const std::string text = reader.rule_text();
    // The normalising steps in their order, each one pass left to right.
    std::string normalised = replace_all(input, "\r", "");
    normalised = replace_all(normalised, "\t", " ");
    normalised = replace_all(normalised, "  ", " ");
    normalised = replace_all(normalised, "0 X", "0x");
    require(text == replace_all(normalised, "0 x", "0x"), "strp_data normalises as the five replacements do");
    require(text.find('\r') == NPOS, "strp_data removes every CR");
    require(text.find('\t') == NPOS, "strp_data turns tabs into blanks");
    require(std::count(text.begin(), text.end(), '\n') == std::count(input.begin(), input.end(), '\n'),
            "strp_data keeps every line feed");

    const std::vector<std::string_view> raw = split_lines(text);
    // Copied: the reader's lines may be views that a scan invalidates.
    std::vector<std::string> list;
    for (const std::string_view line : reader.rule_list()) list.emplace_back(line);
    require(list.size() == raw.size(), "one rule list line per text line");
    if (input.find('\n') == NPOS) require(list.size() <= 1, "a text without line feeds is one line at most");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string& line = list[i];
        require(line.find('#') == NPOS, "comments are cut from rule list lines");
        require(line.find('\n') == NPOS, "a rule list line holds no line feed");
        // A joined code line is the condition line followed by the code line itself.
        const std::string_view own = raw[i].substr(0, raw[i].find('#'));
        require(line.size() >= own.size() && std::string_view(line).substr(line.size() - own.size()) == own,
                "a rule list line ends with its own text");
    }

    reader.scan_rules();
    std::vector<std::string> expected;
    for (const std::string& line : list) {
        if (line.empty()) continue;
        const std::size_t bracket = type_bracket(line);
        if (bracket != NPOS) expected.push_back(item_of(line, bracket));
    }
    require(same_text(reader.working_list(), expected), "scan_rules makes one item per line with a [0x bracket");
    for (const std::string_view item : reader.working_list()) {
        require(item.find(" @") != NPOS, "every item holds \" @\"");
        check_code_cut(item, true);
    }

    reader.scan_polygon_rules();
    require(reader.rule_list().size() == raw.size(), "scan_polygon_rules splits the same lines");
    expected.clear();
    for (std::string_view line : raw) {
        const std::size_t hash = line.find('#');
        if (hash != NPOS) line = trim(line.substr(0, hash));
        if (line.empty() || !has_hex_prefix(line)) continue;
        const std::size_t bracket = line.find('[');
        if (bracket != NPOS) expected.push_back(item_of(line, bracket));
    }
    require(same_text(reader.working_list(), expected), "scan_polygon_rules makes one item per line with 0x and a [");
    for (const std::string_view item : reader.working_list()) {
        require(item.find(" @") != NPOS, "every polygon item holds \" @\"");
        check_code_cut(item, false);
    }
    return 0;
}
