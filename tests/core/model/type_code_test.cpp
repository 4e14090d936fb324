#include "type_code.h"
#include <cerrno>
#include <cstdlib>
#include <map>
#include <random>
#include "support/mkgmap.h"
#include "support/typ_binary.h"

namespace tessaro {
namespace {
// C's strtoull in base 0 reads a number as Java's Integer.decode, which mkgmap decodes codes with, does: "0x" hexadecimal, a
// leading 0 octal, else decimal. mkgmap takes no sign, and nothing beyond a Java int.
std::optional<std::uint32_t> by_strtoull(const std::string& code) {
    if (code.empty() || code[0] < '0' || code[0] > '9') return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(code.c_str(), &end, 0);
    if (end != code.c_str() + code.size() || errno == ERANGE || value > 0x7FFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

TEST(CodeValue, reads_what_strtoull_reads_in_base_0_up_to_a_java_int_and_refuses_everything_else) {
    std::mt19937 rng(9);
    const std::string alphabet("0xX1789aAfFgG-+ \0", 17);
    const char* const starts[] = {"0x", "0X", "0", "", "1", "2"};
    for (int i = 0; i < 300000; ++i) {
        std::string code = starts[rng() % std::size(starts)];
        const std::size_t fixed = code.size();
        code.resize(fixed + rng() % 12);
        for (std::size_t k = fixed; k < code.size(); ++k) code[k] = alphabet[rng() % alphabet.size()];
        ASSERT_EQ(code_value(code), by_strtoull(code)) << testing::PrintToString(code);
        // The reader's inline reading of a bracket agrees with the general one.
        const std::string bracket = " " + code + " resolution 24]";
        const LeadingCode lead = leading_code(bracket);
        ASSERT_EQ(lead.value, code_value(lead.code)) << testing::PrintToString(code);
    }
}

// The codes whose TYP types are compared: the edges of each section's reading, in hexadecimal, decimal and octal.
const std::vector<std::string> CODES = {"0x00", "0", "0xff", "255", "0x100", "256", "0x5000", "20480", "0x5001", "20481", "0x4f01",
                                        "0x4f00", "0x4f", "047400", "0x10000", "0x10f00", "0x10f", "0x10f04", "0x1ffff", "0x2f", "47",
                                        "0x2f00", "0X2F02", "11522", "010", "0x02", "0x200", "0x300", "3", "0xffff"};

// A Type= value as mkgmap's TYP compiler files it: up to 0xff a type without subtype (the next test holds this against the
// compiler itself).
std::uint32_t filed_as(std::uint32_t value) { return value <= 0xff ? value << 8 : value; }

// One mkgmap run reads a style of every code of CODES in each section, and a style for each code at the edge of what it takes
// (it stops at the first code it refuses).
TEST(CodeValue, reads_refuses_and_files_codes_as_mkgmap_reads_them_from_a_style) {
    if (const std::string why = test::mkgmap_jar_missing(); !why.empty()) GTEST_SKIP() << why;
    const std::pair<std::string, bool> edges[] = {
        {"0x7fffffff", true}, {"2147483647", true}, {"017777777777", true}, {"00", true}, {"0x0002f0b", true}, {"0x80000000", false},
        {"2147483648", false}, {"020000000000", false}, {"0x", false}, {"1e3", false}, {"0x2f0g", false}, {"00x2f05", false},
        {"0x2f06resolution", false}, {"09", false}, {"0x-5", false}};
    const test::TempDir tmp;
    std::vector<test::StyleToRead> styles{{tmp / "styles", "codes", ""}};
    std::string rules;
    for (const std::string& code : CODES) rules += "a=b [" + code + " resolution 24]\n";
    for (Section s : ALL_SECTIONS) tmp.write(std::string("styles/codes/") + rule_file_name(s), rules);
    for (std::size_t i = 0; i < std::size(edges); ++i) {
        styles.push_back({tmp / "styles", "s" + std::to_string(i), ""});
        tmp.write("styles/s" + std::to_string(i) + "/points", "a=b [" + edges[i].first + " resolution 24]\n");
    }
    for (const test::StyleToRead& style : styles) tmp.write("styles/" + style.name + "/version", "0\n");
    const std::map<std::string, std::string> read = test::mkgmap_printed_styles(tmp, styles);
    ASSERT_TRUE(read.count("codes")) << test::read_bytes(tmp / "codes.err");
    for (Section s : ALL_SECTIONS) {
        const std::vector<std::string> printed = test::printed_codes(test::printed_section(read.at("codes"), s));
        ASSERT_EQ(printed.size(), CODES.size()) << section_name(s);
        for (std::size_t i = 0; i < CODES.size(); ++i) {
            SCOPED_TRACE(std::string(section_name(s)) + " " + CODES[i]);
            const std::uint32_t value = *code_value(CODES[i]), theirs = static_cast<std::uint32_t>(std::stoul(printed[i], nullptr, 16));
            if (s != Section::Polygon) {
                EXPECT_EQ(value, theirs);  // mkgmap prints a polygon's 0x5000 as 0x50
            }
            EXPECT_EQ(code_typ_type(s, value), filed_as(theirs));
            // The entry's own Type= is filed as the same type.
            EXPECT_EQ(code_typ_type(s, value), filed_as(*code_value(typ_code(CODES[i], value))));
        }
    }
    for (std::size_t i = 0; i < std::size(edges); ++i) {
        const auto& [code, taken] = edges[i];
        const auto it = read.find(styles[i + 1].name);
        ASSERT_EQ(it != read.end(), taken) << code << ": " << test::read_bytes(tmp / (styles[i + 1].name + ".err"));
        const std::vector<std::string> printed =
            taken ? test::printed_codes(test::printed_section(it->second, Section::Point)) : std::vector<std::string>{};
        ASSERT_EQ(printed.size(), taken ? 1u : 0u) << code;
        EXPECT_EQ(code_value(code), taken ? std::optional<std::uint32_t>(std::stoul(printed[0], nullptr, 16)) : std::nullopt) << code;
    }
}

// Two codes are one TYP type exactly when mkgmap's TYP compiler files the entries written for them under one key: a text
// holds one entry for each.
TEST(CodeTypType, tells_codes_apart_exactly_as_mkgmaps_typ_compiler_files_their_entries) {
    if (const std::string why = test::mkgmap_jar_missing(); !why.empty()) GTEST_SKIP() << why;
    const test::TempDir tmp;
    std::string files;
    for (Section s : ALL_SECTIONS) {
        for (std::size_t i = 0; i < CODES.size(); ++i) {
            const std::string type = typ_code(CODES[i], *code_value(CODES[i]));
            const std::string name = std::string(section_name(s)) + std::to_string(i);
            const std::string order = s == Section::Polygon ? "[_drawOrder]\r\nType=" + type + ",1\r\n[End]\r\n" : "";
            tmp.write(name + ".txt", "[_id]\r\nProductCode=1\r\nFID=12345\r\nCodePage=1252\r\n[End]\r\n" + order + "[_" +
                                         section_name(s) + "]\r\nType=" + type + "\r\n" +
                                         (s == Section::Point ? "Xpm=\"1 1 1 1\"\r\n\"a c #8CC4F0\"\r\n\"a\"\r\n[end]\r\n"
                                                              : "Xpm=\"0 0 1 0\"\r\n\"1 c #8CC4F0\"\r\n[end]\r\n"));
            files += " " + name + ".txt";
        }
    }
    const std::string run = "cd '" + tmp.path() + "' && java -jar " + test::MKGMAP_JAR +
                            " --family-id=12345 --code-page=1252" + files + " > mkgmap.log 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0) << test::read_bytes(tmp / "mkgmap.log");
    for (Section s : ALL_SECTIONS) {
        std::vector<std::uint16_t> keys;
        for (std::size_t i = 0; i < CODES.size(); ++i) {
            const std::optional<std::uint16_t> key = test::first_typ_key(
                test::read_bytes(tmp / (std::string(section_name(s)) + std::to_string(i) + ".typ")), 0x33 + 10 * static_cast<std::size_t>(s));
            ASSERT_TRUE(key) << section_name(s) << " " << CODES[i];
            keys.push_back(*key);
        }
        for (std::size_t a = 0; a < CODES.size(); ++a)
            for (std::size_t b = a + 1; b < CODES.size(); ++b)
                EXPECT_EQ(keys[a] == keys[b], code_typ_type(s, *code_value(CODES[a])) == code_typ_type(s, *code_value(CODES[b])))
                    << section_name(s) << " " << CODES[a] << " and " << CODES[b];
    }
}
}  // namespace
}  // namespace tessaro
