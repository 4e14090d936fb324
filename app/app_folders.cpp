#include "app_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "file_io.h"
#include "library_files.h"
#include "qt_text.h"

namespace tessaro {

AppFolders locate_app_folders(const std::string& program_folder) {
    AppFolders f;
    f.res = find_library_folder(program_folder);
    f.app = program_folder;
    f.program = program_folder;
    // An installed copy (its library files under share/) never writes beside
    // the program, even where it could (run as root, /usr/bin is writable).
    const bool installed = f.res != join_path(program_folder, "res");
    if (installed || !QFileInfo(to_qt(program_folder)).isWritable()) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (!data.isEmpty() && QDir().mkpath(data)) f.app = from_qt(QDir::toNativeSeparators(data));
        const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        if (!config.isEmpty() && QDir().mkpath(config)) f.settings = from_qt(QDir::toNativeSeparators(config));
    }
    return f;
}

}  // namespace tessaro
