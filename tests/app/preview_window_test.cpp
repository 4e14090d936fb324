#include "preview_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTableView>
#include <map>
#include "preview_model.h"
#include "sample_map_view.h"
#include "qt_text.h"
#include "support/temp_dir.h"
#include "typ_reader.h"

namespace tessaro {
namespace {
const int SOURCE = PreviewModel::SOURCE, LABEL = PreviewModel::LABEL;
// Two lines share a code, and one line has no look in the run's list.
const std::string TEXT = "[_point]\r\nType=0x02d02\r\nString1=0x04,Bar\r\n[end]\r\n"
                         "[_line]\r\nType=0x02\r\n[end]\r\n[_line]\r\nType=0x02\r\n[end]\r\n"
                         "[_line]\r\nType=0x0a\r\n[end]\r\n[_line]\r\nType=0x11\r\n[end]\r\n"
                         "[_polygon]\r\nType=0x3c\r\n[end]\r\n";

struct PreviewTest : ::testing::Test {
    test::TempDir dir;
    std::string path = dir.write("typ.txt", TEXT);
    PreviewWindow preview;
    QTableView* rows = preview.findChild<QTableView*>("previewEntries");
    QComboBox* filter = preview.findChild<QComboBox*>("previewFilter");
    QAbstractItemModel* model() { return rows->model(); }
    std::string cell(int r, int c, int role = Qt::DisplayRole) {
        const QVariant v = model()->index(r, c).data(role);
        return v.isValid() ? from_qt(v.toString()) : "-";
    }
    using Cells = std::vector<std::string>;
    Cells column(int c) {
        Cells cells;
        for (int r = 0; r < model()->rowCount(); ++r) cells.push_back(cell(r, c));
        return cells;
    }
    std::string error;
    bool show(const std::string& p, const std::vector<EntryLook>& looks = {}) { return preview.show_typ_text(p, error, looks); }
    std::string summary() { return from_qt(preview.findChild<QLabel*>("previewSummary")->text()); }
    std::string entry_text() { return from_qt(preview.findChild<QPlainTextEdit*>("previewText")->toPlainText()); }
    void click_row(int r) { rows->setCurrentIndex(model()->index(r, 0)); }
};

TEST_F(PreviewTest, pairs_each_entry_with_the_run_s_look_of_its_section_and_code_and_forgets_them_when_opened_again_keeping_the_filter) {
    // Not in text order, a code in other letters, and a look the text has no entry for.
    const std::vector<EntryLook> looks = {
        {Section::Polygon, "0x3c", LookSource::Table, "", "", "", "", ""},
        {Section::Line, "0x02", LookSource::Library, "0x00200", "", "highway=primary", "", ""},
        {Section::Point, "0x02d02", LookSource::Tags, "0x02d01", "amenity=bar", "amenity=bar & name=*", "", ""},
        {Section::Line, "0x0A", LookSource::Random, "", "", "", "", ""},
        {Section::Line, "0x02", LookSource::Table, "", "", "", "", ""},
        {Section::Polygon, "0x50", LookSource::Random, "", "", "", "", ""},
    };
    ASSERT_TRUE(show(path, looks)) << error;
    EXPECT_EQ(summary(), "6 types: 1 library, 2 table, 1 tags, 2 random");
    EXPECT_FALSE(rows->isColumnHidden(SOURCE));
    EXPECT_EQ(column(SOURCE), (Cells{"tags", "library", "table", "random", "-", "table"}));
    EXPECT_EQ(cell(0, SOURCE, Qt::ToolTipRole), "tags\nmatched amenity=bar\nlibrary look 0x02d01\nrule amenity=bar & name=*");
    click_row(1);
    click_row(0);
    EXPECT_EQ(entry_text().rfind("line 1, Type=0x02d02, look: tags, matched amenity=bar, library look 0x02d01", 0), 0u) << entry_text();
    preview.show();
    filter->showPopup();
    QAbstractItemView* list = filter->view();
    list->setCurrentIndex(list->model()->index(2, 0));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    EXPECT_EQ(from_qt(filter->currentText()), "Lines");
    EXPECT_EQ(column(SOURCE), (Cells{"library", "table", "random", "-"}));
    EXPECT_EQ(summary(), "6 types: 1 library, 2 table, 1 tags, 2 random");  // the whole run, whatever is shown
    ASSERT_TRUE(show(path));
    EXPECT_TRUE(rows->isColumnHidden(SOURCE));
    EXPECT_EQ(column(PreviewModel::SECTION), Cells(4, "line"));
    EXPECT_EQ(column(SOURCE), Cells(4, "-"));
    filter->showPopup();
    EXPECT_TRUE(from_qt(filter->currentText()) == "Lines" && filter->view()->currentIndex().row() == 2);
    filter->hidePopup();
    click_row(3);
    EXPECT_EQ(entry_text().rfind("line 14, Type=0x11\n[_line]", 0), 0u) << entry_text();
}

// A line's Type=0x02700 is the style's 0x27, a point's Type=0x2f with SubType=0x0b its 0x2f0b.
TEST_F(PreviewTest, sorts_by_a_column_searches_code_label_and_tags_and_shows_codes_as_the_style_writes_them) {
    const std::string label = "roundabout on a primary road with two lanes and a cycle lane";
    const std::string text = TEXT + "[_line]\r\nType=0x02700\r\nString1=0x04," + label + "\r\n[end]\r\n"
                             "[_point]\r\nType=0x2f\r\nSubType=0x0b\r\n;tags=amenity=parking\r\n[end]\r\n";
    const std::vector<EntryLook> looks = {{Section::Line, "0x02700", LookSource::Table, "", "", "junction=roundabout", "", ""}};
    ASSERT_TRUE(show(dir.write("more.txt", text), looks)) << error;
    const int TYPE = PreviewModel::TYPE;
    EXPECT_EQ(column(TYPE), (Cells{"0x2d02", "0x02", "0x02", "0x0a", "0x11", "0x3c", "0x27", "0x2f0b"}));
    EXPECT_EQ(cell(6, TYPE, Qt::ToolTipRole), "Type=0x02700");
    rows->horizontalHeader()->setSortIndicator(TYPE, Qt::AscendingOrder);
    EXPECT_EQ(column(TYPE), (Cells{"0x02", "0x02", "0x0a", "0x11", "0x27", "0x2d02", "0x2f0b", "0x3c"}));
    rows->horizontalHeader()->setSortIndicator(LABEL, Qt::DescendingOrder);
    EXPECT_EQ(cell(0, LABEL), label);
    auto* search = preview.findChild<QLineEdit*>("previewSearch");
    ASSERT_NE(search, nullptr);
    const std::pair<std::string, Cells> searches[] = {
        {"BAR", {"0x2d02"}}, {"0x3c", {"0x3c"}}, {"0x02700", {"0x27"}}, {"parking", {"0x2f0b"}}, {"roundabout", {"0x27"}}, {"nothing", {}}};
    for (const auto& [words, found] : searches) {
        search->setText(to_qt(words));
        EXPECT_EQ(column(TYPE), found) << words;
    }
    search->clear();
    EXPECT_EQ(model()->rowCount(), 8);
}

TEST_F(PreviewTest, shows_labels_in_the_text_s_code_page_or_from_a_comment_and_names_the_page_in_its_mkgmap_command) {
    const auto command = [&] { return from_qt(preview.findChild<QLabel*>("previewCommand")->text()); };
    ASSERT_TRUE(show(path)) << error;
    EXPECT_TRUE(command().ends_with("--code-page=1252 " + path)) << command();
    const std::string entry = "[_point]\r\nType=0x2f06\r\nDayXpm=\"1 1 1 1\"\r\n\"a c #000000\"\r\n\"a\"\r\n";
    // "Łódź" in 1250; "Москва" in 1251, with a German string first.
    const std::string polish = dir.write("polish.txt", "[_id]\r\nCodePage=1250\r\n[end]\r\n" + entry + "String1=0x04,\xA3\xF3\x64\x9F\r\n[end]\r\n");
    const std::string russian = dir.write("russian.txt", "[_id]\r\nCodePage=1251\r\n[end]\r\n" + entry +
                                                         "String1=0x02,Moskau\r\nString2=0x04,\xCC\xEE\xF1\xEA\xE2\xE0\r\n[end]\r\n");
    for (const auto& [text, label] : {std::pair{polish, "\xC5\x81\xC3\xB3\x64\xC5\xBA"},
                                      {russian, "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"}}) {
        ASSERT_TRUE(show(text)) << error;
        EXPECT_EQ(cell(0, LABEL), label);
    }
    EXPECT_TRUE(command().ends_with("--code-page=1251 " + russian)) << command();
    // A file head's comments, a library point as res/points has it, a polygon whose
    // library label became a comment, and a labelled line whose note is no name.
    const std::string text = "[_id]\nFID=1\n[End]\n;style:x\n;generated by tessaro\n"
                             "[_point]\nType=0x2f\nXpm=\"1 1 1 1\"\n\"a c #000000\"\n\"a\"\n[end]\n\n"
                             ";city over 10 million\n[_point]\nType=0x00100\n;tags=place=city\n"
                             "Xpm=\"1 1 1 1\"\n\"a c #000000\"\n\"a\"\n[end]\n"
                             "[_polygon]\nType=0x3c\n;tags=natural=water\n;0x04,Lake\nXpm=\"0 0 1 0\"\n\"1 c #8CC4F0\"\n[end]\n"
                             ";a road\n[_line]\nType=0x02\nString1=0x04,Main road\nXpm=\"0 0 1 0\"\n\"1 c #F0C060\"\n[end]\n";
    ASSERT_TRUE(show(dir.write("named.txt", text))) << error;
    EXPECT_EQ(column(LABEL), (Cells{"", "city over 10 million", "Lake", "Main road"}));
    const auto italic = [&](int r) { return model()->index(r, LABEL).data(Qt::FontRole).value<QFont>().italic(); };
    EXPECT_TRUE(italic(1) && !italic(3));
}

TEST_F(PreviewTest, a_600_pixel_window_shows_15_rows_draws_pictures_only_for_the_rows_on_screen_and_names_an_xpm_too_large) {
    std::string text = "[_line]\nType=0x01\nXpm=\"2000000000 1 1 1\"\n\"a c #FF0000\"\n\"a\"\n[end]\n";
    char entry[128];
    for (int i = 0; i < 100000; ++i) {
        std::snprintf(entry, sizeof entry, "[_polygon]\nType=0x%x\nXpm=\"0 0 1 0\"\n\"1 c #%06X\"\n[end]\n", 0x10000 + i,
                      i * 37 % 0xFFFFFF);
        text += entry;
    }
    ASSERT_TRUE(show(dir.write("many.txt", text))) << error;
    const auto* problems = preview.findChild<QListWidget*>("previewProblems");
    EXPECT_EQ(from_qt(problems->item(0)->text()), "line 1: warning: Xpm of 2000000000 x 1 is too large to draw");
    preview.resize(900, 600);
    preview.show();
    rows->viewport()->grab();
    const int shown = rows->rowAt(rows->viewport()->height() - 1) - rows->rowAt(0) + 1;
    EXPECT_GE(shown, 15);
    const auto* pictures = static_cast<PreviewModel*>(preview.findChild<QAbstractTableModel*>());
    const auto drawn = [&] { return static_cast<int>(pictures->pictures_drawn()); };
    EXPECT_TRUE(drawn() >= shown && drawn() <= 2 * shown) << drawn() << " for " << shown;
    rows->scrollToBottom();
    rows->viewport()->grab();
    EXPECT_TRUE(drawn() >= 2 * shown - 1 && drawn() <= 4 * shown) << drawn() << " for " << shown;  // the last rows, too
}

TEST_F(PreviewTest, the_map_names_the_type_under_the_pointer_selects_a_clicked_entry_and_follows_night_and_zoom) {
    const std::string text = "[_drawOrder]\r\nType=0x3c,1\r\nType=0x28,2\r\n[end]\r\n" + TEXT +
                             "[_polygon]\r\nType=0x28\r\nXpm=\"0 0 2 0\"\r\n\"1 c #96C4EC\"\r\n\"2 c #244867\"\r\n[end]\r\n"
                             "[_point]\r\nType=0x02d03\r\nXpm=\"2 2 1 1\"\r\n\"a c #C05020\"\r\n\"aa\"\r\n\"aa\"\r\n"
                             "NightXpm=\"2 2 1 1\"\r\n\"a c #F0A070\"\r\n\"aa\"\r\n\"aa\"\r\n[end]\r\n";
    ASSERT_TRUE(show(dir.write("map.txt", text))) << error;
    const auto middle = [&](int r) {
        const QImage picture = model()->index(r, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
        std::map<std::string, int> count;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y).alpha() == 255) ++count[picture.pixelColor(x, y).name().toStdString()];
        const auto most = std::max_element(count.begin(), count.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
        return most == count.end() ? std::string("none") : most->first;
    };
    EXPECT_EQ(middle(6) + middle(7), "#96c4ec#c05020");
    filter->setCurrentIndex(2);  // lines only: a click on the point shows every entry again
    preview.findChild<QComboBox*>("previewView")->setCurrentText("Map");
    auto* map = preview.findChild<SampleMapView*>("previewMap");
    ASSERT_NE(map, nullptr);
    const QPoint point = map->map()->place_of(0)->toPoint();
    QMouseEvent move(QEvent::MouseMove, point, map->mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(map, &move);
    EXPECT_TRUE(from_qt(preview.findChild<QLabel*>("previewMapType")->text()).ends_with("0x02d02 Bar"));
    QMouseEvent press(QEvent::MouseButtonPress, point, map->mapToGlobal(point), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(map, &press);
    EXPECT_TRUE(filter->currentIndex() == 0 && rows->currentIndex().row() == 0);
    EXPECT_TRUE(test::has(entry_text(), "Type=0x02d02"));
    const QSize day_size = map->size();
    preview.findChild<QComboBox*>("previewZoom")->setCurrentText("2x");
    EXPECT_TRUE(map->size() == map->map()->size(2) && map->width() > day_size.width());
    auto* time = preview.findChild<QComboBox*>("previewDayNight");
    time->setCurrentText("Night");
    EXPECT_EQ(middle(6) + middle(7), "#244867#f0a070");
    EXPECT_EQ(map->grab().toImage().pixelColor(5, 5).rgb(), QColor(0x12, 0x12, 0x12).rgb());  // the night's ground
    time->setCurrentText("Day");
    EXPECT_EQ(middle(6), "#96c4ec");
}
}  // namespace
}  // namespace tessaro
