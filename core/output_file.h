#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "failure.h"

namespace tessaro {

// Where the bytes for an output path go.
struct OutputTarget {
    enum class Kind {
        Replace,  // a regular file, or none yet: a new file takes its place
        InPlace,  // a device, or a stream behind /proc/<pid>/fd: written where it is
        Folder,
        Special,  // a pipe, a socket, a block device: refused
    };
    Kind kind = Kind::Replace;
    std::string file;  // for Replace: the file to replace, links followed
};

// Follows the links of an output path (a link to a link, a dangling link, a
// relative link) to what it finally names.
OutputTarget resolve_output(const std::string& path);

// A new, empty file in the folder of `target`, named so that no output and
// no other run's file is mistaken for it; permissions as the target has them
// (or as a new file would get). Returns the open stream, or nullptr with the
// system's error.
std::FILE* create_file_beside(const std::string& target, std::string& created, std::string& error);

// Flushes the stream's bytes to disk and closes it; false with the system's
// error when any step failed (the stream is closed all the same).
bool sync_and_close(std::FILE* file, std::string& error);

}  // namespace tessaro
