#include "night_view.h"

namespace tessaro {

TypEntry night_view(const TypEntry& entry) {
    TypEntry night = entry;
    XpmImage& x = night.xpm;
    if (entry.section == Section::Point) {
        if (entry.night_xpm.present) x = entry.night_xpm;
        return night;
    }
    const bool solid = x.width == 0 && x.height == 0;
    // A solid line of two colours is day and night only without a border; four are always day then night.
    if (solid && x.colours.size() == 2 && (entry.section == Section::Polygon || entry.border_width <= 0)) {
        x.colours.erase(x.colours.begin());
    } else if (x.colours.size() == 4) {
        // The night colours take the day keys, which the pixels use.
        x.colours[2].key = x.colours[0].key;
        x.colours[3].key = x.colours[1].key;
        x.colours.erase(x.colours.begin(), x.colours.begin() + 2);
    }
    x.colour_count = static_cast<int>(x.colours.size());
    return night;
}

}  // namespace tessaro
