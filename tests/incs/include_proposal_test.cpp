#include "include_proposal.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tessaro {
namespace {

using Names = std::vector<std::string>;
using Proposal = std::map<std::string, std::vector<int>>;

TEST(ProposeGroups, read_include_statements_and_follow_them_directly_and_through_other_include_files) {
    EXPECT_EQ(include_statements("a=b [0x01]\ninclude 'inc/roadspeed';\n  include \"inc/name\"\r\n"
                                 "include 'inc/x' ; # note\n# include 'inc/commented';\n"
                                 "include lines from default;\ninclude 'lines' from other;\n"
                                 "includes 'inc/no';\nx=1 & include 'inc/no'\n"),
              (Names{"inc/roadspeed", "inc/name", "inc/x"}));
    test::TempDir dir;
    const std::string style = dir / "s";
    dir.write("s/points", "include 'inc/name';\n");
    dir.write("s/lines", "include \"inc/roads\"\ninclude 'inc/loop';\n");
    dir.write("s/Polygons", "include 'inc/name';\n");
    dir.write("s/inc/roads", "include 'inc/speed';\n");
    dir.write("s/inc/speed", "include 'inc/roads';\n");  // a cycle ends
    dir.write("s/inc/loop", "include 'inc/loop';\n");
    const Proposal p = propose_groups(style, {"name", "roads", "speed", "loop", "lonely"});
    EXPECT_EQ(p, (Proposal{{"name", {INC_POINTS, INC_POLYGONS}},
                           {"roads", {INC_LINES}},
                           {"speed", {INC_LINES}},
                           {"loop", {INC_LINES}}}));

    IncludeFiles inc;
    inc.found = {"lonely", "name", "roads"};
    inc.groups[INC_LINES] = {"roads"};
    apply_proposal(inc, p);
    EXPECT_EQ(inc.groups[INC_POINTS], (Names{"name"}));
    EXPECT_EQ(inc.groups[INC_LINES], (Names{"roads"}));
    EXPECT_EQ(inc.groups[INC_POLYGONS], (Names{"name"}));

    dir.write("plain/lines", "highway=primary [0x02]\n");
    EXPECT_TRUE(propose_groups(dir / "plain", {"a"}).empty());
    EXPECT_TRUE(propose_groups(dir / "missing", {"a"}).empty());
}

}  // namespace
}  // namespace tessaro
