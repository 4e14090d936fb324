#pragma once

#include <QGroupBox>
#include <string>
#include <vector>

#include "app_state.h"
#include "include_groups.h"
#include "section.h"
#include "shell.h"

class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;

namespace tessaro {

// Step 2 of the window: the chosen style's include files and the groups they
// are sorted into. A change to the groups means the TYP text needs a new run.
class IncludeGroupsPanel : public QGroupBox {
    Q_OBJECT

public:
    IncludeGroupsPanel(AppState& state, Shell& shell, QWidget* parent = nullptr);

    const IncludeFiles& files() const { return m_inc; }
    // The include files of a newly chosen style: the old style's sorting is forgotten.
    void list_style(const std::string& style);
    // The include scan of a style, with what the rule files include from elsewhere in it.
    void find_include_files(const std::string& style);
    void set_busy(bool busy);
    // Sort by includes was pressed since the style was chosen; what it left no rule file includes.
    bool sorted_by_includes() const { return m_sorted; }
    const std::vector<std::string>& not_included() const { return m_not_included; }

private:
    void add_group_row(QGridLayout* grid, int i);
    void show_include_lists();
    void add_to_group(Section group);
    void remove_from_group(Section group);
    void sort_by_includes();

    AppState& m_state;
    Shell& m_shell;
    IncludeFiles m_inc;
    QListWidget* m_found = nullptr;
    PerSection<QListWidget*> m_groups;
    PerSection<QPushButton*> m_add;
    PerSection<QPushButton*> m_remove;
    QPushButton* m_sort = nullptr;
    QLabel* m_sort_report = nullptr;
    bool m_sorted = false;
    std::vector<std::string> m_not_included;
};

}  // namespace tessaro
