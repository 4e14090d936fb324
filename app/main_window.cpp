#include "main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <filesystem>
#include <utility>

#include "about_dialog.h"
#include "conversion_run.h"
#include "file_io.h"
#include "include_groups_panel.h"
#include "options_panel.h"
#include "preview_window.h"
#include "qt_text.h"
#include "settings_dialog.h"
#include "settings_file.h"
#include "startup.h"
#include "style_folder.h"
#include "style_folder_panel.h"
#include "text_util.h"
#include "typ_text.h"
#include "typ_editor.h"
#include "window_texts.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

fs::file_time_type modified_time(const std::string& path) {
    std::error_code ec;
    const fs::file_time_type t = fs::last_write_time(to_fs_path(path), ec);
    return ec ? fs::file_time_type::min() : t;
}

// The style a TYP text says it was made for (its ";style:" line); "" when it names none.
std::string typ_text_style(const std::string& path) {
    FileReader file;
    std::error_code error;
    if (!file.open(path, error)) return {};
    char head[4096];
    const std::string text(head, file.read(head, sizeof head, error));
    const std::size_t at = text.find("\n;style:");
    if (at == std::string::npos) return {};
    const std::size_t start = at + 8;
    const std::size_t end = text.find_first_of("\r\n", start);
    return end == std::string::npos ? std::string() : text.substr(start, end - start);
}

// The style of a chosen "inc" folder is its parent.
std::string style_of(const std::string& folder) {
    const fs::path p = to_fs_path(folder);
    if (to_lower(from_fs_path(p.filename())) == "inc" && p.has_parent_path()) return from_fs_path(p.parent_path());
    return folder;
}

}  // namespace

MainWindow::MainWindow(const AppFolders& folders, Shell& shell, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent), m_shell(shell), m_desktop(desktop) {
    setObjectName("f1");
    m_state.app_folder = folders.app;
    m_state.res_folder = folders.res;
    m_state.program_folder = folders.program.empty() ? folders.app : folders.program;
    m_state.settings_folder = folders.settings;
    build_widgets();
    build_menus();
    setAcceptDrops(true);
    connect(&m_work, &CoreWork::busy_changed, this, [this](bool busy) {
        set_busy_controls(busy);
        m_shell.set_busy(busy);
    });
    startup();
}

MainWindow::~MainWindow() {
    // The run's task reads the libraries of the state.
    m_work.wait();
}

const IncludeFiles& MainWindow::include_files() const {
    return m_groups->files();
}

void MainWindow::build_widgets() {
    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);
    m_folders = new StyleFolderPanel(m_shell, [this](const std::string& folder) { choose_folder(folder); });
    m_groups = new IncludeGroupsPanel(m_state, m_shell);
    m_options = new OptionsPanel(m_state);
    connect(m_options->create_button(), &QPushButton::clicked, this, &MainWindow::create_typ);
    connect(m_options->launch_button(), &QPushButton::clicked, this, &MainWindow::launch_editor);
    columns->addWidget(m_folders, 3);
    columns->addWidget(m_groups, 3);
    columns->addWidget(m_options, 2);
    setCentralWidget(central);
    setMinimumSize(760, 480);
    resize(1000, 640);
}

void MainWindow::build_menus() {
    QMenu* file = menuBar()->addMenu("File");
    file->setObjectName("mfil");
    QAction* open = file->addAction("Open TYP text", this, &MainWindow::open_typ_text);
    open->setObjectName("mf_0");
    m_preview_action = file->addAction("Preview", this, [this] { show_preview(); });
    m_preview_action->setObjectName("mpreview");
    m_check_action = file->addAction("Check TYP text against style", this, &MainWindow::check_against_style);
    m_check_action->setObjectName("mcheckstyle");
    file->addSeparator();
    QAction* exit = file->addAction("Exit", this, &QWidget::close);
    exit->setObjectName("mf_4");
    QMenu* pref = menuBar()->addMenu("Preferences");
    pref->setObjectName("mpref");
    m_settings_action = pref->addAction("Settings", this, &MainWindow::show_settings);
    m_settings_action->setObjectName("mset");
    QMenu* help = menuBar()->addMenu("Help");
    help->setObjectName("mhelp");
    QAction* about = help->addAction("About", this, &MainWindow::show_about);
    about->setObjectName("mf_2");
}

