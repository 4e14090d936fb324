#include "entry_builder.h"

#include <cctype>
#include <cstring>
#include <gtest/gtest.h>

#include "polygon_library.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

TEST(LibraryKey, forms_point_line_and_polygon_keys) {
    EXPECT_EQ(library_key(SECTION_POINT, "0x2f0b"), "02f0b");
    EXPECT_EQ(library_key(SECTION_POINT, "0x2f"), "2f");
    EXPECT_EQ(library_key(SECTION_POINT, "0x0100"), "00100");
    EXPECT_EQ(library_key(SECTION_POINT, "0x11401"), "11401");
    EXPECT_EQ(library_key(SECTION_LINE, "0x01"), "00100");
    EXPECT_EQ(library_key(SECTION_LINE, "0x1"), "00100");
    EXPECT_EQ(library_key(SECTION_LINE, "0x1a"), "01a00");
    EXPECT_EQ(library_key(SECTION_LINE, "0x10e"), "10e00");
    EXPECT_EQ(library_key(SECTION_LINE, "0x10801"), "10801");
    EXPECT_EQ(library_key(SECTION_POLYGON, "0x4"), "04");
    EXPECT_EQ(library_key(SECTION_POLYGON, "0x3c"), "3c");
    EXPECT_EQ(library_key(SECTION_POLYGON, "0x1f00"), "1f");
    EXPECT_EQ(library_key(SECTION_POLYGON, "0x1f05"), "1f");
    EXPECT_EQ(library_key(SECTION_POLYGON, "0x10f00"), "10f");
    EXPECT_EQ(library_key(SECTION_POLYGON, "0x10f04"), "10f04");
    EXPECT_EQ(library_key(SECTION_POINT, "2f0b"), "02f0b");
    EXPECT_EQ(library_key(SECTION_POINT, "0X2F0B"), "02F0B");
}

const std::string POINTS =
    "[_point]\r\nType=0x10f04\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n[end]\r\n"
    "[_point]\r\nSubType=0x10\r\nType=0x2f\r\nString1=0x04,Bar\r\nXpm=\"x\"\r\n[end]\r\n"
    "[_point]\r\ntype=0x10\r\nExtendedLabels=Y\r\nXpm=\"ten\"\r\n[end]\r\n"
    "[_point]\r\nType=0x02f0b\r\nDayXpm=\"day\"\r\nNightXpm=\"night\"\r\n[end]\r\n"
    "[_point]\r\nType=0x04\r\nIconLess=Y\r\n[end]\r\n"
    "[_point]\r\nType=0x06\r\nXpm=\"six\"\r\n[End]\r\n";

AppState with_points(bool tag_text) {
    AppState st;
    st.point_library.assign(POINTS);
    st.include_tag_text = tag_text;
    return st;
}

TEST(GetCode, returns_the_entry_from_its_code_up_to_its_end_marker) {
    AppState st = with_points(false);
    EXPECT_EQ(get_code(SECTION_POINT, "0x10f04", "x=y", st), "0x10f04\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n");
    EXPECT_EQ(get_code(SECTION_POINT, "0x2f", "x=y", st), "0x2f\r\nString1=0x04,Bar\r\nXpm=\"x\"\r\n");
    EXPECT_FALSE(st.label_conflict);
}

TEST(GetCode, matches_whole_codes_behind_type_only) {
    AppState st = with_points(false);
    // 0x10 is not found inside 0x10f04, nor behind SubType=, but behind a lower-case type=.
    EXPECT_EQ(get_code(SECTION_POINT, "0x10", "", st), "0x10\r\nExtendedLabels=Y\r\nXpm=\"ten\"\r\n");
    // 0x04 is not taken from the label line "String1=0x04,Bar".
    EXPECT_EQ(get_code(SECTION_POINT, "0x04", "", st), "0x04\r\nIconLess=Y\r\n");
    EXPECT_EQ(get_code(SECTION_POINT, "0x2", "", st), "");
    EXPECT_EQ(get_code(SECTION_POINT, "0x2d02]", "", st), "");
}

TEST(GetCode, answers_nothing_without_an_end_marker_or_for_another_section_number) {
    AppState st = with_points(true);
    // "[End]" does not end an entry: the next lower-case "[end]" is missing.
    EXPECT_EQ(get_code(SECTION_POINT, "0x06", "x", st), "");
    EXPECT_EQ(get_code(7, "0x10f04", "x", st), "");
    EXPECT_EQ(get_code(SECTION_LINE, "0x10f04", "x", st), "");
}

TEST(GetCode, puts_the_label_line_before_the_line_holding_extended_or_xpm) {
    AppState st = with_points(true);
    EXPECT_EQ(get_code(SECTION_POINT, "0x10f04", "amenity=bar", st),
              "0x10f04\r\n\r\nString1=0x04,amenity=bar\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n");
    EXPECT_EQ(get_code(SECTION_POINT, "0x10", "t", st),
              "0x10\r\n\r\nString1=0x04,t\r\nExtendedLabels=Y\r\nXpm=\"ten\"\r\n");
    // A "DayXpm=" key stays whole.
    EXPECT_EQ(get_code(SECTION_POINT, "0x2f0b", "p", st),
              "0x02f0b\r\n\r\nString1=0x04,p\r\nDayXpm=\"day\"\r\nNightXpm=\"night\"\r\n");
    EXPECT_FALSE(st.label_conflict);
}

