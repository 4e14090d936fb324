#include "preview_window.h"

#include "typ_text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "file_io.h"
#include "look_renderer.h"
#include "preview_model.h"
#include "qt_text.h"
#include "sample_map_view.h"
#include "text_util.h"

namespace tessaro {

namespace {
constexpr const char* FILTERS[] = {"All", "Points", "Lines", "Polygons"};
constexpr Section FILTER_SECTIONS[] = {Section::Point, Section::Line, Section::Polygon};
constexpr int ROW_HEIGHT = 26;
}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("preview");
    setWindowTitle("Preview");
    m_filter = new QComboBox;
    m_filter->setObjectName("previewFilter");
    for (const char* f : FILTERS) m_filter->addItem(f);
    connect(m_filter, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { filter_rows(); });

    // Garmin units switch to their night colours after dusk; the looks are
    // shown on a dark ground then, as the unit's screen would be.
    m_time = new QComboBox;
    m_time->setObjectName("previewDayNight");
    m_time->addItems({"Day", "Night"});
    m_time->setToolTip("The looks by day, or at night (night colours, NightXpm)");
    connect(m_time, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        const bool night = index == 1;
        m_model->set_night(night);
        QPalette ground = palette();
        if (night) {
            ground.setColor(QPalette::Base, QColor(0x26, 0x26, 0x26));
            ground.setColor(QPalette::AlternateBase, QColor(0x30, 0x30, 0x30));
            ground.setColor(QPalette::Text, QColor(0xE6, 0xE6, 0xE6));
        }
        m_entries->setPalette(ground);
        m_map->set_night(night);
    });

    m_summary = new QLabel;
    m_summary->setObjectName("previewSummary");
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    build_entries();

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
    split->addWidget(build_views());
    split->addWidget(m_text);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({700, 300});
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_view);
    top->addWidget(m_filter);
    top->addWidget(m_time);
    top->addWidget(m_zoom);
    top->addWidget(m_search);
    top->addWidget(m_summary, 1);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    layout->addWidget(m_command);
    m_problems_heading = new QLabel("Problems:");
    m_problems_heading->setObjectName("previewProblemsHeading");
    layout->addWidget(m_problems_heading);
    layout->addWidget(m_problems);
    resize(1000, 640);
}

// The entries of the text, sorted by a header's click and searched.
void PreviewWindow::build_entries() {
    m_model = new PreviewModel;
    m_model->setParent(this);
    // Sorted by a header's click and searched through the proxy; the model keeps the text's order.
    m_rows = new QSortFilterProxyModel(this);
    m_rows->setSourceModel(m_model);
    m_rows->setSortRole(PreviewModel::SORT_ROLE);
    m_rows->setFilterRole(PreviewModel::SEARCH_ROLE);
    m_rows->setFilterKeyColumn(PreviewModel::LOOK);
    m_rows->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_search = new QLineEdit;
    m_search->setObjectName("previewSearch");
    m_search->setPlaceholderText("Search code, label, source, tags");
    m_search->setClearButtonEnabled(true);
    m_search->setMinimumWidth(240);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_rows->setFilterFixedString(text.trimmed());
        show_first_row();
    });
    m_entries = new QTableView;
    m_entries->setObjectName("previewEntries");
    m_entries->setModel(m_rows);
    // No sort until a header is clicked: the text's order, and no row asked for its data.
    m_entries->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_entries->setSortingEnabled(true);
    m_entries->verticalHeader()->hide();
    // Fixed heights: the view then never asks every row for its size.
    m_entries->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_entries->verticalHeader()->setDefaultSectionSize(ROW_HEIGHT);
    m_entries->horizontalHeader()->setStretchLastSection(true);
    m_entries->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_entries->setSelectionMode(QAbstractItemView::SingleSelection);
    m_entries->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_entries->setIconSize(LOOK_SIZE);
    m_entries->setColumnWidth(PreviewModel::LOOK, LOOK_SIZE.width() + 8);
    // The short columns as wide as their words; the label takes the rest.
    const QFontMetrics metrics(m_entries->font());
    m_entries->setColumnWidth(PreviewModel::SECTION, metrics.horizontalAdvance("polygon") + 24);
    m_entries->setColumnWidth(PreviewModel::TYPE, metrics.horizontalAdvance("0x10000") + 24);
    m_entries->setColumnWidth(PreviewModel::SOURCE, metrics.horizontalAdvance("library") + 24);
    connect(m_entries->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { show_entry(current.row()); });
}

