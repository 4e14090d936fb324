#include "support/mkgmap.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

namespace tessaro::test {
const std::string MKGMAP_JAR = "/usr/share/mkgmap/mkgmap.jar";

bool on_path(const std::string& program) {
    const char* path = std::getenv("PATH");
#ifdef _WIN32
    constexpr char SEPARATOR = ';';
    const std::string name = program + ".exe";
#else
    constexpr char SEPARATOR = ':';
    const std::string& name = program;
#endif
    std::istringstream folders(path ? path : "");
    std::error_code ec;
    for (std::string folder; std::getline(folders, folder, SEPARATOR);)
        if (!folder.empty() && std::filesystem::is_regular_file(std::filesystem::path(folder) / name, ec)) return true;
    return false;
}

std::string mkgmap_jar_missing(bool java) {
#ifdef _WIN32
    (void)java;
    return "mkgmap's styles are checked by the Linux build";
#else
    if (!std::filesystem::exists(MKGMAP_JAR)) return "mkgmap is not installed: " + MKGMAP_JAR + " is missing";
    if (java && !on_path("java")) return "java is missing";
    return {};
#endif
}

std::vector<std::string> style_names_in(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    if (!fs::is_directory(folder)) return names;
    for (const auto& e : fs::directory_iterator(folder))
        for (Section s : ALL_SECTIONS)
            if (fs::exists(e.path() / rule_file_name(s))) {
                names.push_back(e.path().filename().string());
                break;
            }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> every_style_folder(const TempDir& tmp, bool siblings) {
    std::vector<std::string> places{TESSARO_SOURCE_DIR "/tests/data", TESSARO_SOURCE_DIR "/examples"}, folders;
    if (siblings)
        for (const auto& e : std::filesystem::directory_iterator(places[0])) places.push_back(e.path().string() + "/styles");
    if (mkgmap_jar_missing(false).empty()) {
        EXPECT_TRUE(extract_from_mkgmap_jar(tmp, "styles"));
        EXPECT_GE(style_names_in(places.emplace_back(tmp / "styles")).size(), 15u);
    }
    for (const std::string& place : places)
        for (const std::string& name : style_names_in(place)) folders.push_back(place + "/" + name);
    return folders;
}

bool extract_from_mkgmap_jar(const TempDir& dir, const std::string& member) {
    const std::string extract = "cd '" + dir.path() + "' && '" TESSARO_CMAKE "' -E tar xf " + MKGMAP_JAR + " " + member;
    return std::system(extract.c_str()) == 0;
}

std::string mkgmap_printed_style(const std::string& styles_folder, const std::string& name, const std::string& out,
                                 const std::string& classpath) {
    const std::string command = "java -cp '" + MKGMAP_JAR + (classpath.empty() ? "" : ":" + classpath) +
                                "' uk.me.parabola.mkgmap.osmstyle.StyleImpl '" + styles_folder + "' " + name + " >'" +
                                out + "' 2>'" + out + ".err'";
    if (std::system(command.c_str()) != 0) return {};
    return read_bytes(out);
}

std::map<std::string, std::string> mkgmap_printed_styles(const TempDir& tmp, const std::vector<StyleToRead>& styles) {
    std::string list;
    for (const StyleToRead& s : styles) list += s.folder + " " + s.name + " " + MKGMAP_JAR + ":" + s.classpath + "\n";
    tmp.write("styles.list", list);
    const std::string script = "cd '" + tmp.path() + "' && xargs -P 2 -L 1 sh -c 'java -cp \"$2\""
                               " uk.me.parabola.mkgmap.osmstyle.StyleImpl \"$0\" \"$1\" > \"$1.out\" 2>\"$1.err\" "
                               "|| rm -f \"$1.out\"' < styles.list";
    std::map<std::string, std::string> printed;
    if (std::system(script.c_str()) != 0) return printed;
    for (const StyleToRead& s : styles)
        if (std::filesystem::exists(tmp / (s.name + ".out"))) printed[s.name] = read_bytes(tmp / (s.name + ".out"));
    return printed;
}

std::string printed_section(const std::string& printed, Section section) {
    const std::string head = std::string("<<<") + rule_file_name(section) + ">>>";
    const std::size_t at = printed.find(head);
    if (at == std::string::npos) return {};
    const std::size_t start = at + head.size();
    return printed.substr(start, printed.find("<<<", start) - start);
}

std::vector<std::string> printed_codes(const std::string& section_text) {
    static const std::regex bracket(R"(\[(0x[0-9a-fA-F]+)[ \]])");
    std::vector<std::string> codes;
    std::istringstream in(section_text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind('#', 0) == 0) continue;
        std::string last;
        for (std::sregex_iterator m(line.begin(), line.end(), bracket), end; m != end; ++m) last = (*m)[1];
        if (!last.empty()) codes.push_back(last);
    }
    return codes;
}

std::string mkgmap_command_missing(const TempDir& tmp) {
#ifdef _WIN32
    (void)tmp;
    return "mkgmap's compiler is run by the Linux build";
#else
    const std::string command = "mkgmap --version >'" + (tmp / "mkgmap-version.log") + "' 2>&1";
    return std::system(command.c_str()) == 0 ? std::string() : "mkgmap is not installed: its verdict is not checked";
#endif
}

namespace {
MkgmapResult result_in(const std::string& dir, const std::string& name, bool compiled, const std::string& log) {
    return {compiled, read_bytes(dir + "/" + name.substr(0, name.size() - 4) + ".typ"), read_bytes(dir + "/" + log)};
}
}  // namespace

MkgmapResult mkgmap_compile_here(const std::string& folder, const std::string& name, int code_page) {
    const std::string command = "cd '" + folder + "' && mkgmap --family-id=12345 --code-page=" + std::to_string(code_page) +
                                " '" + name + "' >mkgmap.log 2>&1";
    const bool compiled = std::system(command.c_str()) == 0;
    return result_in(folder, name, compiled, "mkgmap.log");
}

std::vector<MkgmapResult> mkgmap_compile(const TempDir& tmp, const std::string& folder,
                                         const std::vector<std::pair<std::string, std::string>>& texts) {
    std::string jobs;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        tmp.write(folder + "/" + std::to_string(i) + "/" + texts[i].first, texts[i].second);
        jobs += std::to_string(i) + " " + texts[i].first + "\n";
    }
    tmp.write(folder + "/jobs", jobs);
    tmp.write(folder + "/compile.sh", "cd \"$1\" && mkgmap --family-id=12345 --code-page=1252 \"$2\" >log 2>&1; echo $? >status\n");
    const std::string run = "cd '" + (tmp / folder) + "' && xargs -r -n 2 -P 2 sh compile.sh <jobs";
    std::vector<MkgmapResult> results;
    if (std::system(run.c_str()) != 0) return results;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string dir = tmp / (folder + "/" + std::to_string(i));
        results.push_back(result_in(dir, texts[i].first, read_bytes(dir + "/status") == "0\n", "log"));
    }
    return results;
}
}  // namespace tessaro::test
