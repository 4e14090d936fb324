#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

// A whole library file held in memory, with an index of its "Type=0x..."
// codes so that a lookup costs no scan of the text. The index is built at
// the first lookup: a library that a run never asks costs no index.
class LibraryText {
public:
    LibraryText() = default;
    explicit LibraryText(std::string text) { assign(std::move(text)); }

    void assign(std::string text);
    const std::string& text() const { return m_text; }
    bool empty() const { return m_text.empty(); }

    // Position of the "0x" of the first "type=0x<key>" (ASCII case ignored)
    // whose "type=" follows no letter or digit and whose key is followed by
    // no further hexadecimal digit; npos when there is none.
    std::size_t find_type(std::string_view key) const;

private:
    std::size_t scan_for(std::string_view key) const;
    void build_index() const;
    void index_code(std::uint64_t code, std::size_t pos) const;

    std::string m_text;
    // Codes of up to 15 hex digits, packed into a word (see pack_code), ->
    // first position of their "0x"; open addressing, at most half full.
    struct Slot {
        std::uint64_t code = 0;
        std::size_t pos = EMPTY;
    };
    static constexpr std::size_t EMPTY = ~std::size_t{0};
    mutable std::vector<Slot> m_index;
    mutable std::size_t m_indexed = 0;
    mutable bool m_index_built = false;
};

}  // namespace tessaro
