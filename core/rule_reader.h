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
#include "yield.h"

namespace tessaro {

class FileReader;

// A working-list item as the two parts of its line: the text after the type
// bracket's "[" and the text before it. Views, valid as the reader's lists are.
struct RuleItem {
    std::string_view before;
    std::string_view after;
    // The item as the working list holds it: "<after> @<before>".
    std::string text() const;
};

// Reads one rule file and turns it into working-list items of the form
// "<bracket text> @<rule condition>", e.g. "0x02 resolution 20] @highway=primary".
//
// A file is read whole (loadbinary, load_text) or a piece at a time (open,
// next_piece): the writers read pieces, so that a rule file of any size needs
// no more memory than a piece of it. Both give the same items.
class RuleReader {
public:
    explicit RuleReader(Yield yield = {});
    ~RuleReader();
    // Not copied or moved: its lists are views into its own buffers.
    RuleReader(const RuleReader&) = delete;
    RuleReader& operator=(const RuleReader&) = delete;

    // loadbinary: reads the file into the rule file text and strips it. A
    // file that cannot be read gives the failure (and what could be read of it).
    std::optional<Failure> loadbinary(const std::string& path);
    // The same, but the rule list is left empty: for scans of the text's own
    // lines, which would not use the joined list.
    std::optional<Failure> load_text(const std::string& path);
    // loadbinaryfst: only reads the file into the rule file text.
    std::optional<Failure> loadbinaryfst(const std::string& path);
    void strp_data();
    // Items for the point and line writers: rule list lines with a "[0x" bracket.
    void scan_rules();
    // Items for the polygon writer, from the rule file text (no joining).
    void scan_polygon_rules();

    // Sizes the buffers for rule files of up to `bytes` (pieces are never larger than needed).
    void reserve(std::size_t bytes);

    // Changing the rule file text makes the rule list stale until the next strp_data.
    std::string& rule_text() { return m_rule_text; }
    // Lines and items are views: a rule file of a million lines is not a million strings.
    // They stay valid until the next read, strip, scan or piece.
    const std::vector<std::string_view>& rule_list() const { return m_rule_list; }
    const std::vector<std::string_view>& working_list() const { return m_working_list; }
    // The items in their parts: those of the last scan, or of the piece in hand.
    const std::vector<RuleItem>& items() const { return m_hits; }

    // The items a piece at a time: those of scan_rules after strp_data, or of
    // scan_polygon_rules; or none, for scans of the normalised text itself.
    enum class Items { Rules, PolygonRules, None };
    // Opens a file for next_piece; one that cannot be opened gives no piece.
    void open(const std::string& path, Items items);
    // Fills the item list (not the working list: most items are never needed
    // as text) with the items of the next run of whole lines; false once the
    // file is done.
    bool next_piece();
    // Ends the reading: the failure of a file that could not be read (in full), if any.
    std::optional<Failure> close();
    // The piece's whole lines as load_text would have normalised them (Items::None only).
    std::string_view piece_text() const { return m_piece_text; }

    // The polygon writer needs some items of the whole file after the last
    // piece (for the draw order): copies kept across pieces, which
    // use_kept_items then makes the working list.
    void keep_item(std::string_view item);
    void use_kept_items();

private:
    std::optional<Failure> load(const std::string& path, bool make_list);
    void normalise_text();
    void split_lines(std::string_view text, bool final_line);
    void strip_lines(std::string_view text);
    void carry_last_condition();
    void scan_piece(char* text, std::size_t size);
    void scan_rule_line(std::string_view line, std::size_t hash);
    void scan_polygon_line(std::string_view line, std::size_t hash);
    void add_join(std::string_view line);
    void find_items(Items items);
    template <typename FindBracket>
    void find_items(FindBracket find_bracket);
    void make_working_list();

    Yield m_yield;
    std::string m_rule_text;
    std::vector<std::string_view> m_rule_list;  // into m_rule_text (or a piece) or m_joined
    std::deque<std::string> m_joined;           // lines made by joining a code to its condition
    std::vector<RuleItem> m_hits;               // into the lines
    std::string m_items;                        // every working-list item, back to back
    std::vector<std::string_view> m_working_list;  // into m_items or m_kept

    // The nearest earlier line holding "=", as it stands after its own
    // processing: a type code on a line of its own is joined to it.
    std::string_view m_last_condition;
    bool m_has_last_condition = false;
    std::string m_carried_condition;  // its copy, when it came from an earlier piece

    // Reading a piece at a time.
    std::unique_ptr<FileReader> m_file;
    std::string m_path;
    Items m_items_kind = Items::Rules;
    std::optional<Failure> m_failure;
    bool m_reading = false;
    std::unique_ptr<char[]> m_piece;  // the carried start of a line, then the bytes read after it
    std::vector<std::uint64_t> m_bits;  // where the bytes the line scan looks for are in the piece
    std::size_t m_piece_capacity = 0;
    std::size_t m_piece_size = 0;     // bytes read at once
    std::size_t m_piece_used = 0;     // bytes of the piece in use, lines done included
    std::size_t m_piece_done = 0;     // bytes of the piece whose lines were handed out
    std::string_view m_piece_text;
    std::string m_kept;
    std::vector<std::size_t> m_kept_ends;
};

// The blank and code normalisations of stripping, in place over size bytes:
// carriage returns go, tabs become blanks, then every two blanks become one
// (left to right), then "0 x" and "0 X" become "0x". Returns the new size.
std::size_t normalise_rule_text(char* text, std::size_t size);

// The type code at the start of a code token: the token cut at its first "]",
// so that a bracket holding only the code ([0x2d02]) gives the bare code.
std::string_view cut_code(std::string_view token);

// True when the code is "0x" followed by at least one more character.
bool is_type_code(std::string_view code);

// The first word of an item, cut at "]": the type code of a rule item, if it
// has one. As the writers cut it from the item's text, without building it.
std::string_view item_code(const RuleItem& item);

// The code the draw order lists for a polygon item: the hexadecimal digits
// after its first "x" (either case) up to the next blank, cut at "]"; empty
// when there is no such blank or anything but hex digits stands there.
std::string_view draw_order_code(std::string_view item);
// The same, without building the item's text.
std::string_view draw_order_code(const RuleItem& item);

}  // namespace tessaro
