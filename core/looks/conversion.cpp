#include "conversion.h"

#include <algorithm>
#include <map>

#include "text_util.h"

namespace tessaro {

std::string Conversion::library_look(Section section, std::string_view code, std::string_view condition,
                                     std::string_view type_code) {
    LibraryLook look = find_library_look(section, code, condition, libraries[section], include_tag_text, !classic_looks, labels,
                                         &verdicts[section]);
    if (look.label_dropped) report.label_dropped = true;
    if (look.label_lost) note_lost_label(section, type_code.empty() ? code : type_code);
    // Said once for each broken entry, however many codes lead to it.
    if (look.broken && std::find(report.warnings.begin(), report.warnings.end(), *look.broken) == report.warnings.end())
        report.warnings.push_back(std::move(*look.broken));
    return std::move(look.entry);
}

std::string Conversion::label(Section section, std::string_view code, std::string_view text) {
    CodePageText made = make_label(text, labels);
    if (made.lost) note_lost_label(section, code);
    return std::move(made.bytes);
}

std::string Conversion::rule_text_label(Section section, std::string_view code, std::string_view text,
                                        std::string_view condition) {
    pending.label = label(section, code, classic_looks || include_tag_text ? std::string(text) : feature_label(condition));
    return pending.label;
}

void Conversion::note_lost_label(Section section, std::string_view code) {
    if (lost_labels_warning) {
        ++report.warnings[*lost_labels_warning].count;
        return;
    }
    lost_labels_warning = report.warnings.size();
    Warning w{Warning::Kind::LabelNotInCodePage, {}, 0, std::string(code)};
    w.section = section;
    w.count = 1;
    w.code_page = labels.code_page;
    report.warnings.push_back(std::move(w));
}

bool Conversion::new_type(Section section, const RuleItem& item, const std::string& path) {
    if (!item.value) {
        report.warnings.push_back({Warning::Kind::CodeNotHex, path, item.line, std::string(item.code)});
        return false;
    }
    const std::uint32_t type = code_typ_type(section, *item.value);
    if (!types[section].insert(type).second) return false;
    pending = Entry{};
    pending.section = section;
    pending.type = type;
    pending.rule_code = std::string(item.code);
    pending.file = path;
    pending.line = item.line;
    pending.file_index = file_index;
    return true;
}

std::optional<std::string> Conversion::retyped_look(Section section, std::string_view code, std::string_view library_code,
                                                    std::string_view label, EntryLook& look) {
    const std::string entry = library_look(section, library_code, label, code);
    // The first line holds the library's code: the type's own takes its place.
    const std::size_t first_line_end = find_line_end(entry);
    if (first_line_end == std::string::npos) return std::nullopt;
    look.library_code = library_code;
    return std::string(code) + entry.substr(first_line_end);
}

std::optional<std::string> Conversion::table_kin_look(Section section, std::string_view code, std::string_view rule_text,
                                                      const std::vector<std::string_view>& kin, EntryLook& look) {
    for (std::string_view library_code : kin)
        if (std::optional<std::string> entry = retyped_look(section, code, library_code, rule_text, look)) return entry;
    return std::nullopt;
}

std::optional<std::string> Conversion::tag_entry(Section section, std::string_view code, const TagMatch& match,
                                                 std::string_view label, EntryLook& look) {
    std::optional<std::string> entry = retyped_look(section, code, match.library_code, label, look);
    if (entry) {
        look.source = LookSource::Tags;
        look.matched = match.matched;
    }
    return entry;
}

std::optional<std::string> Conversion::look_by_tags(Section section, std::string_view code, const RuleItem& item,
                                                    std::string_view label, EntryLook& look) {
    if (classic_looks) return std::nullopt;
    const TagLooks& looks = section_tag_looks(section);
    if (looks.empty()) return std::nullopt;
    // Each rule of the type votes for the look its tags match best.
    std::optional<TagMatch> chosen;
    std::map<std::string, std::size_t> votes;
    std::size_t most = 0;
    for (const RuleItem* rule : rules_of_type(section, item)) {
        std::optional<TagMatch> match = looks.best(positive_tags(rule->before, true));
        if (!match) continue;
        const std::size_t n = ++votes[match->library_code];
        if (n > most) most = n, chosen = std::move(match);
    }
    if (!chosen) return std::nullopt;
    return tag_entry(section, code, *chosen, label, look);
}

const std::vector<const RuleItem*>& Conversion::rules_of_type(Section section, const RuleItem& item) {
    if (!rules_indexed) {
        for (const RuleItem& rule : rules.items())
            if (rule.value) rules_by_type[code_typ_type(section, *rule.value)].push_back(&rule);
        rules_indexed = true;
    }
    static const std::vector<const RuleItem*> none;
    if (!item.value) return none;
    const auto found = rules_by_type.find(code_typ_type(section, *item.value));
    return found == rules_by_type.end() ? none : found->second;
}

std::string Conversion::code_look(Section section, std::string_view code, const RuleItem& item, std::string_view label,
                                  EntryLook& look) {
    std::string entry = library_look(section, code, label);
    // A look that names no tags cannot be told apart from what the rule means.
    if (classic_looks || !item.value || entry.find(";tags=") == std::string::npos) return entry;
    // The cheap tests first: in most styles the rules agree with their codes.
    const std::vector<RuleTag> tags = positive_tags(item.before, true);
    if (tags_agree(entry, tags)) return entry;
    // One rule of the type that agrees with the code keeps the code's look.
    for (const RuleItem* other : rules_of_type(section, item))
        if (other != &item && tags_agree(entry, positive_tags(other->before))) return entry;
    const std::optional<TagMatch> match = section_tag_looks(section).best(tags);
    if (!match || !match->exact || library_key(section, match->library_code) == library_key(section, code)) return entry;
    std::optional<std::string> meant = tag_entry(section, code, *match, label, look);
    if (!meant) return entry;
    // The code's look as the report names it: its code, and its name when it has one.
    look.replaced = entry.substr(0, find_any(entry, " \t\r\n"));
    if (const std::size_t name = entry.find("\n;name="); name != std::string::npos) {
        const std::string_view rest = std::string_view(entry).substr(name + 7);
        look.replaced.append(" (").append(trim_blanks(rest.substr(0, find_line_end(rest)))).append(")");
    }
    return std::move(*meant);
}

Entry& Conversion::add_entry(Section section, std::string entry, EntryLook look) {
    Entry& e = entries.emplace_back(std::move(pending));
    e.section = section;
    e.text = std::move(entry);
    ++report.entries[section];
    ++report.look_counts[static_cast<std::size_t>(look.source)];
    // The code as the entry writes it after "Type=".
    if (const std::size_t type = e.text.find("Type="); type != std::string::npos)
        look.code = e.text.substr(type + 5, find_line_end(e.text, type + 5) - type - 5);
    look.section = section;
    e.look = std::move(look);
    return e;
}

void Conversion::open_rules(const std::string& path) {
    ++file_index;
    rules_by_type.clear();
    rules_indexed = false;
    rules.open(path);
}

void Conversion::close_rules() {
    std::optional<Failure> failure = rules.close();
    for (Warning& fault : rules.take_faults()) report.warnings.push_back(std::move(fault));
    if (failure) report.failures.push_back(std::move(*failure));
}

EntryLook Conversion::entry_look(const RuleItem& item) const {
    // A report line, not the rule file: the condition is cut short.
    constexpr std::size_t MAX_CONDITION = 200;
    EntryLook look;
    look.condition = std::string(trim_blanks(item.before).substr(0, MAX_CONDITION));
    return look;
}

}  // namespace tessaro
