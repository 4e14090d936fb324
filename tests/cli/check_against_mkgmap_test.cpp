// --check against mkgmap's own verdict on texts that differ from a good one by one change each.
#include <algorithm>
#include "support/cli_capture.h"
#include "support/mkgmap.h"

namespace tessaro {
namespace {
std::string rows(const std::string& row, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += "\"" + row + "\"\n";
    return out;
}

const std::string LINE_ROWS = rows("aaaaaaaaaaaaaaaabbbbbbbbbbbbbbbb", 2);
const std::string DAY = "\"abab\"\n\"baba\"\n\"abab\"\nNight";
const std::string GOOD = "[_id]\nFID=12345\nProductCode=1\nCodePage=1252\n[end]\n"
                         "[_drawOrder]\nType=0x03,1\nType=0x04,2\nType=0x10101,3\n[end]\n"
                         "[_polygon]\nType=0x03\nString1=0x04,Town\nXpm=\"0 0 1 0\"\n\"a c #DCDCDC\"\n[end]\n"
                         "[_polygon]\nType=0x04\nXpm=\"32 32 2 1\"\n\"a c #778899\"\n\"b c none\"\n" +
                         rows("abababababababababababababababab", 32) + "[end]\n"
                         "[_polygon]\nType=0x10101\nXpm=\"0 0 2 0\"\n\"a c #112233\"\n\"b c #445566\"\n[end]\n"
                         "[_line]\nType=0x01\nLineWidth=3\nBorderWidth=1\nXpm=\"0 0 2 0\"\n\"a c #FF0000\"\n\"b c #000000\"\n[end]\n"
                         "[_line]\nType=0x02\nUseOrientation=Y\nXpm=\"32 2 2 1\"\n\"a c #FF0000\"\n\"b c none\"\n" +
                         LINE_ROWS + "[end]\n"
                         "[_point]\nType=0x2f06\nString1=0x04,Bank\nDayXpm=\"4 3 2 1\"\n\"a c #000000\"\n\"b c none\"\n"
                         "\"abab\"\n\"baba\"\n\"abab\"\n"
                         "NightXpm=\"4 3 2 1\"\n\"a c #FFFFFF\"\n\"b c none\"\n\"abab\"\n\"baba\"\n\"abab\"\n[end]\n";

enum class Verdict { Clean, Warning, Error };
using enum Verdict;

struct Change {
    const char* what;
    std::string from, to;  // the first `from` in GOOD becomes `to`
    Verdict verdict;
    int shift = 0;  // the line named, relative to the first changed line
};

const std::vector<Change> CHANGES = {
    {"the good text itself", "", "", Clean},
    // Refused by mkgmap.
    {"a polygon pattern with 3 colours", "\"32 32 2 1\"\n", "\"32 32 3 1\"\n\"c c #000000\"\n", Error},
    {"a polygon pattern with 1 colour", "\"32 32 2 1\"\n\"a c #778899\"\n\"b c none\"\n", "\"32 32 1 1\"\n\"a c #778899\"\n\"b c #778899\"\n", Error, 2},
    {"a polygon pattern 16 wide", "Xpm=\"32 32 2 1\"", "Xpm=\"16 32 2 1\"", Error},
    {"a lone polygon colour none", "\"a c #DCDCDC\"", "\"a c none\"", Error, -1},
    {"a solid polygon of 3 colours", "\"0 0 2 0\"", "\"0 0 3 0\"\n\"c c #000000\"", Error},
    {"a solid polygon of 5 colours", "\"0 0 1 0\"\n\"a c #DCDCDC\"", "\"0 0 5 0\"\n\"a c #DCDCDC\"\n\"b c #DCDCDC\"\n\"c c #DCDCDC\"\n\"d c #DCDCDC\"\n\"e c #DCDCDC\"", Error},
    {"a polygon pattern whose day colours are both none", "\"a c #778899\"", "\"a c none\"", Error, -1},
    {"a polygon pattern whose night colours are both none", "\"32 32 2 1\"", "\"32 32 4 1\"\n\"c c none\"\n\"d c none\"", Error},
    {"a line pattern 16 wide", "Xpm=\"32 2 2 1\"", "Xpm=\"16 2 2 1\"", Error},
    {"a lone line colour none", "\"0 0 2 0\"\n\"a c #FF0000\"\n\"b c #000000\"", "\"0 0 1 0\"\n\"a c none\"", Error},
    {"an XPM colour #GG0000", "\"a c #DCDCDC\"", "\"a c #GG0000\"", Error},
    {"an XPM colour of 7 digits", "\"a c #DCDCDC\"", "\"a c #DCDCDC0\"", Error},
    {"an XPM colour without its c", "\"a c #DCDCDC\"", "\"a #DCDCDC\"", Error},
    {"an XPM colour with text after it", "\"a c #DCDCDC\"", "\"a c #DCDCDC junk\"", Error},
    {"a pixel character missing from the palette", DAY, "\"abab\"\n\"bzba\"\n\"abab\"\nNight", Error, 1},
    {"a row narrower than the width", DAY, "\"aba\"\n\"baba\"\n\"abab\"\nNight", Error},
    {"fewer rows than the height", DAY, "\"abab\"\n\"baba\"\nNight", Error, 2},
    {"a row without quotes", LINE_ROWS, "\"aaaaaaaaaaaaaaaabbbbbbbbbbbbbbbb\"\naaaaaaaaaaaaaaaabbbbbbbbbbbbbbbb\n", Error, 1},
    {"an XPM header that is no number", "Xpm=\"0 0 1 0\"", "Xpm=\"0 x 1 0\"", Error},
    {"a point picture without colours and one character a pixel", "DayXpm=\"4 3 2 1\"\n\"a c #000000\"\n\"b c none\"\n", "DayXpm=\"4 3 0 1\"\n", Error, 1},
    {"a polygon without an Xpm", "Xpm=\"0 0 1 0\"\n\"a c #DCDCDC\"\n", "", Error, -3},
    {"a label of 255 bytes", "String1=0x04,Town", "String1=0x04," + std::string(255, 'x'), Error},
    {"a draw-order level that is no number", "Type=0x04,2", "Type=0x04,x", Error},
    {"a draw-order line without a level", "Type=0x04,2", "Type=0x04", Error},
    {"a draw-order type that is no number", "Type=0x04,2", "Type=0xZZ,2", Error},
    {"a type that is no number", "Type=0x01\n", "Type=0xZZ\n", Error},
    {"a subtype that is no number", "Type=0x01\n", "Type=0x01\nSubType=zz\n", Error, 1},
    {"a width that is no number", "LineWidth=3", "LineWidth=x", Error},
    {"a day font colour #GG0000", "String1=0x04,Bank", "DayCustomColor=#GG0000", Error},
    {"a stray line of text inside an entry", "Type=0x03\n", "Type=0x03\nhello\n", Error, 1},
    {"a # line inside an entry", "Type=0x03\n", "Type=0x03\n# note\n", Error, 1},
    {"a line of text between entries", "[_drawOrder]", "hello\n[_drawOrder]", Error},
    {"an unknown key in [_id]", "FID=12345", "FID=12345\nFoo=1", Error, 1},
    {"a line pattern whose night colours are both none", "Xpm=\"32 2 2 1\"\n\"a c #FF0000\"\n\"b c none\"\n", "Xpm=\"32 2 4 1\"\n\"a c #FF0000\"\n\"b c none\"\n\"c c none\"\n\"d c none\"\n", Error},
    {"a night picture without a day picture", "DayXpm=\"4 3 2 1\"\n\"a c #000000\"\n\"b c none\"\n" + DAY, "Night", Error, -3},
    // Taken by mkgmap, with losses.
    {"an XPM row longer than the width", DAY, "\"ababab\"\n\"baba\"\n\"abab\"\nNight", Warning},
    {"more rows than the height", DAY, "\"abab\"\n\"baba\"\n\"abab\"\n\"abab\"\nNight", Warning, 3},
    {"an unknown section", "[_drawOrder]", "[_foo]\nBar=1\n[end]\n[_drawOrder]", Warning},
    {"an unknown key", "Type=0x01\n", "Type=0x01\nFoo=bar\n", Warning, 1},
    {"a key of another kind of entry", "Type=0x03\n", "Type=0x03\nLineWidth=2\n", Warning, 1},
    {"the same type twice", "Type=0x10101\n", "Type=0x03\n", Warning},
    {"a polygon type missing from the draw order", "Type=0x10101,3\n", "", Warning, 46},
    {"an unclosed last entry", "\"abab\"\n[end]\n", "\"abab\"\n", Warning, -14},
    {"an extended point subtype above 0x1f", "Type=0x2f06", "Type=0x11120", Warning},
    {"a label code page 1252 cannot hold", "String1=0x04,Bank", "String1=0x04,\xD0\x91\xD0\xB0\xD0\xBD\xD0\xBA", Warning},
    {"a night picture of another size", "NightXpm=\"4 3 2 1\"\n\"a c #FFFFFF\"\n\"b c none\"\n\"abab\"\n\"baba\"\n\"abab\"", "NightXpm=\"2 3 2 1\"\n\"a c #FFFFFF\"\n\"b c none\"\n\"ab\"\n\"ba\"\n\"ab\"", Warning},
    {"a point picture 256 wide", "DayXpm=\"4 3 2 1\"\n\"a c #000000\"\n\"b c none\"\n" + DAY, "DayXpm=\"256 1 1 1\"\n\"a c #000000\"\n\"" + std::string(256, 'a') + "\"\nNight", Warning},
    {"a line pattern 32 high", "Xpm=\"32 2 2 1\"\n\"a c #FF0000\"\n\"b c none\"\n" + LINE_ROWS, "Xpm=\"32 32 2 1\"\n\"a c #FF0000\"\n\"b c none\"\n" + rows("aaaaaaaaaaaaaaaabbbbbbbbbbbbbbbb", 32), Warning},
    {"an unknown font style", "String1=0x04,Town", "String1=0x04,Town\nFontStyle=Huge", Warning, 1},
    {"a night label colour without a day one on a polygon", "Town\n", "Town\nNightCustomColor=#FFFFFF\n", Warning, 1},
    {"a solid night colour none", "\"b c #445566\"", "\"b c none\"", Warning, -2},
    // Taken as written.
    {"an unclosed entry before the next", "\"a c #DCDCDC\"\n[end]", "\"a c #DCDCDC\"", Clean},
    {"an [end] outside any entry", "[_drawOrder]", "[end]\n[_drawOrder]", Clean},
    {"a colour with alpha= after it", "\"b c none\"\n\"abab\"", "\"b c #00FF00\" alpha=7\n\"abab\"", Clean},
    {"a colour with an alpha byte", "\"a c #DCDCDC\"", "\"a c #DCDCDC80\"", Clean},
    {"a SubType= in place of the type's low byte", "Type=0x2f06", "Type=0x2f\nSubType=0x06", Clean},
    {"a decimal type and lower-case keys", "Type=0x01\nLineWidth=3", "type=1\nlinewidth=3", Clean},
    {"a label without a language", "String1=0x04,Town", "String=Town", Clean},
    // Night colours in each form mkgmap takes.
    {"a polygon pattern with night colours", "\"32 32 2 1\"\n", "\"32 32 4 1\"\n\"c c #000000\"\n\"d c none\"\n", Clean},
    {"a bordered line with night colours", "\"0 0 2 0\"\n\"a c #FF0000\"\n\"b c #000000\"", "\"0 0 4 0\"\n\"a c #FF0000\"\n\"b c #000000\"\n\"c c #FF8080\"\n\"d c #333333\"", Clean},
    {"a line pattern with night colours", "Xpm=\"32 2 2 1\"\n\"a c #FF0000\"\n\"b c none\"\n", "Xpm=\"32 2 4 1\"\n\"a c #FF0000\"\n\"b c none\"\n\"c c #FF8080\"\n\"d c none\"\n", Clean},
    {"day and night label colours on a polygon", "Town\n", "Town\nDayCustomColor=#000000\nNightCustomColor=#FFFFFF\n", Clean},
    {"a night label colour alone on a point", "String1=0x04,Bank", "String1=0x04,Bank\nNightCustomColor=#FFFFFF", Clean},
};

TEST(CheckAgainstMkgmap, finds_an_error_exactly_where_mkgmap_refuses_a_text_and_names_its_line) {
    const test::TempDir tmp;
    for (std::size_t i = 0; i < CHANGES.size(); ++i) {
        const Change& c = CHANGES[i];
        std::string text = GOOD;
        const std::size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.what;
        text.replace(at, c.from.size(), c.to);
        const std::string path = tmp.write("case" + std::to_string(i) + "/out.txt", text);
        const auto line = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1 + c.shift;
        const test::CliOutput check = test::cli({"--check", path});
        const test::CliOutput strict = test::cli({"--strict", "--check", path});
        EXPECT_EQ(check.exit_code, c.verdict == Error ? 1 : 0) << c.what << '\n' << check.err;
        EXPECT_EQ(strict.exit_code, c.verdict == Clean ? 0 : 1) << c.what << '\n' << strict.err;
        const std::string named = path + ':' + std::to_string(line) + (c.verdict == Error ? ": error: " : ": warning: ");
        EXPECT_TRUE(c.verdict == Clean || check.err.find(named) != std::string::npos) << c.what << '\n' << check.err;
    }
    if (const std::string missing = test::mkgmap_command_missing(tmp); !missing.empty()) GTEST_SKIP() << missing;
    // The exit status is mkgmap's verdict (it fails on a label it cannot write, too).
    std::vector<std::pair<std::string, std::string>> texts;
    for (std::size_t i = 0; i < CHANGES.size(); ++i)
        texts.emplace_back("out.txt", test::read_bytes(tmp / ("case" + std::to_string(i) + "/out.txt")));
    const std::vector<test::MkgmapResult> results = test::mkgmap_compile(tmp, "mkgmap", texts);
    ASSERT_EQ(results.size(), CHANGES.size());
    for (std::size_t i = 0; i < CHANGES.size(); ++i)
        EXPECT_EQ(!results[i].compiled, CHANGES[i].verdict == Error)
            << CHANGES[i].what << (results[i].compiled ? ": mkgmap takes it" : ": mkgmap refuses it");
}

TEST(CheckTypText, ends_with_a_summary_that_counts_what_it_said_and_shows_at_most_a_hundred_problems) {
    const test::TempDir tmp;
    const std::string good = tmp.write("good.txt", GOOD);
    EXPECT_EQ(test::cli({"--check", good}).out, good + ": 6 entries, no problems\n");
    std::string bad = GOOD;
    bad.replace(bad.find("Type=0x03\n"), 10, "Type=0xZZ\n");          // an error
    bad.replace(bad.find("\"32 32 2 1\""), 12, "\"16 32 2 1\"");    // an error
    bad.replace(bad.find("UseOrientation=Y\n"), 0, "Colour=red\n");  // a warning
    const std::string path = tmp.write("bad.txt", bad);
    for (const bool strict : {false, true}) {
        const test::CliOutput r = strict ? test::cli({"--strict", "--check", path}) : test::cli({"--check", path});
        EXPECT_EQ(r.exit_code, 1);
        const auto said = [&](const char* what) {
            std::size_t n = 0;
            for (std::size_t at = r.err.find(what); at != std::string::npos; at = r.err.find(what, at + 1)) ++n;
            return n;
        };
        EXPECT_TRUE(said(": error: ") == 2u && said(": warning: ") == 1u) << r.err;
        EXPECT_EQ(r.out, path + ": 6 entries, 2 errors, 1 warning\n");
    }
    std::string many = GOOD;
    for (int i = 0; i < 130; ++i) many.replace(many.find("Type=0x03\n"), 10, "Type=0x03\nFoo=1\n");
    const std::string cut_path = tmp.write("many.txt", many);
    const test::CliOutput cut = test::cli({"--strict", "--check", cut_path});
    EXPECT_EQ(cut.exit_code, 1);
    EXPECT_EQ(std::count(cut.err.begin(), cut.err.end(), '\n'), 101);
    EXPECT_TRUE(test::has(cut.err, cut_path + ":112: warning: ") && !test::has(cut.err, cut_path + ":113:"));  // the 100th, no more
    EXPECT_NE(cut.err.find(cut_path + ": 30 more problems not shown\n"), std::string::npos) << cut.err;
    EXPECT_EQ(cut.out, cut_path + ": 6 entries, 0 errors, 130 warnings\n");
}
}  // namespace
}  // namespace tessaro
