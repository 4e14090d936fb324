#include "sample_map.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <set>

#include "look_renderer.h"
#include "qt_text.h"

namespace tessaro {

namespace {

// The map's measures at zoom 1, in pixels. A cell's middle (inside INSET)
// holds its points and labels; its gutters hold the lines, on four tracks.
constexpr double CELL_W = 250;
constexpr double CELL_H = 190;
constexpr double INSET = 50;
constexpr double MARGIN = 60;
constexpr int POINTS_PER_CELL = 3;
constexpr double POINT_ROW = 22;
constexpr std::array<double, 4> TRACKS{-30, -10, 10, 30};
constexpr double WAVE = 7;  // how far water and boundaries swing from their track
constexpr double CAPTION_LINE = 16;

const QColor DAY_GROUND(0xF8, 0xF6, 0xF0);
const QColor NIGHT_GROUND(0x12, 0x12, 0x12);

// Garmin's line types that are no roads: shores, streams, rivers, boundaries, contours.
bool is_curved(const TypEntry& line) {
    const std::optional<std::uint32_t> t = entry_type(line);
    if (!t || *t >= 0x10000 || (*t & 0xff) != 0) return false;
    const std::uint32_t type = *t >> 8;
    return type == 0x15 || type == 0x18 || (type >= 0x1c && type <= 0x26) || type == 0x2a || type == 0x2b;
}

// A line's or an area's colours by day or by night: a TYP text gives the night's as the third and fourth.
std::vector<QColor> colours_at(const XpmImage& x, bool night, bool two_for_day_and_night) {
    std::vector<QColor> colours;
    for (const XpmColour& c : x.colours) colours.push_back(typ_colour(c.colour));
    if (!night) return colours;
    if (colours.size() >= 4) return {colours[2], colours[3]};
    // "0 0 2 0": one colour by day, the other by night.
    if (colours.size() == 2 && two_for_day_and_night) return {colours[1], colours[1]};
    return colours;
}

QBrush area_brush(const TypEntry& e, bool night) {
    const bool pattern = e.xpm.width > 0 && e.xpm.height > 0;
    const std::vector<QColor> colours = colours_at(e.xpm, night, !pattern);
    if (pattern) return QBrush(xpm_image(e.xpm, colours));
    return colours.empty() ? QBrush(Qt::gray) : QBrush(colours[0]);
}

double label_pixels(const TypEntry& e) {
    if (e.font_style == "smallfont" || e.font_style == "small") return 10;
    if (e.font_style == "largefont" || e.font_style == "large") return 15;
    return 12;
}

QColor label_colour(const TypEntry& e, bool night) {
    const std::string& custom = night ? e.night_label_colour : e.day_label_colour;
    if (!custom.empty()) return typ_colour(custom);
    return night ? QColor(0xF0, 0xF0, 0xF0) : QColor(0x10, 0x10, 0x10);
}

// A line's whole width on the map: the stroke and its borders, or its pattern's height.
double line_width(const TypEntry& e) {
    if (e.xpm.width > 0 && e.xpm.height > 0) return e.xpm.height;
    const int border = e.border_width > 0 && e.xpm.colours.size() > 1 ? e.border_width : 0;
    return std::max(e.line_width, 1) + 2 * border;
}

// How far a curved line swings off its track, `along` from its start.
double swing(double along) { return WAVE * std::sin(along * 2 * std::numbers::pi / 200); }

QPainterPath line_course(QPointF from, QPointF to, bool vertical, bool curved) {
    QPainterPath path(from);
    if (!curved) {
        path.lineTo(to);
        return path;
    }
    const double length = vertical ? to.y() - from.y() : to.x() - from.x();
    for (double d = 10; d <= length; d += 10) {
        path.lineTo(vertical ? QPointF(from.x() + swing(d), from.y() + d) : QPointF(from.x() + d, from.y() + swing(d)));
    }
    return path;
}

QTransform zoomed(int zoom) { return QTransform::fromScale(zoom, zoom); }

}  // namespace

SampleMap::SampleMap(const TypDocument& doc) : m_entries(doc.entries) {
    std::vector<std::size_t> areas, lines, points;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const TypEntry& e = m_entries[i];
        if (e.section == Section::Point) points.push_back(i);
        else if (e.section == Section::Line) lines.push_back(i);
        else (e.draw_level > 0 ? areas : m_left_out).push_back(i);
    }
    // Enough cells for every area and every point, and gutters for every line.
    const std::size_t point_cells = (points.size() + POINTS_PER_CELL - 1) / POINTS_PER_CELL;
    const double cells = static_cast<double>(std::max({areas.size(), point_cells, std::size_t{4}}));
    m_columns = std::max(2, static_cast<int>(std::ceil(std::sqrt(cells * 4 / 3))));
    m_rows = std::max(2, static_cast<int>(std::ceil(cells / m_columns)));
    const auto tracks_for_lines = [this] {
        return TRACKS.size() * static_cast<std::size_t>((m_rows + 1) * (m_columns / 2) + (m_columns + 1) * (m_rows / 2));
    };
    while (tracks_for_lines() < lines.size()) ++(m_rows <= m_columns ? m_rows : m_columns);
    lay_out_areas(static_cast<int>(areas.size()));
    for (std::size_t k = 0; k < areas.size(); ++k) m_items[k].entry = areas[k];
    // The higher levels over the lower, each level in the text's order.
    std::stable_sort(m_items.begin(), m_items.end(), [this](const Item& a, const Item& b) {
        return m_entries[a.entry].draw_level < m_entries[b.entry].draw_level;
    });
    lay_out_lines(lines);
    lay_out_points(points);
}

