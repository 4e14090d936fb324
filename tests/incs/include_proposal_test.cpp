#include "include_proposal.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tessaro {
namespace {

using Names = std::vector<std::string>;
using Groups = PerSection<Names>;

TEST(ProposeGroups, follow_include_statements_directly_and_through_other_include_files) {
    test::TempDir dir;
    const std::string style = dir / "s";
    dir.write("s/points", "include 'inc/name';\n");
    dir.write("s/lines", "include \"inc/roads\"\ninclude 'inc/loop';\n");
    dir.write("s/Polygons", "include 'inc/name';\n");
    dir.write("s/inc/roads", "include 'inc/speed';\n");
    dir.write("s/inc/speed", "include 'inc/roads';\n");  // a cycle ends
    dir.write("s/inc/loop", "include 'inc/loop';\n");
    const Groups p = propose_groups(style, {"name", "roads", "speed", "loop", "lonely"}).groups;
    EXPECT_EQ(p[Section::Point], (Names{"name"}));
    EXPECT_EQ(p[Section::Line], (Names{"roads", "speed", "loop"}));  // in list order
    EXPECT_EQ(p[Section::Polygon], (Names{"name"}));

    IncludeFiles inc;
    inc.found = {"lonely", "name", "roads"};
    inc.groups[Section::Line] = {"roads", "mine"};
    apply_proposal(inc, {p, {}});
    EXPECT_EQ(inc.groups[Section::Point], (Names{"name"}));
    EXPECT_EQ(inc.groups[Section::Line], (Names{"roads", "mine", "speed", "loop"}));
    EXPECT_EQ(inc.groups[Section::Polygon], (Names{"name"}));

    dir.write("plain/lines", "highway=primary [0x02]\n");
    EXPECT_EQ(propose_groups(dir / "plain", {"a"}), Proposal{});
    EXPECT_EQ(propose_groups(dir / "missing", {"a"}), Proposal{});
}

// An include file that all three main files include (itself including
// another) joins all three groups; with no listed files nothing is proposed.
TEST(ProposeGroups, follow_a_shared_include_file_from_every_main_file) {
    test::TempDir dir;
    for (const char* main : {"points", "lines", "polygons"}) dir.write(std::string("s/") + main, "include 'inc/shared';\n");
    dir.write("s/inc/shared", "include \"inc/deep\"\n");
    dir.write("s/inc/deep", "a=b [0x01 resolution 20]\n");
    const Groups p = propose_groups(dir / "s", {"deep", "shared"}).groups;
    for (Section s : ALL_SECTIONS) EXPECT_EQ(p[s], (Names{"deep", "shared"}));
    EXPECT_EQ(propose_groups(dir / "s", {}), Proposal{});
}

TEST(ProposeGroups, finds_every_statement_of_a_large_file_wherever_its_reading_cuts_it) {
    test::TempDir dir;
    std::string points;
    Names names;
    for (int i = 0; i < 60000; ++i) {  // 1.2 MB of statements of 21 bytes
        char name[8];
        std::snprintf(name, sizeof name, "n%05d", i);
        names.emplace_back(name);
        points += "include 'inc/" + names.back() + "';\n";
    }
    dir.write("s/points", points);
    const Groups p = propose_groups(dir / "s", names).groups;
    EXPECT_EQ(p[Section::Point], names);
}

}  // namespace
}  // namespace tessaro
