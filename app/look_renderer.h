#pragma once

#include <QPixmap>

#include "typ_reader.h"

namespace tessaro {

// A picture of an entry's look: a point's icon at 2x, a short stroke of a
// line in its width, border and colours or its dash pattern, a swatch of a
// polygon's colour or fill pattern.
QPixmap render_look(const TypEntry& entry);

}  // namespace tessaro
