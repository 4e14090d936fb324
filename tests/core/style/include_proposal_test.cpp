#include "include_proposal.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {
using Names = std::vector<std::string>;
using Groups = PerSection<Names>;
using Others = std::vector<OtherStyleFile>;

TEST(ProposeGroups, follow_include_statements_directly_through_other_include_files_and_from_every_main_file) {
    test::TempDir dir;
    dir.write_files({{"s/points", "include 'inc/name';\n"}, {"s/lines", "include \"inc/roads\"\ninclude 'inc/loop';\n"},
                    {"s/Polygons", "include 'inc/name';\n"}, {"s/inc/roads", "include 'inc/speed';\n"}});
    dir.write("s/inc/speed", "include 'inc/roads';\n");  // a cycle ends
    dir.write("s/inc/loop", "include 'inc/loop';\n");
    const Groups p = propose_groups(dir / "s", {"name", "roads", "speed", "loop", "lonely"}).groups;
    EXPECT_EQ(p, (Groups{{Names{"name"}, Names{"roads", "speed", "loop"}, Names{"name"}}}));  // in list order
    IncludeFiles inc;
    inc.found = {"lonely", "name", "roads"};
    inc.groups[Section::Line] = {"roads", "mine"};
    apply_proposal(inc, {p, {}, {}, {}});
    EXPECT_EQ(inc.groups, (Groups{{Names{"name"}, Names{"roads", "mine", "speed", "loop"}, Names{"name"}}}));
    dir.write("plain/lines", "highway=primary [0x02]\n");
    EXPECT_TRUE(propose_groups(dir / "plain", {"a"}) == Proposal{} && propose_groups(dir / "missing", {"a"}) == Proposal{});
    // A file all three main files include (itself including another) joins all three groups.
    for (const char* main : {"points", "lines", "polygons"}) dir.write(std::string("all/") + main, "include 'inc/shared';\n");
    dir.write("all/inc/shared", "include \"inc/deep\"\n");
    const Names both{"deep", "shared"};
    EXPECT_EQ(propose_groups(dir / "all", both).groups, (Groups{{both, both, both}}));
    EXPECT_EQ(propose_groups(dir / "all", {}), Proposal{});
}

// Names are relative to the style folder, from whichever file: files outside inc/ that define types join a group after the
// listed ones, in the order reached, each once however spelt; names that could lead out are handed on for the run to refuse.
TEST(ProposeGroups, take_files_from_anywhere_in_the_style_once_however_spelt_and_hand_on_names_that_lead_out) {
    test::TempDir dir;
    const std::string types = "a=b [0x2d02 resolution 24]\n";
    dir.write("s/points", "include 'extra';\ninclude './inc/a';\ninclude 'inc//a';\ninclude 'sub/more';\n"
                          "include '../secret';\ninclude '/abs';\ninclude 'points';\ninclude 'missing';\n");
    dir.write_files({{"s/lines", "include 'lines';\ninclude './/extra';\n"},
                    {"s/polygons", "include './inc/x' from base;\ninclude 'inc//x' from base;\n"},
                    {"s/extra", types + "include 'inc/deeper/x';\n"},
                    {"s/inc/deeper/x", types + "include 'sub/./more';\ninclude \"notypes\";\n"},
                    {"s/notypes", "include 'inc/b';\n"}, {"s/sub/more", types}});
    dir.write("secret", "include 'inc/lonely';\n");  // never read: "lonely" stays out
    dir.write("base/inc/x", types);
    const Proposal p = propose_groups(dir / "s", {"a", "b", "lonely"});
    EXPECT_EQ(p.groups, (Groups{{Names{"a", "b", "./extra", "inc/deeper/x", "sub/more", "../secret", "/abs"},
                                 Names{"b", "./extra", "inc/deeper/x", "sub/more"}, Names{}}}));
    EXPECT_EQ(p.other_styles[Section::Polygon], (Others{{"base", "inc/x"}}));
    EXPECT_EQ(p.elsewhere, (Names{"./extra", "inc/deeper/x", "sub/more"}));
    EXPECT_EQ(p.refused, (Names{"../secret", "/abs"}));
    // Sorted, every name of a group is among the found files; unsorted, the files elsewhere are, in no group.
    IncludeFiles sorted, unsorted;
    sorted.found = unsorted.found = {"a", "b", "lonely"};
    apply_proposal(sorted, p);
    EXPECT_EQ(sorted.found, (Names{"a", "b", "lonely", "./extra", "inc/deeper/x", "sub/more", "../secret", "/abs"}));
    EXPECT_EQ(sorted.left_out(), Names{"lonely"});
    add_files_elsewhere(unsorted, p);
    add_files_elsewhere(unsorted, p);
    EXPECT_EQ(unsorted.left_out(), (Names{"a", "b", "lonely", "./extra", "inc/deeper/x", "sub/more"}));
    EXPECT_TRUE(unsorted.groups_empty());
    // A file elsewhere that the list holds already keeps its place there.
    const Proposal listed = propose_groups(dir / "s", {"sub/more", "a"});
    EXPECT_EQ(listed.groups[Section::Point], (Names{"sub/more", "a", "./extra", "inc/deeper/x", "../secret", "/abs"}));
    EXPECT_EQ(listed.elsewhere, (Names{"./extra", "inc/deeper/x"}));
}

