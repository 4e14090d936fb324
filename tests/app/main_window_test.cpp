#include "main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "file_io.h"
#include "preview_window.h"
#include "qt_text.h"
#include "support/qt_support.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;
using Messages = std::vector<std::string>;

const std::string BAR = "amenity=bar [0x2d02 resolution 24]\n";
const std::string ROAD = "highway=primary [0x02 resolution 20]\n";
const std::string WATER = "natural=water [0x3c resolution 20]\n";

// A program folder with its res/ folder, and the window started in it (now, or by start()
// after the test has written more into the folder).
struct Window {
    test::TempDir dir;
    test::RecordingShell shell;
    test::FakeDesktop desktop;
    std::unique_ptr<MainWindow> window;
    explicit Window(bool started = true) {
        test::qt_app();
        dir.write("prog/res/points", "Type=0x02d02\r\nXpm=\"2 1 1 1\"\r\n\"a c #C05020\"\r\n\"aa\"\r\n[end]\r\n");
        dir.write("prog/res/lines", "Type=0x00200\r\nXpm=\"0 0 1 0\"\r\n\"1 c #F0C060\"\r\n[end]\r\n");
        dir.write("prog/res/pgons.pol", "Type=0x3c\r\nXpm=\"0 0 1 0\"\r\n\"1 c #8CC4F0\"\r\n[end]\r\n");
        if (started) start();
    }
    MainWindow& start() {
        window = std::make_unique<MainWindow>(AppFolders{dir / "prog", dir / "prog/res"}, shell, desktop);
        return *window;
    }
    void program(const std::string& name) {
        fs::permissions(dir.write("prog/" + name, "#!/bin/sh\n"), fs::perms::owner_exec, fs::perm_options::add);
    }
    template <typename W> W* find(const char* name) { return window->findChild<W*>(name); }
    std::string path_box() { return from_qt(find<QLineEdit>("Text1")->text()); }
    void set_path_box(const std::string& p) { find<QLineEdit>("Text1")->setText(to_qt(p)); }
    Messages create() {
        shell.messages.clear();
        find<QPushButton>("Command2")->click();
        return shell.messages;
    }
    // Writes the style "s", chooses it and writes to out.txt.
    void use_style(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [name, rules] : files) dir.write("s/" + name, rules);
        window->choose_folder(dir / "s");
        set_path_box(dir / "out.txt");
    }
    std::string out() { return test::read_bytes(dir / "out.txt"); }
};

TEST(MainWindowStart, makes_bin_and_typ_shows_the_defaults_and_finds_the_first_pct_program_over_a_saved_editor) {
    Window w;
    EXPECT_TRUE(fs::is_directory(w.dir / "prog/bin") && fs::is_directory(w.dir / "prog/typ"));
    EXPECT_EQ(from_qt(w.find<QLabel>("Label3")->text()), "not found");
    EXPECT_EQ(w.path_box(), join_path(w.dir / "prog/bin", "temp.txt"));
    EXPECT_EQ(w.window->windowTitle(), "tessaro 2.10707 style :  ");
    EXPECT_FALSE(w.find<QPushButton>("Command3")->isEnabled());
    EXPECT_TRUE(w.shell.messages.empty());

    Window pct(false);
    for (const char* program : {"zpct", "PCT5"}) pct.program(program);
    pct.dir.write("prog/pctnotes.txt", "#!/bin/sh\n");
    pct.dir.write("prog/tessaro.dat", " 0 \r\n\r\n/opt/pct9\r\n\r\n\r\n \r\n \r\n 0 \r\n \r\n \r\n \r\n \r\n 0 \r\n");
    EXPECT_EQ(pct.start().state().editor_program, "PCT5");
}

TEST(CreateTyp, stops_with_a_message_when_nothing_can_be_converted) {
    Window w;
    const auto sections = [&](bool on) {
        for (const char* box : {"Check2_0", "Check2_1", "Check2_2"}) w.find<QCheckBox>(box)->setChecked(on);
    };
    sections(false);
    EXPECT_EQ(w.create(), (Messages{"Please select Points/Lines/Polygons"}));
    EXPECT_FALSE(w.find<QPushButton>("Command3")->isEnabled());
    sections(true);

    fs::create_directories(w.dir / "empty");
    w.window->choose_folder(w.dir / "empty");
    EXPECT_EQ(w.create(), (Messages{"Folder does not contain key style files (points,polygons,lines)"}));

    const std::string old = w.dir.write("old.txt", "old");
    w.set_path_box(old);
    w.dir.write("norules/info", "x");
    w.window->choose_folder(w.dir / "norules");
    EXPECT_EQ(w.create(),
              (Messages{"Cannot find lines,points or polygons.\r\n\r\nDouble Click on Folder containing these files."}));
    EXPECT_EQ(test::read_bytes(old), "old");  // a run that stops before writing keeps the old TYP text
}

