#include "preview_window.h"

#include "typ_text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "file_io.h"
#include "look_pairing.h"
#include "look_renderer.h"
#include "qt_text.h"

namespace tessaro {

namespace {
const char* const FILTERS[] = {"All", "Points", "Lines", "Polygons"};
const Section FILTER_SECTIONS[] = {Section::Point, Section::Line, Section::Polygon};
enum Column { LOOK, SECTION, TYPE, SOURCE, LABEL, COLUMNS };

// What is known of a look beside its source: the tags that matched, the
// library look taken, the rule's condition.
QStringList look_details(const EntryLook& look) {
    QStringList details{look_source_name(look.source)};
    if (!look.matched.empty()) details << "matched " + to_qt(look.matched);
    if (!look.library_code.empty()) details << "library look " + to_qt(look.library_code);
    if (!look.condition.empty()) details << "rule " + to_qt(look.condition);
    return details;
}
}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("preview");
    setWindowTitle("Preview");
    m_filter = new QComboBox;
    m_filter->setObjectName("previewFilter");
    for (const char* f : FILTERS) m_filter->addItem(f);
    connect(m_filter, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { fill_rows(); });

    m_summary = new QLabel;
    m_summary->setObjectName("previewSummary");
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_entries = new QTableWidget(0, COLUMNS);
    m_entries->setObjectName("previewEntries");
    m_entries->setHorizontalHeaderLabels({"Look", "Section", "Type", "Source", "Label"});
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
    // The command that compiles the text with its labels (mkgmap's own code page would drop them).
    m_command = new QLabel;
    m_command->setObjectName("previewCommand");
    m_command->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problems = new QListWidget;
    m_problems->setObjectName("previewProblems");
    m_problems->setMaximumHeight(100);

    auto* split = new QSplitter;
    split->addWidget(m_entries);
    split->addWidget(m_text);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_filter);
    top->addWidget(m_summary, 1);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addWidget(m_command);
    layout->addWidget(new QLabel("Problems:"));
    layout->addWidget(m_problems);
    resize(900, 600);
}

bool PreviewWindow::show_typ_text(const std::string& path, std::string& error, const std::vector<EntryLook>& looks) {
    std::string text;
    if (!read_file(path, text, error)) {
        error = path + ": " + error;
        return false;
    }
    m_doc = read_typ_text(text);
    m_looks = looks;
    m_entry_looks = pair_looks(m_doc.entries, m_looks);
    // A run that reported no looks tells nothing of them.
    m_summary->setText(m_looks.empty() ? QString("Look sources are known right after Create TYP")
                                       : to_qt(look_summary(m_looks)));
    m_entries->setColumnHidden(SOURCE, m_looks.empty());
    setWindowTitle(to_qt("Preview: " + path));
    m_command->setText(to_qt("Compile it with: " + mkgmap_command(path)));
    m_problems->clear();
    for (const TypProblem& p : m_doc.problems)
        m_problems->addItem(QString("line %1: %2: %3")
                                .arg(p.line)
                                .arg(p.severity == Severity::Error ? "error" : "warning")
                                .arg(to_qt(p.message)));
    if (m_doc.problems.empty()) m_problems->addItem("none");
    fill_rows();
    return true;
}

void PreviewWindow::add_problems(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    // "none" stood for the reader's problems alone.
    if (m_doc.problems.empty()) m_problems->clear();
    for (const std::string& line : lines) m_problems->addItem(to_qt(line));
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
        m_entries->setItem(row, LOOK, look);
        m_entries->setItem(row, SECTION, new QTableWidgetItem(section_name(e.section)));
        m_entries->setItem(row, TYPE, new QTableWidgetItem(to_qt(e.type)));
        if (const EntryLook* source = look_of(i)) {
            auto* item = new QTableWidgetItem(look_source_name(source->source));
            item->setToolTip(look_details(*source).join("\n"));
            m_entries->setItem(row, SOURCE, item);
        }
        m_entries->setItem(row, LABEL, new QTableWidgetItem(to_qt(e.label)));
        m_entries->setRowHeight(row, 44);
    }
    m_entries->setColumnWidth(LOOK, 104);
    if (m_entries->rowCount() > 0) m_entries->setCurrentCell(0, 0);
}

void PreviewWindow::show_entry(int row) {
    const QTableWidgetItem* look = row >= 0 ? m_entries->item(row, LOOK) : nullptr;
    if (look == nullptr) return;
    const std::size_t i = look->data(Qt::UserRole).toULongLong();
    const TypEntry& e = m_doc.entries[i];
    QString head = QString("line %1").arg(e.first_line);
    if (const EntryLook* source = look_of(i)) head += ", look: " + look_details(*source).join(", ");
    m_text->setPlainText(head + "\n" + to_qt(e.text));
}

const EntryLook* PreviewWindow::look_of(std::size_t entry) const {
    if (entry >= m_entry_looks.size() || !m_entry_looks[entry]) return nullptr;
    return &m_looks[*m_entry_looks[entry]];
}

}  // namespace tessaro
