#include "look_source.h"
#include <gtest/gtest.h>

namespace tessaro {
namespace {
// The report's columns and the reasons of table, family, library, marker, tags and variant looks are the CLI's tests
// (cli_run, looks_by_tags); here what they leave: a control character of a condition must not break the report's columns,
// and a look both borrowed and varied says both.
TEST(LookReport, keeps_one_line_of_columns_per_entry_and_gives_every_reason_an_entry_has) {
    const EntryLook random{Section::Polygon, "0x10f00", LookSource::Random, "", "", "a=\tb\nc", {}, {}};
    EXPECT_EQ(look_report({random}), "section\tcode\tsource\tlibrary look\tmatched tags\twhy\tcondition\n"
                                     "polygon\t0x10f00\trandom\t-\t-\tnothing known: a random colour\ta=?b?c\n");
    EXPECT_EQ(look_report({random}, true), "polygon\t0x10f00\trandom\t-\t-\ta=?b?c\n");
    EntryLook borrowed{Section::Line, "0x0d", LookSource::Tags, "0x00e00", "highway=pedestrian", "highway=pedestrian", {}, {}};
    borrowed.replaced = "0x0d (cycle track)";
    borrowed.variant_of = "0x00e00";
    EXPECT_EQ(look_reason(borrowed), "tags over the code's look 0x0d (cycle track); variant of 0x00e00");
}
}  // namespace
}  // namespace tessaro
