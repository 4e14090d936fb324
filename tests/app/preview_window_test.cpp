#include "preview_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "qt_text.h"
#include "support/qt_support.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

const int SOURCE = 3;

// Two lines share a code, and one line has no look in the run's list.
const std::string TEXT = "[_point]\r\nType=0x02d02\r\nString1=0x04,Bar\r\n[end]\r\n"
                         "[_line]\r\nType=0x02\r\n[end]\r\n[_line]\r\nType=0x02\r\n[end]\r\n"
                         "[_line]\r\nType=0x0a\r\n[end]\r\n[_line]\r\nType=0x11\r\n[end]\r\n"
                         "[_polygon]\r\nType=0x3c\r\n[end]\r\n";

struct PreviewTest : ::testing::Test {
    QApplication& app = test::qt_app();
    test::TempDir dir;
    std::string path = dir.write("typ.txt", TEXT);
    PreviewWindow preview;
    QTableWidget* rows = preview.findChild<QTableWidget*>("previewEntries");

    std::vector<std::string> column(int c) {
        std::vector<std::string> cells;
        for (int r = 0; r < rows->rowCount(); ++r) cells.push_back(rows->item(r, c) ? from_qt(rows->item(r, c)->text()) : "-");
        return cells;
    }
    std::string summary() { return from_qt(preview.findChild<QLabel*>("previewSummary")->text()); }
};

TEST_F(PreviewTest, pairs_each_entry_with_the_look_of_its_section_and_code_in_order_and_sums_them_up) {
    // Not in text order, a code in other letters, and a look the text has no entry for.
    const std::vector<EntryLook> looks = {
        {Section::Polygon, "0x3c", LookSource::Table, "", "", ""},
        {Section::Line, "0x02", LookSource::Library, "0x00200", "", "highway=primary"},
        {Section::Point, "0x02d02", LookSource::Tags, "0x02d01", "amenity=bar", "amenity=bar & name=*"},
        {Section::Line, "0x0A", LookSource::Random, "", "", ""},
        {Section::Line, "0x02", LookSource::Table, "", "", ""},
        {Section::Polygon, "0x50", LookSource::Random, "", "", ""},
    };
    std::string error;
    ASSERT_TRUE(preview.show_typ_text(path, error, looks)) << error;
    EXPECT_EQ(summary(), "6 types: 1 library, 2 table, 1 tags, 2 random");
    EXPECT_FALSE(rows->isColumnHidden(SOURCE));
    EXPECT_EQ(column(SOURCE), (std::vector<std::string>{"tags", "library", "table", "random", "-", "table"}));
    EXPECT_EQ(from_qt(rows->item(0, SOURCE)->toolTip()),
              "tags\nmatched amenity=bar\nlibrary look 0x02d01\nrule amenity=bar & name=*");
    rows->setCurrentCell(0, 0);
    EXPECT_TRUE(preview.findChild<QPlainTextEdit*>("previewText")
                    ->toPlainText()
                    .startsWith("line 1, look: tags, matched amenity=bar, library look 0x02d01"));

    preview.findChild<QComboBox*>("previewFilter")->setCurrentText("Lines");
    EXPECT_EQ(column(SOURCE), (std::vector<std::string>{"library", "table", "random", "-"}));
    EXPECT_EQ(summary(), "6 types: 1 library, 2 table, 1 tags, 2 random");  // the whole run, whatever is shown
}

TEST_F(PreviewTest, without_the_run_s_looks_shows_no_sources_and_a_neutral_summary) {
    std::string error;
    ASSERT_TRUE(preview.show_typ_text(path, error, {{Section::Polygon, "0x3c", LookSource::Table, "", "", ""}}));
    // Opened again as from the menu: what the run told is gone.
    ASSERT_TRUE(preview.show_typ_text(path, error));
    EXPECT_EQ(rows->rowCount(), 6);
    EXPECT_TRUE(rows->isColumnHidden(SOURCE));
    EXPECT_EQ(column(SOURCE), std::vector<std::string>(6, "-"));
    EXPECT_EQ(summary(), "Look sources are known right after Create TYP");
    rows->setCurrentCell(5, 0);
    EXPECT_TRUE(preview.findChild<QPlainTextEdit*>("previewText")->toPlainText().startsWith("line 17\n[_polygon]"));
}

}  // namespace
}  // namespace tessaro
