#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessaro {

// A label in the header's code page, Windows-1252, which mkgmap reads the
// TYP text in.
struct CodePageText {
    std::string bytes;
    bool lost = false;  // some characters 1252 lacks became "?"
};

// Rule files are usually UTF-8: valid UTF-8 is converted, each character
// that 1252 lacks becoming "?". Anything else (plain ASCII, or bytes that are
// no valid UTF-8, taken as 1252 already) stays as it stands.
CodePageText to_code_page(std::string_view text);

// The bytes of a text in a Windows code page as UTF-8; nothing when a byte
// is one the page leaves undefined (mkgmap's reader stops there) or the page
// is not known.
std::optional<std::string> code_page_to_utf8(std::string_view bytes, int code_page);
bool code_page_known(int code_page);

}  // namespace tessaro
