// Labels made from UTF-8 rule files, in the code page the header names: the
// TYP text and what mkgmap compiles from it with the command the run prints.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/cli_capture.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

const std::string SOURCE = TESSARO_SOURCE_DIR;
constexpr std::string_view STRASSE_1252 = "Stra\xDF" "e";
constexpr std::string_view CAFE_1252 = "caf\xE9";

bool holds(const std::string& bytes, std::string_view part) {
    return bytes.find(part) != std::string::npos;
}

TEST(LabelsInCodePage, are_windows_1252_in_the_text_and_in_what_mkgmap_compiles_with_the_printed_command) {
    const test::TempDir dir;
    dir.write("s/lines", "name=Stra\xC3\x9F" "e [0x01 resolution 20]\nhighway=x & name=caf\xC3\xA9 [0x10f03 resolution 20]\n");
    dir.write("s/polygons", "name=caf\xC3\xA9 [0x4f00 resolution 20]\n");
    dir.write("s/points", "name=\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 [0x0100 resolution 20]\n");
    const std::string out = dir / "out.txt";
    const test::CliOutput r = test::cli({"--tag-text", "--seed", "1", "--res", SOURCE + "/res", "-o", out, dir / "s"});
    ASSERT_EQ(r.exit_code, EXIT_DONE) << r.err;

    const std::string text = test::read_bytes(out);
    EXPECT_TRUE(holds(text, "String1=0x04,name=" + std::string(STRASSE_1252))) << text;
    EXPECT_TRUE(holds(text, "String1=0x04,name=" + std::string(CAFE_1252))) << text;
    EXPECT_TRUE(holds(text, "String1=0x04,name=??????\r\n")) << text;
    EXPECT_FALSE(holds(text, "\xC3")) << "UTF-8 left in the text";
    EXPECT_TRUE(holds(r.err, "warning: 1 label has characters that the TYP text's code page 1252 lacks, written as "
                             "\"?\" (the first: point type 0x0100)\n"))
        << r.err;
    const std::string said = "tessaro-cli: compile it, keeping its labels, with: ";
    const std::size_t command_at = r.err.rfind(said);
    ASSERT_NE(command_at, std::string::npos) << r.err;
    const std::string command = r.err.substr(command_at + said.size(), r.err.size() - command_at - said.size() - 1);
    EXPECT_EQ(command, "mkgmap --family-id=12345 --code-page=1252 " + out);

#ifdef _WIN32
    GTEST_SKIP() << "mkgmap compiles the text in the Linux build";
#endif
    if (std::system("command -v mkgmap >/dev/null 2>&1") != 0) GTEST_SKIP() << "mkgmap is not installed";
    // mkgmap writes out.typ into the folder it runs in.
    const std::string run = "cd '" + dir.path() + "' && " + command + " >mkgmap.log 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0) << test::read_bytes(dir / "mkgmap.log");
    const std::string typ = test::read_bytes(dir / "out.typ");
    EXPECT_TRUE(holds(typ, "name=" + std::string(STRASSE_1252)));
    EXPECT_TRUE(holds(typ, "name=" + std::string(CAFE_1252)));
    EXPECT_TRUE(holds(typ, "name=??????"));
    EXPECT_FALSE(holds(typ, "Stra\xC3\x9F" "e"));
}

}  // namespace
}  // namespace tessaro
