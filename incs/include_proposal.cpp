#include "include_proposal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "file_io.h"
#include "style_folder.h"
#include "text_util.h"

namespace tessaro {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The quoted path of one include statement line, or empty.
std::string statement_path(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && is_blank(line[i])) ++i;
    if (line.compare(i, 7, "include") != 0) return {};
    i += 7;
    if (i >= line.size() || !is_blank(line[i])) return {};
    while (i < line.size() && is_blank(line[i])) ++i;
    if (i >= line.size() || (line[i] != '\'' && line[i] != '"')) return {};
    const char quote = line[i];
    const std::size_t close = line.find(quote, i + 1);
    if (close == std::string_view::npos) return {};
    const std::string_view rest = trim_blanks(line.substr(close + 1));
    if (rest.rfind("from", 0) == 0) return {};
    return std::string(line.substr(i + 1, close - i - 1));
}

// "inc/name" (or "inc\name") as the name of a file in the include folder; empty otherwise.
std::string include_name(const std::string& path) {
    if (path.size() > 4 && path.compare(0, 3, "inc") == 0 && (path[3] == '/' || path[3] == '\\')) {
        const std::string name = path.substr(4);
        if (is_plain_file_name(name)) return name;
    }
    return {};
}

// Bytes read at once for the proposal: few reads, yet small enough to stay in
// the processor's cache while they are searched.
constexpr std::size_t PIECE = 256 * 1024;

// One buffer for the pieces of every file: a style may have many thousand
// small include files. Not zero-filled, and only as large as the files need.
struct PieceBuffer {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    void reserve(std::size_t n, std::size_t keep) {
        if (n <= size) return;
        std::unique_ptr<char[]> bigger(new char[n]);
        if (keep > 0) std::memcpy(bigger.get(), bytes.get(), keep);
        bytes = std::move(bigger);
        size = n;
    }
};

// The include statements of a file, read a piece at a time: the main rule
// files are large, and the conversion reads them too. Each piece is searched
// up to its last line feed; the rest starts the next one. A file that cannot
// be read gives the statements of what was read.
std::vector<std::string> file_include_statements(const std::string& path, PieceBuffer& buffer) {
    std::vector<std::string> out;
    FileReader file;
    std::string error;
    if (!file.open(path, error)) return out;  // only regular files: a pipe would block
    // A small file needs no piece of full size (one more byte tells the end).
    const std::size_t piece = static_cast<std::size_t>(std::min<std::uintmax_t>(PIECE, file.size_hint() + 1));
    std::size_t carried = 0;
    while (true) {
        // The buffer grows only for a line longer than a piece; the bytes in
        // use are the carried start of a line and the piece read after it.
        buffer.reserve(carried + piece, carried);
        const std::size_t got = file.read(buffer.bytes.get() + carried, piece, error);
        const std::string_view text(buffer.bytes.get(), carried + got);
        const bool last = got < piece;
        // The carried start of a line holds no line feed: only the new bytes are searched.
        const std::size_t lf = text.substr(carried).rfind('\n');
        const std::size_t whole = last ? text.size() : lf == std::string_view::npos ? 0 : carried + lf + 1;
        for (std::string& statement : include_statements(text.substr(0, whole))) out.push_back(std::move(statement));
        if (last) return out;
        carried = text.size() - whole;
        std::memmove(buffer.bytes.get(), buffer.bytes.get() + whole, carried);
    }
}

}  // namespace

std::vector<std::string> include_statements(std::string_view rule_text) {
    std::vector<std::string> out;
    // Only a line whose first word is "include" can be a statement: jump from
    // one "ud" to the next instead of looking at every line (the pair is rare
    // in rule files, and every "include" holds one, four bytes in).
    const std::size_t n = rule_text.size();
    for (std::size_t ud = find_pair(rule_text.data(), 4, n, 'u', 'd'); ud < n;
         ud = find_pair(rule_text.data(), ud + 1, n, 'u', 'd')) {
        const std::size_t at = ud - 4;
        if (rule_text.compare(at, 7, "include") != 0) continue;
        std::size_t start = at;
        while (start > 0 && is_blank(rule_text[start - 1])) --start;
        if (start > 0 && rule_text[start - 1] != '\n') continue;
        std::size_t end = rule_text.find('\n', at);
        if (end == std::string_view::npos) end = n;
        std::string_view line = rule_text.substr(start, end - start);
        line = line.substr(0, line.find('#'));
        std::string path = statement_path(line);
        if (!path.empty()) out.push_back(std::move(path));
        ud = end == n ? n - 1 : end;
    }
    return out;
}

PerSection<std::vector<std::string>> propose_groups(const std::string& style_folder,
                                                    const std::vector<std::string>& found) {
    PerSection<std::vector<std::string>> proposal;
    // Only listed files are proposed: with none, the rule files need no reading.
    if (found.empty()) return proposal;
    const std::string inc_folder = include_folder(style_folder);
    PieceBuffer buffer;
    // The statements of each include file, read once for all sections: the
    // main files often include the same ones.
    std::unordered_map<std::string, std::vector<std::string>> statements_of;
    for (Section s : ALL_SECTIONS) {
        // Walk every include file reachable from this main file, each once.
        std::unordered_set<std::string> reached;
        std::vector<std::string> todo = file_include_statements(rule_file_path(style_folder, rule_file_name(s)), buffer);
        while (!todo.empty()) {
            const std::string name = include_name(todo.back());
            todo.pop_back();
            if (name.empty() || !reached.insert(name).second) continue;
            auto known = statements_of.find(name);
            if (known == statements_of.end())
                known = statements_of.emplace(name, file_include_statements(join_path(inc_folder, name), buffer)).first;
            todo.insert(todo.end(), known->second.begin(), known->second.end());
        }
        if (reached.empty()) continue;
        for (const std::string& name : found)
            if (reached.count(name) != 0) proposal[s].push_back(name);
    }
    return proposal;
}

void apply_proposal(IncludeFiles& inc, const PerSection<std::vector<std::string>>& proposal) {
    for (Section s : ALL_SECTIONS) {
        std::vector<std::string>& group = inc.groups[s];
        std::unordered_set<std::string> in_group(group.begin(), group.end());
        for (const std::string& name : proposal[s])
            if (in_group.insert(name).second) group.push_back(name);
    }
}

}  // namespace tessaro
