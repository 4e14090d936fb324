#include "include_files.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "support/writer_run.h"

namespace tessaro {
namespace {

using Names = std::vector<std::string>;

const std::string SORT_MESSAGE =
    "Please sort 'Inc' files into points ,lines or polygons.\r\n\r\nSelect file(s) and click appropriate 'Add' button";

struct IncStyle {
    test::TempDir dir;
    test::RecordingShell shell;
    RuleReader reader{shell};
    AppState state;
    IncludeFiles inc;
    IncStyle() { state.style_folder = dir / "style"; }
    void scan() { Command4_Click(inc, state, reader, shell); }
};

TEST(IncludeScan, lists_files_with_types_in_name_order_and_asks_to_sort_them_or_sets_the_flag_silently) {
    IncStyle s;
    s.dir.write("style/points", "a=b [0x2d02 resolution 24]\n");
    s.scan();
    EXPECT_FALSE(s.state.create_needed);  // no inc folder
    std::filesystem::create_directories(s.dir / "style/inc");
    s.scan();
    EXPECT_TRUE(s.state.create_needed);
    s.dir.write("style/inc/names", "name=* { name '${name}' }\n");
    s.state.create_needed = false;
    s.scan();
    EXPECT_TRUE(s.inc.found.empty() && s.shell.messages.empty() && s.state.create_needed);

    for (const char* name : {"roads", "contours", ".hidden"}) s.dir.write("style/inc/" + std::string(name), "a=b [0x01 resolution 20]\n");
    std::filesystem::create_directories(s.dir / "style/inc/sub");
    s.inc.groups[INC_LINES] = {"old"};
    s.scan();
    EXPECT_EQ(s.inc.found, (Names{"contours", "roads"}));
    EXPECT_TRUE(s.inc.groups_empty());
    EXPECT_EQ(s.shell.messages, (Names{SORT_MESSAGE}));
    // A file defines types with a code and "resolution" or "level", in exact case.
    for (const char* yes : {"a=b [0x01 resolution 20]", "a=b [0x01 level 2]"}) EXPECT_TRUE(defines_types(yes)) << yes;
    for (const char* no : {"a=b [0x01]", "a=b [0X01 resolution 20]", "a=b [0x01 Resolution 20]", "set mkgmap:level=1"})
        EXPECT_FALSE(defines_types(no)) << no;
}

TEST(IncludeSorting, add_takes_selected_rows_once_remove_the_first_selected_and_a_new_folder_forgets_all) {
    IncludeFiles inc;
    AppState state;
    test::RecordingShell shell;
    Command5_Click(inc, state, INC_LINES, {0}, shell);
    EXPECT_EQ(shell.messages, (Names{"Please select"}));
    inc.found = {"a", "b", "c"};
    state.create_needed = false;
    Command5_Click(inc, state, INC_LINES, {}, shell);
    EXPECT_TRUE(inc.groups[INC_LINES].empty() && state.create_needed);
    Command5_Click(inc, state, INC_LINES, {2, 0}, shell);
    Command5_Click(inc, state, INC_LINES, {0, 1}, shell);
    Command5_Click(inc, state, INC_POLYGONS, {0}, shell);
    EXPECT_EQ(inc.groups[INC_LINES], (Names{"a", "c", "b"}));
    EXPECT_EQ(inc.groups[INC_POLYGONS], (Names{"a"}));
    EXPECT_EQ(shell.messages.size(), 1u);

    Command6_Click(inc, INC_LINES, {2, 1});
    Command6_Click(inc, INC_POINTS, {0});
    Command6_Click(inc, INC_LINES, {});
    EXPECT_EQ(inc.groups[INC_LINES], (Names{"a", "b"}));

    Dir1_MouseDown(inc, state, "/maps/other");
    EXPECT_TRUE(inc.found.empty() && inc.groups_empty());
    EXPECT_EQ(state.style_folder, "/maps/other");
}

// The order of sections and files is pinned by the with_inc golden file, the message when no
// group was filled by the window tests, and the section switches by the writer tests.
TEST(IncludeMerge, skips_gone_or_unsafe_names) {
    test::WriterRun r;
    r.state.point_library.assign("Type=0x02d02\r\nXpm=\"bar\"\r\n[end]\r\n");
    IncludeFiles inc;
    r.dir.write("inc/bars", "amenity=bar [0x2d02 resolution 24]\n");
    inc.found = {"bars"};
    inc.groups[INC_POINTS] = {"deleted", "../escape", "bars"};
    const auto merge = [&](Conversion& cv, const std::string&) { do_incs(cv, inc, r.dir / "inc"); };
    EXPECT_NE(r.run(merge, "", "none").find("Type=0x02d02"), std::string::npos);
    ASSERT_EQ(r.shell.messages.size(), 1u);
    EXPECT_NE(r.shell.messages[0].find("../escape"), std::string::npos);
}

}  // namespace
}  // namespace tessaro
