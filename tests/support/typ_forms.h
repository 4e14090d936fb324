#pragma once

#include <string>
#include <vector>
#include "support/typ_binary.h"

namespace tessaro::test {
// The folder of TYP text forms as map makers have them, judged by mkgmap.
extern const std::string TYP_FORMS;
// One line of its manifest "verdicts": NAME compiles|refused entries P L G # why.
struct TypForm {
    std::string name, why;
    bool compiles = false;
    TypCounts entries;  // what mkgmap compiled of it
};

std::vector<TypForm> read_typ_forms();
std::string typ_form_bytes(const TypForm& form);
}  // namespace tessaro::test
