#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QDir>
#include <QTimer>

#include "app_folders.h"
#include "main_window.h"
#include "preview_window.h"
#include "qt_desktop.h"
#include "qt_shell.h"
#include "qt_text.h"
#include "sample_map_command.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

// "--sample-map OUT.png [--night] FILE": the picture is written without a window, so without a display too.
int sample_map_command(int argc, char** argv) {
    std::string out, typ;
    bool night = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sample-map" && i + 1 < argc) out = argv[++i];
        else if (arg == "--night") night = true;
        else if (typ.empty() && !arg.starts_with("--")) typ = arg;
        else out.clear(), i = argc;
    }
    if (out.empty() || typ.empty()) {
        std::fputs("usage: tessaro --sample-map OUT.png [--night] TYP_TEXT\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The command says what went wrong in its own words; Qt's notes on the
    // desktop it runs without (no XDG_RUNTIME_DIR, no display) are no news to a script.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QApplication app(argc, argv);
    const std::string error = tessaro::write_sample_map(typ, out, night);
    if (error.empty()) return 0;
    std::fprintf(stderr, "tessaro: %s\n", error.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--sample-map") return sample_map_command(argc, argv);
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

    // For the documentation: "--screenshot FILE" saves the window as a picture,
    // "--preview-screenshot FILE" the preview of the TYP text; then the program quits.
    // "--sort-by-includes" presses that button first; "--night" shows the preview at night.
    const QStringList args = QApplication::arguments();
    const auto option = [&args](const char* name) {
        const qsizetype at = args.indexOf(name);
        return at > 0 && at + 1 < args.size() ? args.at(at + 1) : QString();
    };
    // "tessaro FILE" (a desktop's Open With): the preview of that TYP text.
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i) == "--sort-by-includes" || args.at(i) == "--night") continue;
        if (args.at(i).startsWith("--")) {
            ++i;  // the options above take a value
            continue;
        }
        window.show_preview_of(tessaro::from_qt(QDir::toNativeSeparators(args.at(i))));
        break;
    }
    if (args.contains("--sort-by-includes")) {
        if (auto* sort = window.findChild<QPushButton*>("CommandSort")) sort->click();
    }
    const bool night = args.contains("--night");
    const QString main_shot = option("--screenshot");
    const QString preview_shot = option("--preview-screenshot");
    if (!main_shot.isEmpty() || !preview_shot.isEmpty()) {
        QTimer::singleShot(1500, &window, [&window, main_shot, preview_shot, night] {
            if (!main_shot.isEmpty()) window.grab().save(main_shot);
            if (preview_shot.isEmpty()) {
                QApplication::quit();
                return;
            }
            window.show_preview();
            if (night && window.preview() != nullptr) {
                if (auto* time = window.preview()->findChild<QComboBox*>("previewDayNight")) time->setCurrentText("Night");
            }
            QTimer::singleShot(1000, &window, [&window, preview_shot] {
                if (window.preview() != nullptr) window.preview()->grab().save(preview_shot);
                QApplication::quit();
            });
        });
    }
    return QApplication::exec();
}
