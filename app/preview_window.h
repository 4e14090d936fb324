#pragma once

#include <QWidget>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "look_source.h"
#include "typ_reader.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTableWidget;

namespace tessaro {

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
    const TypDocument& document() const { return m_doc; }
    // Lines added to the problems of the text shown (what a check against its style found).
    void add_problems(const std::vector<std::string>& lines);

private:
    void fill_rows();
    void show_entry(int row);
    const EntryLook* look_of(std::size_t entry) const;

    TypDocument m_doc;
    std::vector<EntryLook> m_looks;
    std::vector<std::optional<std::size_t>> m_entry_looks;  // per entry of m_doc, into m_looks
    QLabel* m_summary = nullptr;
    QLabel* m_command = nullptr;
    QComboBox* m_filter = nullptr;
    QTableWidget* m_entries = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QListWidget* m_problems = nullptr;
};

}  // namespace tessaro
