#include "output_file.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <random>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#if defined(__linux__)
#include <sys/random.h>
#endif
#endif

#include "file_io.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

// More links than this in a row is a loop.
constexpr int MAX_LINKS = 40;

// 64 random bits for a temporary file's name. On Linux straight from the
// kernel: std::random_device first asks the processor what it has, which in
// a virtual machine traps and costs a small run dearly.
std::uint64_t random_bits() {
#if defined(__linux__)
    std::uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, 0) == static_cast<ssize_t>(sizeof bits)) return bits;
#endif
    std::random_device entropy;
    return (std::uint64_t{entropy()} << 32) ^ entropy();
}

std::string random_suffix() {
    static constexpr char DIGITS[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    // Ten base-36 digits take 52 of the bits.
    std::uint64_t bits = random_bits();
    std::string s;
    for (int i = 0; i < 10; ++i, bits /= 36) s += DIGITS[bits % 36];
    return s;
}

// The longest file name most file systems take; a temporary name longer
// than the output's own would make a valid output fail.
constexpr std::size_t MAX_NAME = 255;

int process_id() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

// The temporary names of one output all start so: the output's name, cut
// where the whole name would grow too long.
std::string temp_stem(const std::string& name) {
    constexpr std::size_t ROOM = 1 + 9 + 10 + 1 + 10 + 5;  // ".", ".tessaro-", pid, "-", random, ".part"
    return "." + name.substr(0, std::min(name.size(), MAX_NAME - ROOM)) + ".tessaro-";
}

#ifndef _WIN32
// The process id in a temporary name after its stem, or 0.
long pid_in_name(const std::string& name, std::size_t stem) {
    long pid = 0;
    std::size_t i = stem;
    for (; i < name.size() && i < stem + 10 && name[i] >= '0' && name[i] <= '9'; ++i) pid = pid * 10 + (name[i] - '0');
    return i > stem && i < name.size() && name[i] == '-' ? pid : 0;
}
#endif

// Removes the temporary files of this output that runs now gone left behind
// (killed outright, the machine stopped); a running one's stays.
void remove_leftovers([[maybe_unused]] const fs::path& folder, [[maybe_unused]] const std::string& stem) {
#ifndef _WIN32
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = from_fs_path(it->path().filename());
        if (!name.starts_with(stem) || !name.ends_with(".part")) continue;
        const long pid = pid_in_name(name, stem.size());
        if (pid <= 0 || pid == process_id()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        std::error_code gone;
        fs::remove(it->path(), gone);
    }
#endif
}

// The temporary files in hand, for the signal handler: fixed slots, so that
// it reads them without taking a lock or memory.
constexpr int TEMP_SLOTS = 8;
constexpr std::size_t TEMP_PATH_MAX = 4096;
char g_temp_paths[TEMP_SLOTS][TEMP_PATH_MAX];
std::atomic<int> g_temp_state[TEMP_SLOTS];  // 0 free, 1 being written, 2 a path to remove

int hold_temp_path(const std::string& path) {
    if (path.size() >= TEMP_PATH_MAX) return -1;
    for (int i = 0; i < TEMP_SLOTS; ++i) {
        int expected = 0;
        if (!g_temp_state[i].compare_exchange_strong(expected, 1)) continue;
        std::memcpy(g_temp_paths[i], path.c_str(), path.size() + 1);
        g_temp_state[i].store(2);
        return i;
    }
    return -1;
}

void release_temp_path(int& slot) {
    if (slot >= 0) g_temp_state[slot].store(0);
    slot = -1;
}

#ifndef _WIN32
extern "C" void remove_temps_and_stop(int signal) {
    for (int i = 0; i < TEMP_SLOTS; ++i)
        if (g_temp_state[i].load() == 2) ::unlink(g_temp_paths[i]);
    // The handler was reset on entry: the signal, raised again, ends the
    // process as it would have, once this handler returns.
    ::raise(signal);
}
#endif

}  // namespace

void remove_temporary_files_on_signals() {
#ifndef _WIN32
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
        struct sigaction act {};
        act.sa_handler = remove_temps_and_stop;
        act.sa_flags = SA_RESETHAND;
        sigemptyset(&act.sa_mask);
        ::sigaction(signal, &act, nullptr);
    }
#endif
}

