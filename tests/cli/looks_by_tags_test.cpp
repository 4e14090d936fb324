// Looks chosen by a rule's tags, held against the looks the library gives by
// code: mkgmap's default style with every type code renamed to an unused
// extended code still gets, for most of its types, the look its original
// code has.
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>

#include "support/cli_capture.h"
#include "support/mkgmap.h"
#include "support/temp_dir.h"
#include "typ_reader.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;

// Every entry's look by section and code value: its text without the code and the label, which differ by design.
std::map<std::pair<Section, unsigned long>, std::string> looks_by_code(const std::string& typ_path) {
    static const std::regex code_and_label(R"((^|\n)(Type|String1)=[^\r\n]*)");
    std::map<std::pair<Section, unsigned long>, std::string> looks;
    for (const TypEntry& e : read_typ_text(test::read_bytes(typ_path)).entries)
        looks[{e.section, std::stoul(e.type.substr(2), nullptr, 16)}] = std::regex_replace(e.text, code_and_label, "$1");
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
        std::string out, rest = text;
        for (std::sregex_iterator m(text.begin(), text.end(), bracket), end; m != end; ++m) {
            const unsigned long value = std::stoul((*m)[2], nullptr, 16);
            if (!renamed.count(value)) renamed[value] = next++;
            char code[32];
            std::snprintf(code, sizeof code, "[%s0x%lx", (*m)[1].str().c_str(), renamed[value]);
            out += m->prefix().str() + code;
            rest = m->suffix();
        }
        tmp.write(fs::relative(e.path(), tmp.path()).string(), out + rest);
    }
    ASSERT_GT(renamed.size(), 200u);
    for (const auto& [value, code] : renamed) ASSERT_EQ(renamed.count(code), 0u) << "0x" << std::hex << code << " is used";

    for (const std::string style : {"styles/default", "renamed"})
        EXPECT_EQ(test::convert(tmp / style, tmp / (style + ".txt"), {"--report", tmp / (style + ".report")}).exit_code, 0)
            << style;
    // The original entries whose look came from the library by their code: "section\tcode\tlibrary\t..." lines.
    std::set<std::pair<std::string, unsigned long>> from_library;
    static const std::regex library_line(R"((?:^|\n)(\w+)\t0x([0-9a-fA-F]+)\tlibrary\t)");
    const std::string report = test::read_bytes(tmp / "styles/default.report");
    for (std::sregex_iterator m(report.begin(), report.end(), library_line), end; m != end; ++m)
        from_library.insert({(*m)[1], std::stoul((*m)[2], nullptr, 16)});
    // Renamed types that took their original code's look by their tags, and a variant of it to tell them apart.
    std::set<std::pair<std::string, unsigned long>> variants;  // section, renamed code
    static const std::regex variant_line(R"((?:^|\n)(\w+)\t0x([0-9a-fA-F]+)\ttags\t0x([0-9a-fA-F]+)\t[^\n]*\tvariant of )");
    const std::string renamed_report = test::read_bytes(tmp / "renamed.report");
    std::map<unsigned long, unsigned long> original_of;
    for (const auto& [value, code] : renamed) original_of[code] = value;
    for (std::sregex_iterator m(renamed_report.begin(), renamed_report.end(), variant_line), end; m != end; ++m) {
        const unsigned long library = std::stoul((*m)[3], nullptr, 16), code = std::stoul((*m)[2], nullptr, 16);
        const auto original = original_of.find(code);
        if (original != original_of.end() && (original->second == library || original->second << 8 == library))
            variants.insert({(*m)[1], code});
    }
    const auto before = looks_by_code(tmp / "styles/default.txt");
    const auto after = looks_by_code(tmp / "renamed.txt");

    // The library's looks of the original codes, and which of them the renamed types got back.
    std::size_t library_types = 0, same = 0;
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
        else if (variants.count({section_name(section), code->second})) ++same;
    }
    ASSERT_GT(library_types, 150u);
    const double share = 100.0 * static_cast<double>(same) / static_cast<double>(library_types);
    std::printf("types of the default style that got their original look (or a variant of it) by their tags: %zu of %zu (%.1f %%)\n", same,
                library_types, share);
    EXPECT_GE(share, 80.0);
}

}  // namespace
}  // namespace tessaro