QRectF SampleMap::cell(int index) const {
    return {MARGIN + (index % m_columns) * CELL_W, MARGIN + (index / m_columns) * CELL_H, CELL_W, CELL_H};
}

// Each area fills its cell and reaches into the gutters around it: the lowest
// level furthest, so that the higher levels beside it lie over its edge.
void SampleMap::lay_out_areas(int count) {
    std::set<int> levels;
    for (const TypEntry& e : m_entries)
        if (e.section == Section::Polygon && e.draw_level > 0) levels.insert(e.draw_level);
    const std::vector<int> ranked(levels.begin(), levels.end());
    std::size_t k = 0;
    for (const TypEntry& e : m_entries) {
        if (e.section != Section::Polygon || e.draw_level <= 0 || static_cast<int>(k) >= count) continue;
        const auto rank = std::lower_bound(ranked.begin(), ranked.end(), e.draw_level) - ranked.begin();
        const double reach = 44 - 28.0 * static_cast<double>(rank) / std::max<double>(1, static_cast<double>(ranked.size()) - 1);
        const QRectF c = cell(static_cast<int>(k));
        Item item{Kind::Area, 0, {}, {c.right() - INSET - 10, c.top() + INSET + 10}, {c.center().x(), c.bottom() - INSET - 11}};
        item.path.addRoundedRect(c.adjusted(-reach, -reach, reach, reach), 24, 24);
        m_items.push_back(std::move(item));
        ++k;
    }
}

// Lines take the gutters' tracks, across and down in turn; when there are more
// lines than tracks, each track is shared by lines of a few cells' length.
void SampleMap::lay_out_lines(const std::vector<std::size_t>& lines) {
    struct Track {
        bool vertical;
        int gutter;
        double offset;
    };
    std::vector<Track> tracks;
    for (const double offset : TRACKS)
        for (int g = 0; g <= std::max(m_rows, m_columns); ++g) {
            if (g <= m_rows) tracks.push_back({false, g, offset});
            if (g <= m_columns) tracks.push_back({true, g, offset});
        }
    int span = std::max(m_rows, m_columns);
    const auto capacity = [&](int s) {
        return TRACKS.size() * static_cast<std::size_t>((m_rows + 1) * (m_columns / std::min(s, m_columns)) +
                                                        (m_columns + 1) * (m_rows / std::min(s, m_rows)));
    };
    while (span > 2 && capacity(span) < lines.size()) --span;
    std::size_t next = 0;
    for (const Track& t : tracks) {
        const int cells = t.vertical ? m_rows : m_columns;
        const int length = std::min(span, cells);
        for (int s = 0; s + length <= cells && next < lines.size(); s += length) {
            const std::size_t entry = lines[next++];
            const double across = (t.vertical ? MARGIN + t.gutter * CELL_W : MARGIN + t.gutter * CELL_H) + t.offset;
            const double step = t.vertical ? CELL_H : CELL_W;
            const double start = MARGIN + s * step;
            const auto at = [&](double along) { return t.vertical ? QPointF(across, along) : QPointF(along, across); };
            Item item{Kind::Line, entry, {}, at(start + step / 2), at(start + step * 1.5), t.vertical};
            const bool curved = is_curved(m_entries[entry]);
            item.path = line_course(at(start), at(start + length * step), t.vertical, curved);
            // On a curve, the spot of its look is where the curve passes.
            if (curved) item.place += t.vertical ? QPointF(swing(step / 2), 0) : QPointF(0, swing(step / 2));
            m_items.push_back(std::move(item));
        }
    }
}

