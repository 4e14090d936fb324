#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "failure.h"
#include "yield.h"

namespace tessaro {

// The TYP text file. It has no form in memory: every entry is appended to the
// file on its own (open, append, close), so memory stays small for any style.
class TypText {
public:
    TypText(std::string path, Yield yield) : m_path(std::move(path)), m_yield(std::move(yield)) {}

    const std::string& path() const { return m_path; }

    // Appends the chunk and one CR LF. A failure loses the chunk but does not
    // stop the conversion; it is counted so the caller can report the file
    // as incomplete.
    void append(const std::string& chunk);

    // createheader: replaces any old file at the path by the header block.
    // Never appends to old content: when the old file cannot be removed, the
    // failure comes back and nothing is written.
    std::optional<Failure> write_header(const std::string& style_folder);

    std::size_t appends() const { return m_appends; }  // chunks handed in, written or not
    std::size_t failed_appends() const { return m_failed_appends; }
    // The first append that failed, when one did.
    const std::optional<Failure>& first_append_failure() const { return m_first_append_failure; }

private:
    std::optional<Failure> remove_old_file();

    std::string m_path;
    Yield m_yield;
    std::size_t m_appends = 0;
    std::size_t m_failed_appends = 0;
    std::optional<Failure> m_first_append_failure;
};

// The header block as one chunk (without the final line end, which the append adds).
std::string header_chunk(const std::string& style_folder);

// ftrim: the style name of a folder path, its last component cut before its
// first ".". On Windows both "\" and "/" separate components.
std::string style_name(std::string_view path);

}  // namespace tessaro
