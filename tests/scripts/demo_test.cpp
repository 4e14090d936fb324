// scripts/demo as a new user runs it, while another package manager holds its lock.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include "support/temp_dir.h"

namespace tessaro {
namespace {
namespace fs = std::filesystem;

std::size_t count(const std::string& text, const std::string& piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

// The demo builds in the dev build folder: from any other build it would start a build of its own.
TEST(Demo, waits_for_a_package_manager_s_lock_then_installs_builds_converts_and_says_how_to_go_on) {
    if (fs::path(TESSARO_CLI).parent_path() != fs::path(TESSARO_SOURCE_DIR) / "build")
        GTEST_SKIP() << "the demo builds in " << TESSARO_SOURCE_DIR << "/build";
    test::TempDir dir;
    const std::string lock = dir.write("lock-frontend", "");
    const std::string installed = dir / "installed";
    // The install step takes the lock itself: it fails while another holds it.
    const std::string command = "cd '" TESSARO_SOURCE_DIR "' && (flock '" + lock + "' sleep 3 &) && sleep 0.5 && "
                                "TESSARO_PACKAGE_LOCK='" + lock + "' TESSARO_INSTALL=\"flock -n '" + lock + "' touch '" +
                                installed + "'\" scripts/demo >'" + (dir / "log") + "' 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const auto waited = std::chrono::steady_clock::now() - start;
    const std::string log = test::read_bytes(dir / "log");
    EXPECT_EQ(status, 0) << log;
    EXPECT_TRUE(fs::exists(installed)) << log;
    EXPECT_GE(waited, std::chrono::seconds(2));
    EXPECT_EQ(count(log, "waiting for it to finish"), 1u) << log;
    EXPECT_EQ(count(log, "mkgmap --family-id=12345"), 1u) << log;
    EXPECT_EQ(count(log, "build/tessaro "), 1u) << log;
    EXPECT_EQ(count(log, "XDG_RUNTIME_DIR"), 0u) << log;
}
}  // namespace
}  // namespace tessaro
