#include "typ_reader.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "code_page.h"
#include "text_util.h"
#include "type_code.h"
#include "typ_charset.h"
#include "typ_scanner.h"

namespace tessaro {

namespace {

// mkgmap's colour: "#" and three hexadecimal pairs, a fourth (alpha) when
// longer; nothing where mkgmap fails on it.
std::optional<std::string> colour_value(std::string_view s) {
    if (!s.empty() && s[0] == '#') s.remove_prefix(1);
    if (s.size() < 6 || s.size() == 7) return std::nullopt;
    const std::size_t digits = s.size() > 6 ? 8 : 6;
    if (!std::all_of(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(digits), is_hex_digit)) return std::nullopt;
    return "#" + std::string(s.substr(0, digits));
}

std::u32string to_u32(std::string_view utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = more == 0 ? lead : lead & (0x3F >> more);
        for (std::size_t k = 1; k <= more && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += c;
        i += more + 1;
    }
    return out;
}

std::string from_u32(std::u32string_view s) {
    std::string out;
    for (const char32_t c : s) append_utf8(out, c);
    return out;
}

// 0x4f00 is type 0x4f with subtype 0, the same type as 0x4f.
std::int64_t type_key(std::int64_t v) { return v > 0xff && v < 0x10000 && (v & 0xff) == 0 ? v >> 8 : v; }

bool is_none(std::string_view colour) { return to_lower(colour) == "none"; }

// ";tags=...", ";marker=...", ";style:...": notes for programs, not names.
bool is_note(std::string_view comment) {
    const auto word_end = std::find_if_not(comment.begin(), comment.end(), [](char c) { return is_alnum_ascii(c) || c == '_'; });
    return word_end != comment.begin() && word_end != comment.end() && (*word_end == '=' || *word_end == ':');
}

std::string shown(std::string_view s) { return printable(s.substr(0, 40)); }

enum class Block { None, Id, DrawOrder, Entry, Icons, Ignored };

}  // namespace

namespace {

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_decoded(decode_typ_text(bytes)), m_scan(m_decoded.utf8) {
        m_lines = split_typ_lines(m_decoded.utf8);
        m_doc.charset = m_decoded.charset;
        const std::size_t end = m_decoded.utf8.find_first_of("\r\n");
        if (end != std::string::npos)
            m_doc.line_end = m_decoded.utf8[end] == '\n' ? LineEnd::Lf
                             : end + 1 < m_decoded.utf8.size() && m_decoded.utf8[end + 1] == '\n' ? LineEnd::CrLf
                                                                                               : LineEnd::Cr;
    }

    TypDocument read() {
        if (m_decoded.bad_line != 0)
            problem(m_decoded.bad_line, "bytes that are no " + m_decoded.charset + " text; mkgmap stops here");
        if (m_decoded.utf8_line != 0)
            warning(m_decoded.utf8_line, "the text is UTF-8, but mkgmap reads it in " + m_decoded.charset +
                                             " and garbles its labels; a UTF-8 byte order mark at its start makes mkgmap read UTF-8");
        if (!m_decoded.mkgmap_knows)
            problem(1, "mkgmap knows no charset \"" + shown(m_decoded.charset) + "\" to read the text in");
        else if (!m_decoded.known)
            warning(1, "labels read as Latin-1: this program has no table for " + m_decoded.charset);
        while (true) {
            const TypToken tok = m_scan.next_token();
            if (tok.kind == TokenKind::End) break;
            if (tok.text == ";" || tok.text == "\"") {
                m_scan.skip_line();
            } else if (tok.text == "[") {
                open_block(tok.line);
            } else if (tok.kind == TokenKind::Word) {
                read_setting(tok);
            }
            if (m_reopen != 0) open_block(std::exchange(m_reopen, 0));
            m_scan.skip_space();
        }
        // mkgmap keeps a block only when the next one or an [end] closes it.
        if (m_block == Block::Entry)
            warning(m_entry.first_line, std::string("[_") + section_name(m_entry.section) +
                                            "] is not closed by [end] before the end of the file; mkgmap leaves it out");
        check_labels();
        check_types();
        if (m_doc.entries.empty()) warning(1, "no [_point], [_line] or [_polygon] entry");
        std::stable_sort(m_doc.problems.begin(), m_doc.problems.end(),
                         [](const TypProblem& a, const TypProblem& b) { return a.line < b.line; });
        return std::move(m_doc);
    }

private:
    void problem(std::size_t line, std::string message) { m_doc.problems.push_back({line, std::move(message)}); }
    void warning(std::size_t line, std::string message) {
        m_doc.problems.push_back({line, std::move(message), Severity::Warning});
    }
    // mkgmap stops at an error; this reader names it and passes over the
    // rest of the block, which may hold more.
    void fail(std::size_t line, std::string message) {
        problem(line, std::move(message));
        m_broken = true;
    }

