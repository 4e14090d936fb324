#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <string>
#include <vector>

#include "typ_reader.h"

namespace tessaro {

// The size of a look's picture: a compact table row.
inline constexpr QSize LOOK_SIZE(64, 24);

// A TYP text's colour ("#RRGGBB", "#RRGGBBAA" with its alpha last, "none").
QColor typ_colour(const std::string& text);

// The XPM's pixels as an image (its size already checked); unknown pixel keys
// stay transparent. `colours`, when given, replace the XPM's own colours one
// for one (a line's or an area's night colours).
QImage xpm_image(const XpmImage& x, const std::vector<QColor>& colours = {});

// Why the entry's picture is not drawn ("Xpm of W x H is too large to draw"),
// or empty when it is. mkgmap takes no picture over 255 pixels either way
// (patterns are 32 wide), so a larger one is a fault, not worth the memory.
std::string undrawable_reason(const TypEntry& entry);

// A picture of an entry's look, scaled to fit LOOK_SIZE: a point's icon at
// 2x when it fits, a short stroke of a line in its width, border and colours
// or its dash pattern, a swatch of a polygon's colour or fill pattern; a
// crossed-out box for a picture too large to draw.
QPixmap render_look(const TypEntry& entry);

}  // namespace tessaro
