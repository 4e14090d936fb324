#include "typ_update.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "text_util.h"
#include "typ_charset.h"

namespace tessaro {

namespace {

constexpr std::size_t NONE = static_cast<std::size_t>(-1);

bool is_line_end(char c) { return c == '\n' || c == '\r'; }

// A text by lines, each with its own line end, split as mkgmap's reader splits
// them (and so the reader's line numbers count): at CR LF, a lone CR and a lone LF.
class Lines {
public:
    explicit Lines(std::string_view text) : m_text(text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (is_line_end(text[i]) && i + 1 < text.size()) m_starts.push_back(i + 1);
        }
        m_starts.push_back(text.size());
    }
    std::size_t count() const { return m_starts.size() - 1; }
    // Lines first to last, 1-based, inclusive.
    std::string_view span(std::size_t first, std::size_t last) const {
        return m_text.substr(m_starts[first - 1], m_starts[last] - m_starts[first - 1]);
    }
    // `last`, or the last of the blank lines right after it: what follows an
    // entry belongs after the blank line that parts it from the next.
    std::size_t through_blanks(std::size_t last) const {
        while (last < count() && span(last + 1, last + 1).find_first_not_of(" \t\r\n") == std::string_view::npos) ++last;
        return last;
    }

private:
    std::string_view m_text;
    std::vector<std::size_t> m_starts{0};
};

// The run keeps the style's types as TYP types, as the reader reads the text's.
bool style_uses(const TypeSet& types, std::uint32_t type) {
    return types.contains(type);
}

std::uint64_t key_of(Section section, std::uint32_t type) {
    return (std::uint64_t{static_cast<unsigned>(section)} << 32) | type;
}

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
        if (!is_line_end(bytes[i])) {
            out += bytes[i];
            continue;
        }
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        out += end;
    }
    return out;
}

std::size_t count_line_ends(std::string_view bytes) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) ++n;
    return n;
}

}  // namespace