    void open_block(std::size_t line) {
        const TypToken name_token = m_scan.next_token();
        const std::string name = to_lower(name_token.text);
        const std::optional<std::string> close = m_scan.expect("]");
        close_block(line, !close && name == "end");
        m_broken = false;
        m_block = Block::None;
        if (close) return fail(line, "section name \"[" + shown(name_token.text) + "\" is not closed by \"]\"");
        if (name == "end") return;
        if (const auto section = name == "_point" ? std::optional<Section>(Section::Point)
                                 : name == "_line"    ? std::optional<Section>(Section::Line)
                                 : name == "_polygon" ? std::optional<Section>(Section::Polygon)
                                                      : std::nullopt) {
            open_entry(*section, line);
        } else if (name == "_draworder") {
            m_block = Block::DrawOrder;
            m_doc.draw_order_tags.push_back(line);
            m_has_draw_order = true;
        } else if (name == "_id") {
            m_block = Block::Id;
        } else if (name == "_icons") {
            m_block = Block::Icons;
        } else if (name == "_comments") {
            skip_comments();
        } else {
            warning(line, "section [" + shown(name_token.text) + "] is unknown; mkgmap skips it");
            m_block = Block::Ignored;
        }
    }

    // A [_comments] block runs to the next line that starts with "[end]".
    void skip_comments() {
        while (true) {
            m_scan.skip_line();
            TypToken t = m_scan.next_token();
            if (t.kind == TokenKind::End) return;
            if (t.text != "[") continue;
            t = m_scan.next_raw();
            if (t.kind != TokenKind::Word || to_lower(t.text) != "end") continue;
            if (m_scan.next_raw().text == "]") return;
        }
    }

    void close_block(std::size_t line, bool by_end) {
        if (m_block != Block::Entry) return;
        TypEntry& e = m_entry;
        e.last_line = std::max(e.first_line, by_end ? line : line - 1);
        // mkgmap fails on a point without a day picture when it writes it.
        if (!m_broken && !e.xpm.present)
            problem(e.first_line, std::string("[_") + section_name(e.section) + "] entry without " +
                                      (e.section == Section::Point && m_has_xpm ? "a day picture" : "an Xpm"));
        finish_entry();
    }

    void read_setting(const TypToken& key_token) {
        if (m_broken) return m_scan.skip_line();
        if (m_block == Block::None) {
            problem(key_token.line, "text outside any section: \"" + shown(key_token.text) + "\"");
            return m_scan.skip_line();
        }
        const TypToken separator = m_scan.next_token();
        if (separator.text != "=" && separator.text != ":") {
            fail(key_token.line, "\"" + shown(key_token.text) + "\" is not followed by \"=\" or \":\"");
            if (separator.text == "[") open_block(separator.line);
            else if (separator.kind != TokenKind::LineEnd) m_scan.skip_line();
            return;
        }
        const std::string value = m_scan.read_line();
        const std::string key = to_lower(key_token.text);
        const std::size_t line = key_token.line;
        switch (m_block) {
            case Block::Id: return read_id(key_token.text, key, value, line);
            case Block::DrawOrder: return read_draw_order(key, value, line);
            case Block::Entry: return read_entry_setting(key_token.text, key, value, line);
            case Block::Icons: return read_icon_setting(key_token.text, key, value, line);
            case Block::None:
            case Block::Ignored: return;
        }
    }

    void read_id(const std::string& name, const std::string& key, const std::string& value, std::size_t line) {
        const std::optional<std::int64_t> v = java_decode(value);
        if (key != "fid" && key != "productcode" && key != "codepage")
            return problem(line, "[_id] takes FID, ProductCode and CodePage, not \"" + shown(name) + "\"");
        if (!v) return warning(line, name + " value \"" + shown(value) + "\" is not a number; mkgmap leaves it out");
        if (key == "codepage" && m_doc.code_page == 0 && *v > 0) m_doc.code_page = static_cast<int>(*v);
    }