void MainWindow::startup() {
    refresh_caption();
    m_state.polygon_library_path = default_polygon_library(m_state);
    std::error_code ec;
    fs::create_directories(to_fs_path(join_path(m_state.app_folder, "typ")), ec);
    m_state.bin_folder = join_path(m_state.app_folder, "bin");
    fs::create_directories(to_fs_path(m_state.bin_folder), ec);
    m_state.typ_path = join_path(m_state.bin_folder, "temp.txt");
    if (!restore_settings()) m_folders->show_home();
    settle_editor_program(m_state);
    for (Section s : ALL_SECTIONS) load_library(m_state, s, m_shell);
    refresh_caption();
    m_options->show_typ_path(m_state.typ_path);
    m_options->show_editor(m_state.editor_program);
}

bool MainWindow::restore_settings() {
    if (!file_exists(settings_path(m_state))) return false;
    load_settings_file(m_state, m_shell);
    m_options->show_options();
    if (m_state.window_width > 0) resize(m_state.window_width, m_state.window_height);
    std::error_code ec;
    if (m_state.style_folder.empty() || !fs::is_directory(to_fs_path(m_state.style_folder), ec)) return false;
    const std::string saved = style_of(m_state.style_folder);
    // The saved path belongs to the saved style: choosing it again (the tree does) keeps it.
    if (!m_state.typ_path.empty()) m_typed_paths[saved] = m_state.typ_path;
    m_state.style_folder.clear();
    m_folders->restore(saved);
    m_state.style_folder = saved;
    return true;
}

void MainWindow::choose_folder(const std::string& folder) {
    if (converting()) return;
    // A press in the folder list: the sorting of the old style
    // is forgotten and the new style's include files are listed.
    m_unsorted_told = false;
    const std::string style = style_of(folder);
    if (style != m_state.style_folder) {
        remember_typed_path();
        // Each style its own TYP text, so that one style's run never replaces another's.
        const auto typed = m_typed_paths.find(style);
        m_state.typ_path = typed != m_typed_paths.end() ? typed->second : typ_path_of_style(style);
        m_options->show_typ_path(m_state.typ_path);
    }
    m_state.style_folder = style;
    refresh_caption();
    m_groups->list_style(m_state.style_folder);
}

std::string MainWindow::typ_path_of_style(const std::string& style) const {
    return join_path(join_path(m_state.app_folder, "typ"), style_name(style) + ".txt");
}

void MainWindow::remember_typed_path() {
    if (m_state.style_folder.empty()) return;
    const std::string typed = m_options->typ_path();
    if (typed.empty() || typed == typ_path_of_style(m_state.style_folder)) m_typed_paths.erase(m_state.style_folder);
    else m_typed_paths[m_state.style_folder] = typed;
}

void MainWindow::refresh_caption() {
    setWindowTitle(to_qt(window_caption(m_state.style_folder)));
    const bool rule_files = !m_state.style_folder.empty() && !list_style(m_state.style_folder).kinds.empty();
    m_folders->show_style(style_folder_text(m_state.style_folder, rule_files));
}

// While the worker runs, nothing that would start another core run can be pressed.
void MainWindow::set_busy_controls(bool converting) {
    m_folders->set_busy(converting);
    m_groups->set_busy(converting);
    m_options->create_button()->setEnabled(!converting);
    for (QAction* a : {m_settings_action, m_preview_action, m_check_action}) a->setEnabled(!converting);
}

void MainWindow::create_typ() {
    if (converting()) return;
    m_state.typ_path = m_options->typ_path();
    remember_typed_path();
    CreateTypRequest request = create_typ_request(m_state);
    const CreateTypCheck check = check_create_typ(request);

    refresh_caption();
    m_options->set_text_made(false);
    bool missing_told = false;  // the rule files a style lacks, in one message
    for (Finding f : check.findings) {
        const std::string missing = missing_rule_files_text({f});
        if (!missing.empty() && std::exchange(missing_told, true)) continue;
        m_shell.message(missing.empty() ? finding_text(f) : missing_rule_files_text(check.findings), MessageIcon::Warning);
        if (f == Finding::NoRuleFiles) m_state.create_needed = false;
    }
    if (!check.can_run() || !include_files_sorted(request.style_folder) || !update_of_other_style_agreed()) return;
    request.include_files = m_groups->files();
    run_conversion(request, check);
}