LineEnd line_end_of(std::string_view text) {
    const std::size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return LineEnd::CrLf;
    if (text[at] == '\n') return LineEnd::Lf;
    return at + 1 < text.size() && text[at + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
}

std::string_view line_end_bytes(LineEnd end) {
    switch (end) {
        case LineEnd::CrLf: return "\r\n";
        case LineEnd::Lf: return "\n";
        case LineEnd::Cr: return "\r";
    }
    return "\r\n";
}

LabelCoding label_coding(const TypDocument& doc) {
    return {label_code_page(doc), doc.charset == "UTF-8" || is_wide_charset(doc.charset)};
}

UpdatedText update_typ_text(std::string_view old_text, const TypDocument& old_doc, const FreshRun& fresh, bool prune) {
    UpdatedText result;
    TypUpdate& update = result.update;
    update.done = true;
    update.pruned = prune;
    const Lines old_lines(old_text);
    const std::string_view eol = line_end_bytes(line_end_of(old_text));
    const TypDocument fresh_doc = read_typ_text(fresh.text);
    const Lines fresh_lines(fresh.text);

    PerSection<TypeSet> old_types{};
    for (const TypEntry& e : old_doc.entries)
        if (const std::optional<std::uint32_t> type = entry_type(e)) old_types[e.section].insert(*type);
    TypeSet drawn;
    for (const std::string& code : old_doc.draw_order)
        if (const std::optional<std::uint32_t> type = typ_value_type(code)) drawn.insert(*type);

    // The fresh entries of the types the old text lacks, and each fresh type's look.
    std::vector<EntryLook> added_looks;
    added_looks.reserve(fresh_doc.entries.size());
    std::vector<std::pair<const TypEntry*, std::size_t>> added;  // the entry and its look
    TypeSet added_polygons;
    std::unordered_map<std::uint64_t, const EntryLook*> fresh_look;
    const bool paired = fresh_doc.entries.size() == fresh.looks.size();
    for (std::size_t i = 0; i < fresh_doc.entries.size(); ++i) {
        const TypEntry& e = fresh_doc.entries[i];
        const std::optional<std::uint32_t> type = entry_type(e);
        if (!type) continue;
        if (paired) fresh_look.emplace(key_of(e.section, *type), &fresh.looks[i]);
        if (old_types[e.section].contains(*type)) continue;
        EntryLook look = paired ? fresh.looks[i] : EntryLook{};
        look.section = e.section;
        if (look.code.empty()) look.code = e.type;
        added_looks.push_back(std::move(look));
        added.emplace_back(&e, added_looks.size() - 1);
        if (e.section == Section::Polygon) added_polygons.insert(*type);
    }
    std::string draw_lines;
    for (std::size_t i = 0; i < fresh_doc.draw_order.size(); ++i) {
        const std::optional<std::uint32_t> type = typ_value_type(fresh_doc.draw_order[i]);
        if (!type || !added_polygons.contains(*type) || !drawn.insert(*type)) continue;
        const std::size_t line = fresh_doc.draw_order_lines[i];
        draw_lines += fresh_lines.span(line, line);
    }

    // The old entries: kept, or, unused and pruned, dropped with their draw order lines.
    const std::size_t line_count = old_lines.count();
    std::vector<bool> dropped(line_count + 1, false);
    std::vector<std::size_t> entry_at(line_count + 1, NONE);
    std::vector<std::size_t> unused_at(old_doc.entries.size(), NONE);
    std::vector<EntryLook> old_looks(old_doc.entries.size());
    PerSection<std::size_t> section_end{};  // the line after which new entries of the section go; 0: none
    std::size_t first_polygon = 0;
    for (std::size_t i = 0; i < old_doc.entries.size(); ++i) {
        const TypEntry& e = old_doc.entries[i];
        entry_at[e.first_line] = i;
        section_end[e.section] = old_lines.through_blanks(e.last_line);
        if (e.section == Section::Polygon && first_polygon == 0) first_polygon = e.first_line;
        const std::optional<std::uint32_t> type = entry_type(e);
        // A section the run left out is not the style's to judge.
        const bool unused = fresh.sections[e.section] && type && !style_uses(fresh.types[e.section], *type);
        EntryLook& look = old_looks[i];
        look.section = e.section;
        look.code = e.type;
        look.source = unused ? LookSource::Unused : LookSource::Kept;
        if (type)
            if (const auto found = fresh_look.find(key_of(e.section, *type)); found != fresh_look.end())
                look.condition = found->second->condition;
        if (!unused) {
            ++update.kept;
            continue;
        }
        ++update.unused;
        unused_at[i] = update.unused_entries.size();
        update.unused_entries.push_back({e.section, e.type, e.first_line});
        // With the blank line that parted it from the next, as a new entry comes with one.
        if (prune) std::fill(dropped.begin() + static_cast<std::ptrdiff_t>(e.first_line),
                             dropped.begin() + static_cast<std::ptrdiff_t>(old_lines.through_blanks(e.last_line)) + 1,
                             true);
    }
    if (prune && fresh.sections[Section::Polygon])
        for (std::size_t i = 0; i < old_doc.draw_order.size(); ++i) {
            const std::optional<std::uint32_t> type = typ_value_type(old_doc.draw_order[i]);
            if (type && !style_uses(fresh.types[Section::Polygon], *type)) dropped[old_doc.draw_order_lines[i]] = true;
        }

    // Where the new bytes go.
    std::vector<Insert> inserts;
    constexpr Section FRESH_ORDER[] = {Section::Polygon, Section::Line, Section::Point};
    for (const Section s : FRESH_ORDER)
        for (const auto& [e, look] : added)
            if (e->section == s)
                inserts.push_back({section_end[s] != 0 ? section_end[s] : line_count, section_end[s] != 0 ? 0 : 2,
                                   with_line_ends(fresh_lines.span(e->first_line, fresh_lines.through_blanks(e->last_line)), eol),
                                   &added_looks[look]});
    if (!draw_lines.empty()) {
        if (!old_doc.draw_order_lines.empty()) {
            inserts.push_back({old_doc.draw_order_lines.back(), 0, with_line_ends(draw_lines, eol)});
        } else if (!old_doc.draw_order_tags.empty()) {
            inserts.push_back({old_doc.draw_order_tags.back(), 0, with_line_ends(draw_lines, eol)});
        } else {
            const std::string draw_block = std::string("[_drawOrder]") + CRLF + draw_lines + "[End]" + CRLF + CRLF;
            inserts.push_back({first_polygon != 0 ? first_polygon - 1 : line_count, 1, with_line_ends(draw_block, eol)});
        }
    }
    std::stable_sort(inserts.begin(), inserts.end(), [](const Insert& a, const Insert& b) {
        return a.after != b.after ? a.after < b.after : a.rank < b.rank;
    });

    std::string& out = result.text;
    out.reserve(old_text.size() + fresh.text.size());
    std::size_t out_lines = 0;
    const auto put = [&](std::string_view bytes) {
        // After a last line without a line end.
        if (!out.empty() && !is_line_end(out.back())) out += eol, ++out_lines;
        out += bytes;
        out_lines += count_line_ends(bytes);
    };
    auto next = inserts.begin();
    for (std::size_t line = 0; line <= line_count; ++line) {
        if (line > 0 && !dropped[line]) {
            if (const std::size_t i = entry_at[line]; i != NONE) {
                if (unused_at[i] != NONE) update.unused_entries[unused_at[i]].line = out_lines + 1;
                result.looks.push_back(std::move(old_looks[i]));
            }
            put(old_lines.span(line, line));
        }
        for (; next != inserts.end() && next->after == line; ++next) {
            put(next->bytes);
            if (next->look != nullptr) {
                result.looks.push_back(*next->look);
                ++update.added;
            }
        }
    }
    for (const EntryLook& look : result.looks) ++result.entries[look.section];
    return result;
}

}  // namespace tessaro
