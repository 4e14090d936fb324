#include "sample_map_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace tessaro {

SampleMapView::SampleMapView(QWidget* parent) : QWidget(parent) {
    setObjectName("previewMap");
    setMouseTracking(true);
}

void SampleMapView::show_document(const TypDocument& doc) {
    m_map = std::make_unique<SampleMap>(doc);
    redraw();
}

void SampleMapView::set_night(bool night) {
    if (night == m_night) return;
    m_night = night;
    redraw();
}

void SampleMapView::set_zoom(int zoom) {
    zoom = std::clamp(zoom, 1, 3);
    if (zoom == m_zoom) return;
    m_zoom = zoom;
    redraw();
}

// The picture is drawn when first shown for each text, time of day and zoom,
// not at every paint, and not at all while the map is not looked at.
void SampleMapView::redraw() {
    m_picture = QImage();
    const bool fits = m_map && m_map->fits(m_zoom);
    setFixedSize(fits ? m_map->size(m_zoom) : QSize(600, 60));
    update();
}

void SampleMapView::paintEvent(QPaintEvent*) {
    if (!m_map) return;
    QPainter p(this);
    if (!m_map->fits(m_zoom)) {
        const QSize size = m_map->size(m_zoom);
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                   QString("The map of this TYP text would be %1 x %2 pixels: too large to draw. The list shows every entry.")
                       .arg(size.width())
                       .arg(size.height()));
        return;
    }
    if (m_picture.isNull()) m_picture = m_map->draw(m_night, m_zoom);
    p.drawImage(0, 0, m_picture);
}

void SampleMapView::mouseMoveEvent(QMouseEvent* event) {
    emit entry_hovered(m_map ? m_map->entry_at(event->position(), m_zoom) : std::nullopt);
}

void SampleMapView::mousePressEvent(QMouseEvent* event) {
    if (!m_map || event->button() != Qt::LeftButton) return;
    if (const std::optional<std::size_t> entry = m_map->entry_at(event->position(), m_zoom)) emit entry_clicked(*entry);
}

}  // namespace tessaro
