#include "line_entries.h"
#include "polygon_entries.h"
#include "support/entries_run.h"

namespace tessaro {
namespace {
// A library look of one colour, keyed as the library writes its codes.
std::string look(const char* section, const char* key, const char* name, const char* colour, int level = 0) {
    return std::string("[_") + section + "]\r\nType=" + key + "\r\n" +
           (level > 0 ? ";level=" + std::to_string(level) + "\r\n" : std::string()) + ";name=" + name +
           "\r\nXpm=\"0 0 1 0\"\r\n\"1 c #" + colour + "\"\r\n[end]\r\n";
}

// The text of the entry of a type, from its Type= line to its [end]. The kin tried are the code, its row and a motorway
// first: the tests below find them.
std::string entry_of(const std::string& text, const std::string& code) {
    const std::size_t at = text.find("Type=" + code + "\r\n");
    return at == std::string::npos ? std::string() : text.substr(at, text.find("[end]", at) - at);
}

TEST(TableKinLooks, give_a_motorway_outside_the_library_the_library_motorway_or_its_slip_road_with_its_own_code) {
    test::EntriesRun r;
    r.libraries[Section::Line].assign(look("line", "0x00100", "motorway", "E0603C") +
                                      look("line", "0x00900", "slip road, high speed", "E0703C") +
                                      look("line", "0x00a00", "unpaved road", "A07050"));
    // 0x0e is missing: the look of its row, 0x0a, stands in.
    const std::string rules = "highway=motorway [0x10e30]\nhighway=motorway_link [0x10e31]\nhighway=x [0x0e]\n";
    const std::string text = r.run(add_line_entries, rules);
    for (const auto& [code, has] : {std::pair{"0x10e30", "E0603C"}, {"0x10e31", "E0703C"}, {"0x0e", "A07050"}, {"0x10e30", "String1=0x04,motorway\r\n"}})
        EXPECT_NE(entry_of(text, code).find(has), std::string::npos) << code << " " << has << "\n" << text;
    EXPECT_EQ(text.find("1CA9DE"), std::string::npos);
    EXPECT_EQ(r.report.look_counts[static_cast<std::size_t>(LookSource::Table)], 3u);
    // Classic looks and a library without a motorway keep the table's look.
    r.classic_looks = true;
    EXPECT_NE(entry_of(r.run(add_line_entries, rules), "0x10e30").find("1CA9DE"), std::string::npos);
    r.classic_looks = false;
    r.libraries[Section::Line].assign(look("line", "0x00200", "trunk road", "F09A40"));
    EXPECT_NE(entry_of(r.run(add_line_entries, rules), "0x10e30").find("1CA9DE"), std::string::npos);
}

TEST(TableKinLooks, give_a_table_polygon_the_library_look_of_its_row_with_that_look_s_level) {
    test::EntriesRun r;
    r.libraries[Section::Polygon].assign(";level-without-look=3\r\n\r\n" +
                                         look("polygon", "0x14", "national park", "C4E6A8", 1));
    const std::string text = r.run(add_polygon_entries, "boundary=national_park [0x15]\nnatural=water [0x3c]\n");
    const std::string park = entry_of(text, "0x15");
    EXPECT_TRUE(park.find("C4E6A8") != std::string::npos && park.find("BFFF80") == std::string::npos && park.find(";level=1") != std::string::npos)
        << text;
    // No code of the water row is in the library: the table's colour stays.
    EXPECT_NE(entry_of(text, "0x3c").find("B7F7FF"), std::string::npos) << text;
    r.classic_looks = true;
    EXPECT_NE(entry_of(r.run(add_polygon_entries, "boundary=national_park [0x15]\n"), "0x15").find("BFFF80"), std::string::npos);
}
}  // namespace
}  // namespace tessaro
