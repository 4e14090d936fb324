#include "main_window.h"

#include <new>
#include <system_error>

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
    m_state.program_folder = folders.program.empty() ? folders.app : folders.program;
    m_state.settings_folder = folders.settings;
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
    m_style_label = new QLabel;
    m_style_label->setObjectName("styleLabel");
    m_style_label->setWordWrap(true);
    m_style_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* hint = new QLabel("Click on Directory");
    hint->setObjectName("Label1");
    s1->addWidget(step_number("1", 0), 0, 0);
    s1->addWidget(hint, 0, 1);
    s1->addWidget(m_drive, 1, 0, 1, 2);
    s1->addWidget(m_dir, 2, 0, 1, 2);
    s1->addWidget(m_style_label, 3, 0, 1, 2);
    s1->setColumnStretch(1, 1);
    s1->setRowStretch(2, 1);
    connect(m_drive, qOverload<int>(&QComboBox::activated), this, &MainWindow::drive_changed);
    // The model reads folders lazily: keep the restored folder in view as they
    // arrive, but never move the tree under a user's pointer.
    const auto keep_in_view = [this] {
        if (m_keep_current_in_view && m_dir->currentIndex().isValid())
            m_dir->scrollTo(m_dir->currentIndex(), QAbstractItemView::PositionAtCenter);
    };
    // Folders arrive, and are sorted, after their loading was announced.
    connect(m_dir_model, &QFileSystemModel::directoryLoaded, this, keep_in_view);
    connect(m_dir_model, &QAbstractItemModel::rowsInserted, this, keep_in_view);
    connect(m_dir_model, &QAbstractItemModel::layoutChanged, this, keep_in_view);
    connect(m_dir, &QAbstractItemView::pressed, this, [this] { m_keep_current_in_view = false; });
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
        m_groups[g]->setMinimumHeight(60);
        m_remove[g] = new QPushButton("Remove");
        m_remove[g]->setObjectName(indexed("Command6", i));
        const int row = 2 + 2 * i;
        s2->addWidget(label, row, 1, 1, 2);
        s2->addWidget(m_add[g], row + 1, 0, Qt::AlignTop);
        s2->addWidget(m_groups[g], row + 1, 1);
        s2->setRowStretch(row + 1, 1);
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
    s2->setRowStretch(1, 2);
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
    // An option's box, kept in step with its field of the state.
    const auto option = [this, s3](const char* caption, const char* name, const char* tip, bool AppState::*field) {
        auto* box = new QCheckBox(caption);
        box->setObjectName(name);
        if (tip != nullptr) box->setToolTip(tip);
        connect(box, &QCheckBox::toggled, this, [this, field](bool on) { m_state.*field = on; });
        s3->addWidget(box);
        return box;
    };
    m_tag_text = option("Include Tag Text", "Check1", nullptr, &AppState::include_tag_text);
    m_classic_looks = option("Classic looks", "ClassicLooks",
                             "Looks from the library, the built-in tables and random colours alone:"
                             " no looks by tags, no point markers",
                             &AppState::classic_looks);
    s3->addSpacing(12);
    s3->addWidget(new QLabel("TYP text:"));
    m_path = new QLineEdit;
    m_path->setObjectName("Text1");
    m_path->setMinimumWidth(260);
    m_path->setAcceptDrops(false);  // a file dropped here goes to the window
    s3->addWidget(m_path);
    m_keep_looks = option("Keep my edited looks", "KeepEditedLooks",
                          "Update the TYP text at the path: its entries stay as they are, the style's new types"
                          " are added, types the style no longer uses are kept and counted",
                          &AppState::keep_edited_looks);
    m_create = new QPushButton("Create TYP");
    m_create->setObjectName("Command2");
    m_create->setMinimumHeight(36);
    connect(m_create, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    s3->addWidget(m_create);
    m_launch = new QPushButton("Launch  Pictor");
    m_launch->setObjectName("Command3");
    m_launch->setStyleSheet("QPushButton { background-color: #80FF80; color: black; }"
                            " QPushButton:disabled { background-color: #D8D8D8; color: #989898; }");
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
    setMinimumSize(760, 480);
    resize(1000, 640);
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
    bool style_shown = false;
    if (file_exists(settings_path(m_state))) {
        loaddat(m_state, m_shell);
        m_tag_text->setChecked(m_state.include_tag_text);
        m_classic_looks->setChecked(m_state.classic_looks);
        m_keep_looks->setChecked(m_state.keep_edited_looks);
        if (m_state.window_width > 0) resize(m_state.window_width, m_state.window_height);
        if (!m_state.style_folder.empty() && fs::is_directory(to_fs_path(m_state.style_folder), ec)) {
            const std::string saved = style_of(m_state.style_folder);
            show_drive_of(saved);
            m_keep_current_in_view = true;
            m_dir->setCurrentIndex(m_dir_model->index(to_qt(saved)));
            m_dir->scrollTo(m_dir->currentIndex());
            m_state.style_folder = saved;
            style_shown = true;
        }
    }
    if (!style_shown) {
        // Somewhere a user's styles are likely to be, rather than a collapsed root.
        const QModelIndex home = m_dir_model->index(QDir::homePath());
        show_drive_of(from_qt(QDir::toNativeSeparators(QDir::homePath())));
        m_dir->expand(home);
        m_dir->scrollTo(home, QAbstractItemView::PositionAtTop);
    }
    // A name without a folder is a program found beside this one earlier: it
    // counts only where one is looked for now. A path was chosen in Settings.
    const std::string& stored = m_state.editor_program;
    const bool found_beside = stored.find('/') == std::string::npos && stored.find(PATH_SEP) == std::string::npos;
    if (found_beside && !(looks_beside_for_editor() && is_typ_editor_name(stored))) m_state.editor_program = "not found";
    if (looks_beside_for_editor()) find_editor();
    for (Section s : ALL_SECTIONS) load_library(m_state, s, m_shell);
    refresh_caption();
    m_path->setText(to_qt(m_state.typ_path));
    m_editor_label->setText(to_qt(m_state.editor_program));
}

