#include "entry_builder.h"
#include "library_files.h"
#include "support/temp_dir.h"
#include "text_util.h"

namespace tessaro {
namespace {
// One code for each way a key is formed; the codes of the styles mkgmap ships are the library files' test.
TEST(LibraryKey, forms_point_line_and_polygon_keys) {
    const std::tuple<Section, const char*, const char*> cases[] = {
        {Section::Point, "0x2f0b", "02f0b"}, {Section::Point, "0x2f", "2f"}, {Section::Point, "0x11401", "11401"}, {Section::Point, "2f0b", "02f0b"},
        {Section::Point, "0X2F0B", "02F0B"}, {Section::Line, "0x1", "00100"}, {Section::Line, "0x10e", "10e00"}, {Section::Line, "0x10801", "10801"},
        {Section::Polygon, "0x4", "04"}, {Section::Polygon, "0x1f05", "1f"}, {Section::Polygon, "0x10f00", "10f"}, {Section::Polygon, "0x10f04", "10f04"}};
    for (const auto& [section, code, key] : cases) EXPECT_EQ(library_key(section, code), key) << section_name(section) << code;
}

const std::string POINTS =
    "[_point]\r\nType=0x10f04\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n[end]\r\n"
    "[_point]\r\nSubType=0x10\r\nType=0x2f\r\nString1=0x04,Bar\r\nXpm=\"1 1 1 1\"\r\n\"a c #000004\"\r\n\"a\"\r\n[end]\r\n"
    "[_point]\r\ntype=0x10\r\nExtendedLabels=Y\r\nXpm=\"1 1 1 1\"\r\n\"a c #000005\"\r\n\"a\"\r\n[end]\r\n"
    "[_point]\r\nType=0x02f0b\r\nDayXpm=\"1 1 1 1\"\r\n\"a c #000006\"\r\n\"a\"\r\nNightXpm=\"1 1 1 1\"\r\n\"a c #000007\"\r\n\"a\"\r\n[end]\r\n"
    "[_point]\r\nType=0x04\r\nIconLess=Y\r\n[end]\r\n"
    "[_point]\r\nType=0x06\r\nXpm=\"1 1 1 1\"\r\n\"a c #000008\"\r\n\"a\"\r\n[End]\r\n"
    "[_point]\r\nType=0x0a[end]\r\n";

const LibraryText POINT_LIBRARY(POINTS);

LibraryLook point_look(const char* code, bool tag_text, const char* condition = "t") {
    return find_library_look(Section::Point, code, condition, POINT_LIBRARY, tag_text);
}

// Finding the code is the library text's own test, a plain copy and a label before "Xpm" the golden files'.
TEST(FindLibraryLook, copies_the_entry_to_its_end_puts_the_label_before_extended_or_xpm_and_flags_conflicts) {
    const std::tuple<bool, const char*, const char*> cases[] = {
        {false, "0x06", "0x06\r\nXpm=\"1 1 1 1\"\r\n\"a c #000008\"\r\n\"a\"\r\n"}, {false, "0x2", ""},  // up to "[End]" too
        // The label goes before the line holding "Extended": "DayXpm=" stays whole.
        {true, "0x10", "0x10\r\n\r\nString1=0x04,t\r\nExtendedLabels=Y\r\nXpm=\"1 1 1 1\"\r\n\"a c #000005\"\r\n\"a\"\r\n"},
        {true, "0x2f0b", "0x02f0b\r\n\r\nString1=0x04,t\r\nDayXpm=\"1 1 1 1\"\r\n\"a c #000006\"\r\n\"a\"\r\nNightXpm=\"1 1 1 1\"\r\n\"a c #000007\"\r\n\"a\"\r\n"},
        {true, "0x04", ""}, {true, "0x0a", ""}};  // without a picture, which mkgmap refuses
    for (const auto& [tag_text, code, entry] : cases) {
        const LibraryLook look = point_look(code, tag_text);
        EXPECT_EQ(look.entry, entry) << code;
        EXPECT_TRUE(look.broken.has_value() == (*entry == '\0' && std::string(code) != "0x2") && !look.label_dropped) << code;
    }
    // An entry with a label of its own keeps it; with tag text on, the rule's label is dropped.
    for (bool tag_text : {false, true}) {
        const LibraryLook look = point_look("0x2f", tag_text, "x");
        EXPECT_TRUE(look.entry == "0x2f\r\nString1=0x04,Bar\r\nXpm=\"1 1 1 1\"\r\n\"a c #000004\"\r\n\"a\"\r\n" && look.label_dropped == tag_text);
    }
}

// Its code page, or UTF-8 where mkgmap reads the text so; cut after converting, never inside a character.
TEST(FindLibraryLook, makes_labels_in_the_characters_of_the_text_they_go_into_cut_to_254_bytes) {
    const auto repeated = [](const std::string& s, std::size_t n) { return replace_all(std::string(n, '.'), ".", s); };
    const std::string e_acute = "\xC3\xA9", zhe = "\xD0\x96", water = "\xE6\xB0\xB4";  // 0xE9 in 1252, in no Windows page
    const std::tuple<std::string, LabelCoding, std::string, bool> labels[] = {
        // 300 letters of 2 UTF-8 bytes are 300 bytes of the page: 254 letters, not 127.
        {repeated(e_acute, 300), {1252, false}, std::string(254, '\xE9'), false},
        {repeated(zhe, 300), {1251, true}, repeated(zhe, 254), false},
        // 65001: whole characters within 254 bytes.
        {repeated(zhe, 300), {UTF8_CODE_PAGE, true}, repeated(zhe, 127), false},
        {repeated(water, 100), {UTF8_CODE_PAGE, false}, repeated(water, 84), false},
        // Bytes that are no UTF-8 are the page's own: cut between any two bytes, in UTF-8 as the page reads them.
        {std::string(253, 'c') + "\xC3zz", {1252, false}, std::string(253, 'c') + "\xC3", false},
        {"caf\xE9 \x81", {1252, true}, "caf\xC3\xA9 ?", true},
    };
    for (const auto& [text, coding, bytes, lost] : labels) {
        const CodePageText made = make_label(text, coding);
        EXPECT_TRUE(made.bytes == bytes && made.lost == lost) << testing::PrintToString(text.substr(0, 12)) << " in " << coding.code_page;
    }
    const std::string moskva = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";
    const LibraryText lib("[_point]\nType=0x02f06\nXpm=\"1 1 1 1\"\n\"a c #000000\"\n\"a\"\n[end]\n");
    const auto label_line = [&](const std::string& condition, LabelCoding coding) {
        const LibraryLook look = find_library_look(Section::Point, "0x2f06", condition, lib, true, false, coding);
        const std::size_t at = look.entry.find("String1=0x04,");
        return (look.label_lost ? "lost " : "") +
               (at == std::string::npos ? std::string() : look.entry.substr(at, look.entry.find('\r', at) - at));
    };
    EXPECT_EQ(label_line("name=Stra\xC3\x9F" "e \xD0\x9C", {}), "lost String1=0x04,name=Stra\xDF" "e ?");
    EXPECT_EQ(label_line("name=" + moskva + " " + water, {1251, false}), "lost String1=0x04,name=\xCC\xEE\xF1\xEA\xE2\xE0 ?");
    EXPECT_EQ(label_line("name=" + moskva + " " + water, {1251, true}), "lost String1=0x04,name=" + moskva + " ?");
    EXPECT_EQ(label_line("name=" + moskva + " " + water, {1252, true}), "lost String1=0x04,name=?????? ?");
}

// A run reads no look of a library that still matches the seal its generator gave it; once a byte of it changed, each look
// it copies is read again, and one that mkgmap refuses is not copied. The polygon library is sealed as it lies in the file,
// before its labels become comments.
TEST(FindLibraryLook, trusts_a_library_only_while_it_matches_its_seal) {
    test::TempDir dir;
    const std::string good = "[_point]\r\nType=0x2f\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n[end]\r\n";
    const std::string sealed = seal_line(good) + good;
    std::string edited = sealed;
    edited.replace(edited.find("#000000"), 7, "#00000");  // a colour mkgmap refuses
    EXPECT_TRUE(has_intact_seal(sealed) && !has_intact_seal(edited) && !has_intact_seal(good) && !has_intact_seal(seal_line(good)));
    for (const auto& [text, trusted] : {std::pair{sealed, true}, {edited, false}}) {
        LibraryText library;
        ASSERT_FALSE(load_library_file(dir.write("points", text), Section::Point, library).has_value());
        EXPECT_TRUE(library.sealed() == trusted && find_library_look(Section::Point, "0x2f", "t", library, false).broken.has_value() != trusted);
    }
    const std::string polygons = "[_polygon]\r\nType=0x01\r\nString1=0x04,x\r\nXpm=\"0 0 1 1\"\r\n\"a c #000000\"\r\n[end]\r\n";
    LibraryText library;
    ASSERT_FALSE(load_library_file(dir.write("pgons.pol", seal_line(polygons) + polygons), Section::Polygon, library).has_value());
    EXPECT_TRUE(library.sealed() && library.text().find("String1=") == std::string_view::npos);
}

// Large libraries load on threads of their own: each must still land in its section, as the file it was read from. The
// polygon library's exact-case label keys become comments; a folder is the failure of its section alone; a missing file
// leaves no stale text behind, silently (the no_library golden file).
TEST(LoadLibraryFiles, give_each_section_its_file_as_loading_it_alone_does) {
    test::TempDir dir;
    std::string big;
    for (int i = 0; big.size() < 400'000; ++i) big += "[_x]\r\nType=0x" + std::to_string(i) + "\r\nString1=0x04,n\r\nstring1=m\r\n[end]\r\n";
    const PerSection<std::string> paths{{dir.path(), dir.write("lines", "line library " + big), dir.write("pgons.pol", "polygon library " + big)}};
    LibraryTexts together;
    const PerSection<std::optional<Failure>> failures = load_library_files(paths, together);
    for (Section s : ALL_SECTIONS) {
        LibraryText alone;
        EXPECT_EQ(failures[s], load_library_file(paths[s], s, alone)) << section_name(s);
        EXPECT_EQ(together[s].text(), alone.text()) << section_name(s);
        EXPECT_EQ(together[s].path(), paths[s]) << section_name(s);  // for what is said about its lines
    }
    ASSERT_TRUE(failures[Section::Point].has_value());
    EXPECT_TRUE(failures[Section::Point]->path == dir.path() && together[Section::Point].empty() && !failures[Section::Line]);
    EXPECT_EQ(together[Section::Line].text(), "line library " + big);
    EXPECT_TRUE(together[Section::Polygon].text().starts_with("polygon library [_x]\r\nType=0x0\r\n;0x04,n\r\nstring1=m\r\n"));
    LibraryText stale("stale");
    EXPECT_TRUE(!load_library_file(dir / "none", Section::Point, stale).has_value() && stale.empty());
}

// A label names the feature: never a bare yes, no, number or wildcard, and a qualifying tag only where nothing else is asked
// for.
TEST(FeatureLabel, names_the_most_telling_tag_with_its_key_where_the_value_says_nothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"natural=tree_row", "tree row"}, {"name=* & natural=tree_row", "tree row"}, {"mkgmap:bikeroute=yes", "bikeroute"},
        {"lcn=yes & route=bicycle", "bicycle"}, {"lcn=true", "lcn"}, {"kohdeluokka=42210", "kohdeluokka 42210"},
        {"ele=-12.5", "ele -12.5"}, {"intermittent=no", "no intermittent"}, {"area=false", "no area"}, {"building=*", "building"},
        {"tunnel=yes & waterway=*", "waterway"}, {"landuse ~ '^(landfill|quarry)$'", "landfill"},
        {"highway!=footway & surface=gravel {set x=y}", "gravel"}, {"bridge", "bridge"}, {"yes", ""}, {"42", ""},
        {"length() > 100", ""}, {"t=(u|v)", ""}, {"", ""}};
    for (const auto& [condition, label] : cases) EXPECT_EQ(feature_label(condition), label) << condition;
}
}  // namespace
}  // namespace tessaro
