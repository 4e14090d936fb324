#include "cli_options.h"

#include <charconv>
#include <string_view>
#include <utility>

namespace tessaro {

namespace {

bool parse_seed(const std::string& text, std::uint64_t& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// The options whose value is a path, kept as given.
const std::pair<std::string_view, std::optional<std::string> CliOptions::*> PATH_OPTIONS[] = {
    {"-o", &CliOptions::output},        {"--output", &CliOptions::output},
    {"--check", &CliOptions::check},    {"--style", &CliOptions::style},
    {"--res", &CliOptions::res_dir},    {"--report", &CliOptions::report},
    {"--polygon-library", &CliOptions::polygon_library},
};

const std::pair<std::string_view, Section> INC_OPTIONS[] = {
    {"--inc-points", Section::Point}, {"--inc-lines", Section::Line}, {"--inc-polygons", Section::Polygon}};

// The options that take no value.
const std::pair<std::string_view, bool CliOptions::*> SWITCHES[] = {
    {"--auto-inc", &CliOptions::auto_inc}, {"--tag-text", &CliOptions::tag_text},
    {"--classic-looks", &CliOptions::classic_looks}, {"--strict", &CliOptions::strict},
    {"--update", &CliOptions::update},     {"--prune", &CliOptions::prune},
    {"--force", &CliOptions::force},       {"-q", &CliOptions::quiet},
    {"--quiet", &CliOptions::quiet},       {"-h", &CliOptions::help},
    {"--help", &CliOptions::help},         {"--version", &CliOptions::version},
};

const std::pair<std::string_view, Section> SECTION_SWITCHES[] = {
    {"--no-points", Section::Point}, {"--no-lines", Section::Line}, {"--no-polygons", Section::Polygon}};

// The entry of a table that names the option, or null.
template <typename Value, std::size_t N>
const std::pair<std::string_view, Value>* find_option(const std::pair<std::string_view, Value> (&table)[N],
                                                      std::string_view arg) {
    for (const auto& entry : table)
        if (entry.first == arg) return &entry;
    return nullptr;
}

bool takes_value(std::string_view arg) {
    return arg == "--seed" || find_option(PATH_OPTIONS, arg) != nullptr || find_option(INC_OPTIONS, arg) != nullptr;
}

// Keeps the value of an option that takes one; false, with the reason, for a value it refuses.
bool set_value(std::string_view arg, const std::string& value, CliOptions& o, std::string& error) {
    if (const auto* path = find_option(PATH_OPTIONS, arg)) {
        o.*(path->second) = value;
    } else if (const auto* group = find_option(INC_OPTIONS, arg)) {
        o.inc_groups[group->second].push_back(value);
    } else {
        std::uint64_t seed = 0;
        if (!parse_seed(value, seed)) {
            error = "--seed takes a whole number, not '" + value + "'";
            return false;
        }
        o.seed = seed;
    }
    return true;
}

// Sets a switch; false for an option that is none.
bool set_switch(std::string_view arg, CliOptions& o) {
    if (const auto* flag = find_option(SWITCHES, arg)) o.*(flag->second) = true;
    else if (const auto* section = find_option(SECTION_SWITCHES, arg)) o.sections[section->second] = false;
    else return false;
    return true;
}

// What the options mean together that none of them says alone; empty when they fit.
std::string usage_conflict(const CliOptions& o) {
    if (o.check && !o.style_folder.empty()) return "--check takes no style folder; give it with --style";
    if (o.style && !o.check) return "--style goes with --check FILE only";
    if (o.strict && !o.check) return "--strict goes with --check";
    if (o.update && o.check) return "--update goes with a style folder, not with --check";
    if (o.prune && !o.update) return "--prune goes with --update";
    if (o.force && !o.update) return "--force goes with --update";
    if (!o.help && !o.version && !o.check && o.style_folder.empty()) return "no style folder given";
    return {};
}

}  // namespace

std::string cli_usage() {
    return "Usage: tessaro-cli [options] STYLE_FOLDER\n"
           "       tessaro-cli [--strict] --check FILE [--style STYLE_FOLDER]\n"
           "Writes a TYP text with one entry per type code that the style's rules use.\n"
           "\n"
           "  -o, --output FILE       TYP text to write (default: <style name>.txt in the current folder)\n"
           "  --no-points, --no-lines, --no-polygons   switch a section off\n"
           "  --tag-text              Include Tag Text (the rule as label of library looks)\n"
           "  --classic-looks         looks from the library, the built-in tables and random\n"
           "                          colours only: none by the rule's tags, no point markers\n"
           "  --report FILE           write where each entry's look came from, one line per entry\n"
           "  --res DIR               folder of the library files points, lines, pgons.pol\n"
           "                          (default: res beside the program, else\n"
           "                          ../share/tessaro/res from it)\n"
           "  --polygon-library FILE  polygon library file (default: DIR/pgons.pol)\n"
           "  --seed N                seed of the random colours, for repeatable output\n"
           "                          (default: the clock)\n"
           "  --inc-points NAME, --inc-lines NAME, --inc-polygons NAME\n"
           "                          put an include file in a group (repeatable): a name of the\n"
           "                          style's inc folder, or a file elsewhere in the style as the\n"
           "                          messages name it (sub/more, ./extra)\n"
           "  --auto-inc              sort the include files by the rule files that include them,\n"
           "                          wherever in the style folder they lie (include 'inc/roads';\n"
           "                          include 'sub/more'; explicit --inc-* options win), and read\n"
           "                          the rules taken from other styles beside the style folder\n"
           "                          (include 'points' from default; base-style=default in info)\n"
           "  --update                when the TYP text exists, keep its header, entries and draw\n"
           "                          order byte for byte, add entries for the style's types it\n"
           "                          lacks (and draw order lines for new polygons); entries of\n"
           "                          types the style no longer uses are kept and named\n"
           "  --prune                 with --update: drop those entries and their draw order lines\n"
           "                          (not after a fault of the style, named in a warning)\n"
           "  --force                 with --update: replace a TYP text that has errors as a fresh\n"
           "                          run would (without it, such a text is left as it was); with\n"
           "                          --prune, prune after a fault of the style all the same\n"
           "  --check FILE            read a TYP text as mkgmap does and report its problems\n"
           "                          (file:line: error: message, file:line: warning: message);\n"
           "                          exit 1 when there is an error: mkgmap would refuse the text\n"
           "  --strict                with --check: exit 1 on warnings too\n"
           "  --style STYLE_FOLDER    with --check: also the style's types without an entry (and\n"
           "                          the rule naming each first), polygon entries without a draw\n"
           "                          order line and entries the style does not use; --auto-inc,\n"
           "                          --inc-* and --no-* read the style as the conversion did\n"
           "  -q, --quiet             warnings off\n"
           "  -h, --help              this text\n"
           "  --version               the program version\n"
           "\n"
           "Exit status: 0 the TYP text was written completely, 1 the conversion failed or\n"
           "the file is incomplete, 2 bad usage.\n";
}

CliParse parse_cli(const std::vector<std::string>& args) {
    CliParse r;
    CliOptions& o = r.options;
    bool positional_only = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::optional<std::string> inline_value;
        if (!positional_only && arg.starts_with("--") && arg.find('=') != std::string::npos) {
            inline_value = arg.substr(arg.find('=') + 1);
            arg.resize(arg.find('='));
        }
        if (positional_only || arg.empty() || arg[0] != '-' || arg == "-") {
            if (!o.style_folder.empty()) {
                r.error = "only one style folder can be given";
                return r;
            }
            o.style_folder = arg;
        } else if (arg == "--") {
            positional_only = true;
        } else if (takes_value(arg)) {
            if (!inline_value && i + 1 >= args.size()) {
                r.error = "option " + arg + " needs a value";
                return r;
            }
            if (!set_value(arg, inline_value ? *inline_value : args[++i], o, r.error)) return r;
        } else if (inline_value) {
            r.error = "option " + arg + " takes no value";
            return r;
        } else if (!set_switch(arg, o)) {
            r.error = "unknown option " + arg;
            return r;
        }
    }
    r.error = usage_conflict(o);
    return r;
}

}  // namespace tessaro
