#pragma once

#include "typ_reader.h"

namespace tessaro {

// An entry as a unit shows it at night: a point's NightXpm, a line's or
// polygon's night colours in the places of its day colours (the two- and
// four-colour forms). An entry without night colours stays as it is.
TypEntry night_view(const TypEntry& entry);

}  // namespace tessaro
