#include "typ_update.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "text_util.h"
#include "typ_charset.h"

namespace tessaro {

LabelCoding label_coding(const TypDocument& doc) {
    return {label_code_page(doc), doc.charset == "UTF-8" || is_wide_charset(doc.charset)};
}

LineEnd line_end_of(std::string_view text) {
    const std::size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return LineEnd::CrLf;
    return text[at] == '\n' ? LineEnd::Lf : text.substr(at, 2) == "\r\n" ? LineEnd::CrLf : LineEnd::Cr;
}

namespace {

constexpr std::size_t NONE = static_cast<std::size_t>(-1);

bool is_line_end(char c) { return c == '\n' || c == '\r'; }

// A text by lines, each with its own line end, split as mkgmap's reader splits
// them (and so the reader's line numbers count): at CR LF, a lone CR and a lone LF.
class Lines {
public:
    explicit Lines(std::string_view text) : m_text(text) {
        for (const std::string_view line : split_typ_lines(text))
            m_starts.push_back(static_cast<std::size_t>(line.data() - text.data()));
        m_starts.push_back(text.size());
    }
    std::size_t count() const { return m_starts.size() - 1; }
    // Line n, 1-based, with its line end.
    std::string_view line(std::size_t n) const { return m_text.substr(m_starts[n - 1], m_starts[n] - m_starts[n - 1]); }
    // `last`, or the last of the blank lines right after it: what follows an
    // entry belongs after the blank line that parts it from the next.
    std::size_t through_blanks(std::size_t last) const {
        while (last < count() && line(last + 1).find_first_not_of(" \t\r\n") == std::string_view::npos) ++last;
        return last;
    }

private:
    std::string_view m_text;
    std::vector<std::size_t> m_starts;
};

// Bytes that go in after a line of the old text (0: before its first).
struct Insert {
    std::size_t after = 0;
    int rank = 0;  // at the same line: entries after their section, then a new draw order, then new sections
    std::string bytes;
    const EntryLook* look = nullptr;
};

// The line ends of lines of the fresh run (CR LF, but a library look may
// bring others) as the old text ends its lines.
std::string with_line_ends(std::string_view bytes, std::string_view end) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        if (is_line_end(bytes[i])) out += end;
        else out += bytes[i];
    }
    return out;
}

std::size_t count_line_ends(std::string_view bytes) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) ++n;
    return n;
}

std::string_view line_end_bytes(LineEnd end) {
    switch (end) {
        case LineEnd::CrLf: return "\r\n";
        case LineEnd::Lf: return "\n";
        case LineEnd::Cr: return "\r";
    }
    return "\r\n";
}

// One update, step by step: what the fresh run adds, what becomes of each
// old entry, where the new bytes go, and the text made of both.
class Update {
public:
    Update(std::string_view old_text, const TypDocument& old_doc, const FreshRun& fresh, bool prune)
        : m_old_doc(old_doc), m_fresh(fresh), m_prune(prune), m_lines(old_text),
          m_eol(line_end_bytes(line_end_of(old_text))) {
        m_result.update.done = true;
        m_result.update.pruned = prune;
    }

    UpdatedText make() {
        find_added();
        judge_old_entries();
        plan_inserts();
        write();
        for (const EntryLook& look : m_result.looks) ++m_result.entries[look.section];
        return std::move(m_result);
    }

private:
    // The fresh entries of the types the old text lacks, their draw order
    // lines, and each fresh type's look.
    void find_added() {
        PerSection<TypeSet> old_types{};
        for (const TypEntry& e : m_old_doc.entries)
            if (const std::optional<std::uint32_t> type = entry_type(e)) old_types[e.section].insert(*type);
        TypeSet drawn;
        for (const std::string& code : m_old_doc.draw_order)
            if (const std::optional<std::uint32_t> type = typ_value_type(code)) drawn.insert(*type);
        for (const Entry& e : m_fresh.entries) {
            m_fresh_look[e.section].emplace(e.type, &e.look);
            if (old_types[e.section].contains(e.type)) continue;
            m_added.push_back(&e);
            if (e.section != Section::Polygon) continue;
            const std::optional<std::uint32_t> drawn_type = typ_value_type("0X" + e.draw_order);
            if (drawn_type && drawn.insert(*drawn_type).second)
                m_draw_lines.append("Type=0X").append(e.draw_order).append(",").append(std::to_string(e.level)).append(CRLF);
        }
    }

    // The old entries: kept, or, unused and pruned, dropped with their draw order lines.
    void judge_old_entries() {
        m_dropped.assign(m_lines.count() + 1, false);
        m_entry_at.assign(m_lines.count() + 1, NONE);
        m_unused_at.assign(m_old_doc.entries.size(), NONE);
        m_old_looks.resize(m_old_doc.entries.size());
        for (std::size_t i = 0; i < m_old_doc.entries.size(); ++i) judge_old_entry(i);
        if (m_prune && m_fresh.sections[Section::Polygon])
            for (std::size_t i = 0; i < m_old_doc.draw_order.size(); ++i) {
                const std::optional<std::uint32_t> type = typ_value_type(m_old_doc.draw_order[i]);
                if (type && !m_fresh.types[Section::Polygon].contains(*type)) m_dropped[m_old_doc.draw_order_lines[i]] = true;
            }
    }

