#include "create_typ.h"
#include <filesystem>
#include "file_io.h"
#include "support/mkgmap.h"
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
        set_libraries(BAR_LOOK, "x", "x");
        request.style_folder = dir / "s";
        request.libraries = &libraries;
        request.typ_path = dir / "out.txt";
        request.seed = 1;
    }
    void set_libraries(const std::string& points, const std::string& lines, const std::string& polygons) {
        libraries[Section::Point].assign(points);
        libraries[Section::Line].assign(lines);
        libraries[Section::Polygon].assign(polygons);
    }
    void write(const std::string& name, const std::string& rules) { dir.write("s/" + name, rules); }
    Findings findings() { return check_create_typ(request).findings; }
    CreateTypReport run() {
        const CreateTypCheck check = check_create_typ(request);
        EXPECT_TRUE(check.can_run());
        return run_create_typ(request, check);
    }
    std::string out() { return test::read_bytes(request.typ_path); }
    Names entries() {  // as our reader sees them
        Names out;
        for (const TypEntry& e : read_typ_text(this->out()).entries) out.push_back(std::string(section_name(e.section)) + " " + e.type);
        return out;
    }
};

TEST(CheckCreateTyp, warns_and_stops_in_the_order_a_user_is_told_and_writes_nothing) {
    Style s;
    s.set_libraries(BAR_LOOK, "", "");  // the empty libraries are said first, then the missing folder
    EXPECT_EQ(s.findings(), (Findings{Finding::NoLineLibrary, Finding::NoPolygonLibrary, Finding::StyleFolderMissing}));
    s.set_libraries(BAR_LOOK, "x", "x");
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
    EXPECT_TRUE(check.kinds == "p" && check.can_run());
    s.request.style_folder = s.dir.write("file", "x");
    EXPECT_EQ(s.findings(), (Findings{Finding::StyleFolderNotFolder}));
    s.request.style_folder = s.dir / "s";
    s.request.typ_path.clear();
    EXPECT_EQ(s.findings().back(), Finding::NoOutputPath);
    EXPECT_TRUE(!check_create_typ(s.request).can_run() && !fs::exists(s.dir / "out.txt"));
    // mkgmap reads a base style's rule files after the style's own: a style of only an info file with a base-style line is a
    // style, though the run reads no rule file of its own.
    s.request.typ_path = s.dir / "out.txt";
    fs::remove(s.dir / "s/Points");
    s.write("info", "summary: only a base\nbase-style=base\n");
    EXPECT_EQ(s.findings(), (Findings{Finding::NoRuleFiles}));  // the base is not there
    s.dir.write_files({{"base/lines", "highway=primary [0x02]\n"}, {"base/info", "base-style: deeper\n"}, {"deeper/points", "amenity=bar [0x2d02]\n"}});
    s.request.sections = {{true, true, true}};
    const CreateTypCheck based = check_create_typ(s.request);
    EXPECT_TRUE(based.findings == Findings{Finding::NoPolygonsFile} && based.kinds.empty());
    s.write("info", "base-style=s\nbase-style=../base\n");  // itself, and a name that leads out
    EXPECT_EQ(s.findings(), (Findings{Finding::NoRuleFiles}));
}

