#include "support/typ_forms.h"

#include <gtest/gtest.h>
#include <sstream>
#include "support/temp_dir.h"

namespace tessaro::test {
const std::string TYP_FORMS = TESSARO_TEST_DATA "/typ_forms";

std::vector<TypForm> read_typ_forms() {
    std::vector<TypForm> forms;
    std::istringstream manifest(read_bytes(TYP_FORMS + "/verdicts"));
    std::size_t number = 0;
    for (std::string line; std::getline(manifest, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        TypForm form;
        const std::size_t hash = line.find(" # ");
        if (hash != std::string::npos) form.why = line.substr(hash + 3);
        std::istringstream fields(line.substr(0, hash));
        std::string verdict, entries, rest;
        fields >> form.name >> verdict >> entries >> form.entries.points >> form.entries.lines >> form.entries.polygons;
        const bool read = fields && !(fields >> rest) && (verdict == "compiles" || verdict == "refused") &&
                          entries == "entries" && !form.why.empty();
        EXPECT_TRUE(read) << "verdicts:" << number << ": not NAME compiles|refused entries P L G # why: " << line;
        if (!read) continue;
        form.compiles = verdict == "compiles";
        forms.push_back(form);
    }
    EXPECT_FALSE(forms.empty()) << TYP_FORMS << "/verdicts holds no form";
    return forms;
}

std::string typ_form_bytes(const TypForm& form) { return read_bytes(TYP_FORMS + "/" + form.name); }
}  // namespace tessaro::test
