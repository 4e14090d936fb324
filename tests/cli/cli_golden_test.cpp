// Runs tessaro-cli over every style folder under tests/data that has an
// expect/ folder and compares the TYP text, stderr and exit code byte for byte.
// TESSARO_UPDATE_GOLDEN=1 rewrites the expected files from the actual output.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "support/temp_dir.h"
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

std::string quoted(const std::string& s) {
    return "'" + replace_all(s, "'", "'\\''") + "'";
}

struct CliResult {
    int exit_code = -1;
    std::string err;
    std::string typ;  // empty when no file was written
};

CliResult run_cli_case(const std::string& name, const test::TempDir& tmp) {
    const fs::path expect = fs::path(TESSARO_TEST_DATA) / name / "expect";
    std::string cmd = "cd " + quoted(TESSARO_TEST_DATA) + " && " + quoted(TESSARO_CLI);
    std::ifstream args(expect / "args");
    for (std::string line; std::getline(args, line);)
        if (!line.empty()) cmd += " " + quoted(replace_all(line, "$LIBRARY", TESSARO_SOURCE_DIR "/tests/library"));
    const std::string out = tmp / "out.txt";
    cmd += " -o " + quoted(out) + " " + quoted(name) + " 2> " + quoted(tmp / "stderr");
    const int status = std::system(cmd.c_str());
    CliResult r;
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = replace_all(read_bytes(tmp / "stderr"), out, "$OUT");
    if (fs::exists(out)) r.typ = read_bytes(out);
    return r;
}

void write_file(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

class CliGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(CliGolden, output_stderr_and_exit_code_match_the_expected_files) {
    test::TempDir tmp;
    const CliResult r = run_cli_case(GetParam(), tmp);
    const fs::path expect = fs::path(TESSARO_TEST_DATA) / GetParam() / "expect";
    if (std::getenv("TESSARO_UPDATE_GOLDEN") != nullptr) {
        write_file(expect / "exit", std::to_string(r.exit_code) + "\n");
        write_file(expect / "stderr", r.err);
        if (r.typ.empty()) fs::remove(expect / "typ.txt");
        else write_file(expect / "typ.txt", r.typ);
        GTEST_SKIP() << "expected files rewritten";
    }
    EXPECT_EQ(std::to_string(r.exit_code) + "\n", read_bytes((expect / "exit").string()));
    EXPECT_EQ(r.err, read_bytes((expect / "stderr").string()));
    const bool has_typ = fs::exists(expect / "typ.txt");
    EXPECT_EQ(r.typ, has_typ ? read_bytes((expect / "typ.txt").string()) : "");
}

INSTANTIATE_TEST_SUITE_P(Styles, CliGolden, ::testing::ValuesIn(golden_cases()),
                         [](const auto& param_info) { return param_info.param; });

}  // namespace
}  // namespace tessaro
