#pragma once

#include <cstddef>
#include <string>

#include "shell.h"

namespace tessaro {

// The TYP text file. It has no form in memory: every entry is appended to the
// file on its own (open, append, close), so memory stays small for any style.
class TypText {
public:
    TypText(std::string path, Shell& shell) : m_path(std::move(path)), m_shell(shell) {}

    const std::string& path() const { return m_path; }

    // Appends the chunk and one CR LF. A failure loses the chunk but does not
    // stop the conversion; it is counted so the caller can report the file
    // as incomplete.
    void append_(const std::string& chunk);

    // Replaces any old file at the path by the header block. Never appends to
    // old content: when the old file cannot be removed it returns false and
    // header_error() says why.
    bool createheader(std::string& style_folder);

    std::size_t appends() const { return m_appends; }  // chunks handed in, written or not
    std::size_t failed_appends() const { return m_failed_appends; }
    const std::string& first_append_error() const { return m_first_append_error; }
    const std::string& header_error() const { return m_header_error; }

private:
    void append_failed(const std::string& why);
    bool remove_old_file();

    std::string m_path;
    Shell& m_shell;
    std::size_t m_appends = 0;
    std::size_t m_failed_appends = 0;
    std::string m_first_append_error;
    std::string m_header_error;
};

// The header block as one chunk (without the final line end, which the append adds).
std::string header_chunk(std::string& style_folder);

// The style name of a folder path: its last component, cut before its first ".".
// On Windows it also rewrites "/" to "\" in the caller's variable.
std::string ftrim(std::string& s);

// The main window's caption for the given style folder.
std::string cap(std::string& style_folder, const std::string& suffix = "");

// Writes BUFFER and CR LF to file, replacing it, after asking when it exists.
void Savetext(const std::string& file, const std::string& BUFFER, Shell& shell);

}  // namespace tessaro
