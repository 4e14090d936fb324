#include "typ_reader.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <set>

#include "text_util.h"
#include "type_code.h"

namespace tessaro {

namespace {

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// mkgmap reads numbers as Java's Integer.decode: hexadecimal after 0x, else decimal.
// 64 bits on every platform (a Windows long has 32): a Type= value may use all 32 bits.
std::optional<std::int64_t> to_number(std::string_view s) {
    s = trimmed(s);
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && lower_char(s[1]) == 'x') {
        s.remove_prefix(2);
        base = 16;
    }
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

std::optional<int> to_int(std::string_view s) {
    int v = 0;
    s = trimmed(s);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// The text between the quotes of a quoted line, or nothing.
std::optional<std::string_view> unquoted(std::string_view line) {
    line = trimmed(line);
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') return std::nullopt;
    return line.substr(1, line.size() - 2);
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    while (true) {
        s = trimmed(s);
        if (s.empty()) return out;
        const std::size_t blank = std::min(s.find(' '), s.find('\t'));
        out.push_back(s.substr(0, blank));
        s = blank == std::string_view::npos ? std::string_view() : s.substr(blank);
    }
}

// 0x4f00 is type 0x4f with subtype 0, the same type as 0x4f.
std::int64_t type_key(std::int64_t v) { return v > 0xff && v < 0x10000 && (v & 0xff) == 0 ? v >> 8 : v; }

bool is_none(std::string_view colour) { return to_lower(colour) == "none"; }

// mkgmap takes six hexadecimal digits, or eight with alpha; it ignores what follows them.
bool is_colour(std::string_view c) {
    if (is_none(c)) return true;
    if (c.size() < 7 || c[0] != '#' || c.size() == 8) return false;
    const std::size_t digits = c.size() >= 9 ? 8 : 6;
    return std::all_of(c.begin() + 1, c.begin() + 1 + static_cast<std::ptrdiff_t>(digits), is_hex_digit);
}

std::optional<Section> entry_section(std::string_view tag) {
    if (tag == "[_point]") return Section::Point;
    if (tag == "[_line]") return Section::Line;
    if (tag == "[_polygon]") return Section::Polygon;
    return std::nullopt;
}

bool key_known(Section section, std::string_view key) {
    if (key == "type" || key == "subtype" || key == "fontstyle" || key == "daycustomcolor" || key == "nightcustomcolor" ||
        key == "customcolor" || key == "extendedlabels" || key == "xpm")
        return true;
    if (key.substr(0, 6) == "string" && std::all_of(key.begin() + 6, key.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return true;
    switch (section) {
        case Section::Point: return key == "dayxpm" || key == "nightxpm";
        case Section::Line: return key == "linewidth" || key == "borderwidth" || key == "useorientation";
        case Section::Polygon: return false;
    }
    return false;
}

// The code points of a label: UTF-8 when it is valid UTF-8, else one byte each.
std::vector<char32_t> code_points(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        bool ok = len != 0 && i + len <= s.size();
        char32_t cp = len == 1 ? b : b & (0x7f >> len);
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            ok = (c >> 6) == 2;
            cp = (cp << 6) | (c & 0x3f);
        }
        if (!ok) {
            out.clear();
            for (char c : s) out.push_back(static_cast<unsigned char>(c));
            return out;
        }
        out.push_back(cp);
        i += len;
    }
    return out;
}

// ";tags=...", ";marker=...", ";style:...": notes for programs, not names.
bool is_note(std::string_view comment) {
    const auto word_end = std::find_if_not(comment.begin(), comment.end(), [](char c) { return is_alnum_ascii(c) || c == '_'; });
    return word_end != comment.begin() && word_end != comment.end() && (*word_end == '=' || *word_end == ':');
}

bool in_code_page_1252(char32_t c) {
    static const std::u32string upper = U"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ";
    return c < 0x80 || (c >= 0xa0 && c <= 0xff) || upper.find(c) != std::u32string::npos;
}

class Reader {
public:
    explicit Reader(std::string_view text) : m_lines(split_lines(text)) {}

    TypDocument read() {
        while (m_next < m_lines.size()) {
            const std::size_t n = m_next++;
            const std::string_view line = trimmed(m_lines[n]);
            if (!line.empty() && line.front() == ';') {
                m_comment = ++m_comments == 1 ? line.substr(1) : std::string_view();
                continue;
            }
            // A comment standing alone right before a tag names the entry; one of a file's head does not.
            const std::string_view comment = m_comments == 1 ? m_comment : std::string_view();
            m_comments = 0;
            if (line.empty()) continue;
            const std::string lower = to_lower(line);
            if (const auto section = entry_section(lower)) {
                read_entry(*section, n, comment);
            } else if (lower == "[_draworder]") {
                read_draw_order(n);
            } else if (lower == "[_id]") {
                read_id(n);
            } else if (lower == "[end]") {
                warning(n, "[end] outside any entry");
            } else if (is_tag(line)) {
                // mkgmap reads the icon sets itself; they hold nothing this reader uses.
                if (lower != "[_icons]") warning(n, "section " + std::string(line) + " is unknown; mkgmap skips it");
                skip_block(n, "section");
            } else {
                problem(n, "text outside any entry: \"" + std::string(line.substr(0, 40)) + "\"");
            }
        }
        check_types();
        if (m_doc.entries.empty()) problem(0, "no TYP text: no [_point], [_line] or [_polygon] entry");
        std::stable_sort(m_doc.problems.begin(), m_doc.problems.end(),
                         [](const TypProblem& a, const TypProblem& b) { return a.line < b.line; });
        return std::move(m_doc);
    }

private:
    void problem(std::size_t index, std::string message) { m_doc.problems.push_back({index + 1, std::move(message)}); }
    void warning(std::size_t index, std::string message) {
        m_doc.problems.push_back({index + 1, std::move(message), Severity::Warning});
    }

    static bool is_end(std::string_view line) { return to_lower(trimmed(line)) == "[end]"; }
    static bool is_tag(std::string_view line) {
        line = trimmed(line);
        return line.size() > 2 && line.front() == '[' && line.back() == ']';
    }
    static std::string quoted_start(std::string_view line) { return std::string(trimmed(line).substr(0, 40)); }

    // Stops in front of the next tag when the block has no end marker; mkgmap
    // closes it there.
    bool block_closed(std::size_t open, const std::string& what) {
        if (m_next < m_lines.size() && is_end(m_lines[m_next])) {
            ++m_next;
            return true;
        }
        warning(open, what + " opened here is not closed by [end]");
        return false;
    }

    void skip_block(std::size_t open, const char* what) {
        while (m_next < m_lines.size() && !is_tag(m_lines[m_next])) ++m_next;
        block_closed(open, what);
    }

    // The next line that is neither blank nor a comment, with its key and value;
    // false at a tag or at the end. A line without '=' is an error here.
    bool next_setting(std::size_t& n, std::string& key, std::string_view& value, std::string* text = nullptr) {
        while (m_next < m_lines.size() && !is_tag(m_lines[m_next])) {
            n = m_next++;
            if (text) *text += '\n' + std::string(m_lines[n]);
            const std::string_view line = trimmed(m_lines[n]);
            if (line.empty() || line.front() == ';') continue;
            const std::size_t eq = line.find('=');
            if (eq == std::string_view::npos || line.front() == '"') {
                problem(n, "not a key=value line: \"" + quoted_start(line) + "\"");
                continue;
            }
            key = to_lower(trimmed(line.substr(0, eq)));
            value = trimmed(line.substr(eq + 1));
            return true;
        }
        return false;
    }

    void read_id(std::size_t open) {
        std::size_t n = 0;
        std::string key;
        std::string_view value;
        while (next_setting(n, key, value)) {
            if (key == "codepage") {
                if (const auto v = to_number(value)) m_code_page = *v;
            } else if (key != "fid" && key != "productcode") {
                problem(n, "[_id] takes FID, ProductCode and CodePage, not \"" + key + "\"");
            }
        }
        block_closed(open, "[_id]");
    }

    void read_draw_order(std::size_t open) {
        m_has_draw_order = true;
        m_doc.draw_order_tags.push_back(open + 1);
        std::size_t n = 0;
        std::string key;
        std::string_view value;
        while (next_setting(n, key, value)) {
            if (key != "type") {
                problem(n, "not a draw order line: \"" + quoted_start(m_lines[n]) + "\"");
                continue;
            }
            const std::size_t comma = value.find(',');
            const std::string_view code = value.substr(0, comma);
            const std::string_view level = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
            const auto v = to_number(code);
            if (!v) problem(n, "Type= value \"" + std::string(code) + "\" is not a number");
            else if (!to_int(level)) problem(n, "draw order level \"" + std::string(level) + "\" is not a number");
            else {
                m_doc.draw_order.emplace_back(trimmed(code));
                m_doc.draw_order_lines.push_back(n + 1);
                m_drawn.push_back(type_key(*v));
            }
        }
        block_closed(open, "[_drawOrder]");
    }

    void read_entry(Section section, std::size_t open, std::string_view comment) {
        TypEntry e;
        e.section = section;
        e.first_line = open + 1;
        e.text = std::string(m_lines[open]);
        std::optional<std::int64_t> type;
        std::optional<std::int64_t> subtype;
        std::size_t type_line = open;
        bool has_type = false;
        XpmImage& night = e.night_xpm;
        std::size_t night_line = 0;
        std::size_t night_text_line = 0;
        bool day_text = false;
        std::size_t n = 0;
        std::string key;
        std::string_view value;
        while (next_setting(n, key, value, &e.text)) {
            if (!key_known(section, key)) {
                warning(n, "unknown key \"" + std::string(trimmed(m_lines[n]).substr(0, key.size())) +
                               "\"; mkgmap leaves it out");
            } else if (key == "type") {
                has_type = true;
                type_line = n;
                e.type = std::string(value);
                type = to_number(value);
                if (!type) problem(n, "Type= value \"" + e.type + "\" is not a number");
            } else if (key == "subtype") {
                e.subtype = std::string(value);
                subtype = to_number(value);
                if (!subtype) problem(n, "SubType= value \"" + e.subtype + "\" is not a number");
            } else if (key.substr(0, 6) == "string") {
                read_label(e, n, value);
            } else if (key == "linewidth" || key == "borderwidth") {
                const std::optional<int> v = to_int(value);
                const std::string name = std::string(trimmed(m_lines[n]).substr(0, key.size()));
                if (!v) problem(n, name + " is not a width: \"" + std::string(value) + "\"");
                else if (*v < 0) warning(n, name + " is negative");
                else (key == "linewidth" ? e.line_width : e.border_width) = *v;
            } else if (key == "daycustomcolor" || key == "nightcustomcolor") {
                if (!is_colour(value)) problem(n, "\"" + std::string(value) + "\" is not a colour");
                if (key == "daycustomcolor") day_text = true;
                else night_text_line = n;
            } else if (key == "fontstyle") {
                const std::string v = to_lower(value);
                if (v != "nolabel" && v != "smallfont" && v != "normalfont" && v != "largefont")
                    warning(n, "FontStyle \"" + std::string(value) + "\" is unknown; mkgmap leaves it out");
            } else if (key == "nightxpm") {
                night_line = n;
                read_xpm(night, n, value, e.text);
            } else if ((key == "xpm" || key == "dayxpm") && !e.xpm.present) {
                if (read_xpm(e.xpm, n, value, e.text)) check_kind(section, e.xpm, n);
            }
        }
        if (!has_type) warning(open, "entry without a Type= line; mkgmap leaves it out");
        if (night_text_line != 0 && !day_text && section != Section::Point)
            warning(night_text_line, "NightCustomColor without DayCustomColor; mkgmap leaves it out");
        if (!e.xpm.present) problem(open, std::string("[_") + section_name(section) + "] entry without an Xpm");
        if (night.present && e.xpm.present && (night.width != e.xpm.width || night.height != e.xpm.height))
            warning(night_line, "NightXpm is not the size of the day picture");
        if (m_next < m_lines.size() && is_end(m_lines[m_next])) {
            e.text += '\n';
            e.text += m_lines[m_next];
            e.last_line = m_next + 1;
            ++m_next;
        } else {
            warning(open, std::string("[_") + section_name(section) + "] opened here is not closed by [end]");
            e.last_line = m_next;
        }
        e.name = entry_name(comment, open);
        if (type && subtype && *type >= 0) type = (typ_type(static_cast<std::uint32_t>(*type)) & ~0xffu) | (*subtype & 0xff);
        if (type) m_types.push_back({section, type_key(*type), type_line});
        m_doc.entries.push_back(std::move(e));
    }

    // The comment before the tag, else the first comment inside the entry that
    // is no note (the polygon library's labels are such comments, language code first).
    std::string entry_name(std::string_view before, std::size_t open) const {
        std::string_view name = is_note(trimmed(before)) ? std::string_view() : trimmed(before);
        for (std::size_t n = open + 1; name.empty() && n < m_next; ++n) {
            const std::string_view line = trimmed(m_lines[n]);
            if (line.empty() || line.front() != ';' || is_note(trimmed(line.substr(1)))) continue;
            name = trimmed(line.substr(1));
            const std::size_t comma = name.find(',');
            if (comma != std::string_view::npos && to_number(name.substr(0, comma))) name = trimmed(name.substr(comma + 1));
        }
        return std::string(name);
    }

    void read_label(TypEntry& e, std::size_t n, std::string_view value) {
        const std::size_t comma = value.find(',');
        std::string_view text = value;
        if (comma != std::string_view::npos && to_number(value.substr(0, comma))) text = value.substr(comma + 1);
        if (e.label.empty() && to_lower(trimmed(m_lines[n]).substr(0, 7)) == "string1") e.label = std::string(text);
        const std::vector<char32_t> chars = code_points(text);
        if (chars.size() > 254)
            problem(n, "label is " + std::to_string(chars.size()) + " characters long; mkgmap takes at most 254");
        if (m_code_page == 1252 && !std::all_of(chars.begin(), chars.end(), in_code_page_1252))
            warning(n, "label holds characters that code page 1252 cannot hold");
    }

    // The header line, then the colour lines and rows that follow it. False
    // when the picture is broken beyond what the kind checks can read.
    bool read_xpm(XpmImage& x, std::size_t n, std::string_view value, std::string& text) {
        x.present = true;
        const auto header = unquoted(value);
        const std::vector<std::string_view> parts = header ? words(*header) : std::vector<std::string_view>();
        std::vector<int> numbers;
        for (std::string_view p : parts)
            if (const auto v = to_int(p); v && *v >= 0) numbers.push_back(*v);
        if (parts.size() != 4 || numbers.size() != 4) {
            problem(n, "Xpm header is not \"width height colours chars-per-pixel\"");
            // Its colour lines and rows are no settings of their own.
            while (m_next < m_lines.size() && trimmed(m_lines[m_next]).substr(0, 1) == "\"") append_line(text);
            return false;
        }
        x.width = numbers[0];
        x.height = numbers[1];
        x.colour_count = numbers[2];
        x.chars_per_pixel = numbers[3];
        const auto cpp = static_cast<std::size_t>(x.chars_per_pixel);
        bool colours_read = true;
        while (x.colours.size() < static_cast<std::size_t>(x.colour_count) && m_next < m_lines.size()) {
            const auto colour = colour_line(m_lines[m_next], cpp);
            if (!colour) break;
            x.colours.push_back(*colour);
            append_line(text);
        }
        if (x.colours.size() != static_cast<std::size_t>(x.colour_count)) {
            problem(n, "Xpm declares " + std::to_string(x.colour_count) + " colours but " +
                           std::to_string(x.colours.size()) + " colour lines follow");
            colours_read = false;
        }
        if (x.colour_count == 0 && x.width > 0 && cpp != 0) {
            problem(n, "an Xpm without colours takes 0 characters per pixel");
            colours_read = false;
        }
        const bool true_colour = x.colour_count == 0;
        const std::size_t row_width = static_cast<std::size_t>(x.width) * cpp;
        while (m_next < m_lines.size()) {
            const auto q = unquoted(m_lines[m_next]);
            if (!q) break;
            const std::size_t r = m_next;
            x.rows.emplace_back(*q);
            append_line(text);
            if (!colours_read || true_colour) continue;
            if (x.rows.size() > static_cast<std::size_t>(x.height)) {
                warning(r, "XPM row beyond the " + std::to_string(x.height) + " the header declares; mkgmap leaves it out");
                continue;
            }
            if (q->size() < row_width) {
                problem(r, "XPM row is " + std::to_string(cpp == 0 ? q->size() : q->size() / cpp) +
                               " pixels wide, not " + std::to_string(x.width));
                continue;
            }
            if (q->size() > row_width)
                warning(r, "XPM row is longer than " + std::to_string(x.width) + " pixels; mkgmap leaves the rest out");
            for (std::size_t i = 0; i < row_width; i += cpp) {
                const std::string_view key = q->substr(i, cpp);
                if (std::none_of(x.colours.begin(), x.colours.end(), [&](const XpmColour& c) { return c.key == key; })) {
                    problem(r, "pixel \"" + std::string(key) + "\" is not in the Xpm's colours");
                    break;
                }
            }
        }
        if (!true_colour && x.rows.size() < static_cast<std::size_t>(x.height)) {
            problem(n, "Xpm declares " + std::to_string(x.height) + " rows but " + std::to_string(x.rows.size()) +
                           " follow");
            return false;
        }
        return colours_read;
    }

    // "key c colour" with an optional "alpha=N", inside the quotes or after
    // them; with no pixel characters the name before the "c" is free.
    static std::optional<XpmColour> colour_line(std::string_view line, std::size_t cpp) {
        line = trimmed(line);
        const std::size_t close = line.rfind('"');
        if (line.size() < 2 || line.front() != '"' || close == 0) return std::nullopt;
        const std::string_view q = line.substr(1, close - 1);
        if (q.size() < cpp) return std::nullopt;
        std::vector<std::string_view> w = words(q.substr(cpp));
        for (std::string_view after : words(line.substr(close + 1))) w.push_back(after);
        if (cpp == 0 && !w.empty() && (w[0] != "c" || (w.size() >= 3 && w[1] == "c"))) w.erase(w.begin());
        if (w.size() < 2 || w[0] != "c") return std::nullopt;
        if (w.size() > 3 || (w.size() == 3 && !(w[2].substr(0, 6) == "alpha=" && to_int(w[2].substr(6)))))
            return std::nullopt;
        return XpmColour{std::string(q.substr(0, cpp)), std::string(w[1])};
    }

    // What each kind of picture may hold.
    void check_kind(Section section, const XpmImage& x, std::size_t n) {
        for (const XpmColour& c : x.colours)
            if (!is_colour(c.colour)) {
                problem(n, "Xpm colour \"" + c.colour + "\" is neither #RRGGBB nor none");
                return;
            }
        const std::size_t count = x.colours.size();
        const bool solid = x.width == 0 && x.height == 0;
        const std::string size = std::to_string(x.width) + " x " + std::to_string(x.height);
        if (section == Section::Point) {
            if (x.width > 255 || x.height > 255) warning(n, "a point picture is at most 255 x 255 pixels, not " + size);
            return;
        }
        if (section == Section::Polygon) {
            if (!solid && (x.width != 32 || x.height != 32))
                return problem(n, "a polygon pattern is 32 x 32 pixels, not " + size);
            if (solid ? count != 1 && count != 2 && count != 4 : count != 2 && count != 4)
                return problem(n, std::string("a polygon ") + (solid ? "takes 1, 2 or 4" : "pattern takes 2 or 4") +
                                      " colours, not " + std::to_string(count));
        } else {
            if (!solid && x.width != 32) return problem(n, "a line pattern is 32 pixels wide, not " + std::to_string(x.width));
            if (count == 0 || count > 4 || (!solid && count == 1))
                return problem(n, "a line " + std::string(solid ? "" : "pattern ") + "takes " + (solid ? "1, " : "") +
                                      "2 or 4 colours, not " + std::to_string(count));
            if (count == 3) warning(n, "a line takes 1, 2 or 4 colours, not 3");
            if (!solid && x.height > 31) warning(n, "a line pattern is at most 31 pixels high, not " + std::to_string(x.height));
        }
        const auto none = [&](std::size_t i) { return is_none(x.colours[i].colour); };
        if (count == 1 && none(0)) problem(n, "a lone colour cannot be none");
        if (solid && count > 1 && std::any_of(x.colours.begin(), x.colours.end(), [](const XpmColour& c) { return is_none(c.colour); }))
            warning(n, "a solid colour cannot be none; mkgmap leaves it out and the entry is misread");
        if ((count == 2 || count == 4) && none(0) && none(1)) problem(n, "the day colours cannot both be none");
        if (count == 4 && none(2) && none(3)) problem(n, "the night colours cannot both be none");
    }

    // Duplicates, polygons the draw order leaves out, and point subtypes TYP cannot hold.
    // By lookups: a text may hold a hundred thousand entries.
    void check_types() {
        std::map<std::pair<Section, std::int64_t>, std::size_t> first;
        const std::set<std::int64_t> drawn(m_drawn.begin(), m_drawn.end());
        for (const TypeAt& t : m_types) {
            const auto [earlier, is_first] = first.emplace(std::make_pair(t.section, t.value), t.line);
            if (!is_first)
                warning(t.line, "the type has an entry already at line " + std::to_string(earlier->second + 1) +
                                    "; mkgmap keeps one");
            if (t.section == Section::Polygon && m_has_draw_order && drawn.count(t.value) == 0)
                warning(t.line, "polygon type is not in the draw order; mkgmap does not draw it");
            if (t.section == Section::Point && t.value >= 0x10000 && (t.value & 0xff) > 0x1f)
                warning(t.line, "extended point subtype is above 0x1f");
        }
    }

    void append_line(std::string& text) {
        text += '\n';
        text += m_lines[m_next++];
    }

    struct TypeAt {
        Section section;
        std::int64_t value;
        std::size_t line;
    };

    std::vector<std::string_view> m_lines;
    std::size_t m_next = 0;
    std::size_t m_comments = 0;  // comment lines in a row just read
    std::string_view m_comment;  // the first of them
    std::int64_t m_code_page = 1252;
    std::vector<std::int64_t> m_drawn;
    bool m_has_draw_order = false;  // library files are entries alone
    std::vector<TypeAt> m_types;
    TypDocument m_doc;
};

}  // namespace

TypDocument read_typ_text(std::string_view text) {
    return Reader(text).read();
}

std::optional<std::uint32_t> typ_value_type(std::string_view type_text, std::string_view subtype_text) {
    const std::optional<std::int64_t> type = to_number(type_text);
    if (!type || *type < 0 || *type > 0xffffffff) return std::nullopt;
    const std::uint32_t value = typ_type(static_cast<std::uint32_t>(*type));
    if (subtype_text.empty()) return value;
    const std::optional<std::int64_t> subtype = to_number(subtype_text);
    if (!subtype) return std::nullopt;
    return (value & ~0xffu) | static_cast<std::uint32_t>(*subtype & 0xff);
}

bool has_error(const TypDocument& doc) {
    return std::any_of(doc.problems.begin(), doc.problems.end(),
                       [](const TypProblem& p) { return p.severity == Severity::Error; });
}

}  // namespace tessaro
