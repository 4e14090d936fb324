#include "typ_charset.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>

#include "code_page.h"
#include "text_util.h"
#include "typ_scanner.h"

namespace tessaro {

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

template <typename Put>
void decode_wide(std::string_view bytes, std::size_t unit, bool little, Put put) {
    const auto unit_at = [&](std::size_t i) {
        char32_t v = 0;
        for (std::size_t k = 0; k < unit; ++k)
            v |= static_cast<char32_t>(static_cast<unsigned char>(bytes[i + k])) << (8 * (little ? k : unit - 1 - k));
        return v;
    };
    std::size_t i = 0;
    for (; i + unit <= bytes.size(); i += unit) {
        char32_t c = unit_at(i);
        if (unit == 2 && c >= 0xD800 && c <= 0xDBFF && i + 2 * unit <= bytes.size()) {
            const char32_t low = unit_at(i + unit);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += unit;
            }
        }
        put(c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? REPLACEMENT : c);
    }
    if (i < bytes.size()) put(REPLACEMENT);
}

// A Windows code page's number from a name Java knows for it ("cp1251", "windows-1251", "ms932"); 0 for other
// names, and for the look-alikes Java lacks ("ms1252", "windows-850", "cp-1251", "cp01251"), whose texts mkgmap refuses.
int code_page_of(const std::string& name) {
    const auto number_after = [&name](std::string_view prefix) {
        const char* const end = name.data() + name.size();
        const char* const digits = name.data() + prefix.size();
        // No sign and no leading zero: Java knows neither.
        if (name.size() <= prefix.size() || !name.starts_with(prefix) || *digits < '1' || *digits > '9') return 0;
        int v = 0;
        const auto [at, ec] = std::from_chars(digits, end, v);
        return ec == std::errc() && at == end ? v : 0;
    };
    constexpr int WINDOWS[] = {437, 874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};
    constexpr int MS[] = {874, 932, 936, 949, 950};
    const auto listed = [](const auto& pages, int v) { return std::find(std::begin(pages), std::end(pages), v) != std::end(pages) ? v : 0; };
    if (const int v = number_after("cp")) return v;
    if (const int v = number_after("windows-")) return listed(WINDOWS, v);
    return listed(MS, number_after("ms"));
}

// Charsets Java has, for which this program has no table: mkgmap reads
// their texts, this program only their ASCII.
bool java_has(const std::string& name, int page) {
    constexpr int PAGES[] = {437, 737, 775, 850, 852, 855, 857, 858, 862, 866, 869, 874, 932, 936, 949, 950,
                             1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};
    if (page != 0) return std::find(std::begin(PAGES), std::end(PAGES), page) != std::end(PAGES);
    // The parts of ISO 8859 Java has under each spelling: none of 10, 12 and 14, which mkgmap refuses.
    constexpr std::string_view ISO_PARTS[][2] = {{"iso-8859-", " 1 2 3 4 5 6 7 8 9 11 13 15 16 "},
                                                 {"iso8859-", " 1 2 3 4 5 6 7 8 9 13 15 "},
                                                 {"iso8859_", " 1 2 3 4 5 6 7 8 9 11 13 15 16 "}};
    for (const auto& [prefix, parts] : ISO_PARTS)
        if (name.starts_with(prefix) && name.size() > prefix.size() && name.find(' ') == std::string::npos &&
            parts.find(" " + name.substr(prefix.size()) + " ") != std::string_view::npos)
            return true;
    if (name.size() > 3 && name.starts_with("ibm")) return true;
    for (const char* known : {"us-ascii", "ascii", "shift_jis", "sjis", "windows-31j", "gbk", "gb2312", "gb18030", "big5",
                              "euc-jp", "euc-kr", "iso-2022-jp", "macroman", "x-macroman", "koi8-r", "koi8-u"})
        if (name == known) return true;
    return false;
}

