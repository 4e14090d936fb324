#include "file_io.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

#include "support/temp_dir.h"

namespace tessaro {
namespace {

// Reading moves the text when its bytes would land where the copy is slow:
// the text must come out the same wherever the string's memory lies.
TEST(ReadFile, appends_the_whole_file_wherever_its_bytes_would_land) {
    test::TempDir dir;
    std::string content;
    for (int i = 0; content.size() < 100'000; ++i) content += "line " + std::to_string(i * 7919 % 10007) + "\r\n";
    const std::string path = dir.write("file", content);
    for (const std::size_t past : {0, 1, 16, 31, 32, 4095}) {
        std::string out;
        out.reserve(2 * 4096 + content.size() + 64);  // room enough that the reading never moves the string
        const auto page_offset = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(out.data()) % 4096);
        const std::size_t start = (4096 + past - page_offset) % 4096;
        out.assign(start, 'p');
        EXPECT_EQ(lands_slowly(out.data() + start, 0), past >= 1 && past < 32);
        std::string error;
        ASSERT_TRUE(read_file(path, out, error)) << error;
        EXPECT_EQ(out.size(), start + content.size()) << past;
        EXPECT_TRUE(out.compare(0, start, std::string(start, 'p')) == 0 && out.compare(start, out.npos, content) == 0)
            << past;
    }
}

}  // namespace
}  // namespace tessaro
