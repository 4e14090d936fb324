#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include <optional>

#include "failure.h"
#include "yield.h"

namespace tessaro {

// Reads one rule file and turns it into working-list items of the form
// "<bracket text> @<rule condition>", e.g. "0x02 resolution 20] @highway=primary".
class RuleReader {
public:
    explicit RuleReader(Yield yield = {}) : m_yield(std::move(yield)) {}

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

    // Sizes the buffers for rule files of up to `bytes` at once.
    void reserve(std::size_t bytes);

    // Changing the rule file text makes the rule list stale until the next strp_data.
    std::string& rule_text() { return m_rule_text; }
    // Lines and items are views: a rule file of a million lines is not a million strings.
    // They stay valid until the next read, strip or scan.
    const std::vector<std::string_view>& rule_list() const { return m_rule_list; }
    const std::vector<std::string_view>& working_list() const { return m_working_list; }

private:
    std::optional<Failure> load(const std::string& path, bool make_list);
    void normalise_text();
    void split_rule_text();
    template <typename FindBracket>
    void make_items(FindBracket find_bracket);

    Yield m_yield;
    std::string m_rule_text;
    std::vector<std::string_view> m_rule_list;  // into m_rule_text or m_joined
    std::deque<std::string> m_joined;           // lines made by joining a code to its condition
    std::string m_items;                        // every working-list item, back to back
    std::vector<std::string_view> m_working_list;  // into m_items
};

// The type code at the start of a code token: the token cut at its first "]",
// so that a bracket holding only the code ([0x2d02]) gives the bare code.
std::string_view cut_code(std::string_view token);

// True when the code is "0x" followed by at least one more character.
bool is_type_code(std::string_view code);

}  // namespace tessaro
