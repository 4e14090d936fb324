#pragma once

#include <cstddef>
#include <string>

namespace tessaro {

// Something that went wrong with a file, as the core found it. The front ends
// turn it into their own words; the core never does.
struct Failure {
    enum class Kind {
        Read,            // a file could not be read
        Write,           // the TYP text could not be written (in full)
        OutputIsFolder,  // the TYP text path names a folder
        OutputIsSpecial, // the TYP text path names neither a file nor a device
        OutputNotRemoved,  // the old TYP text could not be replaced
        UnsafeIncludeName, // an include file named so that it could lead out of the style folder
        OutputIsInput,   // the TYP text path names a file the run reads (other_path)
        UnsafeOtherStyleName,  // a file of another style named so that it could lead out of the styles folder
        OldTextBroken,   // the TYP text to update has errors: it is left as it was
        NotText,
        OutputReadOnly,  // the output exists with no write permission: left as it is
        OutputChanged,   // the output changed while the run wrote: left, the new text kept at other_path         // a rule file holds NUL bytes (UTF-16, a binary file): what reads as rules is read
    };
    Failure() = default;
    Failure(Kind k, std::string file, std::size_t at_line = 0, std::string error = {}, std::string other = {})
        : kind(k), path(std::move(file)), line(at_line), system_error(std::move(error)), other_path(std::move(other)) {}

    Kind kind = Kind::Read;
    std::string path;          // the file (for UnsafeIncludeName: the name as given; for
                               // UnsafeOtherStyleName: "FILE from STYLE" as given)
    std::size_t line = 0;      // 1-based; 0 when the failure belongs to no line
    std::string system_error;  // the system's description; empty when there is none
    std::string other_path;    // for OutputIsInput: the input (or other output) the output would overwrite;
                               // for OutputChanged: where the new text was kept

    bool operator==(const Failure&) const = default;
};

}  // namespace tessaro
