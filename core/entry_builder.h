#pragma once

#include <string>
#include <string_view>

#include "app_state.h"
#include "shell.h"

namespace tessaro {

enum Section : int { SECTION_POLYGON = 0, SECTION_LINE = 1, SECTION_POINT = 2 };

// Longest label mkgmap's TYP compiler takes.
inline constexpr std::size_t MAX_LABEL_BYTES = 254;

// The library key of a type code for a section (without "0x"):
// point 0x2f0b -> 02f0b, line 0x01 -> 00100, polygon 0x1f00 -> 1f.
std::string library_key(int chc, std::string_view s2);

// The library entry for a type code, from its "0x" up to (not including) its
// "[end]"; empty when the library lacks it. With Include Tag Text on, the rule
// condition ss is put in as a label line, or the label conflict flag is set
// when the entry has a label of its own.
std::string get_code(int chc, const std::string& s2, const std::string& ss, AppState& state);

// The whole file as bytes; empty (and no message) when it does not exist.
std::string loadtext(const std::string& path, Shell& shell);

// Six upper-case hex digits, red first.
std::string fncol(int r, int g, int b);
// "0" put in front of a single character; written back into s1.
std::string f_mat(std::string& s1);

// The first MAX_LABEL_BYTES bytes of a label, never ending inside a UTF-8 sequence.
std::string cut_label(std::string_view label);

}  // namespace tessaro
