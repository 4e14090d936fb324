#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library_text.h"

namespace tessaro {

// A tag that a rule's condition asks for: key=value, or key=* (value "*").
struct RuleTag {
    std::string key;
    std::string value;
    bool operator==(const RuleTag&) const = default;
};

// The tags a rule's condition asks for positively: key=value, key=*,
// the plain alternatives of key~'regex', through |, &, parentheses, quotes
// and blanks; never those of key!=value, !(...) or other negations.
std::vector<RuleTag> positive_tags(std::string_view condition);

// The library look that a rule's tags point to.
struct TagMatch {
    std::string library_code;  // the look's Type= value as its library writes it
    std::string matched;       // the tags that matched, "key=value key=*" in the look's order
};

// The looks of one library text by the tags their entries name (a comment
// line in each entry, which TYP compilers ignore); built at the first use.
class TagLooks {
public:
    explicit TagLooks(const LibraryText& library) : m_library(library) {}
    // The look whose tags the rule's tags match best, if any matches.
    std::optional<TagMatch> best(const std::vector<RuleTag>& rule_tags) const;

private:
    const LibraryText& m_library;
    // (the index of looks by tag, built at the first call of best)
};

}  // namespace tessaro
