#include "typ_reader.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "code_page.h"
#include "text_util.h"
#include "type_code.h"
#include "typ_charset.h"
#include "typ_scanner.h"
#include "typ_xpm.h"

namespace tessaro {

using detail::colour_value;
using detail::shown;
using detail::char_count;

namespace {

// 0x4f00 is type 0x4f with subtype 0, the same type as 0x4f.
std::int64_t type_key(std::int64_t v) { return v > 0xff && v < 0x10000 && (v & 0xff) == 0 ? v >> 8 : v; }

// A Type= of 0x100 or more is a type and its subtype; a SubType= sets the subtype.
std::uint32_t typ_value(std::int64_t type, std::optional<std::int64_t> subtype) {
    const std::uint32_t value = typ_type(static_cast<std::uint32_t>(type < 0 ? type & 0xff : type));
    return subtype ? (value & ~0xffu) | static_cast<std::uint32_t>(*subtype & 0xff) : value;
}

// ";tags=...", ";marker=...", ";style:...": notes for programs, not names.
bool is_note(std::string_view comment) {
    const auto word_end = std::find_if_not(comment.begin(), comment.end(), [](char c) { return is_alnum_ascii(c) || c == '_'; });
    return word_end != comment.begin() && word_end != comment.end() && (*word_end == '=' || *word_end == ':');
}

enum class Block { None, Id, DrawOrder, Entry, Icons, Ignored };

// The problems it finds are its own until the text is read.
class Reader : detail::ProblemLog {
public:
    explicit Reader(std::string_view bytes) : m_decoded(decode_typ_text(bytes)), m_scan(m_decoded.utf8) {
        m_lines = split_typ_lines(m_decoded.utf8);
        m_doc.charset = m_decoded.charset;
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
        for (TypToken tok = m_scan.next_token(); tok.kind != TokenKind::End; tok = m_scan.next_token()) {
            if (tok.text == ";" || tok.text == "\"") m_scan.skip_line();
            else if (tok.text == "[") open_block(tok.line);
            else if (tok.kind == TokenKind::Word) read_setting(tok);
            if (reopen != 0) open_block(std::exchange(reopen, 0));
        }
        // mkgmap keeps a block only when the next one or an [end] closes it.
        if (m_block == Block::Entry)
            warning(m_entry.first_line, std::string("[_") + section_name(m_entry.section) +
                                            "] is not closed by [end] before the end of the file; mkgmap leaves it out");
        check_labels();
        check_types();
        if (m_doc.entries.empty()) warning(1, "no [_point], [_line] or [_polygon] entry");
        m_doc.problems = std::move(problems);
        std::stable_sort(m_doc.problems.begin(), m_doc.problems.end(),
                         [](const TypProblem& a, const TypProblem& b) { return a.line < b.line; });
        return std::move(m_doc);
    }

private:
    void open_block(std::size_t line) {
        const TypToken name_token = m_scan.next_token();
        const std::string name = to_lower(name_token.text);
        const std::optional<std::string> close = m_scan.expect("]");
        close_block(line, !close && name == "end");
        broken = false;
        m_block = Block::None;
        if (close) return fail(line, "section name \"[" + shown(name_token.text) + "\" is not closed by \"]\"");
        if (name == "end") return;
        const auto section = std::find_if(ALL_SECTIONS.begin(), ALL_SECTIONS.end(),
                                          [&](Section s) { return name == "_" + std::string(section_name(s)); });
        if (section != ALL_SECTIONS.end()) {
            open_entry(*section, line);
        } else if (name == "_draworder") {
            m_block = Block::DrawOrder;
            m_doc.draw_order_tags.push_back(line);
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

    void read_setting(const TypToken& key_token) {
        if (broken) return m_scan.skip_line();
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
        if (key != "type") return problem(line, "not a draw order line: \"" + shown(trim_any_of(m_lines[line - 1], " \t")) + "\"");
        const std::size_t comma = value.find(',');
        if (comma == std::string::npos || value.find(',', comma + 1) != std::string::npos)
            return problem(line, "draw order line is not Type=TYPE,LEVEL: \"" + shown(value) + "\"");
        const std::string_view code = std::string_view(value).substr(0, comma);
        const std::string_view level = std::string_view(value).substr(comma + 1);
        const std::optional<std::int64_t> v = java_decode(code);
        if (!v) return problem(line, "Type= value \"" + shown(code) + "\" is not a number");
        const std::optional<std::int64_t> n = java_parse_int(level);
        if (!n) return problem(line, "draw order level \"" + shown(level) + "\" is not a number");
        m_doc.draw_order.emplace_back(code);
        m_doc.draw_order_lines.push_back(line);
        m_drawn.emplace(type_key(*v < 0 ? *v & 0xff : *v), static_cast<int>(std::clamp<std::int64_t>(*n, 0, 255)));
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
        if (key == "string" || common_key(name, key, value, line)) return;
        if (key != "iconxpm") return unknown_key(name, line);
        read_xpm(m_scratch, value, line, false);
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
            if (!v) problem(line, "Type= value \"" + shown(value) + "\" is not a number");
            else if (entry) m_type = v, m_type_line = line;
        } else if (key == "subtype") {
            const std::optional<std::int64_t> v = java_decode(value);
            if (!v) problem(line, "SubType= value \"" + shown(value) + "\" is not a number");
            else if (entry) e.subtype = value, m_subtype = v;
        } else if (key.rfind("string", 0) == 0) {
            read_label(value, line);
        } else if (key == "xpm") {
            m_day_line = line;
            read_xpm(entry ? e.xpm : m_scratch, value, line, entry && e.section != Section::Point);
        } else if (key == "fontstyle") {
            const std::string v = to_lower(value);
            const bool known = value.rfind("NoLabel", 0) == 0 || v == "nolabel" || v == "smallfont" || v == "small" ||
                               v == "normalfont" || v == "normal" || v == "largefont" || v == "large" || v == "default";
            if (!known) warning(line, "FontStyle \"" + shown(value) + "\" is unknown; mkgmap leaves it out");
            else if (entry) e.font_style = value.rfind("NoLabel", 0) == 0 ? "nolabel" : v;
        } else if (key == "daycustomcolor" || key == "nightcustomcolor") {
            const std::optional<std::string> colour = colour_value(value);
            if (!colour) return problem(line, "\"" + shown(value) + "\" is not a colour"), true;
            if (key == "daycustomcolor") m_day_text = true;
            else m_night_text_line = line;
            if (entry) (key == "daycustomcolor" ? e.day_label_colour : e.night_label_colour) = *colour;
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
        if (m_block != Block::Entry) return;
        const int number = language ? static_cast<int>(*language) : 0;
        m_entry.labels.push_back({number, language ? value.substr(comma + 1) : value, line});
    }

    // With `check`, against what the entry's section takes of a picture.
    void read_xpm(XpmImage& x, const std::string& value, std::size_t line, bool check) {
        if (detail::read_xpm(m_scan, *this, x, value, line, check ? std::optional(m_entry.section) : std::nullopt))
            m_has_xpm = true;
    }

    void close_block(std::size_t line, bool by_end) {
        if (m_block != Block::Entry) return;
        TypEntry& e = m_entry;
        e.last_line = std::max(e.first_line, by_end ? line : line - 1);
        // mkgmap fails on a point without a day picture when it writes it.
        if (!broken && !e.xpm.present)
            problem(e.first_line, std::string("[_") + section_name(e.section) + "] entry without " +
                                      (e.section == Section::Point && m_has_xpm ? "a day picture" : "an Xpm"));
        if (e.type.empty() && !broken) warning(e.first_line, "entry without a Type= line; mkgmap writes it as type 0");
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
        if (m_type)
            m_types.push_back({e.section, type_key(typ_value(*m_type, m_subtype)), m_type_line, m_doc.entries.size()});
        m_doc.entries.push_back(std::move(e));
    }

    // The comment standing alone right before the tag, else the first comment
    // inside the entry that is no note (the polygon library's labels are such
    // comments, language code first).
    std::string entry_name() const {
        const std::size_t open = m_entry.first_line;  // 1-based
        const auto line = [&](std::size_t n) {        // 1-based; "" past the text
            return n >= 1 && n <= m_lines.size() ? trim_any_of(m_lines[n - 1], " \t") : std::string_view();
        };
        const auto is_comment = [&](std::size_t n) { return !line(n).empty() && line(n).front() == ';'; };
        const auto comment = [&](std::size_t n) {  // "" when no comment
            return is_comment(n) ? trim_any_of(line(n).substr(1), " \t") : std::string_view();
        };
        const bool alone = is_comment(open - 1) && !is_comment(open - 2);
        std::string_view name = alone && !is_note(comment(open - 1)) ? comment(open - 1) : std::string_view();
        for (std::size_t n = open + 1; name.empty() && n <= m_entry.last_line && n <= m_lines.size(); ++n) {
            const std::string_view c = comment(n);
            if (c.empty() || is_note(c)) continue;
            name = c;
            const std::size_t comma = name.find(',');
            if (comma != std::string_view::npos && java_decode(name.substr(0, comma))) name = trim_any_of(name.substr(comma + 1), " \t");
        }
        return std::string(name);
    }

    // Against the code page the labels are written in, known once the whole text is read. Those of a last entry
    // that no [end] closed went with it.
    void check_labels() {
        const int code_page = label_code_page(m_doc);
        for (const TypEntry& e : m_doc.entries)
            for (const TypLabel& label : e.labels) {
                const std::size_t chars = char_count(label.text);
                if (chars > 254)
                    problem(label.line, "label is " + std::to_string(chars) + " characters long; mkgmap takes at most 254");
                if (code_page_known(code_page) && to_code_page(label.text, code_page).lost)
                    warning(label.line, "label holds characters that code page " + std::to_string(code_page) +
                                            " cannot hold; mkgmap leaves it out");
            }
    }

    // Duplicates, polygons the draw order leaves out, and point subtypes TYP cannot hold.
    // By lookups: a text may hold a hundred thousand entries.
    void check_types() {
        std::map<std::pair<Section, std::int64_t>, std::size_t> first;
        for (const TypeAt& t : m_types) {
            const auto [earlier, is_first] = first.emplace(std::make_pair(t.section, t.value), t.line);
            if (!is_first)
                warning(t.line, "the type has an entry already at line " + std::to_string(earlier->second) +
                                    "; mkgmap writes both, and a unit draws one of them");
            const auto drawn = m_drawn.find(t.value);
            if (t.section == Section::Polygon && drawn != m_drawn.end()) m_doc.entries[t.entry].draw_level = drawn->second;
            // Only where the text has a draw order: library files are entries alone.
            if (t.section == Section::Polygon && !m_doc.draw_order_tags.empty() && drawn == m_drawn.end())
                warning(t.line, "polygon type is not in the draw order; mkgmap does not draw it");
            if (t.section == Section::Point && t.value >= 0x10000 && (t.value & 0xff) > 0x1f)
                warning(t.line, "extended point subtype is above 0x1f");
        }
    }

    struct TypeAt {
        Section section;
        std::int64_t value;
        std::size_t line;
        std::size_t entry;
    };

    DecodedTypText m_decoded;
    TypScanner m_scan;
    std::vector<std::string_view> m_lines;
    TypDocument m_doc;
    Block m_block = Block::None;
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
    std::map<std::int64_t, int> m_drawn;  // the types of the draw order and their levels, the first line of each
    std::vector<TypeAt> m_types;
};

}  // namespace

TypDocument read_typ_text(std::string_view text) {
    return Reader(text).read();
}

std::optional<std::uint32_t> typ_value_type(std::string_view type_text, std::string_view subtype_text) {
    const std::optional<std::int64_t> type = java_decode(type_text);
    const std::optional<std::int64_t> subtype = java_decode(subtype_text);
    if (!type || (!subtype && !subtype_text.empty())) return std::nullopt;
    return typ_value(*type, subtype);
}

bool has_error(const TypDocument& doc) {
    return std::any_of(doc.problems.begin(), doc.problems.end(),
                       [](const TypProblem& p) { return p.severity == Severity::Error; });
}

}  // namespace tessaro
