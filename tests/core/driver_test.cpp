#include "driver.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "file_io.h"
#include "style_folder.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"

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

TEST(GetTypes, lists_and_reads_rule_files_without_regard_to_case_in_a_fixed_order_and_names_missing_files) {
    StyleRun r;
    r.dir.write("mystyle/Points", "amenity=bar [0x2d02]\n");
    r.dir.write("mystyle/LINES", "highway=x [0x02]\n");
    r.dir.write("mystyle/polygons.txt", "");
    r.dir.write("mystyle/inc/polygons", "");
    const StyleListing listing = list_style(r.style);
    EXPECT_EQ(listing.files, 3u);
    EXPECT_EQ(listing.kinds, "lp");
    EXPECT_EQ(list_style(r.dir / "none").files, 0u);
    const std::string text = r.run("pl");
    EXPECT_EQ(r.run("lp"), text);
    EXPECT_NE(text.find("[_point]\r\nType=0x02d02\r\nXpm=\"bar\"\r\n\r\n[end]\r\n"), std::string::npos);
    EXPECT_LT(text.find("[_line]"), text.find("[_point]"));
    EXPECT_TRUE(r.shell.messages.empty());
    // A missing rule file is named once and leaves only the header.
    const std::string header_only = r.run("g");
    EXPECT_EQ(header_only.rfind("[_id]\r\n", 0), 0u);
    EXPECT_EQ(header_only.find("[_", 1), std::string::npos);
    EXPECT_EQ(r.shell.messages.size(), 1u);
    // Missing library files are named in the create order.
    r.state.point_library.assign("");
    r.state.line_library.assign("x");
    EXPECT_EQ(missing_library_messages(r.state),
              (std::vector<std::string>{"Cannot find file to parse points",
                                        "Cannot find file to parse polygons - see Preferences,Settings"}));
}

}  // namespace
}  // namespace tessaro
