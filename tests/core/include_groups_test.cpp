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

TEST(OtherStyles, refuse_names_that_could_lead_out_of_the_styles_folder_or_the_style) {
    for (const OtherStyleFile& safe : {OtherStyleFile{"default", "points"}, OtherStyleFile{"my style", "inc/a b"},
                                       OtherStyleFile{"d", "inc\\x"}})
        EXPECT_TRUE(is_safe_other_style_file(safe)) << safe.file << " from " << safe.style;
    for (const OtherStyleFile& unsafe :
         {OtherStyleFile{"..", "points"}, OtherStyleFile{".", "points"}, OtherStyleFile{"a/b", "points"},
          OtherStyleFile{"C:", "points"}, OtherStyleFile{"", "points"}, OtherStyleFile{"d", "../x"},
          OtherStyleFile{"d", "inc/../../x"}, OtherStyleFile{"d", "/etc/x"}, OtherStyleFile{"d", "C:\\x"},
          OtherStyleFile{"d", "inc//x"}, OtherStyleFile{"d", "inc/"}, OtherStyleFile{"d", ""}})
        EXPECT_FALSE(is_safe_other_style_file(unsafe)) << unsafe.file << " from " << unsafe.style;
}

}  // namespace
}  // namespace tessaro
