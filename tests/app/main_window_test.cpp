#include "main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QTableView>
#include <algorithm>
#include <future>
#include "about_dialog.h"
#include "file_io.h"
#include "preview_model.h"
#include "preview_window.h"
#include "text_util.h"
#include "window_fixture.h"

namespace tessaro {
namespace {
// Every stop comes before anything is written: the old TYP text stays.
TEST(CreateTyp, stops_with_a_message_when_nothing_can_be_converted_and_keeps_the_old_text) {
    Window w(false);
    fs::remove(w.dir / "prog/res/points");
    w.start();
    const std::string old = w.dir.write("out.txt", "old");
    fs::create_directories(w.dir / "empty");
    w.dir.write("norules/info", "x");
    w.use_style();
    // The style folder, the boxes Check2_0..2 as ticked (Points is the last), and a piece of the stop's message.
    const std::tuple<const char*, const char*, const char*> stops[] = {
        {"s", "000", "Points/Lines/Polygons"}, {"empty", "110", "does not contain key style files"},
        {"norules", "110", "Cannot find lines, points or polygons"}, {"s", "111", "Cannot find file to parse points"}};
    for (const auto& [folder, ticks, said] : stops) {
        for (int i = 0; i < 3; ++i) w.find<QCheckBox>(("Check2_" + std::to_string(i)).c_str())->setChecked(ticks[i] == '1');
        w.window->choose_folder(w.dir / folder);
        EXPECT_TRUE(has(only(w.create()), said)) << folder;
    }
    EXPECT_EQ(test::read_bytes(old), "old");
    w.find<QCheckBox>("Check2_2")->setChecked(false);
    EXPECT_EQ(w.create(), (Messages{w.created()}));  // no editor ever found: the preview shows the text
    const std::string text = w.out();
    EXPECT_TRUE(has(text, "[_line]"));
    for (const char* library : {"lines", "pgons.pol"}) fs::remove(w.dir / ("prog/res/" + std::string(library)));
    w.start();  // the libraries are read at the start
    w.use_style();
    EXPECT_TRUE(has(only(w.create()), "Cannot find the library files"));
    EXPECT_EQ(w.out(), text);
}

// A library entry's own label keeps the rule's out; a broken one (no [end]) gives no look.
TEST(CreateTyp, names_broken_library_entries_and_labels_not_added_or_short_of_characters_and_never_says_created_for_a_file_not_written) {
    Window w(false);
    const std::string look = "Xpm=\"1 1 1 1\"\r\n\"a c #000004\"\r\n\"a\"\r\n";
    const std::string points = w.dir.write("prog/res/points", "Type=0x02d02\r\nString1=0x04,Bar\r\n" + look + "[end]\r\n"
                                                              "Type=0x02d03\r\n" + look + "[end]\r\nType=0x02d05\r\n" + look);
    w.start();
    w.find<QCheckBox>("Check1")->setChecked(true);
    w.use_style({{"points", BAR + "name=caf\xC3\xA9 [0x2d03]\nname=\xD0\x9C\xD0\xB8\xD1\x80 [0x2d05]\nname=\xCE\xB1 [0x2d04]\n"},
                 {"lines", ""}, {"polygons", ""}});
    const std::string said = w.create().at(0);
    EXPECT_TRUE(has(said, points + ":12: library entry Type=0x02d05 not used"));
    EXPECT_TRUE(has(said, "2 labels have characters that code page 1252 lacks") && has(said, "(first: point 0x2d05)"));
    EXPECT_TRUE(said.ends_with(w.created()));
    for (const std::string& lost : {join_path(w.dir / "no-such-folder", "out.txt"), std::string()}) {
        w.set_path_box(lost);
        const std::string m = only(w.create());
        EXPECT_TRUE(has(m, "The TYP text could not be written: " + (lost.empty() ? "the TYP text path is empty" : lost)) &&
                    !has(m, "created"));
    }
    for (const std::string& input : {w.dir / "s/points", w.dir / "prog/res/pgons.pol"}) {
        const std::string before = test::read_bytes(input);
        w.set_path_box(input);
        EXPECT_TRUE(has(only(w.create()), input + " is the same file as " + input));
        EXPECT_EQ(test::read_bytes(input), before);
    }
}

// Among the system's programs a name like pct's is no TYP editor's, not even a stored one.
TEST(MainWindowStart, starts_no_program_by_its_name_in_an_installed_copy_and_starts_a_chosen_editor) {
    Window installed(false);
    installed.folders = {installed.dir / "data", installed.dir / "share/tessaro/res", installed.dir / "bin", {}};
    fs::create_directories(installed.dir / "share/tessaro");
    fs::rename(installed.dir / "prog/res", installed.dir / "share/tessaro/res");
    for (const char* name : {"bin/gdalattachpct.py", "bin/pct5"}) installed.executable(name);
    installed.start_with("", "gdalattachpct.py", "data");
    installed.use_style();
    EXPECT_EQ(installed.create().back(), installed.created());
    EXPECT_TRUE(installed.desktop.started.empty());
    installed.window->close();
    EXPECT_FALSE(has(test::read_bytes(installed.dir / "data/tessaro.dat"), "pct"));
    Window own;
    own.executable("prog/gdalattachpct.py");
    own.start();
    own.use_style();
    own.create();
    EXPECT_TRUE(own.desktop.started.empty());
    Window chosen(false);
    const std::string editor = chosen.executable("tools/my-typ-editor");
    chosen.start_with("", editor);
    chosen.use_style();
    chosen.create();
    EXPECT_EQ(chosen.desktop.started, (Messages{editor + "|" + (chosen.dir / "out.txt") + "|" + (chosen.dir / "prog")}));
}

TEST(ChooseStyle, an_inc_folder_means_its_style_whose_included_files_and_other_styles_wait_for_sort_by_includes_and_are_named_when_gone) {
    Window w;
    w.dir.write_files({{"base/points", BAR}, {"s/inc/roads", "highway=trunk [0x03 resolution 20]\n"},
                       {"s/inc/shops", "shop=x [0x2e02 resolution 24]\n"},
                       {"s/sub/walks", "highway=footway [0x16 resolution 20]\n"}});
    w.use_style({{"points", "include points from base;\ninclude 'inc/shops';\n"},
                 {"lines", ROAD + "include 'inc/roads';\ninclude lines from gone\ninclude './sub//walks';\n"},
                 {"polygons", WATER}});
    w.window->choose_folder(w.dir / "s/inc");
    EXPECT_EQ(w.window->state().style_folder, w.dir / "s");
    EXPECT_EQ(w.items("List2"), (Messages{"roads", "shops", "sub/walks"}));
    EXPECT_TRUE(has(only(w.create()), "Please sort the include files"));
    EXPECT_FALSE(fs::exists(w.dir / "out.txt"));
    w.shell.messages.clear();
    w.window->launch_editor();
    EXPECT_EQ(w.shell.messages.size(), 1u);  // asks for a Create first: there is no text
    const Messages unsorted = w.create();
    ASSERT_EQ(unsorted.size(), 3u);
    EXPECT_TRUE(has(unsorted[0], "\r\n  roads\r\n  shops\r\n  sub/walks"));
    EXPECT_TRUE(has(unsorted[1], (w.dir / "s/points") + " line 1: include points from base;\r\n" + (w.dir / "s/lines") +
                                     " line 3: include lines from gone\r\n"));
    EXPECT_EQ(unsorted[2], w.created());
    EXPECT_FALSE(has(w.out(), "[_point]") || has(w.out(), "Type=0x03") || has(w.out(), "Type=0x16\r\n"));
    w.find<QListWidget>("List2")->item(0)->setSelected(true);
    w.find<QPushButton>("Command5_1")->click();
    EXPECT_TRUE(w.window->state().create_needed);
    EXPECT_EQ(w.items("List3_1"), (Messages{"roads"}));
    w.find<QPushButton>("CommandSort")->click();  // shops to the points, as its statement says
    EXPECT_EQ(w.items("List3_0"), (Messages{"shops"}));
    EXPECT_EQ(w.items("List3_1"), (Messages{"roads", "sub/walks"}));
    fs::remove(w.dir / "s/inc/shops");
    const Messages said = w.create();
    ASSERT_EQ(said.size(), 2u);
    EXPECT_TRUE(has(said[0], "Cannot find style gone") && has(said[0], w.dir / "gone"));
    EXPECT_TRUE(has(said[1], join_path(w.dir / "s/inc", "shops") + ": include file not found"));
    EXPECT_EQ(w.shell.icons.back(), MessageIcon::Warning);
    EXPECT_TRUE(has(w.out(), "Type=0x02d02") && has(w.out(), "Type=0x16\r\n"));
    EXPECT_NE(w.out().find("Type=0x03", w.out().find("[_point]")), std::string::npos);
}

TEST(CreateTyp, a_run_out_of_memory_is_told_and_the_window_stays) {
    Window w;
    w.use_style();
    const std::string old = w.dir.write("old.txt", "edited by hand");
    w.set_path_box(old);
    w.window->set_runner([](const CreateTypRequest&, const CreateTypCheck&) -> CreateTypReport { throw std::bad_alloc(); });
    const Messages said = w.create();
    ASSERT_FALSE(said.empty());
    EXPECT_TRUE(has(said.back(), "Out of memory while converting " + w.window->state().style_folder));
    EXPECT_EQ(test::read_bytes(old), "edited by hand");
    w.window->set_runner([](const CreateTypRequest& r, const CreateTypCheck& c) { return run_create_typ(r, c); });
    EXPECT_EQ(w.create().back(), w.created(old));
}

// The settings live elsewhere here, as when the program's folder cannot be written.
TEST(MainWindowStart, makes_bin_and_typ_and_hands_the_text_of_a_whole_run_to_the_first_pct_program_and_tells_a_failed_save) {
    Window w(false);
    w.folders.app = w.dir / "data";
    for (const char* program : {"prog/zpct", "prog/PCT5"}) w.executable(program);
    w.dir.write("prog/pctnotes.txt", "#!/bin/sh\n");
    w.start_with("", "/opt/pct9", "data");
    EXPECT_TRUE(fs::is_directory(w.dir / "data/bin") && fs::is_directory(w.dir / "data/typ") && w.shell.messages.empty());
    w.use_style({{"polygons", WATER}});
    const std::string out = w.dir / "out with blanks.txt";
    w.set_path_box(out);
#ifdef _WIN32
    const std::string command_path = "\"" + out + "\"";
#else
    const std::string command_path = "'" + out + "'";  // one word of the shell
#endif
    EXPECT_EQ(w.create().back(), w.created(command_path));
    EXPECT_TRUE(w.find<QPushButton>("Command3")->isEnabled() && !w.shell.busy);
    const std::string editor = join_path(w.dir / "prog", "PCT5");
    EXPECT_EQ(w.desktop.started, (Messages{editor + "|" + out + "|" + (w.dir / "prog")}));
#ifndef _WIN32
    const std::string lines = w.dir.write("s/lines", ROAD);
    if (const std::string why = test::make_unreadable(lines); !why.empty()) {
        const Messages said = w.create();
        EXPECT_TRUE(has(said.at(1), lines + ": " + why));
        EXPECT_TRUE(has(said.back(), "incomplete") && !has(said.back(), "created"));
        EXPECT_TRUE(w.desktop.started.size() == 1u && w.window->preview() && w.window->preview()->isVisible());
    }
    fs::remove(lines);
#endif
    w.desktop.start_ok = false;
    w.window->launch_editor();
    EXPECT_TRUE(has(w.shell.messages.back(), editor));
    EXPECT_EQ(w.shell.icons.back(), MessageIcon::Critical);
    fs::remove(out);
    w.window->launch_editor();
    EXPECT_TRUE(has(w.shell.messages.back(), out));
    fs::remove(editor);
    EXPECT_TRUE(has(w.create().back(), "The TYP editor " + editor + " is gone"));
    fs::remove(w.dir / "data/tessaro.dat");
    fs::create_directories(w.dir / "data/tessaro.dat");  // a folder where the file belongs
    w.window->close();
    EXPECT_TRUE(has(w.shell.messages.back(), "could not be saved: " + (w.dir / "data/tessaro.dat")));
    EXPECT_EQ(w.shell.icons.back(), MessageIcon::Critical);
}

struct HeldRunner {
    std::promise<void> go;
    std::shared_future<void> gate = go.get_future().share();
    std::atomic<int> runs{0};
    MainWindow::Runner runner() {
        return [this](const CreateTypRequest& request, const CreateTypCheck& check) {
            ++runs;
            gate.wait();
            return run_create_typ(request, check);
        };
    }
};

TEST(CreateTyp, tells_a_run_only_after_it_ends_starts_no_second_run_meanwhile_and_a_close_waits_for_its_text) {
    HeldRunner held, closed;
    Window w;
    w.use_style();
    w.window->set_runner(held.runner());
    w.shell.messages.clear();
    w.find<QPushButton>("Command2")->click();
    EXPECT_TRUE(w.window->converting() && w.shell.busy && !w.find<QPushButton>("Command2")->isEnabled() &&
                !w.find<QAction>("mcheckstyle")->isEnabled());
    w.window->create_typ();  // a press that reached the window all the same
    w.window->check_against_style();
    w.window->choose_folder(w.dir / "elsewhere");
    test::process_events_for(10);
    EXPECT_TRUE(w.shell.messages.empty());
    held.go.set_value();
    w.await_run();
    EXPECT_EQ(held.runs, 1);
    EXPECT_EQ(w.shell.messages, (Messages{w.created()}));
    EXPECT_EQ(w.window->state().style_folder, w.dir / "s");
    EXPECT_EQ(w.out().find("[_id]", 1), std::string::npos);
    EXPECT_TRUE(!w.shell.busy && w.find<QPushButton>("Command2")->isEnabled());
    for (const char* written : {"out.txt", "prog/tessaro.dat"}) fs::remove(w.dir / written);
    w.window->set_runner(closed.runner());
    w.find<QPushButton>("Command2")->click();
    EXPECT_TRUE(w.window->converting());
    closed.go.set_value();
    EXPECT_TRUE(w.window->close() && !w.window->converting());
    EXPECT_TRUE(has(w.out(), "[_polygon]") && fs::exists(w.dir / "prog/tessaro.dat"));
}

TEST(CreateTyp, keeps_edited_looks_in_the_code_page_of_the_old_text_when_asked_and_leaves_a_broken_text_alone) {
    Window w;
    w.use_style();
    w.create();
    const std::string edited = test::replaced(replace_all(w.out(), "CodePage=1252", "CodePage=1251"), "#8CC4F0", "#123456");
    w.dir.write_files({{"out.txt", edited}, {"s/lines", ROAD + "highway=track & name=\xD0\x9C\xD0\xB8\xD1\x80 [0x0a resolution 22]\n"
                                                                "highway=path & name=caf\xC3\xA9 [0x16 resolution 22]\n"}});
    for (const char* box : {"Check1", "KeepEditedLooks"}) w.find<QCheckBox>(box)->setChecked(true);
    const std::string said = only(w.create());
    EXPECT_TRUE(said.starts_with("1 label has characters that code page 1251 lacks")) << said;
    EXPECT_TRUE(has(said, "kept 3 entries as they were, added 2\r\n"));
    EXPECT_TRUE(said.ends_with("mkgmap --family-id=12345 --code-page=1251 " + (w.dir / "out.txt"))) << said;
    const std::string updated = w.out();
    EXPECT_TRUE(has(updated, "Type=0x0a") && has(updated, "name=\xCC\xE8\xF0"));
    EXPECT_TRUE(updated.starts_with(edited.substr(0, edited.find("[_line]"))));  // header, draw order, polygon as edited
    const std::string broken = "[_point]\r\nType=0x2d02\r\nXpm=\"2 1 1 1\"\r\n[end]\r\n";
    w.dir.write("out.txt", broken);
    EXPECT_TRUE(has(only(w.create()), "not updated"));
    EXPECT_EQ(w.out(), broken);
    EXPECT_EQ(w.shell.icons.back(), MessageIcon::Critical);
}

TEST(MainWindowFiles, opens_the_typ_text_names_a_drop_that_is_no_img_and_saves_settings_that_a_new_start_restores) {
    Window w;
    w.window->open_typ_text();  // no file at the typed path: the user is asked for one, and cancels
    ASSERT_EQ(w.desktop.asked.size(), 1u);
    EXPECT_TRUE(w.desktop.asked[0].ends_with("|" + (w.dir / "prog/bin"))) << w.desktop.asked[0];
    w.set_path_box(w.dir.write("typ.txt", "[_id]\r\n"));
    w.window->open_typ_text();
    EXPECT_EQ(w.desktop.opened, (Messages{w.dir / "typ.txt"}));
    w.window->read_dropped_file(w.dir / "map.img.txt");
    EXPECT_EQ(w.shell.messages.size(), 1u);
    const std::string other = w.dir.write("other.pol", "Type=0x3c\r\nXpm=\"0 0 1 0\"\r\n\"1 c #123456\"\r\n[end]\r\n");
    w.desktop.answers = {other};
    w.in_dialog([](QWidget* dialog) {
        dialog->findChild<QPushButton*>("Command2_0")->click();
        dialog->findChild<QPushButton*>("Command3")->click();
    });
    w.window->show_settings();
    EXPECT_TRUE(fs::exists(w.dir / "prog/tessaro.dat"));
    w.use_style({{"polygons", WATER}});
    w.create();
    EXPECT_TRUE(has(w.out(), "#123456"));
    for (const char* box : {"Check1", "ClassicLooks", "KeepEditedLooks"}) w.find<QCheckBox>(box)->setChecked(true);
    w.set_path_box(w.dir / "mine.txt");
    w.window->close();
    Window again(false);
    fs::copy(w.dir / "prog/tessaro.dat", again.dir / "prog/tessaro.dat");
    again.start().show();
    EXPECT_EQ(again.window->state().style_folder, w.dir / "s");
    EXPECT_EQ(again.window->state().polygon_library_path, other);
    for (const char* box : {"Check1", "ClassicLooks", "KeepEditedLooks"}) EXPECT_TRUE(again.find<QCheckBox>(box)->isChecked()) << box;
    EXPECT_EQ(from_qt(again.find<QLineEdit>("Text1")->text()), w.dir / "mine.txt");
    const std::size_t opened = w.desktop.opened.size();
    AboutDialog about(w.desktop, join_path(TESSARO_BUILD_DIR, "res"));
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(about.findChild<QWidget*>("Picture1"), &click);
    ASSERT_EQ(w.desktop.opened.size(), opened + 1);
    EXPECT_TRUE(has(test::read_bytes(w.desktop.opened.back()), "# tessaro"));
}

TEST(Preview, opens_after_a_create_with_the_run_s_look_sources_and_lists_what_the_style_check_finds) {
    Window w;
    auto* check = w.find<QAction>("mcheckstyle");
    ASSERT_NE(check, nullptr);
    w.use_style({{"points", BAR + "shop=x [0x2e02]\n"}, {"lines", ROAD + "highway=track [0x0a]\nhighway=x [0x11]\n"},
                 {"polygons", WATER + "landuse=forest [0x50]\n"}});
    check->trigger();  // nothing at the typed path and the chooser cancelled: nothing to show
    EXPECT_EQ(w.window->preview(), nullptr);
    EXPECT_TRUE(w.shell.messages.empty());
    w.create();
    PreviewWindow* preview = w.window->preview();
    ASSERT_TRUE(preview && preview->isVisible());
    auto* rows = preview->findChild<QTableView*>("previewEntries");
    EXPECT_EQ(rows->model()->rowCount(), 7);
    // The point without a library look has its category's marker, which classic looks leave out.
    const auto summary = [&] { return from_qt(preview->findChild<QLabel*>("previewSummary")->text()); };
    EXPECT_TRUE(summary().starts_with("7 types: ") && has(summary(), "1 marker")) << summary();
    check->trigger();
    w.window->wait_for_work();
    EXPECT_FALSE(rows->isColumnHidden(PreviewModel::SOURCE));
    EXPECT_EQ(w.items("previewProblems"), (Messages{"none"}));
    w.window->show_preview();  // File > Preview: the text may have changed since the run
    EXPECT_TRUE(rows->isColumnHidden(PreviewModel::SOURCE));
    EXPECT_FALSE(has(summary(), "7 types"));
    w.dir.write("s/lines", ROAD + "highway=x [0x11]\n");
    w.dir.write("s/points", BAR + "shop=x [0x2e02]\namenity=fuel [0x2f01]\n");
    check->trigger();
    w.window->wait_for_work();
    const std::string line = std::to_string(test::line_of(w.out(), "Type=0x0a\r\n") - 1);  // its [_line]
    const Messages problems = w.items("previewProblems");
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_TRUE(has(problems[0], "0x2f01 of " + join_path(w.dir / "s", "points") + ":3 "));
    EXPECT_TRUE(problems[1].starts_with("line " + line + ": line type 0x0a ")) << problems[1];
    w.find<QCheckBox>("ClassicLooks")->setChecked(true);
    w.create();
    EXPECT_TRUE(has(summary(), " types: ") && !has(summary(), "marker")) << summary();
}
}  // namespace
}  // namespace tessaro
