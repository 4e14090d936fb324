// Every type that mkgmap itself reads from a style has an entry in our TYP
// text: mkgmap prints each style as it reads it (include files and other
// styles resolved), and the types of its point, line and polygon rules are
// held against the entries of the TYP text made with --auto-inc.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>

#include "support/cli_capture.h"
#include "support/temp_dir.h"
#include "typ_reader.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;

const std::string JAR = "/usr/share/mkgmap/mkgmap.jar";
const std::string SOURCE = TESSARO_SOURCE_DIR;

// A type as a TYP text's entries and draw order name it: the type in the high
// byte and the subtype in the low byte (0x2f is 0x2f00), extended types as they are.
std::uint32_t typ_key(std::uint32_t value) {
    return value <= 0xFF ? value << 8 : value;
}

std::uint32_t hex(const std::string& digits) {
    return static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
}

// The types of mkgmap's reading of a style, per section: each rule's bracket
// in its normal form "[0x2f12 level 0 ...]" at the end of its line (a quoted
// value before it may hold anything); lines with "#" are comments.
PerSection<std::set<std::uint32_t>> mkgmap_types(const std::string& printed) {
    PerSection<std::set<std::uint32_t>> types;
    // The section a line belongs to; none before the first and in the other parts.
    Section section = Section::Point;
    bool in_section = false;
    static const std::regex bracket(R"(\[0x([0-9a-fA-F]+)[ \]])");
    std::istringstream in(printed);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("<<<", 0) == 0) {
            in_section = false;
            for (Section s : ALL_SECTIONS)
                if (line == "<<<" + std::string(rule_file_name(s)) + ">>>") {
                    section = s;
                    in_section = true;
                }
            continue;
        }
        if (!in_section || line.rfind('#', 0) == 0) continue;
        std::optional<std::uint32_t> last;
        for (std::sregex_iterator m(line.begin(), line.end(), bracket), end; m != end; ++m) last = hex((*m)[1]);
        if (last) types[section].insert(typ_key(*last));
    }
    return types;
}

struct StyleCase {
    std::string folder;  // the styles folder that holds it, for mkgmap
    std::string name;
};

// Runs mkgmap's reading of every style, two at a time; a style mkgmap cannot read has no output.
std::map<std::string, std::string> read_by_mkgmap(const std::vector<StyleCase>& styles, const test::TempDir& tmp) {
    std::string list;
    for (const StyleCase& s : styles) list += s.folder + " " + s.name + "\n";
    tmp.write("styles.list", list);
    const std::string script = "cd '" + tmp.path() + "' && xargs -P 2 -L 1 sh -c 'java -cp " + JAR +
                               " uk.me.parabola.mkgmap.osmstyle.StyleImpl \"$0\" \"$1\" > \"$1.out\" 2>/dev/null "
                               "|| rm -f \"$1.out\"' < styles.list";
    EXPECT_EQ(std::system(script.c_str()), 0) << script;
    std::map<std::string, std::string> printed;
    for (const StyleCase& s : styles)
        if (fs::exists(tmp / (s.name + ".out"))) printed[s.name] = test::read_bytes(tmp / (s.name + ".out"));
    return printed;
}

