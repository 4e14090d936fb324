#include "style_generator.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "entry_builder.h"
#include "style_vocabulary.h"

namespace tessaro {

namespace fs = std::filesystem;

namespace {

// Entries per library file: about what a full hand-made library holds.
constexpr std::size_t LIBRARY_ENTRIES = 2000;
// Share of code-bearing rules whose code appears nowhere else, in percent.
constexpr unsigned UNIQUE_CODE_PERCENT = 5;
constexpr std::size_t FLUSH_BYTES = 1 << 20;

// Draws from the generator's engine; modulo keeps the bytes the same with every
// standard library (the distributions are not fully pinned down).
class Dice {
public:
    explicit Dice(std::mt19937_64& engine) : m_engine(engine) {}
    std::size_t pick(std::size_t n) { return static_cast<std::size_t>(m_engine() % n); }
    bool chance(unsigned percent) { return m_engine() % 100 < percent; }
    template <typename T>
    const T& one_of(const std::vector<T>& v) { return v[pick(v.size())]; }

private:
    std::mt19937_64& m_engine;
};

// A file written through a large buffer, so that a 60 MB rule file costs few writes.
class OutFile {
public:
    explicit OutFile(const std::string& path) : m_path(path), m_file(std::fopen(path.c_str(), "wb")) {
        if (m_file == nullptr) throw std::runtime_error(path + ": cannot be written");
        m_buffer.reserve(FLUSH_BYTES + 4096);
    }
    ~OutFile() {
        if (m_file != nullptr) std::fclose(m_file);
    }
    OutFile(const OutFile&) = delete;
    OutFile& operator=(const OutFile&) = delete;

    void line(std::string_view text) {
        m_buffer.append(text);
        m_buffer.push_back('\n');
        ++m_lines;
        if (m_buffer.size() >= FLUSH_BYTES) flush();
    }
    std::size_t lines() const { return m_lines; }

    void close() {
        flush();
        const int rc = std::fclose(m_file);
        m_file = nullptr;
        if (rc != 0) throw std::runtime_error(m_path + ": cannot be written");
    }

private:
    void flush() {
        if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
            throw std::runtime_error(m_path + ": cannot be written");
        m_buffer.clear();
    }

    std::string m_path;
    std::FILE* m_file;
    std::string m_buffer;
    std::size_t m_lines = 0;
};

using detail::line_vocabulary;
using detail::point_vocabulary;
using detail::polygon_vocabulary;
using detail::SectionVocabulary;

// The code as rules write it: points with four hex digits, lines and polygons with two.
std::string code_text(Section section, unsigned code, bool upper) {
    char buf[16];
    const bool wide = code > 0xff || section == Section::Point;
    std::snprintf(buf, sizeof buf, upper ? (wide ? "0x%04X" : "0x%02X") : (wide ? "0x%04x" : "0x%02x"), code);
    return buf;
}

// The k-th unique extended code of a section: an odd multiplier walks all
// 65536 codes of 0x1xxxx before any repeats.
unsigned unique_code(const SectionVocabulary& v, std::size_t k) {
    return 0x10000u | ((static_cast<unsigned>(k) * 0x9E37u + v.unique_salt) & 0xFFFFu);
}

const std::vector<std::string>& action_blocks() {
    static const std::vector<std::string> blocks = {
        "{ name '${name}' }",
        "{ name '${ref} ${name}' | '${ref}' | '${name}' }",
        "{ name '${name} ${ele|conv:m=>ft}' }",
        "{ set mkgmap:label:1='${name}'; set mkgmap:label:2='${ref}' }",
        "{ add access=no; set highway=track }",
        "{ set mkgmap:road-speed=1 }",
    };
    return blocks;
}

// Writes the rule text of one file: comments, blank lines, action-only rules,
// codes on their own line and, mostly, one rule with its code per line.
class RuleTextWriter {
public:
    RuleTextWriter(Dice& dice, SectionVocabulary& v) : m_dice(dice), m_v(v) {}

