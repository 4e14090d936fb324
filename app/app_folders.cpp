#include "app_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "file_io.h"
#include "qt_text.h"

namespace tessaro {

AppFolders locate_app_folders(const std::string& program_folder) {
    AppFolders f;
    f.res = join_path(program_folder, "res");
    f.app = program_folder;
    f.program = program_folder;
    if (!QFileInfo(to_qt(program_folder)).isWritable()) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (!data.isEmpty() && QDir().mkpath(data)) f.app = from_qt(QDir::toNativeSeparators(data));
    }
    return f;
}

}  // namespace tessaro
