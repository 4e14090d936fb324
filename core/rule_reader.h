#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "failure.h"
#include "include_statements.h"
#include "large_pages.h"
#include "type_code.h"
#include "warning.h"
#include "yield.h"

namespace tessaro {

class FileReader;

// One type bracket of a rule file, as the two parts of its rule line: the
// rule's text in front of the bracket's "[" and the text after it. Views,
// valid while the piece they were found in is in hand.
struct RuleItem {
    std::string_view before;  // the condition (and actions) of the rule
    std::string_view after;   // from the type code on, to the end of the rule line
    std::size_t line = 0;     // 1-based line of the rule line in its file
    std::string_view code;    // item_code of the item
    std::optional<std::uint32_t> value;  // code_value of its code
    // Items::FirstOfType: the items of the file passed over since the item before this one.
    std::size_t passed = 0;
    // The item as text: "<after> @<before>".
    std::string text() const;
};

// Reads one rule file a piece at a time and finds its type brackets as mkgmap
// reads them, so that every type of the file is found:
// - CR, LF and CR LF each end a line; "#" outside quotes starts a comment;
// - a type bracket is a "[" followed, after optional blanks, by a digit (a
//   "0x", decimal or octal code); a "[" inside quotes or an action's braces
//   is none, and every bracket of a line counts;
// - an action ends at its first "}" outside quotes: a "{" inside it is text;
// - a bracket or a quote that opens on one line and closes on a later one is
//   one bracket or quote; an action may run over lines;
// - a construct that mkgmap would find open where the next rule starts (an
//   action or bracket whose next line starts no command of its kind, a quote
//   that would take in a later line's bracket, a quote or bracket still open
//   at the end of the file or after a few lines) is a fault: it is named
//   (take_faults()) and ends with the line it opened on, so that the rules
//   after it are read;
// - a rule whose bracket starts its line belongs to the nearest earlier
//   non-blank line that holds no bracket yet (a condition written above it).
// Before scanning, each line is normalised: tabs become blanks, every two
// blanks one, and "0 x" becomes "0x".
class RuleReader {
public:
    // `pages` (may be null) lends the memory of its pieces.
    explicit RuleReader(Yield yield = {}, PagePool* pages = nullptr);
    PagePool* pages() const { return m_pages; }
    ~RuleReader();
    // Not copied or moved: its items are views into its own buffers.
    RuleReader(const RuleReader&) = delete;
    RuleReader& operator=(const RuleReader&) = delete;

    // Sizes the buffers for rule files of up to `bytes` (pieces are never larger than needed).
    void reserve(std::size_t bytes);

    // The type brackets of a piece, or only the first of each type code value
    // in the file (and every item whose code is no number), or only the
    // normalised text (for scans of the text's own words).
    enum class Items { Rules, FirstOfType, None };
    // Opens a file for next_piece; one that cannot be opened gives no piece.
    // With `statements`, the include statements of its lines are kept too, as
    // include_statements finds them in the whole file. A file opened `ahead`,
    // before the caller will want it, is read on a thread of its own from a
    // smaller size on: its pieces are ready when the caller comes.
    void open(const std::string& path, Items items = Items::Rules, bool statements = false, bool ahead = false);
    // Reads the next run of whole lines and finds their items; false once
    // the file is done.
    bool next_piece();
    // Ends the reading: the failure of a file that could not be read (in full)
    // or that is no text (it holds NUL bytes: UTF-16, a binary file), if any.
    std::optional<Failure> close();
    // The constructs left open that mkgmap refuses, in file order, as
    // warnings naming the line where each opened, and NoTypesRead for a file
    // read in full whose type brackets were all hidden; taken once, after close().
    std::vector<Warning> take_faults();
    // The type brackets read from the file so far, passed-over ones included.
    std::size_t brackets_read() const { return m_brackets_read; }
    // After close(): the include statements of a file read to its end, when
    // they were asked for and each piece ended with a line feed (a file of CRs
    // alone is one line to include_statements, and many lines here).
    std::optional<std::vector<IncludeStatement>> take_statements();

    // The items of the piece in hand.
    const std::vector<RuleItem>& items() const { return m_current->hits; }
    // The piece's whole lines, normalised (Items::None only; normalised when
    // first asked for, so that a caller that needs no more text pays nothing).
    std::string_view piece_text();

