#include "entry_builder.h"

#include <cctype>
#include <gtest/gtest.h>
#include <sstream>

#include "polygon_library.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

TEST(LibraryKey, forms_point_line_and_polygon_keys) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {SECTION_POINT, "0x2f0b", "02f0b"}, {SECTION_POINT, "0x2f", "2f"},       {SECTION_POINT, "0x0100", "00100"},
        {SECTION_POINT, "0x11401", "11401"}, {SECTION_POINT, "2f0b", "02f0b"},   {SECTION_POINT, "0X2F0B", "02F0B"},
        {SECTION_LINE, "0x01", "00100"},     {SECTION_LINE, "0x1", "00100"},     {SECTION_LINE, "0x1a", "01a00"},
        {SECTION_LINE, "0x10e", "10e00"},    {SECTION_LINE, "0x10801", "10801"}, {SECTION_POLYGON, "0x4", "04"},
        {SECTION_POLYGON, "0x3c", "3c"},     {SECTION_POLYGON, "0x1f00", "1f"},  {SECTION_POLYGON, "0x1f05", "1f"},
        {SECTION_POLYGON, "0x10f00", "10f"}, {SECTION_POLYGON, "0x10f04", "10f04"},
    };
    for (const auto& [section, code, key] : cases) EXPECT_EQ(library_key(section, code), key) << section << code;
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

TEST(GetCode, finds_whole_codes_behind_type_only_puts_the_label_before_extended_or_xpm_and_flags_conflicts) {
    const std::tuple<bool, const char*, const char*> cases[] = {
        // The entry runs from its code up to "[end]"; "[End]" does not end it.
        {false, "0x10f04", "0x10f04\r\nXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n"},
        {true, "0x06", ""},
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
        AppState st = with_points(tag_text);
        EXPECT_EQ(get_code(SECTION_POINT, code, "t", st), entry) << code;
        EXPECT_FALSE(st.label_conflict) << code;
    }
    AppState st = with_points(true);
    EXPECT_EQ(get_code(7, "0x10f04", "t", st) + get_code(SECTION_LINE, "0x10f04", "t", st), "");
    // An entry with a label of its own keeps it; with tag text on, that is a conflict.
    for (bool tag_text : {false, true}) {
        AppState conflict = with_points(tag_text);
        EXPECT_EQ(get_code(SECTION_POINT, "0x2f", "x", conflict), "0x2f\r\nString1=0x04,Bar\r\nXpm=\"x\"\r\n");
        EXPECT_EQ(conflict.label_conflict, tag_text);
    }
}

TEST(GetCode, never_puts_the_label_into_the_type_code_line) {
    AppState st;
    st.include_tag_text = true;
    // "0xpmf" is no whole "0xpm".
    st.point_library.assign("Type=0xpmf\r\n[end]\r\nType=0Xpm\r\n[end]\r\nType=0xExtended\r\n[end]\r\nType=0x0a[end]");
    EXPECT_EQ(get_code(SECTION_POINT, "0xpm", "a", st), "0Xpm\r\n");
    EXPECT_EQ(get_code(SECTION_POINT, "0xextended", "a", st), "0xExtended\r\n");
    EXPECT_EQ(get_code(SECTION_POINT, "0x0a", "a", st), "0x0a");
}

// A long label of a library look is cut to 254 bytes in the quirks golden file.
TEST(GetCode, cuts_labels_to_254_bytes_outside_multibyte_sequences) {
    EXPECT_EQ(cut_label(std::string(254, 'b')), std::string(254, 'b'));
    // "\xC3\xA4" starting at byte 253 would be split: the cut falls before it.
    EXPECT_EQ(cut_label(std::string(253, 'c') + "\xC3\xA4zz"), std::string(253, 'c'));
    EXPECT_EQ(cut_label(std::string(252, 'c') + "\xC3\xA4zz"), std::string(252, 'c') + "\xC3\xA4");
    EXPECT_EQ(cut_label(std::string(252, 'c') + "\xE2\x82\xAC"), std::string(252, 'c'));
}

TEST(GetCode, finds_upper_case_codes_of_the_prepared_polygon_library_and_keeps_their_case) {
    AppState st;
    st.polygon_library.assign(prepare_polygon_library("[_polygon]\nType=0x3C\nString1=0x04,Lake\nXpm=\"0 0 1 0\"\n[end]\n"));
    EXPECT_EQ(get_code(SECTION_POLYGON, "0x3c", "natural=water", st), "0x3C\n;0x04,Lake\nXpm=\"0 0 1 0\"\n");
    // Every exact-case label key of the polygon library becomes a comment.
    EXPECT_EQ(prepare_polygon_library("String1=0x04,Lake\nstring1=0x04,x\nString1=String1="), ";0x04,Lake\nstring1=0x04,x\n;;");
}

// The index against a plain search for the first whole code not behind "Sub", over codes of 1 to 3 digits.
TEST(LibraryText, index_agrees_with_a_plain_search) {
    const auto hex = [](int n) { return (std::ostringstream() << std::hex << n).str(); };
    std::string text;
    for (int i = 0; i < 300; ++i) text += (i % 7 == 0 ? "Sub" : "") + ("Type=0x" + hex(i * 37 % 1024)) + "\r\nx\r\n[end]\r\n";
    const LibraryText lib(text);
    for (int k = 0; k < 1100; ++k) {
        const std::string needle = "Type=0x" + hex(k);
        std::size_t p = text.find(needle);
        while (p != std::string::npos && ((p >= 3 && text.compare(p - 3, 3, "Sub") == 0) ||
                                          std::isxdigit(static_cast<unsigned char>(text[p + needle.size()]))))
            p = text.find(needle, p + 1);
        EXPECT_EQ(lib.find_type(hex(k)), p == std::string::npos ? p : p + 5) << hex(k);
    }
}

// Missing library files are silent: pinned by the no_library golden file.
TEST(LoadText, reads_whole_files_and_names_a_folder) {
    test::TempDir dir;
    test::RecordingShell shell;
    EXPECT_EQ(loadtext(dir.write("lib", "a\r\nb"), shell), "a\r\nb");
    EXPECT_EQ(loadtext(dir.path(), shell), "");
    EXPECT_FALSE(shell.busy);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].find(dir.path()), std::string::npos);
}

}  // namespace
}  // namespace tessaro
