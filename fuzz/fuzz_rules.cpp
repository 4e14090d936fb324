// A rule file's text through the rule reader: the fast path for plain lines
// against the general one, and what every item must be for the writers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "rule_reader.h"
#include "text_util.h"
#include "type_code.h"

namespace {

struct Item {
    std::string text;
    std::size_t line;
    bool operator==(const Item&) const = default;
};

std::vector<Item> items_of(tessaro::RuleReader& reader, std::string_view text, bool plain) {
    reader.scan_text(text, plain);
    std::vector<Item> items;
    for (const tessaro::RuleItem& item : reader.items()) items.push_back({item.text(), item.line});
    return items;
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

    RuleReader reader;
    const std::vector<Item> fast = items_of(reader, input, false);
    const std::vector<Warning> fast_faults = reader.take_faults();
    const std::vector<Item> plain = items_of(reader, input, true);
    require(fast == plain, "the fast path finds what the general path finds");
    require(fast_faults == reader.take_faults(), "the fast path names the faults the general path names");

    // Only the first item of each value, the others counted: as filtering all items gives.
    std::vector<Item> firsts;
    std::vector<std::size_t> passed;
    std::vector<std::uint32_t> met;
    std::size_t skipped = 0;
    reader.scan_text(input, true);
    for (const RuleItem& item : reader.items()) {
        const std::optional<std::uint32_t> value = code_value(item_code(item));
        if (value && std::find(met.begin(), met.end(), *value) != met.end()) {
            ++skipped;
            continue;
        }
        if (value) met.push_back(*value);
        firsts.push_back({item.text(), item.line});
        passed.push_back(std::exchange(skipped, 0));
    }
    reader.scan_text(input, false, RuleReader::Items::FirstOfType);
    std::vector<Item> first_of_type;
    std::vector<std::size_t> first_passed;
    for (const RuleItem& item : reader.items()) {
        first_of_type.push_back({item.text(), item.line});
        first_passed.push_back(item.passed);
    }
    require(first_of_type == firsts && first_passed == passed, "the first item of each value, with the items passed over");

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
        const std::string_view code = item_code(item);
        require(!code.empty() && code[0] >= '0' && code[0] <= '9', "an item's code starts with a digit");
        require(code.find(']') == std::string_view::npos && code.find(' ') == std::string_view::npos,
                "an item's code is one word without its bracket");
        require(item.text().find(" @") != std::string::npos, "every item holds \" @\"");
        if (const std::optional<std::uint32_t> value = code_value(code))
            require(*value == code_value(to_lower(code)).value(), "a code's value does not depend on case");
    }
    return 0;
}
