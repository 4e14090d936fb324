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

// The library look of a type code, labelled (make_label, in `labels`) unless it has a label of its own: by the rule's
// condition with Include Tag Text, else with `named` by the look's name (its ";name=" line). A broken entry gives no
// look. One found under another type's key (a polygon's 0x5001 under 0x50) starts with `code`. `verdicts`, if given,
// keeps mkgmap's verdicts.
LibraryLook find_library_look(Section section, std::string_view code, std::string_view condition, const LibraryText& library,
                     bool include_tag_text, bool named = false, LabelCoding labels = {},
                     LookVerdicts* verdicts = nullptr);

// A whole entry of a section: its "[_point]" (or line, polygon) line, "Type="
// with the look, and "[end]", built in one buffer (looks run to kilobytes).
std::string entry_text(Section section, std::string_view look);

// A label that names the feature a rule's condition stands for: the value of its most telling tag, "_" as blanks
// ("tree row"), or where the value says nothing alone (yes, "*", no, a number) the key's words with it ("lcn", "no
// oneway", "kohdeluokka 42210"); qualifying keys (name, layer, access...) last. A condition of plain words (a bare
// key) is its words; anything else empty.
std::string feature_label(std::string_view condition);

// A rule's text made a label: in the text's code page (to_code_page), cut to MAX_LABEL_BYTES characters (65001: whole
// characters in as many bytes), in UTF-8 when the labels are.
CodePageText make_label(std::string_view text, LabelCoding labels = {});

}  // namespace tessaro
