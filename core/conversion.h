#pragma once

#include "create_typ.h"
#include "library_files.h"
#include "random_source.h"
#include "rule_reader.h"
#include "type_code.h"
#include "typ_text.h"

namespace tessaro {

// What the section writers of one run work with: the looks, the output file,
// the rule reader with its working list, and the report they add to.
struct Conversion {
    const LibraryTexts& libraries;
    bool include_tag_text = false;
    RandomSource& random;
    TypText& out;
    RuleReader& rules;
    CreateTypReport& report;
    // The types written so far in this run: one entry for each, whichever
    // rule file names it first.
    PerSection<TypeSet> types{};

    // The type code of an item whose type has no entry yet (it counts as
    // written from now on); nothing for a type written already, and nothing,
    // with a warning naming the file and line, for a code that is no number.
    std::optional<std::string_view> new_type(Section section, const RuleItem& item, const std::string& path);

    // The library look of a code; a label that could not be added goes into the report.
    std::string library_look(Section section, std::string_view code, std::string_view condition);
    // Appends a finished entry of the section and counts it.
    void write_entry(Section section, const std::string& entry);
    // Ends a writer's reading of its rule file; a failure to read it goes into the report.
    void close_rules();
};

}  // namespace tessaro
