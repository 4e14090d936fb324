#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library_text.h"

namespace tessaro {

// A tag that a rule's condition asks for: key=value, or key=* (value "*");
// or a numeric bound on a key, op "<", "<=", ">" or ">=" and value a number.
struct RuleTag {
    std::string key;
    std::string value;
    std::string op = "=";
    bool operator==(const RuleTag&) const = default;
};

// The tags a rule's condition (its text before the type bracket) asks for positively: key=value, key=*, the plain
// alternatives of key~'regex', through |, &, parentheses, quotes and blanks; never those of key!=value, !(...) or
// other negations. An action block {...} is skipped; a "$" before a key (mkgmap's normal form) is dropped; keys and
// values are trimmed. Functions such as length() give no tag, and comparisons none unless `bounds` asks for them. Of
// a regular expression, each alternative that is a plain word (ASCII letters, digits, "_", "-", non-ASCII bytes) once
// anchors, a leading or trailing ".*" and enclosing parentheses are off: '.*pizza.*' gives pizza, '^(footway|path)$'
// footway and path, 'US:.*' nothing. Each tag comes once, in the order of the condition.
std::vector<RuleTag> positive_tags(std::string_view condition, bool bounds = false);

// The library look that a rule's tags point to.
struct TagMatch {
    std::string library_code;  // the look's Type= value as its library writes it
    std::string matched;       // the tags that matched, "key=value key=*" in the look's order
    bool exact = false;        // an alternative of the look was met value for value, no "*" on either side
};

// Whether a rule's tags agree with a look: some tag of the look's ";tags=" lines has a key the rule asks for, with
// the same value or "*" on either side. Bounds agree with nothing.
bool tags_agree(std::string_view look, const std::vector<RuleTag>& rule_tags);

// The looks of one library text by the tags their entries name (a comment line in each entry, which TYP compilers
// ignore). A look's tags line, anywhere between Type= and [end]:
//     ;tags=landuse=forest|natural=wood|highway=track&tracktype=grade1
// alternatives between "|", each one tag or several joined by "&"; a tag is key=value, key=* (any value), or a bound:
// key>N, key>=N, key<N, key<=N.
//
// Scoring. A tag of an alternative is matched by the rule's tags of its key: 2 when one of them has its value (key=*
// matches key=* so), else 1 when either value is "*". A bound of an alternative is matched 2 by a rule's bound on its
// key that implies it (population>999999 implies population>799999, not population>1000000) or by a number the rule
// gives the key that meets it, 1 by key=*; a rule's bound matches nothing else; where it implies the bounds of
// several looks, the library lists the narrowest first. An alternative counts only when every one of its tags is
// matched (so highway=track & tracktype=grade1 never stands for tracktype=grade1 alone), and scores the sum; the
// rule's other tags neither help nor hurt. A look scores its best alternative; the best look wins. Ties go to the
// alternative with fewer tags (closer values: one exact highway=track over highway=* & surface=*), then to the look
// first in the library, then to its first alternative: the answer depends on the rule's tags and the library only.
class TagLooks {
public:
    explicit TagLooks(const LibraryText& library) { build(library.text()); }
    // The look whose tags the rule's tags match best, if any matches.
    std::optional<TagMatch> best(const std::vector<RuleTag>& rule_tags) const;
    // True when no look names tags (best matches nothing): a rule's tags need not be read.
    bool empty() const { return m_by_key.empty(); }

private:
    struct Alternative {
        std::uint32_t look;       // index into m_codes, in library order
        std::uint32_t first_tag;  // its tags: m_tags[first_tag, first_tag + tag_count)
        std::uint32_t tag_count;
    };
    class RuleTagIndex;
    // A tag of a look as its library line writes it, read where it stands.
    struct LookTag {
        std::string_view key;
        std::string_view value;
        std::string_view op;
    };

    void build(std::string_view text);
    // Adds the alternatives of a tags line to a look; false when none is whole.
    bool add_alternatives(std::uint32_t look, std::string_view tags);
    int score(const Alternative& alternative, const RuleTagIndex& rule_tags) const;
    // Whether an alternative of that score was met value for value, with no "*" on either side.
    bool exact(const Alternative& alternative, int score) const;

    // Each alternative is indexed under the key of its first tag only: it counts only when the rule has every key of it.
    std::vector<std::string> m_codes;
    std::vector<LookTag> m_tags;
    std::vector<Alternative> m_alternatives;
    std::unordered_map<std::string_view, std::vector<std::uint32_t>> m_by_key;  // indexes into m_alternatives, ascending
};

}  // namespace tessaro
