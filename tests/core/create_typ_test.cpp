#include "create_typ.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "file_io.h"
#include "support/mkgmap.h"
#include "support/temp_dir.h"
#include "typ_reader.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;
using Findings = std::vector<Finding>;
using Names = std::vector<std::string>;
using Warnings = std::vector<Warning>;

const std::string BAR_LOOK = "Type=0x02d02\r\nXpm=\"1 1 1 1\"\r\n\"a c #000001\"\r\n\"a\"\r\n[end]\r\n";

// A style folder "s" beside the output "out.txt", with a point library.
struct Style {
    test::TempDir dir;
    LibraryTexts libraries;
    CreateTypRequest request;
    Style() {
        libraries[Section::Point].assign(BAR_LOOK);
        libraries[Section::Line].assign("x");
        libraries[Section::Polygon].assign("x");
        request.style_folder = dir / "s";
        request.libraries = &libraries;
        request.typ_path = dir / "out.txt";
        request.seed = 1;
    }
    void write(const std::string& name, const std::string& rules) { dir.write("s/" + name, rules); }
    Findings findings() { return check_create_typ(request).findings; }
    CreateTypReport run() {
        const CreateTypCheck check = check_create_typ(request);
        EXPECT_TRUE(check.can_run());
        return run_create_typ(request, check);
    }
    std::string out() { return test::read_bytes(request.typ_path); }
    // The entries of the written text as our reader sees them, by section and code.
    std::vector<std::string> entries() {
        std::vector<std::string> out;
        for (const TypEntry& e : read_typ_text(this->out()).entries)
            out.push_back(std::string(section_name(e.section)) + " " + e.type);
        return out;
    }
};

TEST(CheckCreateTyp, warns_and_stops_in_the_order_a_user_is_told_and_writes_nothing) {
    Style s;
    // Nothing there yet: the folder is missing; the empty libraries are said first.
    s.libraries[Section::Line].assign("");
    s.libraries[Section::Polygon].assign("");
    EXPECT_EQ(s.findings(), (Findings{Finding::NoLineLibrary, Finding::NoPolygonLibrary, Finding::StyleFolderMissing}));
    s.libraries[Section::Line].assign("x");
    s.libraries[Section::Polygon].assign("x");

    s.request.sections = {{false, false, false}};
    EXPECT_EQ(s.findings(), (Findings{Finding::NoSectionChosen}));  // nothing after the first stop
    s.request.sections = {{true, false, false}};

    fs::create_directories(s.dir / "s");
    EXPECT_EQ(s.findings(), (Findings{Finding::StyleFolderEmpty}));
    s.write("inc/roads", "a=b [0x02 resolution 20]\n");  // a folder is no file of the style
    EXPECT_EQ(s.findings(), (Findings{Finding::StyleFolderEmpty}));
    s.write("points.txt", "a=b [0x2d02]\n");
    EXPECT_EQ(s.findings(), (Findings{Finding::NoRuleFiles}));
    s.write("Points", "a=b [0x2d02]\n");
    const CreateTypCheck check = check_create_typ(s.request);
    EXPECT_EQ(check.findings, (Findings{Finding::NoLinesFile, Finding::NoPolygonsFile}));
    EXPECT_EQ(check.kinds, "p");
    EXPECT_TRUE(check.can_run());

    s.request.style_folder = s.dir.write("file", "x");
    EXPECT_EQ(s.findings(), (Findings{Finding::StyleFolderNotFolder}));
    s.request.style_folder = s.dir / "s";
    s.request.typ_path.clear();
    EXPECT_EQ(s.findings().back(), Finding::NoOutputPath);
    EXPECT_FALSE(check_create_typ(s.request).can_run());
    EXPECT_FALSE(fs::exists(s.dir / "out.txt"));
}