    void write(OutFile& out, std::size_t target_lines) {
        while (out.lines() < target_lines) {
            const std::size_t r = m_dice.pick(100);
            if (r < 6) {
                out.line("");
            } else if (r < 12) {
                out.line(m_dice.one_of(m_v.comments));
            } else if (r < 20) {
                out.line(condition(m_v.tags[m_dice.pick(m_v.tags.size())]) + " " + m_dice.one_of(action_blocks()));
            } else if (r < 26 && out.lines() + 2 <= target_lines) {
                // The code on its own line below its condition, as long rules are written.
                const Rule rule = next_rule();
                static const std::vector<std::string> indents = {"  ", "    ", "\t"};
                out.line(condition(rule.tag));
                out.line(m_dice.one_of(indents) + "[" + rule.bracket + "]");
            } else {
                const Rule rule = next_rule();
                std::string line = condition(rule.tag);
                if (m_dice.chance(20)) line += " " + m_dice.one_of(action_blocks());
                line += " [" + rule.bracket + "]";
                if (m_dice.chance(8)) line += " # " + rule.tag;
                out.line(line);
            }
        }
    }

private:
    struct Rule {
        std::string tag;
        std::string bracket;
    };

    std::string condition(const std::string& tag) {
        std::string c = tag;
        if (!m_dice.chance(50)) return c;
        const std::size_t first = m_dice.pick(m_v.extras.size());
        c += " & " + m_v.extras[first];
        if (m_dice.chance(50)) c += " & " + m_v.extras[(first + 1 + m_dice.pick(m_v.extras.size() - 1)) % m_v.extras.size()];
        return c;
    }

    Rule next_rule() {
        Rule rule;
        unsigned code;
        if (m_dice.chance(UNIQUE_CODE_PERCENT)) {
            code = unique_code(m_v, m_v.next_unique++);
            rule.tag = m_dice.one_of(m_v.tags);
        } else {
            const std::size_t i = m_dice.pick(m_v.pool.size());
            code = m_v.pool[i];
            rule.tag = m_v.tags[i % m_v.tags.size()];
        }
        rule.bracket = code_text(m_v.section, code, m_dice.chance(10));
        static const std::vector<std::string> resolutions = {"18", "20", "22", "24", "20-24", "22-24"};
        if (m_v.section == Section::Line && rule.tag.rfind("highway=", 0) == 0) {
            rule.bracket += " road_class=" + std::to_string(m_dice.pick(5)) +
                            " road_speed=" + std::to_string(m_dice.pick(8));
        }
        if (m_dice.chance(10)) rule.bracket += " level " + std::to_string(1 + m_dice.pick(3));
        else rule.bracket += " resolution " + m_dice.one_of(resolutions);
        if (m_dice.chance(5)) rule.bracket += m_v.section == Section::Line ? " continue with_actions" : " continue";
        return rule;
    }

    Dice& m_dice;
    SectionVocabulary& m_v;
};

// Action-only rules that set labels: an include file that defines no types.
void write_names_file(OutFile& out, Dice& dice, std::size_t target_lines) {
    static const std::vector<std::string> rules = {
        "name=* & ref=* { name '${ref} ${name}' }",
        "ref=* & name!=* { name '${ref}' }",
        "name:en=* & name!=* { name '${name:en}' }",
        "brand=* & name!=* { name '${brand}' }",
        "operator=* & name!=* { name '${operator}' }",
        "name=* { name '${name|subst:Strasse=>Str.}' }",
    };
    out.line("# Labels shared by points and lines");
    while (out.lines() < target_lines) {
        const std::size_t r = dice.pick(100);
        if (r < 8) out.line("");
        else if (r < 15) out.line("# label fallbacks");
        else out.line(dice.one_of(rules));
    }
}

std::string colour(Dice& dice) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(dice.pick(0x1000000)));
    return buf;
}

std::string label_of(const std::string& tag) {
    std::string label = tag.substr(tag.find('=') + 1);
    for (char& c : label)
        if (c == '_') c = ' ';
    if (!label.empty() && label[0] >= 'a' && label[0] <= 'z') label[0] = static_cast<char>(label[0] - 'a' + 'A');
    return label;
}

