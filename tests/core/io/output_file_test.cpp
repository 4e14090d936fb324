#include "output_file.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "file_io.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

using test::read_bytes;

TEST(ReplacedFile, replaces_an_old_file_only_when_finished_and_never_a_folder) {
    test::TempDir dir;
    const std::string out = dir.write("out.txt", "old content that must go");
    {
        ReplacedFile file(out);
        ASSERT_FALSE(file.open().has_value());
        file.write("new", 3);
        EXPECT_EQ(read_bytes(out), "old content that must go");  // not yet
        EXPECT_FALSE(file.finish().has_value());
    }
    EXPECT_EQ(read_bytes(out), "new");
    {
        ReplacedFile abandoned(out);
        ASSERT_FALSE(abandoned.open().has_value());
        abandoned.write("other", 5);
    }  // never finished: the old text stays, and nothing else is left
    EXPECT_EQ(read_bytes(out), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    const std::string lost = join_path(dir / "no-such-folder", "out.txt");
    const std::optional<Failure> missing_folder = ReplacedFile(lost).open();
    ASSERT_TRUE(missing_folder.has_value());
    EXPECT_EQ(missing_folder->kind, Failure::Kind::Write);
    EXPECT_EQ(missing_folder->path, lost);
    EXPECT_EQ(missing_folder->error, std::errc::no_such_file_or_directory);

    std::filesystem::create_directory(dir / "folder.txt");
    const std::optional<Failure> folder = ReplacedFile(dir / "folder.txt").open();
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(folder->kind, Failure::Kind::OutputIsFolder);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.txt"));
}

// Someone edits the old text while a run makes the new one: the edit is not overwritten, the new text stands beside it under
// a name of its own, and the failure says where.
TEST(ReplacedFile, leaves_an_old_file_changed_since_it_was_looked_at_and_keeps_the_new_text_beside_it) {
    test::TempDir dir;
    const std::string out = dir.write("out.txt", "first");
    for (const bool stamped_before : {false, true}) {
        ReplacedFile file(out);
        if (stamped_before) file.expect(stamp_of(out));
        ASSERT_FALSE(file.open().has_value());
        const std::string edited = stamped_before ? "edited meanwhile, again" : "edited meanwhile";
        dir.write("out.txt", edited);
        file.write("new", 3);
        const std::optional<Failure> changed = file.finish();
        ASSERT_TRUE(changed.has_value()) << stamped_before;
        EXPECT_EQ(changed->kind, Failure::Kind::OutputChanged);
        const std::string kept = dir / (stamped_before ? "out.txt.new2" : "out.txt.new");
        EXPECT_EQ(changed->other_path, kept);
        EXPECT_EQ(read_bytes(out), edited);
        EXPECT_EQ(read_bytes(kept), "new");
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tessaro-"), std::string::npos) << e.path();
}

}  // namespace
}  // namespace tessaro