    void read_draw_order(const std::string& key, const std::string& value, std::size_t line) {
        if (key != "type") return problem(line, "not a draw order line: \"" + shown(std::string(trim_any_of(m_lines[line - 1], " \t"))) + "\"");
        const std::size_t comma = value.find(',');
        if (comma == std::string::npos || value.find(',', comma + 1) != std::string::npos)
            return problem(line, "draw order line is not Type=TYPE,LEVEL: \"" + shown(value) + "\"");
        const std::string_view code = std::string_view(value).substr(0, comma);
        const std::string_view level = std::string_view(value).substr(comma + 1);
        const std::optional<std::int64_t> v = java_decode(code);
        if (!v) return problem(line, "Type= value \"" + shown(code) + "\" is not a number");
        if (!java_parse_int(level)) return problem(line, "draw order level \"" + shown(level) + "\" is not a number");
        m_doc.draw_order.emplace_back(code);
        m_doc.draw_order_lines.push_back(line);
        m_drawn.push_back(type_key(*v < 0 ? *v & 0xff : *v));
    }

    void open_entry(Section section, std::size_t line) {
        m_block = Block::Entry;
        m_entry = TypEntry{};
        m_entry.section = section;
        m_entry.first_line = line;
        m_type.reset();
        m_subtype.reset();
        m_type_line = line;
        m_has_xpm = false;
        m_day_text = false;
        m_night_text_line = 0;
        m_night_line = 0;
    }

    void read_entry_setting(const std::string& name, const std::string& key, const std::string& value, std::size_t line) {
        if (common_key(name, key, value, line)) return;
        TypEntry& e = m_entry;
        if (e.section == Section::Point && (key == "dayxpm" || key == "nightxpm")) {
            (key == "nightxpm" ? m_night_line : m_day_line) = line;
            read_xpm(key == "dayxpm" ? e.xpm : e.night_xpm, value, line, false);
        } else if (e.section == Section::Line && key == "useorientation") {
            if (value.empty()) problem(line, "UseOrientation has no value");
        } else if (e.section == Section::Line && (key == "linewidth" || key == "borderwidth")) {
            const std::optional<std::int64_t> v = java_decode(value);
            if (!v) return problem(line, name + " is not a width: \"" + shown(value) + "\"");
            if (*v < 0) return warning(line, name + " is negative");
            (key == "linewidth" ? e.line_width : e.border_width) = static_cast<int>(std::min<std::int64_t>(*v, 255));
        } else {
            unknown_key(name, line);
        }
    }

    void read_icon_setting(const std::string& name, const std::string& key, const std::string& value, std::size_t line) {
        if (key == "string") return;
        if (common_key(name, key, value, line)) return;
        if (key != "iconxpm") return unknown_key(name, line);
        XpmImage icon;
        read_xpm(icon, value, line, false);
    }

    void unknown_key(const std::string& name, std::size_t line) {
        warning(line, "unknown key \"" + shown(name) + "\"; mkgmap leaves it out");
    }

    // The keys every element block takes; false for others.
    bool common_key(const std::string& name, const std::string& key, const std::string& value, std::size_t line) {
        TypEntry& e = m_entry;
        const bool entry = m_block == Block::Entry;
        if (key == "type") {
            const std::optional<std::int64_t> v = java_decode(value);
            if (entry) e.type = value;
            if (!v) {
                problem(line, "Type= value \"" + shown(value) + "\" is not a number");
            } else if (entry) {
                m_type = v;
                m_type_line = line;
            }
        } else if (key == "subtype") {
            const std::optional<std::int64_t> v = java_decode(value);
            if (!v) problem(line, "SubType= value \"" + shown(value) + "\" is not a number");
            else if (entry) e.subtype = value, m_subtype = v;
        } else if (key.rfind("string", 0) == 0) {
            read_label(value, line);
        } else if (key == "xpm") {
            m_day_line = line;
            read_xpm(entry ? e.xpm : m_scratch, value, line, !entry || e.section != Section::Point);
        } else if (key == "fontstyle") {
            const std::string v = to_lower(value);
            const bool known = value.rfind("NoLabel", 0) == 0 || v == "nolabel" || v == "smallfont" || v == "small" ||
                               v == "normalfont" || v == "normal" || v == "largefont" || v == "large" || v == "default";
            if (!known) warning(line, "FontStyle \"" + shown(value) + "\" is unknown; mkgmap leaves it out");
        } else if (key == "daycustomcolor" || key == "nightcustomcolor") {
            if (!colour_value(value)) return problem(line, "\"" + shown(value) + "\" is not a colour"), true;
            if (key == "daycustomcolor") m_day_text = true;
            else m_night_text_line = line;
        } else {
            return key == "customcolor" || name == "ExtendedLabels" || key == "comment";
        }
        return true;
    }

