#include "output_file.h"
#include <filesystem>
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
    EXPECT_TRUE(read_bytes(out) == "new" && std::distance(std::filesystem::directory_iterator(dir.path()), {}) == 1);
    const std::string lost = join_path(dir / "no-such-folder", "out.txt");
    EXPECT_EQ(ReplacedFile(lost).open(), (Failure{Failure::Kind::Write, lost, 0, std::make_error_code(std::errc::no_such_file_or_directory)}));
    std::filesystem::create_directory(dir / "folder.txt");
    const std::optional<Failure> folder = ReplacedFile(dir / "folder.txt").open();
    EXPECT_TRUE(folder && folder->kind == Failure::Kind::OutputIsFolder && std::filesystem::is_directory(dir / "folder.txt"));
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
        const std::string kept = dir / (stamped_before ? "out.txt.new2" : "out.txt.new");
        ASSERT_TRUE(changed && changed->kind == Failure::Kind::OutputChanged) << stamped_before;
        EXPECT_TRUE(changed->other_path == kept && read_bytes(out) == edited && read_bytes(kept) == "new") << stamped_before;
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tessaro-"), std::string::npos) << e.path();
}
}  // namespace
}  // namespace tessaro