// mkgmap reads a base style's rule files after the style's own: a style of
// only an info file with a base-style line is a style.
TEST(CheckCreateTyp, counts_the_rule_files_of_base_styles_as_the_style_own) {
    Style s;
    s.write("info", "summary: only a base\nbase-style=base\n");
    EXPECT_EQ(s.findings(), (Findings{Finding::NoRuleFiles}));  // the base is not there
    s.dir.write("base/lines", "highway=primary [0x02]\n");
    s.dir.write("base/info", "base-style: deeper\n");
    s.dir.write("deeper/points", "amenity=bar [0x2d02]\n");
    const CreateTypCheck check = check_create_typ(s.request);
    EXPECT_EQ(check.findings, (Findings{Finding::NoPolygonsFile}));
    EXPECT_EQ(check.kinds, "");  // the run reads no rule file of the style itself
    s.write("info", "base-style=s\nbase-style=../base\n");  // itself, and a name that leads out
    EXPECT_EQ(s.findings(), (Findings{Finding::NoRuleFiles}));
}

// Large rule files, and then the include groups of a large style, are
// written side by side; the text and the report are those of the same files
// written one after the other.
TEST(RunCreateTyp, writes_large_rule_files_side_by_side_as_one_after_the_other) {
    Style s;
    s.write("polygons", "natural=\xe6\xb0\xb4 [0x3c]\n");  // a label that cp1252 lacks
    s.write("lines", "highway=\xe5\x90\x8d [0x02]\nhighway=x [0xQQ]\nwaterway=c [0x3c]\n");  // 0x3c: a random colour
    s.write("points", "amenity=bar [0x2d02]\nshop=x [0xZZ]\n");
    // The include files come after the main files: a type met there has its entry,
    // and a new one takes the section's next random colour.
    s.write("inc/more", "amenity=pub [0x2d02 resolution 20]\nhighway=a [0x02 resolution 20]\nnatural=b [0x1f resolution 20]\n"
                        "c=d [0xYY resolution 20]\n");
    s.write("inc/water", "natural=\xe6\xb0\xb4 [0x3d resolution 20]\n");
    // Notes of the groups stand among what their files' writing says.
    s.request.include_files.found = {"more", "water"};
    s.request.include_files.groups[Section::Line] = {"gone", "more"};
    s.request.include_files.groups[Section::Point] = {"more"};
    s.request.include_files.groups[Section::Polygon] = {"../escape", "water"};
    const CreateTypReport small = s.run();
    const std::string small_text = s.out();
    // One warning of lost labels for the whole run, the others in file order.
    Warning lost{Warning::Kind::LabelNotInCodePage, {}, 0, "0x3c"};
    lost.section = Section::Polygon;
    lost.count = 3;
    lost.code_page = 1252;
    const std::string folder = s.request.style_folder;
    const std::string more = join_path(include_folder(folder), "more");
    EXPECT_EQ(small.warnings, (Warnings{lost, {Warning::Kind::CodeNotHex, join_path(folder, "lines"), 2, "0xQQ"},
                                        {Warning::Kind::CodeNotHex, join_path(folder, "points"), 2, "0xZZ"},
                                        {Warning::Kind::CodeNotHex, more, 4, "0xYY"},
                                        {Warning::Kind::IncludeFileGone, join_path(include_folder(folder), "gone"), 0, "gone"},
                                        {Warning::Kind::CodeNotHex, more, 4, "0xYY"}}));
    EXPECT_EQ(small.failures, (std::vector<Failure>{{Failure::Kind::UnsafeIncludeName, "../escape", 0, {}}}));
    EXPECT_EQ(s.entries(), (Names{"polygon 0x3c", "line 0x02", "line 0x3c", "point 0x02d02", "point 0x02", "point 0x1f",
                                  "line 0x2d02", "line 0x1f", "polygon 0x3d"}));

    // Rules of types met already, at each file's end, only make the files large.
    const std::string comment = " #" + std::string(1000, '-') + "\n";
    for (const auto& [name, rule] : {std::pair{"polygons", "a=b [0x3c]"}, {"lines", "a=b [0x02]"}, {"points", "a=b [0x2d02]"}}) {
        std::string text = test::read_bytes(s.dir / ("s/" + std::string(name)));
        while (text.size() < 5'000'000) text.append(rule).append(comment);
        s.write(name, text);
    }
    const CreateTypReport large = s.run();
    EXPECT_EQ(s.out(), small_text);
    EXPECT_EQ(large.warnings, small.warnings);
    EXPECT_EQ(large.failures, small.failures);
    EXPECT_EQ(large.entries, small.entries);
    ASSERT_EQ(large.looks.size(), small.looks.size());
    for (std::size_t i = 0; i < large.looks.size(); ++i) EXPECT_EQ(large.looks[i].code, small.looks[i].code);
    EXPECT_EQ(large.look_counts, count_looks(small.looks));
}

