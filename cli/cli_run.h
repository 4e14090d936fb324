#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

// Where the command line's texts go. Not a std::ostream: a stream's locale
// costs a tenth of a millisecond at every start, a twentieth of a small run.
// (Not named TextOut: windows.h makes that a macro.)
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void write(std::string_view text) = 0;
    TextSink& operator<<(std::string_view text) {
        write(text);
        return *this;
    }
};

// A stream of the C library (stdout, stderr).
class FileOut : public TextSink {
public:
    explicit FileOut(std::FILE* file) : m_file(file) {}
    void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), m_file); }

private:
    std::FILE* m_file;
};

enum CliExit : int { EXIT_DONE = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

// The whole CLI: the core's check and run of Create TYP, told in the command
// line's own terms. program_folder holds the default res/ folder.
int run_cli(const std::vector<std::string>& args, const std::string& program_folder, TextSink& out, TextSink& err);

}  // namespace tessaro
