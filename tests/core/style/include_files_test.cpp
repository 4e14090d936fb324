#include "include_groups.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tessaro {
namespace {

using Names = std::vector<std::string>;

TEST(IncludeScan, lists_files_with_types_in_name_order_also_from_large_files_and_says_whether_there_is_an_include_folder) {
    test::TempDir dir;
    RuleReader reader;
    IncludeFiles inc;
    const auto scan = [&] { return scan_include_files(inc, dir / "style", reader); };
    dir.write("style/points", "a=b [0x2d02 resolution 24]\n");
    EXPECT_FALSE(scan().folder_found);
    std::filesystem::create_directories(dir / "style/inc");
    EXPECT_TRUE(scan().folder_found);
    dir.write("style/inc/names", "name=* { name '${name}' }\n");
    EXPECT_TRUE(scan().folder_found);
    EXPECT_TRUE(inc.found.empty());

    for (const char* name : {"roads", "contours", ".hidden"}) dir.write("style/inc/" + std::string(name), "a=b [0x01 resolution 20]\n");
    std::filesystem::create_directories(dir / "style/inc/sub");
    inc.groups[Section::Line] = {"old"};
    EXPECT_TRUE(scan().failures.empty());
    EXPECT_EQ(inc.found, (Names{"contours", "roads"}));
    EXPECT_TRUE(inc.groups_empty());
    // A file defines types with a code and "resolution" or "level", in exact case.
    for (const char* yes : {"a=b [0x01 resolution 20]", "a=b [0x01 level 2]"}) EXPECT_TRUE(defines_types(yes)) << yes;
    for (const char* no : {"a=b [0x01]", "a=b [0X01 resolution 20]", "a=b [0x01 Resolution 20]", "set mkgmap:level=1"})
        EXPECT_FALSE(defines_types(no)) << no;

    // The scan reads a file a piece at a time: the code and the word may stand
    // pieces apart, and a code spaced out ("0 x") counts once normalised.
    const std::string filler = std::string(600 * 1024, '#') + "\n";
    dir.write("style/inc/far", "a=b [0x01]\n" + filler + "c=d [level 2]\n");
    dir.write("style/inc/spaced", "a=b [0 x01 resolution 20]\n");
    dir.write("style/inc/none", "a=b [0X01]\n" + filler + "c=d [resolution 2]\n");
    EXPECT_TRUE(scan().failures.empty());
    EXPECT_EQ(inc.found, (Names{"contours", "far", "roads", "spaced"}));
}

TEST(IncludeSorting, add_takes_selected_rows_once_in_list_order_and_remove_the_first_selected) {
    IncludeFiles inc;
    EXPECT_FALSE(add_selected_to_group(inc, Section::Line, {0}));  // nothing to select from
    inc.found = {"a", "b", "c"};
    EXPECT_TRUE(add_selected_to_group(inc, Section::Line, {}));
    EXPECT_TRUE(inc.groups[Section::Line].empty());
    add_selected_to_group(inc, Section::Line, {2, 0, 7});
    add_selected_to_group(inc, Section::Line, {0, 1});
    add_selected_to_group(inc, Section::Polygon, {0});
    EXPECT_EQ(inc.groups[Section::Line], (Names{"a", "c", "b"}));
    EXPECT_EQ(inc.groups[Section::Polygon], (Names{"a"}));
    EXPECT_EQ(inc.left_out(), Names{});
    inc.found.push_back("d");
    EXPECT_EQ(inc.left_out(), (Names{"d"}));

    remove_first_selected(inc, Section::Line, {2, 1});
    remove_first_selected(inc, Section::Point, {0});
    remove_first_selected(inc, Section::Line, {});
    EXPECT_EQ(inc.groups[Section::Line], (Names{"a", "b"}));
}

}  // namespace
}  // namespace tessaro
