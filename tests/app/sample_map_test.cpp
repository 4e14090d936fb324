#include "sample_map.h"

#include <QImage>
#include <cstdio>
#include <filesystem>
#include "sample_map_command.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {
// A colour of its own for every entry, far from the ground's.
QColor colour_of(int i) { return QColor(40 + (i * 37) % 160, 30 + (i * 11) % 90, 60 + (i * 53) % 190); }
std::string hex(const QColor& c) { return c.name(QColor::HexRgb).toUpper().toStdString(); }

std::string polygon(int i, const std::string& night = "") {
    return "[_polygon]\nType=0x" + std::to_string(100000 + i) + "\nString1=0x04,an area with a label far too long to fit\n"
           "Xpm=\"0 0 " + (night.empty() ? "1" : "2") + " 0\"\n\"a c " + hex(colour_of(i)) + "\"\n" +
           (night.empty() ? "" : "\"b c " + night + "\"\n") + "[end]\n";
}

std::string line(int i, int type = 0) {
    return "[_line]\nType=0x" + (type != 0 ? std::to_string(type) : std::to_string(100000 + i)) +
           "\nString1=0x04,a road\nLineWidth=4\nXpm=\"0 0 1 0\"\n\"a c " + hex(colour_of(i)) + "\"\n[end]\n";
}

std::string point(int i, const std::string& night_icon = "") {
    return "[_point]\nType=0x" + std::to_string(100000 + i) + "\nString1=0x04,a point with a long long label\n"
           "Xpm=\"6 6 1 1\"\n\"a c " + hex(colour_of(i)) + "\"\n\"aaaaaa\"\n\"aaaaaa\"\n\"aaaaaa\"\n\"aaaaaa\"\n\"aaaaaa\"\n\"aaaaaa\"\n" + night_icon + "[end]\n";
}

// A text of `areas` polygons (levels 1 to 4 in turn), `lines` lines and `points` points, each its own colour.
std::string sample_text(int areas, int lines, int points) {
    std::string order = "[_drawOrder]\n", entries;
    int i = 0;
    for (int k = 0; k < areas; ++k, ++i) {
        order += "Type=0x" + std::to_string(100000 + i) + "," + std::to_string(1 + k % 4) + "\n";
        entries += polygon(i);
    }
    for (int k = 0; k < lines; ++k, ++i) entries += line(i, k % 3 == 0 ? 18 + k % 8 : 0);
    for (int k = 0; k < points; ++k, ++i) entries += point(i);
    return "[_id]\nFID=1\n[end]\n" + order + "[end]\n" + entries;
}

int count(const QImage& img, const QColor& c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y).rgb() == c.rgb();
    return n;
}

TEST(SampleMap, shows_every_entry_at_its_own_place_small_and_large_and_the_same_each_time) {
    for (const auto& [areas, lines, points] : {std::array{3, 2, 4}, std::array{70, 240, 660}}) {
        const TypDocument doc = read_typ_text(sample_text(areas, lines, points));
        ASSERT_EQ(doc.entries.size(), static_cast<std::size_t>(areas + lines + points));
        const SampleMap map(doc);
        const int zoom = map.fits(3) ? 3 : 2;
        const QImage day = map.draw(false), zoomed = map.draw(false, zoom);
        for (std::size_t i = 0; i < doc.entries.size(); ++i) {
            const std::optional<QPointF> at = map.place_of(i);
            ASSERT_TRUE(at) << i;
            const QPoint pixel = at->toPoint();
            EXPECT_EQ(day.pixelColor(pixel).rgb(), colour_of(static_cast<int>(i)).rgb())
                << areas + lines + points << " entries: " << doc.entries[i].type << " at " << pixel.x() << "," << pixel.y();
            EXPECT_EQ(map.entry_at(*at), i) << doc.entries[i].type;
            EXPECT_EQ(zoomed.pixelColor((*at * zoom).toPoint()).rgb(), day.pixelColor(pixel).rgb()) << i;
        }
        EXPECT_EQ(map.draw(false), SampleMap(read_typ_text(sample_text(areas, lines, points))).draw(false));
        EXPECT_TRUE(map.left_out().empty());
    }
}

