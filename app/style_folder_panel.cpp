#include "style_folder_panel.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStorageInfo>
#include <QTreeView>

#include "qt_text.h"
#include "text_util.h"
#include "window_parts.h"

namespace tessaro {

StyleFolderPanel::StyleFolderPanel(Shell& shell, std::function<void(const std::string&)> chosen, QWidget* parent)
    : QGroupBox(parent), m_shell(shell), m_chosen(std::move(chosen)) {
    auto* grid = new QGridLayout(this);
    m_drive = new QComboBox;
    m_drive->setObjectName("Drive1");
    build_tree();
    m_style_label = new QLabel;
    m_style_label->setObjectName("styleLabel");
    m_style_label->setWordWrap(true);
    m_style_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* hint = new QLabel("Click on the style folder");
    hint->setObjectName("Label1");
    grid->addWidget(step_number("1", 0), 0, 0);
    grid->addWidget(hint, 0, 1);
    grid->addWidget(m_drive, 1, 0, 1, 2);
    grid->addWidget(m_dir, 2, 0, 1, 2);
    grid->addWidget(m_style_label, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    connect(m_drive, qOverload<int>(&QComboBox::activated), this, &StyleFolderPanel::drive_changed);
    fill_drives();
}

void StyleFolderPanel::build_tree() {
    m_dir_model = new QFileSystemModel(this);
    m_dir_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_dir_model->setRootPath(QString());
    m_dir = new QTreeView;
    m_dir->setObjectName("Dir1");
    m_dir->setModel(m_dir_model);
    for (int c = 1; c < m_dir_model->columnCount(); ++c) m_dir->hideColumn(c);
    m_dir->header()->hide();
    m_dir->setMinimumSize(240, 300);
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
    connect(m_dir->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid()) m_chosen(from_qt(QDir::toNativeSeparators(m_dir_model->filePath(current))));
    });
}

void StyleFolderPanel::restore(const std::string& folder) {
    show_drive_of(folder);
    m_keep_current_in_view = true;
    m_dir->setCurrentIndex(m_dir_model->index(to_qt(folder)));
    m_dir->scrollTo(m_dir->currentIndex());
}

void StyleFolderPanel::show_home() {
    const QModelIndex home = m_dir_model->index(QDir::homePath());
    show_drive_of(from_qt(QDir::toNativeSeparators(QDir::homePath())));
    m_dir->expand(home);
    m_dir->scrollTo(home, QAbstractItemView::PositionAtTop);
}

void StyleFolderPanel::show_style(const std::string& text) {
    m_style_label->setText(to_qt(text));
}

void StyleFolderPanel::set_busy(bool busy) {
    m_dir->setEnabled(!busy);
    m_drive->setEnabled(!busy);
}

void StyleFolderPanel::fill_drives() {
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

void StyleFolderPanel::show_drive_of(const std::string& path) {
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

void StyleFolderPanel::drive_changed(int index) {
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

}  // namespace tessaro
