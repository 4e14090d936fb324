#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

#include "sample_map.h"

namespace tessaro {

// The sample map of a TYP text as a widget: by day or at night, at a zoom of
// 1 to 3; it names the type under the pointer and tells which one was clicked.
class SampleMapView : public QWidget {
    Q_OBJECT

public:
    explicit SampleMapView(QWidget* parent = nullptr);

    void show_document(const TypDocument& doc);
    void set_night(bool night);
    void set_zoom(int zoom);
    const SampleMap* map() const { return m_map.get(); }
    int zoom() const { return m_zoom; }

signals:
    // The entry (its index in the text) under the pointer; none off every entry.
    void entry_hovered(std::optional<std::size_t> entry);
    void entry_clicked(std::size_t entry);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void redraw();

    std::unique_ptr<SampleMap> m_map;
    QImage m_picture;
    bool m_night = false;
    int m_zoom = 1;
};

}  // namespace tessaro
