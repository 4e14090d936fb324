#include "look_renderer.h"

#include <QImage>
#include <gtest/gtest.h>

#include "support/qt_support.h"

namespace tessaro {
namespace {

QImage look_of(const std::string& text) {
    const TypDocument doc = read_typ_text(text);
    EXPECT_EQ(doc.entries.size(), 1u);
    return render_look(doc.entries.at(0)).toImage();
}

bool has_colour(const QImage& img, QColor c) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y).rgb() == c.rgb() && img.pixelColor(x, y).alpha() == 255) return true;
    return false;
}

TEST(RenderLook, paints_icons_strokes_and_swatches_in_their_colours) {
    test::qt_app();
    const QImage point = look_of("[_point]\nType=0x2f\nXpm=\"2 1 2 1\"\n\"a c #FF0000\"\n\"b c none\"\n\"ab\"\n[end]\n");
    EXPECT_EQ(point.pixelColor(4, 20).rgb(), QColor("#FF0000").rgb());  // the pixel at 2x
    EXPECT_EQ(point.pixelColor(8, 20).alpha(), 0);                      // "none" stays clear

    const QImage road = look_of("[_line]\nType=0x01\nLineWidth=5\nBorderWidth=1\nXpm=\"0 0 2 0\"\n"
                                "\"0 c #1CA9DE\"\n\"0 c #0000A0\"\n[end]\n");
    EXPECT_EQ(road.pixelColor(48, 20).rgb(), QColor("#1CA9DE").rgb());
    EXPECT_TRUE(has_colour(road, QColor("#0000A0")));

    const QImage dashed = look_of("[_line]\nType=0x0a\nXpm=\"4 1 2 1\"\n\"0 c #00FF00\"\n\"1 c none\"\n\"0011\"\n[end]\n");
    EXPECT_TRUE(has_colour(dashed, QColor("#00FF00")));

    const QImage water = look_of("[_polygon]\nType=0x3c\nXpm=\"0 0 1 0\"\n\"0 c #B7F7FF\"\n[end]\n");
    EXPECT_EQ(water.pixelColor(16, 16).rgb(), QColor("#B7F7FF").rgb());
}

}  // namespace
}  // namespace tessaro
