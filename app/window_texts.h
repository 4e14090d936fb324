#pragma once

#include <string>
#include <vector>

#include "create_typ.h"
#include "failure.h"
#include "style_drift.h"
#include "warning.h"

namespace tessaro {

// The texts the window shows, word for word, made from what the core found.

// The caption: "tessaro 2.10707 - style <style name>", or without a style.
std::string window_caption(const std::string& style_folder);
// The line under the folder tree: the chosen style, or a folder that is no style.
std::string style_folder_text(const std::string& folder, bool has_rule_files);
// Launch without a TYP editor (empty) or with one that has gone.
std::string editor_missing_text(const std::string& editor);
// Keep my edited looks on a TYP text whose ";style:" line names another style.
std::string other_style_update_question(const std::string& typ_path, const std::string& made_for,
                                        const std::string& style);
// File > Open TYP text without a TYP editor, when the desktop has no program for the file.
std::string no_text_editor_text(const std::string& path);
// One message for the rule files a style lacks ("" when it lacks none).
std::string missing_rule_files_text(const std::vector<Finding>& findings);
// What Sort by includes did: how many files went to each group, and the files no rule file includes.
std::string sort_report_text(const PerSection<std::size_t>& added, const std::vector<std::string>& not_included);

std::string finding_text(Finding finding);
// "PATH: what went wrong".
std::string failure_text(const Failure& failure);

// A check of the TYP text against the style, in the command line's words;
// "line N: " before a finding at a line of the text.
std::string drift_text(const StyleDrift& drift);

std::string sort_include_files_text();
// What an update of the TYP text did: entries kept, added and, when there are any, no longer used.
std::string update_counts_text(const TypUpdate& update);
// The errors that keep an old TYP text from being updated (the first few).
std::string old_text_problems_text(const std::vector<TypProblem>& problems);
// Include files that no group took, named (the first few); none_sorted: no group took any.
std::string include_files_left_out_text(const std::vector<std::string>& names, bool none_sorted);
// The statements that take rules from other styles which the run did not
// follow (the IncludeNotFollowed warnings among these), and how to follow them.
std::string statements_not_followed_text(const std::vector<Warning>& warnings);
// An OtherStyleMissing warning.
std::string other_style_missing_text(const Warning& warning);
// Put before the closing message when a rule's label could not be added.
std::string label_dropped_prefix();
// Put before the closing message: the library entries (and other lines) the run went past.
std::string warnings_prefix(const std::vector<Warning>& warnings);
// A run or check that ran out of memory: what it was doing ("converting STYLE").
std::string out_of_memory_text(const std::string& doing);
// The closing message of a run that wrote (or, with `update`, updated) the whole TYP
// text, with the mkgmap command for it on a line of its own, which names the code
// page the labels are written in.
std::string created_text(const std::string& typ_path, int code_page, const TypUpdate* update = nullptr);
// The closing message of a run that wrote the TYP text without what the
// files it could not read (or refused) hold; each failure was told before it.
std::string incomplete_text(const std::vector<Failure>& failures);

}  // namespace tessaro