TEST(CreateTyp, converts_a_polygons_only_style_and_launches) {
    Window w(false);
    w.program("pct5");
    w.start();
    w.use_style({{"polygons", WATER}});
    const std::string out = w.dir / "out with blanks.txt";
    w.set_path_box(out);
    EXPECT_EQ(w.create(), (Messages{"missing lines", "missing points", "TYP file created"}));
    const std::string text = test::read_bytes(out);
    EXPECT_TRUE(text.find("[_drawOrder]\r\nType=0X3c,1") != std::string::npos && text.find("[_line]") == std::string::npos);
    EXPECT_TRUE(w.find<QPushButton>("Command3")->isEnabled());
    EXPECT_EQ(w.desktop.started, (Messages{join_path(w.dir / "prog", "pct5") + "|" + out + "|" + (w.dir / "prog")}));
    EXPECT_FALSE(w.shell.busy);
}

TEST(CreateTyp, lists_include_files_first_then_converts_on_the_next_press) {
    Window w;
    w.dir.write("s/inc/roads", "highway=trunk [0x02 resolution 20]\n");
    w.use_style({{"points", BAR}, {"lines", ROAD}, {"polygons", WATER}});
    EXPECT_EQ(w.create(), (Messages{"Please sort 'Inc' files into points ,lines or polygons.\r\n\r\n"
                                    "Select file(s) and click appropriate 'Add' button"}));
    EXPECT_FALSE(fs::exists(w.dir / "out.txt"));
    w.shell.messages.clear();
    w.window->Command3_Click();
    EXPECT_EQ(w.shell.messages, (Messages{"Please Click Create TYP"}));

    EXPECT_EQ(w.create(), (Messages{"inc files not added \r\n\r\nto points, lines or polygons list boxes.",
                                    "TYP file created", "Please place tessaro in same directory as pictor."}));
    EXPECT_FALSE(w.window->state().create_needed);

    // Sorted, the include file's entries follow the main ones.
    w.find<QListWidget>("List2")->item(0)->setSelected(true);
    w.find<QPushButton>("Command5_1")->click();
    EXPECT_TRUE(w.window->state().create_needed);
    w.create();
    EXPECT_NE(w.out().find("[_line]", w.out().find("[_point]")), std::string::npos);
}

// Rules taken from other styles: named after a run that did not follow them,
// followed once "Sort by includes" was pressed, also before the first run.
TEST(CreateTyp, names_statements_of_other_styles_until_sort_by_includes_follows_them) {
    Window w;
    w.dir.write("base/points", BAR);
    w.use_style({{"points", "include points from base;\n"}, {"lines", "include lines from gone\n"}, {"polygons", WATER}});
    EXPECT_EQ(w.create(), (Messages{"Rules from other styles not added:\r\n\r\n" + (w.dir / "s/points") +
                                        " line 1: include points from base;\r\n" + (w.dir / "s/lines") +
                                        " line 1: include lines from gone\r\n\r\nClick 'Sort by includes' to add them.",
                                    "TYP file created", "Please place tessaro in same directory as pictor."}));
    EXPECT_EQ(w.out().find("[_point]"), std::string::npos);

    w.find<QPushButton>("CommandSort")->click();
    EXPECT_EQ(w.create(), (Messages{"Cannot find style gone\r\n\r\n" + (w.dir / "gone"), "TYP file created",
                                    "Please place tessaro in same directory as pictor."}));
    EXPECT_NE(w.out().find("Type=0x02d02"), std::string::npos);
}

TEST(CreateTyp, says_when_labels_could_not_be_added_and_never_says_created_for_a_file_not_written) {
    Window w(false);
    w.dir.write("prog/res/points", "Type=0x02d02\r\nString1=0x04,Bar\r\nXpm=\"x\"\r\n[end]\r\n");
    w.start();
    w.find<QCheckBox>("Check1")->setChecked(true);
    w.use_style({{"points", BAR}, {"lines", ""}, {"polygons", ""}});
    EXPECT_EQ(w.create().at(0), "Some mkgmap strings could not be added.\r\n\r\nTYP file created");

    const std::string lost = join_path(w.dir / "no-such-folder", "out.txt");
    w.set_path_box(lost);
    const Messages m = w.create();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_NE(m[0].find("The TYP text could not be written: " + lost), std::string::npos);
    EXPECT_EQ(m[0].find("created"), std::string::npos);
    w.set_path_box("");
    EXPECT_EQ(w.create(), (Messages{"The TYP text could not be written: the TYP text path is empty"}));
    // The style's own rule file, or a library file, is never taken for the TYP text.
    for (const std::string& input : {w.dir / "s/points", w.dir / "prog/res/pgons.pol"}) {
        const std::string before = test::read_bytes(input);
        w.set_path_box(input);
        const Messages refused = w.create();
        ASSERT_EQ(refused.size(), 1u);
        EXPECT_NE(refused[0].find(input + " is the same file as " + input), std::string::npos) << refused[0];
        EXPECT_EQ(test::read_bytes(input), before);
    }
    EXPECT_TRUE(w.desktop.started.empty());
}

