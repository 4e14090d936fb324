#include "entry_builder.h"

#include <gtest/gtest.h>

#include "library_files.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

TEST(LibraryKey, forms_point_line_and_polygon_keys) {
    const std::tuple<Section, const char*, const char*> cases[] = {
        {Section::Point, "0x2f0b", "02f0b"}, {Section::Point, "0x2f", "2f"},       {Section::Point, "0x0100", "00100"},
        {Section::Point, "0x11401", "11401"}, {Section::Point, "2f0b", "02f0b"},   {Section::Point, "0X2F0B", "02F0B"},
        {Section::Line, "0x01", "00100"},     {Section::Line, "0x1", "00100"},     {Section::Line, "0x1a", "01a00"},
        {Section::Line, "0x10e", "10e00"},    {Section::Line, "0x10801", "10801"}, {Section::Polygon, "0x4", "04"},
        {Section::Polygon, "0x3c", "3c"},     {Section::Polygon, "0x1f00", "1f"},  {Section::Polygon, "0x1f05", "1f"},
        {Section::Polygon, "0x10f00", "10f"}, {Section::Polygon, "0x10f04", "10f04"},
    };
    for (const auto& [section, code, key] : cases) EXPECT_EQ(library_key(section, code), key) << section_name(section) << code;
}

const std::string POINTS =
    "[_point]\r\nType=0x10f04\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n[end]\r\n"
    "[_point]\r\nSubType=0x10\r\nType=0x2f\r\nString1=0x04,Bar\r\nXpm=\"x\"\r\n[end]\r\n"
    "[_point]\r\ntype=0x10\r\nExtendedLabels=Y\r\nXpm=\"ten\"\r\n[end]\r\n"
    "[_point]\r\nType=0x02f0b\r\nDayXpm=\"day\"\r\nNightXpm=\"night\"\r\n[end]\r\n"
    "[_point]\r\nType=0x04\r\nIconLess=Y\r\n[end]\r\n"
    "[_point]\r\nType=0x06\r\nXpm=\"six\"\r\n[End]\r\n";

const LibraryText POINT_LIBRARY(POINTS);

LibraryLook point_look(const char* code, bool tag_text, const char* condition = "t") {
    return get_code(Section::Point, code, condition, POINT_LIBRARY, tag_text);
}

TEST(GetCode, finds_whole_codes_behind_type_only_puts_the_label_before_extended_or_xpm_and_flags_conflicts) {
    const std::tuple<bool, const char*, const char*> cases[] = {
        // The entry runs from its code up to "[end]", in either case.
        {false, "0x10f04", "0x10f04\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n"},
        {false, "0x06", "0x06\r\nXpm=\"six\"\r\n"},
        // 0x10 is not found inside 0x10f04, nor behind SubType=, but behind a lower-case
        // type=; 0x04 is not taken from the label line "String1=0x04,Bar".
        {false, "0x10", "0x10\r\nExtendedLabels=Y\r\nXpm=\"ten\"\r\n"},
        {false, "0x04", "0x04\r\nIconLess=Y\r\n"},
        {false, "0x2", ""},
        {false, "0x2d02]", ""},
        // The label goes before the line holding "Extended" (else "Xpm", pinned by the
        // golden files): "DayXpm=" stays whole.
        {true, "0x10", "0x10\r\n\r\nString1=0x04,t\r\nExtendedLabels=Y\r\nXpm=\"ten\"\r\n"},
        {true, "0x2f0b", "0x02f0b\r\n\r\nString1=0x04,t\r\nDayXpm=\"day\"\r\nNightXpm=\"night\"\r\n"},
        {true, "0x04", "0x04\r\nIconLess=Y\r\n"},
    };
    for (const auto& [tag_text, code, entry] : cases) {
        const LibraryLook look = point_look(code, tag_text);
        EXPECT_EQ(look.entry, entry) << code;
        EXPECT_FALSE(look.label_dropped) << code;
    }
    EXPECT_EQ(get_code(Section::Point, "0x10f04", "t", LibraryText(), true).entry, "");  // no library, no look
    // An entry with a label of its own keeps it; with tag text on, the rule's label is dropped.
    for (bool tag_text : {false, true}) {
        const LibraryLook look = point_look("0x2f", tag_text, "x");
        EXPECT_EQ(look.entry, "0x2f\r\nString1=0x04,Bar\r\nXpm=\"x\"\r\n");
        EXPECT_EQ(look.label_dropped, tag_text);
    }
}

TEST(GetCode, never_puts_the_label_into_the_type_code_line) {
    const LibraryText lib("Type=0x0a[end]\r\nType=0x0b\r\n[end]");
    EXPECT_EQ(get_code(Section::Point, "0x0a", "a", lib, true).entry, "0x0a");
    EXPECT_EQ(get_code(Section::Point, "0x0b", "a", lib, true).entry, "0x0b\r\n");
}