    void judge_old_entry(std::size_t i) {
        TypUpdate& update = m_result.update;
        const TypEntry& e = m_old_doc.entries[i];
        m_entry_at[e.first_line] = i;
        m_section_end[e.section] = m_lines.through_blanks(e.last_line);
        if (e.section == Section::Polygon && m_first_polygon == 0) m_first_polygon = e.first_line;
        const std::optional<std::uint32_t> type = entry_type(e);
        // A section the run left out is not the style's to judge.
        const bool unused = m_fresh.sections[e.section] && type && !m_fresh.types[e.section].contains(*type);
        EntryLook& look = m_old_looks[i];
        look.section = e.section;
        look.code = e.type;
        look.source = unused ? LookSource::Unused : LookSource::Kept;
        if (type)
            if (const auto found = m_fresh_look[e.section].find(*type); found != m_fresh_look[e.section].end())
                look.condition = found->second->condition;
        if (!unused) {
            ++update.kept;
            return;
        }
        ++update.unused;
        m_unused_at[i] = update.unused_entries.size();
        update.unused_entries.push_back({e.section, e.type, e.first_line});
        // With the blank line that parted it from the next, as a new entry comes with one.
        if (m_prune)
            std::fill(m_dropped.begin() + static_cast<std::ptrdiff_t>(e.first_line),
                      m_dropped.begin() + static_cast<std::ptrdiff_t>(m_lines.through_blanks(e.last_line)) + 1, true);
    }

    // Where the new bytes go: each section's new entries after its last old
    // one (or at the end), new draw order lines after the old ones.
    void plan_inserts() {
        const std::size_t line_count = m_lines.count();
        constexpr Section FRESH_ORDER[] = {Section::Polygon, Section::Line, Section::Point};
        for (const Section s : FRESH_ORDER)
            for (const Entry* e : m_added)
                if (e->section == s)
                    m_inserts.push_back({m_section_end[s] != 0 ? m_section_end[s] : line_count, m_section_end[s] != 0 ? 0 : 2,
                                         with_line_ends(e->text + CRLF, m_eol), &e->look});
        if (!m_draw_lines.empty()) {
            // After the last draw order line, else the last draw order tag.
            const std::vector<std::size_t>& old = m_old_doc.draw_order_lines.empty() ? m_old_doc.draw_order_tags
                                                                                    : m_old_doc.draw_order_lines;
            if (!old.empty()) {
                m_inserts.push_back({old.back(), 0, with_line_ends(m_draw_lines, m_eol)});
            } else {
                const std::string block = std::string("[_drawOrder]") + CRLF + m_draw_lines + "[End]" + CRLF + CRLF;
                m_inserts.push_back({m_first_polygon != 0 ? m_first_polygon - 1 : line_count, 1, with_line_ends(block, m_eol)});
            }
        }
        std::stable_sort(m_inserts.begin(), m_inserts.end(), [](const Insert& a, const Insert& b) {
            return a.after != b.after ? a.after < b.after : a.rank < b.rank;
        });
    }

    void write() {
        TypUpdate& update = m_result.update;
        std::string& out = m_result.text;
        std::size_t out_lines = 0;
        const auto put = [&](std::string_view bytes) {
            // After a last line without a line end.
            if (!out.empty() && !is_line_end(out.back())) out += m_eol, ++out_lines;
            out += bytes;
            out_lines += count_line_ends(bytes);
        };
        auto next = m_inserts.begin();
        for (std::size_t line = 0; line <= m_lines.count(); ++line) {
            if (line > 0 && !m_dropped[line]) {
                if (const std::size_t i = m_entry_at[line]; i != NONE) {
                    if (m_unused_at[i] != NONE) update.unused_entries[m_unused_at[i]].line = out_lines + 1;
                    m_result.looks.push_back(std::move(m_old_looks[i]));
                }
                put(m_lines.line(line));
            }
            for (; next != m_inserts.end() && next->after == line; ++next) {
                put(next->bytes);
                if (next->look != nullptr) {
                    m_result.looks.push_back(*next->look);
                    ++update.added;
                }
            }
        }
    }

    const TypDocument& m_old_doc;
    const FreshRun& m_fresh;
    const bool m_prune;
    const Lines m_lines;
    const std::string_view m_eol;
    UpdatedText m_result;
    std::vector<const Entry*> m_added;
    PerSection<std::unordered_map<std::uint32_t, const EntryLook*>> m_fresh_look{};
    std::string m_draw_lines;
    std::vector<bool> m_dropped;
    std::vector<std::size_t> m_entry_at;
    std::vector<std::size_t> m_unused_at;
    std::vector<EntryLook> m_old_looks;
    PerSection<std::size_t> m_section_end{};  // the line after which new entries of the section go; 0: none
    std::size_t m_first_polygon = 0;
    std::vector<Insert> m_inserts;
};

}  // namespace

UpdatedText update_typ_text(std::string_view old_text, const TypDocument& old_doc, const FreshRun& fresh, bool prune) {
    return Update(old_text, old_doc, fresh, prune).make();
}

}  // namespace tessaro
