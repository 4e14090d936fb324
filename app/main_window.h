#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app_folders.h"
#include "app_state.h"
#include "core_work.h"
#include "create_typ.h"
#include "desktop.h"
#include "include_groups.h"
#include "look_source.h"
#include "shell.h"
#include "style_drift.h"

class QAction;

namespace tessaro {

class IncludeGroupsPanel;
class OptionsPanel;
class PreviewWindow;
class StyleFolderPanel;

// The main window: choose a style folder (1), sort its include files (2),
// set the options and create the TYP text (3). It owns the application state.
// A conversion and a style check run on the worker thread, one at a time.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // What runs a Create TYP once it has been checked: run_create_typ, or a test's stand-in.
    using Runner = std::function<CreateTypReport(const CreateTypRequest&, const CreateTypCheck&)>;

    MainWindow(const AppFolders& folders, Shell& shell, Desktop& desktop, QWidget* parent = nullptr);
    ~MainWindow() override;
    void set_runner(Runner runner) { m_runner = std::move(runner); }

    AppState& state() { return m_state; }
    const IncludeFiles& include_files() const;
    // A conversion or a style check is under way on the worker thread.
    bool converting() const { return m_work.busy(); }
    // Waits for the run under way, if any, and tells its result now.
    void wait_for_work() { m_work.finish(); }

    // The folder list's choice: the style folder, include lists emptied.
    void choose_folder(const std::string& folder);
    // Checks the request and starts the conversion; its result is told when it ends.
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
    PreviewWindow* preview() const { return m_preview; }
    void refresh_caption();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build_widgets();
    void build_menus();
    void startup();
    // The settings file's style folder, boxes and window size; false when no style was restored.
    bool restore_settings();
    // The TYP text to look at: the typed path when it names a file, else a chosen one ("" when cancelled).
    std::string typ_text_to_open();
    void save_settings();
    void set_busy_controls(bool converting);
    // False (after saying so, once per style) while the include files wait to be sorted.
    bool include_files_sorted(const std::string& style);
    // False when Keep my edited looks would update a TYP text made for another style and the user declines.
    bool update_of_other_style_agreed();
    // The TYP text of a style whose path the user did not type: typ/<style name>.txt.
    std::string typ_path_of_style(const std::string& style) const;
    // The path box's text, kept for the chosen style when it is not that style's own path.
    void remember_typed_path();
    void run_conversion(const CreateTypRequest& request, const CreateTypCheck& check);
    void after_run(const CreateTypReport& report, const std::string& typ_path);

    AppState m_state;
    Shell& m_shell;
    Desktop& m_desktop;
    // The first Create TYP after a style with unsorted include files stops to say so, once.
    bool m_unsorted_told = false;
    Runner m_runner = [](const CreateTypRequest& request, const CreateTypCheck& check) {
        return run_create_typ(request, check);
    };
    // After the state: its run may read the libraries there until it ends.
    CoreWork m_work;

    StyleFolderPanel* m_folders = nullptr;
    IncludeGroupsPanel* m_groups = nullptr;
    OptionsPanel* m_options = nullptr;
    QAction* m_settings_action = nullptr;
    QAction* m_preview_action = nullptr;
    QAction* m_check_action = nullptr;
    PreviewWindow* m_preview = nullptr;
    // The paths the user typed, by style folder.
    std::map<std::string, std::string> m_typed_paths;
    // The last run's look sources, for the preview of its text while that is unchanged.
    struct RunLooks {
        std::string path;
        std::vector<EntryLook> looks;
        std::filesystem::file_time_type modified;
    } m_run_looks;
};

}  // namespace tessaro
