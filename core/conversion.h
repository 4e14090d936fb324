#pragma once

#include <string>

#include "app_state.h"
#include "random_source.h"
#include "rule_reader.h"
#include "shell.h"
#include "typ_text.h"

namespace tessaro {

// What one conversion works with: the long-lived state, the shell, the output
// file and the rule reader with its working list.
struct Conversion {
    Conversion(AppState& st, Shell& sh, RandomSource& rnd) : state(st), shell(sh), random(rnd), out(st.typ_path, sh), rules(sh) {}

    AppState& state;
    Shell& shell;
    RandomSource& random;
    TypText out;
    RuleReader rules;
};

}  // namespace tessaro
