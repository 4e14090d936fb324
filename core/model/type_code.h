#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "section.h"

namespace tessaro {

// The largest code mkgmap takes: it decodes codes as Java ints.
inline constexpr std::uint32_t MAX_CODE_VALUE = 0x7FFFFFFF;

// The number a type code stands for, as mkgmap decodes it: "0x" (either case)
// and hexadecimal digits, "0" and octal digits, or decimal digits; at most
// MAX_CODE_VALUE. Nothing for anything else, a sign too.
std::optional<std::uint32_t> code_value(std::string_view code);

// The code as an entry's Type= writes it: a "0x" code as the rule wrote it, in
// lower case; a decimal or octal one in hexadecimal ("0x2d02" for 11522), two
// digits at least, as the built-in looks name their codes.
std::string typ_code(std::string_view code, std::uint32_t value);

// The code that a type bracket's text starts with (blanks skipped, up to a
// blank or "]") and its code_value.
struct LeadingCode {
    std::string_view code;
    std::optional<std::uint32_t> value;
};
LeadingCode leading_code(std::string_view text);

// The type a code's number means in a section, as mkgmap reads a style: a
// point's 0x2f is its 0x2f00, a polygon's 0x2f00 its 0x2f (but 0x5001 stays
// 0x5001). Codes equal by this are one type to mkgmap's style reading.
std::uint32_t section_type(Section section, std::uint32_t value);

// The type a TYP text's Type= value stands for: a value up to 0xff is a type
// without subtype (0x2f is 0x2f00, a line's 0x00100 is 0x01's 0x100). A
// style's code is compared after section_type, read the same way.
std::uint32_t typ_type(std::uint32_t value);

// The TYP type of a rule's code in a section: typ_type of its section_type.
// A TYP text can hold one entry for each: mkgmap's TYP compiler takes a
// line's 0x02 and 0x200 for one type, though its style reading does not.
inline std::uint32_t code_typ_type(Section section, std::uint32_t value) {
    return typ_type(section_type(section, value));
}

// The types met so far: one entry for each.
using TypeSet = std::unordered_set<std::uint32_t>;

}  // namespace tessaro
