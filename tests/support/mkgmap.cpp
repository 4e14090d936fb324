#include "support/mkgmap.h"

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

namespace tessaro::test {

const std::string MKGMAP_JAR = "/usr/share/mkgmap/mkgmap.jar";

std::string mkgmap_jar_missing(bool java) {
#ifdef _WIN32
    (void)java;
    return "mkgmap's styles are checked by the Linux build";
#else
    if (!std::filesystem::exists(MKGMAP_JAR)) return "mkgmap is not installed: " + MKGMAP_JAR + " is missing";
    if (java && std::system("java -version >/dev/null 2>&1") != 0) return "java is missing";
    return {};
#endif
}

bool extract_from_mkgmap_jar(const TempDir& dir, const std::string& member) {
    const std::string extract = "cd '" + dir.path() + "' && '" TESSARO_CMAKE "' -E tar xf " + MKGMAP_JAR + " " + member;
    return std::system(extract.c_str()) == 0;
}

std::string mkgmap_printed_style(const std::string& styles_folder, const std::string& name, const std::string& out,
                                 const std::string& classpath) {
    const std::string command = "java -cp '" + MKGMAP_JAR + (classpath.empty() ? "" : ":" + classpath) +
                                "' uk.me.parabola.mkgmap.osmstyle.StyleImpl '" + styles_folder + "' " + name + " >'" +
                                out + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return read_bytes(out);
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

}  // namespace tessaro::test
