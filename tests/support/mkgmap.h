#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "section.h"
#include "support/temp_dir.h"

namespace tessaro::test {

// mkgmap's jar: its own styles, and StyleImpl, which prints a style as mkgmap
// reads it (include files and base styles resolved).
extern const std::string MKGMAP_JAR;

// Why the jar (and, with `java`, java to run it) cannot be used here; empty when it can.
std::string mkgmap_jar_missing(bool java = true);
// Whether a program of that name is in a folder of PATH (found without running a shell).
bool on_path(const std::string& program);

// The names of the folders in `folder` that hold a rule file, sorted; none when it is no folder.
std::vector<std::string> style_names_in(const std::string& folder);

// Takes a folder of the jar ("styles", "styles/default") out into dir.
bool extract_from_mkgmap_jar(const TempDir& dir, const std::string& member);

// The style `name` of styles_folder as mkgmap prints it, written to out too;
// empty when mkgmap cannot read it. `classpath` adds folders with styles/NAME
// for the styles that "include ... from NAME" names beyond mkgmap's own.
std::string mkgmap_printed_style(const std::string& styles_folder, const std::string& name, const std::string& out,
                                 const std::string& classpath = "");

// A style for mkgmap to read: its styles folder, its name, and folders with
// styles/NAME for the styles its "include ... from NAME" names beyond mkgmap's own.
struct StyleToRead {
    std::string folder, name, classpath;
};

// Each style as mkgmap prints it, by name, read two at a time; none for a
// style mkgmap refuses (what it said stays in tmp/NAME.err).
std::map<std::string, std::string> mkgmap_printed_styles(const TempDir& tmp, const std::vector<StyleToRead>& styles);

// One section of a printed style ("<<<points>>>" up to the next header).
std::string printed_section(const std::string& printed, Section section);

// The code of each rule of a printed section, from its bracket in normal form
// "[0x2f12 level 0 ...]" at the end of the line (a quoted value before it may
// hold anything); lines with "#" are comments.
std::vector<std::string> printed_codes(const std::string& section_text);

// What mkgmap's TYP compiler made of one text.
struct MkgmapResult {
    bool compiled = false;  // its exit status was 0
    std::string typ;        // the .typ it wrote; empty when none
    std::string log;        // what it printed
};

// Why the mkgmap command cannot be run here; empty when it can.
std::string mkgmap_command_missing(const TempDir& tmp);

// Compiles the text `name` (ending in .txt) where it stands in `folder`, as
// `mkgmap --family-id=12345 --code-page=CODE_PAGE NAME`.
MkgmapResult mkgmap_compile_here(const std::string& folder, const std::string& name, int code_page = 1252);

// Compiles each text (a file name ending in .txt, without spaces, and its
// bytes) in a folder of its own under tmp/folder, two at a time, as
// `mkgmap --family-id=12345 --code-page=1252 NAME.txt`; the results in the
// order of the texts.
std::vector<MkgmapResult> mkgmap_compile(const TempDir& tmp, const std::string& folder,
                                         const std::vector<std::pair<std::string, std::string>>& texts);

}  // namespace tessaro::test
