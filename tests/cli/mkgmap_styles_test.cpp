#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include "support/cli_capture.h"
#include "support/mkgmap.h"
#include "text_util.h"
#include "typ_reader.h"

namespace tessaro {
namespace {
namespace fs = std::filesystem;

const std::string SOURCE = TESSARO_SOURCE_DIR;
// The type in the high byte, the subtype in the low (0x2f is 0x2f00); extended types as they are.
std::uint32_t typ_key(const std::string& code) {
    const auto value = static_cast<std::uint32_t>(std::stoul(code, nullptr, 16));
    return value <= 0xFF ? value << 8 : value;
}

// Each polygon is drawn once. Returns the types checked.
std::size_t expect_entries_as_printed(const std::string& ours, const std::string& printed, const std::string& out,
                                      const std::string& name, int exit_code = 0) {
    const test::CliOutput run = test::convert(ours, out);
    EXPECT_EQ(run.exit_code, exit_code) << name << ": " << run.err;
    const TypDocument doc = read_typ_text(test::read_bytes(out));
    EXPECT_TRUE(doc.problems.empty()) << name << ": " << doc.problems.front().message;
    PerSection<std::multiset<std::uint32_t>> entries;
    for (const TypEntry& e : doc.entries) entries[e.section].insert(typ_key(e.type));
    std::multiset<std::uint32_t> drawn;
    for (const std::string& code : doc.draw_order) drawn.insert(typ_key(code));
    std::size_t checked = 0;
    for (Section s : ALL_SECTIONS) {
        std::set<std::uint32_t> types;
        for (const std::string& code : test::printed_codes(test::printed_section(printed, s))) types.insert(typ_key(code));
        checked += types.size();
        const std::multiset<std::uint32_t> once(types.begin(), types.end());
        EXPECT_EQ(entries[s], once) << name << ": " << section_name(s) << " entries";
        if (s == Section::Polygon) { EXPECT_EQ(drawn, once) << name << ": draw order"; }
    }
    return checked;
}

TEST(StylesAsMkgmapReadsThem, give_every_type_one_entry_in_its_section_and_no_other_entry) {
    if (const std::string why = test::mkgmap_jar_missing(); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    // mkgmap's styles take rules from each other; ours need the version file mkgmap asks for.
    std::vector<test::StyleToRead> styles;
    fs::create_directories(tmp / "ours");
    for (const fs::path folder : test::every_style_folder(tmp)) {
        const std::string parent = folder.parent_path().filename().string(), name = folder.filename().string(), copy = parent + "-" + name;
        if (parent == "styles") {
            styles.push_back({tmp / "styles", name, ""});
            continue;
        }
        fs::copy(folder, tmp / ("ours/" + copy), fs::copy_options::recursive);
        if (!fs::exists(tmp / ("ours/" + copy + "/version"))) tmp.write("ours/" + copy + "/version", "0\n");
        styles.push_back({tmp / "ours", copy, ""});
    }
    fs::copy(tmp / "ours/data-open_constructs", tmp / "ours/mended", fs::copy_options::recursive);
    const auto mend = [&](const std::string& file, const std::string& from, const std::string& to) {
        const std::string text = test::read_bytes(tmp / ("ours/mended/" + file));
        ASSERT_NE(text.find(from), std::string::npos) << from;
        tmp.write("ours/mended/" + file, replace_all(text, from, to));
    };
    mend("points", "'${manmade}'\n", "'${manmade}'}\n");
    mend("points", "'Belvedere [", "'Belvedere' [");
    mend("lines", "via_feratta)", "via_feratta}");
    mend("lines", "resolution 22\n", "resolution 22]\n");
    styles.push_back({tmp / "ours", "mended", ""});
    const std::string siblings = SOURCE + "/tests/data/other_styles";
    for (const std::string& name : test::style_names_in(siblings + "/styles")) styles.push_back({siblings + "/styles", name, siblings});
    const std::map<std::string, std::string> printed = test::mkgmap_printed_styles(tmp, styles);
    // Styles that take rules from others or from files outside inc/: mkgmap finds a type in each section of them.
    for (const char* name : {"noname", "mine", "data-include_spellings", "data-stray_brace"})
        for (Section s : ALL_SECTIONS)
            EXPECT_TRUE(printed.count(name) && !test::printed_codes(test::printed_section(printed.at(name), s)).empty()) << name;
    EXPECT_EQ(printed.count("data-open_constructs"), 0u);
    ASSERT_EQ(printed.count("mended"), 1u);
    EXPECT_GE(expect_entries_as_printed(SOURCE + "/tests/data/open_constructs", printed.at("mended"), tmp / "faulty.txt",
                                        "open_constructs"), 10u);
    std::size_t styles_read = 0, types_checked = 0;
    for (const test::StyleToRead& style : styles) {
        const auto reading = printed.find(style.name);
        if (reading == printed.end()) continue;  // mkgmap does not read it: a test of our error paths
        ++styles_read;
        // A folder named as a rule file: mkgmap passes over it, we name it and call the text incomplete.
        const int exit_code = style.name == "data-points_folder" ? 1 : 0;
        types_checked += expect_entries_as_printed(style.folder + "/" + style.name, reading->second,
                                                   tmp / (style.name + ".txt"), style.name, exit_code);
    }
    EXPECT_GE(styles_read, 21u);  // mkgmap's styles and ours
    EXPECT_GT(types_checked, 700u);
    // mkgmap's default style is layered: land use lowest, land cover, water, then man-made areas.
    const std::string text = test::read_bytes(tmp / "default.txt");
    std::map<std::uint32_t, int> level;
    static const std::regex draw_line(R"(Type=0X([0-9a-fA-F]+),([0-9]+)\r\n)");
    for (std::sregex_iterator m(text.begin(), text.end(), draw_line), end; m != end; ++m) level[typ_key((*m)[1])] = std::stoi((*m)[2]);
    const auto at = [&](std::uint32_t type) { return level.count(type << 8) ? level[type << 8] : -1; };
    for (std::uint32_t land_use : {0x02u, 0x03u, 0x0cu, 0x0fu, 0x10u})
        for (std::uint32_t above : {0x3cu, 0x3fu, 0x46u, 0x50u, 0x17u, 0x13u, 0x05u})
            EXPECT_TRUE(at(land_use) > 0 && at(above) > at(land_use)) << std::hex << above << " over " << land_use;
    for (std::uint32_t water : {0x3cu, 0x3fu, 0x46u}) EXPECT_GT(at(water), at(0x50)) << std::hex << water << " over forest";
    EXPECT_GT(at(0x13), at(0x3c)) << "buildings over water";
}
}  // namespace
}  // namespace tessaro
