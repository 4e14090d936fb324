#include "look_renderer.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <map>

#include "qt_text.h"

namespace tessaro {

namespace {

constexpr int MAX_SIDE = 255;
constexpr int MARGIN = 4;

}  // namespace

QColor typ_colour(const std::string& text) {
    if (text == "none" || text.empty()) return Qt::transparent;
    // "#RRGGBB", or "#RRGGBBAA" with the alpha last (Qt reads eight digits alpha first).
    QColor c(to_qt(text.substr(0, 7)));
    if (!c.isValid()) return QColor(Qt::magenta);  // a colour no look uses: easy to spot
    if (text.size() >= 9) c.setAlpha(QString::fromStdString(text.substr(7, 2)).toInt(nullptr, 16));
    return c;
}

QImage xpm_image(const XpmImage& x, const std::vector<QColor>& colours) {
    QImage img(std::max(x.width, 1), std::max(x.height, 1), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const auto cpp = static_cast<std::size_t>(std::max(x.chars_per_pixel, 1));
    std::map<std::string, QColor> palette;
    for (std::size_t i = 0; i < x.colours.size(); ++i)
        palette[x.colours[i].key] = i < colours.size() ? colours[i] : typ_colour(x.colours[i].colour);
    const std::size_t rows = std::min(static_cast<std::size_t>(x.height), x.rows.size());
    for (std::size_t y = 0; y < rows; ++y) {
        const std::string& row = x.rows[y];
        const std::size_t pixels = std::min(static_cast<std::size_t>(x.width), row.size() / cpp);
        for (std::size_t px = 0; px < pixels; ++px) {
            const auto hit = palette.find(row.substr(px * cpp, cpp));
            if (hit != palette.end()) img.setPixelColor(static_cast<int>(px), static_cast<int>(y), hit->second);
        }
    }
    return img;
}

namespace {

// At 2x when that fits the box, else as large as fits; pixels stay sharp.
QImage fitted(const QImage& img, QSize box) {
    if (img.width() * 2 <= box.width() && img.height() * 2 <= box.height()) return img.scaled(img.size() * 2);
    if (img.width() <= box.width() && img.height() <= box.height()) return img;
    return img.scaled(box, Qt::KeepAspectRatio);
}

QColor colour_at(const XpmImage& x, std::size_t i) {
    return i < x.colours.size() ? typ_colour(x.colours[i].colour) : QColor(Qt::gray);
}

void draw_line(QPainter& p, const TypEntry& e) {
    const XpmImage& x = e.xpm;
    const int y = LOOK_SIZE.height() / 2;
    if (x.width > 0 && x.height > 0) {
        // A dash pattern: its rows are the stroke, repeated along the line.
        const QImage pattern = fitted(xpm_image(x), LOOK_SIZE);
        for (int left = 0; left < LOOK_SIZE.width(); left += std::max(pattern.width(), 1))
            p.drawImage(left, y - pattern.height() / 2, pattern);
        return;
    }
    // In doubles: widths are whatever the text says.
    const double width = std::max(e.line_width, 1);
    const double border = e.border_width > 0 && x.colours.size() > 1 ? e.border_width : 0;
    const double scale = std::min(2.0, (LOOK_SIZE.height() - 2) / (width + 2 * border));
    if (border > 0) {
        p.setPen(QPen(colour_at(x, 1), (width + 2 * border) * scale, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(MARGIN, y, LOOK_SIZE.width() - MARGIN, y);
    }
    p.setPen(QPen(colour_at(x, 0), width * scale, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(MARGIN, y, LOOK_SIZE.width() - MARGIN, y);
}

void draw_polygon(QPainter& p, const TypEntry& e) {
    const int side = LOOK_SIZE.height() - MARGIN;
    const QRect swatch(MARGIN, MARGIN / 2, side, side);
    if (e.xpm.width > 0 && e.xpm.height > 0) {
        p.setBrush(QBrush(QPixmap::fromImage(xpm_image(e.xpm))));
    } else {
        p.setBrush(colour_at(e.xpm, 0));
    }
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawRect(swatch);
}

void draw_placeholder(QPainter& p) {
    const int side = LOOK_SIZE.height() - MARGIN;
    const QRect box(MARGIN, MARGIN / 2, side, side);
    p.setPen(QPen(Qt::gray, 1));
    p.drawRect(box);
    p.drawLine(box.topLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomLeft());
}

}  // namespace

std::string undrawable_reason(const TypEntry& entry) {
    const XpmImage& x = entry.xpm;
    if (x.width <= MAX_SIDE && x.height <= MAX_SIDE) return {};
    return "Xpm of " + std::to_string(x.width) + " x " + std::to_string(x.height) + " is too large to draw";
}

QPixmap render_look(const TypEntry& entry) {
    QPixmap pm(LOOK_SIZE);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    if (!undrawable_reason(entry).empty()) {
        draw_placeholder(p);
        return pm;
    }
    switch (entry.section) {
        case Section::Point: {
            const QImage icon = fitted(xpm_image(entry.xpm), LOOK_SIZE - QSize(MARGIN, 0));
            p.drawImage(MARGIN, (LOOK_SIZE.height() - icon.height()) / 2, icon);
            break;
        }
        case Section::Line: draw_line(p, entry); break;
        case Section::Polygon: draw_polygon(p, entry); break;
    }
    return pm;
}

}  // namespace tessaro
