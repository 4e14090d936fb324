#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app_folders.h"
#include "app_state.h"
#include "core_work.h"
#include "create_typ.h"
#include "desktop.h"
#include "include_groups.h"
#include "look_source.h"
#include "section.h"
#include "style_drift.h"
#include "shell.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;

namespace tessaro {

// The main window: choose a style folder (1), sort its include files (2),
// set the options and create the TYP text (3). It owns the application state.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // What runs a Create TYP once it has been checked: run_create_typ, or a test's stand-in.
    using Runner = std::function<CreateTypReport(const CreateTypRequest&, const CreateTypCheck&)>;

    MainWindow(const AppFolders& folders, Shell& shell, Desktop& desktop, QWidget* parent = nullptr);
    ~MainWindow() override;
    void set_runner(Runner runner) { m_runner = std::move(runner); }

    AppState& state() { return m_state; }
    const IncludeFiles& include_files() const { return m_inc; }
    // A conversion or a style check is under way on the worker thread.
    bool converting() const { return m_work.busy(); }
    // Waits for the run under way, if any, and tells its result now.
    void wait_for_work() { m_work.finish(); }

    // The folder list's choice: the style folder, include lists emptied.
    void choose_folder(const std::string& folder);
    // The Create-TYP flow.
    void create_typ();
    // Launch the TYP editor with the TYP text.
    void launch_editor();
    // Open the TYP text with the desktop's program for it: the typed path when
    // it names a file, else one the user chooses.
    void open_typ_text();
    // A file dropped on the window or the path box; returns how many bytes
    // were read (a map image is known by its name and first bytes).
    std::size_t read_dropped_file(const std::string& path);
    void show_settings();
    void show_about();
    // The preview of the TYP text, with where the looks came from when a run
    // has just told it (`looks`); nullptr until first shown.
    // False (after saying why) when the text could not be shown.
    bool show_preview(const std::vector<EntryLook>& looks = {});
    // The preview of a given TYP text (the program's command-line argument).
    bool show_preview_of(const std::string& path, const std::vector<EntryLook>& looks = {});
    // The preview, with what the TYP text lacks or holds beyond the chosen style
    // (read with the sections and include groups of the window) among its problems.
    void check_against_style();
    class PreviewWindow* preview() const { return m_preview; }
    void refresh_caption();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build_widgets();
    void build_menus();
    void startup();
    void find_editor();
    bool looks_beside_for_editor() const;
    void fill_drives();
    void drive_changed(int index);
    // The drive list shows the drive that holds `path`.
    void show_drive_of(const std::string& path);
    // The TYP text to look at: the typed path when it names a file, else a chosen one ("" when cancelled).
    std::string typ_text_to_open();
    void save_settings();
    void show_include_lists();
    void set_busy_controls(bool converting);
    void add_to_group(Section group);
    void remove_from_group(Section group);
    void sort_by_includes();
    // The include scan of a chosen style.
    void find_include_files(const std::string& style);
    void run_conversion(const CreateTypRequest& request, const CreateTypCheck& check);
    void tell_report(const CreateTypReport& report, const std::string& typ_path);
    void tell_style_check(const StyleTypes& style);
    std::string editor_path() const;

    AppState m_state;
    IncludeFiles m_inc;
    Shell& m_shell;
    Desktop& m_desktop;
    int m_drive_index = 0;
    // The folder list follows its current folder while it loads, until the user presses on it.
    bool m_keep_current_in_view = false;
    // The first Create TYP after a style with unsorted include files stops to say so, once.
    bool m_unsorted_told = false;
    Runner m_runner = [](const CreateTypRequest& request, const CreateTypCheck& check) {
        return run_create_typ(request, check);
    };
    // After the state: its run may read the libraries there until it ends.
    CoreWork m_work;

    QComboBox* m_drive = nullptr;
    QTreeView* m_dir = nullptr;
    QFileSystemModel* m_dir_model = nullptr;
    QListWidget* m_found = nullptr;
    PerSection<QListWidget*> m_groups;
    PerSection<QPushButton*> m_add;
    PerSection<QPushButton*> m_remove;
    QPushButton* m_sort = nullptr;
    PerSection<QCheckBox*> m_sections;
    QCheckBox* m_tag_text = nullptr;
    QCheckBox* m_classic_looks = nullptr;
    QCheckBox* m_keep_looks = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_create = nullptr;
    QPushButton* m_launch = nullptr;
    QLabel* m_editor_label = nullptr;
    QLabel* m_style_label = nullptr;
    QAction* m_settings_action = nullptr;
    QAction* m_preview_action = nullptr;
    QAction* m_check_action = nullptr;
    class PreviewWindow* m_preview = nullptr;
};

}  // namespace tessaro
