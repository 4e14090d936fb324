// TYP texts in the forms map makers have them (tests/data/typ_forms), each
// with mkgmap's verdict in the folder's manifest: mkgmap still judges them
// so, and the reader, --check and --update must agree with it.
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

#include "support/cli_capture.h"
#include "support/mkgmap.h"
#include "support/temp_dir.h"
#include "support/typ_binary.h"
#include "support/typ_forms.h"
#include "typ_reader.h"

namespace tessaro {
namespace {

using test::TypCounts;
using test::TypForm;

std::string named(const TypForm& form) { return form.name + " (" + form.why + ")"; }

TypCounts reader_counts(const TypDocument& doc) {
    TypCounts counts;
    for (const TypEntry& e : doc.entries) {
        if (e.section == Section::Point) ++counts.points;
        if (e.section == Section::Line) ++counts.lines;
        if (e.section == Section::Polygon) ++counts.polygons;
    }
    return counts;
}

// The reader's first problems, errors before warnings.
std::string problems(const TypDocument& doc) {
    std::string out;
    int shown = 0;
    for (const Severity severity : {Severity::Error, Severity::Warning})
        for (const TypProblem& p : doc.problems)
            if (p.severity == severity && shown++ < 4)
                out += "  line " + std::to_string(p.line) + (severity == Severity::Error ? ": error: " : ": warning: ") +
                       p.message + "\n";
    return out;
}

// The first lines of what the command line said.
std::string first_lines(const std::string& err) {
    std::size_t at = 0;
    for (int i = 0; i < 3 && at != std::string::npos; ++i) at = err.find('\n', at + 1);
    return at == std::string::npos ? err : err.substr(0, at + 1) + "...\n";
}

TEST(TypForms, the_manifest_names_every_file_of_the_folder_once) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(test::TYP_FORMS)) {
        const std::string name = entry.path().filename().string();
        if (name != "verdicts" && name != ".gitattributes") files.insert(name);
    }
    std::set<std::string> listed;
    for (const TypForm& form : test::read_typ_forms()) {
        EXPECT_TRUE(listed.insert(form.name).second) << "verdicts:" << form.line << ": " << form.name << " again";
        EXPECT_TRUE(files.count(form.name)) << "verdicts:" << form.line << ": no file " << form.name;
        EXPECT_TRUE(form.compiles || form.entries == TypCounts{}) << named(form) << ": refused, yet entries";
    }
    for (const std::string& name : files) EXPECT_TRUE(listed.count(name)) << name << " has no line in verdicts";
}

TEST(TypForms, mkgmap_compiles_exactly_the_files_the_manifest_says_into_as_many_entries) {
    const test::TempDir tmp;
    if (const std::string missing = test::mkgmap_command_missing(tmp); !missing.empty()) GTEST_SKIP() << missing;
    const std::vector<TypForm> forms = test::read_typ_forms();
    std::vector<std::pair<std::string, std::string>> texts;
    for (const TypForm& form : forms) texts.emplace_back(form.name, test::typ_form_bytes(form));
    const std::vector<test::MkgmapResult> results = test::mkgmap_compile(tmp, "forms", texts);
    ASSERT_EQ(results.size(), forms.size());
    for (std::size_t i = 0; i < forms.size(); ++i) {
        EXPECT_TRUE(results[i].compiled == forms[i].compiles)
            << named(forms[i]) << (results[i].compiled ? ": mkgmap compiles it" : ": mkgmap refuses it") << '\n'
            << results[i].log;
        if (results[i].compiled) {
            EXPECT_EQ(test::count_typ_entries(results[i].typ), forms[i].entries) << named(forms[i]);
        }
    }
}

TEST(TypForms, the_reader_and_check_find_an_error_exactly_in_the_files_mkgmap_refuses_and_read_as_many_entries) {
    for (const TypForm& form : test::read_typ_forms()) {
        const TypDocument doc = read_typ_text(test::typ_form_bytes(form));
        const std::string verdict = named(form) + (form.compiles ? ": mkgmap compiles it\n" : ": mkgmap refuses it\n");
        EXPECT_TRUE(has_error(doc) != form.compiles) << verdict << problems(doc);
        if (form.compiles) {
            EXPECT_EQ(reader_counts(doc), form.entries) << named(form) << '\n' << problems(doc);
        }
        const test::CliOutput check = test::cli({"--check", test::TYP_FORMS + "/" + form.name});
        EXPECT_EQ(check.exit_code, form.compiles ? 0 : 1) << verdict << first_lines(check.err);
    }
}

// A style of one rule a kind, of types no file of the corpus has.
std::string new_types_style(const test::TempDir& tmp) {
    tmp.write("style/points", "tourism=viewpoint [0x2c04 resolution 24]\n");
    tmp.write("style/lines", "highway=track [0x0a resolution 22]\n");
    tmp.write("style/polygons", "landuse=forest [0x50 resolution 20]\n");
    return tmp / "style";
}

test::CliOutput update(const std::string& path, const std::string& style) {
    return test::cli({"--seed", "1", "--res", TESSARO_SOURCE_DIR "/tests/library", "-o", path, "--update", style});
}

// A text as lines the way mkgmap ends them (CR LF, a lone CR or a lone LF);
// a file that starts with a UTF-16LE byte order mark is read as UTF-16, its
// code units written out as UTF-8, so that its lines are seen too.
struct Line {
    std::string content;
    std::string end;  // empty on a last line without one
    bool operator==(const Line&) const = default;
};

