// The whole conversion against the I/O it cannot avoid, for styles of
// 10k, 100k and 1M rule lines. scripts/bench turns the figures into ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>

#include "app_state.h"
#include "conversion.h"
#include "driver.h"
#include "entry_builder.h"
#include "file_io.h"
#include "include_files.h"
#include "include_proposal.h"
#include "polygon_library.h"
#include "random_source.h"
#include "style_folder.h"
#include "style_generator.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;

// The conversion as the command line drives it, minus the messages.
class NullShell : public Shell {
public:
    void yield_events() override {}
    void hon() override {}
    void hof() override {}
    void message(const std::string&) override {}
    bool ask_yes_no(const std::string&) override { return true; }
};

struct BenchInput {
    GeneratedStyle style;
    std::string output;
    bool shaped = false;          // the output's size and chunk count are known
    std::size_t appends = 0;
    std::uintmax_t output_bytes = 0;
};

struct RunResult {
    bool header_ok = false;
    std::size_t appends = 0;
    std::size_t failed_appends = 0;
};

// A folder of its own under the temporary folder, so that runs side by side never meet.
fs::path make_work_folder() {
    std::random_device entropy;
    for (int attempt = 0;; ++attempt) {
        const fs::path folder = fs::temp_directory_path() / ("tessaro_bench_" + std::to_string(entropy()));
        if (fs::create_directories(folder)) return folder;
        if (attempt == 100) throw std::runtime_error("no work folder could be made in " + folder.parent_path().string());
    }
}

const fs::path& work_folder() {
    static const fs::path folder = make_work_folder();
    return folder;
}

// Each size is generated once and reused by every iteration and by both benchmarks.
BenchInput& input_for(std::size_t rule_lines) {
    static std::map<std::size_t, BenchInput> inputs;
    auto hit = inputs.find(rule_lines);
    if (hit != inputs.end()) return hit->second;
    const fs::path folder = work_folder() / ("n" + std::to_string(rule_lines));
    BenchInput in;
    in.style = StyleGenerator(1).generate(folder.string(), rule_lines);
    in.output = (folder / "out.txt").string();
    return inputs.emplace(rule_lines, std::move(in)).first->second;
}

// The same steps as run_cli: library texts, style listing, include files
// sorted by the include statements, the main sections, then the include merge.
RunResult convert(const GeneratedStyle& style, const std::string& output) {
    NullShell shell;
    AppState state;
    state.random_seed = 1;
    state.style_folder = style.style_folder;
    state.typ_path = output;
    state.point_library.assign(loadtext(join_path(style.res_folder, "points"), shell));
    state.line_library.assign(loadtext(join_path(style.res_folder, "lines"), shell));
    state.polygon_library_path = join_path(style.res_folder, "pgons.pol");
    load_polygon_library(state, shell);
    benchmark::DoNotOptimize(missing_library_messages(state));
    const StyleListing listing = list_style(state.style_folder);

    MtRandom random(state.random_seed);
    Conversion cv(state, shell, random);
    IncludeFiles inc;
    scan_include_files(inc, state.style_folder, cv.rules);
    apply_proposal(inc, propose_groups(state.style_folder, inc.found));

    RunResult r;
    r.header_ok = get_types(cv, listing.kinds, state.style_folder);
    if (r.header_ok && !inc.groups_empty()) do_incs(cv, inc, include_folder(state.style_folder));
    r.appends = cv.out.appends();
    r.failed_appends = cv.out.failed_appends();
    return r;
}

bool complete(const RunResult& r) {
    return r.header_ok && r.failed_appends == 0;
}

void BM_Conversion(benchmark::State& st) {
    BenchInput& in = input_for(static_cast<std::size_t>(st.range(0)));
    RunResult r;
    for (auto _ : st) {
        r = convert(in.style, in.output);
        if (!complete(r)) {
            st.SkipWithError("the conversion failed or wrote an incomplete file");
            return;
        }
    }
    st.counters["appends"] = static_cast<double>(r.appends);
    st.counters["out_bytes"] = static_cast<double>(fs::file_size(in.output));
}

// Output size and chunk count of one conversion, for the floor to write the same.
void shape_output(BenchInput& in) {
    if (in.shaped) return;
    const RunResult r = convert(in.style, in.output);
    if (!complete(r)) throw std::runtime_error("the conversion failed on " + in.style.style_folder);
    in.appends = r.appends;
    in.output_bytes = fs::file_size(in.output);
    in.shaped = true;
}

std::size_t read_whole(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return 0;
    std::string bytes(static_cast<std::size_t>(fs::file_size(path)), '\0');
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    benchmark::DoNotOptimize(bytes.data());
    return got;
}

// Every input file read whole once, and the same output bytes in the same
// number of chunks, each opened for appending and closed, as the writer does.
void BM_IoFloor(benchmark::State& st) {
    BenchInput& in = input_for(static_cast<std::size_t>(st.range(0)));
    try {
        shape_output(in);
    } catch (const std::exception& e) {
        st.SkipWithError(e.what());
        return;
    }
    const std::size_t chunks = in.appends;
    const std::size_t base = static_cast<std::size_t>(in.output_bytes) / chunks;
    const std::size_t extra = static_cast<std::size_t>(in.output_bytes) % chunks;
    const std::string payload(base + 1, 'x');
    for (auto _ : st) {
        std::size_t read = 0;
        for (const std::string& path : in.style.rule_files) read += read_whole(path);
        for (const std::string& path : in.style.library_files) read += read_whole(path);
        benchmark::DoNotOptimize(read);
        std::error_code ec;
        fs::remove(in.output, ec);
        for (std::size_t i = 0; i < chunks; ++i) {
            std::FILE* f = std::fopen(in.output.c_str(), "ab");
            if (f == nullptr) {
                st.SkipWithError("cannot append to the output file");
                return;
            }
            std::fwrite(payload.data(), 1, base + (i < extra ? 1 : 0), f);
            std::fclose(f);
        }
    }
    st.counters["appends"] = static_cast<double>(chunks);
    st.counters["out_bytes"] = static_cast<double>(in.output_bytes);
}

// Few iterations for the big sizes keep the whole run within minutes; the
// median of five repetitions keeps a busy machine from deciding the figures.
constexpr int REPETITIONS = 5;
BENCHMARK(BM_Conversion)->Arg(10'000)->Unit(benchmark::kMillisecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_Conversion)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_Conversion)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_IoFloor)->Arg(10'000)->Unit(benchmark::kMillisecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_IoFloor)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_IoFloor)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(REPETITIONS)->ReportAggregatesOnly();

}  // namespace
}  // namespace tessaro

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    int rc = 0;
    try {
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessaro_bench: %s\n", e.what());
        rc = 1;
    }
    benchmark::Shutdown();
    try {
        std::error_code ec;
        std::filesystem::remove_all(tessaro::work_folder(), ec);
    } catch (const std::exception&) {
        // No folder was made: nothing to clean up.
    }
    return rc;
}
