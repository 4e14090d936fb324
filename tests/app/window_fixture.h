#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "main_window.h"
#include "qt_text.h"
#include "support/qt_support.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {
namespace fs = std::filesystem;
using Messages = std::vector<std::string>;
using Style = std::vector<std::pair<std::string, std::string>>;
const std::string BAR = "amenity=bar [0x2d02 resolution 24]\n";
const std::string ROAD = "highway=primary [0x02 resolution 20]\n";
const std::string WATER = "natural=water [0x3c resolution 20]\n";

using test::has;

inline std::string only(const Messages& said) { return said.size() == 1 ? said[0] : std::to_string(said.size()) + " messages"; }

// A program folder with its res/ folder; the window starts now or at start().
struct Window {
    test::TempDir dir;
    test::RecordingShell shell;
    test::FakeDesktop desktop;
    std::unique_ptr<MainWindow> window;
    AppFolders folders{dir / "prog", dir / "prog/res", dir / "prog", {}};
    explicit Window(bool started = true) {
        dir.write_files({{"prog/res/points", "Type=0x02d02\r\nXpm=\"2 1 1 1\"\r\n\"a c #C05020\"\r\n\"aa\"\r\n[end]\r\n"},
                         {"prog/res/lines", "Type=0x00200\r\nXpm=\"0 0 1 0\"\r\n\"1 c #F0C060\"\r\n[end]\r\n"},
                         {"prog/res/pgons.pol", "Type=0x3c\r\nXpm=\"0 0 1 0\"\r\n\"1 c #8CC4F0\"\r\n[end]\r\n"}});
        if (started) start();
    }
    MainWindow& start() {
        window = std::make_unique<MainWindow>(folders, shell, desktop);
        return *window;
    }
    // Started with a settings file in `at` naming the style folder and the editor, as the window saves it.
    MainWindow& start_with(const std::string& style, const std::string& editor = "", const std::string& at = "prog") {
        dir.write(at + "/tessaro.dat", " 0 \r\n" + style + "\r\n" + editor + "\r\n\r\n\r\n \r\n \r\n 0 \r\n \r\n \r\n \r\n \r\n 0 \r\n 0 \r\n");
        return start();
    }
    std::string executable(const std::string& name) {
        const std::string path = dir.write(name, "#!/bin/sh\n");
        fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
        return path;
    }
    template <typename Act> static void in_dialog(Act act) {
        QTimer::singleShot(0, [act] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            act(dialog);
        });
    }
    template <typename W> W* find(const char* name) { return window->findChild<W*>(name); }
    void set_path_box(const std::string& p) { find<QLineEdit>("Text1")->setText(to_qt(p)); }
    Messages items(const char* list) {
        Messages texts;
        const QListWidget* box = find<QListWidget>(list);
        for (int i = 0; i < box->count(); ++i) texts.push_back(from_qt(box->item(i)->text()));
        return texts;
    }
    Messages create() {
        shell.messages.clear();
        find<QPushButton>("Command2")->click();
        window->wait_for_work();
        return shell.messages;
    }
    void await_run() {
        for (int i = 0; i < 1000 && window->converting(); ++i) test::process_events_for(10);
    }
    void use_style(const Style& files = {{"points", BAR}, {"lines", ROAD}, {"polygons", WATER}}) {
        for (const auto& [name, rules] : files) dir.write("s/" + name, rules);
        window->choose_folder(dir / "s");
        set_path_box(dir / "out.txt");
    }
    std::string out() { return test::read_bytes(dir / "out.txt"); }
    std::string created(const std::string& command_path = "") {
        return "TYP text created\r\n\r\nCompile it with:\r\nmkgmap --family-id=12345 --code-page=1252 " +
               (command_path.empty() ? dir / "out.txt" : command_path);
    }
};
}  // namespace
}  // namespace tessaro