// A text in another code page: its header names the page, every label is in
// it, a line file written apart too, and mkgmap compiles it with that page.
TEST(RunCreateTyp, writes_the_labels_in_the_code_page_the_request_names_as_mkgmap_compiles_them) {
    Style s;
    s.request.labels = {1251, false};
    s.request.include_tag_text = true;
    s.request.sections = {{false, true, true}};
    // A built-in look's label is the value of the rule's condition.
    const std::string moskva = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0";
    const std::string moskva_1251 = "\xCC\xEE\xF1\xEA\xE2\xE0";
    s.write("polygons", "name=Caf\xC3\xA9 [0x3c resolution 20]\n");  // 1251 has no "é"
    // Written on a thread of its own, as a large file after the first.
    std::string lines = "name=" + moskva + " [0x02 resolution 20]\n";
    while (lines.size() < 4'200'000) lines.append("a=b [0x02 resolution 20] #" + std::string(1000, '-') + "\n");
    s.write("lines", lines);
    const CreateTypReport report = s.run();
    ASSERT_TRUE(report.complete());
    EXPECT_EQ(report.labels, (LabelCoding{1251, false}));
    const std::string text = s.out();
    EXPECT_NE(text.find("\r\nCodePage=1251\r\n"), std::string::npos);
    EXPECT_NE(text.find("String1=0x4," + moskva_1251 + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("String1=0x4,Caf?\r\n"), std::string::npos) << text;
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].kind, Warning::Kind::LabelNotInCodePage);
    EXPECT_EQ(report.warnings[0].code_page, 1251);

    if (const std::string missing = test::mkgmap_command_missing(s.dir); !missing.empty()) GTEST_SKIP() << missing;
    const test::MkgmapResult compiled = test::mkgmap_compile_here(s.dir.path(), "out.txt", 1251);
    ASSERT_TRUE(compiled.compiled) << compiled.log;
    EXPECT_NE(compiled.typ.find(moskva_1251), std::string::npos);
    EXPECT_EQ(compiled.typ.find(moskva), std::string::npos);
}

