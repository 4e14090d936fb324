#include "settings_file.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>

#include "file_io.h"
#include "output_file.h"
#include "startup.h"
#include "text_util.h"

namespace tessaro {

namespace {

constexpr const char* BLANK_LINE = " ";
// The longest path Linux takes (PATH_MAX): no line the window writes is
// longer, and a longer one (a broken or hostile file) is no value to show.
constexpr std::size_t LONGEST_LINE = 4096;

// A control character other than a tab: a binary file, or one that is no
// settings file at all.
bool holds_binary(std::string_view line) {
    for (const char c : line)
        if ((static_cast<unsigned char>(c) < 32 && c != '\t') || c == 127) return true;
    return false;
}

// Hands out the file's lines one by one; the first fault is reported once,
// naming the file and the line, and ends the reading.
class SettingsReader {
public:
    SettingsReader(const std::string& path, std::string text, Shell& shell)
        : m_path(path), m_text(std::move(text)), m_shell(shell) {}

    // Leading blanks skipped; the rest of the line is kept whole, commas included.
    std::optional<std::string> text_line() {
        const std::optional<std::string_view> line = next_line();
        if (!line) return std::nullopt;
        const std::size_t start = line->find_first_not_of(' ');
        return std::string(start == std::string_view::npos ? std::string_view{} : line->substr(start));
    }

    std::optional<int> int_line() { return number_line<int>(); }

    template <typename Number> std::optional<Number> number_line() {
        const std::optional<std::string_view> line = next_line();
        if (!line) return std::nullopt;
        const std::string_view digits = trim_blanks(*line);
        Number value = 0;
        const char* end = digits.data() + digits.size();
        const auto [stop, ec] = std::from_chars(digits.data(), end, value);
        if (digits.empty() || ec != std::errc{} || stop != end) {
            // A long line is not worth showing whole.
            fail("line " + std::to_string(m_number) + " is not a number: \"" + std::string(line->substr(0, 40)) +
                 (line->size() > 40 ? "...\"" : "\""));
            return std::nullopt;
        }
        return value;
    }

    // A 0 or 1 line; anything else is a fault.
    std::optional<bool> switch_line() {
        const std::optional<int> value = int_line();
        if (!value) return std::nullopt;
        if (*value != 0 && *value != 1) {
            fail("line " + std::to_string(m_number) + " is not 0 or 1");
            return std::nullopt;
        }
        return *value == 1;
    }

    // The next line is missing or blank: a file from before that line was added.
    bool next_line_unused() const {
        const std::optional<std::string_view> line = peek_line();
        return !line || trim_blanks(*line).empty();
    }

    bool at_end() const { return !peek_line(); }

