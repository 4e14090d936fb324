// A text edited by hand, brought up to a changed style without losing a byte of the edits.
#include <filesystem>
#include "support/cli_capture.h"
#include "support/mkgmap.h"
#include "typ_reader.h"

namespace tessaro {
namespace {
using test::has, test::replaced;

std::string entry_block(const std::string& text, const std::string& start) {
    const std::size_t from = text.find(start), end = text.find("[end]\r\n\r\n", from);
    EXPECT_NE(end, std::string::npos) << start;
    return end == std::string::npos ? std::string() : text.substr(from, end + 9 - from);
}

// The library's looks carry no draw order level: their polygons are on the middle level, 3.
test::CliOutput run(std::vector<std::string> args, const std::string& out, const std::string& style) {
    args.insert(args.begin(), {"--seed", "1", "--res", TESSARO_SOURCE_DIR "/tests/library", "-o", out});
    args.push_back(style);
    return test::cli(args);
}

// What mkgmap compiled of the text; empty where there is no mkgmap (the test is skipped).
std::string expect_mkgmap_takes(const test::TempDir& tmp, const std::string& name, const std::string& text, int code_page = 1252) {
    tmp.write(name + "/out.txt", text);
    if (const std::string missing = test::mkgmap_command_missing(tmp); !missing.empty()) {
        [&] { GTEST_SKIP() << missing; }();
        return {};
    }
    const test::MkgmapResult compiled = test::mkgmap_compile_here(tmp / name, "out.txt", code_page);
    EXPECT_TRUE(compiled.compiled) << compiled.log;
    return compiled.typ;
}

std::string line_of(const std::string& text, const std::string& what) { return std::to_string(test::line_of(text, what)); }

TEST(Update, keeps_every_edited_byte_adds_the_new_type_and_names_or_prunes_the_one_dropped) {
    const test::TempDir tmp;
    const std::string style = tmp / "style";
    tmp.write_files({{"style/points", "amenity=bar [0x2d02 resolution 24]\namenity=pub [0x2f0b resolution 24]\n"},
                     {"style/lines", "highway=primary [0x02 resolution 20]\nhighway=track [0x0a resolution 20]\n"},
                     {"style/polygons", "natural=water [0x3c resolution 20]\nleisure=park [0x17 resolution 20]\n"
                                         "landuse=grass [0x4e00 resolution 20]\n"}});
    const std::string out = tmp / "out.txt";
    ASSERT_EQ(run({}, out, style).exit_code, 0);
    // A colour and a label, a draw order level, a comment, a type spelt with a SubType=.
    std::string edited = test::read_bytes(out);
    const std::string grass = entry_block(edited, "[_polygon]\r\nType=0x4e00\r\n");
    const std::string my_grass = replaced(replaced(grass, grass.substr(grass.find(" c #") + 4, 6), "123456"),
                                          "String1=0x4,grass", "String1=0x4,My meadow");
    edited = replaced(edited, grass, my_grass);
    edited = replaced(edited, "Type=0X4e,3\r\n", "Type=0X4e,7\r\n");
    edited = replaced(edited, "[_line]\r\n", "; my roads\r\n[_line]\r\n");
    edited = replaced(edited, "Type=0x02f0b\r\n", "Type=0x2f\r\nSubType=0x0b\r\n");
    tmp.write_files({{"out.txt", edited}, {"style/polygons", "natural=water [0x3c resolution 20]\nlanduse=grass [0x4e00 resolution 20]\n"
                                                             "landuse=forest [0x50 resolution 20]\n"}});
    ASSERT_EQ(run({}, tmp / "fresh.txt", style).exit_code, 0);
    const std::string forest = entry_block(test::read_bytes(tmp / "fresh.txt"), "[_polygon]\r\nType=0x50\r\n");
    ASSERT_FALSE(forest.empty());
    const test::CliOutput first = run({"--update", "--report", tmp / "looks.txt"}, out, style);
    EXPECT_EQ(first.exit_code, 0) << first.err;
    const std::string updated = test::read_bytes(out);
    EXPECT_EQ(updated, replaced(replaced(edited, my_grass, my_grass + forest), "0X4e,7\r\n", "0X4e,7\r\nType=0X50,3\r\n"));
    EXPECT_TRUE(has(first.err, "out.txt:" + line_of(updated, "[_polygon]\r\nType=0x17") + ": polygon type 0x17: "));
    EXPECT_TRUE(has(first.err, "6 entries kept, 1 added, 1 of types the style no longer uses kept"));
    const std::string looks = test::read_bytes(tmp / "looks.txt");
    for (const char* line : {"polygon\t0x4e00\tkept\t-\t-\tkept from the old text\tlanduse=grass\n", "polygon\t0x17\tunused\t", "point\t0x2f\tkept\t"})
        EXPECT_TRUE(has(looks, line));
    EXPECT_EQ(std::count(looks.begin(), looks.end(), '\n'), 9);  // a header and 8 entries
    EXPECT_EQ(run({"--update"}, out, style).exit_code, 0);
    EXPECT_EQ(test::read_bytes(out), updated);
    const test::CliOutput pruned = run({"--update", "--prune"}, out, style);
    EXPECT_EQ(pruned.exit_code, 0) << pruned.err;
    const std::string park = entry_block(updated, "[_polygon]\r\nType=0x17\r\n");
    EXPECT_EQ(test::read_bytes(out), replaced(replaced(updated, park, ""), "Type=0X17,3\r\n", ""));
    EXPECT_TRUE(has(pruned.err, "polygon type 0x17 (line "));
    expect_mkgmap_takes(tmp, "updated", updated);
    expect_mkgmap_takes(tmp, "pruned", test::read_bytes(out));
}

// A section left out, a style read only in part or with a fault prunes nothing unless forced.
TEST(Update, makes_a_missing_text_leaves_a_broken_one_starts_a_draw_order_and_prunes_nothing_of_a_style_read_in_part) {
    const test::TempDir tmp;
    const std::string style = tmp / "style";
    tmp.write_files({{"style/polygons", "natural=water [0x3c resolution 20]\n"}, {"style/lines", "highway=primary [0x02 resolution 20]\n"}});
    ASSERT_EQ(run({}, tmp / "fresh.txt", style).exit_code, 0);
    const std::string fresh = test::read_bytes(tmp / "fresh.txt");
    EXPECT_EQ(run({"--update"}, tmp / "new.txt", style).exit_code, 0);
    EXPECT_EQ(test::read_bytes(tmp / "new.txt"), fresh);
    const std::string broken = replaced(fresh, "Type=0x00200\r\n", "Type=0xZZ\r\n");
    const std::string path = tmp.write("old.txt", broken);
    const test::CliOutput refused = run({"--update", "--prune"}, path, style);
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_TRUE(has(refused.err, path + ":" + line_of(broken, "0xZZ") + ": error: "));
    EXPECT_EQ(test::read_bytes(path), broken);
    const test::CliOutput forced = run({"--update", "--force"}, path, style);
    EXPECT_EQ(forced.exit_code, 0) << forced.err;
    EXPECT_EQ(test::read_bytes(path), fresh);
    EXPECT_TRUE(has(forced.err, "had 1 error; --force replaced it"));
    const std::string old = "[_id]\r\nFID=12345\r\nCodePage=1252\r\n[End]\r\n; mine\r\n[_line]\r\nType=0x02\r\n"
                            "Xpm=\"0 0 1 0\"\r\n\"a c #FF0000\"\r\n[end]";
    tmp.write("old.txt", old);
    EXPECT_EQ(run({"--update"}, path, style).exit_code, 0);
    const std::string text = test::read_bytes(path);
    EXPECT_EQ(text, old + "\r\n[_drawOrder]\r\nType=0X3c,3\r\n[End]\r\n\r\n" + entry_block(fresh, "[_polygon]\r\nType=0x3c\r\n"));
    expect_mkgmap_takes(tmp, "updated", text);
    EXPECT_EQ(run({"--update", "--prune", "--no-lines"}, path, style).exit_code, 0);
    EXPECT_EQ(test::read_bytes(path), text);
#ifndef _WIN32
    if (!test::make_unreadable(style + "/polygons").empty()) {
        const test::CliOutput part = run({"--update", "--prune"}, path, style);
        EXPECT_TRUE(part.exit_code == 1 && has(part.err, "nothing was pruned")) << part.err;
        EXPECT_EQ(test::read_bytes(path), text);
    }
    std::filesystem::remove(style + "/polygons");  // not written through: it may be a link into this process
    tmp.write("style/polygons", "natural=water [0x3c resolution 20]\n");
#endif
    const std::string edited = replaced(fresh, "[_line]\r\n", "[_line]\r\n; my road\r\n");
    tmp.write_files({{"old.txt", edited}, {"style/lines", "highway=primary {name 'x'\n"}});
    const test::CliOutput kept = run({"--update", "--prune"}, path, style);
    EXPECT_TRUE(kept.exit_code == 0 && has(kept.err, "lines:1: this action") && has(kept.err, "nothing was pruned")) << kept.err;
    EXPECT_EQ(test::read_bytes(path), edited);
    EXPECT_EQ(run({"--update", "--prune", "--force"}, path, style).exit_code, 0);
    EXPECT_TRUE(!has(test::read_bytes(path), "; my road") && has(test::read_bytes(path), "Type=0x3c"));
}

// "Москва", and "Тверская" in windows-1251.
const std::string MOSKVA = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";
const std::string MOSKVA_1251 = "\xCC\xEE\xF1\xEA\xE2\xE0";
const std::string TVERSKAYA_1251 = "\xD2\xE2\xE5\xF0\xF1\xEA\xE0\xFF";
// mkgmap reads a text with a byte order mark as UTF-8.
TEST(Update, writes_the_new_labels_of_a_text_in_1251_in_its_characters_and_compiles_it_in_1251) {
    const test::TempDir tmp;
    const std::string style = tmp / "style";
    tmp.write("style/lines", "highway=primary [0x02 resolution 20]\n");
    ASSERT_EQ(run({}, tmp / "fresh.txt", style).exit_code, 0);
    const std::string own = replaced(replaced(test::read_bytes(tmp / "fresh.txt"), "CodePage=1252", "CodePage=1251"),
                                     "Type=0x00200\r\n", "Type=0x00200\r\nString1=0x04," + TVERSKAYA_1251 + "\r\n");
    tmp.write("style/points", "place=city & name='" + MOSKVA + "' [0x0100 resolution 24]\n"
                              "amenity=bar & name='Caf\xC3\xA9' [0x2d02 resolution 24]\n");
    const std::string tverskaya = "\xD0\xA2\xD0\xB2\xD0\xB5\xD1\x80\xD1\x81\xD0\xBA\xD0\xB0\xD1\x8F";
    const std::string own_utf8 = "\xEF\xBB\xBF" + replaced(own, TVERSKAYA_1251, tverskaya);
    for (const auto& [old, city, name] : {std::tuple{own, MOSKVA_1251, "cp1251"}, {own_utf8, MOSKVA, "utf8"}}) {
        const std::string path = tmp.write("old.txt", old);
        const test::CliOutput r = run({"--update", "--tag-text"}, path, style);
        EXPECT_EQ(r.exit_code, 0) << r.err;
        const std::string updated = test::read_bytes(path);
        EXPECT_TRUE(updated.starts_with(old));
        EXPECT_TRUE(has(updated, "String1=0x04,place=city & name='" + city + "'\r\n"));
        EXPECT_TRUE(has(updated, "String1=0x04,amenity=bar & name='Caf?'\r\n"));
        EXPECT_TRUE(has(r.err, "1 label has characters that the TYP text's code page 1251 lacks"));
        EXPECT_TRUE(has(r.err, "compile it, keeping its labels, with: mkgmap --family-id=12345 --code-page=1251 " + path + "\n"));
        const std::string typ = expect_mkgmap_takes(tmp, name, updated, 1251);
        EXPECT_TRUE(typ.empty() || (has(typ, MOSKVA_1251) && has(typ, TVERSKAYA_1251)));
    }
}
}  // namespace
}  // namespace tessaro
