#pragma once

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace tessaro::test {
// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const;
    // Makes the folders on the way; returns the path.
    std::string write(const std::string& name, const std::string& bytes) const;
    void write_files(const std::vector<std::pair<std::string, std::string>>& files) const;

private:
    std::string m_path;
};

std::string read_bytes(const std::string& path);
// Whether `text` holds `piece`; a failure shows the text.
::testing::AssertionResult has(const std::string& text, const std::string& piece);
// The line, counted from 1, on which the first `piece` of `text` stands.
std::size_t line_of(const std::string& text, const std::string& piece);
// `text` with its first `from` made `to`; a failure when there is none.
std::string replaced(std::string text, const std::string& from, const std::string& to);
extern const std::string BAR_POINT_LOOK;
// A library folder whose points file holds `points`, its other files empty; its path.
std::string write_library(const TempDir& dir, const std::string& folder, const std::string& points = BAR_POINT_LOOK);

#ifndef _WIN32
// A file that is there but cannot be read: no permission, or, for root, a link to /proc/self/mem (its first read
// fails: nothing is mapped at 0; remove it before writing there). The error a read gives; empty when neither works.
std::string make_unreadable(const std::string& path);
#endif

#ifdef _WIN32
// Text in the system's code page, as the ANSI file functions spell names; empty when it lacks a letter.
std::string in_code_page(const wchar_t* text);
#endif
}  // namespace tessaro::test