// Points three to a cell, one under the other in its middle, each label beside its icon.
void SampleMap::lay_out_points(const std::vector<std::size_t>& points) {
    for (std::size_t k = 0; k < points.size(); ++k) {
        const QRectF c = cell(static_cast<int>(k / POINTS_PER_CELL));
        const double y = c.top() + INSET + POINT_ROW / 2 + POINT_ROW * static_cast<double>(k % POINTS_PER_CELL);
        const QPointF icon(c.left() + INSET + 12, y);
        const double half_width = std::max(8, m_entries[points[k]].xpm.width / 2);
        m_items.push_back({Kind::Point, points[k], {}, icon, {icon.x() + half_width + 4, y}});
    }
}

QSize SampleMap::size(int zoom) const {
    const double caption = m_left_out.empty() ? 0 : CAPTION_LINE * 2 + 8;
    return {static_cast<int>(std::ceil((2 * MARGIN + m_columns * CELL_W) * zoom)),
            static_cast<int>(std::ceil((2 * MARGIN + m_rows * CELL_H) * zoom + caption))};
}

bool SampleMap::fits(int zoom) const {
    const QSize picture = size(std::clamp(zoom, 1, 3));
    return qint64{picture.width()} * picture.height() <= MAX_PIXELS;
}

QImage SampleMap::draw(bool night, int zoom) const {
    zoom = std::clamp(zoom, 1, 3);
    if (!fits(zoom)) return {};
    QImage image(size(zoom), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(night ? NIGHT_GROUND : DAY_GROUND);
    QPainter p(&image);
    for (const Item& item : m_items) draw_item(p, item, night, zoom);
    for (const Item& item : m_items) draw_label(p, item, night, zoom);
    if (!m_left_out.empty()) {
        QString names;
        for (const std::size_t i : m_left_out)
            names += (names.isEmpty() ? "" : ", ") + to_qt(m_entries[i].type) +
                     (m_entries[i].label.empty() ? "" : " " + from_utf8(m_entries[i].label));
        QFont font = p.font();
        font.setPixelSize(12);
        p.setFont(font);
        p.setPen(night ? QColor(0xF0, 0xF0, 0xF0) : QColor(0x10, 0x10, 0x10));
        const QRectF caption(8, (2 * MARGIN + m_rows * CELL_H) * zoom, image.width() - 16, CAPTION_LINE * 2);
        p.drawText(caption, Qt::TextWordWrap, "Not drawn, not in the draw order: " + names);
    }
    return image;
}

void SampleMap::draw_item(QPainter& p, const Item& item, bool night, int zoom) const {
    const TypEntry& e = m_entries[item.entry];
    if (item.kind == Kind::Area) {
        p.setPen(Qt::NoPen);
        p.setBrush(area_brush(e, night));
        p.drawPath(zoomed(zoom).map(item.path));
        return;
    }
    if (item.kind == Kind::Point) {
        const XpmImage& x = night && e.night_xpm.present ? e.night_xpm : e.xpm;
        const QPointF at = item.place * zoom;
        if (!x.present || x.width <= 0 || x.height <= 0 || x.width > 255 || x.height > 255) {
            p.setPen(QPen(Qt::gray, 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(at, 5, 5);
            return;
        }
        p.drawImage(QPointF(at.x() - x.width / 2, at.y() - x.height / 2), xpm_image(x));
        return;
    }
    const QPainterPath course = zoomed(zoom).map(item.path);
    p.setBrush(Qt::NoBrush);
    if (e.xpm.width > 0 && e.xpm.height > 0) {
        // A pattern runs along the line, its rows across it.
        QImage pattern = xpm_image(e.xpm, colours_at(e.xpm, night, false));
        if (item.vertical) pattern = pattern.transformed(QTransform().rotate(90));
        QBrush brush(pattern);
        const QPointF start = course.pointAtPercent(0);
        brush.setTransform(QTransform::fromTranslate(item.vertical ? start.x() - e.xpm.height / 2.0 : start.x(),
                                                     item.vertical ? start.y() : start.y() - e.xpm.height / 2.0));
        p.setPen(QPen(brush, e.xpm.height, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.drawPath(course);
        return;
    }
    const bool border = e.border_width > 0 && e.xpm.colours.size() > 1;
    const std::vector<QColor> colours = colours_at(e.xpm, night, !border);
    const QColor fill = colours.empty() ? QColor(Qt::gray) : colours[0];
    if (border) {
        p.setPen(QPen(colours[1], line_width(e), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.drawPath(course);
    }
    p.setPen(QPen(fill, std::max(e.line_width, 1), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(course);
}

// A label as a unit writes it: an area's in its middle, a line's along it, a point's beside its icon.
void SampleMap::draw_label(QPainter& p, const Item& item, bool night, int zoom) const {
    const TypEntry& e = m_entries[item.entry];
    if (e.label.empty() || e.font_style == "nolabel") return;
    QFont font = p.font();
    font.setPixelSize(static_cast<int>(label_pixels(e)));
    p.setFont(font);
    p.setPen(label_colour(e, night));
    const QFontMetricsF metrics(font);
    const QPointF at = item.label_at * zoom;
    if (item.kind == Kind::Line) {
        const QString text = metrics.elidedText(from_utf8(e.label), Qt::ElideRight, (CELL_W - 2 * INSET) * zoom);
        p.save();
        p.translate(at);
        if (item.vertical) p.rotate(-90);
        p.drawText(QPointF(-metrics.horizontalAdvance(text) / 2, metrics.ascent() / 2 - 1), text);
        p.restore();
        return;
    }
    // Labels end short of the spot where the cell's area shows.
    const double room = item.kind == Kind::Point ? (CELL_W - 2 * INSET - 52) * zoom : (CELL_W - 2 * INSET) * zoom;
    const QString text = metrics.elidedText(from_utf8(e.label), Qt::ElideRight, room);
    const double left = item.kind == Kind::Point ? at.x() : at.x() - metrics.horizontalAdvance(text) / 2;
    p.drawText(QPointF(left, at.y() + metrics.ascent() / 2 - 1), text);
}

QPainterPath SampleMap::hit_shape(const Item& item, int zoom) const {
    const TypEntry& e = m_entries[item.entry];
    if (item.kind == Kind::Area) return zoomed(zoom).map(item.path);
    if (item.kind == Kind::Line) {
        QPainterPathStroker stroker;
        stroker.setWidth(std::max(line_width(e), 6.0));
        return stroker.createStroke(zoomed(zoom).map(item.path));
    }
    QPainterPath shape;
    const double w = std::max(e.xpm.width, 10), h = std::max(e.xpm.height, 10);
    shape.addRect(QRectF(item.place * zoom - QPointF(w / 2, h / 2), QSizeF(w, h)));
    return shape;
}

std::optional<std::size_t> SampleMap::entry_at(QPointF at, int zoom) const {
    zoom = std::clamp(zoom, 1, 3);
    // Only the items whose box holds the point get a shape: a line's takes a stroke.
    const QPointF unzoomed = at / zoom;
    constexpr double NEAR = 20;
    for (auto item = m_items.rbegin(); item != m_items.rend(); ++item) {
        const bool near = item->kind == Kind::Point ||
                          item->path.controlPointRect().adjusted(-NEAR, -NEAR, NEAR, NEAR).contains(unzoomed);
        if (near && hit_shape(*item, zoom).contains(at))
            return item->entry;
    }
    return std::nullopt;
}

std::optional<QPointF> SampleMap::place_of(std::size_t entry) const {
    for (const Item& item : m_items)
        if (item.entry == entry) return item.place;
    return std::nullopt;
}

}  // namespace tessaro