// The files of other styles come after the section's group; a missing style
// is named once however many of its files were listed, and a name that leads
// out of the styles folder is refused without reading it. What the run could
// not read or refused is reported in order, and the run goes on past it.
TEST(RunCreateTyp, reads_the_files_of_other_styles_after_the_group_and_reports_what_it_met_in_order_without_stopping) {
    Style s;
    s.request.include_tag_text = true;
    s.libraries[Section::Point].assign(BAR_LOOK + "Type=0x02a0e\r\nString1=0x04,Cafe\r\nXpm=\"1 1 1 1\"\r\n\"a c #000002\"\r\n\"a\"\r\n[end]\r\n" +
                                       "Type=0x02e02\r\nXpm=\"1 1 1 1\"\r\n\"a c #000003\"\r\n\"a\"\r\n[end]\r\n");
    s.libraries[Section::Line].assign("");
    s.write("points", "amenity=bar [0x2d02]\n");
    s.write("inc/own", "amenity=cafe [0x2a0e resolution 24]\n");
    s.write("top", "highway=a [0x05 resolution 20]\n");
    s.write("sub/more", "highway=b [0x06 resolution 20]\n");
    fs::create_directories(s.dir / "s/inc/folder");
    s.dir.write("base/points", "amenity=pub [0x2e02]\n");
    s.dir.write("base/inc/roads", "highway=trunk [0x01 resolution 20]\n");
    s.dir.write("secret", "amenity=x [0x2f01]\n");
    IncludeFiles& inc = s.request.include_files;
    inc.found = {"own"};
    inc.groups[Section::Point] = {"folder", "../escape", "own"};
    inc.other_styles[Section::Point] = {{"base", "points"}, {"gone", "points"}, {"base", "../secret"}, {"gone", "inc/x"}};
    inc.other_styles[Section::Line] = {{"base", "inc/roads"}, {"gone", "lines"}};
    inc.groups[Section::Line] = {"./top", "sub/more"};  // files outside inc/, by their path in the style
    inc.other_styles_followed = true;
    const CreateTypReport report = s.run();
    EXPECT_TRUE(report.written && report.label_dropped);
    EXPECT_FALSE(report.complete());  // without what the unread folder holds
    EXPECT_EQ(s.entries(),
              (Names{"point 0x02d02", "point 0x02a0e", "point 0x02e02", "line 0x05", "line 0x06", "line 0x01"}));
    EXPECT_EQ(report.warnings, (Warnings{{Warning::Kind::OtherStyleMissing, s.dir / "gone", 0, "gone"}}));
    ASSERT_EQ(report.failures.size(), 3u);
    EXPECT_EQ(report.failures[0].kind, Failure::Kind::Read);
    EXPECT_EQ(report.failures[0].path, join_path(include_folder(s.request.style_folder), "folder"));
    EXPECT_EQ(report.failures[1], (Failure{Failure::Kind::UnsafeIncludeName, "../escape", 0, {}}));
    EXPECT_EQ(report.failures[2], (Failure{Failure::Kind::UnsafeOtherStyleName, "../secret from base"}));

    // A section switched off reads none of its other styles' files.
    inc.groups[Section::Point] = {"own"};
    s.request.sections[Section::Point] = false;
    const CreateTypReport lines_only = s.run();
    EXPECT_EQ(lines_only.entries, (PerSection<std::size_t>{{0, 3, 0}}));
    EXPECT_TRUE(lines_only.failures.empty());
}

// Not followed, the statements that take rules from other styles are named
// where they stand: in the main rule files, and in the include files that these
// or a group reach, once each (the info file's base-style lines, and no word of
// them once followed: the other_styles and other_styles_not_followed golden cases).
TEST(RunCreateTyp, names_each_statement_not_followed_by_file_line_and_text) {
    Style s;
    s.write("points", "amenity=bar [0x2d02]\n\ninclude points from default; # the rest\ninclude 'inc/shared';\n");
    s.write("lines", "include 'inc/shared';\n");
    s.write("inc/shared", "a=b [0x01 resolution 20]\n  include \"inc/x\" from default\n");
    s.write("inc/sorted", "include 'lines' from other\n");
    s.write("polygons", "include polygons from default;\n");
    s.request.sections[Section::Polygon] = false;
    s.request.include_files.found = {"shared", "sorted"};
    s.request.include_files.groups[Section::Line] = {"sorted"};
    const std::string points = join_path(s.request.style_folder, "points");
    const std::string shared = join_path(include_folder(s.request.style_folder), "shared");
    const Warning::Kind kind = Warning::Kind::IncludeNotFollowed;
    const CreateTypReport report = s.run();
    EXPECT_EQ(report.warnings, (Warnings{{kind, points, 3, "include points from default;"},
                                         {kind, shared, 2, "include \"inc/x\" from default"},
                                         {kind, join_path(include_folder(s.request.style_folder), "sorted"), 1,
                                          "include 'lines' from other"}}));
    EXPECT_EQ(report.entries[Section::Point], 1u);
}

}  // namespace
}  // namespace tessaro
