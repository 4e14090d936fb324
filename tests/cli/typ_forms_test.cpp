#include <algorithm>
#include "support/cli_capture.h"
#include "support/mkgmap.h"
#include "support/typ_binary.h"
#include "support/typ_forms.h"
#include "typ_reader.h"

namespace tessaro {
namespace {
using test::TypCounts;
using test::TypForm;
std::string named(const TypForm& form) { return form.name + " (" + form.why + ")"; }

std::string first_problem(const TypDocument& doc) {
    for (const TypProblem& p : doc.problems) if (p.severity == Severity::Error) return "line " + std::to_string(p.line) + ": " + p.message;
    return doc.problems.empty() ? "" : "line " + std::to_string(doc.problems[0].line) + ": " + doc.problems[0].message;
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
        if (results[i].compiled) { EXPECT_EQ(test::count_typ_entries(results[i].typ), forms[i].entries) << named(forms[i]); }
    }
}

TEST(TypForms, the_reader_and_check_find_an_error_exactly_in_the_files_mkgmap_refuses_and_read_as_many_entries) {
    for (const TypForm& form : test::read_typ_forms()) {
        const TypDocument doc = read_typ_text(test::typ_form_bytes(form));
        const std::string verdict = named(form) + (form.compiles ? ": mkgmap compiles it\n" : ": mkgmap refuses it\n");
        EXPECT_TRUE(has_error(doc) != form.compiles) << verdict << first_problem(doc);
        TypCounts read;
        for (const TypEntry& e : doc.entries) ++(e.section == Section::Point ? read.points : e.section == Section::Line ? read.lines : read.polygons);
        EXPECT_TRUE(!form.compiles || read == form.entries) << named(form) << ": read " << read << '\n' << first_problem(doc);
        const test::CliOutput check = test::cli({"--check", test::TYP_FORMS + "/" + form.name});
        EXPECT_EQ(check.exit_code, form.compiles ? 0 : 1) << verdict << check.err.substr(0, 300);
    }
}

// A text's lines with their ends (CR LF, CR, LF or none), in units of two bytes after a UTF-16LE byte order mark.
using Line = std::pair<std::string, std::string>;

std::vector<Line> lines_of(const std::string& bytes) {
    const std::size_t w = bytes.rfind("\xFF\xFE", 0) == 0 ? 2 : 1;
    const auto unit = [&](std::size_t i) { return i + w <= bytes.size() && (w == 1 || bytes[i + 1] == '\0') ? bytes[i] : 'x'; };
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); i += w) {
        const char c = unit(i);
        if (c != '\r' && c != '\n') continue;
        const bool crlf = c == '\r' && unit(i + w) == '\n';
        lines.emplace_back(bytes.substr(start, i - start), crlf ? "\r\n" : std::string(1, c));
        start = i + (crlf ? 2 * w : w);
        i = start - w;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start), "");
    return lines;
}

// What is wrong with `now` as `before` with lines put in: an old line lost or moved, a line added ending
// otherwise than the file's first line does (CR LF when none ends), nothing added; empty when nothing.
std::string faults_of_update(const std::string& before, const std::string& now) {
    const std::vector<Line> old_lines = lines_of(before), new_lines = lines_of(now);
    std::string end = "\r\n";
    for (const Line& l : old_lines)
        if (!l.second.empty()) { end = l.second; break; }
    std::size_t kept = 0;
    for (std::size_t n = 0; n < new_lines.size(); ++n) {
        const auto& [content, ending] = new_lines[n];
        const bool last_ended = kept + 1 == old_lines.size() && old_lines[kept].second.empty() && content == old_lines[kept].first;
        if (kept < old_lines.size() && new_lines[n] == old_lines[kept]) ++kept;
        else if (last_ended ? ending != end : ending != end && !(n + 1 == new_lines.size() && ending.empty()))
            return "line " + std::to_string(n + 1) + " does not end as the file's first line: " + content;
        else if (last_ended) ++kept;
    }
    if (kept < old_lines.size()) return "old line " + std::to_string(kept + 1) + " is lost or moved: " + old_lines[kept].first;
    return new_lines.size() == old_lines.size() ? "nothing added" : "";
}

// A style of one rule a kind, of types no form has.
TEST(TypForms, update_keeps_every_line_of_a_file_mkgmap_compiles_adds_lines_ending_as_it_does_and_leaves_one_it_refuses) {
    const test::TempDir tmp;
    tmp.write_files({{"style/points", "tourism=viewpoint [0x2c04 resolution 24]\n"},
                     {"style/lines", "highway=track [0x0a resolution 22]\n"},
                     {"style/polygons", "landuse=forest [0x50 resolution 20]\n"}});
    std::vector<TypForm> updated;
    std::vector<std::pair<std::string, std::string>> texts;
    for (const TypForm& form : test::read_typ_forms()) {
        const std::string before = test::typ_form_bytes(form);
        const std::string path = tmp.write("update/" + form.name, before);
        const test::CliOutput run =
            test::cli({"--seed", "1", "--res", TESSARO_SOURCE_DIR "/tests/library", "-o", path, "--update", tmp / "style"});
        const std::string now = test::read_bytes(path);
        EXPECT_EQ(run.exit_code, form.compiles ? 0 : 1) << named(form) << '\n' << run.err.substr(0, 300);
        if (!form.compiles) {
            EXPECT_TRUE(now == before) << named(form) << ": changed";
        } else if (run.exit_code == 0) {
            const std::string faults = faults_of_update(before, now);
            EXPECT_TRUE(faults.empty()) << named(form) << ": " << faults;
            updated.push_back(form);
            texts.emplace_back(form.name, now);
        }
    }
    if (const std::string missing = test::mkgmap_command_missing(tmp); !missing.empty()) GTEST_SKIP() << missing;
    const std::vector<test::MkgmapResult> results = test::mkgmap_compile(tmp, "compiled", texts);
    ASSERT_EQ(results.size(), updated.size());
    for (std::size_t i = 0; i < updated.size(); ++i) {
        EXPECT_TRUE(results[i].compiled) << named(updated[i]) << ": mkgmap refuses it updated\n" << results[i].log;
        if (!results[i].compiled) continue;
        const TypCounts now = test::count_typ_entries(results[i].typ).value_or(TypCounts{-1, -1, -1});
        const TypCounts& was = updated[i].entries;
        EXPECT_TRUE(now.points > was.points && now.lines > was.lines && now.polygons > was.polygons)
            << named(updated[i]) << ": had " << was << ", now " << now;
    }
}
}  // namespace
}  // namespace tessaro
