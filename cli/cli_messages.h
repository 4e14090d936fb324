#pragma once

#include <string>
#include <vector>

#include "create_typ.h"
#include "failure.h"
#include "style_drift.h"
#include "typ_reader.h"
#include "warning.h"

namespace tessaro {

// What the command line says, in its own terms: the options and paths a
// command-line user can change.

struct CliContext {
    std::string res_folder;       // where the library files were looked for
    std::string polygon_library;  // the polygon library file
    bool polygon_library_given = false;  // named by --polygon-library
    std::string style_folder;
    bool auto_inc = false;
};

// The text of a finding of the check.
std::string finding_text(Finding finding, const CliContext& context);
// "PATH: what went wrong".
// `option`: the option that named an output, for the advice to give another.
std::string failure_text(const Failure& failure, const std::string& option = "-o");
// What a TYP text lacks or holds beyond its style, without the text's name
// and line (the window says it in the same words).
std::string drift_text(const StyleDrift& drift);
// "warning: FILE:LINE: what the run went past".
std::string warning_text(const Warning& warning);
// The include files that no group took, and how to sort them.
std::string left_out_text(const std::vector<std::string>& names, const CliContext& context);
// What the run went past: "warning: PATH:LINE: ...".
std::string warning_text(const Warning& warning);
// The last line of a run that wrote the TYP text completely.
std::string created_text(const std::string& typ_path, const CreateTypReport& report);
// The mkgmap command for the TYP text just written, after the last line: in
// the code page its labels are written in.
std::string compile_text(const std::string& typ_path, int code_page);
// The last line of a run that wrote the TYP text without the types of the
// files it could not read (or refused).
std::string incomplete_text(const std::string& typ_path, const std::vector<std::string>& unread,
                            const CreateTypReport& report);

}  // namespace tessaro

namespace tessaro {
// A TYP text's problems, one line each ("FILE:LINE: error: ..."), the first
// hundred of them and then their number.
std::string typ_problems_text(const std::string& path, const std::vector<TypProblem>& problems);
// The line --check closes with, on stdout whatever it found: "PATH: N entries,
// no problems", or the errors and warnings of the text, and the findings
// against the style (`findings`) when there are any.
// After the findings of --check --style: entries "the style does not use" whose types
// the include files that the check did not read give.
std::string unread_includes_text(std::size_t entries);
std::string check_summary_text(const std::string& path, const TypDocument& doc, std::size_t findings);
// An update's entry of a type the style no longer uses.
std::string unused_entry_text(const std::string& typ_path, const UnusedEntry& entry, bool pruned);
// The last line of a run that updated the TYP text completely.
std::string updated_text(const std::string& typ_path, const TypUpdate& update);
// An update that replaced an old text with errors (--force).
std::string replaced_broken_text(const std::string& typ_path, const TypUpdate& update);
// An update that read the style only in part, or with faults, keeps the unused entries.
std::string prune_skipped_text(bool misread);
// Include Tag Text met library looks that carry a label of their own.
std::string label_dropped_text();
}  // namespace tessaro