// The styles of a folder that hold a rule file.
std::vector<std::string> styles_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (!e.is_directory()) continue;
        for (const char* f : {"points", "lines", "polygons"})
            if (fs::exists(e.path() / f)) {
                names.push_back(e.path().filename().string());
                break;
            }
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(StylesAsMkgmapReadsThem, give_every_type_one_entry_in_its_section) {
#ifdef _WIN32
    GTEST_SKIP() << "mkgmap's reading of styles is checked by the Linux build";
#endif
    if (!fs::exists(JAR) || std::system("java -version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "mkgmap is not installed: " << JAR << " or java is missing";
    const test::TempDir tmp;
    const std::string extract = "cd '" + tmp.path() + "' && '" TESSARO_CMAKE "' -E tar xf " + JAR + " styles";
    ASSERT_EQ(std::system(extract.c_str()), 0) << extract;

    // mkgmap's own styles where they stand (they take rules from each other);
    // ours copied beside them under names of their own, with the version file mkgmap asks for.
    std::vector<StyleCase> styles;
    for (const std::string& name : styles_in(tmp / "styles")) styles.push_back({tmp / "styles", name});
    fs::create_directories(tmp / "ours");
    for (const char* folder : {"tests/data", "examples"}) {
        for (const std::string& name : styles_in(SOURCE + "/" + folder)) {
            const std::string copy = std::string(folder) == "examples" ? "example-" + name : "data-" + name;
            fs::copy(SOURCE + "/" + folder + "/" + name, tmp / ("ours/" + copy), fs::copy_options::recursive);
            if (!fs::exists(tmp / ("ours/" + copy + "/version"))) tmp.write("ours/" + copy + "/version", "0\n");
            styles.push_back({tmp / "ours", copy});
        }
    }
    const std::map<std::string, std::string> printed = read_by_mkgmap(styles, tmp);

    std::size_t styles_read = 0;
    std::size_t types_checked = 0;
    for (const StyleCase& style : styles) {
        const auto reading = printed.find(style.name);
        if (reading == printed.end()) continue;  // mkgmap does not read it: a test of our error paths
        ++styles_read;
        const std::string out = tmp / (style.name + ".txt");
        const test::CliOutput run = test::cli({"-q", "--auto-inc", "--seed", "1", "--res", SOURCE + "/res", "-o", out,
                                               style.folder + "/" + style.name});
        ASSERT_EQ(run.exit_code, 0) << style.name << ": " << run.err;
        const TypDocument doc = read_typ_text(test::read_bytes(out));
        EXPECT_TRUE(doc.problems.empty()) << style.name << ": " << doc.problems.front().message;

        PerSection<std::multiset<std::uint32_t>> entries;
        for (const TypEntry& e : doc.entries) entries[e.section].insert(typ_key(hex(e.type.substr(2))));
        std::multiset<std::uint32_t> drawn;
        for (const std::string& code : doc.draw_order) drawn.insert(typ_key(hex(code.substr(2))));

        const PerSection<std::set<std::uint32_t>> expected = mkgmap_types(reading->second);
        for (Section s : ALL_SECTIONS) {
            for (const std::uint32_t type : expected[s]) {
                char code[16];
                std::snprintf(code, sizeof code, "0x%x", type);
                ++types_checked;
                EXPECT_EQ(entries[s].count(type), 1u) << style.name << ": " << section_name(s) << " type " << code;
                if (s == Section::Polygon) {
                    EXPECT_EQ(drawn.count(type), 1u) << style.name << ": draw order of " << code;
                }
            }
            for (const std::uint32_t type : entries[s])
                EXPECT_EQ(entries[s].count(type), 1u) << style.name << ": one entry per " << section_name(s) << " type";
        }
    }
    EXPECT_GE(styles_read, 19u);  // mkgmap's styles and ours
    EXPECT_GT(types_checked, 700u);

    // mkgmap's default style is layered: land use lowest, land cover, water, then man-made areas.
    const std::string text = test::read_bytes(tmp / "default.txt");
    std::map<std::uint32_t, int> level;
    static const std::regex draw_line(R"(Type=0X([0-9a-fA-F]+),([0-9]+)\r\n)");
    for (std::sregex_iterator m(text.begin(), text.end(), draw_line), end; m != end; ++m)
        level[typ_key(hex((*m)[1]))] = std::stoi((*m)[2]);
    std::set<int> levels;
    for (const auto& [type, n] : level) levels.insert(n);
    EXPECT_GE(levels.size(), 4u);
    const auto at = [&](std::uint32_t type) { return level.count(type << 8) ? level[type << 8] : -1; };
    for (std::uint32_t land_use : {0x02u, 0x03u, 0x0cu, 0x0fu, 0x10u})
        for (std::uint32_t above : {0x3cu, 0x3fu, 0x46u, 0x50u, 0x17u, 0x13u, 0x05u}) {
            EXPECT_GT(at(land_use), 0) << std::hex << land_use;
            EXPECT_GT(at(above), at(land_use)) << std::hex << above << " over " << land_use;
        }
    for (std::uint32_t water : {0x3cu, 0x3fu, 0x46u}) EXPECT_GT(at(water), at(0x50)) << std::hex << water << " over forest";
    EXPECT_GT(at(0x13), at(0x3c)) << "buildings over water";
}

}  // namespace
}  // namespace tessaro
