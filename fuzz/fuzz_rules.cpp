// A rule file's text through the rule reader: reading it from a file against
// scanning it in memory, and what every item must be for the writers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "fuzz_support.h"
#include "include_statements.h"
#include "rule_reader.h"
#include "text_util.h"
#include "type_code.h"

namespace {

struct Item {
    std::string text;
    std::size_t line;
    bool operator==(const Item&) const = default;
};

std::vector<Item> items_of(const tessaro::RuleReader& reader) {
    std::vector<Item> items;
    for (const tessaro::RuleItem& item : reader.items()) items.push_back({item.text(), item.line});
    return items;
}

// The faults as kind and line: a text in memory has no path.
std::vector<std::pair<tessaro::Warning::Kind, std::size_t>> faults_of(tessaro::RuleReader& reader) {
    std::vector<std::pair<tessaro::Warning::Kind, std::size_t>> faults;
    for (const tessaro::Warning& w : reader.take_faults()) faults.emplace_back(w.kind, w.line);
    return faults;
}

// One file for all runs, in a folder of this process's own.
const std::string& rule_file() {
    static const std::string path = [] {
        const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("fuzz_rules." + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        return (dir / "rules").string();
    }();
    return path;
}

void write_rule_file(std::string_view text) {
    std::ofstream out(rule_file(), std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro;
    const std::string_view input = as_text(data, size);

    // Normalising in place does the replacements one after the other.
    std::string normalised(input);
    normalised.resize(normalise_rule_text(normalised.data(), normalised.size()));
    std::string expected = replace_all(input, "\r", "");
    expected = replace_all(expected, "\t", " ");
    expected = replace_all(expected, "  ", " ");
    expected = replace_all(expected, "0 X", "0x");
    require(normalised == replace_all(expected, "0 x", "0x"), "normalising does the five replacements");

    // Read from a file (by a reader used before), the text gives what scanning it gives.
    RuleReader reader;
    reader.scan_text(input);
    const std::vector<Item> scanned = items_of(reader);
    const auto scanned_faults = faults_of(reader);
    write_rule_file(input);
    reader.open(rule_file(), RuleReader::Items::Rules, true);
    require(items_of(reader) == scanned, "a file's items are those of its text");
    const std::optional<Failure> failure = reader.close();
    const bool nul = input.find('\0') != std::string_view::npos;
    require(failure.has_value() == nul && (!nul || failure->kind == Failure::Kind::NotText), "NUL bytes, and only they, make no text");
    auto file_faults = faults_of(reader);
    if (!file_faults.empty() && file_faults.back().first == Warning::Kind::NoTypesRead) {
        require(scanned.empty() && !nul, "no types read is named only for a text without items");
        file_faults.pop_back();
    }
    require(file_faults == scanned_faults, "a file's faults are those of its text");
    require(reader.take_statements() == include_statements(input), "the statements kept are those of the text");
    reader.open(rule_file(), RuleReader::Items::None);
    require(reader.text() == normalised && reader.items().empty(),
            "only normalised, a file is its normalised text");

    // Lines end at CR, LF and CR LF: no item names a line past the last.
    const std::size_t lines = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n') +
                                                       std::count(input.begin(), input.end(), '\r')) + 1;
    std::size_t last_line = 0;
    reader.scan_text(input);
    for (const RuleItem& item : reader.items()) {
        require(item.line >= 1 && item.line <= lines, "an item names a line of the text");
        require(item.line >= last_line, "items come in line order");
        last_line = item.line;
        // A type bracket holds a digit after optional blanks: the code starts there.
        const std::string_view code = item.code;
        require(!code.empty() && code[0] >= '0' && code[0] <= '9', "an item's code starts with a digit");
        require(code.find(']') == std::string_view::npos && code.find(' ') == std::string_view::npos,
                "an item's code is one word without its bracket");
        require(code == leading_code(item.after).code && code_value(code) == item.value,
                "an item's code and value are those of its text");
        require(item.text().find(" @") != std::string::npos, "every item holds \" @\"");
        if (const std::optional<std::uint32_t> value = code_value(code))
            require(*value == code_value(to_lower(code)).value(), "a code's value does not depend on case");
    }
    return 0;
}
