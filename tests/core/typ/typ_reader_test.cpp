#include "typ_reader.h"
#include <gtest/gtest.h>
#include "type_code.h"

namespace tessaro {
namespace {
using Problems = std::vector<std::pair<std::size_t, std::string>>;

Problems problems_of(const std::string& text) {
    Problems out;
    for (const TypProblem& p : read_typ_text(text).problems)
        out.emplace_back(p.line, (p.severity == Severity::Error ? "error: " : "warning: ") + p.message);
    return out;
}

// Where mkgmap refuses a text, takes it with losses or as written, and the line named, is held against mkgmap's verdict by
// the --check tests (check_against_mkgmap); here what those texts do not hold.
TEST(ReadTypText, reports_widths_missing_types_no_entry_at_all_and_a_text_cut_inside_a_picture) {
    EXPECT_EQ(problems_of("[_line]\nType=0x01\nLineWidth=-1\nXpm=\"0 0 2 0\"\n\"a c #000000\"\n\"b c #000000\"\n[end]\n"
                          "[_point]\n[end]\n[_foo]\nx\n"),
              (Problems{{3, "warning: LineWidth is negative"},
                        {8, "error: [_point] entry without an Xpm"},
                        {8, "warning: entry without a Type= line; mkgmap writes it as type 0"},
                        {10, "warning: section [_foo] is unknown; mkgmap skips it"},
                        {11, "error: \"x\" is not followed by \"=\" or \":\""}}));  // mkgmap reads every line of a block it does not know
    EXPECT_EQ(problems_of(""), (Problems{{1, "warning: no [_point], [_line] or [_polygon] entry"}}));
    // Characters a pixel that the file cannot give end the reading, not a wait for them.
    EXPECT_EQ(problems_of("[_point]\nType=0x2f\nXpm=\"1 1 1 999999999\"\n\"a").back(),
              (std::pair<std::size_t, std::string>{4, "error: the file ends inside an Xpm colour line"}));
}

// mkgmap reads a type as Java's Integer.decode does: 32 bits with a sign, 0x or # for hexadecimal, a leading 0 for octal.
TEST(TypValueType, reads_a_type_number_as_mkgmap_does) {
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"0x7fffffff", 0x7fffffffu}, {"0x80000000", std::nullopt}, {"0x100000000", std::nullopt}, {"010", 8u},
        {"08", std::nullopt}, {"0x-1", std::nullopt}};
    for (const auto& [value, type] : cases) EXPECT_EQ(typ_value_type(value), type ? std::optional(typ_type(*type)) : std::nullopt) << value;
    EXPECT_EQ(typ_value_type("#2f", "0x12"), typ_value_type("0x2f12"));
}
}  // namespace
}  // namespace tessaro