TEST(GetCode, never_puts_the_label_into_the_type_code_line) {
    AppState st;
    st.include_tag_text = true;
    st.point_library.assign("Type=0Xpm\r\n[end]\r\nType=0xExtended\r\n[end]\r\nType=0x0a[end]");
    EXPECT_EQ(get_code(SECTION_POINT, "0xpm", "a", st), "0Xpm\r\n");
    EXPECT_EQ(get_code(SECTION_POINT, "0xextended", "a", st), "0xExtended\r\n");
    EXPECT_EQ(get_code(SECTION_POINT, "0x0a", "a", st), "0x0a");
}

TEST(GetCode, sets_the_conflict_flag_only_for_entries_with_a_label_of_their_own) {
    AppState st = with_points(true);
    EXPECT_EQ(get_code(SECTION_POINT, "0x04", "x", st), "0x04\r\nIconLess=Y\r\n");
    EXPECT_FALSE(st.label_conflict);
    EXPECT_EQ(get_code(SECTION_POINT, "0x2f", "x", st), "0x2f\r\nString1=0x04,Bar\r\nXpm=\"x\"\r\n");
    EXPECT_TRUE(st.label_conflict);

    AppState off = with_points(false);
    get_code(SECTION_POINT, "0x2f", "x", off);
    EXPECT_FALSE(off.label_conflict);
}

TEST(GetCode, cuts_labels_to_254_bytes_outside_multibyte_sequences) {
    AppState st = with_points(true);
    const std::string entry = get_code(SECTION_POINT, "0x10", std::string(300, 'a'), st);
    EXPECT_NE(entry.find("String1=0x04," + std::string(254, 'a') + "\r\n"), std::string::npos);

    EXPECT_EQ(cut_label(std::string(254, 'b')), std::string(254, 'b'));
    // "\xC3\xA4" starting at byte 253 would be split: the cut falls before it.
    EXPECT_EQ(cut_label(std::string(253, 'c') + "\xC3\xA4zz"), std::string(253, 'c'));
    EXPECT_EQ(cut_label(std::string(252, 'c') + "\xC3\xA4zz"), std::string(252, 'c') + "\xC3\xA4");
    EXPECT_EQ(cut_label(std::string(252, 'c') + "\xE2\x82\xAC"), std::string(252, 'c'));
}

TEST(GetCode, finds_upper_case_library_codes_and_keeps_their_case) {
    AppState st;
    st.polygon_library.assign(prepare_polygon_library("[_polygon]\nType=0x3C\nString1=0x04,Lake\nXpm=\"0 0 1 0\"\n[end]\n"));
    EXPECT_EQ(get_code(SECTION_POLYGON, "0x3c", "natural=water", st), "0x3C\n;0x04,Lake\nXpm=\"0 0 1 0\"\n");
    st.include_tag_text = true;
    EXPECT_EQ(get_code(SECTION_POLYGON, "0x3c", "natural=water", st),
              "0x3C\n;0x04,Lake\n\r\nString1=0x04,natural=water\r\nXpm=\"0 0 1 0\"\n");
    EXPECT_FALSE(st.label_conflict);
}

TEST(LibraryText, index_agrees_with_a_plain_search) {
    std::string text;
    for (int i = 0; i < 300; ++i) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%sType=0x%x\r\nx\r\n[end]\r\n", i % 7 == 0 ? "Sub" : "", i * 37 % 1024);
        text += buf;
    }
    const LibraryText lib(text);
    for (int k = 0; k < 1100; ++k) {
        char key[16];
        std::snprintf(key, sizeof key, "%x", k);
        std::size_t expected = std::string::npos;
        for (std::size_t p = text.find(std::string("Type=0x") + key); p != std::string::npos;
             p = text.find(std::string("Type=0x") + key, p + 1)) {
            const std::size_t after = p + 7 + std::strlen(key);
            const bool sub = p >= 3 && text.compare(p - 3, 3, "Sub") == 0;
            if (!sub && !(after < text.size() && std::isxdigit(static_cast<unsigned char>(text[after])))) {
                expected = p + 5;
                break;
            }
        }
        EXPECT_EQ(lib.find_type(key), expected) << key;
    }
}

TEST(Colours, fncol_and_f_mat_pad_to_two_digits) {
    EXPECT_EQ(fncol(0, 0, 0), "000000");
    EXPECT_EQ(fncol(255, 128, 5), "FF8005");
    EXPECT_EQ(fncol(256, 0, 1), "1000001");
    std::string s = "A";
    EXPECT_EQ(f_mat(s), "0A");
    EXPECT_EQ(s, "0A");
    std::string empty;
    EXPECT_EQ(f_mat(empty), "");
    std::string three = "1F0";
    EXPECT_EQ(f_mat(three), "1F0");
}

TEST(LoadText, reads_whole_files_and_is_silent_about_missing_ones) {
    test::TempDir dir;
    test::RecordingShell shell;
    EXPECT_EQ(loadtext(dir / "nothing", shell), "");
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(loadtext(dir.write("lib", "a\r\nb\0c"), shell), "a\r\nb");
    EXPECT_FALSE(shell.busy);
    EXPECT_EQ(loadtext(dir.path(), shell), "");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].find(dir.path()), std::string::npos);
}

TEST(PolygonLibrary, turns_every_exact_case_label_key_into_a_comment) {
    EXPECT_EQ(prepare_polygon_library("String1=0x04,Lake\nstring1=0x04,x\nString1=String1="), ";0x04,Lake\nstring1=0x04,x\n;;");
}

}  // namespace
}  // namespace tessaro
