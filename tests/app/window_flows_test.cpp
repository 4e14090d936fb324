// The window as a map maker meets it: the TYP editor, the include sorting, the TYP
// text path of each style, and what the window says.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>

#include "file_io.h"
#include "preview_model.h"
#include "preview_window.h"
#include "qt_shell.h"
#include "text_util.h"
#include "window_fixture.h"

namespace tessaro {
namespace {

std::vector<std::string> settings_lines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string text = test::read_bytes(path);
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// An old settings file stored "not found" for no editor: it is neither shown nor saved as a path.
TEST(TypEditor, without_one_the_window_says_so_keeps_launch_grey_says_nothing_after_create_and_saves_no_path) {
    Window w(false);
    w.dir.write("prog/tessaro.dat", settings_naming("", "not found"));
    w.start();
    EXPECT_TRUE(has(from_qt(w.find<QLabel>("Label3")->text()), "No TYP editor chosen")) << from_qt(w.find<QLabel>("Label3")->text());
    w.use_style();
    EXPECT_EQ(w.create(), (Messages{w.created()}));
    EXPECT_FALSE(w.find<QPushButton>("Command3")->isEnabled());
    w.window->launch_editor();
    EXPECT_EQ(w.shell.messages.back(), "No TYP editor is chosen: choose one in Preferences > Settings.");

    std::string shown = "?";
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        shown = from_qt(dialog->findChild<QLineEdit*>("Text1_3")->text());
        dialog->findChild<QPushButton*>("Command3")->click();
    });
    w.window->show_settings();
    EXPECT_EQ(shown, "");
    ASSERT_GE(settings_lines(w.dir / "prog/tessaro.dat").size(), 3u);
    EXPECT_EQ(settings_lines(w.dir / "prog/tessaro.dat")[2], "");

    // File > Open TYP text: the desktop's program for text, or a word on what to do when it has none.
    w.desktop.open_ok = false;
    w.window->open_typ_text();
    EXPECT_EQ(w.desktop.opened, (Messages{w.dir / "out.txt"}));
    EXPECT_TRUE(has(w.shell.messages.back(), "Choose a TYP editor in Preferences > Settings, or open the file in a text editor"));
    w.program("pct5");
    w.start().choose_folder(w.dir / "s");
    w.set_path_box(w.dir / "out.txt");
    w.window->open_typ_text();
    EXPECT_EQ(w.desktop.started, (Messages{join_path(w.dir / "prog", "pct5") + "|" + (w.dir / "out.txt") + "|" + (w.dir / "prog")}));
}

// "sub/more" lies outside inc/, and no rule file includes inc/orphan.
TEST(IncludeSorting, sort_by_includes_says_what_it_put_where_and_create_then_neither_asks_nor_repeats_it) {
    Window w;
    w.dir.write("s/sub/more", "amenity=cafe [0x2a00 resolution 24]\n");
    w.dir.write("s/inc/orphan", "shop=x [0x2e02 resolution 24]\n");
    w.use_style({{"points", BAR + "include 'sub/more';\n"}, {"lines", ROAD}, {"polygons", WATER}});
    w.find<QPushButton>("CommandSort")->click();
    auto* report = w.find<QLabel>("sortReport");
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(from_qt(report->text()), "Sort by includes put 1 into INC Points, 0 into INC Lines, 0 into INC Polygons.\r\n"
                                       "No rule file includes this file (mkgmap does not read it either): orphan");
    EXPECT_EQ(w.create(), (Messages{w.created()}));
    EXPECT_TRUE(has(w.out(), "Type=0x2a"));
    w.window->choose_folder(w.dir / "t");  // another style: its own report, none yet
    EXPECT_EQ(from_qt(report->text()), "");
}

