#include "cli_options.h"

#include <charconv>

namespace tessaro {

namespace {

bool parse_seed(const std::string& text, std::uint64_t& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return !text.empty() && ec == std::errc() && ptr == end;
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
        if (!positional_only && arg.rfind("--", 0) == 0 && arg.find('=') != std::string::npos) {
            inline_value = arg.substr(arg.find('=') + 1);
            arg.resize(arg.find('='));
        }
        auto value = [&](std::string& into) {
            if (inline_value) {
                into = *inline_value;
                return true;
            }
            if (i + 1 >= args.size()) {
                r.error = "option " + arg + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        std::string v;
        if (positional_only || arg.empty() || arg[0] != '-' || arg == "-") {
            if (!o.style_folder.empty()) {
                r.error = "only one style folder can be given";
                return r;
            }
            o.style_folder = arg;
        } else if (arg == "--") {
            positional_only = true;
        } else if (arg == "-o" || arg == "--output") {
            if (!value(v)) return r;
            o.output = v;
        } else if (arg == "--check") {
            if (!value(v)) return r;
            o.check = v;
        } else if (arg == "--style") {
            if (!value(v)) return r;
            o.style = v;
        } else if (arg == "--res") {
            if (!value(v)) return r;
            o.res_dir = v;
        } else if (arg == "--report") {
            if (!value(v)) return r;
            o.report = v;
        } else if (arg == "--polygon-library") {
            if (!value(v)) return r;
            o.polygon_library = v;
        } else if (arg == "--seed") {
            if (!value(v)) return r;
            std::uint64_t seed = 0;
            if (!parse_seed(v, seed)) {
                r.error = "--seed takes a whole number, not '" + v + "'";
                return r;
            }
            o.seed = seed;
        } else if (arg == "--inc-points" || arg == "--inc-lines" || arg == "--inc-polygons") {
            if (!value(v)) return r;
            const Section group = arg == "--inc-points" ? Section::Point
                                  : arg == "--inc-lines"  ? Section::Line
                                                          : Section::Polygon;
            o.inc_groups[group].push_back(v);
        } else if (inline_value) {
            r.error = "option " + arg + " takes no value";
            return r;
        } else if (arg == "--no-points") {
            o.sections[Section::Point] = false;
        } else if (arg == "--no-lines") {
            o.sections[Section::Line] = false;
        } else if (arg == "--no-polygons") {
            o.sections[Section::Polygon] = false;
        } else if (arg == "--auto-inc") {
            o.auto_inc = true;
        } else if (arg == "--tag-text") {
            o.tag_text = true;
        } else if (arg == "--classic-looks") {
            o.classic_looks = true;
        } else if (arg == "--strict") {
            o.strict = true;
        } else if (arg == "--update") {
            o.update = true;
        } else if (arg == "--prune") {
            o.prune = true;
        } else if (arg == "--force") {
            o.force = true;
        } else if (arg == "-q" || arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else {
            r.error = "unknown option " + arg;
            return r;
        }
    }
    if (o.check && !o.style_folder.empty()) r.error = "--check takes no style folder; give it with --style";
    else if (o.style && !o.check) r.error = "--style goes with --check FILE only";
    else if (o.strict && !o.check) r.error = "--strict goes with --check";
    else if (o.update && o.check) r.error = "--update goes with a style folder, not with --check";
    else if (o.prune && !o.update) r.error = "--prune goes with --update";
    else if (o.force && !o.update) r.error = "--force goes with --update";
    else if (!o.help && !o.version && !o.check && o.style_folder.empty()) r.error = "no style folder given";
    return r;
}

}  // namespace tessaro
