#include "settings_dialog.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QPushButton>
#include <filesystem>
#include "support/qt_support.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {
TEST(SettingsDialog, takes_only_existing_pol_files_as_polygon_library_and_only_programs_as_editor) {
    test::TempDir dir;
    AppState state;
    state.polygon_library_path = "old.pol";
    state.editor_program = "not found";
    state.res_folder = dir / "res";
    state.program_folder = dir / "prog";
    test::FakeDesktop desktop;
    SettingsDialog dialog(state, desktop);
    int editor_signals = 0;
    QObject::connect(&dialog, &SettingsDialog::editor_program_changed, [&] { ++editor_signals; });
    dialog.show();
    const auto choose = [&](const char* button, const std::string& answer) {
        desktop.answers.push_back(answer);
        dialog.findChild<QPushButton*>(button)->click();
    };
    for (const std::string& bad : {dir.write("lib.txt", ""), dir / "missing.pol", std::string()}) {
        choose("Command2_0", bad);
        EXPECT_EQ(state.polygon_library_path, "old.pol") << bad;
    }
    const std::string library = dir.write("Lib.POL", "");
    choose("Command2_0", library);
    EXPECT_EQ(state.polygon_library_path, library);
    // A value that names no file is no place to open a dialog at ("not found", a gone file).
    EXPECT_EQ(desktop.asked.front(), "Open File|Polygon File(*.pol)|" + (dir / "res"));
    choose("Command2_3", dir.write("notes.txt", ""));
    choose("Command2_3", "");
    EXPECT_EQ(state.editor_program, "not found");
    EXPECT_EQ(editor_signals, 0);
    EXPECT_TRUE(desktop.asked.back().ends_with("|" + (dir / "prog"))) << desktop.asked.back();
    const std::string program = dir.write("pct5.exe", "");
    std::filesystem::permissions(program, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
    choose("Command2_3", program);
    EXPECT_EQ(state.editor_program, program);
    EXPECT_EQ(editor_signals, 1);
    dialog.findChild<QPushButton*>("CommandCancel")->click();
    EXPECT_EQ(std::tie(state.polygon_library_path, state.editor_program), std::tie("old.pol", "not found"));
    EXPECT_EQ(editor_signals, 2);
    SettingsDialog again(state, desktop);
    again.findChild<QCheckBox*>("RepeatableColours")->setChecked(true);
    again.findChild<QSpinBox*>("Seed")->setValue(42);
    again.findChild<QPushButton*>("Command3")->click();
    EXPECT_EQ(state.random_seed, std::optional<std::uint64_t>(42));
}
}  // namespace
}  // namespace tessaro
