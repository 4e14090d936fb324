#include "file_io.h"
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include "failure.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {
// The size the file had when opened is a hint only: the text is appended whole, and an empty file, a folder and a missing
// file answer as they should.
TEST(ReadFile, appends_the_whole_file_and_names_what_cannot_be_read_by_its_error) {
    test::TempDir dir;
    std::string content, out = "kept ";
    for (int i = 0; content.size() < 200'000; ++i) content += "line " + std::to_string(i * 7919 % 10007) + "\r\n";
    std::error_code error;
    ASSERT_TRUE(read_file(dir.write("file", content), out, error)) << error.message();
    EXPECT_EQ(out, "kept " + content);
    std::string empty;
    EXPECT_TRUE(read_file(dir.write("empty", ""), empty, error) && empty.empty());
    EXPECT_TRUE(!read_file(dir / "none", out, error) && error == std::errc::no_such_file_or_directory);
    std::filesystem::create_directory(dir / "folder");
    EXPECT_TRUE(!read_file(dir / "folder", out, error) && error == std::errc::is_a_directory);
#ifndef _WIN32
    // A pipe would block the reader: it is refused as no regular file.
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(!read_file(fifo, out, error) && error == make_error_code(FileError::NotRegularFile));
#endif
}
}  // namespace
}  // namespace tessaro