FileStamp stamp_of(const std::string& path) {
    FileStamp stamp;
#ifdef _WIN32
    std::error_code ec;
    const fs::path p = to_fs_path(path);
    stamp.size = fs::file_size(p, ec);
    if (ec) return {};
    const auto modified = fs::last_write_time(p, ec);
    if (ec) return {};
    stamp.exists = true;
    stamp.modified_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
#endif
    return stamp;
}

bool is_read_only(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(to_fs_path(path), ec);
    if (ec || !fs::is_regular_file(st)) return false;
    constexpr fs::perms WRITE = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (st.permissions() & WRITE) == fs::perms::none;
}

OutputTarget resolve_output(const std::string& path) {
    using Kind = OutputTarget::Kind;
    fs::path p = to_fs_path(path);
    for (int hop = 0; hop <= MAX_LINKS; ++hop) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(p, ec);
        if (fs::is_symlink(st)) {
            // /proc/<pid>/fd/<n> and its kin name open streams (a pipe, a terminal,
            // the file a shell redirected to): they are written to, never replaced.
            if (p.generic_string().starts_with("/proc/")) return {Kind::InPlace, {}};
            const fs::path next = fs::read_symlink(p, ec);
            if (ec) break;
            p = next.is_absolute() ? next : p.parent_path() / next;
            continue;
        }
        if (!fs::exists(st) || fs::is_regular_file(st)) return {Kind::Replace, from_fs_path(p)};
        if (fs::is_directory(st)) return {Kind::Folder, {}};
        return {fs::is_character_file(st) ? Kind::InPlace : Kind::Special, {}};
    }
    // A loop of links, or one that cannot be read: opening it will say why.
    return {Kind::InPlace, {}};
}

