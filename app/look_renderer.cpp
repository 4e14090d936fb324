#include "look_renderer.h"

#include <QImage>
#include <QPainter>
#include <map>

#include "qt_text.h"

namespace tessaro {

namespace {

constexpr int SCALE = 2;
const QSize LOOK_SIZE(96, 40);

QColor to_colour(const std::string& text) {
    if (text == "none" || text.empty()) return Qt::transparent;
    QColor c(to_qt(text));
    return c.isValid() ? c : QColor(Qt::magenta);  // a colour no look uses: easy to spot
}

// The XPM's pixels as an image; unknown pixel keys stay transparent.
QImage xpm_image(const XpmImage& x) {
    QImage img(std::max(x.width, 1), std::max(x.height, 1), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const auto cpp = static_cast<std::size_t>(std::max(x.chars_per_pixel, 1));
    std::map<std::string, QColor> palette;
    for (const XpmColour& c : x.colours) palette[c.key] = to_colour(c.colour);
    for (int y = 0; y < x.height && y < static_cast<int>(x.rows.size()); ++y) {
        const std::string& row = x.rows[static_cast<std::size_t>(y)];
        for (int px = 0; px < x.width && (px + 1) * static_cast<int>(cpp) <= static_cast<int>(row.size()); ++px) {
            const auto hit = palette.find(row.substr(static_cast<std::size_t>(px) * cpp, cpp));
            if (hit != palette.end()) img.setPixelColor(px, y, hit->second);
        }
    }
    return img;
}

QColor colour_at(const XpmImage& x, std::size_t i) {
    return i < x.colours.size() ? to_colour(x.colours[i].colour) : QColor(Qt::gray);
}

void draw_line(QPainter& p, const TypEntry& e) {
    const XpmImage& x = e.xpm;
    const int y = LOOK_SIZE.height() / 2;
    if (x.width > 0 && x.height > 0) {
        // A dash pattern: its rows are the stroke, repeated along the line.
        const QImage pattern = xpm_image(x).scaled(x.width * SCALE, x.height * SCALE);
        for (int left = 0; left < LOOK_SIZE.width(); left += pattern.width())
            p.drawImage(left, y - pattern.height() / 2, pattern);
        return;
    }
    const int width = std::max(e.line_width, 1) * SCALE;
    const int border = std::max(e.border_width, 0) * SCALE;
    if (x.colours.size() > 1 && border > 0) {
        p.setPen(QPen(colour_at(x, 1), width + 2 * border, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(4, y, LOOK_SIZE.width() - 4, y);
    }
    p.setPen(QPen(colour_at(x, 0), width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(4, y, LOOK_SIZE.width() - 4, y);
}

void draw_polygon(QPainter& p, const TypEntry& e) {
    const QRect swatch(4, 4, LOOK_SIZE.height() - 8, LOOK_SIZE.height() - 8);
    if (e.xpm.width > 0 && e.xpm.height > 0) {
        p.setBrush(QBrush(QPixmap::fromImage(xpm_image(e.xpm))));
    } else {
        p.setBrush(colour_at(e.xpm, 0));
    }
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawRect(swatch);
}

}  // namespace

QPixmap render_look(const TypEntry& entry) {
    QPixmap pm(LOOK_SIZE);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    switch (entry.section) {
        case Section::Point: {
            const QImage icon = xpm_image(entry.xpm);
            const QImage big = icon.scaled(icon.width() * SCALE, icon.height() * SCALE);
            p.drawImage(4, (LOOK_SIZE.height() - big.height()) / 2, big);
            break;
        }
        case Section::Line: draw_line(p, entry); break;
        case Section::Polygon: draw_polygon(p, entry); break;
    }
    return pm;
}

}  // namespace tessaro
