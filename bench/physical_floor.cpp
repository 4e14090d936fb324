#include "physical_floor.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaro {

namespace {

std::string failed(const char* step, const std::string& path) {
    return std::string(step) + " " + path + ": " + std::strerror(errno);
}

}  // namespace

bool FloorReader::read_whole(const char* path, std::size_t& bytes, std::string& error) {
    bytes = 0;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = failed("open", path);
        return false;
    }
    ssize_t got = 0;
    while ((got = ::read(fd, m_buffer.get(), BUFFER)) > 0) bytes += static_cast<std::size_t>(got);
    if (got < 0) error = failed("read", path);
    ::close(fd);
    return got == 0;
}

bool replace_file(const std::string& target, const char* data, std::size_t size, std::string& error) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string temp = folder + "." + name + ".floor-" + std::to_string(::getpid()) + ".part";
    // The writer's steps: the old file's permissions, a file of its own, one
    // write, fsync, rename. A file a killed run left behind is taken over.
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const int fd = ::open(temp.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = failed("open", temp);
        return false;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    if (!ok) error = failed("fchmod", temp);
    // One write; the loop only matters if the system takes fewer bytes.
    for (std::size_t done = 0; ok && done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) {
            error = failed("write", temp);
            ok = false;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    if (ok && ::fsync(fd) != 0) {
        error = failed("fsync", temp);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = failed("close", temp);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = failed("rename", temp);
        ok = false;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace tessaro
