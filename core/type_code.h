#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "section.h"

namespace tessaro {

// The number a type code stands for: "0x" (either case) and one or more
// hexadecimal digits, at most 32 bits of value; nothing for anything else.
std::optional<std::uint32_t> code_value(std::string_view code);

// The code that a type bracket's text starts with (blanks skipped, up to a
// blank or "]") and its code_value, in one pass for the usual code.
struct LeadingCode {
    std::string_view code;
    std::optional<std::uint32_t> value;
};
LeadingCode leading_code(std::string_view text);

// The type a code's number means in a section, as mkgmap reads a style: a
// point's 0x2f is its 0x2f00, a polygon's 0x2f00 its 0x2f. Codes equal by
// this are one type.
std::uint32_t section_type(Section section, std::uint32_t value);

// The type a TYP text's Type= value stands for: a value up to 0xff is a type
// without subtype (0x2f is 0x2f00, a line's 0x00100 is 0x01's 0x100). A
// style's code is compared after section_type, read the same way.
std::uint32_t typ_type(std::uint32_t value);

// The types met so far: one entry for each.
class TypeSet {
public:
    // True when the type was new to the set (it is in it now).
    bool insert(std::uint32_t type);
    bool contains(std::uint32_t type) const;
    std::size_t size() const { return m_size; }

private:
    // Types below this, nearly all of them, are bits of a small map that
    // stays in the processor's cache; the rest go into the hash table.
    static constexpr std::uint32_t SMALL = 1u << 18;

    std::size_t find_slot(std::uint64_t key) const;
    void grow();

    std::vector<std::uint64_t> m_small;  // up to SMALL bits, as far as the largest small type met
    std::vector<std::uint64_t> m_slots;  // type + 1; 0 is an empty slot
    std::size_t m_hashed = 0;  // types in m_slots
    std::size_t m_size = 0;
};

}  // namespace tessaro
