#include "rule_reader.h"
#include <random>
#include "support/temp_dir.h"
#include "text_util.h"

namespace tessaro {
namespace {
// An item as "line: <after> @<before>".
using Items = std::vector<std::string>;

Items item_texts(const RuleReader& reader) {
    Items out;
    for (const RuleItem& item : reader.items()) out.push_back(std::to_string(item.line) + ": " + item.text());
    return out;
}

Items scan(const std::string& text) {
    RuleReader reader;
    reader.scan_text(text);
    return item_texts(reader);
}

TEST(ScanText, finds_every_type_bracket_as_mkgmap_reads_the_rules) {
    const std::pair<std::string, Items> cases[] = {
        // One bracket; normalised blanks and codes (more forms: the golden files).
        {"amenity=bar [0x2d02 resolution 24]", {"1: 0x2d02 resolution 24] @amenity=bar "}}, {"a\t=\tb  [0 x1f]", {"1: 0x1f] @a = b "}},
        // mkgmap reads decimal and octal codes too: a bracket starts with any digit.
        {"a=b [11522 resolution 24] c=d [ 010]\n[9]", {"1: 11522 resolution 24] c=d [ 010] @a=b ", "1:  010] @ c=d ", "2: 9] @"}},
        // A code on a line of its own joins the nearest earlier line without a bracket, past comments and blanks ...
        {"a=1 &\nb!=2 # why\n\n# note\n[0x05]", {"5: 0x05] @b!=2 "}},
        // ... but not to a line whose rule is complete, nor across the start of the file.
        {"a=1 [0x01]\n[0x02]", {"1: 0x01] @a=1 ", "2: 0x02] @"}}, {"[0x03]", {"1: 0x03] @"}},
        // A bracket spread over lines is one bracket, read from the line it opens on.
        {"x=y [\n0x2 level 3\n]\nz=w [0x3]", {"1: 0x2 level 3 ] @x=y ", "4: 0x3] @z=w "}},
        // "[" inside quotes, a regular expression or an action is no type bracket (more: the mkgmap_syntax golden files); an
        // action ends at its first "}"; actions and quotes run over lines.
        {"a=b { set c='[0x99]' }\nc=d { set d=e;\n\n # why\n add f=g\n} [0x3d]", {"6: 0x3d] @} "}},
        {"a=1 {name '${name} [x]' | {name 'y'} [0x2f01]\na=2 [0x2f02]", {"1: 0x2f01] @a=1 {name '${name} [x]' | {name 'y'} ", "2: 0x2f02] @a=2 "}},
        {"c=d { name \"a [0x01]\"\n | 'b' } [0x3d]", {"2: 0x3d] @ | 'b' } "}}, {"a='x\ny' [0x02]\nb=c [0x03]", {"1: 0x02] @a='x y' ", "3: 0x03] @b=c "}},
        {"name=\"[0x97]\" [0x3e]", {"1: 0x3e] @name=\"[0x97]\" "}}, {"name=[x] [  0x01]", {"1:  0x01] @name=[x] "}},
        // CR, LF and CR LF each end a line.
        {"r=s\r[0x5 resolution 24]\rt=u [0x6]\r\nv=w [0x7]\n\rx=y [0x8]\r",
         {"2: 0x5 resolution 24] @r=s", "3: 0x6] @t=u ", "4: 0x7] @v=w ", "6: 0x8] @x=y "}},
        // A bracket left open reads as it stands; a stray "[" reads on for a few lines only; a lone quote ends with its line.
        {"a=b [0x01 level 2\n", {"1: 0x01 level 2 @a=b "}}, {"name='it\na=b [0x03]", {"2: 0x03] @a=b "}},
        {"a=b [\n" + replace_all(std::string(40, '.'), ".", "c=d\n") + "e=f [0x02]\n", {"42: 0x02] @e=f "}}};
    for (const auto& [text, items] : cases) EXPECT_EQ(scan(text), items) << text;
}

// The faults a scan names, as "kind line".
std::vector<std::string> fault_texts(const std::vector<Warning>& faults) {
    std::vector<std::string> out;
    for (const Warning& w : faults) out.push_back(std::string(open_construct_name(w.kind)) + " " + std::to_string(w.line));
    return out;
}

// Each fault as mkgmap finds it, named once at the line where it opened; the rules after it are read. The open_constructs
// golden files hold a fault of each kind as map makers make them.
TEST(ScanText, names_a_construct_left_open_and_reads_the_rules_after_it) {
    const std::string action = open_construct_name(Warning::Kind::ActionNotClosed);
    const std::string quote = open_construct_name(Warning::Kind::QuoteNotClosed);
    const std::string bracket = open_construct_name(Warning::Kind::BracketNotClosed);
    std::string forty_rules;
    for (int i = 0; i < 40; ++i) forty_rules += "a=" + std::to_string(i) + " [0x" + std::to_string(10 + i) + "]\n";
    const std::tuple<std::string, std::size_t, std::vector<std::string>> cases[] = {  // text, items found, faults named
        {"b=* { set a=b;\n set c=d\n" + forty_rules, 40, {action + " 1"}}, {"a=b { set x=y\n", 0, {action + " 1"}},
        // A quote or action left open ends before a type bracket of its line.
        {"b=* {add x=y [0x02]\na=3 [0x03]", 2, {action + " 1"}}, {"b=* {add x=y;\n set a=b [0x02]\na=3 [0x03]", 2, {action + " 1"}},
        {"name='it\n" + forty_rules, 40, {quote + " 1"}},
        // ... also where a later line's quote would close it, taking in that line's bracket.
        {"a=1 [0x01]\nname='x\nb=c { set d='e' } [0x02]\nf=g [0x03]", 3, {quote + " 2"}},
        {"a=1 [0x01 level 2\n", 1, {bracket + " 1"}},
        // A bracket is read on for a few lines only, however they go on.
        {"a=1 [0x01\n" + replace_all(std::string(20, '.'), ".", " level 2\n") + "]\nb=c [0x02]", 2, {bracket + " 1"}},
        // What mkgmap reads is no fault.
        {"a=1 [0x01\n resolution 24\n\n# why\n]\nb=* {add x=y;\n set z=w }\na=2 [0x02]", 2, {}},
        {"a='x\ny' [0x01]\nb=c {name 'p'\n | 'q' } [0x02]", 2, {}},
    };
    for (const auto& [text, items, faults] : cases) {
        RuleReader reader;
        reader.scan_text(text);
        EXPECT_EQ(reader.items().size(), items) << text;
        EXPECT_EQ(fault_texts(reader.take_faults()), faults) << text;
    }
    // The rules after a fault are those of the text without it.
    EXPECT_EQ(scan("a=1 [0x01]\nm=* {add m='${m}'\n" + forty_rules), scan("a=1 [0x01]\nm=* {add m='${m}'}\n" + forty_rules));
}

// The normalisations one after the other, each a plain replacement over the whole text.
std::string normalised_plainly(const std::string& text) {
    return replace_all(replace_all(replace_all(replace_all(replace_all(text, "\r", ""), "\t", " "), "  ", " "), "0 X", "0x"), "0 x", "0x");
}

// Random texts of the bytes that normalising looks at.
TEST(NormaliseRuleText, does_what_the_replacements_do_one_after_the_other) {
    std::mt19937 rng(3);
    const std::string alphabet = "  \t\r0xXa\n";
    for (int i = 0; i < 20000; ++i) {
        std::string text(rng() % 70, ' ');
        for (char& c : text) c = alphabet[rng() % alphabet.size()];
        std::string done = text;
        done.resize(normalise_rule_text(done.data(), done.size()));
        ASSERT_EQ(done, normalised_plainly(text)) << testing::PrintToString(text);
    }
}

// A rule text of what the scan treats apart: comments, lone codes, quotes, braces, brackets over lines, tabs, CRs, odd codes.
std::string random_rules(std::mt19937& rng, std::size_t bytes) {
    static const char* const parts[] = {
        "amenity=pub", " & ", "name=*", " [0x2f0b resolution 24]", "[ 0X01 level 2]", "\t[0x10f04]", "  [0 x3c]",
        " # note [0x99]", "#", "\r", "\r\n", "[x] ", "{ set a=b }", "{", "}", "'", "\"", "name~'[a]'", "0x12", " ",
        "\t", "=", "[", "]", "highway=motorway", " [0x01 road_class=4]", "landuse=basin", "0 X7", "x", "[\n0x5",
        "include 'inc/a';", " include b from other", "include", "\tinclude \"c d\" # e", "from"};
    std::string text;
    while (text.size() < bytes) {
        const int words = static_cast<int>(rng() % 6);
        for (int w = 0; w < words; ++w) text += parts[rng() % std::size(parts)];
        text += '\n';
    }
    return text;
}

// What reading a file gave, its include statements kept.
struct FileRead {
    Items items;
    std::optional<Failure> failure;
    std::optional<std::vector<IncludeStatement>> statements;
    std::vector<Warning> faults;
};

FileRead read_file(const std::string& path, RuleReader::Items kind) {
    RuleReader reader;
    reader.open(path, kind, true);
    Items items = item_texts(reader);
    std::optional<Failure> failure = reader.close();
    return {std::move(items), failure, reader.take_statements(), reader.take_faults()};
}

// Reading a file finds what scanning its text finds (large, CRs alone, no last line feed), and the text's include statements.
TEST(OpenRuleFile, finds_what_scanning_its_text_finds) {
    test::TempDir dir;
    std::mt19937 rng(5);
    std::string big = random_rules(rng, 700 * 1024);
    big += "a=b" + std::string(300 * 1024, ' ') + "[0x05 resolution 24]\n" + random_rules(rng, 1000) + "c=d [0x06]";
    const std::string mac = replace_all(random_rules(rng, 600 * 1024), "\n", "\r");
    // Faults far into a large file.
    std::string faulty;
    for (int i = 0; faulty.size() < 300 * 1024; ++i)
        faulty += "highway=h" + std::to_string(i) + (i % 3 == 0 ? " { set x='y' }" : "") + " [0x" + std::to_string(i % 900 + 100) + "]\n";
    faulty.insert(faulty.find('\n', 256 * 1024 - 200) + 1, "name='it [0x7f]\nm=* {add m=n\n");
    const std::string texts[] = {big, mac, faulty, random_rules(rng, 3000), "", "a=b\n[0x01]", "\n\n"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(std::to_string(text.size()) + " bytes");
        const std::string path = dir.write("rules", text);
        const FileRead read = read_file(path, RuleReader::Items::Rules);
        EXPECT_FALSE(read.failure);
        EXPECT_EQ(read.items, scan(text));
        RuleReader scanned;
        scanned.scan_text(text);
        EXPECT_EQ(fault_texts(read.faults), fault_texts(scanned.take_faults()));
        EXPECT_TRUE(text != faulty || read.faults.size() == 2u);
        EXPECT_EQ(read.statements, include_statements(text));
        EXPECT_EQ(read_file(path, RuleReader::Items::None).statements, read.statements);
        EXPECT_TRUE(text.size() < 500 * 1024 || text.find('\n') == std::string::npos || read.statements->size() > 100);
        RuleReader words;  // only normalised: the whole text in one piece, and no items
        words.open(path, RuleReader::Items::None);
        EXPECT_TRUE(words.text() == normalised_plainly(text) && words.items().empty());
    }
    // A file whose brackets all stand in quotes or actions is named; a UTF-16 file (any with NUL bytes) is no text.
    const FileRead hidden = read_file(dir.write("hidden", "a=b {name '[0x01]'}\n# [0x02]\n"), RuleReader::Items::Rules);
    EXPECT_TRUE(!hidden.failure && hidden.faults.size() == 1u && hidden.faults[0].kind == Warning::Kind::NoTypesRead);
    const FileRead utf16 = read_file(dir.write("utf16", std::string("\xff\xfe" "a\0=\0b\0 \0[\0" "0\0x\0" "1\0]\0\n\0", 22)), RuleReader::Items::Rules);
    EXPECT_TRUE(utf16.items.empty() && utf16.failure == (Failure{Failure::Kind::NotText, dir / "utf16", 0, {}}));
    // A line longer than any rule is named and passed over, also at the end of the file.
    for (const std::string& tail : {std::string("\nb=c [0x02]\n"), std::string()}) {
        const FileRead read = read_file(dir.write("long", "a=b [0x01]\n" + std::string(17u << 20, 'x') + tail), RuleReader::Items::Rules);
        EXPECT_FALSE(read.failure);
        EXPECT_EQ(read.items, tail.empty() ? Items{"1: 0x01] @a=b "} : (Items{"1: 0x01] @a=b ", "3: 0x02] @b=c "}));
        EXPECT_TRUE(read.faults.size() == 1u && read.faults[0].kind == Warning::Kind::LineTooLong && read.faults[0].line == 2u);
    }
    const FileRead missing = read_file(dir / "none", RuleReader::Items::Rules);
    EXPECT_TRUE(missing.items.empty());
    EXPECT_EQ(missing.failure, (Failure{Failure::Kind::Read, dir / "none", 0, std::make_error_code(std::errc::no_such_file_or_directory)}));
}
}  // namespace
}  // namespace tessaro
