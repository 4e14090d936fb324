#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "look_source.h"
#include "typ_reader.h"

namespace tessaro {

// For each entry read back from a TYP text, the index of its EntryLook: the
// n-th entry of a section and code takes the n-th look of that section and
// code (codes compared without regard to case or blanks). Entries beyond the
// looks of their code get none; looks beyond the entries are left over.
std::vector<std::optional<std::size_t>> pair_looks(const std::vector<TypEntry>& entries,
                                                   const std::vector<EntryLook>& looks);

}  // namespace tessaro
