#include "look_renderer.h"

#include <QImage>
#include <gtest/gtest.h>

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

TEST(RenderLook, paints_icons_and_strokes_in_their_colours_and_pictures_too_large_as_a_placeholder) {
    const QImage point = look_of("[_point]\nType=0x2f\nXpm=\"2 1 2 1\"\n\"a c #FF0000\"\n\"b c none\"\n\"ab\"\n[end]\n");
    EXPECT_EQ(point.pixelColor(5, 12).rgb(), QColor("#FF0000").rgb());  // the pixel at 2x
    EXPECT_EQ(point.pixelColor(6, 12).alpha(), 0);                      // "none" stays clear
    const QImage road = look_of("[_line]\nType=0x01\nLineWidth=5\nBorderWidth=1\nXpm=\"0 0 2 0\"\n"
                                "\"0 c #1CA9DE\"\n\"0 c #0000A0\"\n[end]\n");
    EXPECT_EQ(road.pixelColor(32, 12).rgb(), QColor("#1CA9DE").rgb());
    EXPECT_TRUE(has_colour(road, QColor("#0000A0")));
    const QImage dashed = look_of("[_line]\nType=0x0a\nXpm=\"4 1 2 1\"\n\"0 c #00FF00\"\n\"1 c none\"\n\"0011\"\n[end]\n");
    EXPECT_TRUE(has_colour(dashed, QColor("#00FF00")));
    // Wider than any picture mkgmap takes: not drawn, whatever its cost would be.
    for (const char* text : {"[_line]\nType=0x01\nXpm=\"2000000000 1 1 1\"\n\"a c #FF0000\"\n\"a\"\n[end]\n",
                             "[_point]\nType=0x2f\nXpm=\"1 2000000000 1 1\"\n\"a c #FF0000\"\n\"a\"\n[end]\n",
                             "[_polygon]\nType=0x3c\nXpm=\"256 1 1 1\"\n\"a c #FF0000\"\n\"a\"\n[end]\n"}) {
        EXPECT_FALSE(has_colour(look_of(text), QColor("#FF0000"))) << text;
        EXPECT_NE(undrawable_reason(read_typ_text(text).entries.at(0)).find("is too large to draw"), std::string::npos);
    }
    std::string icon = "[_point]\nType=0x2f\nXpm=\"255 255 1 1\"\n\"a c #FF0000\"\n";
    for (int y = 0; y < 255; ++y) icon += "\"" + std::string(255, 'a') + "\"\n";
    const QImage big = look_of(icon + "[end]\n");
    EXPECT_EQ(big.pixelColor(12, 1).rgb(), QColor("#FF0000").rgb());
    EXPECT_EQ(big.pixelColor(12, 22).rgb(), QColor("#FF0000").rgb());
    const QImage wide = look_of("[_line]\nType=0x01\nLineWidth=2147483647\nBorderWidth=2147483647\n"
                                "Xpm=\"0 0 2 0\"\n\"0 c #1CA9DE\"\n\"0 c #0000A0\"\n[end]\n");
    EXPECT_TRUE(has_colour(wide, QColor("#0000A0")));
}
}  // namespace
}  // namespace tessaro
