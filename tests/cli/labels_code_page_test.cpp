#include "support/cli_capture.h"
#include "support/mkgmap.h"

namespace tessaro {
namespace {
bool holds(const std::string& bytes, const std::string& part) { return bytes.find(part) != std::string::npos; }

TEST(LabelsInCodePage, are_windows_1252_in_the_text_and_in_what_mkgmap_compiles_with_the_printed_command) {
    const test::TempDir dir;
    dir.write_files({{"s/lines", "name=Stra\xC3\x9F" "e [0x01 resolution 20]\nhighway=x & name=caf\xC3\xA9 [0x10f03 resolution 20]\n"},
                     {"s/polygons", "name=caf\xC3\xA9 [0x4f00 resolution 20]\n"},
                     {"s/points", "name=\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 [0x0100 resolution 20]\n"}});
    const std::string out = dir / "out.txt";
    const test::CliOutput r = test::cli({"--tag-text", "--seed", "1", "--res", TESSARO_SOURCE_DIR "/res", "-o", out, dir / "s"});
    ASSERT_EQ(r.exit_code, EXIT_DONE) << r.err;
    // In windows-1252; the Cyrillic one, which it lacks, as "?".
    const std::string labels[] = {"name=Stra\xDF" "e", "name=caf\xE9", "name=??????"};
    const std::string text = test::read_bytes(out);
    for (const std::string& label : labels) EXPECT_TRUE(holds(text, "String1=0x04," + label)) << text;
    EXPECT_TRUE(holds(text, "name=??????\r\n")) << "one \"?\" a character";
    EXPECT_FALSE(holds(text, "\xC3")) << "UTF-8 left in the text";
    EXPECT_TRUE(holds(r.err, "warning: 1 label has ") && holds(r.err, "(the first: point type 0x0100)\n")) << r.err;
    const std::string command = "mkgmap --family-id=12345 --code-page=1252 " + out;
    ASSERT_TRUE(holds(r.err, "tessaro-cli: compile it, keeping its labels, with: " + command + "\n")) << r.err;
    if (const std::string missing = test::mkgmap_command_missing(dir); !missing.empty()) GTEST_SKIP() << missing;
    const test::MkgmapResult compiled = test::mkgmap_compile_here(dir.path(), "out.txt");
    ASSERT_TRUE(compiled.compiled) << compiled.log;
    const std::string& typ = compiled.typ;
    for (const std::string& label : labels) EXPECT_TRUE(holds(typ, label)) << label;
    EXPECT_FALSE(holds(typ, "Stra\xC3\x9F" "e"));
}
}  // namespace
}  // namespace tessaro
