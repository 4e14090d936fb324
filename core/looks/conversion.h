#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "colour.h"
#include "create_typ.h"
#include "library_files.h"
#include "look_source.h"
#include "entry.h"
#include "entry_builder.h"
#include "rule_reader.h"
#include "tag_looks.h"
#include "type_code.h"

namespace tessaro {

// What the section writers of one run work with: the looks, the rule
// reader, the entries made so far and the report they add to.
struct Conversion {
    const LibraryTexts& libraries;
    bool include_tag_text = false;
    RandomSource& random;
    std::vector<Entry>& entries;  // in the order of the TYP text
    CreateTypReport& report;
    RuleReader rules{};  // reads the rule file in hand
    PerSection<TypeSet> types{};  // written so far: one entry each, whichever rule file names it first
    bool classic_looks = false;
    LabelCoding labels{};    // what the labels are written in
    PerSection<std::unique_ptr<TagLooks>> tag_looks{};  // made at their first use
    PerSection<LookVerdicts> verdicts{};                 // the library entries read so far
    std::optional<std::size_t> lost_labels_warning{};    // its place in the report's warnings, once there
    CalmColours calm_colours{};                          // the random colours without classic looks
    std::size_t file_index = 0;  // counts the rule files read

    Entry pending{};  // the type new_type let in last: its section, type, code and place
    // The file's rules by TYP type, indexed at the first question: asking the file for each type takes types times rules.
    std::unordered_map<std::uint32_t, std::vector<const RuleItem*>> rules_by_type{};
    bool rules_indexed = false;

    // Starts a writer's reading of a rule file.
    void open_rules(const std::string& path);
    // Ends it; a failure to read the file goes into the report.
    void close_rules();
    // True for an item whose TYP type (code_typ_type) has no entry yet: the next entry is its. False for a type
    // written already, and, with a warning, for a code that is no number.
    bool new_type(Section section, const RuleItem& item, const std::string& path);
    // The note of an entry's library look, with the rule's condition.
    EntryLook entry_look(const RuleItem& item) const;
    // Adds the entry of the type new_type let in last, with its text and where its look came from.
    Entry& add_entry(Section section, std::string entry, EntryLook look);

    // The library look of a code, named by the look's name unless the looks are classic or Include Tag Text is on; a
    // label that could not be added, or lost characters, goes into the report under `type_code` (empty: `code`).
    std::string library_look(Section section, std::string_view code, std::string_view condition,
                             std::string_view type_code = {});
    // The code's library look, or empty; with new looks, the look its rule means instead when its tags match another
    // look's exactly (TagMatch::exact) and those of no rule of the type agree with the code's look (tags_agree): then
    // as look_by_tags, the code's look named in `look.replaced`.
    std::string code_look(Section section, std::string_view code, const RuleItem& item, std::string_view label,
                          EntryLook& look);
    // The look most of the file's rules of the type match by their tags (the first rule's among equals), with the
    // rule's own code; nothing with classic looks or when none matches. `look` says which it was.
    std::optional<std::string> look_by_tags(Section section, std::string_view code, const RuleItem& item,
                                            std::string_view label, EntryLook& look);
    // The new looks' stand-in for a table look: the library look of the first of `kin` that the library has, with the
    // rule's own code, so that a table code still draws in the library's palette; `look` then names it.
    std::optional<std::string> table_kin_look(Section section, std::string_view code, std::string_view rule_text,
                                              const std::vector<std::string_view>& kin, EntryLook& look);
    // A rule's text made the label of a type (make_label, in `labels`), a loss of characters counted.
    std::string label(Section section, std::string_view code, std::string_view text);
    // The label of a built-in or random look: the rule's text with classic looks
    // or Include Tag Text, else the feature its condition names (feature_label).
    std::string rule_text_label(Section section, std::string_view code, std::string_view text, std::string_view condition);

private:
    // Counts a label that lost characters into the run's one warning of them.
    void note_lost_label(Section section, std::string_view code);
    // The section's looks by tags, made at their first use.
    const TagLooks& section_tag_looks(Section section) {
        if (!tag_looks[section]) tag_looks[section] = std::make_unique<TagLooks>(libraries[section]);
        return *tag_looks[section];
    }
    // The rules of the file in hand of the TYP type of `item` (itself among them), in file order.
    const std::vector<const RuleItem*>& rules_of_type(Section section, const RuleItem& item);
    // The library look of `library_code` with the rule's own code; `look` then names it.
    std::optional<std::string> retyped_look(Section section, std::string_view code, std::string_view library_code,
                                            std::string_view label, EntryLook& look);
    // The matched look with the rule's own code.
    std::optional<std::string> tag_entry(Section section, std::string_view code, const TagMatch& match,
                                         std::string_view label, EntryLook& look);
};

}  // namespace tessaro
