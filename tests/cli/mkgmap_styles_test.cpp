// The TYP text of a style that takes rules from other styles holds every type
// mkgmap reads from it. mkgmap's own reading is the measure: its StyleImpl
// prints a style with include files and base styles resolved.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "cli_run.h"
#include "section.h"
#include "support/cli_capture.h"
#include "support/temp_dir.h"
#include "typ_reader.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;

const std::string JAR = "/usr/share/mkgmap/mkgmap.jar";

using Codes = std::map<std::string, std::set<unsigned long>>;  // by rule file: "points", "lines", "polygons"

// Why mkgmap cannot be asked here; empty when it can.
std::string mkgmap_missing() {
#ifdef _WIN32
    return "mkgmap's reading of styles is checked by the Linux build";
#else
    if (!fs::exists(JAR)) return JAR + " is missing";
    if (std::system("java -version >/dev/null 2>&1") != 0) return "java is missing";
    return {};
#endif
}

// The codes of the type brackets of rule lines, by numeric value.
std::set<unsigned long> bracket_codes(const std::string& text) {
    static const std::regex code(R"(\[\s*0[xX]([0-9a-fA-F]+)[\s\]])");
    std::set<unsigned long> out;
    for (auto m = std::sregex_iterator(text.begin(), text.end(), code); m != std::sregex_iterator(); ++m)
        out.insert(std::stoul((*m)[1].str(), nullptr, 16));
    return out;
}

// The types of each rule file as mkgmap reads the style. `classpath` holds
// styles/NAME for the styles that "include ... from NAME" names: mkgmap looks
// for those among its own styles.
Codes mkgmap_reading(const std::string& styles_folder, const std::string& name, const std::string& classpath,
                     const test::TempDir& tmp) {
    const std::string out = tmp / "mkgmap.txt";
    const std::string cmd = "java -cp '" + JAR + ":" + classpath + "' uk.me.parabola.mkgmap.osmstyle.StyleImpl '" +
                            styles_folder + "' " + name + " >'" + out + "' 2>/dev/null";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    Codes codes;
    std::istringstream printed(test::read_bytes(out));
    std::string section;
    for (std::string line; std::getline(printed, line);) {
        if (line.rfind("<<<", 0) == 0) section = line.substr(3, line.find(">>>") - 3);
        else if (section == "points" || section == "lines" || section == "polygons")
            codes[section].merge(bracket_codes(line + "\n"));
    }
    return codes;
}

// Our TYP text's codes as mkgmap writes them: a line Type= of five digits
// below 0x10000 holds the type and a subtype (0x00200 is line type 0x02).
Codes our_reading(const std::string& style, const test::TempDir& tmp) {
    const std::string out = tmp / "out.txt";
    const test::CliOutput run =
        test::cli({"-q", "--seed", "1", "--auto-inc", "--res", TESSARO_SOURCE_DIR "/res", "-o", out, style});
    EXPECT_EQ(run.exit_code, EXIT_DONE) << run.err;
    Codes codes;
    for (const TypEntry& e : read_typ_text(test::read_bytes(out)).entries) {
        unsigned long code = std::stoul(e.type, nullptr, 16);
        if (e.section == Section::Line && e.type.size() == 7 && code < 0x10000) code >>= 8;
        codes[rule_file_name(e.section)].insert(code);
    }
    return codes;
}

// The rule lines that give the code its type in the styles' files: a code
// on a line of its own (after its condition), a bracket that goes on to the
// next line, or a "[" before it in the condition. The rule reader does not
// take these yet.
bool written_as_reader_does_not_take_it(const std::string& styles_folder, unsigned long code) {
    bool found = false;
    for (const auto& e : fs::recursive_directory_iterator(styles_folder)) {
        if (!e.is_regular_file()) continue;
        std::istringstream text(test::read_bytes(e.path().string()));
        for (std::string line; std::getline(text, line);) {
            if (bracket_codes(line + "\n").count(code) == 0) continue;
            found = true;
            const std::size_t open = line.find('[');
            const bool own_line = line.find_first_not_of(" \t") == open;
            if (!own_line && line.find(']', open) != std::string::npos && line.rfind('[') == open) return false;
        }
    }
    return found;
}

// Every type mkgmap reads and our TYP text lacks, as "points 0x2a0a"; fails
// naming them, or skips when each is written as the rule reader does not take it yet.
void expect_every_type(const Codes& mkgmap, const Codes& ours, const std::string& styles_folder) {
    std::vector<std::string> missing;
    bool only_unread = true;
    std::size_t types = 0;
    for (const auto& [file, codes] : mkgmap) {
        types += codes.size();
        for (unsigned long c : codes) {
            if (ours.count(file) != 0 && ours.at(file).count(c) != 0) continue;
            char hex[24];
            std::snprintf(hex, sizeof hex, "0x%lx", c);
            missing.push_back(file + " " + hex);
            only_unread = only_unread && written_as_reader_does_not_take_it(styles_folder, c);
        }
    }
    EXPECT_GT(types, 0u);
    std::string list;
    for (const std::string& m : missing) list += "\n  " + m;
    if (missing.empty()) return;
    if (only_unread)
        GTEST_SKIP() << missing.size() << " of " << types
                     << " types missing, each from a rule written as the rule reader does not read yet:" << list;
    ADD_FAILURE() << missing.size() << " of " << types << " types missing:" << list;
}

TEST(MkgmapStyles, noname_with_the_default_style_it_includes_has_every_type_mkgmap_reads) {
    if (const std::string why = mkgmap_missing(); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    const std::string extract = "cd '" + tmp.path() + "' && '" TESSARO_CMAKE "' -E tar xf " + JAR + " styles";
    ASSERT_EQ(std::system(extract.c_str()), 0) << extract;
    const std::string styles = tmp / "styles";
    // Its own copy of the styles: mkgmap finds "default" inside its jar.
    const Codes mkgmap = mkgmap_reading(styles, "noname", "", tmp);
    EXPECT_EQ(mkgmap.size(), 3u);
    expect_every_type(mkgmap, our_reading(styles + "/noname", tmp), styles);
}

TEST(MkgmapStyles, a_style_built_on_a_sibling_has_every_type_mkgmap_reads) {
    if (const std::string why = mkgmap_missing(); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    const std::string folder = TESSARO_SOURCE_DIR "/tests/data/other_styles";
    const Codes mkgmap = mkgmap_reading(folder + "/styles", "mine", folder, tmp);
    EXPECT_EQ(mkgmap.size(), 3u);
    expect_every_type(mkgmap, our_reading(folder + "/styles/mine", tmp), folder + "/styles");
}

}  // namespace
}  // namespace tessaro
