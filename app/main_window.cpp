#include "main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "about_dialog.h"
#include "file_io.h"
#include "include_files.h"
#include "include_proposal.h"
#include "preview_window.h"
#include "qt_text.h"
#include "rule_reader.h"
#include "settings_dialog.h"
#include "settings_file.h"
#include "startup.h"
#include "style_drift.h"
#include "style_folder.h"
#include "text_util.h"
#include "window_texts.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

// A widget of each section, in the order the window shows them; its place
// in the list gives its object name (Check2_0 is Polygons, Command5_0 adds to
// the point group).
struct SectionWidget {
    Section section;
    const char* caption;
};
constexpr SectionWidget SECTION_BOXES[] = {
    {Section::Polygon, "Polygons"}, {Section::Line, "Lines"}, {Section::Point, "Points"}};
constexpr SectionWidget INCLUDE_GROUPS[] = {
    {Section::Point, "INC Points"}, {Section::Line, "INC Lines"}, {Section::Polygon, "INC Polygons"}};

QString indexed(const char* name, int i) {
    return QString("%1_%2").arg(name).arg(i);
}

QLabel* step_number(const char* text, int i) {
    auto* label = new QLabel(text);
    label->setObjectName(indexed("Label2", i));
    QFont f = label->font();
    f.setPointSize(f.pointSize() * 2);
    f.setBold(true);
    label->setFont(f);
    return label;
}

std::vector<std::size_t> selected_rows(const QListWidget* list) {
    std::vector<std::size_t> rows;
    for (const QListWidgetItem* item : list->selectedItems()) rows.push_back(static_cast<std::size_t>(list->row(item)));
    return rows;
}

void show_names(QListWidget* list, const std::vector<std::string>& names) {
    list->clear();
    for (const std::string& n : names) list->addItem(to_qt(n));
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
    build_widgets();
    build_menus();
    setAcceptDrops(true);
    startup();
}

