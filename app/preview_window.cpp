#include "preview_window.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "file_io.h"
#include "look_renderer.h"
#include "qt_text.h"

namespace tessaro {

namespace {
const char* const FILTERS[] = {"All", "Points", "Lines", "Polygons"};
const Section FILTER_SECTIONS[] = {Section::Point, Section::Line, Section::Polygon};
}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("preview");
    setWindowTitle("Preview");
    m_filter = new QComboBox;
    m_filter->setObjectName("previewFilter");
    for (const char* f : FILTERS) m_filter->addItem(f);
    connect(m_filter, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { fill_rows(); });

    m_entries = new QTableWidget(0, 4);
    m_entries->setObjectName("previewEntries");
    m_entries->setHorizontalHeaderLabels({"Look", "Section", "Type", "Label"});
    m_entries->verticalHeader()->hide();
    m_entries->horizontalHeader()->setStretchLastSection(true);
    m_entries->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_entries->setSelectionMode(QAbstractItemView::SingleSelection);
    m_entries->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_entries->setIconSize(QSize(96, 40));
    connect(m_entries, &QTableWidget::currentCellChanged, this, [this](int row) { show_entry(row); });

    m_text = new QPlainTextEdit;
    m_text->setObjectName("previewText");
    m_text->setReadOnly(true);
    m_text->setFont(QFont("Monospace"));
    m_problems = new QListWidget;
    m_problems->setObjectName("previewProblems");
    m_problems->setMaximumHeight(100);

    auto* split = new QSplitter;
    split->addWidget(m_entries);
    split->addWidget(m_text);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(split, 1);
    layout->addWidget(new QLabel("Problems:"));
    layout->addWidget(m_problems);
    resize(900, 600);
}

bool PreviewWindow::show_typ_text(const std::string& path, std::string& error) {
    std::string text;
    if (!read_file(path, text, error)) {
        error = path + ": " + error;
        return false;
    }
    m_doc = read_typ_text(text);
    setWindowTitle(to_qt("Preview: " + path));
    m_problems->clear();
    for (const TypProblem& p : m_doc.problems)
        m_problems->addItem(QString("line %1: %2").arg(p.line).arg(to_qt(p.message)));
    if (m_doc.problems.empty()) m_problems->addItem("none");
    fill_rows();
    return true;
}

void PreviewWindow::fill_rows() {
    const int filter = m_filter->currentIndex();
    m_entries->setRowCount(0);
    m_text->clear();
    for (std::size_t i = 0; i < m_doc.entries.size(); ++i) {
        const TypEntry& e = m_doc.entries[i];
        if (filter > 0 && e.section != FILTER_SECTIONS[filter - 1]) continue;
        const int row = m_entries->rowCount();
        m_entries->insertRow(row);
        auto* look = new QTableWidgetItem;
        look->setIcon(QIcon(render_look(e)));
        look->setData(Qt::UserRole, static_cast<qulonglong>(i));
        m_entries->setItem(row, 0, look);
        m_entries->setItem(row, 1, new QTableWidgetItem(section_name(e.section)));
        m_entries->setItem(row, 2, new QTableWidgetItem(to_qt(e.type)));
        m_entries->setItem(row, 3, new QTableWidgetItem(to_qt(e.label)));
        m_entries->setRowHeight(row, 44);
    }
    m_entries->setColumnWidth(0, 104);
    if (m_entries->rowCount() > 0) m_entries->setCurrentCell(0, 0);
}

void PreviewWindow::show_entry(int row) {
    const QTableWidgetItem* look = row >= 0 ? m_entries->item(row, 0) : nullptr;
    if (look == nullptr) return;
    const TypEntry& e = m_doc.entries[look->data(Qt::UserRole).toULongLong()];
    m_text->setPlainText(QString("line %1\n").arg(e.first_line) + to_qt(e.text));
}

}  // namespace tessaro