    // The items of a whole rule text in memory, as reading it from a file
    // finds them, in one piece. With `plain`, every line takes the general
    // path (the fast path for plain lines must find the same).
    void scan_text(std::string_view text, bool plain = false, Items items = Items::Rules);

private:
    struct Bracket {
        std::size_t open;   // the "["
        std::size_t close;  // its "]", or npos
    };
    // One piece of a file: its bytes (the carried start of a line, then the
    // bytes read after it) and what was found in its whole lines.
    struct Piece {
        char* bytes = nullptr;  // in the reader's block, or in `own`
        LargeBlock own;         // a piece that outgrew its share of the block
        std::size_t capacity = 0;
        std::size_t used = 0;  // bytes in use, lines done included
        std::size_t done = 0;  // bytes of the whole lines handed out
        std::vector<RuleItem> hits;
        std::deque<std::string> joined;  // lines made of several
        std::string_view text;           // Items::None
        bool normalised = false;         // text is
    };
    // Pieces in turn: while the caller works on one, the next is read and
    // scanned on a thread of their own. Two: the caller's work on a piece's
    // few items is short, and each further piece is fresh memory that every
    // run pays for again (a fresh page costs half as much as scanning it).
    static constexpr std::size_t PIECES = 2;
    class Worker;

public:
    // A line's special bytes as the scan meets them: the first two, and how many.
    struct LineSpecials {
        std::size_t count = 0;
        std::size_t first = std::string_view::npos;
        std::size_t second = std::string_view::npos;
        void add(std::size_t at) {
            if (count == 0) first = at;
            else if (count == 1) second = at;
            ++count;
        }
    };

private:
    void start();
    void share_block(std::size_t piece_bytes);
    void own_block(Piece& piece, std::size_t bytes);
    bool fill(Piece& piece, const Piece* previous);
    void scan_piece(char* text, std::size_t size, bool last);
    void scan_line(char* text, std::size_t line_start, std::size_t end, LineSpecials specials, const std::uint64_t* bits);
    bool skim_line(const char* text, std::size_t line_start, std::size_t line_end, const std::uint64_t* bits,
                   LineSpecials specials);
    bool scan_marked_line(const char* text, std::size_t line_start, std::size_t line_end, const std::uint64_t* bits);
    void scan_line_with_breaks(char* text, std::size_t size);
    void scan_general_line(std::string_view line);
    bool ends_open_construct(std::string_view line);
    void hold_line(std::string_view line, std::size_t quote_line, bool bare);
    bool quote_given_up(std::size_t line) const;
    void give_up_quote();
    void end_of_text();
    void fault(Warning::Kind kind, std::size_t line);
    void finish_line(std::string_view text, std::size_t line);
    void flush_pending();
    void carry_condition();
    void keep_statement(const char* line, std::size_t size);
    std::size_t skip_line_end(Piece& piece, std::size_t got);

    Yield m_yield;
    Piece m_pieces[PIECES];
    PagePool* m_pages = nullptr;
    LargeBlock m_block;  // the pieces' bytes: one block of large pages serves them all
    Piece* m_current;                  // the piece in hand
    Piece* m_scanning = nullptr;       // the piece being scanned
    std::vector<Bracket> m_brackets;   // of the line in hand
    std::vector<std::pair<std::size_t, std::size_t>> m_found;  // its brackets, as the general scan finds them
    // Where the bytes the line scan looks for are in the piece: at the end of
    // the block (memory used before), or for a piece larger than its share here.
    std::uint64_t* m_block_bits = nullptr;
    std::size_t m_block_bit_words = 0;
    std::vector<std::uint64_t> m_bits;
    std::size_t m_reserve = 0;          // items a piece is sized for

    // State that runs on from line to line, and from piece to piece.
    std::size_t m_line = 0;       // lines read so far
    int m_depth = 0;              // 1 inside an action
    std::size_t m_action_line = 0;  // where the action open opened
    std::string_view m_condition;  // the nearest earlier non-blank line without a bracket
    bool m_has_condition = false;
    std::string m_carried_condition;  // its copy, when it came from an earlier piece
    std::string m_pending;        // a line whose bracket is still open, with the lines after it
    std::size_t m_pending_lines = 0;
    std::size_t m_pending_first = 0;  // its first line
    int m_pending_depth = 0;          // the braces open where it started
    bool m_pending_bare = false;      // held open only by a "[" at its end, which a code must follow
    bool m_pending_quote = false;     // held open by a quote
    std::vector<std::string> m_held;  // the lines held, as they came: read again when a quote never closes
    std::vector<std::size_t> m_held_starts;  // where each starts in m_pending
    std::size_t m_quote_line = 0;            // where the quote held open opened
    char m_quote_char = 0;                   // and which it is
    std::vector<std::size_t> m_quotes_given_up;  // lines whose open quote ends with them, in order
    std::vector<Warning> m_faults;
    std::size_t m_brackets_read = 0;
    bool m_plain = false;
    // The include statements, as asked for; their lines counted by line feeds.
    bool m_keep_statements = false;
    bool m_statements_whole = false;
    std::size_t m_lf_line = 0;
    std::vector<IncludeStatement> m_statements;

    // Reading a piece at a time.
    std::unique_ptr<FileReader> m_file;
    std::string m_path;
    Items m_items_kind = Items::Rules;
    TypeSet m_values_met;        // Items::FirstOfType: the code values of the file so far
    std::size_t m_passed = 0;    // items passed over since the last one handed out
    std::optional<Failure> m_failure;
    bool m_reading = false;        // pieces are still to come from the file
    bool m_read_to_end = false;    // the file's last piece was read
    bool m_closed = true;          // close() has looked at the file read
    bool m_skipping_line = false;  // passing over a line too long to be a rule
    std::size_t m_piece_size = 0;  // bytes read at once
    std::size_t m_filled = 0;      // pieces read (without a worker)
    std::unique_ptr<Worker> m_worker;
};

// The blank and code normalisations of a line, in place over size bytes:
// carriage returns go, tabs become blanks, then every two blanks become one
// (left to right), then "0 x" and "0 X" become "0x". Returns the new size.
std::size_t normalise_rule_text(char* text, std::size_t size);

// True when the file holds a type bracket outside comments: a "[" and, after
// blanks, a digit (quotes and actions are not told apart: for a file whose
// reading found no bracket, this says whether it has any that were hidden).
bool holds_type_brackets(const std::string& path);

// The type code of an item: the first word after its "[", cut at "]".
std::string_view item_code(const RuleItem& item);

}  // namespace tessaro
