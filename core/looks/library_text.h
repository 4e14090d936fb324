#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tessaro {

// A whole library file held in memory, with an index of its "Type=0x..."
// codes so that a lookup costs no scan of the text.
class LibraryText {
public:
    LibraryText() = default;
    explicit LibraryText(std::string_view text, std::string path = {}) { assign(std::string(text), std::move(path)); }

    // The text, and the file it came from (for what is said about its lines).
    // `sealed`: the file still matched its seal (see has_intact_seal).
    void assign(std::string text, std::string path = {}, bool sealed = false);
    bool sealed() const { return m_sealed; }
    std::string_view text() const { return m_text; }
    const std::string& path() const { return m_path; }
    bool empty() const { return m_text.empty(); }

    // Position of the "0x" of the first "type=0x<key>" (ASCII case ignored), its
    // "type=" after no letter or digit and its key before no hex digit; else npos.
    std::size_t find_type(std::string_view key) const;

    // The entry whose code starts at `at` (a find_type position).
    struct Entry {
        std::string_view look;  // from the "0x" up to its "[end]"; empty when broken
        // A Type= value that is no "0x" and hex digits, or no "[end]" before another
        // section line or the end of the text: copied, it would break the TYP text.
        bool broken = false;
        std::size_t line = 0;   // 1-based line of its Type= in the file
        std::string_view code;  // its Type= value as written
    };
    Entry entry_at(std::size_t at) const;
    // The 1-based line of a position of the text.
    std::size_t line_at(std::size_t pos) const;

private:
    std::string m_text;
    std::string m_path;
    // The hex digits of each Type= code, in lower case -> the first position of its "0x".
    std::unordered_map<std::string, std::size_t> m_index;
    std::vector<std::size_t> m_line_starts;  // where each line starts
    bool m_sealed = false;
};

// The library generator's first line: a comment holding a seal over the rest of the file. Its looks were proven, when
// it was made, to be looks mkgmap compiles; a run trusts them while the file still matches its seal, and reads every
// look it copies from any other library. Reading them costs more than the rest of a run on a real style.
std::string seal_line(std::string_view body);
// True when `file` starts with a seal line that matches the rest of it.
bool has_intact_seal(std::string_view file);

}  // namespace tessaro
