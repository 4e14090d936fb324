#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "code_page.h"
#include "library_text.h"
#include "section.h"
#include "warning.h"

namespace tessaro {

// Longest label mkgmap's TYP compiler takes.
inline constexpr std::size_t MAX_LABEL_BYTES = 254;

// The library key of a hexadecimal type code for a section (without "0x"):
// point 0x2f0b -> 02f0b, line 0x01 -> 00100, polygon 0x1f00 -> 1f.
std::string library_key(Section section, std::string_view code);

// A look taken from a library file.
struct LibraryLook {
    std::string entry;           // from the code's "0x" up to (not including) "[end]"; empty: none
    bool label_dropped = false;  // the rule's label was wanted, but the entry has a label of its own
    bool label_lost = false;     // the rule's label was added, with characters the code page lacks as "?"
    std::optional<Warning> broken;  // the code's entry is broken: no look, and where it is
};

// Whether mkgmap refuses the library entry at each position checked so far:
// many types may take one look, which is read once.
using LookVerdicts = std::unordered_map<std::size_t, bool>;

// The library look of a type code. With Include Tag Text on, the
// rule condition becomes a label line of the entry, unless it has its own;
// with it off and `named`, the look's name (its ";name=" line) does.
// A broken entry (see LibraryText::Entry) gives no look. The look is the
// code's own type's: one found under another type's key (a polygon's 0x5001
// under 0x50) starts with `code` instead of the library's.
// The label it gets is made in `labels` (make_label). `verdicts`, if given,
// keeps whether mkgmap refuses each entry read.
LibraryLook find_library_look(Section section, std::string_view code, std::string_view condition, const LibraryText& library,
                     bool include_tag_text, bool named = false, LabelCoding labels = {},
                     LookVerdicts* verdicts = nullptr);

// A whole entry of a section: its "[_point]" (or line, polygon) line, "Type="
// with the look, and "[end]", built in one buffer (looks run to kilobytes).
std::string entry_text(Section section, std::string_view look);

// A label that names the feature a rule's condition stands for: the value of
// its most telling tag, "_" as blanks ("tree row"); where the value says
// nothing alone (yes, true, "*", no, false, a number) the key's words with it
// ("lcn", "no oneway", "kohdeluokka 42210"). Tags that only qualify a feature
// (name, area, layer, access and the like) come last. A condition of plain
// words and no tag (a bare key) is its words; anything else empty: a scrap
// of a condition names nothing.
std::string feature_label(std::string_view condition);

// A rule's text made a label: in the text's code page (to_code_page), then
// its first MAX_LABEL_BYTES characters, in UTF-8 when the labels are (65001:
// as many whole characters as fit in MAX_LABEL_BYTES bytes).
CodePageText make_label(std::string_view text, LabelCoding labels = {});

}  // namespace tessaro
