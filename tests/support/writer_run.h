#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "conversion.h"
#include "file_io.h"
#include "typ_text.h"
#include "support/temp_dir.h"

namespace tessaro::test {

// One section writer run over a rule text written to a temporary file; the
// TYP text it appended comes back as bytes, what it found in `report`.
struct WriterRun {
    TempDir dir;
    LibraryTexts libraries;
    bool include_tag_text = false;
    bool classic_looks = false;
    RandomSource random{1};
    CreateTypReport report;
    // Writes the rule file (none when rules is empty) and runs the writer on it.
    template <typename Writer>
    std::string run(Writer writer, const std::string& rules, const std::string& name = "rules") {
        const std::string path = rules.empty() ? dir / name : dir.write(name, rules);
        report = {};
        std::vector<Entry> entries;
        Conversion cv{libraries, include_tag_text, random, entries, report};
        cv.classic_looks = classic_looks;
        writer(cv, path);
        // The entries as a TYP text writes them, without the header that opens every text.
        return typ_text("", entries).substr(2);
    }
};

// Splits at CR LF.
std::vector<std::string> crlf_lines(const std::string& text);

}  // namespace tessaro::test