    // "String=LANGUAGE,TEXT" or "String=TEXT": a first part that is no number is text.
    void read_label(const std::string& value, std::size_t line) {
        const std::size_t comma = value.find(',');
        const std::optional<std::int64_t> language = java_decode(std::string_view(value).substr(0, comma));
        if (language && comma == std::string::npos)
            return problem(line, "label \"" + shown(value) + "\" is a language number without a text");
        TypLabel label;
        label.language = language ? static_cast<int>(*language) : 0;
        label.text = language ? value.substr(comma + 1) : value;
        if (m_block != Block::Entry) return;
        m_labels.push_back({m_doc.entries.size(), m_entry.labels.size(), line});
        m_entry.labels.push_back(std::move(label));
    }

    // "w h colours chars-per-pixel" (what follows the four numbers is left
    // alone), the colour lines, then the rows; false when mkgmap stops in it.
    bool read_xpm(XpmImage& x, const std::string& value, std::size_t line, bool two_colour) {
        x = XpmImage{};
        TypScanner header(value);
        if (header.check_token("\"")) header.next_raw();
        int* const fields[] = {&x.width, &x.height, &x.colour_count, &x.chars_per_pixel};
        for (int* field : fields) {
            const std::optional<std::int64_t> v = java_parse_int(header.next_token().text);
            if (!v) return fail(line, "Xpm header is not \"width height colours chars-per-pixel\""), false;
            *field = static_cast<int>(*v);
        }
        if (x.colour_count < 0 || x.chars_per_pixel < 0)
            return fail(line, "Xpm header holds a negative number"), false;
        for (int i = 0; i < x.colour_count; ++i)
            if (!read_colour(x, line)) return false;
        // Drawn in the preview as far as it goes, whatever mkgmap says of it.
        x.present = true;
        const bool fits = kind_fits(x, line, two_colour);
        if (x.width > 0 && x.height > 0 && !(x.colour_count == 0 ? read_true_colour(x, line) : read_rows(x, line)))
            return false;
        m_has_xpm = true;
        return fits;
    }

    bool expect(std::string_view text, std::size_t line, const char* where) {
        const std::optional<std::string> seen = m_scan.expect(text);
        // The tag of the next block: it is read once the picture is given up.
        if (seen && *seen == "[") m_reopen = m_scan.line();
        if (seen) fail(line, std::string(where) + ": \"" + std::string(text) + "\" expected, not \"" + shown(*seen) + "\"");
        return !seen;
    }

    // '"' TAG c #RRGGBB '"', or "none" for the colour; an "alpha=N" after the quotes.
    bool read_colour(XpmImage& x, std::size_t line) {
        if (!expect("\"", line, "Xpm colour line")) return false;
        const std::size_t at = m_scan.line();
        std::u32string tag = to_u32(m_scan.next_raw().text);
        const auto cpp = static_cast<std::size_t>(x.chars_per_pixel);
        while (tag.size() < cpp) {
            // mkgmap would pad the tag without end there (and run out of memory).
            const TypToken t = m_scan.next_raw();
            if (t.kind == TokenKind::End) return fail(at, "the file ends inside an Xpm colour line"), false;
            tag += to_u32(t.text);
        }
        if (!expect("c", at, "Xpm colour line")) return false;
        std::string colour = m_scan.next_value();
        if (colour.rfind('#', 0) == 0) {
            const std::string digits = m_scan.next_value();
            const std::optional<std::string> c = colour_value(digits);
            if (!c) return fail(at, "Xpm colour \"#" + shown(digits) + "\" is neither #RRGGBB nor none"), false;
            colour = *c;
        } else if (!is_none(colour)) {
            return fail(at, "Xpm colour \"" + shown(colour) + "\" is neither #RRGGBB nor none"), false;
        }
        if (!expect("\"", at, "Xpm colour line")) return false;
        x.colours.push_back({from_u32(std::u32string_view(tag).substr(0, cpp)), colour});
        return read_alpha(at);
    }

