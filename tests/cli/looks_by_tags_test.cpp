// Looks chosen by a rule's tags, held against the looks the library gives by
// code: mkgmap's default style with every type code renamed to an unused
// extended code still gets, for most of its types, the look its original
// code has.
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "support/cli_capture.h"
#include "support/mkgmap.h"
#include "support/temp_dir.h"
#include "typ_reader.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;

// An entry's look: its lines without the code and the label, which differ by design.
std::string look_of(const TypEntry& entry) {
    std::string look;
    std::istringstream lines(entry.text);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("Type=", 0) != 0 && line.rfind("String1=", 0) != 0) look += line + "\n";
    return look;
}

// Every entry of a text by section and code value.
std::map<std::pair<Section, unsigned long>, std::string> looks_by_code(const std::string& typ_path) {
    std::map<std::pair<Section, unsigned long>, std::string> looks;
    for (const TypEntry& e : read_typ_text(test::read_bytes(typ_path)).entries)
        looks[{e.section, std::stoul(e.type.substr(2), nullptr, 16)}] = look_of(e);
    return looks;
}

TEST(LooksByTags, give_most_renamed_types_of_the_default_style_their_original_look) {
    if (const std::string why = test::mkgmap_jar_missing(false); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    ASSERT_TRUE(test::extract_from_mkgmap_jar(tmp, "styles/default"));
    fs::copy(tmp / "styles/default", tmp / "renamed", fs::copy_options::recursive);

    // Each distinct code (by value) its own new extended code, unused by the style.
    static const std::regex bracket(R"(\[(\s*)0[xX]([0-9a-fA-F]+))");
    std::map<unsigned long, unsigned long> renamed;  // original value -> new code
    unsigned long next = 0x1f000;
    for (const auto& e : fs::recursive_directory_iterator(tmp / "renamed")) {
        if (!e.is_regular_file()) continue;
        const std::string text = test::read_bytes(e.path().string());
        std::string out;
        std::size_t last = 0;
        for (std::sregex_iterator m(text.begin(), text.end(), bracket), end; m != end; ++m) {
            const unsigned long value = std::stoul((*m)[2], nullptr, 16);
            if (!renamed.count(value)) renamed[value] = next++;
            char code[32];
            std::snprintf(code, sizeof code, "[%s0x%lx", (*m)[1].str().c_str(), renamed[value]);
            out += text.substr(last, static_cast<std::size_t>(m->position()) - last) + code;
            last = static_cast<std::size_t>(m->position() + m->length());
        }
        out += text.substr(last);
        tmp.write(fs::relative(e.path(), tmp.path()).string(), out);
    }
    ASSERT_GT(renamed.size(), 200u);
    for (const auto& [value, code] : renamed) ASSERT_EQ(renamed.count(code), 0u) << "0x" << std::hex << code << " is used";

    for (const std::string name : {"original", "renamed"}) {
        const test::CliOutput r = test::convert(tmp / (name == "original" ? "styles/default" : name), tmp / (name + ".txt"),
                                                {"--report", tmp / (name + ".txt.report")});
        EXPECT_EQ(r.exit_code, 0) << r.err;
    }
    // The original entries whose look came from the library by their code.
    std::set<std::pair<std::string, unsigned long>> from_library;
    std::istringstream report(test::read_bytes(tmp / "original.txt.report"));
    for (std::string line; std::getline(report, line);) {
        std::istringstream fields(line);
        std::string section, code, source;
        std::getline(fields, section, '\t');
        std::getline(fields, code, '\t');
        std::getline(fields, source, '\t');
        if (source == "library") from_library.insert({section, std::stoul(code.substr(2), nullptr, 16)});
    }
    const auto before = looks_by_code(tmp / "original.txt");
    const auto after = looks_by_code(tmp / "renamed.txt");

    // The library's looks of the original codes, and which of them the renamed types got back.
    std::size_t library_types = 0;
    std::size_t same = 0;
    for (const auto& [key, look] : before) {
        const auto [section, value] = key;
        if (!from_library.count({section_name(section), value})) continue;
        // Points were looked up by their original spelling: 0x2f and 0x2f00 alike.
        auto code = renamed.find(value);
        if (code == renamed.end() && section == Section::Point && value > 0xFF) code = renamed.find(value >> 8);
        if (code == renamed.end()) continue;
        ++library_types;
        const auto renamed_look = after.find({section, code->second});
        if (renamed_look != after.end() && renamed_look->second == look) ++same;
    }
    ASSERT_GT(library_types, 150u);
    const double share = 100.0 * static_cast<double>(same) / static_cast<double>(library_types);
    std::printf("types of the default style that got their original look by their tags: %zu of %zu (%.1f %%)\n", same,
                library_types, share);
    EXPECT_GE(share, 80.0);
}

}  // namespace
}  // namespace tessaro