TEST(SampleMap, draws_the_higher_draw_order_level_over_the_lower_where_areas_meet) {
    const auto text = [](int first_level, int second_level) {
        return "[_drawOrder]\nType=0x100000," + std::to_string(first_level) + "\nType=0x100001," +
               std::to_string(second_level) + "\n[end]\n" + polygon(0) + polygon(1);
    };
    const auto second_starts = [](const std::string& t) {
        const SampleMap map(read_typ_text(t));
        const QImage img = map.draw(false);
        const QPoint from = map.place_of(0)->toPoint();
        for (int x = from.x(); x < img.width(); ++x) if (img.pixelColor(x, from.y()).rgb() == colour_of(1).rgb()) return x;
        return -1;
    };
    const int first_higher = second_starts(text(2, 1)), second_higher = second_starts(text(1, 2));
    EXPECT_GT(second_higher, 0);
    EXPECT_GT(first_higher, second_higher);
}

TEST(SampleMap, uses_the_night_colours_and_night_icons_and_names_the_areas_the_draw_order_leaves_out) {
    const std::string night_icon = "NightXpm=\"6 6 1 1\"\n\"b c #00FFFF\"\n"
                                   "\"bbbbbb\"\n\"bbbbbb\"\n\"bbbbbb\"\n\"bbbbbb\"\n\"bbbbbb\"\n\"bbbbbb\"\n";
    const std::string text = "[_drawOrder]\nType=0x100000,1\n[end]\n" + polygon(0, "#FFFF00") + polygon(1) + "[_line]\nType=0x100002\nLineWidth=3\nBorderWidth=1\n"
                             "Xpm=\"0 0 4 0\"\n\"a c #110000\"\n\"b c #220000\"\n\"c c #FF00FF\"\n\"d c #00FF00\"\n[end]\n" +
                             point(3, night_icon);
    const TypDocument doc = read_typ_text(text);
    const SampleMap map(doc);
    const QImage day = map.draw(false), night = map.draw(true);
    EXPECT_EQ(day.pixelColor(map.place_of(0)->toPoint()).rgb(), colour_of(0).rgb());
    EXPECT_EQ(night.pixelColor(map.place_of(0)->toPoint()).rgb(), QColor("#FFFF00").rgb());
    EXPECT_EQ(night.pixelColor(map.place_of(2)->toPoint()).rgb(), QColor("#FF00FF").rgb());
    EXPECT_GT(count(night, QColor("#00FF00")), 0);  // the night's border
    EXPECT_EQ(count(night, QColor("#110000")), 0);
    EXPECT_EQ(night.pixelColor(map.place_of(3)->toPoint()).rgb(), QColor("#00FFFF").rgb());
    // mkgmap draws no polygon the draw order leaves out: it is named, not drawn.
    EXPECT_EQ(map.left_out(), std::vector<std::size_t>{1});
    EXPECT_FALSE(map.place_of(1));
    EXPECT_EQ(count(day, colour_of(1)), 0);
}

TEST(SampleMap, is_written_as_a_picture_and_says_why_when_it_cannot_be) {
    const test::TempDir tmp;
    tmp.write("in.txt", sample_text(5, 5, 5));
    const std::string png = tmp / "map.png";
    EXPECT_EQ(write_sample_map(tmp / "in.txt", png, true), "");
    const QImage written(QString::fromStdString(png));
    EXPECT_EQ(written.size(), SampleMap(read_typ_text(sample_text(5, 5, 5))).size());
    EXPECT_NE(write_sample_map(tmp / "missing.txt", png, false), "");
    tmp.write("empty.txt", "[_id]\nFID=1\n[end]\n");
    EXPECT_NE(write_sample_map(tmp / "empty.txt", png, false).find("no [_point]"), std::string::npos);
    EXPECT_NE(write_sample_map(tmp / "in.txt", tmp.path(), false), "");
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), written.size());
    const std::string big = sample_text(9000, 0, 0);
    tmp.write("big.txt", big);
    const SampleMap map(read_typ_text(big));
    EXPECT_FALSE(map.fits());
    EXPECT_TRUE(SampleMap(read_typ_text(sample_text(3, 2, 4))).fits(3));
    EXPECT_GT(qint64{map.size().width()} * map.size().height(), SampleMap::MAX_PIXELS);
    EXPECT_TRUE(map.draw(false).isNull());
    const std::string error = write_sample_map(tmp / "big.txt", tmp / "big.png", false);
    EXPECT_NE(error.find("9000 entries make a map of"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(tmp / "big.png"));
}
}  // namespace
}  // namespace tessaro
