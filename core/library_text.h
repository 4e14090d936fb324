#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace tessaro {

// A whole library file held in memory, with an index of its "Type=0x..."
// codes so that a lookup costs no scan of the text.
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

    std::string m_text;
    // Whole hexadecimal codes behind "type=0x" -> first position of their "0x".
    std::unordered_map<std::string, std::size_t> m_index;
};

}  // namespace tessaro
