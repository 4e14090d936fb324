#include "settings_file.h"

#include <filesystem>
#include "file_io.h"
#include "startup.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {
struct SettingsFileTest : ::testing::Test {
    test::TempDir dir;
    test::RecordingShell shell;
    AppState state;
    SettingsFileTest() {
        state.app_folder = dir.path();
        state.res_folder = dir / "res";
        state.bin_folder = dir / "bin";
    }
    void write_settings(const std::string& bytes) { dir.write("tessaro.dat", bytes); }
    AppState loaded() {
        AppState st;
        st.app_folder = state.app_folder;
        st.bin_folder = state.bin_folder;
        load_settings_file(st, shell);
        return st;
    }
};

TEST_F(SettingsFileTest, writes_seventeen_crlf_lines_whose_values_come_back_whole_commas_included_and_more_ignored) {
    state.style_folder = dir / "styles,old";
    state.editor_program = dir / "pct5, copy";
    state.typ_path = dir.write("typ/a,b.txt", "x");
    state.polygon_library_path = dir.write("my,lib.pol", "");
    state.include_tag_text = state.classic_looks = state.keep_edited_looks = true;
    state.random_seed = 18446744073709551615u;
    state.window_width = 1200;
    state.window_height = 700;
    EXPECT_EQ(save_settings_file(state), std::nullopt);
    EXPECT_EQ(test::read_bytes(settings_path(state)), " 0 \r\n" + state.style_folder + "\r\n" + state.editor_program +
                                                          "\r\n" + state.typ_path + "\r\n" + state.polygon_library_path +
                                                          "\r\n \r\n \r\n 1 \r\n \r\n \r\n \r\n \r\n 1 \r\n 1 \r\n"
                                                          " 18446744073709551615 \r\n 1200 700 \r\n 1 \r\n");
    write_settings(test::read_bytes(settings_path(state)) + "extra\r\nlines\r\n");  // only the first 17 count
    AppState back = loaded();
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(std::tie(back.style_folder, back.editor_program, back.typ_path, back.polygon_library_path, back.include_tag_text,
                       back.classic_looks, back.random_seed, back.window_width, back.window_height, back.keep_edited_looks),
              std::tie(state.style_folder, state.editor_program, state.typ_path, state.polygon_library_path, state.include_tag_text,
                       state.classic_looks, state.random_seed, state.window_width, state.window_height, state.keep_edited_looks));
    state.random_seed.reset();
    state.window_width = state.window_height = 0;
    save_settings_file(state);
    EXPECT_TRUE(test::read_bytes(settings_path(state)).ends_with(" 1 \r\n \r\n \r\n 1 \r\n"));
    back = loaded();
    EXPECT_EQ(std::tie(back.random_seed, back.window_width), std::tie(state.random_seed, state.window_width));
    const std::string before = test::read_bytes(settings_path(state));
    state.app_folder = dir / "tessaro.dat";  // the settings file's folder is a file
    EXPECT_NE(save_settings_file(state), std::nullopt);
    EXPECT_EQ(test::read_bytes(dir / "tessaro.dat"), before);
}

TEST_F(SettingsFileTest, unusable_paths_fall_back_files_of_earlier_versions_have_classic_looks_off_and_a_fault_is_told_once) {
    for (const std::string library : {"", " ", "missing.pol"}) {
        write_settings("0\n \nE\n" + (dir / "gone/out.txt") + "\n" + library + "\n \n \n0\n\n\n\n\n0\n");
        load_settings_file(state, shell);
        EXPECT_EQ(std::tie(state.style_folder, state.typ_path, state.polygon_library_path),
                  std::make_tuple(std::string(), join_path(state.bin_folder, "temp.txt"), default_polygon_library(state))) << library;
    }
    using namespace std::string_literals;
    const std::string typ = dir.write("out.txt", "x");
    const std::string library = dir.write("lib.pol", "");
    const std::string five = " 0 \r\nS\r\nE\r\n" + typ + "\r\n" + library + "\r\n";
    const std::string thirteen = five + " \r\n \r\n 1 \r\n \r\n \r\n \r\n \r\n 1 \r\n";  // as earlier versions wrote
    // The bytes, what the one message says (no message when empty), and whether the thirteen lines were read.
    const std::tuple<std::string, std::string, bool> files[] = {
        {thirteen, "", true}, {thirteen + " \r\n", "", true}, {thirteen + "\n", "", true}, {thirteen + " 0 \n 1 \n", "", true},
        {thirteen + " 2 \r\n", "line 14 is not 0 or 1", true}, {thirteen + "yes\r\n", "line 14 is not a number", true},
        {five, settings_path(state) + ": line 6", false},
        {five + " \r\n \r\n" + std::string(1u << 20, 'x') + "\r\n", "line 8", false},
        {"\0\x01\xff\r\n\0"s, "line 1", false},
        {"", settings_path(state), false}};
    for (const auto& [bytes, said, whole] : files) {
        if (bytes.empty()) std::filesystem::remove(settings_path(state));
        else write_settings(bytes);
        shell.messages.clear();
        state.include_tag_text = false;
        state.classic_looks = true;
        load_settings_file(state, shell);
        ASSERT_EQ(shell.messages.size(), said.empty() ? 0u : 1u) << said;
        for (const std::string& m : shell.messages) EXPECT_TRUE(test::has(m, said) && m.size() < 400) << m;
        EXPECT_EQ(std::tie(state.style_folder, state.editor_program, state.typ_path, state.polygon_library_path),
                  std::tie("S", "E", typ, library));
        EXPECT_TRUE(state.include_tag_text == whole && state.classic_looks == !whole) << said;
    }
}

TEST_F(SettingsFileTest, the_output_path_probe_touches_nothing_but_the_file_it_names) {
    namespace fs = std::filesystem;
    state.typ_path = dir / "new.txt";
    ensure_typ_path_writable(state, shell);
    EXPECT_TRUE(state.typ_path == dir / "new.txt" && !fs::exists(dir / "new.txt"));
    EXPECT_TRUE(shell.messages.empty() && shell.questions.empty());
    state.typ_path = join_path(dir / "missing", "x.txt");
    ensure_typ_path_writable(state, shell);
    EXPECT_EQ(state.typ_path, join_path(state.bin_folder, "temp.txt"));
    EXPECT_TRUE(shell.messages.size() == 1u && test::has(shell.messages[0], "missing"));
#ifndef _WIN32
    fs::create_directory(dir / "elsewhere");
    fs::create_symlink(dir / "elsewhere/typ.txt", dir / "link.txt");
    state.typ_path = dir / "link.txt";
    ensure_typ_path_writable(state, shell);
    EXPECT_TRUE(state.typ_path == dir / "link.txt" && fs::is_symlink(fs::symlink_status(dir / "link.txt")));
    EXPECT_FALSE(fs::exists(dir / "elsewhere/typ.txt"));
#endif
}
}  // namespace
}  // namespace tessaro
