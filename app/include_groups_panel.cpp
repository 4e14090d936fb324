#include "include_groups_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "include_groups.h"
#include "include_proposal.h"
#include "qt_text.h"
#include "rule_reader.h"
#include "window_parts.h"
#include "window_texts.h"

namespace tessaro {

namespace {

// The groups in the order the window shows them.
constexpr SectionWidget INCLUDE_GROUPS[] = {
    {Section::Point, "INC Points"}, {Section::Line, "INC Lines"}, {Section::Polygon, "INC Polygons"}};

}  // namespace

IncludeGroupsPanel::IncludeGroupsPanel(AppState& state, Shell& shell, QWidget* parent)
    : QGroupBox(parent), m_state(state), m_shell(shell) {
    auto* grid = new QGridLayout(this);
    auto* found_label = new QLabel("INC files with elements:");
    found_label->setObjectName("Label4_3");
    m_found = new QListWidget;
    m_found->setObjectName("List2");
    m_found->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->addWidget(step_number("2", 1), 0, 0);
    grid->addWidget(found_label, 0, 1, 1, 2);
    grid->addWidget(m_found, 1, 1, 1, 2);
    for (int i = 0; i < 3; ++i) add_group_row(grid, i);
    m_sort = new QPushButton("Sort by includes");
    m_sort->setObjectName("CommandSort");
    m_sort->setToolTip("Put every include file into the groups of the rule files that include it, "
                       "and read the rules they take from other styles");
    grid->addWidget(m_sort, 8, 1, 1, 2);
    m_sort_report = new QLabel;
    m_sort_report->setObjectName("sortReport");
    m_sort_report->setWordWrap(true);
    m_sort_report->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_sort_report, 9, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 2);
    connect(m_sort, &QPushButton::clicked, this, &IncludeGroupsPanel::sort_by_includes);
}

void IncludeGroupsPanel::add_group_row(QGridLayout* grid, int i) {
    const Section g = INCLUDE_GROUPS[i].section;
    auto* label = new QLabel(INCLUDE_GROUPS[i].caption);
    label->setObjectName(indexed("Label4", i));
    m_add[g] = new QPushButton("Add");
    m_add[g]->setObjectName(indexed("Command5", i));
    m_groups[g] = new QListWidget;
    m_groups[g]->setObjectName(indexed("List3", i));
    m_groups[g]->setMinimumHeight(60);
    m_remove[g] = new QPushButton("Remove");
    m_remove[g]->setObjectName(indexed("Command6", i));
    const int row = 2 + 2 * i;
    grid->addWidget(label, row, 1, 1, 2);
    grid->addWidget(m_add[g], row + 1, 0, Qt::AlignTop);
    grid->addWidget(m_groups[g], row + 1, 1);
    grid->setRowStretch(row + 1, 1);
    grid->addWidget(m_remove[g], row + 1, 2, Qt::AlignTop);
    connect(m_add[g], &QPushButton::clicked, this, [this, g] { add_to_group(g); });
    connect(m_remove[g], &QPushButton::clicked, this, [this, g] { remove_from_group(g); });
}

void IncludeGroupsPanel::list_style(const std::string& style) {
    m_inc.clear();
    m_sorted = false;
    m_not_included.clear();
    m_sort_report->clear();
    find_include_files(style);
}

void IncludeGroupsPanel::set_busy(bool busy) {
    m_sort->setEnabled(!busy);
    for (Section g : ALL_SECTIONS) {
        m_add[g]->setEnabled(!busy);
        m_remove[g]->setEnabled(!busy);
    }
}

void IncludeGroupsPanel::show_include_lists() {
    show_names(m_found, m_inc.found);
    for (Section g : ALL_SECTIONS) show_names(m_groups[g], m_inc.groups[g]);
}

void IncludeGroupsPanel::add_to_group(Section group) {
    if (!add_selected_to_group(m_inc, group, selected_rows(m_found))) {
        m_shell.message("Please select");
        return;
    }
    m_state.create_needed = true;
    show_names(m_groups[group], m_inc.groups[group]);
}

void IncludeGroupsPanel::remove_from_group(Section group) {
    remove_first_selected(m_inc, group, selected_rows(m_groups[group]));
    show_names(m_groups[group], m_inc.groups[group]);
    m_groups[group]->clearSelection();
}

void IncludeGroupsPanel::sort_by_includes() {
    if (m_inc.found.empty()) find_include_files(m_state.style_folder);
    PerSection<std::size_t> before;
    for (Section g : ALL_SECTIONS) before[g] = m_inc.groups[g].size();
    {
        BusyCursor busy(m_shell);
        apply_proposal(m_inc, propose_groups(m_state.style_folder, m_inc.found));
    }
    PerSection<std::size_t> added;
    for (Section g : ALL_SECTIONS) added[g] = m_inc.groups[g].size() - before[g];
    // What is still in no group after the sort, no rule file includes.
    m_sorted = true;
    m_not_included = m_inc.left_out();
    m_sort_report->setText(to_qt(sort_report_text(added, m_not_included)));
    m_state.create_needed = true;
    show_include_lists();
}

void IncludeGroupsPanel::find_include_files(const std::string& style) {
    IncludeScan scan;
    {
        BusyCursor busy(m_shell);
        RuleReader reader;
        KnownStatements statements;
        scan = scan_include_files(m_inc, style, reader, &statements);
        // The files elsewhere in the style that the rule files include are
        // listed with them, to be sorted like them.
        add_files_elsewhere(m_inc, propose_groups(style, m_inc.found, &statements));
    }
    for (const Failure& f : scan.failures) m_shell.message(failure_text(f), MessageIcon::Warning);
    show_include_lists();
    if (scan.folder_found) m_state.create_needed = true;
}

}  // namespace tessaro
