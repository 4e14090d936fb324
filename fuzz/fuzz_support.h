#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tessaro {

// A broken invariant must stop the run so libFuzzer keeps the input; the
// text says which rule broke, the trap gives the stack.
inline void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    __builtin_trap();
}

inline char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool ascii_alnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool ascii_hex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "0x" or "0X" at position at.
inline bool hex_prefix_at(std::string_view s, std::size_t at) {
    return at + 1 < s.size() && s[at] == '0' && ascii_lower(s[at + 1]) == 'x';
}

inline std::string_view as_text(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace tessaro
