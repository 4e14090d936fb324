#include <filesystem>
#include "support/cli_capture.h"
#include "support/mkgmap.h"

namespace tessaro {
namespace {
const std::string SOURCE = TESSARO_SOURCE_DIR;

TEST(OwnOutput, passes_a_strict_check_for_every_style_with_and_without_auto_inc_and_classic_looks) {
    const test::TempDir tmp;
    // Styles among their siblings in a case's styles folder too.
    const std::vector<std::string> styles = test::every_style_folder(tmp, true);
    ASSERT_GE(styles.size(), 20u);
    std::size_t runs = 0;
    for (const std::string& style : styles)
        for (const bool classic : {false, true})
            for (const bool auto_inc : {false, true}) {
                const std::string out = tmp / ("out" + std::to_string(runs++) + ".txt");
                std::vector<std::string> args{"-q", "--seed", "1", "--res", SOURCE + "/res", "-o", out};
                if (classic) args.push_back("--classic-looks");
                if (auto_inc) args.push_back("--auto-inc");
                args.push_back(style);
                const test::CliOutput run = test::cli(args);
                const std::string what = ::testing::PrintToString(args) + "\n" + run.err;
                // A style with a file that is no text is read as far as it goes: the text written stands.
                ASSERT_TRUE(run.exit_code == EXIT_DONE || (run.exit_code == EXIT_FAILED && std::filesystem::exists(out))) << what;
                // Classic looks give a point without a library look no entry: the style is not held against the text.
                std::vector<std::string> check{"--strict", "--check", out};
                if (!classic && run.exit_code == EXIT_DONE) check.insert(check.end(), {"--style", style});
                if (!classic && auto_inc) check.push_back("--auto-inc");
                const test::CliOutput r = test::cli(check);
                EXPECT_EQ(r.exit_code, EXIT_DONE) << what << "\n" << r.err;
            }
}
}  // namespace
}  // namespace tessaro