    // Whatever follows a colour's closing quote up to the line end; "alpha=N" counts.
    bool read_alpha(std::size_t line) {
        while (!m_scan.at_end()) {
            const TypToken t = m_scan.next_raw();
            if (t.kind == TokenKind::LineEnd) break;
            if (t.text.size() < 5 || t.text.compare(t.text.size() - 5, 5, "alpha") != 0) continue;
            if (!expect("=", line, "alpha")) return false;
            const std::string v = m_scan.next_value();
            if (!java_decode(v)) return fail(line, "alpha value \"" + shown(v) + "\" is not a number"), false;
        }
        return true;
    }

    bool read_rows(XpmImage& x, std::size_t line) {
        const auto width = static_cast<std::size_t>(x.width) * static_cast<std::size_t>(x.chars_per_pixel);
        const auto cpp = static_cast<std::size_t>(x.chars_per_pixel);
        std::vector<std::u32string> tags;
        for (const XpmColour& c : x.colours) tags.push_back(to_u32(c.key));
        for (int y = 0; y < x.height; ++y) {
            const std::size_t at = m_scan.line();
            // The next block's tag is left for the main loop.
            if (m_scan.peek().text == "[") return fail(at, "Xpm row does not start with a quote"), false;
            const std::u32string row = to_u32(m_scan.read_line());
            if (row.empty()) return fail(at, "blank line in an Xpm picture"), false;
            if (row[0] != '"') return fail(at, "Xpm row does not start with a quote"), false;
            if (row.size() < 1 + width)
                return fail(at, "XPM row is " + std::to_string(cpp == 0 ? 0 : (row.size() - (row.back() == '"' ? 2 : 1)) / cpp) +
                                    " pixels wide, not " + std::to_string(x.width)),
                       false;
            const std::u32string_view pixels = std::u32string_view(row).substr(1, width);
            const std::size_t close = row.find('"', 1);
            if ((close == std::u32string::npos ? row.size() : close) > 1 + width)
                warning(at, "XPM row is longer than " + std::to_string(x.width) + " pixels; mkgmap leaves the rest out");
            for (std::size_t i = 0; i < width; i += cpp)
                if (std::find(tags.begin(), tags.end(), pixels.substr(i, cpp)) == tags.end())
                    return fail(at, "pixel \"" + from_u32(pixels.substr(i, cpp)) + "\" is not in the Xpm's colours"), false;
            x.rows.push_back(from_u32(pixels));
        }
        // The main loop passes over quoted lines.
        if (m_scan.check_token("\""))
            warning(m_scan.line(), "XPM row beyond the " + std::to_string(x.height) + " the header declares; mkgmap leaves it out");
        (void)line;
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
            const std::string digits = m_scan.next_value();
            if (digits.empty() || digits.size() > 16 || !std::all_of(digits.begin(), digits.end(), is_hex_digit))
                return fail(at, "Xpm pixel \"#" + shown(digits) + "\" is not a colour"), false;
            if (read++ >= count) return fail(at, "more pixels than the Xpm header declares"), false;
            row += "#" + digits;
        } while (m_scan.check_token("#"));
        if (!expect("\"", at, "Xpm pixel line")) return false;
        x.rows.push_back(row);
        return read_alpha(at);
    }