TEST(CreateTyp, ignores_a_second_press_and_a_close_while_converting) {
    Window w;
    w.use_style({{"points", BAR}, {"lines", ROAD}, {"polygons", WATER}});
    int presses = 0;
    w.shell.on_yield = [&] {
        if (!w.window->converting() || presses++ > 0) return;
        EXPECT_FALSE(w.find<QPushButton>("Command2")->isEnabled());
        EXPECT_FALSE(w.window->close());  // closing would cut the TYP text short
        w.window->Command2_Click();
        w.window->choose_folder(w.dir / "elsewhere");
    };
    const Messages m = w.create();
    EXPECT_GT(presses, 0);
    EXPECT_EQ(std::count(m.begin(), m.end(), "TYP file created"), 1);
    EXPECT_EQ(w.window->state().style_folder, w.dir / "s");
    EXPECT_EQ(w.out().find("[_id]", 1), std::string::npos);
}

TEST(MainWindowFiles, open_drop_and_settings_round_trip) {
    Window w;
    w.window->open_typ_text();
    w.window->loadole(w.dir.write("MAP.IMG", "data"));
    w.window->loadole(w.dir / "map.img.txt");
    EXPECT_EQ(w.shell.messages, (Messages{"Cannot find typ txt", "Not an img file."}));

    w.use_style({{"points", ""}});
    w.find<QCheckBox>("Check1")->setChecked(true);
    w.set_path_box(w.dir / "mine.txt");
    w.window->close();

    Window again(false);
    fs::copy(w.dir / "prog/tessaro.dat", again.dir / "prog/tessaro.dat");
    again.start();
    EXPECT_EQ(again.window->state().style_folder, w.dir / "s");
    EXPECT_TRUE(again.find<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(again.path_box(), w.dir / "mine.txt");
}

TEST(MainWindowFiles, settings_reload_a_changed_polygon_library_for_the_next_conversion) {
    Window w;
    const std::string other = w.dir.write("other.pol", "Type=0x3c\r\nXpm=\"0 0 1 0\"\r\n\"1 c #123456\"\r\n[end]\r\n");
    w.desktop.answers = {other};
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton*>("Command2_0")->click();
        dialog->findChild<QPushButton*>("Command3")->click();
    });
    w.window->show_settings();
    EXPECT_EQ(w.window->state().polygon_library_path, other);
    w.use_style({{"polygons", WATER}});
    w.create();
    EXPECT_NE(w.out().find("#123456"), std::string::npos);
    EXPECT_TRUE(fs::exists(w.dir / "prog/tessaro.dat"));
}

TEST(Preview, opens_after_a_create_with_one_row_per_entry) {
    Window w;
    w.window->show_preview();
    EXPECT_EQ(w.shell.messages, (Messages{"Cannot find typ txt"}));
    w.use_style({{"points", BAR + "shop=x [0x2e02]\n"},
                 {"lines", ROAD + "highway=track [0x0a]\nhighway=x [0x11]\n"},
                 {"polygons", WATER + "landuse=forest [0x50]\n"}});
    w.create();
    PreviewWindow* preview = w.window->preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    auto* rows = preview->findChild<QTableWidget*>("previewEntries");
    EXPECT_EQ(rows->rowCount(), 6);  // the point without a library look is not written
    EXPECT_TRUE(preview->document().problems.empty());

    preview->findChild<QComboBox*>("previewFilter")->setCurrentText("Lines");
    ASSERT_EQ(rows->rowCount(), 3);
    EXPECT_EQ(rows->item(1, 2)->text(), "0x0a");
    rows->setCurrentCell(1, 2);
    EXPECT_TRUE(preview->findChild<QPlainTextEdit*>("previewText")->toPlainText().contains("Xpm=\"32 2 2 1\""));
}

}  // namespace
}  // namespace tessaro
