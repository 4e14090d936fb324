#include "typ_update.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

namespace tessaro {
namespace {
// A text's first line end (CR LF where it has none) is what its new lines end with; its labels follow its code page (1252
// where it names none) and the charset it is read in.
TEST(UpdateTypText, finds_the_line_end_and_the_label_coding_of_the_old_text) {
    const std::pair<const char*, LineEnd> ends[] = {{"", LineEnd::CrLf}, {"[_id]", LineEnd::CrLf}, {"a\r\nb\nc\r", LineEnd::CrLf},
                                                    {"a\nb\r\n", LineEnd::Lf}, {"\n", LineEnd::Lf}, {"a\rb\r\n", LineEnd::Cr},
                                                    {"a\r", LineEnd::Cr}, {"a\r\r\n", LineEnd::Cr}};
    for (const auto& [text, end] : ends) EXPECT_EQ(line_end_of(text), end) << testing::PrintToString(text);
    TypDocument doc;
    for (const auto& [page, charset, coding] : {std::tuple{0, "", LabelCoding{1252, false}}, {1251, "cp1251", LabelCoding{1251, false}},
                                                {1251, "UTF-8", LabelCoding{1251, true}}, {0, "UTF-8", LabelCoding{1252, true}}}) {
        std::tie(doc.code_page, doc.charset) = std::tuple(page, charset);
        EXPECT_EQ(label_coding(doc), coding) << page << charset;
    }
}

// The old text after the update, its lines ended by "\n"; the bytes the update adds stand between "{" and "}". Its last line
// had no line end.
constexpr std::string_view UPDATED =
    "[_id]\nFID=12345\nCodePage=1252\n[End]\n\n"
    "[_drawOrder]\nType=0x3c,3\nType=0x17,2\n{Type=0X50,3\n}[End]\n\n"
    "[_polygon]\nType=0x3c\nXpm=\"0 0 1 0\"\n\"a c #0000FF\"\n[end]\n\n"
    "[_polygon]\nType=0x17\nXpm=\"0 0 1 0\"\n\"a c #00FFFF\"\n[end]\n\n"
    "{[_polygon]\nType=0x50\nXpm=\"0 0 1 0\"\n\"a c #00FF00\"\n[end]\n\n"
    "}[_line]\nType=0x02\nXpm=\"0 0 1 0\"\n\"a c #FF0000\"\n[end]{\n[_line]\nType=0x0a\nXpm=\"0 0 1 0\"\n\"a c #FFFF00\"\n[end]\n\n"
    "[_point]\nType=0x2d02\nXpm=\"0 0 1 0\"\n\"a c #000000\"\n[end]\n\n"
    "}";

// The fresh run of a style of water, forest, primary, track and bar: CR LF, but for the track's look, which came from a
// library of LF line ends.
std::vector<Entry> fresh_entries() {
    const auto entry = [](Section section, std::uint32_t code, std::string text, std::string digits = {}) {
        Entry e;
        std::tie(e.section, e.type, e.text, e.draw_order, e.level) = std::tuple(section, code_typ_type(section, code), text, digits, 3);
        e.look.section = section;
        return e;
    };
    return {entry(Section::Polygon, 0x3c, "[_polygon]\r\nType=0x3c\r\nXpm=\"0 0 1 0\"\r\n\"a c #0000FF\"\r\n[end]\r\n", "3c"),
            entry(Section::Polygon, 0x50, "[_polygon]\r\nType=0x50\r\nXpm=\"0 0 1 0\"\r\n\"a c #00FF00\"\r\n[end]\r\n", "50"),
            entry(Section::Line, 0x02, "[_line]\r\nType=0x02\r\nXpm=\"0 0 1 0\"\r\n\"a c #FF0000\"\r\n[end]\r\n"),
            entry(Section::Line, 0x0a, "[_line]\r\nType=0x0a\nXpm=\"0 0 1 0\"\n\"a c #FFFF00\"\n[end]\r\n"),
            entry(Section::Point, 0x2d02, "[_point]\r\nType=0x2d02\r\nXpm=\"0 0 1 0\"\r\n\"a c #000000\"\r\n[end]\r\n")};
}

// `text` with its "\n" line ends as `end`, the marked spans kept (without their marks) or dropped.
std::string ended(std::string_view text, std::string_view end, bool added) {
    std::string out;
    bool in_added = false;
    for (const char c : text) {
        if (c == '{' || c == '}') in_added = c == '{';
        else if (!in_added || added) c == '\n' ? out.append(end) : out.append(1, c);
    }
    return out;
}

// A text of CR LF, of LF or of CR alone gains only lines of its own line end, and keeps every old byte.
TEST(UpdateTypText, adds_lines_with_the_old_texts_line_ends_and_keeps_every_old_byte) {
    const std::vector<Entry> entries = fresh_entries();
    PerSection<TypeSet> types{};
    for (const Entry& e : entries) types[e.section].insert(e.type);
    const PerSection<bool> sections{{true, true, true}};
    const FreshRun fresh{entries, types, sections};
    // The reader counts a line at CR LF, a lone CR and a lone LF alike: its numbers are those of the twin of LF line ends.
    const TypDocument old_doc = read_typ_text(ended(UPDATED, "\n", false));
    ASSERT_FALSE(has_error(old_doc));
    const std::size_t park_line = static_cast<std::size_t>(
        std::count(UPDATED.begin(), UPDATED.begin() + static_cast<std::ptrdiff_t>(UPDATED.find("[_polygon]\nType=0x17")), '\n') + 1);
    for (const std::string_view end : {"\r\n", "\n", "\r"}) {
        const std::string old = ended(UPDATED, end, false);
        const UpdatedText updated = update_typ_text(old, old_doc, fresh, false);
        EXPECT_EQ(updated.text, ended(UPDATED, end, true)) << testing::PrintToString(end);
        EXPECT_TRUE(updated.update.added == 3u && updated.update.kept == 2u && updated.entries[Section::Polygon] == 3u);
        EXPECT_TRUE(updated.update.unused_entries.size() == 1u && updated.update.unused_entries[0].line == park_line);
        // Once more: nothing is new, nothing changes.
        EXPECT_EQ(update_typ_text(updated.text, read_typ_text(ended(UPDATED, "\n", true)), fresh, false).text, updated.text);
    }
}
}  // namespace
}  // namespace tessaro
