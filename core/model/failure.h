#pragma once

#include <cstddef>
#include <string>
#include <cerrno>
#include <system_error>

namespace tessaro {

// Something that went wrong with a file, as the core found it. The front ends
// turn it into their own words; the core never does.
struct Failure {
    enum class Kind {
        Read,            // a file could not be read
        Write,           // the TYP text could not be written (in full)
        OutputIsFolder,  // the TYP text path names a folder
        OutputIsSpecial, // the TYP text path names neither a file nor a device
        UnsafeIncludeName, // an include file named so that it could lead out of the style folder
        OutputIsInput,   // the TYP text path names a file the run reads (other_path)
        UnsafeOtherStyleName,  // a file of another style named so that it could lead out of the styles folder
        OldTextBroken,   // the TYP text to update has errors: it is left as it was
        NotText,         // a rule file holds NUL bytes (UTF-16, a binary file): what reads as rules is read
        OutputReadOnly,  // the output exists with no write permission: left as it is
        OutputChanged,   // the output changed while the run wrote: left, the new text kept at other_path
    };
    Failure() = default;
    Failure(Kind k, std::string file, std::size_t at_line = 0, std::error_code why = {}, std::string other = {})
        : kind(k), path(std::move(file)), line(at_line), error(why), other_path(std::move(other)) {}

    Kind kind = Kind::Read;
    std::string path;          // the file (for UnsafeIncludeName: the name as given; for
                               // UnsafeOtherStyleName: "FILE from STYLE" as given)
    std::size_t line = 0;      // 1-based; 0 when the failure belongs to no line
    std::error_code error;     // the system's error number; none when there is none
    std::string other_path;    // for OutputIsInput: the input (or other output) the output would overwrite;
                               // for OutputChanged: where the new text was kept

    bool operator==(const Failure&) const = default;
};

// Errors of our own beside the system's: their numbers in `Failure::error`.
enum class FileError { NotRegularFile = 1 };
const std::error_category& file_error_category();
inline std::error_code make_error_code(FileError e) { return {static_cast<int>(e), file_error_category()}; }
// The last system error (errno) as a number with its category.
inline std::error_code last_system_error() { return {errno, std::generic_category()}; }

}  // namespace tessaro