// Within another style its own statements name its files; a further "from" leads to another sibling.
TEST(ProposeGroups, take_files_from_sibling_styles_follow_their_statements_within_them_and_end_cycles) {
    test::TempDir dir;
    dir.write_files({{"mine/points", "include points from base;\ninclude 'inc/x' from base\n"},
                    {"mine/lines", "include \"lines\" from base;\n"}, {"mine/inc/own", "a=b [0x2d02 resolution 24]\n"},
                    {"base/points", "include 'inc/x';\ninclude 'inc/y' from b2;\n"},
                    {"base/lines", "include 'inc/own' from mine;\n"}, {"base/inc/x", "include 'inc/z'\n"},
                    {"b2/inc/y", "include 'inc/w';\n"}});
    const Proposal p = propose_groups(dir / "mine", {"own"});
    EXPECT_EQ(p.other_styles[Section::Point],
              (Others{{"base", "points"}, {"base", "inc/x"}, {"base", "inc/z"}, {"b2", "inc/y"}, {"b2", "inc/w"}}));
    EXPECT_EQ(p.other_styles[Section::Line], (Others{{"base", "lines"}}));
    EXPECT_EQ(p.groups, (Groups{{Names{}, Names{"own"}, Names{}}}));
    IncludeFiles inc;
    inc.other_styles[Section::Line] = {{"kept", "lines"}, {"base", "lines"}};
    apply_proposal(inc, p);
    apply_proposal(inc, p);  // each file once
    EXPECT_TRUE(inc.other_styles_followed && inc.groups == p.groups);
    EXPECT_EQ(inc.other_styles, (PerSection<Others>{{p.other_styles[Section::Point], Others{{"kept", "lines"}, {"base", "lines"}}, Others{}}}));
    // Cycles between styles, and of a style with itself, end.
    dir.write_files({{"c/mine/points", "include points from base;\ninclude points from mine;\n"},
                    {"c/mine/lines", "include 'lines' from mine\ninclude 'points' from mine\n"},
                    {"c/base/points", "include points from mine;\ninclude 'points' from base;\ninclude inc/loop;\n"},
                    {"c/base/inc/loop", "include 'inc/loop';\ninclude 'points' from base;\n"}});
    const Proposal cycles = propose_groups(dir / "c/mine", {});
    EXPECT_EQ(cycles.other_styles[Section::Point], (Others{{"base", "points"}, {"base", "inc/loop"}}));
    EXPECT_EQ(cycles.other_styles[Section::Line], (Others{{"mine", "points"}, {"base", "points"}, {"base", "inc/loop"}}));
}

// Listed, so that the run refuses them or names the missing style, but never read.
TEST(ProposeGroups, list_names_that_lead_out_and_missing_styles_without_reading_them) {
    test::TempDir dir;
    dir.write("mine/points",
              "include points from ../out;\ninclude '../secret' from base;\ninclude '/etc/x' from base;\n"
              "include 'inc/a' from gone;\ninclude 'inc/b' from gone;\ninclude 'points' from C:;\n"
              "include 'points' from .;\n");
    dir.write_files({{"base/points", "a=b [0x01]\n"}, {"out/points", "include 'inc/leak' from base;\n"},
                    {"secret", "include 'inc/leak' from base;\n"}});
    const Proposal p = propose_groups(dir / "mine", {});
    EXPECT_EQ(p.other_styles[Section::Point], (Others{{"../out", "points"}, {"base", "../secret"}, {"base", "/etc/x"},
                                                      {"gone", "inc/a"}, {"gone", "inc/b"}, {"C:", "points"}, {".", "points"}}));
    for (const OtherStyleFile& f : p.other_styles[Section::Point])
        EXPECT_TRUE(f.style == "gone" || !is_safe_other_style_file(f)) << f.file << " from " << f.style;
}

// A base style's rule file follows the style's own statements, resolved within the base; its bases follow it.
TEST(ProposeGroups, follow_base_styles_after_the_style_own_statements) {
    test::TempDir dir;
    dir.write_files({{"mine/info", "base-style=b1\nbase-style=gone\n"}, {"mine/points", "include 'inc/x' from b1;\n"},
                    {"b1/info", "base-style: b2\n"}, {"b1/Points", "include 'inc/x';\ninclude 'inc/q';\n"}});
    dir.write("b2/info", "base-style=mine\nbase-style=b1\n");  // back to where the chain began
    dir.write("b2/polygons", "a=b [0x03]\n");
    const Proposal p = propose_groups(dir / "mine", {});
#ifdef _WIN32
    const std::string base_points = "points";  // a file system without case finds it by the name asked for
#else
    const std::string base_points = "Points";
#endif
    EXPECT_EQ(p.other_styles, (PerSection<Others>{{Others{{"b1", "inc/x"}, {"b1", base_points}, {"b1", "inc/q"}, {"gone", "points"}},
                                                   Others{{"gone", "lines"}}, Others{{"b2", "polygons"}, {"gone", "polygons"}}}}));
}
}  // namespace
}  // namespace tessaro