// The include groups of a large style are written side by side too; mkgmap compiles the text in the page asked for.
TEST(RunCreateTyp, writes_large_rule_files_side_by_side_as_one_after_the_other_in_the_code_page_asked_for) {
    Style s;
    s.request.labels = {1251, false};
    const std::string moskva = "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", moskva_1251 = "\xCC\xEE\xF1\xEA\xE2\xE0";
    // A label that no Windows page holds. The include files come after the main files: a type met there has its entry, and a
    // new one takes the section's next random colour.
    s.dir.write_files({{"s/polygons", "natural=\xe6\xb0\xb4 [0x3c]\n"}, {"s/points", "amenity=bar [0x2d02]\nshop=x [0xZZ]\n"},
             {"s/lines", "highway=\xe5\x90\x8d [0x02]\nhighway=x [0xQQ]\nwaterway=c [0x3c]\nname=" + moskva + " [0x05]\n"},
             {"s/inc/more", "amenity=pub [0x2d02 resolution 20]\nhighway=a [0x02 resolution 20]\nnatural=b [0x1f resolution 20]\nc=d [0xYY resolution 20]\n"},
             {"s/inc/water", "natural=\xe6\xb0\xb4 [0x3d resolution 20]\n"}});
    // Notes of the groups stand among what their files' writing says.
    s.request.include_files.found = {"more", "water"};
    s.request.include_files.groups[Section::Line] = {"gone", "more"};
    s.request.include_files.groups[Section::Point] = {"more"};
    s.request.include_files.groups[Section::Polygon] = {"../escape", "water"};
    const CreateTypReport small = s.run();
    const std::string small_text = s.out();
    EXPECT_EQ(small.labels, (LabelCoding{1251, false}));
    EXPECT_TRUE(small_text.find("\r\nCodePage=1251\r\n") != std::string::npos &&
                small_text.find("String1=0x4," + moskva_1251 + "\r\n") != std::string::npos) << small_text;
    // One warning of lost labels for the whole run, the others in file order.
    Warning lost{Warning::Kind::LabelNotInCodePage, {}, 0, "0x3c"};
    std::tie(lost.section, lost.count, lost.code_page) = std::tuple(Section::Polygon, 3, 1251);
    const std::string folder = s.request.style_folder, more = join_path(include_folder(folder), "more");
    EXPECT_EQ(small.warnings, (Warnings{lost, {Warning::Kind::CodeNotHex, join_path(folder, "lines"), 2, "0xQQ"},
                                        {Warning::Kind::CodeNotHex, join_path(folder, "points"), 2, "0xZZ"},
                                        {Warning::Kind::CodeNotHex, more, 4, "0xYY"},
                                        {Warning::Kind::IncludeFileGone, join_path(include_folder(folder), "gone"), 0, "gone"},
                                        {Warning::Kind::CodeNotHex, more, 4, "0xYY"}}));
    EXPECT_EQ(small.failures, (std::vector<Failure>{{Failure::Kind::UnsafeIncludeName, "../escape", 0, {}}}));
    EXPECT_EQ(s.entries(), (Names{"polygon 0x3c", "line 0x02", "line 0x3c", "line 0x05", "point 0x02d02", "point 0x02",
                                  "point 0x1f", "line 0x2d02", "line 0x1f", "polygon 0x3d"}));
    // Rules of types met already, at each file's end, only make the files large.
    const std::string comment = " #" + std::string(1000, '-') + "\n";
    for (const auto& [name, rule] : {std::pair{"polygons", "a=b [0x3c]"}, {"lines", "a=b [0x02]"}, {"points", "a=b [0x2d02]"}}) {
        std::string text = test::read_bytes(s.dir / ("s/" + std::string(name)));
        while (text.size() < 5'000'000) text.append(rule).append(comment);
        s.write(name, text);
    }
    const CreateTypReport large = s.run();
    EXPECT_EQ(s.out(), small_text);
    EXPECT_TRUE(large.warnings == small.warnings && large.failures == small.failures && large.entries == small.entries);
    EXPECT_TRUE(look_report(large.looks) == look_report(small.looks) && large.look_counts == count_looks(small.looks));
    if (const std::string missing = test::mkgmap_command_missing(s.dir); !missing.empty()) GTEST_SKIP() << missing;
    const test::MkgmapResult compiled = test::mkgmap_compile_here(s.dir.path(), "out.txt", 1251);
    ASSERT_TRUE(compiled.compiled) << compiled.log;
    EXPECT_TRUE(compiled.typ.find(moskva_1251) != std::string::npos && compiled.typ.find(moskva) == std::string::npos);
}