    void fail(const std::string& what) { m_shell.message(printable(m_path) + ": " + what, MessageIcon::Warning); }

private:
    // The line at the reading position, without its line end; none at the end of the text.
    std::optional<std::string_view> peek_line() const {
        if (m_pos >= m_text.size()) return std::nullopt;
        std::size_t end = m_text.find('\n', m_pos);
        if (end == std::string::npos) end = m_text.size();
        std::string_view line(m_text.data() + m_pos, end - m_pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    std::optional<std::string_view> next_line() {
        ++m_number;
        const std::optional<std::string_view> line = peek_line();
        if (!line) {
            fail("line " + std::to_string(m_number) + " is missing");
            return std::nullopt;
        }
        const std::size_t end = m_text.find('\n', m_pos);
        m_pos = end == std::string::npos ? m_text.size() : end + 1;
        if (line->size() > LONGEST_LINE) {
            fail("line " + std::to_string(m_number) + " is longer than any path (" + std::to_string(line->size()) +
                 " bytes)");
            return std::nullopt;
        }
        if (holds_binary(*line)) {
            fail("line " + std::to_string(m_number) + " holds binary bytes");
            return std::nullopt;
        }
        return line;
    }

    std::string m_path;
    std::string m_text;
    Shell& m_shell;
    std::size_t m_pos = 0;
    int m_number = 0;
};

bool skip_text_lines(SettingsReader& in, int count) {
    for (int i = 0; i < count; ++i)
        if (!in.text_line()) return false;
    return true;
}

}  // namespace

std::string settings_path(const AppState& state) {
    return join_path(state.settings_folder.empty() ? state.app_folder : state.settings_folder, "tessaro.dat");
}

void load_settings_file(AppState& state, Shell& shell) {
    const std::string path = settings_path(state);
    std::string text;
    std::error_code error;
    if (!read_file(path, text, error)) {
        shell.message(printable(path) + ": " + printable(error.message()), MessageIcon::Warning);
        return;
    }
    read_settings(path, std::move(text), state, shell, [&] { ensure_typ_path_writable(state, shell); });
}

void read_settings(const std::string& path, std::string text, AppState& state, Shell& shell,
                   const std::function<void()>& check_typ_path) {
    SettingsReader in(path, std::move(text), shell);

    if (!in.int_line()) return;
    for (std::string* field : {&state.style_folder, &state.editor_program, &state.typ_path}) {
        std::optional<std::string> value = in.text_line();
        if (!value) return;
        *field = std::move(*value);
    }
    check_typ_path();

    std::optional<std::string> library = in.text_line();
    if (!library) return;
    // A folder of that name is no library; taking it would only fail later at load.
    state.polygon_library_path = library->empty() || !is_regular_file(*library)
                                     ? default_polygon_library(state)
                                     : std::move(*library);

    if (!skip_text_lines(in, 2)) return;
    const std::optional<bool> tag_text = in.switch_line();
    if (!tag_text) return;
    state.include_tag_text = *tag_text;
    if (!skip_text_lines(in, 4)) return;
    if (!in.int_line()) return;

    // Files of earlier versions end here: their looks were the classic ones.
    state.classic_looks = false;
    if (in.next_line_unused()) return;
    const std::optional<bool> classic = in.switch_line();
    if (!classic) return;
    state.classic_looks = *classic;

    // Each later line may be missing (a file written before it existed) or blank (unset).
    state.random_seed.reset();
    if (in.at_end()) return;
    if (!in.next_line_unused()) {
        const std::optional<std::uint64_t> seed = in.number_line<std::uint64_t>();
        if (!seed) return;
        state.random_seed = *seed;
    } else if (!in.text_line()) {
        return;
    }
    if (in.at_end()) return;
    const std::optional<std::string> size = in.text_line();
    if (!size) return;
    int width = 0;
    int height = 0;
    // Too small or absurd sizes are a hand-edited file: the default size serves.
    if (std::sscanf(size->c_str(), "%d %d", &width, &height) == 2 && width >= 200 && height >= 150 &&
        width <= 20000 && height <= 20000) {
        state.window_width = width;
        state.window_height = height;
    }
    state.keep_edited_looks = false;
    if (in.next_line_unused()) return;
    const std::optional<bool> keep = in.switch_line();
    if (keep) state.keep_edited_looks = *keep;
}

std::optional<Failure> save_settings_file(const AppState& state) {
    const std::string tag_text = state.include_tag_text ? " 1 " : " 0 ";
    const std::string seed = state.random_seed ? " " + std::to_string(*state.random_seed) + " " : BLANK_LINE;
    const std::string size = state.window_width > 0 && state.window_height > 0
                                 ? " " + std::to_string(state.window_width) + " " + std::to_string(state.window_height) + " "
                                 : BLANK_LINE;
    const std::string lines[] = {
        " 0 ",      state.style_folder, state.editor_program, state.typ_path,
        state.polygon_library_path,     BLANK_LINE,           BLANK_LINE,
        tag_text,   BLANK_LINE,         BLANK_LINE,           BLANK_LINE,
        BLANK_LINE, tag_text,           state.classic_looks ? " 1 " : " 0 ",
        seed,       size,               state.keep_edited_looks ? " 1 " : " 0 ",
    };
    std::string bytes;
    for (const std::string& line : lines) bytes += line + CRLF;
    // Written whole and then renamed: a full disk never leaves half a settings file.
    return write_replaced_file(settings_path(state), bytes);
}

}  // namespace tessaro
