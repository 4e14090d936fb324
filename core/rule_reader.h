#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell.h"

namespace tessaro {

// Reads one rule file and turns it into working-list items of the form
// "<bracket text> @<rule condition>", e.g. "0x02 resolution 20] @highway=primary".
class RuleReader {
public:
    explicit RuleReader(Shell& shell) : m_shell(shell) {}

    // Reads the file into the rule file text and strips it. A file that cannot
    // be read gives one message naming it and leaves everything empty.
    void loadbinary(const std::string& path);
    void loadbinaryfst(const std::string& path);
    void strp_data();
    // Items for the point and line writers: rule list lines with a "[0x" bracket.
    void scan_rules();
    // Items for the polygon writer, from the rule file text (no joining).
    void scan_polygon_rules();

    std::string& rule_text() { return m_rule_text; }
    const std::vector<std::string>& rule_list() const { return m_rule_list; }
    const std::vector<std::string>& working_list() const { return m_working_list; }

private:
    void split_rule_text();

    Shell& m_shell;
    std::string m_rule_text;
    std::vector<std::string> m_rule_list;
    std::vector<std::string> m_working_list;
};

// The type code at the start of a code token: the token cut at its first "]",
// so that a bracket holding only the code ([0x2d02]) gives the bare code.
std::string_view cut_code(std::string_view token);

// True when the code is "0x" followed by at least one more character.
bool is_type_code(std::string_view code);

}  // namespace tessaro
