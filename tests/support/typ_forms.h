#pragma once

#include <string>
#include <vector>

#include "support/typ_binary.h"

namespace tessaro::test {

// The folder of TYP text forms as map makers have them, judged by mkgmap.
extern const std::string TYP_FORMS;

// One line of its manifest "verdicts": NAME compiles|refused entries P L G # why.
struct TypForm {
    std::string name;
    bool compiles = false;
    TypCounts entries;  // what mkgmap compiled of it
    std::string why;
    std::size_t line = 0;  // in the manifest
};

// The manifest's lines; a line it cannot read fails the calling test.
std::vector<TypForm> read_typ_forms();

// The bytes of a form's file.
std::string typ_form_bytes(const TypForm& form);

}  // namespace tessaro::test
