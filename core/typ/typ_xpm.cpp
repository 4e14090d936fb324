#include "typ_xpm.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "code_page.h"
#include "text_util.h"

namespace tessaro::detail {

std::optional<std::string> colour_value(std::string_view s) {
    if (!s.empty() && s[0] == '#') s.remove_prefix(1);
    if (s.size() < 6 || s.size() == 7) return std::nullopt;
    const std::size_t digits = s.size() > 6 ? 8 : 6;
    if (!std::all_of(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(digits), is_hex_digit)) return std::nullopt;
    return "#" + std::string(s.substr(0, digits));
}

std::size_t char_count(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string shown(std::string_view s) { return printable(s.substr(0, 40)); }

namespace {

bool is_none(std::string_view colour) { return to_lower(colour) == "none"; }

// The byte after `n` characters of UTF-8 text from `from` on (or its end);
// in ASCII text characters are bytes.
std::size_t after_chars(std::string_view text, std::size_t from, std::size_t n, bool ascii) {
    if (ascii) return std::min(from + n, text.size());
    for (; n > 0 && from < text.size(); --n) next_utf8(text, from);
    return std::min(from, text.size());
}

class XpmReader {
public:
    XpmReader(TypScanner& scan, ProblemLog& log) : m_scan(scan), m_log(log) {}

    bool read(XpmImage& x, const std::string& value, std::size_t line, std::optional<Section> section) {
        x = XpmImage{};
        TypScanner header(value);
        if (header.check_token("\"")) header.next_raw();
        int* const fields[] = {&x.width, &x.height, &x.colour_count, &x.chars_per_pixel};
        for (int* field : fields) {
            const std::optional<std::int64_t> v = java_parse_int(header.next_token().text);
            if (!v) return m_log.fail(line, "Xpm header is not \"width height colours chars-per-pixel\""), false;
            *field = static_cast<int>(*v);
        }
        if (x.colour_count < 0 || x.chars_per_pixel < 0)
            return m_log.fail(line, "Xpm header holds a negative number"), false;
        for (int i = 0; i < x.colour_count; ++i)
            if (!read_colour(x, line)) return false;
        // Drawn in the preview as far as it goes, whatever mkgmap says of it.
        x.present = true;
        if (section) check_kind(x, line, *section);
        return x.width <= 0 || x.height <= 0 || (x.colour_count == 0 ? read_true_colour(x, line) : read_rows(x));
    }

private:
    bool expect(std::string_view text, std::size_t line, const char* where) {
        const std::optional<std::string> seen = m_scan.expect(text);
        // The tag of the next block: it is read once the picture is given up.
        if (seen && *seen == "[") m_log.reopen = m_scan.line();
        if (seen)
            m_log.fail(line, std::string(where) + ": \"" + std::string(text) + "\" expected, not \"" + shown(*seen) + "\"");
        return !seen;
    }

    // '"' TAG c #RRGGBB '"', or "none" for the colour; an "alpha=N" after the quotes.
    bool read_colour(XpmImage& x, std::size_t line) {
        if (!expect("\"", line, "Xpm colour line")) return false;
        const std::size_t at = m_scan.line();
        std::string tag = m_scan.next_raw().text;
        const auto cpp = static_cast<std::size_t>(x.chars_per_pixel);
        for (std::size_t chars = char_count(tag); chars < cpp;) {
            // mkgmap would pad the tag without end there (and run out of memory).
            const TypToken t = m_scan.next_raw();
            if (t.kind == TokenKind::End) return m_log.fail(at, "the file ends inside an Xpm colour line"), false;
            tag += t.text;
            chars += char_count(t.text);
        }
        if (!expect("c", at, "Xpm colour line")) return false;
        std::string colour = m_scan.next_token().text;
        if (colour.rfind('#', 0) == 0) {
            const std::string digits = m_scan.next_token().text;
            const std::optional<std::string> c = colour_value(digits);
            if (!c) return m_log.fail(at, "Xpm colour \"#" + shown(digits) + "\" is neither #RRGGBB nor none"), false;
            colour = *c;
        } else if (!is_none(colour)) {
            return m_log.fail(at, "Xpm colour \"" + shown(colour) + "\" is neither #RRGGBB nor none"), false;
        }
        if (!expect("\"", at, "Xpm colour line")) return false;
        x.colours.push_back({tag.substr(0, after_chars(tag, 0, cpp, false)), colour});
        return read_alpha(at);
    }

    // Whatever follows a colour's closing quote up to the line end; "alpha=N" counts.
    bool read_alpha(std::size_t line) {
        while (!m_scan.at_end()) {
            const TypToken t = m_scan.next_raw();
            if (t.kind == TokenKind::LineEnd) break;
            if (t.text.size() < 5 || t.text.compare(t.text.size() - 5, 5, "alpha") != 0) continue;
            if (!expect("=", line, "alpha")) return false;
            const std::string v = m_scan.next_token().text;
            if (!java_decode(v)) return m_log.fail(line, "alpha value \"" + shown(v) + "\" is not a number"), false;
        }
        return true;
    }

    // Rows and pixels are counted in characters, as mkgmap's Java strings count
    // them; the text is valid UTF-8, so equal bytes are equal characters.
    bool read_rows(XpmImage& x) {
        const auto width = static_cast<std::size_t>(x.width) * static_cast<std::size_t>(x.chars_per_pixel);
        const auto cpp = static_cast<std::size_t>(x.chars_per_pixel);
        std::unordered_set<std::string_view> tags;
        // Keys of one byte, the most common, are looked up by the byte.
        std::array<bool, 256> byte_keys{};
        for (const XpmColour& c : x.colours) {
            tags.insert(c.key);
            if (c.key.size() == 1) byte_keys[static_cast<unsigned char>(c.key[0])] = true;
        }
        for (int y = 0; y < x.height; ++y) {
            const std::size_t at = m_scan.line();
            // The next block's tag is left for the main loop.
            if (m_scan.peek().text == "[") return m_log.fail(at, "Xpm row does not start with a quote"), false;
            const std::string row = m_scan.read_line();
            if (row.empty()) return m_log.fail(at, "blank line in an Xpm picture"), false;
            if (row[0] != '"') return m_log.fail(at, "Xpm row does not start with a quote"), false;
            const std::size_t chars = char_count(row);
            const bool ascii = chars == row.size();
            const std::size_t pixels_end = after_chars(row, 1, width, ascii);
            if (chars < 1 + width) {
                const std::size_t pixels = cpp == 0 ? 0 : (chars - (row.back() == '"' ? 2 : 1)) / cpp;
                m_log.fail(at, "XPM row is " + std::to_string(pixels) + " pixels wide, not " + std::to_string(x.width));
                return false;
            }
            const std::size_t close = row.find('"', 1);
            if ((close == std::string::npos ? row.size() : close) > pixels_end)
                m_log.warning(at, "XPM row is longer than " + std::to_string(x.width) +
                                      " pixels; mkgmap leaves the rest out");
            std::string_view known;  // the pixel before, found: a row repeats its colours
            for (std::size_t p = 1; p < pixels_end;) {
                const std::size_t next = after_chars(row, p, cpp, ascii);
                const std::string_view pixel = std::string_view(row).substr(p, next - p);
                const bool found = pixel.size() == 1 ? byte_keys[static_cast<unsigned char>(pixel[0])]
                                                     : pixel == known || tags.count(pixel) != 0;
                if (!found)
                    return m_log.fail(at, "pixel \"" + std::string(pixel) + "\" is not in the Xpm's colours"), false;
                known = pixel;
                p = next;
            }
            x.rows.push_back(row.substr(1, pixels_end - 1));
        }
        // The main loop passes over quoted lines.
        if (m_scan.check_token("\""))
            m_log.warning(m_scan.line(), "XPM row beyond the " + std::to_string(x.height) +
                                             " the header declares; mkgmap leaves it out");
        return true;
    }

    // One "#RRGGBB" per pixel, one or more to a quoted line.
    bool read_true_colour(XpmImage& x, std::size_t line) {
        const std::size_t count = static_cast<std::size_t>(x.width) * static_cast<std::size_t>(x.height);
        std::size_t read = 0;
        while (read < count)
            if (!read_true_line(x, line, read, count)) return false;
        // A line past them gives the last pixel again as transparent.
        if (m_scan.check_token("\"")) {
            XpmImage extra;
            std::size_t one = 0;
            return read_true_line(extra, line, one, 1);
        }
        return true;
    }

    bool read_true_line(XpmImage& x, std::size_t line, std::size_t& read, std::size_t count) {
        if (!expect("\"", line, "Xpm pixel line")) return false;
        const std::size_t at = m_scan.line();
        std::string row;
        do {
            if (!expect("#", at, "Xpm pixel line")) return false;
            const std::string digits = m_scan.next_token().text;
            if (digits.empty() || digits.size() > 16 || !std::all_of(digits.begin(), digits.end(), is_hex_digit))
                return m_log.fail(at, "Xpm pixel \"#" + shown(digits) + "\" is not a colour"), false;
            if (read++ >= count) return m_log.fail(at, "more pixels than the Xpm header declares"), false;
            row += "#" + digits;
        } while (m_scan.check_token("#"));
        if (!expect("\"", at, "Xpm pixel line")) return false;
        x.rows.push_back(row);
        return read_alpha(at);
    }

    // What mkgmap demands of a line's or a polygon's picture; a point's may be anything.
    void check_kind(const XpmImage& x, std::size_t line, Section section) {
        const std::size_t count = x.colours.size();
        const bool solid = x.width == 0 && x.height == 0;
        const std::string size = std::to_string(x.width) + " x " + std::to_string(x.height);
        if (section == Section::Polygon) {
            if (count != 1 && count != 2 && count != 4)
                return m_log.problem(line, "a polygon takes 1, 2 or 4 colours, not " + std::to_string(count));
            if (!solid && (x.width != 32 || x.height != 32))
                return m_log.problem(line, "a polygon pattern is 32 x 32 pixels, not " + size);
        } else if (x.width != 0 && x.width != 32) {
            return m_log.problem(line, "a line pattern is 32 pixels wide, not " + std::to_string(x.width));
        }
        const auto none = [&](std::size_t i) { return is_none(x.colours[i].colour); };
        if (count > 4) return m_log.problem(line, "a line takes at most 4 colours, not " + std::to_string(count));
        if (count == 0) return m_log.problem(line, "a line takes 1, 2 or 4 colours, not 0");
        if ((none(0) && count < 2) || (count > 2 && none(2) && count < 4))
            return m_log.problem(line, "a lone colour cannot be none");
        if (count > 1 && none(0) && none(1)) return m_log.problem(line, "the day colours cannot both be none");
        if (count > 3 && none(2) && none(3)) return m_log.problem(line, "the night colours cannot both be none");
        if (section == Section::Line && count == 3) m_log.warning(line, "a line takes 1, 2 or 4 colours, not 3");
        if (section == Section::Line && !solid && x.height > 31)
            m_log.warning(line, "a line pattern is at most 31 pixels high, not " + std::to_string(x.height));
        if (solid && count > 1 &&
            std::any_of(x.colours.begin(), x.colours.end(), [](const XpmColour& c) { return is_none(c.colour); }))
            m_log.warning(line, "a solid colour cannot be none; mkgmap leaves it out and the entry is misread");
    }

    TypScanner& m_scan;
    ProblemLog& m_log;
};

}  // namespace

bool read_xpm(TypScanner& scan, ProblemLog& log, XpmImage& x, const std::string& value, std::size_t line,
              std::optional<Section> section) {
    return XpmReader(scan, log).read(x, value, line, section);
}

}  // namespace tessaro::detail
