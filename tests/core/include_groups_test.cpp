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

}  // namespace
}  // namespace tessaro
