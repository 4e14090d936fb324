#include "qt_desktop.h"

#include "qt_text.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QProcess>
#include <QUrl>

namespace tessaro {

bool QtDesktop::start_program(const std::string& program, const std::string& argument,
                              const std::string& working_folder) {
    return QProcess::startDetached(to_qt(program), {to_qt(argument)}, to_qt(working_folder));
}

bool QtDesktop::open_document(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(to_qt(path)));
}

std::string QtDesktop::choose_file(const std::string& title, const std::string& filter,
                                   const std::string& initial_path) {
    const QString chosen = QFileDialog::getOpenFileName(m_parent, to_qt(title), to_qt(initial_path), to_qt(filter));
    return from_qt(chosen);
}

}  // namespace tessaro
