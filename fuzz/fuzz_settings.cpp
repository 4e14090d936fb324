// The settings file's text through read_settings. The TYP path check is a
// counter here: the real one writes probe files, and a fuzzer must not.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app_state.h"
#include "fuzz_support.h"
#include "settings_file.h"
#include "shell.h"
#include "startup.h"

namespace tessaro {
namespace {

// Stands in for the window: nobody to ask. Messages are only counted.
class QuietShell final : public Shell {
public:
    void set_busy(bool) override {}
    void message(const std::string&, MessageIcon) override { ++messages; }
    bool ask_yes_no(const std::string&) override { return false; }

    int messages = 0;
};

constexpr std::size_t NPOS = std::string_view::npos;

// Lines as the settings reader hands them out: a line feed ends a line, one
// CR before it is dropped, and nothing after the last line feed is no line.
std::vector<std::string_view> settings_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == NPOS) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

template <typename Number = int> std::optional<Number> number_in(std::string_view line) {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    if (line.empty()) return std::nullopt;
    Number value = 0;
    const auto [stop, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (ec != std::errc{} || stop != line.data() + line.size()) return std::nullopt;
    return value;
}

bool blank(std::string_view line) {
    return line.find_first_not_of(' ') == NPOS;
}

std::string without_leading_blanks(std::string_view line) {
    const std::size_t start = line.find_first_not_of(' ');
    return start == NPOS ? std::string() : std::string(line.substr(start));
}

}  // namespace
}  // namespace tessaro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro;
    const std::string_view input = as_text(data, size);
    AppState state;
    // Only joined into the default library path; nothing there is opened.
    state.res_folder = "/nonexistent/tessaro-fuzz/res";
    state.bin_folder = "/nonexistent/tessaro-fuzz/bin";
    QuietShell shell;
    int checks = 0;
    read_settings("/nonexistent/tessaro-fuzz/tessaro.dat", std::string(input), state, shell, [&checks] { ++checks; });

    require(shell.messages <= 1, "a settings file gives one message at most");

    const std::vector<std::string_view> lines = settings_lines(input);
    // A line longer than any path, or with control bytes, ends the reading
    // wherever it is met: the file is then only held to one message at most.
    const auto bad = [](std::string_view line) {
        return line.size() > 4096 || std::any_of(line.begin(), line.end(), [](char c) {
                   return (static_cast<unsigned char>(c) < 32 && c != '\t') || c == 127;
               });
    };
    if (std::any_of(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(lines.size(), 17)), bad))
        return 0;
    const bool head_read = lines.size() >= 4 && number_in(lines[0]).has_value();
    require(checks == (head_read ? 1 : 0), "the TYP path is checked once, right after it is read");
    if (head_read) {
        require(state.style_folder == without_leading_blanks(lines[1]), "line 2 is the style folder");
        require(state.editor_program == without_leading_blanks(lines[2]), "line 3 is the editor");
        require(state.typ_path == without_leading_blanks(lines[3]), "line 4 is the TYP text path");
    }
    if (head_read && lines.size() >= 5) {
        const std::string library = without_leading_blanks(lines[4]);
        const bool is_default = state.polygon_library_path == default_polygon_library(state);
        require(is_default || (!library.empty() && state.polygon_library_path == library),
                "line 5 is the polygon library, or the default");
        if (library.empty()) require(is_default, "an empty library line means the default");
    }

    const std::optional<int> tag_text = lines.size() >= 8 ? number_in(lines[7]) : std::nullopt;
    // Line 14 (Classic looks) came later: missing or blank it is no fault, otherwise 0 or 1.
    const std::optional<int> classic = lines.size() >= 14 ? number_in(lines[13]) : std::nullopt;
    const bool classic_given = classic && (*classic == 0 || *classic == 1);
    const bool classic_ok = lines.size() < 14 || blank(lines[13]) || classic_given;
    // Lines 15 to 17 (seed, window size, Keep my edited looks), read after a
    // given line 14: missing or blank is no fault; the seed a number, line 17 0 or 1.
    const bool seed_ok = !classic_given || lines.size() < 15 || blank(lines[14]) ||
                         number_in<std::uint64_t>(lines[14]).has_value();
    const std::optional<int> keep = lines.size() >= 17 ? number_in(lines[16]) : std::nullopt;
    const bool keep_ok = !classic_given || !seed_ok || lines.size() < 17 || blank(lines[16]) ||
                         (keep && (*keep == 0 || *keep == 1));
    const bool complete = lines.size() >= 13 && head_read && tag_text && (*tag_text == 0 || *tag_text == 1) &&
                          number_in(lines[12]).has_value() && classic_ok && seed_ok && keep_ok;
    require((shell.messages == 0) == complete, "a message exactly when the file is short or broken");
    if (complete) require(state.include_tag_text == (*tag_text == 1), "line 8 is Include Tag Text");
    if (!head_read || !tag_text) require(!state.include_tag_text, "Include Tag Text stays off until line 8 is read");
    if (complete && classic_given && lines.size() >= 17 && !blank(lines[16]))
        require(state.keep_edited_looks == (*keep == 1), "line 17 is Keep my edited looks");
    if (!classic_given) require(!state.random_seed && !state.keep_edited_looks, "nothing after line 14 without it");
    return 0;
}
