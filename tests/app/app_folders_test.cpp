#include "app_folders.h"

#include <QStandardPaths>
#include <filesystem>
#include "file_io.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {
namespace fs = std::filesystem;

TEST(AppFolders, a_copy_with_res_beside_it_keeps_everything_there_and_an_installed_one_uses_the_user_s_folders) {
    QStandardPaths::setTestModeEnabled(true);  // the user's folders under a test location
    test::TempDir dir;
    fs::create_directories(dir / "build/res");
    const AppFolders build = locate_app_folders(dir / "build");
    EXPECT_EQ(build.app, dir / "build");
    EXPECT_EQ(build.res, join_path(dir / "build", "res"));
    EXPECT_TRUE(build.settings.empty());
    // Installed: bin/ beside share/tessaro/res, and bin/ writable (as for root).
    fs::create_directories(dir / "usr/bin");
    fs::create_directories(dir / "usr/share/tessaro/res");
    const AppFolders installed = locate_app_folders(dir / "usr/bin");
    EXPECT_EQ(installed.res, dir / "usr/share/tessaro/res");
    EXPECT_EQ(installed.program, dir / "usr/bin");
    EXPECT_FALSE(installed.app.starts_with(dir.path())) << installed.app;
    EXPECT_FALSE(installed.settings.empty());
    EXPECT_FALSE(installed.settings.starts_with(dir.path())) << installed.settings;
    QStandardPaths::setTestModeEnabled(false);
}
}  // namespace
}  // namespace tessaro