// A broken entry gives no look, with or without a label to add, and a
// warning that names the library file, the line of its Type= and its code.
TEST(GetCode, gives_no_look_but_a_warning_for_a_broken_entry) {
    const LibraryText lib("[_point]\r\nType=0Xpm\r\nXpm=\"x\"\r\n[end]\r\n[_point]\r\nType=0x02d02\r\nXpm=\"x\"\r\n"
                          "[_point]\r\nType=0x01\r\nXpm=\"x\"\r\n[end]\r\n",
                          "res/points");
    const std::pair<const char*, Warning> cases[] = {
        {"0xpm", Warning{Warning::Kind::LibraryEntryBroken, "res/points", 2, "0Xpm"}},
        {"0x2d02", Warning{Warning::Kind::LibraryEntryBroken, "res/points", 6, "0x02d02"}},
    };
    for (bool tag_text : {false, true}) {
        for (const auto& [code, warning] : cases) {
            const LibraryLook look = get_code(Section::Point, code, "a", lib, tag_text);
            EXPECT_EQ(look.entry, "") << code;
            EXPECT_FALSE(look.label_dropped) << code;
            EXPECT_EQ(look.broken, warning) << code;
        }
        EXPECT_FALSE(get_code(Section::Point, "0x01", "a", lib, tag_text).broken.has_value());
    }
}

// A long label of a library look is cut to 254 bytes in the quirks golden file.
TEST(GetCode, cuts_labels_to_254_bytes_of_the_code_page_after_converting_them) {
    EXPECT_EQ(make_label(std::string(300, 'b')).bytes, std::string(254, 'b'));
    // 300 "é" are 600 bytes of UTF-8 but 300 of 1252: the cut keeps 254 letters, not 127.
    std::string e_acute;
    for (int i = 0; i < 300; ++i) e_acute += "\xC3\xA9";
    EXPECT_EQ(make_label(e_acute).bytes, std::string(254, '\xE9'));
    // Bytes that are no UTF-8 are 1252 already: cut as they stand, between any two bytes.
    EXPECT_EQ(make_label(std::string(253, 'c') + "\xC3zz").bytes, std::string(253, 'c') + "\xC3");

    const LibraryText lib("[_point]\nType=0x02f06\nXpm=\"0 0 1 0\"\n[end]\n");
    const LibraryLook look = get_code(Section::Point, "0x2f06", "name=Stra\xC3\x9F" "e \xD0\x9C", lib, true);
    EXPECT_NE(look.entry.find("String1=0x04,name=Stra\xDF" "e ?\r\n"), std::string::npos) << look.entry;
    EXPECT_TRUE(look.label_lost);
    EXPECT_FALSE(get_code(Section::Point, "0x2f06", "name=caf\xC3\xA9", lib, true).label_lost);
    // Without Include Tag Text no label is written, so none loses anything.
    EXPECT_FALSE(get_code(Section::Point, "0x2f06", "name=\xD0\x9C", lib, false).label_lost);
}

TEST(GetCode, finds_upper_case_codes_of_the_prepared_polygon_library_and_keeps_their_case) {
    const LibraryText lib(prepare_polygon_library("[_polygon]\nType=0x3C\nString1=0x04,Lake\nXpm=\"0 0 1 0\"\n[end]\n"));
    EXPECT_EQ(get_code(Section::Polygon, "0x3c", "natural=water", lib, false).entry, "0x3C\n;0x04,Lake\nXpm=\"0 0 1 0\"\n");
    // Every exact-case label key of the polygon library becomes a comment.
    EXPECT_EQ(prepare_polygon_library("String1=0x04,Lake\nstring1=0x04,x\nString1=String1="), ";0x04,Lake\nstring1=0x04,x\n;;");
}

// Missing library files are silent: pinned by the no_library golden file.
TEST(LoadLibraryFile, reads_whole_files_prepares_the_polygon_library_and_names_a_folder) {
    test::TempDir dir;
    LibraryText text("stale");
    EXPECT_FALSE(load_library_file(dir.write("lib", "a\r\nString1=b"), Section::Line, text).has_value());
    EXPECT_EQ(text.text(), "a\r\nString1=b");
    EXPECT_EQ(text.path(), dir / "lib");  // for what is said about its lines
    EXPECT_FALSE(load_library_file(dir / "lib", Section::Polygon, text).has_value());
    EXPECT_EQ(text.text(), "a\r\n;b");
    EXPECT_FALSE(load_library_file(dir / "none", Section::Point, text).has_value());
    EXPECT_TRUE(text.empty());
    const std::optional<Failure> folder = load_library_file(dir.path(), Section::Point, text);
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(folder->path, dir.path());
    EXPECT_TRUE(text.empty());
}

// Large libraries load on threads of their own: each must still land in its section.
TEST(LoadLibraryFiles, gives_each_section_what_loading_it_alone_gives) {
    test::TempDir dir;
    std::string big;
    for (int i = 0; big.size() < 400'000; ++i) big += "[_x]\r\nType=0x" + std::to_string(i) + "\r\nString1=0x04,n\r\n[end]\r\n";
    PerSection<std::string> paths;
    paths[Section::Point] = dir.path();  // a folder: the failure of that section alone
    paths[Section::Line] = dir.write("lines", "line library " + big);
    paths[Section::Polygon] = dir.write("pgons.pol", "polygon library " + big);
    LibraryTexts together;
    const PerSection<std::optional<Failure>> failures = load_library_files(paths, together);
    for (Section s : ALL_SECTIONS) {
        LibraryText alone;
        EXPECT_EQ(failures[s], load_library_file(paths[s], s, alone)) << section_name(s);
        EXPECT_EQ(together[s].text(), alone.text()) << section_name(s);
    }
    ASSERT_TRUE(failures[Section::Point].has_value());
    EXPECT_FALSE(failures[Section::Line].has_value());
    EXPECT_TRUE(together[Section::Polygon].text().starts_with("polygon library [_x]\r\nType=0x0\r\n;0x04,n\r\n"));
}

}  // namespace
}  // namespace tessaro
