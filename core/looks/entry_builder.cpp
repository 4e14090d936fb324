#include "entry_builder.h"

#include <algorithm>

#include "tag_looks.h"
#include "text_util.h"
#include "typ_reader.h"
#include "type_code.h"

namespace tessaro {

std::string library_key(Section section, std::string_view code) {
    const std::size_t ox = find_ci(code, "0x");
    std::string key(ox == std::string_view::npos ? code : code.substr(ox + 2));
    if (key.size() == 4) key.insert(0, "0");
    switch (section) {
        case Section::Line:
            if (key.size() < 3) key.insert(0, 3 - key.size(), '0');
            if (key.size() == 3) key += "00";
            break;
        case Section::Polygon:
            if (key.size() < 2) key.insert(0, "0");
            if (key.size() == 5) {
                if (key[0] == '0') key = key.substr(1, 2);
                else if (key.compare(3, 2, "00") == 0) key.resize(3);
            }
            break;
        case Section::Point:
            break;
    }
    return key;
}

namespace {

// Where the label line goes: the start of the line that holds the first "Extended" (else "Xpm"), so that a key such
// as "DayXpm=" stays whole; never the code's own line ("0Xpm"), so an entry of one line gets no label.
std::size_t label_position(std::string_view entry) {
    const std::size_t body = entry.find('\n');
    if (body == std::string::npos) return body;
    std::size_t k = entry.find("Extended", body);
    if (k == std::string::npos) k = entry.find("Xpm", body);
    if (k == std::string::npos) return k;
    return entry.rfind('\n', k) + 1;
}

}  // namespace

LibraryLook find_library_look(Section section, std::string_view code, std::string_view condition, const LibraryText& library,
                     bool include_tag_text, bool named, LabelCoding labels, LookVerdicts* verdicts) {
    LibraryLook look;
    const std::size_t at = library.find_type(library_key(section, code));
    if (at == std::string::npos) return look;
    const LibraryText::Entry entry = library.entry_at(at);
    if (entry.broken) {
        look.broken = Warning{Warning::Kind::LibraryEntryBroken, library.path(), entry.line, std::string(entry.code)};
        return look;
    }
    // Copied, a look that mkgmap refuses would break the whole TYP text. A
    // sealed library's looks were proven when it was made.
    const auto refused = [&] { return !library.sealed() && has_error(read_typ_text(entry_text(section, entry.look))); };
    bool refuses = false;
    if (verdicts == nullptr) refuses = refused();
    else if (const auto known = verdicts->find(at); known != verdicts->end()) refuses = known->second;
    else refuses = verdicts->emplace(at, refused()).first->second;
    if (refuses) {
        const std::string_view written = entry.look.substr(0, find_any(entry.look, " \t\r\n"));
        look.broken = Warning{Warning::Kind::LibraryEntryBroken, library.path(), library.line_at(at), std::string(written)};
        return look;
    }
    // Read where it stands in the library; copied once, with its label if it gets one.
    std::string_view text = entry.look;
    // A look borrowed from another type (a polygon's 0x5001 finds 0x50's)
    // becomes the entry of the code's own type: under its code.
    std::string retyped;
    const std::optional<std::uint32_t> value = find_ci(code, "0x") == 0 ? code_value(code) : std::nullopt;
    const std::optional<std::uint32_t> entry_value = code_value(text.substr(0, find_any(text, " \t\r\n")));
    if (value && entry_value && code_typ_type(section, *value) != typ_type(*entry_value)) {
        const std::size_t line_end = std::min(find_line_end(text), text.size());
        retyped.append(code).append(text.substr(line_end));
        text = retyped;
    }
    std::string_view name;
    const std::size_t name_at = include_tag_text || !named ? std::string_view::npos : text.find("\n;name=");
    if (name_at != std::string_view::npos) {
        name = text.substr(name_at + 7);
        name = trim_blanks(name.substr(0, find_line_end(name)));
    }
    // No label over one of the look's own.
    const bool labelled = (include_tag_text || !name.empty()) && text.find("String1=") == std::string_view::npos;
    look.label_dropped = include_tag_text && !labelled;
    const std::size_t k = labelled ? label_position(text) : std::string::npos;
    if (k == std::string::npos) {
        look.entry = std::string(text);
        return look;
    }
    const CodePageText label = make_label(include_tag_text ? condition : name, labels);
    look.label_lost = label.lost;
    look.entry.reserve(text.size() + label.bytes.size() + 20);
    look.entry.append(text.substr(0, k));
    // (The rule's label has always come after a blank line: kept for the classic output.)
    if (include_tag_text) look.entry.append(CRLF);
    look.entry.append("String1=0x04,").append(label.bytes).append(CRLF).append(text.substr(k));
    return look;
}

std::string entry_text(Section section, std::string_view look) {
    const std::string_view tag = section == Section::Point  ? "[_point]"
                                 : section == Section::Line ? "[_line]"
                                                            : "[_polygon]";
    std::string e;
    e.reserve(tag.size() + look.size() + 20);
    e.append(tag).append(CRLF).append("Type=").append(look).append(CRLF).append("[end]").append(CRLF);
    return e;
}

namespace {

bool is_number(std::string_view s) {
    const std::size_t sign = s.starts_with('-') ? 1 : 0;
    return s.size() > sign && std::all_of(s.begin() + sign, s.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

bool says_yes(std::string_view value) {
    const std::string v = to_lower(value);
    return v == "*" || v == "yes" || v == "true";
}

bool says_no(std::string_view value) {
    const std::string v = to_lower(value);
    return v == "no" || v == "false";
}

// Keys that say how a feature is, not what it is.
bool qualifies_only(std::string_view key) {
    static constexpr std::string_view QUALIFIERS[] = {"name", "area", "layer", "access", "oneway", "bridge",
                                                      "tunnel", "level", "mkgmap:label:1", "mkgmap:admin_level2"};
    return std::find(std::begin(QUALIFIERS), std::end(QUALIFIERS), key) != std::end(QUALIFIERS);
}

std::string words(std::string_view text) {
    if (text.starts_with("mkgmap:")) text.remove_prefix(7);
    std::string out(text);
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '_' || c == ':'; }, ' ');
    return out;
}

// The label of one tag, and how telling it is: 3 a plain value, 2 the key with
// a value that says nothing alone; one less for a key that only qualifies.
std::pair<int, std::string> tag_label(const RuleTag& tag) {
    const int qualifier = qualifies_only(tag.key) ? 1 : 0;
    if (says_yes(tag.value)) return {2 - qualifier, words(tag.key)};
    if (says_no(tag.value)) return {2 - qualifier, "no " + words(tag.key)};
    if (is_number(tag.value)) return {2 - qualifier, words(tag.key) + " " + tag.value};
    return {3 - qualifier, words(tag.value)};
}

}  // namespace

std::string feature_label(std::string_view condition) {
    int best = 0;
    std::string label;
    for (const RuleTag& tag : positive_tags(condition)) {
        auto [telling, text] = tag_label(tag);
        if (telling > best && !trim_blanks(text).empty()) {
            best = telling;
            label = std::move(text);
        }
    }
    if (best > 0) return std::string(trim_blanks(label));
    // A condition of plain words (a bare key) names the feature as it stands.
    const std::string_view plain = trim_blanks(condition);
    const bool words_only = std::all_of(plain.begin(), plain.end(), [](char c) {
        return is_alnum_ascii(c) || c == '_' || c == '-' || c == ' ' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
    });
    return words_only && !says_yes(plain) && !says_no(plain) && !is_number(plain) ? words(plain) : std::string();
}

CodePageText make_label(std::string_view text, LabelCoding labels) {
    CodePageText label = to_code_page(text, labels.code_page);
    if (label.bytes.size() > MAX_LABEL_BYTES) {
        std::size_t cut = MAX_LABEL_BYTES;
        // UTF-8 is cut before the character the cut would fall in.
        if (labels.code_page == UTF8_CODE_PAGE)
            while (cut > 0 && (static_cast<unsigned char>(label.bytes[cut]) & 0xC0) == 0x80) --cut;
        label.bytes.resize(cut);
    }
    // One byte a character until here: the cut counted characters.
    if (labels.utf8 && labels.code_page != UTF8_CODE_PAGE)
        label.bytes = code_page_to_utf8_marked(label.bytes, labels.code_page, label.lost);
    return label;
}

}  // namespace tessaro
