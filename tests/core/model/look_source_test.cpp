#include "look_source.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

// The report opens with its columns, and each line says why: tags over the
// code's look, a variant, or what the source means; classic runs keep the old lines.
TEST(LookReport, names_its_columns_first_and_says_why_each_entry_has_its_look) {
    EntryLook borrowed{Section::Line, "0x0d", LookSource::Tags, "0x00e00", "highway=pedestrian", "highway=pedestrian", {}, {}};
    borrowed.replaced = "0x0d (cycle track)";
    EntryLook variant{Section::Polygon, "0x10", LookSource::Library, "", "", "landuse=residential", {}, {}};
    variant.variant_of = "0x10";
    const EntryLook random{Section::Polygon, "0x10f00", LookSource::Random, "", "", "a=\tb", {}, {}};
    const std::vector<EntryLook> looks{borrowed, variant, random};
    EXPECT_EQ(look_report(looks),
              "section\tcode\tsource\tlibrary look\tmatched tags\twhy\tcondition\n"
              "line\t0x0d\ttags\t0x00e00\thighway=pedestrian\ttags over the code's look 0x0d (cycle track)\thighway=pedestrian\n"
              "polygon\t0x10\tlibrary\t-\t-\tvariant of 0x10\tlanduse=residential\n"
              "polygon\t0x10f00\trandom\t-\t-\tnothing known: a random colour\ta=?b\n");
    EXPECT_EQ(look_report(looks, true),
              "line\t0x0d\ttags\t0x00e00\thighway=pedestrian\thighway=pedestrian\n"
              "polygon\t0x10\tlibrary\t-\t-\tlanduse=residential\n"
              "polygon\t0x10f00\trandom\t-\t-\ta=?b\n");
    borrowed.variant_of = "0x00e00";
    EXPECT_EQ(look_reason(borrowed), "tags over the code's look 0x0d (cycle track); variant of 0x00e00");
}

}  // namespace
}  // namespace tessaro
