#pragma once

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "failure.h"
#include "large_pages.h"
#include "output_file.h"
#include "yield.h"

namespace tessaro {

// The header's family and the code page of a fresh text: mkgmap must be told
// both to compile the text as written.
inline constexpr int FAMILY_ID = 12345;
inline constexpr int CODE_PAGE = 1252;

// The TYP text file of one run. It is written whole through one buffered
// stream into a new file beside the output and takes the output's place only
// when finish() succeeds: until then, and on any failure, the old file stays
// as it was. An output that is a link has the file it points at replaced; a
// device (/dev/stdout, /dev/null) is written in place.
class TypText {
public:
    // `pages` (may be null) lends the memory of its buffers.
    TypText(std::string path, Yield yield, PagePool* pages = nullptr)
        : m_file(std::move(path), pages), m_yield(std::move(yield)), m_held(LargePageAllocator<char>(pages)) {}
    TypText(const TypText&) = delete;
    TypText& operator=(const TypText&) = delete;

    const std::string& path() const { return m_file.path(); }

    // createheader: opens the output and writes the header block, which
    // names `code_page`. A folder, a pipe or an output that cannot be opened
    // gives the failure, and nothing is written.
    std::optional<Failure> write_header(const std::string& style_folder, int code_page = CODE_PAGE);

    // Appends the chunk and one CR LF. After a failed write the rest is not
    // written; finish() then reports it.
    void append(std::string_view chunk);

    // From now on the chunks are held here instead of written: an update
    // makes its text of them and of the old one, then writes that instead.
    // `expected`: the bytes likely to be held, room made at once (a text
    // grown by doubling copies itself and touches twice the memory).
    void hold(std::size_t expected = 0) {
        m_holding = true;
        m_held.reserve(expected);
    }
    std::string_view held() const { return m_held; }
    bool holding() const { return m_holding; }
    // Writes `text` in place of the held chunks.
    void write_instead(const std::string& text);
    // Appends the chunks `part` holds, as if each were appended here; `part` holds none after.
    void append_held(TypText& part);
    // Called by the run's thread on a text held for `run` on another thread
    // (a section written apart) once run's text is ready for it: from its
    // next chunk on, this text writes what it holds, and all it is handed
    // after, into run's file, so that the disk starts on it while the section
    // is still being written. The run writes nothing more until that thread
    // is done, then takes what is still held with append_held (all of it when
    // the section ended before it noticed). Not for a run that holds its chunks.
    void relay_to(TypText& run) { m_relay.store(&run, std::memory_order_release); }

    // Flushes the text to disk and puts it in the output's place; on failure
    // the old file is unchanged and the new one removed. An unfinished text
    // is abandoned: its new file goes, the old file stays.
    std::optional<Failure> finish();

    // Replaces the old file only if it is still as `stamp` says (ReplacedFile::expect).
    void expect(const FileStamp& stamp) { m_file.expect(stamp); }
    bool in_place() const { return m_file.in_place(); }  // written straight into a device
    std::size_t appends() const { return m_appends; }    // chunks handed in, header included

private:
    void write(const char* bytes, std::size_t size);

    ReplacedFile m_file;
    Yield m_yield;
    std::size_t m_appends = 0;
    bool m_holding = false;
    LargeText m_held;  // megabytes in a large style's sections written apart
    std::atomic<TypText*> m_relay{nullptr};  // set by the run's thread
    TypText* m_written_to = nullptr;         // the text written into since this thread took the relay
};

// The mkgmap command that compiles the TYP text at `typ_path` with its labels
// kept: mkgmap writes them in the code page its command line names (the
// text's own, label_code_page); the path quoted for the shell when it needs it.
std::string mkgmap_command(const std::string& typ_path, int code_page);

// The header block as one chunk (without the final line end, which the append
// adds). Its ";style:" line names the style, control characters as "?".
std::string header_chunk(const std::string& style_folder, int code_page = CODE_PAGE);

// ftrim: the style name of a folder path, its last component cut before its
// first ".". On Windows both "\" and "/" separate components.
std::string style_name(std::string_view path);

}  // namespace tessaro
