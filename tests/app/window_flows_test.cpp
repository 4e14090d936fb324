#include <QCheckBox>
#include <QLabel>
#include "file_io.h"
#include "text_util.h"
#include "window_fixture.h"

namespace tessaro {
namespace {
// An old settings file stored "not found" for no editor: it is not saved as a path.
TEST(TypEditor, without_one_the_window_keeps_launch_grey_says_nothing_after_create_and_saves_no_path) {
    Window w(false);
    w.start_with("", "not found");
    EXPECT_FALSE(has(from_qt(w.find<QLabel>("Label3")->text()), "not found"));
    w.use_style();
    EXPECT_EQ(w.create(), (Messages{w.created()}));
    EXPECT_FALSE(w.find<QPushButton>("Command3")->isEnabled());
    w.window->launch_editor();
    EXPECT_EQ(w.shell.messages.size(), 2u);
    EXPECT_TRUE(w.desktop.started.empty());
    w.in_dialog([](QWidget* dialog) { dialog->findChild<QPushButton*>("Command3")->click(); });
    w.window->show_settings();
    const std::string saved = test::read_bytes(w.dir / "prog/tessaro.dat");
    EXPECT_TRUE(has(saved, "\r\n" + (w.dir / "s") + "\r\n\r\n"));  // the style, then no editor
    w.desktop.open_ok = false;
    const std::size_t said = w.shell.messages.size();
    w.window->open_typ_text();
    EXPECT_EQ(w.desktop.opened, (Messages{w.dir / "out.txt"}));
    EXPECT_EQ(w.shell.messages.size(), said + 1);
    const std::string pct5 = w.executable("prog/pct5");
    w.start().choose_folder(w.dir / "s");
    w.set_path_box(w.dir / "out.txt");
    w.window->open_typ_text();
    EXPECT_EQ(w.desktop.started, (Messages{pct5 + "|" + (w.dir / "out.txt") + "|" + (w.dir / "prog")}));
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
    EXPECT_TRUE(has(from_qt(report->text()), "1 into INC Points, 0 into INC Lines, 0 into INC Polygons"));
    EXPECT_TRUE(from_qt(report->text()).ends_with(": orphan"));
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
    ASSERT_EQ(w.shell.questions.size(), 1u);
    EXPECT_TRUE(has(w.shell.questions[0], a_text + " was made for the style a, not for b."));
    EXPECT_EQ(test::read_bytes(a_text), made);
}
}  // namespace
}  // namespace tessaro
