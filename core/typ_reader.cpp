#include "typ_reader.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "text_util.h"

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

bool starts_with_ci(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && find_ci(s.substr(0, prefix.size()), prefix) == 0;
}

bool is_hex_code(std::string_view s) {
    if (s.size() < 3 || s[0] != '0' || lower_char(s[1]) != 'x') return false;
    return std::all_of(s.begin() + 2, s.end(), is_hex_digit);
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

std::optional<Section> entry_section(std::string_view tag) {
    if (tag == "[_point]") return Section::Point;
    if (tag == "[_line]") return Section::Line;
    if (tag == "[_polygon]") return Section::Polygon;
    return std::nullopt;
}

class Reader {
public:
    explicit Reader(std::string_view text) : m_lines(split_lines(text)) {}

    TypDocument read() {
        while (m_next < m_lines.size()) {
            const std::size_t n = m_next++;
            const std::string_view line = trimmed(m_lines[n]);
            if (line.empty() || line.front() == ';') continue;
            const std::string lower = to_lower(line);
            if (const auto section = entry_section(lower)) {
                read_entry(*section, n);
            } else if (lower == "[_draworder]") {
                read_draw_order(n);
            } else if (lower == "[_id]") {
                skip_block(n, "[_id]");
            } else {
                problem(n, "text outside any entry: \"" + std::string(line.substr(0, 40)) + "\"");
            }
        }
        std::stable_sort(m_doc.problems.begin(), m_doc.problems.end(),
                         [](const TypProblem& a, const TypProblem& b) { return a.line < b.line; });
        return std::move(m_doc);
    }

private:
    void problem(std::size_t index, std::string message) { m_doc.problems.push_back({index + 1, std::move(message)}); }

    static bool is_end(std::string_view line) { return to_lower(trimmed(line)) == "[end]"; }
    static bool is_tag(std::string_view line) {
        line = trimmed(line);
        return line.size() > 2 && line.front() == '[' && line.back() == ']';
    }

    // Stops in front of the next tag when the block has no end marker.
    bool block_closed(std::size_t open, const char* what) {
        if (m_next < m_lines.size() && is_end(m_lines[m_next])) {
            ++m_next;
            return true;
        }
        problem(open, std::string(what) + " opened here is not closed by [end]");
        return false;
    }

    void skip_block(std::size_t open, const char* what) {
        while (m_next < m_lines.size() && !is_tag(m_lines[m_next])) ++m_next;
        block_closed(open, what);
    }

    void read_draw_order(std::size_t open) {
        while (m_next < m_lines.size() && !is_tag(m_lines[m_next])) {
            const std::size_t n = m_next++;
            const std::string_view line = trimmed(m_lines[n]);
            if (line.empty() || line.front() == ';') continue;
            if (!starts_with_ci(line, "type=")) {
                problem(n, "not a draw order line: \"" + std::string(line.substr(0, 40)) + "\"");
                continue;
            }
            const std::string_view value = line.substr(5);
            const std::string_view code = value.substr(0, value.find(','));
            if (!is_hex_code(code)) problem(n, "Type= value \"" + std::string(code) + "\" is not a hexadecimal code");
            else m_doc.draw_order.emplace_back(code);
        }
        block_closed(open, "[_drawOrder]");
    }

    void read_entry(Section section, std::size_t open) {
        TypEntry e;
        e.section = section;
        e.first_line = open + 1;
        e.text = std::string(m_lines[open]);
        bool has_type = false;
        while (m_next < m_lines.size() && !is_tag(m_lines[m_next])) {
            const std::size_t n = m_next++;
            e.text += '\n';
            e.text += m_lines[n];
            const std::string_view line = trimmed(m_lines[n]);
            if (line.empty() || line.front() == ';') continue;
            const std::size_t eq = line.find('=');
            const std::string key = to_lower(line.substr(0, eq == std::string_view::npos ? 0 : eq));
            const std::string_view value = eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
            if (key == "type") {
                has_type = true;
                e.type = std::string(value);
                if (!is_hex_code(value)) problem(n, "Type= value \"" + e.type + "\" is not a hexadecimal code");
            } else if (key == "string1" && e.label.empty()) {
                const std::size_t comma = value.find(',');
                e.label = std::string(comma == std::string_view::npos ? value : value.substr(comma + 1));
            } else if (key == "linewidth" || key == "borderwidth") {
                const std::optional<int> v = to_int(value);
                if (!v || *v < 0) problem(n, std::string(line.substr(0, eq)) + " is not a width: \"" + std::string(value) + "\"");
                else (key == "linewidth" ? e.line_width : e.border_width) = *v;
            } else if ((key == "xpm" || key == "dayxpm") && !e.xpm.present) {
                read_xpm(e, n, value);
            }
        }
        if (!has_type) problem(open, "entry without a Type= line");
        if (m_next < m_lines.size() && is_end(m_lines[m_next])) {
            e.text += '\n';
            e.text += m_lines[m_next];
            e.last_line = m_next + 1;
            ++m_next;
        } else {
            problem(open, std::string("[_") + section_name(section) + "] opened here is not closed by [end]");
            e.last_line = m_next;
        }
        m_doc.entries.push_back(std::move(e));
    }

    // The header line, then the colour lines and rows that follow it.
    void read_xpm(TypEntry& e, std::size_t n, std::string_view value) {
        XpmImage& x = e.xpm;
        x.present = true;
        const auto header = unquoted(value);
        int numbers[4] = {0, 0, 0, 0};
        std::size_t count = 0;
        if (header) {
            std::string_view rest = trimmed(*header);
            while (!rest.empty() && count < 5) {
                const std::size_t blank = rest.find(' ');
                const auto v = to_int(rest.substr(0, blank));
                if (!v || *v < 0 || count == 4) {
                    count = 5;
                    break;
                }
                numbers[count++] = *v;
                rest = blank == std::string_view::npos ? std::string_view() : trimmed(rest.substr(blank));
            }
        }
        if (!header || count != 4) {
            problem(n, "Xpm header is not \"width height colours chars-per-pixel\"");
            return;
        }
        x.width = numbers[0];
        x.height = numbers[1];
        x.colour_count = numbers[2];
        x.chars_per_pixel = numbers[3];

        const auto cpp = static_cast<std::size_t>(x.chars_per_pixel);
        while (m_next < m_lines.size()) {
            const auto q = unquoted(m_lines[m_next]);
            const std::size_t c = q ? q->find(" c ", cpp == 0 ? 0 : cpp) : std::string_view::npos;
            if (!q || c == std::string_view::npos || (cpp > 0 && c != cpp)) break;
            x.colours.push_back({std::string(q->substr(0, cpp)), std::string(trimmed(q->substr(c + 3)))});
            append_line(e);
        }
        if (x.colours.size() != static_cast<std::size_t>(x.colour_count))
            problem(n, "Xpm declares " + std::to_string(x.colour_count) + " colours but " +
                           std::to_string(x.colours.size()) + " colour lines follow");
        const std::size_t row_width = static_cast<std::size_t>(x.width) * cpp;
        while (m_next < m_lines.size()) {
            const auto q = unquoted(m_lines[m_next]);
            if (!q) break;
            if (q->size() != row_width)
                problem(m_next, "XPM row is " + std::to_string(cpp == 0 ? q->size() : q->size() / cpp) +
                                    " pixels wide, not " + std::to_string(x.width));
            x.rows.emplace_back(*q);
            append_line(e);
        }
        if (x.rows.size() != static_cast<std::size_t>(x.height))
            problem(n, "Xpm declares " + std::to_string(x.height) + " rows but " + std::to_string(x.rows.size()) +
                           " follow");
    }

    void append_line(TypEntry& e) {
        e.text += '\n';
        e.text += m_lines[m_next++];
    }

    std::vector<std::string_view> m_lines;
    std::size_t m_next = 0;
    TypDocument m_doc;
};

}  // namespace

TypDocument read_typ_text(std::string_view text) {
    return Reader(text).read();
}

}  // namespace tessaro