bool MainWindow::update_of_other_style_agreed() {
    if (!m_state.keep_edited_looks) return true;
    const std::string made_for = typ_text_style(m_state.typ_path);
    const std::string style = style_name(m_state.style_folder);
    if (made_for.empty() || made_for == style) return true;
    return m_shell.ask_yes_no(other_style_update_question(m_state.typ_path, made_for, style));
}

bool MainWindow::include_files_sorted(const std::string& style) {
    const IncludeFiles& inc = m_groups->files();
    // The include folder may have been filled since the style was chosen.
    if (inc.found.empty()) m_groups->find_include_files(style);
    // After Sort by includes what is left no rule file includes: no sorting can take it.
    if (inc.found.empty() || !inc.groups_empty() || m_unsorted_told || m_groups->sorted_by_includes()) return true;
    // Once per style: the include files wait to be sorted into the groups.
    m_unsorted_told = true;
    m_state.create_needed = true;
    m_shell.message(sort_include_files_text());
    return false;
}

void MainWindow::run_conversion(const CreateTypRequest& request, const CreateTypCheck& check) {
    // The task owns copies of what it reads: the window's own may change while it runs.
    m_work.start<std::optional<CreateTypReport>>(
        [runner = m_runner, request, check] {
            // Out of memory, the run gives back what it took on the way out and
            // leaves the old text; the window stays.
            return unless_out_of_memory([&] { return runner(request, check); });
        },
        [this, style = request.style_folder, typ_path = request.typ_path](std::optional<CreateTypReport> report) {
            if (report) after_run(*report, typ_path);
            else m_shell.message(out_of_memory_text("converting " + style), MessageIcon::Critical);
            m_state.create_needed = false;
        });
}

void MainWindow::after_run(const CreateTypReport& report, const std::string& typ_path) {
    const RunEnd end = tell_report(m_shell, report, typ_path, m_groups->not_included());
    if (end == RunEnd::Created || end == RunEnd::Incomplete) m_run_looks = {typ_path, report.looks, modified_time(typ_path)};
    if (end != RunEnd::NotStarted) m_options->set_text_made(true);
    if (end == RunEnd::Created) {
        m_state.create_needed = false;
        // Without an editor ever found or chosen the preview is the way to look at the text.
        if (!m_state.editor_program.empty()) launch_editor();
    }
    // Written, so it can be looked at; an incomplete text is not handed to the editor as if whole.
    if (end == RunEnd::Created || end == RunEnd::Incomplete) show_preview(report.looks);
}

bool MainWindow::show_preview(const std::vector<EntryLook>& looks) {
    // Right after a run its own text; from the menu the typed path or a chosen file.
    const std::string path = looks.empty() ? typ_text_to_open() : m_state.typ_path;
    return !path.empty() && show_preview_of(path, looks);
}

bool MainWindow::show_preview_of(const std::string& path, const std::vector<EntryLook>& looks) {
    if (!file_exists(path)) {
        m_shell.message("Cannot find typ txt", MessageIcon::Warning);
        return false;
    }
    if (m_preview == nullptr) m_preview = new PreviewWindow(this);
    std::string error;
    if (!m_preview->show_typ_text(path, error, looks)) {
        m_shell.message(error, MessageIcon::Critical);
        return false;
    }
    m_preview->show();
    m_preview->raise();
    return true;
}

