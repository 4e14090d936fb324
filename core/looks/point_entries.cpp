#include "point_entries.h"

#include "entry_builder.h"
#include "point_markers.h"
#include "text_util.h"

namespace tessaro {

void add_point_entries(Conversion& cv, const std::string& path) {
    cv.open_rules(path);
    for (const RuleItem& hit : cv.rules.items()) {
        // Most items repeat a type already written: only a new one is built as text.
        if (!cv.new_type(Section::Point, hit, path)) continue;
        const std::string code = typ_code(hit.code, *hit.value);

        // The label follows the code's word, from the item's "@" on.
        const std::string text = hit.text();
        const std::string_view item = trim_blanks(text);
        std::string_view label = trim_blanks(item.substr(item.find(' ') + 1));
        label = label.substr(label.find('@') + 1);
        // The library's look of the code (unless the rule means another), else the look its tags point to, else its category's marker.
        EntryLook look = cv.entry_look(LookSource::Library, hit);
        std::string entry = cv.library_look(Section::Point, code, label);
        if (!entry.empty()) {
            if (std::optional<std::string> meant = cv.look_over_code(Section::Point, code, hit, label, entry, look))
                entry = std::move(*meant);
        } else {
            if (std::optional<std::string> by_tags = cv.look_by_tags(Section::Point, code, hit, label, look)) {
                entry = std::move(*by_tags);
            } else if (!cv.classic_looks) {
                look.source = LookSource::Marker;
                const std::uint32_t type = section_type(Section::Point, *hit.value);
                entry = point_marker(code, type, cv.include_tag_text ? cv.label(Section::Point, code, label) : std::string());
            } else {
                continue;
            }
        }
        cv.add_entry(Section::Point, entry_text(Section::Point, entry), std::move(look));
    }
    cv.close_rules();
}

}  // namespace tessaro