std::string as_utf8_units(const std::string& bytes) {
    if (bytes.rfind("\xFF\xFE", 0) != 0) return bytes;
    std::string out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else if (unit < 0x800) {
            out += static_cast<char>(0xC0 | unit >> 6);
            out += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | unit >> 12);
            out += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    if (bytes.size() % 2 == 1) out += "\xFF odd byte at the end";
    return out;
}

std::vector<Line> lines_of(const std::string& bytes) {
    const std::string text = as_utf8_units(bytes);
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t at = text.find_first_of("\r\n", start);
        if (at == std::string::npos) {
            lines.push_back({text.substr(start), ""});
            break;
        }
        const std::size_t end_size = text.compare(at, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back({text.substr(start, at - start), text.substr(at, end_size)});
        start = at + end_size;
    }
    return lines;
}

// The file's own line end: its first; CR LF when it has none.
std::string own_line_end(const std::vector<Line>& lines) {
    for (const Line& l : lines)
        if (!l.end.empty()) return l.end;
    return "\r\n";
}

std::string shown(const std::string& end) { return end == "\r\n" ? "CR LF" : end == "\r" ? "CR" : end == "\n" ? "LF" : "none"; }

// What is wrong with `now` as `before` with lines put in: an old line lost
// or moved, added lines (or a line end added to the old last line) that end
// in another way than the file does, nothing added; empty when nothing.
std::string faults_of_update(const std::string& before, const std::string& now) {
    const std::vector<Line> old_lines = lines_of(before), new_lines = lines_of(now);
    const std::string end = own_line_end(old_lines);
    std::string faults, first_odd;
    std::size_t kept = 0, added = 0, odd = 0;
    for (std::size_t n = 0; n < new_lines.size(); ++n) {
        const Line& line = new_lines[n];
        const bool last_old = kept + 1 == old_lines.size() && old_lines[kept].end.empty();
        if (kept < old_lines.size() && line == old_lines[kept]) {
            ++kept;
        } else if (last_old && line.content == old_lines[kept].content) {
            ++kept;  // the old last line, now ended
            if (line.end != end) faults += "; the old last line now ends in " + shown(line.end);
        } else {
            ++added;
            const bool last = n + 1 == new_lines.size();
            if (line.end != end && !(last && line.end.empty()) && odd++ == 0)
                first_odd = "line " + std::to_string(n + 1) + " ending in " + shown(line.end) + ": " + line.content;
        }
    }
    if (odd > 0)
        faults += "; " + std::to_string(odd) + " of the " + std::to_string(added) + " lines added end otherwise (the first: " +
                  first_odd + ")";
    if (kept < old_lines.size())
        faults += "; old line " + std::to_string(kept + 1) + " is lost or moved: " + old_lines[kept].content;
    if (added == 0) faults += "; nothing added";
    return faults.empty() ? "" : "the file ends its lines in " + shown(end) + faults;
}

TEST(TypForms, update_keeps_every_line_of_a_file_mkgmap_compiles_adds_lines_ending_as_it_does_and_mkgmap_compiles_it) {
    const test::TempDir tmp;
    const std::string style = new_types_style(tmp);
    std::vector<TypForm> updated;
    std::vector<std::pair<std::string, std::string>> texts;
    for (const TypForm& form : test::read_typ_forms()) {
        if (!form.compiles) continue;
        const std::string before = test::typ_form_bytes(form);
        const std::string path = tmp.write("update/" + form.name, before);
        const test::CliOutput run = update(path, style);
        EXPECT_EQ(run.exit_code, 0) << named(form) << '\n' << first_lines(run.err);
        if (run.exit_code != 0) continue;
        const std::string now = test::read_bytes(path);
        const std::string faults = faults_of_update(before, now);
        EXPECT_TRUE(faults.empty()) << named(form) << ": " << faults;
        updated.push_back(form);
        texts.emplace_back(form.name, now);
    }

    if (const std::string missing = test::mkgmap_command_missing(tmp); !missing.empty()) GTEST_SKIP() << missing;
    const std::vector<test::MkgmapResult> results = test::mkgmap_compile(tmp, "compiled", texts);
    ASSERT_EQ(results.size(), updated.size());
    for (std::size_t i = 0; i < updated.size(); ++i) {
        EXPECT_TRUE(results[i].compiled) << named(updated[i]) << ": mkgmap refuses it updated\n" << results[i].log;
        if (!results[i].compiled) continue;
        // One more of each kind: the style's three types.
        const TypCounts now = test::count_typ_entries(results[i].typ).value_or(TypCounts{-1, -1, -1});
        const TypCounts& was = updated[i].entries;
        EXPECT_TRUE(now.points > was.points && now.lines > was.lines && now.polygons > was.polygons)
            << named(updated[i]) << ": had " << was << ", now " << now;
    }
}

TEST(TypForms, update_leaves_a_file_mkgmap_refuses_as_it_was) {
    const test::TempDir tmp;
    const std::string style = new_types_style(tmp);
    for (const TypForm& form : test::read_typ_forms()) {
        if (form.compiles) continue;
        const std::string before = test::typ_form_bytes(form);
        const std::string path = tmp.write("update/" + form.name, before);
        const test::CliOutput run = update(path, style);
        EXPECT_EQ(run.exit_code, 1) << named(form) << '\n' << first_lines(run.err);
        EXPECT_TRUE(test::read_bytes(path) == before) << named(form) << ": changed";
    }
}

}  // namespace
}  // namespace tessaro