void MainWindow::check_against_style() {
    if (converting()) return;
    CreateTypRequest request;
    request.style_folder = m_state.style_folder;
    request.sections = m_state.sections;
    request.include_files = m_groups->files();
    request.typ_path = m_state.typ_path;
    const CreateTypCheck check = check_create_typ(request);
    if (!check.can_run()) {
        m_shell.message(finding_text(check.findings.back()), MessageIcon::Warning);
        return;
    }
    // The run's look sources stay while its text is unchanged.
    const std::string path = typ_text_to_open();
    const bool run_text = path == m_run_looks.path && modified_time(path) == m_run_looks.modified;
    if (path.empty() || !show_preview_of(path, run_text ? m_run_looks.looks : std::vector<EntryLook>{})) return;
    m_work.start<std::optional<StyleTypes>>(
        [request] { return unless_out_of_memory([&] { return list_style_types(request); }); },
        [this, typ_path = request.typ_path, style = style_name(request.style_folder)](std::optional<StyleTypes> types) {
            if (types) m_preview->show_style_check(style, style_check_lines(*types, m_preview->document()));
            else m_shell.message(out_of_memory_text("checking " + typ_path), MessageIcon::Critical);
        });
}

void MainWindow::launch_editor() {
    if (m_state.create_needed) {
        m_shell.message("Please Click Create TYP");
        return;
    }
    const std::string editor = editor_path(m_state);
    if (editor.empty() || !is_regular_file(editor)) {
        m_shell.message(editor_missing_text(editor), MessageIcon::Warning);
        return;
    }
    if (!file_exists(m_state.typ_path)) {
        m_shell.message("Cannot find typ txt: " + printable(m_state.typ_path), MessageIcon::Warning);
        return;
    }
    if (!m_desktop.start_program(editor, m_state.typ_path, m_state.program_folder))
        m_shell.message(printable(editor) + " could not be started.", MessageIcon::Critical);
}

std::string MainWindow::typ_text_to_open() {
    const std::string typed = m_options->typ_path();
    if (is_regular_file(typed)) return typed;
    const std::string folder = fs::is_directory(to_fs_path(typed)) ? typed : m_state.bin_folder;
    return m_desktop.choose_file("Open TYP text", "TYP text (*.txt);;All files (*)", folder);
}

void MainWindow::open_typ_text() {
    const std::string path = typ_text_to_open();
    if (path.empty()) return;  // the chooser was cancelled
    if (!file_exists(path)) {
        m_shell.message("Cannot find typ txt", MessageIcon::Warning);
        return;
    }
    // The chosen TYP editor, else the desktop's program for text files.
    const std::string editor = editor_path(m_state);
    if (!editor.empty() && is_regular_file(editor)) {
        if (!m_desktop.start_program(editor, path, m_state.program_folder))
            m_shell.message(printable(editor) + " could not be started.", MessageIcon::Critical);
        return;
    }
    if (!m_desktop.open_document(path)) m_shell.message(no_text_editor_text(path), MessageIcon::Warning);
}

std::size_t MainWindow::read_dropped_file(const std::string& path) {
    const std::string lower = to_lower(path);
    if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".img") != 0) {
        m_shell.message("Not an img file.", MessageIcon::Warning);
        return 0;
    }
    // A map image may be gigabytes: its header tells all there is to know.
    BusyCursor busy(m_shell);
    FileReader file;
    std::error_code error;
    if (!file.open(path, error)) return 0;  // dropped files' errors go unreported
    char header[512];
    return file.read(header, sizeof header, error);
}

void MainWindow::show_settings() {
    if (converting()) return;
    const std::string before = m_state.polygon_library_path;
    SettingsDialog dialog(m_state, m_desktop, this);
    connect(&dialog, &SettingsDialog::editor_program_changed, this,
            [this] { m_options->show_editor(m_state.editor_program); });
    dialog.exec();
    m_options->show_editor(m_state.editor_program);
    if (m_state.polygon_library_path != before) load_library(m_state, Section::Polygon, m_shell);
    save_settings();
}

void MainWindow::save_settings() {
    m_state.typ_path = m_options->typ_path();
    m_state.window_width = width();
    m_state.window_height = height();
    if (std::optional<Failure> failure = save_settings_file(m_state))
        m_shell.message("The settings could not be saved: " + failure_text(*failure), MessageIcon::Critical);
}

void MainWindow::show_about() {
    AboutDialog about(m_desktop, m_state.res_folder, nullptr);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing in the middle of a conversion would cut the TYP text short: it
    // ends first, and what it would tell goes unsaid, the window being gone.
    m_work.wait();
    save_settings();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    read_dropped_file(from_qt(QDir::toNativeSeparators(urls.front().toLocalFile())));
}

}  // namespace tessaro
