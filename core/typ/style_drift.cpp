#include "style_drift.h"

#include <optional>

#include "rule_reader.h"
#include "style_files.h"
#include "style_folder.h"
#include "type_code.h"

namespace tessaro {

StyleTypes list_style_types(const CreateTypRequest& request) {
    StyleTypes found;
    RuleReader rules;
    PerSection<TypeSet> seen{};
    const auto read_file = [&](Section section, const std::string& path) {
        rules.open(path);
        for (const RuleItem& item : rules.items()) {
            if (!item.value) continue;
            // One type for each entry a TYP text can hold, as the run keeps them.
            const std::uint32_t type = code_typ_type(section, *item.value);
            if (!seen[section].insert(type).second) continue;
            found.types.push_back({section, type, std::string(item.code), path, item.line});
        }
        if (std::optional<Failure> failure = rules.close()) found.failures.push_back(std::move(*failure));
        for (Warning& fault : rules.take_faults()) found.faults.push_back(std::move(fault));
    };
    // What the run would warn of (statements not followed, a missing other
    // style) is no finding about the TYP text; what it refuses is.
    for (const auto& step : plan_style_files(request, list_style(request.style_folder).kinds)) {
        if (const StyleFile* file = std::get_if<StyleFile>(&step)) read_file(file->section, file->path);
        else if (const Failure* f = std::get_if<Failure>(&step)) found.failures.push_back(*f);
    }
    return found;
}

std::vector<StyleDrift> find_style_drift(const TypDocument& doc, const std::vector<StyleType>& types) {
    PerSection<TypeSet> entries{};
    PerSection<TypeSet> used{};
    TypeSet drawn;
    for (const TypEntry& e : doc.entries)
        if (const std::optional<std::uint32_t> type = entry_type(e)) entries[e.section].insert(*type);
    for (const std::string& code : doc.draw_order)
        if (const std::optional<std::uint32_t> type = typ_value_type(code)) drawn.insert(*type);
    std::vector<StyleDrift> drift;
    for (const StyleType& t : types) {
        used[t.section].insert(t.type);
        if (!entries[t.section].contains(t.type))
            drift.push_back({StyleDrift::Kind::NoEntry, t.section, t.code, t.file, t.line});
    }
    for (const TypEntry& e : doc.entries) {
        const std::optional<std::uint32_t> type = entry_type(e);
        // A Type= that is no code is among the reader's problems already.
        if (!type) continue;
        if (!used[e.section].contains(*type))
            drift.push_back({StyleDrift::Kind::NotInStyle, e.section, e.type, {}, e.first_line});
        else if (e.section == Section::Polygon && !drawn.contains(*type))
            drift.push_back({StyleDrift::Kind::NoDrawOrder, e.section, e.type, {}, e.first_line});
    }
    return drift;
}

}  // namespace tessaro