void write_library_entry(OutFile& out, Dice& dice, const SectionVocabulary& v, unsigned code, const std::string& tag) {
    const std::string label = label_of(tag);
    out.line(";" + label);
    out.line(std::string("[_") + section_name(v.section) + "]");
    out.line("Type=0x" + library_key(v.section, code_text(v.section, code, false)));
    if (v.section == Section::Line) {
        out.line("UseOrientation=N");
        out.line("LineWidth=" + std::to_string(1 + dice.pick(5)));
        out.line("BorderWidth=" + std::to_string(dice.pick(2)));
    }
    out.line("String1=0x04," + label);
    out.line("String2=0x02," + label);
    out.line("ExtendedLabels=Y");
    out.line("FontStyle=SmallFont");
    out.line("CustomColor=No");
    out.line("Xpm=\"16 16 4 1\"");
    out.line("\". c none\"");
    static const char PALETTE[] = ".abc";
    for (char c : std::string_view("abc")) out.line(std::string("\"") + c + " c #" + colour(dice) + "\"");
    for (int row = 0; row < 16; ++row) {
        std::string pixels = "\"";
        for (int col = 0; col < 16; ++col) pixels += PALETTE[dice.pick(4)];
        out.line(pixels + "\"");
    }
    out.line("[end]");
    out.line("");
}

// Every code of the pool, then the first unique codes, so that some of the
// unique codes of the rules find a library look and the rest do not.
void write_library(const std::string& path, Dice& dice, const SectionVocabulary& v) {
    OutFile out(path);
    std::size_t written = 0;
    for (std::size_t i = 0; i < v.pool.size() && written < LIBRARY_ENTRIES; ++i, ++written)
        write_library_entry(out, dice, v, v.pool[i], v.tags[i % v.tags.size()]);
    for (std::size_t k = 0; written < LIBRARY_ENTRIES; ++k, ++written)
        write_library_entry(out, dice, v, unique_code(v, k), v.tags[k % v.tags.size()]);
    out.close();
}

void write_main_file(const std::string& path, Dice& dice, SectionVocabulary& v,
                     const std::vector<std::string>& includes, std::size_t target_lines) {
    OutFile out(path);
    out.line("# Synthetic mkgmap style for the tessaro benchmarks");
    for (const std::string& inc : includes) out.line(inc);
    out.line("");
    RuleTextWriter(dice, v).write(out, target_lines);
    out.close();
}

// Include files per chain: the main rule file includes the first of a chain,
// each further one is included by the one before it.
constexpr std::size_t CHAIN = 4;

// Zero-padded, so that the listing's name order is the order of writing.
std::string include_file_name(std::size_t i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "f%06zu", i);
    return buf;
}

// Include statements as styles write them: mostly single quotes and ";",
// some in double quotes without.
std::string include_line(Dice& dice, const std::string& name) {
    return dice.chance(20) ? "include \"inc/" + name + "\"\n" : "include 'inc/" + name + "';\n";
}

// One write for a small file: a buffered OutFile would cost more than the file.
void write_text_file(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error(path + ": cannot be written");
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !written) throw std::runtime_error(path + ": cannot be written");
}

}  // namespace

