#include "read_ahead.h"

#include <gtest/gtest.h>
#include <map>

#include "support/temp_dir.h"

namespace tessaro {
namespace {

// The codes of what a reader hands out, file to its end.
std::vector<std::string> codes(RuleReader& reader) {
    std::vector<std::string> out;
    while (reader.next_piece())
        for (const RuleItem& item : reader.items()) out.emplace_back(item.code);
    reader.close();
    return out;
}

// Whatever the writers skip or add to the expected order, each file they
// open is the file they asked for, read whole: files read ahead that are not
// wanted are dropped, a file outside the order is read when it is asked for,
// and a file may come twice. The files are large enough to be read ahead on
// threads of their own.
TEST(ReadAhead, hands_out_the_file_asked_for_whatever_the_order_expected) {
    test::TempDir dir;
    std::map<std::string, std::vector<std::string>> expected;
    for (const std::string name : {"a", "b", "c", "d", "x"}) {
        std::vector<std::string>& codes = expected[dir / name];
        for (int i = 0; i < 4000; ++i) codes.push_back("0x" + std::to_string(i));
        codes.push_back(name == "x" ? "0x99999" : "0x" + std::to_string(name[0]) + "0000");  // the last code tells the file
        std::string text;
        for (const std::string& code : codes) text += "highway=" + name + " [" + code + " resolution 24]\n";
        dir.write(name, text);
    }
    ReadAhead files;
    files.expect({dir / "a", dir / "b", dir / "c", dir / "d", dir / "c"}, false, 0);
    for (const std::string name : {"a", "c", "x", "d", "c", "b"})
        EXPECT_EQ(codes(files.open(dir / name)), expected[dir / name]) << name;
    // A new order drops what was read ahead for the old one.
    files.expect({dir / "d"}, false, 0);
    EXPECT_EQ(codes(files.open(dir / "a")), expected[dir / "a"]);
    EXPECT_EQ(codes(files.open(dir / "d")), expected[dir / "d"]);
}

}  // namespace
}  // namespace tessaro
