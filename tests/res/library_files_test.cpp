#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "entry_builder.h"
#include "file_io.h"
#include "include_files.h"
#include "include_proposal.h"
#include "library_generator.h"
#include "polygon_library.h"
#include "rule_reader.h"
#include "style_folder.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"
#include "text_util.h"
#include "typ_reader.h"

namespace tessaro {
namespace {

const std::string RES = std::string(TESSARO_SOURCE_DIR) + "/res";

struct Library {
    const char* file;
    int section;
    TypSection kind;
};
const Library LIBRARIES[] = {{"points", SECTION_POINT, TypSection::Point},
                             {"lines", SECTION_LINE, TypSection::Line},
                             {"pgons.pol", SECTION_POLYGON, TypSection::Polygon}};

AppState shipped_libraries() {
    AppState st;
    st.point_library.assign(test::read_bytes(RES + "/points"));
    st.line_library.assign(test::read_bytes(RES + "/lines"));
    st.polygon_library.assign(prepare_polygon_library(test::read_bytes(RES + "/pgons.pol")));
    return st;
}

TEST(LibraryFiles, are_what_the_generator_makes_from_the_look_sources) {
    const LibraryFiles made = make_libraries(std::string(TESSARO_SOURCE_DIR) + "/looks");
    // On a mismatch: build/tessaro_make_libraries looks res (scripts/looks).
    EXPECT_TRUE(made.points == test::read_bytes(RES + "/points"));
    EXPECT_TRUE(made.lines == test::read_bytes(RES + "/lines"));
    EXPECT_TRUE(made.polygons == test::read_bytes(RES + "/pgons.pol"));
}

TEST(LibraryFiles, hold_well_formed_entries_under_the_keys_the_lookup_forms) {
    for (const Library& lib : LIBRARIES) {
        SCOPED_TRACE(lib.file);
        const std::string text = test::read_bytes(RES + "/" + lib.file);
        const TypDocument doc = read_typ_text(text);
        for (const TypProblem& p : doc.problems) ADD_FAILURE() << "line " << p.line << ": " << p.message;
        ASSERT_GT(doc.entries.size(), 40u);
        std::size_t ends = 0;
        for (std::size_t at = text.find("[end]"); at != std::string::npos; at = text.find("[end]", at + 1)) ++ends;
        EXPECT_EQ(ends, doc.entries.size());
        for (const TypEntry& e : doc.entries) {
            SCOPED_TRACE(e.type);
            EXPECT_EQ(e.section, lib.kind);
            // The key as written is the key the lookup forms from it.
            EXPECT_EQ(e.type, "0x" + library_key(lib.section, e.type));
            EXPECT_EQ(e.type, to_lower(e.type));
            std::size_t types = 0;
            for (std::size_t at = e.text.find("Type="); at != std::string::npos; at = e.text.find("Type=", at + 1))
                ++types;
            EXPECT_EQ(types, 1u);
            EXPECT_TRUE(e.xpm.present);
            EXPECT_EQ(e.xpm.rows.size(), static_cast<std::size_t>(e.xpm.height));
            EXPECT_EQ(e.xpm.colours.size(), static_cast<std::size_t>(e.xpm.colour_count));
            for (const std::string& row : e.xpm.rows) EXPECT_EQ(row.size(), static_cast<std::size_t>(e.xpm.width));
            if (lib.kind != TypSection::Polygon) {
                EXPECT_EQ(e.text.find("String1="), std::string::npos);
            }
            if (lib.kind == TypSection::Point) {
                EXPECT_TRUE(e.xpm.width <= 16 && e.xpm.height <= 16);
            }
        }
    }
}

TEST(LibraryFiles, take_the_rule_label_without_a_conflict) {
    AppState st = shipped_libraries();
    st.include_tag_text = true;
    EXPECT_NE(get_code(SECTION_POINT, "0x2f0b", "amenity=parking", st).find("\r\nString1=0x04,amenity=parking\r\nXpm="),
              std::string::npos);
    EXPECT_NE(get_code(SECTION_LINE, "0x01", "highway=motorway", st).find("String1=0x04,highway=motorway\r\n"),
              std::string::npos);
    EXPECT_NE(get_code(SECTION_POLYGON, "0x3c", "natural=water", st).find("String1=0x04,natural=water\r\n"),
              std::string::npos);
    EXPECT_FALSE(st.label_conflict);
    // A two-digit point code finds its own entry, not one whose code begins the same.
    EXPECT_EQ(get_code(SECTION_POINT, "0x2f", "", st).rfind("0x2f\r\n", 0), 0u);
}

// The rule files of a style that belong to a section: the main file and the
// include files that it includes (or, when no main file includes them, whose
// names say the section, as compat_points does).
std::vector<std::string> section_files(const std::string& style, int group, RuleReader& reader) {
    static const char* const MAIN[] = {"points", "lines", "polygons"};
    static const char* const HINT[] = {"point", "line", "polygon"};
    std::vector<std::string> files;
    if (is_regular_file(rule_file_path(style, MAIN[group]))) files.push_back(rule_file_path(style, MAIN[group]));
    IncludeFiles inc;
    if (!scan_include_files(inc, style, reader)) return files;
    const auto proposal = propose_groups(style, inc.found);
    for (const std::string& name : inc.found) {
        const auto hit = proposal.find(name);
        const bool in_group = hit != proposal.end()
                                  ? std::count(hit->second.begin(), hit->second.end(), group) > 0
                                  : name.find(HINT[group]) != std::string::npos;
        if (in_group) files.push_back(join_path(include_folder(style), name));
    }
    return files;
}

TEST(LibraryFiles, have_a_look_for_every_type_of_the_styles_mkgmap_ships) {
#ifdef _WIN32
    GTEST_SKIP() << "the styles inside mkgmap's jar are checked by the Linux build";
#endif
    const std::string jar = "/usr/share/mkgmap/mkgmap.jar";
    if (!std::filesystem::exists(jar)) GTEST_SKIP() << "mkgmap is not installed: " << jar << " is missing";
    const test::TempDir tmp;
    const std::string extract = "cd \"" + tmp.path() + "\" && \"" TESSARO_CMAKE "\" -E tar xf " + jar + " styles";
    ASSERT_EQ(std::system(extract.c_str()), 0) << extract;

    AppState st = shipped_libraries();
    test::RecordingShell shell;
    RuleReader reader(shell);
    std::size_t checked = 0;
    std::vector<std::string> missing;
    for (const auto& style : std::filesystem::directory_iterator(tmp.path() + "/styles")) {
        if (!style.is_directory()) continue;
        for (int group = INC_POINTS; group < INCLUDE_GROUPS; ++group) {
            const int section = group == INC_POINTS ? SECTION_POINT : group == INC_LINES ? SECTION_LINE : SECTION_POLYGON;
            for (const std::string& file : section_files(style.path().string(), group, reader)) {
                reader.loadbinary(file);
                if (section == SECTION_POLYGON) reader.scan_polygon_rules();
                else reader.scan_rules();
                for (std::string_view item : reader.working_list()) {
                    std::string text(trim_blanks(item));
                    std::replace(text.begin(), text.end(), '\t', ' ');
                    const std::string token = to_lower(text.substr(0, text.find(' ')));
                    const std::string code(cut_code(token));
                    if (!is_type_code(code)) continue;
                    ++checked;
                    if (get_code(section, code, "", st).empty()) missing.push_back(file + ": " + code);
                }
            }
        }
    }
    EXPECT_TRUE(shell.messages.empty()) << shell.messages.front();
    EXPECT_GT(checked, 500u);
    std::sort(missing.begin(), missing.end());
    missing.erase(std::unique(missing.begin(), missing.end()), missing.end());
    for (const std::string& m : missing) ADD_FAILURE() << "no library look: " << m;
}

TEST(LookSources, name_the_file_and_line_of_a_fault) {
    const test::TempDir dir;
    const std::string folder = (std::filesystem::path(TESSARO_SOURCE_DIR) / "looks").string();
    for (const char* name : {"palette.txt", "glyphs.txt", "points.txt", "lines.txt", "polygons.txt"})
        dir.write(name, test::read_bytes(folder + "/" + name));
    const struct {
        const char* file;
        const char* append;
        const char* error;
    } faults[] = {
        {"palette.txt", "red #12345\n", "palette.txt:"},
        {"points.txt", "point 0x2f0b services parking parking again\n", "second look for 0x2f0b"},
        {"points.txt", "point 0x2f99 services no_such_glyph x\n", "unknown glyph no_such_glyph"},
        {"points.txt", "point 0x2F99 services parking upper case\n", "lower-case hexadecimal"},
        {"lines.txt", "dashed 0x77 no_such_pattern grey none x\n", "unknown pattern"},
        {"lines.txt", "pattern odd\n###\n\ndashed 0x77 odd grey none x\n", "must divide 32"},
        {"polygons.txt", "area 0x77 not_a_colour x\n", "unknown colour not_a_colour"},
        {"glyphs.txt", "glyph ragged\n##\n###\n", "equally long"},
    };
    for (const auto& f : faults) {
        const std::string good = test::read_bytes(dir / f.file);
        dir.write(f.file, good + f.append);
        try {
            make_libraries(dir.path());
            ADD_FAILURE() << "no error for " << f.append;
        } catch (const LookSourceError& e) {
            EXPECT_NE(std::string(e.what()).find(f.file + std::string(":")), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(f.error), std::string::npos) << e.what();
        }
        dir.write(f.file, good);
    }
}

}  // namespace
}  // namespace tessaro
