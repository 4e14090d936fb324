#include "include_groups.h"
#include <filesystem>
#include <tuple>
#include "file_io.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {
// "." or ".." at the end of the style folder names no folder of its own: the other style is its sibling.
TEST(OtherStyles, are_found_beside_the_style_folder_however_its_path_is_spelt) {
    test::TempDir dir;
    dir.write("mine/inc/x", ""), dir.write("base/points", "");
    for (const std::string& spelt : {dir / "mine", dir / "mine/.", dir / "mine/inc/..", dir / "mine/inc/../."})
        EXPECT_TRUE(same_file(other_style_folder(spelt, "base"), dir / "base")) << spelt;
    EXPECT_EQ(other_style_folder("mine", "base"), "base");
    EXPECT_TRUE(same_file(other_style_path(dir / "mine", {"base", "points"}), dir / "base/points"));
}

// Names relative to the style folder: a file of inc/ plainly, any other by its path ("./" for the folder's own), so stored
// names keep their meaning; each spelling one name that leads back to the file.
TEST(IncludedFiles, are_named_once_for_every_spelling_and_refused_where_the_name_could_lead_out) {
    test::TempDir dir;
    const std::tuple<const char*, const char*, const char*> spellings[] = {  // spelt, name, file in the style folder
        {"inc/x", "x", "inc/x"}, {"./inc/x", "x", "inc/x"}, {"inc\\x", "x", "inc/x"}, {".//inc/./x", "x", "inc/x"}, {"inc/x/", "x", "inc/x"},
        {"extra", "./extra", "extra"}, {"./extra", "./extra", "extra"}, {"sub/more", "sub/more", "sub/more"}, {"INC/x", "INC/x", "INC/x"},
        {"sub//./more", "sub/more", "sub/more"}, {"inc/deeper/x", "inc/deeper/x", "inc/deeper/x"}};
    for (const auto& [spelt, name, file] : spellings) {
        EXPECT_EQ(included_file_name(spelt), std::optional<std::string>(name)) << spelt;
        // The name leads to the file, and a group holds it as it is.
        EXPECT_TRUE(same_file(include_file_path(dir / "s", name), dir.write(std::string("s/") + file, "")) && include_group_name(name) == name)
            << name;
    }
    for (const char* out : {"../x", "inc/../../x", "sub/../inc/x", "/etc/passwd", "\\\\server\\x", "D:/x", "sub/C:x", ".", "./", ""})
        EXPECT_TRUE(!included_file_name(out) && !include_group_name(out) && include_file_path(dir / "s", out).empty()) << out;
    EXPECT_EQ(included_file_name("C:x"), std::nullopt);
    // A plain name stays a file of the include folder, as users stored it.
    EXPECT_TRUE(include_group_name("roads") == "roads" && include_group_name("inc/roads") == "roads");
    EXPECT_EQ(include_file_path(dir / "s", "roads"), join_path(include_folder(dir / "s"), "roads"));
}

using Names = std::vector<std::string>;

TEST(IncludeScan, lists_files_with_types_in_name_order_also_from_large_files_and_says_whether_there_is_an_include_folder) {
    test::TempDir dir;
    RuleReader reader;
    IncludeFiles inc;
    const auto scan = [&] { return scan_include_files(inc, dir / "style", reader); };
    dir.write("style/points", "a=b [0x2d02 resolution 24]\n");
    EXPECT_FALSE(scan().folder_found);
    dir.write("style/inc/names", "name=* { name '${name}' }\n");
    EXPECT_TRUE(scan().folder_found && inc.found.empty());
    for (const char* name : {"roads", "contours", ".hidden"}) dir.write("style/inc/" + std::string(name), "a=b [0x01 resolution 20]\n");
    std::filesystem::create_directories(dir / "style/inc/sub");
    inc.groups[Section::Line] = {"old"};
    EXPECT_TRUE(scan().failures.empty() && inc.groups_empty());
    EXPECT_EQ(inc.found, (Names{"contours", "roads"}));
    // A file defines types with a code and "resolution" or "level", in exact case.
    for (const char* yes : {"a=b [0x01 resolution 20]", "a=b [0x01 level 2]"}) EXPECT_TRUE(defines_types(yes)) << yes;
    for (const char* no : {"a=b [0x01]", "a=b [0X01 resolution 20]", "a=b [0x01 Resolution 20]", "set mkgmap:level=1"})
        EXPECT_FALSE(defines_types(no)) << no;
    // The scan reads a file a piece at a time: code and word may stand pieces apart; "0 x" counts once normalised.
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
    EXPECT_TRUE(add_selected_to_group(inc, Section::Line, {}) && inc.groups[Section::Line].empty());
    for (const auto& [section, rows] : {std::pair{Section::Line, std::vector<std::size_t>{2, 0, 7}}, {Section::Line, {0, 1}}, {Section::Polygon, {0}}})
        add_selected_to_group(inc, section, rows);
    EXPECT_EQ(inc.groups, (PerSection<Names>{{Names{}, Names{"a", "c", "b"}, Names{"a"}}}));
    EXPECT_EQ(inc.left_out(), Names{});
    inc.found.push_back("d");
    EXPECT_EQ(inc.left_out(), (Names{"d"}));
    for (const auto& [section, rows] : {std::pair{Section::Line, std::vector<std::size_t>{2, 1}}, {Section::Point, {0}}, {Section::Line, {}}})
        remove_first_selected(inc, section, rows);
    EXPECT_EQ(inc.groups[Section::Line], (Names{"a", "b"}));
}
}  // namespace
}  // namespace tessaro
