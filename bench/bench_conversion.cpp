// The whole conversion against the I/O it cannot avoid, for styles of
// 10k, 100k and 1M rule lines, and the sorting of a style's include files
// for 10k and 100k of them. scripts/bench turns the figures into ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "create_typ.h"
#include "failure.h"
#include "file_io.h"
#include "include_groups.h"
#include "include_proposal.h"
#include "library_files.h"
#include "physical_floor.h"
#include "rule_reader.h"
#include "section.h"
#include "style_generator.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;

struct BenchInput {
    GeneratedStyle style;
    std::string output;
    bool shaped = false;          // output_text and input_bytes are known
    std::string output_text;      // what the conversion writes
    std::uintmax_t input_bytes = 0;
};

struct RunResult {
    bool written = false;
    std::size_t chunks = 0;
    std::string error;  // why the run measured nothing worth having; empty when it did
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

// Minor page faults of the process so far: fresh memory is a good part of a
// large run's cost, and the counter shows it where the times only hint.
double page_faults() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_minflt);
}

std::string failure_words(const Failure& f) {
    return f.path + ": " + (f.error ? f.error.message() : std::string("cannot be read or written"));
}

// The include files as `tessaro-cli --auto-inc` sorts them: found by the
// scan, which keeps their include statements, put into groups by the
// statements of the main rule files and those kept.
std::optional<Failure> sort_include_files(IncludeFiles& inc, const std::string& style_folder) {
    RuleReader reader;
    KnownStatements scanned;
    IncludeScan scan = scan_include_files(inc, style_folder, reader, &scanned);
    if (!scan.failures.empty()) return scan.failures.front();
    apply_proposal(inc, propose_groups(style_folder, inc.found, &scanned));
    return std::nullopt;
}

// The conversion as the command line runs it with --auto-inc, minus the
// messages: library files, the check, the include files, the one run.
RunResult convert(const GeneratedStyle& style, const std::string& output) {
    RunResult r;
    LibraryTexts libraries;
    PerSection<std::string> paths;
    for (Section s : ALL_SECTIONS) paths[s] = library_file_path(style.res_folder, s);
    for (const std::optional<Failure>& failure : load_library_files(paths, libraries).values) {
        if (failure) {
            r.error = failure_words(*failure);
            return r;
        }
    }
    CreateTypRequest request;
    request.style_folder = style.style_folder;
    request.seed = 1;
    request.libraries = &libraries;
    request.typ_path = output;
    const CreateTypCheck check = check_create_typ(request);
    if (!check.can_run()) {
        r.error = "the check stops the run on " + style.style_folder;
        return r;
    }
    // The include files found and sorted first, as the command line has it do.
    if (std::optional<Failure> failure = sort_include_files(request.include_files, request.style_folder)) {
        r.error = failure_words(*failure);
        return r;
    }
    const CreateTypReport report = run_create_typ(request, check);
    r.written = report.written;
    if (!report.failures.empty()) r.error = failure_words(report.failures.front());
    return r;
}

bool complete(const RunResult& r) {
    return r.error.empty() && r.written;
}

std::string what_failed(const RunResult& r) {
    return r.error.empty() ? std::string("the conversion failed or wrote an incomplete file") : r.error;
}

void BM_Conversion(benchmark::State& st) {
    BenchInput& in = input_for(static_cast<std::size_t>(st.range(0)));
    RunResult r;
    const double faults_before = page_faults();
    for (auto _ : st) {
        r = convert(in.style, in.output);
        if (!complete(r)) {
            st.SkipWithError(what_failed(r).c_str());
            return;
        }
    }
    st.counters["faults"] = benchmark::Counter(page_faults() - faults_before, benchmark::Counter::kAvgIterations);
    st.counters["out_bytes"] = static_cast<double>(fs::file_size(in.output));
}

// The bytes of one conversion, for the floor to write the same; and the
// size of all input files, for the floor to prove it read each once.
void shape_output(BenchInput& in) {
    if (in.shaped) return;
    const RunResult r = convert(in.style, in.output);
    if (!complete(r)) throw std::runtime_error(in.style.style_folder + ": " + what_failed(r));
    std::error_code error;
    if (!read_file(in.output, in.output_text, error)) throw std::runtime_error(in.output + ": " + error.message());
    in.input_bytes = 0;
    for (const std::string& path : in.style.rule_files) in.input_bytes += fs::file_size(path);
    for (const std::string& path : in.style.library_files) in.input_bytes += fs::file_size(path);
    in.shaped = true;
}

