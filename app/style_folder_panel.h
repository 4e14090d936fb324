#pragma once

#include <QGroupBox>
#include <functional>
#include <string>

#include "shell.h"

class QComboBox;
class QFileSystemModel;
class QLabel;
class QTreeView;

namespace tessaro {

// Step 1 of the window: the drive list, the folder tree and the chosen style.
class StyleFolderPanel : public QGroupBox {
    Q_OBJECT

public:
    // `chosen` hears of each folder that becomes the tree's current one.
    StyleFolderPanel(Shell& shell, std::function<void(const std::string&)> chosen, QWidget* parent = nullptr);

    // A saved style folder, made current and kept in view while its parents load.
    void restore(const std::string& folder);
    // Somewhere a user's styles are likely to be, rather than a collapsed root.
    void show_home();
    // The line under the tree that names the chosen style.
    void show_style(const std::string& text);
    void set_busy(bool busy);

private:
    void build_tree();
    void fill_drives();
    void drive_changed(int index);
    // The drive list shows the drive that holds `path`.
    void show_drive_of(const std::string& path);

    Shell& m_shell;
    std::function<void(const std::string&)> m_chosen;
    int m_drive_index = 0;
    // The folder list follows its current folder while it loads, until the user presses on it.
    bool m_keep_current_in_view = false;
    QComboBox* m_drive = nullptr;
    QTreeView* m_dir = nullptr;
    QFileSystemModel* m_dir_model = nullptr;
    QLabel* m_style_label = nullptr;
};

}  // namespace tessaro
