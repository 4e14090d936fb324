#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "look_source.h"
#include "typ_reader.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QListWidget;
class QPlainTextEdit;
class QTableView;

namespace tessaro {

class PreviewModel;
class SampleMapView;

// Every entry of a TYP text with a picture of its look, section, type code,
// where the look came from and label; a filter by section, the entry's text
// on a click, and the problems the reader found. Where looks came from is
// known only from the run that wrote the text.
class PreviewWindow : public QWidget {
    Q_OBJECT

public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    // Reads the file and shows it; false (and nothing shown) when it cannot be read.
    // `looks` are the run's, in the order of the text; none: sources unknown.
    bool show_typ_text(const std::string& path, std::string& error, const std::vector<EntryLook>& looks = {});
    const TypDocument& document() const;
    // What a check against the style found, under a heading that counts it (or says it found nothing).
    void show_style_check(const std::string& style, const std::vector<std::string>& lines);

private:
    void filter_rows();
    void show_entry(int row);
    void show_first_row();
    void build_entries();
    QWidget* build_views();
    void select_entry(std::size_t entry);
    static QString entry_name(const TypEntry& e);

    PreviewModel* m_model = nullptr;
    QSortFilterProxyModel* m_rows = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_problems_heading = nullptr;
    bool m_listed_problems = false;  // else the list holds "none"
    QLabel* m_summary = nullptr;
    QLabel* m_command = nullptr;
    QComboBox* m_filter = nullptr;
    QComboBox* m_time = nullptr;
    QTableView* m_entries = nullptr;
    QComboBox* m_view = nullptr;
    SampleMapView* m_map = nullptr;
    QComboBox* m_zoom = nullptr;
    QLabel* m_under_pointer = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QListWidget* m_problems = nullptr;
};

}  // namespace tessaro
