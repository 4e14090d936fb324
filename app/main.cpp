#include <QApplication>
#include <QDir>
#include <QTimer>

#include "app_folders.h"
#include "main_window.h"
#include "qt_desktop.h"
#include "qt_shell.h"
#include "qt_text.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("tessaro");
    tessaro::QtShell shell;
    tessaro::QtDesktop desktop;
    const auto folders =
        tessaro::locate_app_folders(tessaro::from_qt(QDir::toNativeSeparators(QApplication::applicationDirPath())));
    tessaro::MainWindow window(folders, shell, desktop);
    shell.set_parent(&window);
    desktop.set_parent(&window);
    window.show();

    // For the documentation: "--screenshot FILE" saves the window as a picture and quits.
    const QStringList args = QApplication::arguments();
    const qsizetype at = args.indexOf("--screenshot");
    if (at > 0 && at + 1 < args.size()) {
        const QString file = args.at(at + 1);
        QTimer::singleShot(1500, &window, [&window, file] {
            window.grab().save(file);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