// A copy in a folder of its own (its library files in res/ beside it) looks
// beside itself for the TYP editor; an installed one, in a system folder
// among other programs, never does: it would start whatever is named alike.
bool MainWindow::looks_beside_for_editor() const {
    return m_state.res_folder == join_path(m_state.program_folder, "res");
}

// The first program beside this one named as a TYP editor's (is_typ_editor_name).
void MainWindow::find_editor() {
    for (const std::string& name : list_files(m_state.program_folder)) {
        const std::string path = join_path(m_state.program_folder, name);
#ifdef _WIN32
        const bool program = to_lower(name).size() > 4 && to_lower(name).substr(name.size() - 4) == ".exe";
#else
        const bool program = QFileInfo(to_qt(path)).isExecutable() && is_regular_file(path);
#endif
        if (!program || !is_typ_editor_name(name)) continue;
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

void MainWindow::show_drive_of(const std::string& path) {
    // The longest root the path lies under: a mounted volume rather than "/".
    const QString p = QDir::fromNativeSeparators(to_qt(path));
    int best = -1;
    qsizetype best_length = -1;
    for (int i = 0; i < m_drive->count(); ++i) {
        QString root = QDir::fromNativeSeparators(m_drive->itemText(i));
        if (!root.endsWith('/')) root += '/';
#ifdef _WIN32
        const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
        const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
        if ((p + '/').startsWith(root, cs) && root.size() > best_length) {
            best = i;
            best_length = root.size();
        }
    }
    if (best < 0) return;
    m_drive->setCurrentIndex(best);
    m_drive_index = best;
}

void MainWindow::drive_changed(int index) {
    const QString root = m_drive->itemText(index);
    if (!QDir(root).isReadable()) {
        m_shell.message(printable(from_qt(root)) + ": cannot be read");
        m_drive->setCurrentIndex(m_drive_index);  // the lists stay where they were
        return;
    }
    m_drive_index = index;
    m_dir->setCurrentIndex(m_dir_model->index(root));
    m_dir->expand(m_dir->currentIndex());
}

void MainWindow::choose_folder(const std::string& folder) {
    if (m_converting) return;
    // A press in the folder list (Dir1_MouseDown): the sorting of the old style
    // is forgotten and the new style's include files are listed.
    m_inc.clear();
    m_unsorted_told = false;
    m_state.style_folder = style_of(folder);
    refresh_caption();
    find_include_files(m_state.style_folder);
}

void MainWindow::refresh_caption() {
    setWindowTitle(to_qt(window_caption(m_state.style_folder)));
    m_style_label->setText(to_qt(m_state.style_folder.empty() ? std::string("Style: none chosen")
                                                                 : "Style: " + printable(m_state.style_folder)));
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
    if (m_inc.found.empty()) find_include_files(m_state.style_folder);
    {
        BusyCursor busy(m_shell);
        apply_proposal(m_inc, propose_groups(m_state.style_folder, m_inc.found));
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
    request.style_folder = m_state.style_folder;
    request.sections = m_state.sections;
    request.include_tag_text = m_state.include_tag_text;
    request.classic_looks = m_state.classic_looks;
    request.update = m_state.keep_edited_looks;
    request.libraries = &m_state.libraries;
    request.pages = m_state.pages.get();
    request.typ_path = m_state.typ_path;
    request.seed = m_state.random_seed;
    request.other_inputs = {library_file_path(m_state.res_folder, Section::Point),
                            library_file_path(m_state.res_folder, Section::Line), m_state.polygon_library_path,
                            settings_path(m_state)};
    const CreateTypCheck check = check_create_typ(request);

    refresh_caption();
    m_launch->setEnabled(false);
    for (Finding f : check.findings) {
        m_shell.message(finding_text(f), MessageIcon::Warning);
        if (f == Finding::NoRuleFiles) m_state.create_needed = false;
    }
    if (!check.can_run()) return;
    m_shell.yield_events();
    // The include folder may have been filled since the style was chosen.
    if (m_inc.found.empty()) find_include_files(request.style_folder);
    if (!m_inc.found.empty() && m_inc.groups_empty() && !m_unsorted_told) {
        // Once per style: the include files wait to be sorted into the groups.
        m_unsorted_told = true;
        m_state.create_needed = true;
        m_shell.message(sort_include_files_text());
        return;
    }
    request.include_files = m_inc;
    set_busy_controls(true);
    run_conversion(request, check);
    set_busy_controls(false);
    m_state.create_needed = false;
}

void MainWindow::find_include_files(const std::string& style) {
    // Scanned into a copy: the events run during the scan may choose another style.
    IncludeFiles found = m_inc;
    IncludeScan scan;
    {
        BusyCursor busy(m_shell);
        RuleReader reader;
        KnownStatements statements;
        scan = scan_include_files(found, style, reader, &statements);
        // The files elsewhere in the style that the rule files include are
        // listed with them, to be sorted like them.
        add_files_elsewhere(found, propose_groups(style, found.found, &statements));
    }
    if (m_state.style_folder != style) return;
    m_inc = std::move(found);
    for (const Failure& f : scan.failures) m_shell.message(failure_text(f), MessageIcon::Warning);
    show_include_lists();
    if (scan.folder_found) m_state.create_needed = true;
}

namespace {
// False when the work ran out of memory (also a thread that found none for its stack).
template <typename Work>
bool out_of_memory_spared(Work&& work) {
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::system_error& e) {
        if (e.code() != std::errc::resource_unavailable_try_again) throw;
    }
    return false;
}
}  // namespace

void MainWindow::run_conversion(const CreateTypRequest& request, const CreateTypCheck& check) {
    CreateTypReport report;
    {
        BusyCursor busy(m_shell);
        // Out of memory, the run gives back what it took on the way out and
        // leaves the old text; the window stays.
        if (!out_of_memory_spared([&] { report = m_runner(request, check, [this] { m_shell.yield_events(); }); })) {
            m_shell.message(out_of_memory_text("converting " + request.style_folder), MessageIcon::Critical);
            return;
        }
    }
    // What the run met on its way, in its order; a failed write is told in the closing message.
    const Failure* write_failure = nullptr;
    for (const Failure& f : report.failures) {
        if (f.kind == Failure::Kind::Write) write_failure = &f;
        else if (f.kind != Failure::Kind::OldTextBroken) m_shell.message(failure_text(f), MessageIcon::Critical);
    }
    if (!report.update.problems.empty() && !report.update.replaced_broken)
        m_shell.message(old_text_problems_text(report.update.problems), MessageIcon::Critical);
    if (!report.started) {
        if (write_failure != nullptr)
            m_shell.message("The TYP text could not be written: " + failure_text(*write_failure), MessageIcon::Critical);
        return;
    }
    if (!report.left_out.empty())
        m_shell.message(include_files_left_out_text(report.left_out, report.include_groups_empty), MessageIcon::Warning);
    // Statements not followed are told in one message, as the include files not added are.
    bool not_followed = false;
    for (const Warning& w : report.warnings) {
        if (w.kind == Warning::Kind::OtherStyleMissing) m_shell.message(other_style_missing_text(w), MessageIcon::Warning);
        not_followed = not_followed || w.kind == Warning::Kind::IncludeNotFollowed;
    }
    if (not_followed) m_shell.message(statements_not_followed_text(report.warnings), MessageIcon::Warning);
    m_launch->setEnabled(true);

    const std::string prefix =
        (report.label_dropped ? label_dropped_prefix() : std::string()) + warnings_prefix(report.warnings);
    if (!report.written) {
        const std::string reason = write_failure != nullptr ? failure_text(*write_failure) : printable(request.typ_path);
        m_shell.message(prefix + (report.in_place ? "The TYP text is incomplete: " : "The TYP text could not be written: ") +
                            reason,
                        MessageIcon::Critical);
        return;
    }
    if (!report.complete()) {
        // Written, so it can be looked at; not handed to the editor as if whole.
        m_shell.message(prefix + incomplete_text(report.failures), MessageIcon::Critical);
        show_preview(report.looks);
        return;
    }
    const std::string update = report.update.done ? update_counts_text(report.update) : std::string();
    m_shell.message(prefix + created_text(request.typ_path, report.labels.code_page) + update,
                    prefix.empty() ? MessageIcon::Information : MessageIcon::Warning);
    m_state.create_needed = false;
    // Without an editor ever found or chosen the preview is the way to look at the text.
    if (m_state.editor_program != "not found") Command3_Click();
    show_preview(report.looks);
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
    CreateTypRequest request;
    request.style_folder = m_state.style_folder;
    request.sections = m_state.sections;
    request.include_files = m_inc;
    request.typ_path = m_state.typ_path;
    const CreateTypCheck check = check_create_typ(request);
    if (!check.can_run()) {
        m_shell.message(finding_text(check.findings.back()), MessageIcon::Warning);
        return;
    }
    if (!show_preview()) return;
    StyleTypes style;
    {
        BusyCursor busy(m_shell);
        if (!out_of_memory_spared([&] { style = list_style_types(request, [this] { m_shell.yield_events(); }); })) {
            m_shell.message(out_of_memory_text("checking " + request.typ_path), MessageIcon::Critical);
            return;
        }
    }
    std::vector<std::string> lines;
    for (const Failure& f : style.failures) lines.push_back(failure_text(f));
    for (const StyleDrift& d : find_style_drift(m_preview->document(), style.types)) lines.push_back(drift_text(d));
    m_preview->add_problems(lines);
}

std::string MainWindow::editor_path() const {
    const std::string& e = m_state.editor_program;
    if (e.find('/') != std::string::npos || e.find(PATH_SEP) != std::string::npos) return e;
    return join_path(m_state.program_folder, e);
}

void MainWindow::Command3_Click() {
    if (m_state.create_needed) {
        m_shell.message("Please Click Create TYP");
        return;
    }
    if (m_state.editor_program.empty() || !is_regular_file(editor_path())) {
        m_shell.message("Please place tessaro in same directory as pictor.", MessageIcon::Warning);
        return;
    }
    if (!file_exists(m_state.typ_path)) {
        m_shell.message("Cannot find typ txt: " + printable(m_state.typ_path), MessageIcon::Warning);
        return;
    }
    if (!m_desktop.start_program(editor_path(), m_state.typ_path, m_state.program_folder))
        m_shell.message(printable(editor_path()) + " could not be started.", MessageIcon::Critical);
}

std::string MainWindow::typ_text_to_open() {
    const std::string typed = from_qt(m_path->text());
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
    if (!m_desktop.open_document(path)) m_shell.message(printable(path) + ": no program opens it", MessageIcon::Warning);
}

std::size_t MainWindow::loadole(const std::string& path) {
    const std::string lower = to_lower(path);
    if (lower.size() < 4 || lower.compare(lower.size() - 4, 4, ".img") != 0) {
        m_shell.message("Not an img file.", MessageIcon::Warning);
        return 0;
    }
    // A map image may be gigabytes: its header tells all there is to know.
    BusyCursor busy(m_shell);
    FileReader file;
    std::string error;
    if (!file.open(path, error)) return 0;  // dropped files' errors go unreported
    char header[512];
    return file.read(header, sizeof header, error);
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
    save_settings();
}

void MainWindow::save_settings() {
    m_state.typ_path = from_qt(m_path->text());
    m_state.window_width = width();
    m_state.window_height = height();
    if (std::optional<Failure> failure = savedat(m_state))
        m_shell.message("The settings could not be saved: " + failure_text(*failure), MessageIcon::Critical);
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
    loadole(from_qt(QDir::toNativeSeparators(urls.front().toLocalFile())));
}

}  // namespace tessaro
