#include "include_groups.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "file_io.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

// "." or ".." at the end of the style folder names no folder of its own: the
// other style is still the sibling of the folder it stands for.
TEST(OtherStyles, are_found_beside_the_style_folder_however_its_path_is_spelt) {
    test::TempDir dir;
    dir.write("mine/inc/x", "");
    dir.write("base/points", "");
    for (const std::string& spelt : {dir / "mine", dir / "mine/.", dir / "mine/inc/..", dir / "mine/inc/../."})
        EXPECT_TRUE(same_file(other_style_folder(spelt, "base"), dir / "base")) << spelt;
    EXPECT_EQ(other_style_folder("mine", "base"), "base");
    EXPECT_TRUE(same_file(other_style_path(dir / "mine", {"base", "points"}), dir / "base/points"));
}

// mkgmap resolves a statement's name relative to the style folder; the lists
// name a file of inc/ plainly, any other by its path there ("./" for the
// style folder's own), so that stored names keep their meaning. Each spelling
// of a file gives one name, and that name leads back to the file.
TEST(IncludedFiles, are_named_once_for_every_spelling_and_refused_where_the_name_could_lead_out) {
    test::TempDir dir;
    struct Spelling {
        const char* spelt;
        const char* name;
        const char* file;  // within the style folder
    };
    const Spelling spellings[] = {
        {"inc/x", "x", "inc/x"},           {"./inc/x", "x", "inc/x"},          {"inc//x", "x", "inc/x"},
        {"inc\\x", "x", "inc/x"},          {".//inc/./x", "x", "inc/x"},       {"inc/x/", "x", "inc/x"},
        {"extra", "./extra", "extra"},     {"./extra", "./extra", "extra"},    {"sub/more", "sub/more", "sub/more"},
        {"sub//./more", "sub/more", "sub/more"}, {"inc/deeper/x", "inc/deeper/x", "inc/deeper/x"},
        {"INC/x", "INC/x", "INC/x"},
    };
    for (const Spelling& s : spellings) {
        EXPECT_EQ(included_file_name(s.spelt), std::optional<std::string>(s.name)) << s.spelt;
        // The name leads to the file, and a group holds it as it is.
        const std::string file = dir.write(std::string("s/") + s.file, "");
        EXPECT_TRUE(same_file(include_file_path(dir / "s", s.name), file)) << s.name;
        EXPECT_EQ(include_group_name(s.name), std::optional<std::string>(s.name)) << s.name;
    }
    for (const char* out : {"../x", "inc/../../x", "sub/../inc/x", "/etc/passwd", "\\\\server\\x", "D:/x", "sub/C:x", ".", "./", ""}) {
        EXPECT_EQ(included_file_name(out), std::nullopt) << out;
        EXPECT_EQ(include_group_name(out), std::nullopt) << out;
        EXPECT_EQ(include_file_path(dir / "s", out), "") << out;
    }
    EXPECT_EQ(included_file_name("C:x"), std::nullopt);
    // A plain name stays a file of the include folder, as users stored it.
    EXPECT_EQ(include_group_name("roads"), std::optional<std::string>("roads"));
    EXPECT_EQ(include_file_path(dir / "s", "roads"), join_path(include_folder(dir / "s"), "roads"));
    EXPECT_EQ(include_group_name("inc/roads"), std::optional<std::string>("roads"));
}

}  // namespace
}  // namespace tessaro
