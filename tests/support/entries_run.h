#pragma once

#include <filesystem>
#include <string>
#include <vector>
#include "conversion.h"
#include "file_io.h"
#include "typ_text.h"
#include "support/temp_dir.h"

namespace tessaro::test {
// One section's entries made from a rule text written to a temporary file;
// the entries come back as the TYP text writes them, what the run found in `report`.
struct EntriesRun {
    TempDir dir;
    LibraryTexts libraries;
    bool include_tag_text = false;
    bool classic_looks = false;
    RandomSource random{1};
    CreateTypReport report;
    std::vector<EntryLook> looks;  // each entry's look, in the order of the text
    // Writes the rule file (none when rules is empty) and makes the entries of it.
    template <typename AddEntries>
    std::string run(AddEntries add_entries, const std::string& rules, const std::string& name = "rules") {
        const std::string path = rules.empty() ? dir / name : dir.write(name, rules);
        report = {};
        std::vector<Entry> entries;
        Conversion cv{libraries, include_tag_text, random, entries, report};
        cv.classic_looks = classic_looks;
        add_entries(cv, path);
        looks.clear();
        for (const Entry& e : entries) looks.push_back(e.look);
        // The entries as a TYP text writes them, without the header that opens every text.
        std::string text;
        write_typ_text("", entries, [&text](std::string_view piece) { text.append(piece); });
        return text.substr(2);
    }
};

// Splits at CR LF.
std::vector<std::string> crlf_lines(const std::string& text);
}  // namespace tessaro::test