std::string probe_charset(std::string_view bytes) {
    const std::vector<std::string_view> lines = split_typ_lines(bytes);
    bool utf8 = true;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = lines[n];
        if (line.empty()) continue;
        if (n < 2) {
            if (line.find("\xEF\xBB\xBF") != std::string_view::npos) return "UTF-8";
            if (line.find(std::string_view("\xFF\xFE\0\0", 4)) != std::string_view::npos) return "UTF-32LE";
            if (line.find(std::string_view("\0\0\xFE\xFF", 4)) != std::string_view::npos) return "UTF-32BE";
            if (line.find("\xFF\xFE") != std::string_view::npos) return "UTF-16LE";
            if (line.find("\xFE\xFF") != std::string_view::npos) return "UTF-16BE";
            const std::size_t coding = line.find("-*- coding:");
            if (coding != std::string_view::npos) {
                const std::string_view name = java_trim(line.substr(coding + 11));
                return std::string(name.substr(0, name.find(' ')));
            }
        }
        if (line.substr(0, 9) == "CodePage=") {
            const std::optional<std::int64_t> page = java_decode(java_trim(line.substr(9)));
            // Java takes the text itself as the charset's name then.
            if (!page) return std::string(java_trim(line.substr(9)));
            return *page == 65001 ? "UTF-8" : "cp" + std::to_string(*page);
        }
        if (utf8 && !is_utf8(line)) utf8 = false;
    }
    return utf8 ? "UTF-8" : "cp1252";
}

}  // namespace

std::vector<std::string_view> split_typ_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = find_line_end(text, start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

DecodedTypText decode_typ_text(std::string_view bytes) {
    DecodedTypText out;
    out.charset = probe_charset(bytes);
    out.utf8.reserve(bytes.size());
    // Byte by byte (or unit by unit), counting lines so that the first
    // undecodable place can be named.
    std::size_t line = 1;
    char32_t last = 0;
    const auto put = [&](char32_t c) {
        if (c == REPLACEMENT && out.bad_line == 0) out.bad_line = line;
        if (c == '\r' || (c == '\n' && last != '\r')) ++line;
        last = c;
        append_utf8(out.utf8, c);
    };
    const std::string name = to_lower(out.charset);
    const int page = code_page_of(name);
    const bool utf8 = name == "utf-8" || name == "utf8";
    const bool paged = page != 0 && code_page_known(page);
    // Most texts are ASCII: in these charsets their bytes are their UTF-8.
    if ((utf8 || paged) && is_ascii(bytes)) {
        out.utf8.assign(bytes);
    } else if (utf8) {
        for (std::size_t i = 0; i < bytes.size();) {
            const std::optional<char32_t> c = next_valid_utf8(bytes, i);
            put(c ? *c : REPLACEMENT);
            if (!c) ++i;
        }
    } else if (name == "utf-16le" || name == "utf-16be" || name == "utf-16") {
        decode_wide(bytes, 2, name == "utf-16le", put);
    } else if (name == "utf-32le" || name == "utf-32be" || name == "utf-32") {
        decode_wide(bytes, 4, name == "utf-32le", put);
    } else if (paged) {
        // Not ASCII, so the text has a byte past it.
        if (is_utf8(bytes)) {
            const auto past_ascii = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
            const auto first = static_cast<std::size_t>(std::find_if(bytes.begin(), bytes.end(), past_ascii) - bytes.begin());
            out.utf8_line = split_typ_lines(bytes.substr(0, first + 1)).size();
        }
        std::array<char32_t, 256> table{};
        for (std::size_t b = 0; b < table.size(); ++b) {
            const char byte = static_cast<char>(b);
            const std::optional<std::string> c = code_page_to_utf8(std::string_view(&byte, 1), page);
            std::size_t at = 0;
            table[b] = c ? next_utf8(*c, at) : REPLACEMENT;
        }
        for (const char byte : bytes) put(table[static_cast<unsigned char>(byte)]);
    } else {
        out.known = name == "iso-8859-1" || name == "latin1" || name == "iso8859_1" || name == "iso8859-1";
        out.mkgmap_knows = out.known || java_has(name, page);
        for (const char byte : bytes) put(static_cast<unsigned char>(byte));
    }
    return out;
}

bool is_wide_charset(std::string_view charset) {
    const std::string name = to_lower(charset);
    return name.rfind("utf-16", 0) == 0 || name.rfind("utf-32", 0) == 0;
}

std::string encode_wide(std::string_view utf8, std::string_view charset) {
    const std::string name = to_lower(charset);
    const std::size_t unit = name.rfind("utf-32", 0) == 0 ? 4 : 2;
    const bool little = name.size() > 6 && name.substr(name.size() - 2) == "le";
    std::string out;
    const auto put = [&](char32_t v) {
        for (std::size_t k = 0; k < unit; ++k)
            out += static_cast<char>((v >> (8 * (little ? k : unit - 1 - k))) & 0xFF);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const std::optional<char32_t> valid = next_valid_utf8(utf8, i);
        const char32_t c = valid ? *valid : static_cast<unsigned char>(utf8[i++]);
        if (unit == 2 && c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
    return out;
}

}  // namespace tessaro