// What no conversion can go below: every input file (rule files, include
// files, library files) read once with plain read calls, and the same output
// bytes put in place with one write, through the writer's steps (new file,
// fsync, rename).
void BM_PhysicalFloor(benchmark::State& st) {
    BenchInput& in = input_for(static_cast<std::size_t>(st.range(0)));
    try {
        shape_output(in);
    } catch (const std::exception& e) {
        st.SkipWithError(e.what());
        return;
    }
    FloorReader reader;
    std::string error;
    std::size_t read = 0;
    const double faults_before = page_faults();
    for (auto _ : st) {
        read = 0;
        for (const std::vector<std::string>* files : {&in.style.rule_files, &in.style.library_files}) {
            for (const std::string& path : *files) {
                std::size_t n = 0;
                if (!reader.read_whole(path.c_str(), n, error)) {
                    st.SkipWithError(error.c_str());
                    return;
                }
                read += n;
            }
        }
        if (!replace_file(in.output, in.output_text.data(), in.output_text.size(), error)) {
            st.SkipWithError(error.c_str());
            return;
        }
    }
    // A floor that skipped bytes on either side would flatter the conversion.
    if (read != in.input_bytes || fs::file_size(in.output) != in.output_text.size()) {
        st.SkipWithError("the floor did not read every input byte or write every output byte");
        return;
    }
    st.counters["faults"] = benchmark::Counter(page_faults() - faults_before, benchmark::Counter::kAvgIterations);
    st.counters["in_bytes"] = static_cast<double>(read);
    st.counters["out_bytes"] = static_cast<double>(in.output_text.size());
}

// Each count of include files is written once: 100k files take a while.
const GeneratedIncludes& includes_for(std::size_t files) {
    static std::map<std::size_t, GeneratedIncludes> styles;
    auto hit = styles.find(files);
    if (hit != styles.end()) return hit->second;
    const fs::path folder = work_folder() / ("inc" + std::to_string(files));
    GeneratedIncludes style = StyleGenerator(1).generate_includes(folder.string(), files);
    // Written back now, not while the first iterations are timed.
    ::sync();
    return styles.emplace(files, std::move(style)).first->second;
}

// What --auto-inc costs on top of the conversion: the scan of inc/, the
// proposal from the include statements, and the files it leaves out.
void BM_IncludeProposal(benchmark::State& st) {
    const GeneratedIncludes& style = includes_for(static_cast<std::size_t>(st.range(0)));
    IncludeFiles last;
    std::vector<std::string> left_out;
    for (auto _ : st) {
        // A fresh list each time, as each run of the command line starts with one.
        IncludeFiles inc;
        if (std::optional<Failure> failure = sort_include_files(inc, style.style_folder)) {
            st.SkipWithError(failure_words(*failure).c_str());
            return;
        }
        left_out = inc.left_out();
        last = std::move(inc);
    }
    const IncludeFiles& inc = last;
    // The generator knows where every file belongs: a proposal that sorts
    // differently measured the wrong work.
    bool as_written = inc.found.size() == style.files && left_out.size() == style.included_by_nobody;
    for (Section s : ALL_SECTIONS) as_written = as_written && inc.groups[s].size() == style.reached[s];
    if (!as_written) {
        st.SkipWithError("the include files were not sorted as the generated style says");
        return;
    }
    st.counters["files"] = static_cast<double>(inc.found.size());
    st.counters["sorted"] = static_cast<double>(inc.found.size() - left_out.size());
}

// Few iterations for the big sizes keep the whole run within minutes; the
// median of five repetitions keeps a busy machine from deciding the figures.
constexpr int REPETITIONS = 5;
BENCHMARK(BM_Conversion)->Arg(10'000)->Unit(benchmark::kMillisecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_Conversion)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_Conversion)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
// The floor takes milliseconds: as many iterations as fit, for a steady figure.
BENCHMARK(BM_PhysicalFloor)->Arg(10'000)->Unit(benchmark::kMillisecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_PhysicalFloor)->Arg(100'000)->Unit(benchmark::kMillisecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_PhysicalFloor)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_IncludeProposal)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(REPETITIONS)->ReportAggregatesOnly();
BENCHMARK(BM_IncludeProposal)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(REPETITIONS)->ReportAggregatesOnly();

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
