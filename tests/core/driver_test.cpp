#include "driver.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

#include "file_io.h"
#include "style_folder.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tessaro {
namespace {

struct StyleRun {
    test::TempDir dir;
    test::RecordingShell shell;
    AppState state;
    MtRandom random{7};
    std::string style;

    StyleRun() {
        style = join_path(dir.path(), "mystyle");
        state.point_library.assign("Type=0x02d02\r\nXpm=\"bar\"\r\n[end]\r\n");
        state.typ_path = dir / "out.txt";
    }
    std::string run(const std::string& kinds) {
        Conversion cv(state, shell, random);
        EXPECT_TRUE(get_types(cv, kinds, style));
        return test::read_bytes(state.typ_path);
    }
};

TEST(GetTypes, reads_rule_files_under_their_names_in_the_folder_in_a_fixed_section_order) {
    StyleRun r;
    r.dir.write("mystyle/Points", "amenity=bar [0x2d02]\n");
    r.dir.write("mystyle/LINES", "highway=x [0x02]\n");
    EXPECT_EQ(list_style(r.style).kinds, "lp");
    const std::string text = r.run("pl");
    EXPECT_EQ(r.run("lp"), text);
    EXPECT_NE(text.find("[_point]\r\nType=0x02d02\r\nXpm=\"bar\"\r\n\r\n[end]\r\n"), std::string::npos);
    EXPECT_LT(text.find("[_line]"), text.find("[_point]"));
    EXPECT_TRUE(r.shell.messages.empty());
}

TEST(GetTypes, reports_a_missing_rule_file_once_and_writes_an_empty_section) {
    StyleRun r;
    std::filesystem::create_directories(r.style);
    const std::string text = r.run("p");
    EXPECT_EQ(text.rfind("[_id]\r\n", 0), 0u);
    EXPECT_EQ(text.find("[_point]"), std::string::npos);
    EXPECT_EQ(r.shell.messages.size(), 1u);
}

TEST(ListStyle, counts_files_and_names_rule_files_without_regard_to_case) {
    test::TempDir dir;
    dir.write("s/LINES", "");
    dir.write("s/points.txt", "");
    dir.write("s/polygons", "");
    dir.write("s/inc/x", "");
    const StyleListing l = list_style(dir / "s");
    EXPECT_EQ(l.files, 3u);
    EXPECT_EQ(l.kinds, "lg");
    EXPECT_EQ(list_style(dir / "none").files, 0u);
}

#ifdef _WIN32
TEST(ListStyleOnWindows, spells_file_names_in_the_code_page_and_finds_rule_files_in_such_a_folder) {
    const std::string folder_name = test::in_code_page(L"Stra\u00DFe mit Leerzeichen \u20AC");
    const std::string file_name = test::in_code_page(L"Gew\u00E4sser \u20AC");
    if (folder_name.empty() || file_name.empty()) GTEST_SKIP() << "the code page lacks the letters";
    test::TempDir dir;
    const std::string folder = join_path(dir.path(), folder_name);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    for (const std::string& name : {std::string("Points"), file_name}) {
        std::FILE* f = std::fopen(join_path(folder, name).c_str(), "wb");
        ASSERT_NE(f, nullptr) << name;
        std::fclose(f);
    }
    EXPECT_EQ(list_files(folder), (std::vector<std::string>{file_name, "Points"}));
    EXPECT_EQ(list_style(folder).kinds, "p");
    EXPECT_TRUE(is_regular_file(rule_file_path(folder, "points")));
    EXPECT_TRUE(is_regular_file(join_path(folder, file_name)));
}
#endif

TEST(MissingLibraries, are_named_in_the_create_order) {
    AppState st;
    st.line_library.assign("x");
    EXPECT_EQ(missing_library_messages(st),
              (std::vector<std::string>{"Cannot find file to parse points",
                                        "Cannot find file to parse polygons - see Preferences,Settings"}));
}

}  // namespace
}  // namespace tessaro
