#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "failure.h"
#include "include_statements.h"
#include "type_code.h"
#include "warning.h"

namespace tessaro {

// One type bracket of a rule file, as the two parts of its rule line: the rule's text in front of the bracket's "["
// and the text after it. Views, valid while the reader holds the file they were found in.
struct RuleItem {
    std::string_view before;  // the condition (and actions) of the rule
    std::string_view after;   // from the type code on, to the end of the rule line
    std::size_t line = 0;     // 1-based line of the rule line in its file
    std::string_view code;    // the first word after its "[", cut at "]"
    std::optional<std::uint32_t> value;  // code_value of its code
    // The item as text: "<after> @<before>".
    std::string text() const;
};

// Reads a rule file whole and finds its type brackets as mkgmap reads them, so that every type of the file is found:
// - CR, LF and CR LF each end a line; "#" outside quotes starts a comment;
// - a type bracket is a "[" followed, after optional blanks, by a digit (a "0x", decimal or octal code); a "["
//   inside quotes or an action's braces is none, and every bracket of a line counts;
// - an action ends at its first "}" outside quotes: a "{" inside it is text;
// - a bracket or a quote that opens on one line and closes on a later one is one bracket or quote; an action may
//   run over lines;
// - a construct that mkgmap would find open where the next rule starts (an action or bracket whose next line starts
//   no command of its kind, a quote that would take in a later line's bracket, a quote or bracket still open at the
//   end of the file or after a few lines) is a fault: it is named (take_faults()) and ends with the line it opened
//   on, so that the rules after it are read;
// - a rule whose bracket starts its line belongs to the nearest earlier non-blank line that holds no bracket yet (a
//   condition written above it).
// Before scanning, each line is normalised: tabs become blanks, every two blanks one, and "0 x" becomes "0x".
class RuleReader {
public:
    RuleReader() = default;
    // What close() would find is of no use once the reader goes; its look at the file could throw.
    ~RuleReader() = default;
    // Not copied or moved: its items are views into its own buffers.
    RuleReader(const RuleReader&) = delete;
    RuleReader& operator=(const RuleReader&) = delete;

    // The type brackets of the file, or only its normalised text (for scans of the text's own words).
    enum class Items { Rules, None };
    // Reads and scans a file (one that cannot be opened gives nothing). With `statements`, the include statements of
    // its lines are kept too, as include_statements finds them.
    void open(const std::string& path, Items items = Items::Rules, bool statements = false);
    // Ends the reading: the failure of a file that could not be read (in full)
    // or that is no text (it holds NUL bytes: UTF-16, a binary file), if any.
    std::optional<Failure> close();
    // The constructs left open that mkgmap refuses, in file order, as warnings naming the line where each opened, and
    // NoTypesRead for a file read in full whose type brackets were all hidden; taken once, after close().
    std::vector<Warning> take_faults();
    // After close(): the include statements of the file read, when they were asked for.
    std::optional<std::vector<IncludeStatement>> take_statements();

    // The items of the file.
    const std::vector<RuleItem>& items() const { return m_scan.items; }
    // The file's text, normalised (Items::None only; normalised when first
    // asked for, so that a caller that needs no more text pays nothing).
    std::string_view text();
    // The file's bytes as read, until text() normalises them.
    std::string_view bytes() const { return m_text; }

    // The items of a whole rule text in memory, as reading it from a file finds them.
    void scan_text(std::string_view text);

private:
    using Brackets = std::vector<std::pair<std::size_t, std::size_t>>;  // "[" and its "]" (or npos)

    void start(Items items);
    void scan_lines();
    void scan_line(std::string_view line);
    bool ends_open_construct(std::string_view line);
    void hold_line(std::string_view line, std::size_t quote_line, bool bare);
    void give_up_quote();
    void end_of_text();
    void fault(Warning::Kind kind, std::size_t line);
    std::string release_held();
    void flush_pending();
    void finish_line(std::string_view text, std::size_t line, const Brackets& brackets, int depth);

    std::string m_text;  // the file's bytes
    bool m_normalised = false;  // m_text is (Items::None)
    // What the scan of a text finds, and the state that runs on from line to line.
    struct Scan {
        std::vector<RuleItem> items;
        std::deque<std::string> joined;  // lines made of several, which items view
        std::vector<Warning> faults;
        std::size_t line = 0;         // lines read so far
        int depth = 0;                // 1 inside an action
        std::size_t action_line = 0;  // where the action open opened
        std::string_view condition;   // the nearest earlier non-blank line without a bracket, if any
        std::string pending;  // a line whose bracket is still open, with the lines after it
        std::size_t pending_first = 0;  // its first line
        int pending_depth = 0;          // the braces open where it started
        bool pending_bare = false;      // held open only by a "[" at its end, which a code must follow
        bool pending_quote = false;     // held open by a quote
        // The lines held in pending, as they came: read again when a quote never closes.
        std::vector<std::string> held;
        std::vector<std::size_t> held_starts;  // where each starts in pending
        std::size_t quote_line = 0;            // where the quote held open opened
        char quote_char = 0;                   // and which it is
        std::vector<std::size_t> quotes_given_up;  // lines whose open quote ends with them, in order
    } m_scan;

    std::string m_path;
    Items m_items_kind = Items::Rules;
    std::optional<std::vector<IncludeStatement>> m_statements;
    std::optional<Failure> m_failure;
    bool m_closed = true;     // close() has looked at the file read
};

// The blank and code normalisations of a line, in place over size bytes: carriage returns go, tabs become blanks,
// then every two blanks become one (left to right), then "0 x" and "0 X" become "0x". Returns the new size.
std::size_t normalise_rule_text(char* text, std::size_t size);

}  // namespace tessaro
