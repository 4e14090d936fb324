// The style is the case's folder, or the one expect/style names (relative to tests/data).
// TESSARO_UPDATE_GOLDEN=1 rewrites the expected files from the actual output.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include "support/cli_capture.h"
#include "text_util.h"

namespace tessaro {
namespace {
namespace fs = std::filesystem;
using test::read_bytes;

std::vector<std::string> golden_cases() {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(TESSARO_TEST_DATA))
        if (fs::is_directory(e.path() / "expect")) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

fs::path expect_folder(const std::string& name) { return fs::path(TESSARO_TEST_DATA) / name / "expect"; }

std::vector<std::string> expect_lines(const std::string& name, const char* file) {
    std::vector<std::string> lines;
    std::ifstream in(expect_folder(name) / file);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(replace_all(line, "$LIBRARY", TESSARO_SOURCE_DIR "/tests/library"));
    return lines;
}

test::CliOutput run_program(const std::string& name, const test::TempDir& tmp, const std::vector<std::string>& extra) {
    using test::shell_quoted;
    const std::string out = tmp / "out.txt";
#ifdef _WIN32
    std::string cmd = "cd /d " + shell_quoted(TESSARO_TEST_DATA) + " && " + shell_quoted(TESSARO_CLI);
#else
    std::string cmd = "cd " + shell_quoted(TESSARO_TEST_DATA) + " && " + shell_quoted(TESSARO_CLI);
#endif
    // The options of expect/args, then the output and the style, named as a shell user in tests/data would.
    std::vector<std::string> args = extra;
    for (const std::string& arg : expect_lines(name, "args")) args.push_back(arg);
    const std::vector<std::string> style = expect_lines(name, "style");
    args.insert(args.end(), {"-o", out, style.empty() ? name : style[0]});
    for (const std::string& arg : args) cmd += " " + shell_quoted(arg);
    const int code = test::run_shell(cmd + " 2> " + shell_quoted(tmp / "stderr"));
#ifdef _WIN32
    // stderr is a text stream there: every line ends in CR LF. Paths are
    // written with a backslash, and the expected files name them with "/".
    const std::string err = replace_all(replace_all(replace_all(read_bytes(tmp / "stderr"), "\r\n", "\n"), out, "$OUT"), "\\", "/");
#else
    const std::string err = replace_all(read_bytes(tmp / "stderr"), out, "$OUT");
#endif
    return {code, read_bytes(out), err};
}

class CliGolden : public ::testing::TestWithParam<std::string> {};

void compare_with(const test::CliOutput& r, const fs::path& expect) {
    const std::pair<std::string, std::string> files[] = {
        {"exit", std::to_string(r.exit_code) + "\n"}, {"stderr", r.err}, {"typ.txt", r.out}};
    for (const auto& [file, actual] : files) {
        if (std::getenv("TESSARO_UPDATE_GOLDEN") == nullptr) {
            EXPECT_EQ(actual, read_bytes((expect / file).string())) << expect / file;
        } else if (actual.empty() && file == "typ.txt") {
            fs::remove(expect / file);
        } else {
            fs::create_directories(expect);
            std::ofstream(expect / file, std::ios::binary) << actual;
        }
    }
}

// The classic looks are those the cases were first written for; the looks' files are in expect/looks.
TEST_P(CliGolden, output_stderr_and_exit_code_match_the_expected_files_with_classic_looks_and_with_the_looks) {
    test::TempDir classic, looks;
    compare_with(run_program(GetParam(), classic, {"--classic-looks"}), expect_folder(GetParam()));
    compare_with(run_program(GetParam(), looks, {}), expect_folder(GetParam()) / "looks");
}

INSTANTIATE_TEST_SUITE_P(Styles, CliGolden, ::testing::ValuesIn(golden_cases()), [](const auto& param_info) { return param_info.param; });
}  // namespace
}  // namespace tessaro
