#pragma once

#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <optional>
#include <vector>

#include "typ_reader.h"

namespace tessaro {

// A small landscape drawn from a TYP text alone, as a unit draws its looks:
// an area for every polygon of the draw order on a grid of cells (the low
// levels larger, so that the higher ones lie over their edges), a line for
// every line type in the gutters between the cells (roads straight as a
// network, water and boundaries as long curves), every point inside the
// cells, and the labels. Nothing covers the middle of a cell but its points
// and labels, so every type shows. The layout follows from the text alone:
// the same text gives the same picture.
class SampleMap {
public:
    explicit SampleMap(const TypDocument& doc);

    // The picture at a zoom of 1 to 3: the places grow apart, while a look's
    // pixels (patterns, widths, icons, fonts) stay those of a unit.
    // A null image when the picture would be too large to hold (see fits).
    QImage draw(bool night, int zoom = 1) const;
    QSize size(int zoom = 1) const;
    // Whether the picture at `zoom` stays within MAX_PIXELS: a text of thousands
    // of entries would need gigabytes.
    bool fits(int zoom = 1) const;
    static constexpr qint64 MAX_PIXELS = qint64{64} << 20;
    // The entry (its index in the text) drawn on top at a point of the picture drawn at `zoom`.
    std::optional<std::size_t> entry_at(QPointF at, int zoom = 1) const;
    // A point of the picture at zoom 1 where the entry's own look shows.
    std::optional<QPointF> place_of(std::size_t entry) const;
    // The polygons mkgmap does not draw: no draw order line names their type.
    const std::vector<std::size_t>& left_out() const { return m_left_out; }

private:
    enum class Kind { Area, Line, Point };
    struct Item {
        Kind kind;
        std::size_t entry;
        QPainterPath path;  // at zoom 1: an area's outline, a line's course
        QPointF place;      // where its look shows: a spot of an area, a line's, a point's icon
        QPointF label_at;   // the middle of its label
        bool vertical = false;  // a line that runs down its gutter
    };

    void lay_out_areas(int cells);
    void lay_out_lines(const std::vector<std::size_t>& lines);
    void lay_out_points(const std::vector<std::size_t>& points);
    QRectF cell(int index) const;
    void draw_item(class QPainter& p, const Item& item, bool night, int zoom) const;
    void draw_label(QPainter& p, const Item& item, bool night, int zoom) const;
    QPainterPath hit_shape(const Item& item, int zoom) const;

    std::vector<TypEntry> m_entries;
    std::vector<Item> m_items;  // in drawing order
    std::vector<std::size_t> m_left_out;
    int m_columns = 2;
    int m_rows = 2;
};

}  // namespace tessaro