namespace {

// Where an output path puts its bytes, spelled one way: links followed, the
// folder made canonical, and the name.
std::string output_place(const std::string& path) {
    const OutputTarget target = resolve_output(path);
    fs::path p = to_fs_path(target.kind == OutputTarget::Kind::Replace ? target.file : path);
    std::error_code ec;
    const fs::path parent = p.has_parent_path() ? p.parent_path() : fs::path(".");
    fs::path folder = fs::weakly_canonical(fs::absolute(parent, ec), ec);
    if (ec) folder = fs::absolute(parent, ec).lexically_normal();
    return from_fs_path(folder / p.filename());
}

// A new, empty file beside `target` with its permissions, owner and group (or
// a new file's); the process id in its name lets a later run remove what a run
// now gone left. nullptr with the system's error on failure. `slot` is where
// the signal handler finds the file.
std::FILE* create_file_beside(const std::string& target, std::string& created, int& slot, std::error_code& error) {
    const fs::path t = to_fs_path(target);
    const fs::path folder = t.has_parent_path() ? t.parent_path() : fs::path(".");
    // Hidden, and never the name of a TYP text: a file a killed run left
    // behind is not taken for one, and the next run picks another name.
    const std::string stem = temp_stem(from_fs_path(t.filename()));
    remove_leftovers(folder, stem);
    const std::string pid = std::to_string(process_id()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = from_fs_path(folder / to_fs_path(stem + pid + random_suffix() + ".part"));
        // Known to the signal handler before it exists: a signal never finds it unknown.
        slot = hold_temp_path(name);
#ifdef _WIN32
        const int fd = _open(name.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        const int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
#endif
        if (fd < 0) {
            const std::error_code why = last_system_error();
            release_temp_path(slot);
            if (why == std::errc::file_exists) continue;
            error = why;
            return nullptr;
        }
#ifndef _WIN32
        // The new file takes the old one's owner, group and permissions (the
        // owner first: a change of owner clears the set-id bits), or a new file's.
        struct stat old {};
        mode_t mode = 0;
        if (::stat(target.c_str(), &old) == 0) {
            mode = old.st_mode & 07777;
            // Only root may give a file away; anyone may keep its own group.
            if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        ::fchmod(fd, mode);
        std::FILE* f = ::fdopen(fd, "wb");
#else
        std::FILE* f = _fdopen(fd, "wb");
#endif
        if (f == nullptr) {
            error = last_system_error();
#ifdef _WIN32
            _close(fd);
#else
            ::close(fd);
#endif
            std::error_code ec;
            fs::remove(to_fs_path(name), ec);
            release_temp_path(slot);
            return nullptr;
        }
        created = name;
        return f;
    }
    error = std::make_error_code(std::errc::file_exists);
    return nullptr;
}

// Flushes and closes the stream, its bytes synced to disk first when asked (a
// device such as a terminal cannot be synced and need not be). The first
// error, or none; the stream is closed all the same.
std::error_code close_stream(std::FILE* file, bool sync) {
    std::error_code error;
#ifdef _WIN32
    if (std::fflush(file) != 0 || (sync && _commit(_fileno(file)) != 0)) error = last_system_error();
#else
    if (std::fflush(file) != 0 ||
        (sync && ::fsync(::fileno(file)) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP))
        error = last_system_error();
#endif
    if (std::fclose(file) != 0 && !error) error = last_system_error();
    return error;
}

}  // namespace

bool same_output(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    return same_file(a, b) || output_place(a) == output_place(b);
}

ReplacedFile::~ReplacedFile() {
    abandon();
}

void ReplacedFile::abandon() {
    if (m_file != nullptr) std::fclose(m_file);
    m_file = nullptr;
    if (!m_temp.empty()) {
        std::error_code ec;
        std::filesystem::remove(to_fs_path(m_temp), ec);
        m_temp.clear();
    }
    // Only now: a signal until here still removes the file.
    release_temp_path(m_temp_slot);
}

void ReplacedFile::fail(std::error_code why) {
    if (!m_failure) m_failure = Failure{Failure::Kind::Write, m_path, 0, why};
}

std::optional<Failure> ReplacedFile::open() {
    if (m_path.empty()) return Failure{Failure::Kind::Write, m_path, 0, std::make_error_code(std::errc::no_such_file_or_directory)};
    const OutputTarget target = resolve_output(m_path);
    switch (target.kind) {
        case OutputTarget::Kind::Folder: return Failure{Failure::Kind::OutputIsFolder, m_path, 0, std::make_error_code(std::errc::is_a_directory)};
        case OutputTarget::Kind::Special: return Failure{Failure::Kind::OutputIsSpecial, m_path, 0, {}};
        case OutputTarget::Kind::InPlace:
            m_in_place = true;
            m_file = std::fopen(m_path.c_str(), "wb");
            if (m_file == nullptr) return Failure{Failure::Kind::Write, m_path, 0, last_system_error()};
            break;
        case OutputTarget::Kind::Replace: {
            std::error_code error;
            m_target = target.file;
            if (is_read_only(m_target)) return Failure{Failure::Kind::OutputReadOnly, m_path};
            if (!m_expected) m_expected = stamp_of(m_target);
            m_file = create_file_beside(m_target, m_temp, m_temp_slot, error);
            if (m_file == nullptr) return Failure{Failure::Kind::Write, m_path, 0, error};
            break;
        }
    }
    return std::nullopt;
}

void ReplacedFile::write(const char* bytes, std::size_t size) {
    if (m_file == nullptr || m_failure || size == 0) return;
    if (std::fwrite(bytes, 1, size, m_file) != size) fail(last_system_error());
}

std::optional<Failure> ReplacedFile::finish() {
    if (m_file == nullptr) return m_failure;
    if (const std::error_code error = close_stream(std::exchange(m_file, nullptr), !m_in_place)) fail(error);
    if (m_in_place) return m_failure;
    if (!m_failure && m_expected && stamp_of(m_target) != *m_expected) keep_beside();
    if (!m_failure) {
        std::error_code ec;
        std::filesystem::rename(to_fs_path(m_temp), to_fs_path(m_target), ec);
        if (ec) fail(ec);
        else m_temp.clear();
    }
    abandon();
    return m_failure;
}

// The old file changed since it was read or found (edited while an update
// ran): it stays as it now is, and the new text goes beside it under a name
// of its own, so that neither is lost.
void ReplacedFile::keep_beside() {
    const fs::path target = to_fs_path(m_target);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string name = from_fs_path(target.filename());
    name = name.substr(0, std::min(name.size(), MAX_NAME - 12)) + ".new";
    std::error_code ec;
    fs::path kept = folder / to_fs_path(name);
    for (int n = 2; fs::exists(fs::symlink_status(kept, ec)) && n < 1000; ++n)
        kept = folder / to_fs_path(name + std::to_string(n));
    fs::rename(to_fs_path(m_temp), kept, ec);
    if (ec) return fail(ec);
    m_temp.clear();
    m_failure = Failure{Failure::Kind::OutputChanged, m_path, 0, {}, from_fs_path(kept)};
}

std::optional<Failure> write_replaced_file(const std::string& path, const std::string& text) {
    ReplacedFile file(path);
    if (std::optional<Failure> failure = file.open()) return failure;
    file.write(text.data(), text.size());
    return file.finish();
}

}  // namespace tessaro
