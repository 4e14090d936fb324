// find_library_look over a library text, and LibraryText's index against a plain scan.
// Input: one flag byte (bit 0: Include Tag Text), then
// <library text> NUL <type code> NUL <label>.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "entry_builder.h"
#include "fuzz_support.h"
#include "library_text.h"
#include "section.h"
#include "type_code.h"
#include "typ_reader.h"

namespace tessaro {
namespace {

constexpr std::size_t NPOS = std::string_view::npos;
constexpr std::string_view TYPE_KEY = "type=0x";

// The first "type=0x<key>" (ASCII case ignored) whose "type=" follows no
// letter or digit and whose key is followed by no further hex digit; the
// position of its "0x".
std::size_t plain_find_type(std::string_view text, std::string_view key) {
    const std::string needle = std::string(TYPE_KEY) + std::string(key);
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
        bool same = true;
        for (std::size_t j = 0; j < needle.size() && same; ++j)
            same = ascii_lower(text[i + j]) == ascii_lower(needle[j]);
        if (!same) continue;
        if (i > 0 && ascii_alnum(text[i - 1])) continue;
        const std::size_t after = i + needle.size();
        if (after < text.size() && ascii_hex(text[after])) continue;
        return i + TYPE_KEY.size() - 2;
    }
    return NPOS;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// The library entry from its "0x" up to its "[end]" (either case); none when
// a line that opens another section, or the end of the text, comes first, or
// when the Type= value is not "0x" and hexadecimal digits.
std::string plain_entry(std::string_view text, std::string_view key) {
    const std::size_t at = plain_find_type(text, key);
    if (at == NPOS) return {};
    std::size_t end = NPOS;
    for (std::size_t p = at; p < text.size() && end == NPOS; ++p) {
        if (text[p] != '[') continue;
        bool is_end = p + 5 <= text.size();
        for (std::size_t j = 0; j < 5 && is_end; ++j) is_end = ascii_lower(text[p + j]) == "[end]"[j];
        if (is_end) {
            end = p;
            continue;
        }
        std::size_t q = p;
        while (q > 0 && is_blank(text[q - 1])) --q;
        if (q == 0 || text[q - 1] == '\n' || text[q - 1] == '\r') return {};
    }
    if (end == NPOS) return {};
    std::size_t v = at + 2;
    while (v < end && ascii_hex(text[v])) ++v;
    if (v == at + 2) return {};
    while (v < end && is_blank(text[v])) ++v;
    if (v < end && text[v] != '\r' && text[v] != '\n') return {};
    return std::string(text.substr(at, end - at));
}

// The entry as find_library_look gives it for `code`: a look found under another
// type's key (a polygon's 0x5001 under 0x50) with the code in place of the
// library's on its first line.
std::string own_type(Section section, const std::string& code, const std::string& entry) {
    if (entry.empty() || !hex_prefix_at(code, 0)) return entry;
    const std::optional<std::uint32_t> value = code_value(code);
    const std::optional<std::uint32_t> found = code_value(entry.substr(0, entry.find_first_of(" \t\r\n")));
    if (!value || !found || code_typ_type(section, *value) == typ_type(*found)) return entry;
    return code + entry.substr(std::min(entry.find_first_of("\r\n"), entry.size()));
}

// Keys worth asking for: the code and its section keys, and the codes the
// text itself holds, so that hits are common and not only misses.
std::vector<std::string> keys_to_try(std::string_view text, const std::string& code) {
    std::vector<std::string> keys{code};
    for (Section section : ALL_SECTIONS) keys.push_back(library_key(section, code));
    std::size_t pos = 0;
    for (int found = 0; found < 6; ++found) {
        std::size_t hit = NPOS;
        for (std::size_t i = pos; i + TYPE_KEY.size() <= text.size() && hit == NPOS; ++i) {
            bool same = true;
            for (std::size_t j = 0; j < TYPE_KEY.size() && same; ++j) same = ascii_lower(text[i + j]) == TYPE_KEY[j];
            if (same) hit = i;
        }
        if (hit == NPOS) break;
        const std::size_t start = hit + TYPE_KEY.size();
        std::size_t end = start;
        while (end < text.size() && ascii_hex(text[end])) ++end;
        std::string key(text.substr(start, end - start));
        keys.push_back(key);
        if (!key.empty()) keys.push_back(key.substr(0, key.size() - 1));
        for (char& c : key) c = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
        keys.push_back(key);
        pos = hit + 1;
    }
    return keys;
}

void check_label_cut(const std::string& label) {
    const CodePageText whole = to_code_page(label);
    const CodePageText cut = make_label(label);
    require(cut.bytes.size() <= MAX_LABEL_BYTES, "a label is cut to MAX_LABEL_BYTES");
    require(whole.bytes.compare(0, cut.bytes.size(), cut.bytes) == 0, "the cut label is the converted label's start");
    if (whole.bytes.size() <= MAX_LABEL_BYTES) require(cut.bytes == whole.bytes, "a short label stays whole");
    else require(cut.bytes.size() == MAX_LABEL_BYTES, "a long label keeps MAX_LABEL_BYTES bytes");
    require(whole.bytes.size() <= label.size(), "the code page never takes more bytes than UTF-8");
    if (whole.lost) require(whole.bytes.find('?') != NPOS, "a lost character is a \"?\"");
    if (!whole.lost && whole.bytes != label) require(whole.bytes.size() < label.size(), "a converted label is shorter");
}

// With Include Tag Text on: the entry as it stands, or with the label line put
// in at a line start; a label of the entry's own drops the rule's label instead.
void check_tagged(const std::string& answer, const std::string& entry, const std::string& label, bool dropped) {
    if (entry.empty()) {
        require(answer.empty() && !dropped, "no entry, no answer and no label dropped");
        return;
    }
    if (entry.find("String1=") != NPOS) {
        require(dropped, "an entry with its own label drops the rule's label");
        require(answer == entry, "an entry with its own label is given unchanged");
        return;
    }
    require(!dropped, "an entry without a label drops no label");
    // The first line is the type code: a look key counts only behind it.
    const std::size_t body = entry.find('\n');
    const bool has_look = body != NPOS && (entry.find("Extended", body) != NPOS || entry.find("Xpm", body) != NPOS);
    if (answer == entry) {
        require(!has_look, "the label goes into every entry with Extended or Xpm");
        return;
    }
    require(has_look, "the label goes only before Extended or Xpm");
    // The entry holds no "String1=", so the first one is the inserted line's.
    const std::size_t label_at = answer.find("String1=");
    require(label_at != NPOS && label_at >= 2, "the label line is there");
    const std::size_t k = label_at - 2;
    require(k <= entry.size(), "the label line lies inside the entry");
    const std::string line = std::string("\r\nString1=0x04,") + make_label(label).bytes + "\r\n";
    require(answer == entry.substr(0, k) + line + entry.substr(k), "only the label line is put in");
    require(k > body && entry[k - 1] == '\n', "the label line starts a line behind the type code's");
}

}  // namespace
}  // namespace tessaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro;
    if (size == 0) return 0;
    const bool tag_text = (data[0] & 1) != 0;
    const std::string_view rest = as_text(data + 1, size - 1);
    const std::size_t nul1 = rest.find('\0');
    const std::string library(rest.substr(0, nul1));
    std::string code;
    std::string label;
    if (nul1 != NPOS) {
        const std::string_view after = rest.substr(nul1 + 1);
        const std::size_t nul2 = after.find('\0');
        code = std::string(after.substr(0, nul2));
        if (nul2 != NPOS) label = std::string(after.substr(nul2 + 1));
    }

    const LibraryText text(library);

    for (const std::string& key : keys_to_try(library, code))
        require(text.find_type(key) == plain_find_type(library, key), "the index finds what a plain scan finds");

    check_label_cut(label);

    for (Section section : ALL_SECTIONS) {
        const LibraryLook look = find_library_look(section, code, label, text, tag_text);
        const std::string& answer = look.entry;
        require(answer.empty() || hex_prefix_at(answer, 0), "an entry begins with 0x");
        std::string found_entry = plain_entry(library, library_key(section, code));
        // A whole entry that mkgmap would refuse is not copied either.
        if (!found_entry.empty() && has_error(read_typ_text(entry_text(section, found_entry)))) found_entry.clear();
        const bool found = plain_find_type(library, library_key(section, code)) != NPOS;
        require(look.broken.has_value() == (found && found_entry.empty()), "an entry found but not whole is broken");
        const std::string entry = own_type(section, code, found_entry);
        if (!tag_text) {
            require(answer == entry, "the entry runs from the code's 0x to its [end], under the code's own type");
            require(answer.empty() || entry != found_entry || library.find(answer) != NPOS,
                    "an entry of the code's type is a piece of the library");
            require(!look.label_dropped, "no label is dropped without Include Tag Text");
        } else {
            check_tagged(answer, entry, label, look.label_dropped);
        }
    }
    return 0;
}
