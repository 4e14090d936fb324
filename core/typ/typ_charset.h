#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

// A TYP text's bytes as mkgmap's compiler decodes them.
struct DecodedTypText {
    std::string utf8;
    std::string charset;       // as mkgmap names it: "UTF-8", "cp1251", "UTF-16LE", ...
    bool known = true;         // false: a charset this program has no table for; its bytes are read as Latin-1
    bool mkgmap_knows = true;  // false: mkgmap refuses the text, whose charset it does not know
    std::size_t bad_line = 0;  // the first line with bytes the charset cannot decode (mkgmap stops there); 0: none
    // In a file read in a single-byte code page whose bytes past ASCII are
    // all UTF-8 (which mkgmap then garbles): the first line with any; 0: none.
    std::size_t utf8_line = 0;
};

// Lines as mkgmap counts them: each ends at CR LF, a lone CR or a lone LF.
std::vector<std::string_view> split_typ_lines(std::string_view text);

// The charset mkgmap reads the bytes in: a byte order mark or a
// "-*- coding: NAME -*-" in its first two lines, else its first line that
// starts "CodePage=", else UTF-8 when every line before is UTF-8, else cp1252.
DecodedTypText decode_typ_text(std::string_view bytes);

// UTF-16 and UTF-32, which are no byte strings a line can be found in by its
// bytes: the text is changed as UTF-8 and written back.
bool is_wide_charset(std::string_view charset);
// UTF-8 (valid) in such a charset, little- or big-endian as it names.
std::string encode_wide(std::string_view utf8, std::string_view charset);

}  // namespace tessaro