void MainWindow::build_widgets() {
    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);

    // 1: the style folder.
    auto* step1 = new QGroupBox;
    auto* s1 = new QGridLayout(step1);
    m_drive = new QComboBox;
    m_drive->setObjectName("Drive1");
    m_dir_model = new QFileSystemModel(this);
    m_dir_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_dir_model->setRootPath(QString());
    m_dir = new QTreeView;
    m_dir->setObjectName("Dir1");
    m_dir->setModel(m_dir_model);
    for (int c = 1; c < m_dir_model->columnCount(); ++c) m_dir->hideColumn(c);
    m_dir->header()->hide();
    m_dir->setMinimumSize(240, 300);
    auto* hint = new QLabel("Click on Directory");
    hint->setObjectName("Label1");
    s1->addWidget(step_number("1", 0), 0, 0);
    s1->addWidget(hint, 0, 1);
    s1->addWidget(m_drive, 1, 0, 1, 2);
    s1->addWidget(m_dir, 2, 0, 1, 2);
    s1->setColumnStretch(1, 1);
    s1->setRowStretch(2, 1);
    connect(m_drive, qOverload<int>(&QComboBox::activated), this, &MainWindow::drive_changed);
    // The model reads folders lazily: keep the chosen folder in view as they arrive.
    connect(m_dir_model, &QFileSystemModel::directoryLoaded, this, [this] {
        if (m_dir->currentIndex().isValid()) m_dir->scrollTo(m_dir->currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    connect(m_dir->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) choose_folder(from_qt(QDir::toNativeSeparators(m_dir_model->filePath(current))));
            });

    // 2: the include files and their groups.
    auto* step2 = new QGroupBox;
    auto* s2 = new QGridLayout(step2);
    auto* found_label = new QLabel("INC files with elements:");
    found_label->setObjectName("Label4_3");
    m_found = new QListWidget;
    m_found->setObjectName("List2");
    m_found->setSelectionMode(QAbstractItemView::ExtendedSelection);
    s2->addWidget(step_number("2", 1), 0, 0);
    s2->addWidget(found_label, 0, 1, 1, 2);
    s2->addWidget(m_found, 1, 1, 1, 2);
    for (int i = 0; i < 3; ++i) {
        const Section g = INCLUDE_GROUPS[i].section;
        auto* label = new QLabel(INCLUDE_GROUPS[i].caption);
        label->setObjectName(indexed("Label4", i));
        m_add[g] = new QPushButton("Add");
        m_add[g]->setObjectName(indexed("Command5", i));
        m_groups[g] = new QListWidget;
        m_groups[g]->setObjectName(indexed("List3", i));
        m_groups[g]->setMaximumHeight(90);
        m_remove[g] = new QPushButton("Remove");
        m_remove[g]->setObjectName(indexed("Command6", i));
        const int row = 2 + 2 * i;
        s2->addWidget(label, row, 1, 1, 2);
        s2->addWidget(m_add[g], row + 1, 0, Qt::AlignTop);
        s2->addWidget(m_groups[g], row + 1, 1);
        s2->addWidget(m_remove[g], row + 1, 2, Qt::AlignTop);
        connect(m_add[g], &QPushButton::clicked, this, [this, g] { add_to_group(g); });
        connect(m_remove[g], &QPushButton::clicked, this, [this, g] { remove_from_group(g); });
    }
    m_sort = new QPushButton("Sort by includes");
    m_sort->setObjectName("CommandSort");
    m_sort->setToolTip("Put every include file into the groups of the rule files that include it, "
                       "and read the rules they take from other styles");
    s2->addWidget(m_sort, 8, 1, 1, 2);
    s2->setColumnStretch(1, 1);
    s2->setRowStretch(1, 1);
    connect(m_sort, &QPushButton::clicked, this, &MainWindow::sort_by_includes);

    // 3: the options and Create TYP.
    auto* step3 = new QGroupBox;
    auto* s3 = new QVBoxLayout(step3);
    s3->addWidget(step_number("3", 2));
    for (int i = 0; i < 3; ++i) {
        const Section s = SECTION_BOXES[i].section;
        m_sections[s] = new QCheckBox(SECTION_BOXES[i].caption);
        m_sections[s]->setObjectName(indexed("Check2", i));
        m_sections[s]->setChecked(true);
        s3->addWidget(m_sections[s]);
        connect(m_sections[s], &QCheckBox::toggled, this, [this, s](bool on) { m_state.sections[s] = on; });
    }
    m_tag_text = new QCheckBox("Include Tag Text");
    m_tag_text->setObjectName("Check1");
    connect(m_tag_text, &QCheckBox::toggled, this, [this](bool on) { m_state.include_tag_text = on; });
    s3->addWidget(m_tag_text);
    m_classic_looks = new QCheckBox("Classic looks");
    m_classic_looks->setObjectName("ClassicLooks");
    m_classic_looks->setToolTip("Looks from the library, the built-in tables and random colours alone:"
                                " no looks by tags, no point markers");
    connect(m_classic_looks, &QCheckBox::toggled, this, [this](bool on) { m_state.classic_looks = on; });
    s3->addWidget(m_classic_looks);
    s3->addSpacing(12);
    s3->addWidget(new QLabel("TYP text:"));
    m_path = new QLineEdit;
    m_path->setObjectName("Text1");
    m_path->setMinimumWidth(260);
    m_path->setAcceptDrops(false);  // a file dropped here goes to the window
    s3->addWidget(m_path);
    m_create = new QPushButton("Create TYP");
    m_create->setObjectName("Command2");
    m_create->setMinimumHeight(36);
    connect(m_create, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    s3->addWidget(m_create);
    m_launch = new QPushButton("Launch  Pictor");
    m_launch->setObjectName("Command3");
    m_launch->setStyleSheet("QPushButton { background-color: #80FF80; color: black; }"
                            " QPushButton:disabled { background-color: #C8E8C8; color: #707070; }");
    m_launch->setToolTip(" Works when TYP file is assciated with a program");
    m_launch->setEnabled(false);
    connect(m_launch, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    s3->addWidget(m_launch);
    m_editor_label = new QLabel;
    m_editor_label->setObjectName("Label3");
    m_editor_label->setWordWrap(true);
    s3->addWidget(m_editor_label);
    s3->addStretch(1);

    columns->addWidget(step1, 3);
    columns->addWidget(step2, 3);
    columns->addWidget(step3, 2);
    setCentralWidget(central);
    setMinimumSize(860, 520);
}

void MainWindow::build_menus() {
    QMenu* file = menuBar()->addMenu("File");
    file->setObjectName("mfil");
    QAction* open = file->addAction("Open TYP  TXT", this, &MainWindow::open_typ_text);
    open->setObjectName("mf_0");
    QAction* preview = file->addAction("Preview", this, [this] { show_preview(); });
    preview->setObjectName("mpreview");
    QAction* check = file->addAction("Check TYP text against style", this, &MainWindow::check_against_style);
    check->setObjectName("mcheckstyle");
    file->addSeparator();
    QAction* about = file->addAction("About", this, &MainWindow::show_about);
    about->setObjectName("mf_2");
    file->addSeparator();
    QAction* exit = file->addAction("Exit", this, &QWidget::close);
    exit->setObjectName("mf_4");
    QMenu* pref = menuBar()->addMenu("Preferences");
    pref->setObjectName("mpref");
    m_settings_action = pref->addAction("Settings", this, &MainWindow::show_settings);
    m_settings_action->setObjectName("mset");
}

void MainWindow::startup() {
    refresh_caption();
    m_state.polygon_library_path = default_polygon_library(m_state);
    std::error_code ec;
    fs::create_directories(to_fs_path(join_path(m_state.app_folder, "typ")), ec);
    m_state.bin_folder = join_path(m_state.app_folder, "bin");
    fs::create_directories(to_fs_path(m_state.bin_folder), ec);
    m_state.typ_path = join_path(m_state.bin_folder, "temp.txt");
    fill_drives();
    if (file_exists(settings_path(m_state))) {
        loaddat(m_state, m_shell);
        m_tag_text->setChecked(m_state.include_tag_text);
        m_classic_looks->setChecked(m_state.classic_looks);
        if (!m_state.style_folder.empty() && fs::is_directory(to_fs_path(m_state.style_folder), ec)) {
            const std::string saved = m_state.style_folder;
            m_dir->setCurrentIndex(m_dir_model->index(to_qt(saved)));
            m_dir->scrollTo(m_dir->currentIndex());
            m_state.style_folder = saved;
        }
    }
    if (!contains(to_lower(m_state.editor_program), "pct")) m_state.editor_program = "not found";
    find_editor();
    for (Section s : ALL_SECTIONS) load_library(m_state, s, m_shell);
    refresh_caption();
    m_path->setText(to_qt(m_state.typ_path));
    m_editor_label->setText(to_qt(m_state.editor_program));
}

// The first program in the application folder whose name holds "pct".
void MainWindow::find_editor() {
    for (const std::string& name : list_files(m_state.app_folder)) {
        const std::string path = join_path(m_state.app_folder, name);
#ifdef _WIN32
        const bool program = to_lower(name).size() > 4 && to_lower(name).substr(name.size() - 4) == ".exe";
#else
        const bool program = QFileInfo(to_qt(path)).isExecutable() && is_regular_file(path);
#endif
        if (!program || !contains(to_lower(name), "pct")) continue;
#ifdef _WIN32
        m_state.editor_program = to_lower(name);
#else
        m_state.editor_program = name;  // names are case-sensitive here
#endif
        return;
    }
}

void MainWindow::fill_drives() {
    QStringList roots;
#ifdef _WIN32
    for (const QFileInfo& drive : QDir::drives()) roots << QDir::toNativeSeparators(drive.absolutePath());
#else
    roots << "/";
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && !roots.contains(v.rootPath())) roots << v.rootPath();
#endif
    m_drive->clear();
    m_drive->addItems(roots);
}

void MainWindow::drive_changed(int index) {
    const QString root = m_drive->itemText(index);
    if (!QDir(root).isReadable()) {
        m_shell.message(from_qt(root) + ": cannot be read");
        m_drive->setCurrentIndex(m_drive_index);  // the lists stay where they were
        return;
    }
    m_drive_index = index;
    m_dir->setCurrentIndex(m_dir_model->index(root));
    m_dir->expand(m_dir->currentIndex());
}

void MainWindow::choose_folder(const std::string& folder) {
    if (m_converting) return;
    // A press in the folder list (Dir1_MouseDown): the sorting of the old style is forgotten.
    m_inc.clear();
    m_state.style_folder = folder;
    show_include_lists();
    refresh_caption();
}

void MainWindow::refresh_caption() {
    setWindowTitle(to_qt(window_caption(m_state.style_folder)));
}

void MainWindow::show_include_lists() {
    show_names(m_found, m_inc.found);
    for (Section g : ALL_SECTIONS) show_names(m_groups[g], m_inc.groups[g]);
}

void MainWindow::add_to_group(Section group) {
    if (!add_selected_to_group(m_inc, group, selected_rows(m_found))) {
        m_shell.message("Please select");
        return;
    }
    m_state.create_needed = true;
    show_names(m_groups[group], m_inc.groups[group]);
}

void MainWindow::remove_from_group(Section group) {
    remove_first_selected(m_inc, group, selected_rows(m_groups[group]));
    show_names(m_groups[group], m_inc.groups[group]);
    m_groups[group]->clearSelection();
}

void MainWindow::sort_by_includes() {
    {
        BusyCursor busy(m_shell);
        apply_proposal(m_inc, propose_groups(style_of(m_state.style_folder), m_inc.found));
    }
    m_state.create_needed = true;
    show_include_lists();
}

void MainWindow::set_busy_controls(bool converting) {
    m_converting = converting;
    for (QWidget* w : std::initializer_list<QWidget*>{m_create, m_dir, m_drive, m_sort}) w->setEnabled(!converting);
    for (Section g : ALL_SECTIONS) {
        m_add[g]->setEnabled(!converting);
        m_remove[g]->setEnabled(!converting);
    }
    m_settings_action->setEnabled(!converting);
}

void MainWindow::Command2_Click() {
    if (m_converting) return;
    m_state.typ_path = from_qt(m_path->text());
    CreateTypRequest request;
    request.style_folder = style_of(m_state.style_folder);
    request.sections = m_state.sections;
    request.include_tag_text = m_state.include_tag_text;
    request.classic_looks = m_state.classic_looks;
    request.libraries = &m_state.libraries;
    request.typ_path = m_state.typ_path;
    request.seed = m_state.random_seed;
    request.other_inputs = {library_file_path(m_state.res_folder, Section::Point),
                            library_file_path(m_state.res_folder, Section::Line), m_state.polygon_library_path,
                            settings_path(m_state)};
    const CreateTypCheck check = check_create_typ(request);

    refresh_caption();
    m_launch->setEnabled(false);
    for (Finding f : check.findings) {
        m_shell.message(finding_text(f));
        if (f == Finding::NoRuleFiles) m_state.create_needed = false;
    }
    if (!check.can_run()) return;
    m_shell.yield_events();
    if (m_inc.found.empty() && find_include_files(request.style_folder)) return;
    request.include_files = m_inc;
    set_busy_controls(true);
    run_conversion(request, check);
    set_busy_controls(false);
    m_state.create_needed = false;
}

bool MainWindow::find_include_files(const std::string& style) {
    IncludeScan scan;
    {
        BusyCursor busy(m_shell);
        RuleReader reader([this] { m_shell.yield_events(); });
        scan = scan_include_files(m_inc, style, reader);
    }
    for (const Failure& f : scan.failures) m_shell.message(failure_text(f));
    show_include_lists();
    if (!m_inc.found.empty()) m_shell.message(sort_include_files_text());
    if (scan.folder_found) m_state.create_needed = true;
    return !m_inc.found.empty();
}

void MainWindow::run_conversion(const CreateTypRequest& request, const CreateTypCheck& check) {
    CreateTypReport report;
    {
        BusyCursor busy(m_shell);
        report = m_runner(request, check, [this] { m_shell.yield_events(); });
    }
    // What the run met on its way, in its order; a failed write is told in the closing message.
    const Failure* write_failure = nullptr;
    for (const Failure& f : report.failures) {
        if (f.kind == Failure::Kind::Write) write_failure = &f;
        else m_shell.message(failure_text(f));
    }
    if (!report.started) {
        if (write_failure != nullptr) m_shell.message("The TYP text could not be written: " + failure_text(*write_failure));
        return;
    }
    if (report.include_groups_empty) m_shell.message(include_files_not_added_text());
    // Statements not followed are told in one message, as the include files not added are.
    bool not_followed = false;
    for (const Warning& w : report.warnings) {
        if (w.kind == Warning::Kind::OtherStyleMissing) m_shell.message(other_style_missing_text(w));
        not_followed = not_followed || w.kind == Warning::Kind::IncludeNotFollowed;
    }
    if (not_followed) m_shell.message(statements_not_followed_text(report.warnings));
    m_launch->setEnabled(true);

    const std::string prefix =
        (report.label_dropped ? label_dropped_prefix() : std::string()) + warnings_prefix(report.warnings);
    if (!report.written) {
        const std::string reason = write_failure != nullptr ? failure_text(*write_failure) : request.typ_path;
        m_shell.message(prefix + (report.in_place ? "The TYP text is incomplete: " : "The TYP text could not be written: ") +
                        reason);
        return;
    }
    if (!report.complete()) {
        // Written, so it can be looked at; not handed to the editor as if whole.
        m_shell.message(prefix + incomplete_text(report.failures));
        show_preview(report.looks);
        return;
    }
    m_shell.message(prefix + created_text(request.typ_path));
    m_state.create_needed = false;
    Command3_Click();
    show_preview(report.looks);
}

bool MainWindow::show_preview(const std::vector<EntryLook>& looks) {
    if (!file_exists(m_state.typ_path)) {
        m_shell.message("Cannot find typ txt");
        return false;
    }
    if (m_preview == nullptr) m_preview = new PreviewWindow(this);
    std::string error;
    if (!m_preview->show_typ_text(m_state.typ_path, error, looks)) {
        m_shell.message(error);
        return false;
    }
    m_preview->show();
    m_preview->raise();
    return true;
}

void MainWindow::check_against_style() {
    CreateTypRequest request;
    request.style_folder = style_of(m_state.style_folder);
    request.sections = m_state.sections;
    request.include_files = m_inc;
    request.typ_path = m_state.typ_path;
    const CreateTypCheck check = check_create_typ(request);
    if (!check.can_run()) {
        m_shell.message(finding_text(check.findings.back()));
        return;
    }
    if (!show_preview()) return;
    StyleTypes style;
    {
        BusyCursor busy(m_shell);
        style = list_style_types(request, [this] { m_shell.yield_events(); });
    }
    std::vector<std::string> lines;
    for (const Failure& f : style.failures) lines.push_back(failure_text(f));
    for (const StyleDrift& d : find_style_drift(m_preview->document(), style.types)) lines.push_back(drift_text(d));
    m_preview->add_problems(lines);
}

std::string MainWindow::editor_path() const {
    const std::string& e = m_state.editor_program;
    if (e.find('/') != std::string::npos || e.find(PATH_SEP) != std::string::npos) return e;
    return join_path(m_state.app_folder, e);
}

void MainWindow::Command3_Click() {
    if (m_state.create_needed) {
        m_shell.message("Please Click Create TYP");
        return;
    }
    if (m_state.editor_program.empty() || !is_regular_file(editor_path())) {
        m_shell.message("Please place tessaro in same directory as pictor.");
        return;
    }
    m_desktop.start_program(editor_path(), m_state.typ_path, m_state.app_folder);
}

void MainWindow::open_typ_text() {
    if (!file_exists(m_state.typ_path)) {
        m_shell.message("Cannot find typ txt");
        return;
    }
    m_desktop.open_document(m_state.typ_path);
}

void MainWindow::loadole(const std::string& path) {
    const std::string lower = to_lower(path);
    if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".img") != 0) {
        m_shell.message("Not an img file.");
        return;
    }
    BusyCursor busy(m_shell);
    std::string bytes;
    std::string error;
    read_file(path, bytes, error, [this] { m_shell.yield_events(); });
}

void MainWindow::show_settings() {
    if (m_converting) return;
    const std::string before = m_state.polygon_library_path;
    SettingsDialog dialog(m_state, m_desktop, this);
    connect(&dialog, &SettingsDialog::editor_program_changed, this,
            [this] { m_editor_label->setText(to_qt(m_state.editor_program)); });
    dialog.exec();
    m_editor_label->setText(to_qt(m_state.editor_program));
    if (m_state.polygon_library_path != before) load_library(m_state, Section::Polygon, m_shell);
    m_state.typ_path = from_qt(m_path->text());
    savedat(m_state);
}

void MainWindow::show_about() {
    AboutDialog about(m_desktop, m_state.res_folder, nullptr);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing in the middle of a conversion would cut the TYP text short.
    if (m_converting) {
        event->ignore();
        return;
    }
    m_state.typ_path = from_qt(m_path->text());
    savedat(m_state);
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    loadole(from_qt(QDir::toNativeSeparators(urls.front().toLocalFile())));
}

}  // namespace tessaro