TEST(TypTextPath, follows_the_chosen_style_keeps_a_typed_one_and_asks_before_updating_another_style_s_text) {
    Window w;
    for (const char* style : {"a/", "b/"})
        for (const auto& [file, rules] : Style{{"points", BAR}, {"lines", ROAD}, {"polygons", WATER}}) w.dir.write(style + file, rules);
    const auto path_box = [&] { return from_qt(w.find<QLineEdit>("Text1")->text()); };
    const std::string a_text = join_path(w.dir / "prog/typ", "a.txt");
    w.window->choose_folder(w.dir / "a");
    EXPECT_EQ(path_box(), a_text);
    w.create();
    const std::string made = test::read_bytes(a_text);
    EXPECT_TRUE(has(made, ";style:a\r\n"));
    w.window->choose_folder(w.dir / "b/inc");
    EXPECT_EQ(path_box(), join_path(w.dir / "prog/typ", "b.txt"));
    w.create();
    EXPECT_EQ(test::read_bytes(a_text), made);
    w.set_path_box(w.dir / "mine.txt");
    w.create();
    w.window->choose_folder(w.dir / "a");
    EXPECT_EQ(path_box(), a_text);
    w.window->choose_folder(w.dir / "b");
    EXPECT_EQ(path_box(), w.dir / "mine.txt");

    w.find<QCheckBox>("KeepEditedLooks")->setChecked(true);
    w.set_path_box(a_text);
    EXPECT_TRUE(w.create().empty());  // answered No
    EXPECT_EQ(w.shell.questions, (Messages{a_text + " was made for the style a, not for b.\r\n\r\n"
                                                    "Update it with the types of b all the same?"}));
    EXPECT_EQ(test::read_bytes(a_text), made);
}

TEST(WindowTexts, the_command_stands_whole_and_selectable_a_folder_without_rules_is_no_style_and_about_is_under_help) {
    test::qt_app();
    QtShell shell;
    const auto box = shell.message_box("TYP text created\r\n\r\nCompile it with:\r\nmkgmap --family-id=12345 "
                                       "--code-page=1252 /home/mapper/a-very-long-folder-name/alpine.txt",
                                       MessageIcon::Information);
    EXPECT_TRUE(box->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(from_qt(box->text()).ends_with("<br><span style=\"white-space:pre\">mkgmap --family-id=12345 "
                                               "--code-page=1252 /home/mapper/a-very-long-folder-name/alpine.txt</span></p>"))
        << from_qt(box->text());

    Window w;
    fs::create_directories(w.dir / "photos");
    w.window->choose_folder(w.dir / "photos");
    EXPECT_EQ(from_qt(w.find<QLabel>("styleLabel")->text()),
              "Not a style folder (no points, lines or polygons file): " + (w.dir / "photos"));
    w.use_style();
    EXPECT_EQ(from_qt(w.find<QLabel>("styleLabel")->text()), "Style: " + (w.dir / "s"));
    EXPECT_EQ(from_qt(w.window->windowTitle()), std::string("tessaro ") + PROGRAM_VERSION + " - style s");
    auto* help = w.find<QMenu>("mhelp");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(from_qt(help->title()), "Help");
    EXPECT_TRUE(help->actions().contains(w.find<QAction>("mf_2")));
}

// Check against style keeps the run's look sources and says that it ran, whatever it found.
TEST(PreviewCheck, keeps_the_source_column_and_counts_the_findings_under_a_heading) {
    Window w;
    w.use_style();
    w.create();
    const auto heading = [&] { return from_qt(w.window->preview()->findChild<QLabel*>("previewProblemsHeading")->text()); };
    w.window->check_against_style();
    w.window->wait_for_work();
    ASSERT_NE(w.window->preview()->findChild<QLabel*>("previewProblemsHeading"), nullptr);
    EXPECT_FALSE(w.window->preview()->findChild<QTableView*>("previewEntries")->isColumnHidden(PreviewModel::SOURCE));
    EXPECT_EQ(heading(), "No findings: the TYP text and the style agree");
    w.dir.write("s/lines", "");
    w.window->check_against_style();
    w.window->wait_for_work();
    EXPECT_EQ(heading(), "Problems, and 1 finding against the style s:");
}

}  // namespace
}  // namespace tessaro