// The list of entries, and the sample map beside it: a hover names the type
// under the pointer, a click selects its entry in the list.
QWidget* PreviewWindow::build_views() {
    m_map = new SampleMapView;
    m_zoom = new QComboBox;
    m_zoom->setObjectName("previewZoom");
    m_zoom->addItems({"1x", "2x", "3x"});
    m_zoom->setToolTip("Places move apart; patterns, widths and icons keep a unit's pixels");
    connect(m_zoom, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) { m_map->set_zoom(index + 1); });
    m_under_pointer = new QLabel;
    m_under_pointer->setObjectName("previewMapType");
    connect(m_map, &SampleMapView::entry_hovered, this, [this](std::optional<std::size_t> entry) {
        m_under_pointer->setText(entry ? entry_name(m_model->document().entries[*entry]) : QString());
    });
    connect(m_map, &SampleMapView::entry_clicked, this, [this](std::size_t entry) { select_entry(entry); });
    auto* scroll = new QScrollArea;
    scroll->setWidget(m_map);
    auto* map_page = new QWidget;
    auto* map_layout = new QVBoxLayout(map_page);
    map_layout->setContentsMargins(0, 0, 0, 0);
    map_layout->addWidget(m_under_pointer);
    map_layout->addWidget(scroll, 1);
    auto* views = new QStackedWidget;
    views->addWidget(m_entries);
    views->addWidget(map_page);
    // The switch sits in the top bar: a tab bar would take a row of the list.
    m_view = new QComboBox;
    m_view->setObjectName("previewView");
    m_view->addItems({"List", "Map"});
    m_view->setToolTip("The entries as a list, or on a sample map drawn from the text");
    m_zoom->setEnabled(false);
    connect(m_view, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, views](int index) {
        views->setCurrentIndex(index);
        m_zoom->setEnabled(index == 1);
    });
    return views;
}

QString PreviewWindow::entry_name(const TypEntry& e) {
    return QString("%1 %2%3").arg(section_name(e.section), to_qt(e.type), e.label.empty() ? "" : " " + from_utf8(e.label));
}

void PreviewWindow::select_entry(std::size_t entry) {
    const auto row_of = [this, entry] {
        for (int row = 0; row < m_model->rowCount(); ++row)
            if (m_model->entry_of(row) == entry) return m_rows->mapFromSource(m_model->index(row, 0));
        return QModelIndex();
    };
    // An entry the filter or the search hides: all are shown.
    if (!row_of().isValid()) {
        m_search->clear();
        m_filter->setCurrentIndex(0);
    }
    if (const QModelIndex row = row_of(); row.isValid()) m_entries->setCurrentIndex(row);
}

const TypDocument& PreviewWindow::document() const {
    return m_model->document();
}

bool PreviewWindow::show_typ_text(const std::string& path, std::string& error, const std::vector<EntryLook>& looks) {
    std::string text;
    if (std::error_code why; !read_file(path, text, why)) {
        error = printable(path) + ": " + printable(why.message());
        return false;
    }
    TypDocument doc = read_typ_text(text);
    // Pictures too large to draw are the preview's problems, among the reader's by line.
    for (const TypEntry& e : doc.entries)
        if (std::string reason = undrawable_reason(e); !reason.empty())
            doc.problems.push_back({e.first_line, std::move(reason), Severity::Warning});
    std::stable_sort(doc.problems.begin(), doc.problems.end(),
                     [](const TypProblem& a, const TypProblem& b) { return a.line < b.line; });
    m_problems->clear();
    for (const TypProblem& p : doc.problems)
        m_problems->addItem(QString("line %1: %2: %3")
                                .arg(p.line)
                                .arg(p.severity == Severity::Error ? "error" : "warning")
                                .arg(from_utf8(p.message)));
    m_listed_problems = !doc.problems.empty();
    if (!m_listed_problems) m_problems->addItem("none");
    m_problems_heading->setText("Problems:");

    const int code_page = label_code_page(doc);
    m_map->show_document(doc);
    m_model->show(std::move(doc), looks);
    // A run that reported no looks tells nothing of them.
    m_summary->setText(looks.empty() ? QString("Look sources are known right after Create TYP")
                                     : to_qt(look_summary(count_looks(looks))));
    m_entries->setColumnHidden(PreviewModel::SOURCE, looks.empty());
    setWindowTitle(to_qt("Preview: " + printable(path)));
    m_command->setText(to_qt("Compile it with: " + mkgmap_command(path, code_page)));
    filter_rows();
    return true;
}

void PreviewWindow::show_style_check(const std::string& style, const std::vector<std::string>& lines) {
    // The heading says that the check ran, also when it found nothing.
    if (lines.empty()) {
        m_problems_heading->setText("No findings: the TYP text and the style agree");
        return;
    }
    m_problems_heading->setText(to_qt("Problems, and " + std::to_string(lines.size()) +
                                      (lines.size() == 1 ? " finding" : " findings") + " against the style " +
                                      printable(style) + ":"));
    // "none" stood for the reader's problems alone.
    if (!m_listed_problems) m_problems->clear();
    m_listed_problems = true;
    for (const std::string& line : lines) m_problems->addItem(to_qt(line));
}

void PreviewWindow::filter_rows() {
    const int filter = m_filter->currentIndex();
    m_model->set_filter(filter > 0 ? std::optional<Section>(FILTER_SECTIONS[filter - 1]) : std::nullopt);
    show_first_row();
}

void PreviewWindow::show_first_row() {
    m_text->clear();
    if (m_rows->rowCount() > 0) m_entries->setCurrentIndex(m_rows->index(0, 0));
}

void PreviewWindow::show_entry(int row) {
    if (row < 0 || row >= m_rows->rowCount()) return;
    const std::size_t i = m_model->entry_of(m_rows->mapToSource(m_rows->index(row, 0)).row());
    const TypEntry& e = m_model->document().entries[i];
    QString head = QString("line %1, Type=%2").arg(e.first_line).arg(from_utf8(e.type));
    if (!e.subtype.empty()) head += " SubType=" + from_utf8(e.subtype);
    if (const EntryLook* source = m_model->look_of(i)) head += ", look: " + look_details(*source).join(", ");
    m_text->setPlainText(head + "\n" + from_utf8(e.text));
}

}  // namespace tessaro