    // What mkgmap demands of a line's or a polygon's picture; a point's may be anything.
    bool kind_fits(const XpmImage& x, std::size_t line, bool two_colour) {
        if (!two_colour || m_block != Block::Entry) return true;
        const Section section = m_entry.section;
        const std::size_t count = x.colours.size();
        const bool solid = x.width == 0 && x.height == 0;
        const std::string size = std::to_string(x.width) + " x " + std::to_string(x.height);
        if (section == Section::Polygon) {
            if (count != 1 && count != 2 && count != 4)
                return problem(line, "a polygon takes 1, 2 or 4 colours, not " + std::to_string(count)), false;
            if (!solid && (x.width != 32 || x.height != 32))
                return problem(line, "a polygon pattern is 32 x 32 pixels, not " + size), false;
        } else if (x.width != 0 && x.width != 32) {
            return problem(line, "a line pattern is 32 pixels wide, not " + std::to_string(x.width)), false;
        }
        const auto none = [&](std::size_t i) { return is_none(x.colours[i].colour); };
        if (count > 4) return problem(line, "a line takes at most 4 colours, not " + std::to_string(count)), false;
        if (count == 0) return problem(line, "a line takes 1, 2 or 4 colours, not 0"), false;
        if ((none(0) && count < 2) || (count > 2 && none(2) && count < 4))
            return problem(line, "a lone colour cannot be none"), false;
        if (count > 1 && none(0) && none(1)) return problem(line, "the day colours cannot both be none"), false;
        if (count > 3 && none(2) && none(3)) return problem(line, "the night colours cannot both be none"), false;
        if (section == Section::Line && count == 3) warning(line, "a line takes 1, 2 or 4 colours, not 3");
        if (section == Section::Line && !solid && x.height > 31)
            warning(line, "a line pattern is at most 31 pixels high, not " + std::to_string(x.height));
        if (solid && count > 1 && std::any_of(x.colours.begin(), x.colours.end(), [](const XpmColour& c) { return is_none(c.colour); }))
            warning(line, "a solid colour cannot be none; mkgmap leaves it out and the entry is misread");
        return true;
    }

    void finish_entry() {
        TypEntry& e = m_entry;
        if (e.type.empty() && !m_broken) warning(e.first_line, "entry without a Type= line; mkgmap writes it as type 0");
        if (m_night_text_line != 0 && !m_day_text && e.section != Section::Point)
            warning(m_night_text_line, "NightCustomColor without DayCustomColor; mkgmap leaves it out");
        const XpmImage& day = e.xpm;
        if (e.section == Section::Point && (day.width > 255 || day.height > 255))
            warning(m_day_line, "a point picture is at most 255 x 255 pixels, not " + std::to_string(day.width) + " x " +
                                      std::to_string(day.height));
        if (e.night_xpm.present && day.present && (e.night_xpm.width != day.width || e.night_xpm.height != day.height))
            warning(m_night_line, "NightXpm is not the size of the day picture");
        const auto english = std::find_if(e.labels.begin(), e.labels.end(), [](const TypLabel& l) { return l.language == 4; });
        if (!e.labels.empty()) e.label = (english != e.labels.end() ? *english : e.labels.front()).text;
        e.name = entry_name();
        for (std::size_t n = e.first_line; n <= e.last_line && n <= m_lines.size(); ++n) {
            if (n > e.first_line) e.text += '\n';
            e.text += m_lines[n - 1];
        }
        if (m_type) {
            // A Type= of 0x100 or more is a type and its subtype; a SubType= sets the subtype.
            std::int64_t value = *m_type < 0 ? *m_type & 0xff : *m_type;
            if (m_subtype) value = (typ_type(static_cast<std::uint32_t>(value)) & ~0xffu) | (*m_subtype & 0xff);
            m_types.push_back({e.section, type_key(value), m_type_line});
        }
        m_doc.entries.push_back(std::move(e));
    }

    // The comment standing alone right before the tag, else the first comment
    // inside the entry that is no note (the polygon library's labels are such
    // comments, language code first).
    std::string entry_name() const {
        const std::size_t open = m_entry.first_line;  // 1-based
        const auto comment = [&](std::size_t n) {     // 1-based; "" when no comment
            const std::string_view line = n >= 1 && n <= m_lines.size() ? trim_any_of(m_lines[n - 1], " \t") : std::string_view();
            return !line.empty() && line.front() == ';' ? line.substr(1) : std::string_view();
        };
        const bool alone = open >= 2 && open - 1 <= m_lines.size() && !trim_any_of(m_lines[open - 2], " \t").empty() &&
                           trim_any_of(m_lines[open - 2], " \t").front() == ';' &&
                           (open < 3 || trim_any_of(m_lines[open - 3], " \t").empty() || trim_any_of(m_lines[open - 3], " \t").front() != ';');
        std::string_view name = alone && !is_note(trim_any_of(comment(open - 1), " \t")) ? trim_any_of(comment(open - 1), " \t") : std::string_view();
        for (std::size_t n = open + 1; name.empty() && n <= m_entry.last_line && n <= m_lines.size(); ++n) {
            const std::string_view c = trim_any_of(comment(n), " \t");
            if (c.empty() || is_note(c)) continue;
            name = c;
            const std::size_t comma = name.find(',');
            if (comma != std::string_view::npos && java_decode(name.substr(0, comma))) name = trim_any_of(name.substr(comma + 1), " \t");
        }
        return std::string(name);
    }

