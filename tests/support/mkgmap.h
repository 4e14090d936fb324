#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>
#include "section.h"
#include "support/temp_dir.h"

namespace tessaro::test {
// mkgmap's jar: its own styles, and StyleImpl, which prints a style as mkgmap reads it.
extern const std::string MKGMAP_JAR;
// Why the jar (and, with `java`, java to run it) cannot be used here; empty when it can.
std::string mkgmap_jar_missing(bool java = true);
// Whether a program of that name is in a folder of PATH (found without running a shell).
bool on_path(const std::string& program);
std::vector<std::string> style_names_in(const std::string& folder);
// The folders of our styles (tests/data, with `siblings` its cases' styles/ folders too, and examples/) and, when
// the jar is there, of mkgmap's own, taken out into tmp/styles.
std::vector<std::string> every_style_folder(const TempDir& tmp, bool siblings = false);
bool extract_from_mkgmap_jar(const TempDir& dir, const std::string& member);
// The style `name` as mkgmap prints it (include files and base styles resolved), written to
// out too; empty when mkgmap refuses it. `classpath` holds styles/NAME for "include ... from NAME".
std::string mkgmap_printed_style(const std::string& styles_folder, const std::string& name, const std::string& out,
                                 const std::string& classpath = "");

struct StyleToRead {
    std::string folder, name, classpath;
};
// The same for many styles, two at a time, by name; none for a style mkgmap refuses.
std::map<std::string, std::string> mkgmap_printed_styles(const TempDir& tmp, const std::vector<StyleToRead>& styles);
std::string printed_section(const std::string& printed, Section section);
// The code of each rule's bracket at the end of its line (a quoted value before it may hold anything).
std::vector<std::string> printed_codes(const std::string& section_text);

struct MkgmapResult {
    bool compiled = false;  // its exit status was 0
    std::string typ;        // the .typ it wrote; empty when none
    std::string log;
};

std::string mkgmap_command_missing(const TempDir& tmp);
// `mkgmap --family-id=12345 --code-page=CODE_PAGE NAME.txt` in `folder`.
MkgmapResult mkgmap_compile_here(const std::string& folder, const std::string& name, int code_page = 1252);
// Each (NAME.txt, bytes) compiled so in a folder of its own under tmp/folder, two at a time.
std::vector<MkgmapResult> mkgmap_compile(const TempDir& tmp, const std::string& folder,
                                         const std::vector<std::pair<std::string, std::string>>& texts);
}  // namespace tessaro::test
