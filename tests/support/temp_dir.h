#pragma once

#include <string>

namespace tessaro::test {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    // The fresh folder under `parent` instead (another volume, say).
    explicit TempDir(const std::string& parent);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    // Path of a name inside the folder.
    std::string operator/(const std::string& name) const;
    // Writes bytes to a file inside the folder (folders on the way are made) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string m_path;
};

std::string read_bytes(const std::string& path);

// A point library entry for type 0x2d02 with a picture of one black pixel.
extern const std::string BAR_POINT_LOOK;

// Writes a folder of library files, the points one holding `points`, the line
// and polygon ones empty, and returns its path.
std::string write_library(const TempDir& dir, const std::string& folder, const std::string& points = BAR_POINT_LOOK);

#ifndef _WIN32
// Makes the file at path one that is there but cannot be read: no
// permission, or, for root, who reads any file, a link to /proc/self/mem,
// which opens as a regular file of the reading process and fails its first
// read with an I/O error (nothing is mapped at address 0). Remove it before
// writing there again: a write would go through the link. Returns the
// error a read gives; empty when neither works here.
std::string make_unreadable(const std::string& path);
#endif

#ifdef _WIN32
// Narrow text in the system's code page, as the window's local 8-bit text and
// the ANSI file functions spell names; empty when the code page lacks a letter.
std::string in_code_page(const wchar_t* text);
#endif

}  // namespace tessaro::test