    // Against the code page the labels are written in, known once the whole text is read.
    void check_labels() {
        const int code_page = label_code_page(m_doc);
        for (const LabelAt& at : m_labels) {
            // Those of a last entry that no [end] closed went with it.
            if (at.entry >= m_doc.entries.size()) break;
            const std::string& text = m_doc.entries[at.entry].labels[at.label].text;
            const std::u32string chars = to_u32(text);
            if (chars.size() > 254)
                problem(at.line, "label is " + std::to_string(chars.size()) + " characters long; mkgmap takes at most 254");
            if (code_page_known(code_page) && to_code_page(text, code_page).lost)
                warning(at.line, "label holds characters that code page " + std::to_string(code_page) +
                                     " cannot hold; mkgmap leaves it out");
        }
    }

    // Duplicates, polygons the draw order leaves out, and point subtypes TYP cannot hold.
    // By lookups: a text may hold a hundred thousand entries.
    void check_types() {
        std::map<std::pair<Section, std::int64_t>, std::size_t> first;
        const std::set<std::int64_t> drawn(m_drawn.begin(), m_drawn.end());
        for (const TypeAt& t : m_types) {
            const auto [earlier, is_first] = first.emplace(std::make_pair(t.section, t.value), t.line);
            if (!is_first)
                warning(t.line, "the type has an entry already at line " + std::to_string(earlier->second) +
                                    "; mkgmap writes both, and a unit draws one of them");
            if (t.section == Section::Polygon && m_has_draw_order && drawn.count(t.value) == 0)
                warning(t.line, "polygon type is not in the draw order; mkgmap does not draw it");
            if (t.section == Section::Point && t.value >= 0x10000 && (t.value & 0xff) > 0x1f)
                warning(t.line, "extended point subtype is above 0x1f");
        }
    }

    struct TypeAt {
        Section section;
        std::int64_t value;
        std::size_t line;
    };
    struct LabelAt {
        std::size_t entry;
        std::size_t label;
        std::size_t line;
    };

    DecodedTypText m_decoded;
    TypScanner m_scan;
    std::vector<std::string_view> m_lines;
    TypDocument m_doc;
    Block m_block = Block::None;
    bool m_broken = false;  // an error stopped the block: the rest of it is passed over
    std::size_t m_reopen = 0;  // the line of a "[" taken while a picture was read
    TypEntry m_entry;       // the one being read
    std::optional<std::int64_t> m_type;
    std::optional<std::int64_t> m_subtype;
    std::size_t m_type_line = 0;
    bool m_has_xpm = false;
    bool m_day_text = false;
    std::size_t m_night_text_line = 0;
    std::size_t m_night_line = 0;
    std::size_t m_day_line = 0;
    XpmImage m_scratch;  // an icon set's picture: checked, not kept
    std::vector<std::int64_t> m_drawn;
    bool m_has_draw_order = false;  // library files are entries alone
    std::vector<TypeAt> m_types;
    std::vector<LabelAt> m_labels;
};

}  // namespace

TypDocument read_typ_text(std::string_view text) {
    return Reader(text).read();
}

std::optional<std::uint32_t> typ_value_type(std::string_view type_text, std::string_view subtype_text) {
    const std::optional<std::int64_t> type = java_decode(type_text);
    if (!type) return std::nullopt;
    const std::uint32_t value = typ_type(static_cast<std::uint32_t>(*type < 0 ? *type & 0xff : *type));
    if (subtype_text.empty()) return value;
    const std::optional<std::int64_t> subtype = java_decode(subtype_text);
    if (!subtype) return std::nullopt;
    return (value & ~0xffu) | static_cast<std::uint32_t>(*subtype & 0xff);
}

bool has_error(const TypDocument& doc) {
    return std::any_of(doc.problems.begin(), doc.problems.end(),
                       [](const TypProblem& p) { return p.severity == Severity::Error; });
}

}  // namespace tessaro
