#pragma once

#include <QWidget>
#include <string>

#include "typ_reader.h"

class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QTableWidget;

namespace tessaro {

// Every entry of a TYP text with a picture of its look, section, type code
// and label; a filter by section, the entry's text on a click, and the
// problems the reader found.
class PreviewWindow : public QWidget {
    Q_OBJECT

public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    // Reads the file and shows it; false (and nothing shown) when it cannot be read.
    bool show_typ_text(const std::string& path, std::string& error);
    const TypDocument& document() const { return m_doc; }

private:
    void fill_rows();
    void show_entry(int row);

    TypDocument m_doc;
    QComboBox* m_filter = nullptr;
    QTableWidget* m_entries = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QListWidget* m_problems = nullptr;
};

}  // namespace tessaro