// A missing style is named once; a name that leads out is refused unread.
TEST(RunCreateTyp, reads_the_files_of_other_styles_after_the_group_and_reports_what_it_met_in_order_without_stopping) {
    Style s;
    s.request.include_tag_text = true;
    s.set_libraries(BAR_LOOK + "Type=0x02a0e\r\nString1=0x04,Cafe\r\nXpm=\"1 1 1 1\"\r\n\"a c #000002\"\r\n\"a\"\r\n[end]\r\n" +
                        "Type=0x02e02\r\nXpm=\"1 1 1 1\"\r\n\"a c #000003\"\r\n\"a\"\r\n[end]\r\n", "", "x");
    s.dir.write_files({{"s/points", "amenity=bar [0x2d02]\n"}, {"s/inc/own", "amenity=cafe [0x2a0e resolution 24]\n"},
             {"s/top", "highway=a [0x05 resolution 20]\n"}, {"s/sub/more", "highway=b [0x06 resolution 20]\n"},
             {"base/points", "amenity=pub [0x2e02]\n"}, {"base/inc/roads", "highway=trunk [0x01 resolution 20]\n"},
             {"secret", "amenity=x [0x2f01]\n"}});
    fs::create_directories(s.dir / "s/inc/folder");
    IncludeFiles& inc = s.request.include_files;
    inc.found = {"own"};
    inc.groups[Section::Point] = {"folder", "../escape", "own"};
    inc.other_styles[Section::Point] = {{"base", "points"}, {"gone", "points"}, {"base", "../secret"}, {"gone", "inc/x"}};
    inc.other_styles[Section::Line] = {{"base", "inc/roads"}, {"gone", "lines"}};
    inc.groups[Section::Line] = {"./top", "sub/more"};  // files outside inc/, by their path in the style
    inc.other_styles_followed = true;
    const CreateTypReport report = s.run();
    EXPECT_TRUE(report.written && report.label_dropped && !report.complete());  // without what the unread folder holds
    EXPECT_EQ(s.entries(), (Names{"point 0x02d02", "point 0x02a0e", "point 0x02e02", "line 0x05", "line 0x06", "line 0x01"}));
    EXPECT_EQ(report.warnings, (Warnings{{Warning::Kind::OtherStyleMissing, s.dir / "gone", 0, "gone"}}));
    ASSERT_EQ(report.failures.size(), 3u);
    EXPECT_TRUE(report.failures[0].kind == Failure::Kind::Read &&
                report.failures[0].path == join_path(include_folder(s.request.style_folder), "folder"));
    EXPECT_EQ(std::vector(report.failures.begin() + 1, report.failures.end()),
              (std::vector<Failure>{{Failure::Kind::UnsafeIncludeName, "../escape", 0, {}}, {Failure::Kind::UnsafeOtherStyleName, "../secret from base"}}));
    // A section switched off reads none of its other styles' files.
    inc.groups[Section::Point] = {"own"};
    s.request.sections[Section::Point] = false;
    const CreateTypReport lines_only = s.run();
    EXPECT_TRUE(lines_only.entries == (PerSection<std::size_t>{{0, 3, 0}}) && lines_only.failures.empty());
}

// In the main rule files and the include files these or a group reach (more: the other_styles golden cases).
TEST(RunCreateTyp, names_each_statement_not_followed_by_file_line_and_text) {
    Style s;
    s.dir.write_files({{"s/points", "amenity=bar [0x2d02]\n\ninclude points from default; # the rest\ninclude 'inc/shared';\n"},
             {"s/lines", "include 'inc/shared';\n"}, {"s/inc/shared", "a=b [0x01 resolution 20]\n  include \"inc/x\" from default\n"},
             {"s/inc/sorted", "include 'lines' from other\n"}, {"s/polygons", "include polygons from default;\n"}});
    s.request.sections[Section::Polygon] = false;
    s.request.include_files.found = {"shared", "sorted"};
    s.request.include_files.groups[Section::Line] = {"sorted"};
    const std::string inc = include_folder(s.request.style_folder);
    const Warning::Kind kind = Warning::Kind::IncludeNotFollowed;
    const CreateTypReport report = s.run();
    EXPECT_EQ(report.warnings, (Warnings{{kind, join_path(s.request.style_folder, "points"), 3, "include points from default;"},
                                         {kind, join_path(inc, "shared"), 2, "include \"inc/x\" from default"},
                                         {kind, join_path(inc, "sorted"), 1, "include 'lines' from other"}}));
    EXPECT_EQ(report.entries[Section::Point], 1u);
}
}  // namespace
}  // namespace tessaro