GeneratedStyle StyleGenerator::generate(const std::string& folder, std::size_t rule_lines) {
    GeneratedStyle g;
    g.style_folder = (fs::path(folder) / "bench_style").string();
    g.res_folder = (fs::path(folder) / "res").string();
    fs::create_directories(fs::path(g.style_folder) / "inc");
    fs::create_directories(g.res_folder);

    Dice dice(m_engine);
    SectionVocabulary points = point_vocabulary();
    SectionVocabulary lines = line_vocabulary();
    SectionVocabulary polygons = polygon_vocabulary();

    const std::size_t n_points = rule_lines * 40 / 100;
    const std::size_t n_lines = rule_lines * 30 / 100;
    const std::size_t n_polygons = rule_lines * 20 / 100;
    const std::size_t n_includes = rule_lines - n_points - n_lines - n_polygons;
    const std::size_t n_inc = n_includes / 4;

    const auto rule_path = [&g](const std::string& name) { return (fs::path(g.style_folder) / name).string(); };
    write_main_file(rule_path("points"), dice, points, {"include 'inc/amenities';", "include 'inc/names';"}, n_points);
    write_main_file(rule_path("lines"), dice, lines, {"include \"inc/roads\""}, n_lines);
    write_main_file(rule_path("polygons"), dice, polygons, {"include 'inc/landuse';"}, n_polygons);

    {
        OutFile out(rule_path("inc/amenities"));
        RuleTextWriter(dice, points).write(out, n_inc);
        out.close();
    }
    {
        // Nested include: the proposal of groups has to follow it through inc/roads.
        OutFile out(rule_path("inc/roads"));
        out.line("include 'inc/names';");
        RuleTextWriter(dice, lines).write(out, n_inc);
        out.close();
    }
    {
        OutFile out(rule_path("inc/landuse"));
        RuleTextWriter(dice, polygons).write(out, n_inc);
        out.close();
    }
    {
        OutFile out(rule_path("inc/names"));
        write_names_file(out, dice, n_includes - 3 * n_inc);
        out.close();
    }
    g.rule_files = {rule_path("points"),        rule_path("lines"),     rule_path("polygons"),
                    rule_path("inc/amenities"), rule_path("inc/landuse"), rule_path("inc/names"),
                    rule_path("inc/roads")};
    g.rule_lines = rule_lines;

    const auto res_path = [&g](const std::string& name) { return (fs::path(g.res_folder) / name).string(); };
    write_library(res_path("points"), dice, points);
    write_library(res_path("lines"), dice, lines);
    write_library(res_path("pgons.pol"), dice, polygons);
    g.library_files = {res_path("points"), res_path("lines"), res_path("pgons.pol")};
    return g;
}

GeneratedIncludes StyleGenerator::generate_includes(const std::string& folder, std::size_t files) {
    GeneratedIncludes g;
    g.style_folder = (fs::path(folder) / "include_style").string();
    const fs::path inc = fs::path(g.style_folder) / "inc";
    fs::create_directories(inc);

    Dice dice(m_engine);
    PerSection<SectionVocabulary> vocabulary;
    vocabulary[Section::Point] = point_vocabulary();
    vocabulary[Section::Line] = line_vocabulary();
    vocabulary[Section::Polygon] = polygon_vocabulary();
    PerSection<std::string> main_text;
    for (Section s : ALL_SECTIONS) main_text[s] = "# Synthetic mkgmap style: its types are in the include files\n";

    // The last files are included by nobody: the proposal has to leave them out.
    g.files = files;
    g.included_by_nobody = std::min(files, std::max<std::size_t>(3, files / 1000));
    const std::size_t reached = files - g.included_by_nobody;
    static const std::vector<std::string> resolutions = {"18", "20", "22", "24", "20-24", "22-24"};
    for (std::size_t i = 0; i < files; ++i) {
        // Round robin over the sections, so that the groups interleave in the listing.
        const Section s = ALL_SECTIONS[i % SECTION_COUNT];
        const std::size_t k = i / SECTION_COUNT;  // place among the section's files
        const SectionVocabulary& v = vocabulary[s];
        const std::string name = include_file_name(i);
        std::string text = "# " + name + "\n" + dice.one_of(v.tags) + " [" +
                           code_text(s, dice.one_of(v.pool), false) + " resolution " + dice.one_of(resolutions) + "]\n";
        if (i < reached) {
            ++g.reached[s];
            if (k % CHAIN == 0) main_text[s] += include_line(dice, name);
            const std::size_t next = i + SECTION_COUNT;
            if ((k + 1) % CHAIN != 0 && next < reached) text += include_line(dice, include_file_name(next));
        }
        write_text_file((inc / name).string(), text);
    }
    for (Section s : ALL_SECTIONS) write_text_file((fs::path(g.style_folder) / rule_file_name(s)).string(), main_text[s]);
    return g;
}

}  // namespace tessaro
