#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "entry.h"

namespace tessaro {

// The header's family and the code page of a fresh text: mkgmap must be told
// both to compile the text as written.
inline constexpr int FAMILY_ID = 12345;
inline constexpr int CODE_PAGE = 1252;

// Writes the TYP text of a run, piece by piece: the header, then each entry with a blank line after it; the polygon
// entries of each rule file after a draw order of their own, one line per type on its level.
void write_typ_text(std::string_view header, const std::vector<Entry>& entries,
                    const std::function<void(std::string_view)>& write);

// The mkgmap command that compiles the TYP text at `typ_path` with its labels
// kept: mkgmap writes them in the code page its command line names (the
// text's own, label_code_page); the path quoted for the shell when it needs it.
std::string mkgmap_command(const std::string& typ_path, int code_page);

// The header block as one chunk (without the final line end, which the append
// adds). Its ";style:" line names the style, control characters as "?".
std::string header_chunk(const std::string& style_folder, int code_page = CODE_PAGE);

// The style name of a folder path, its last component cut before its
// first ".". On Windows both "\" and "/" separate components.
std::string style_name(std::string_view path);

}  // namespace tessaro
