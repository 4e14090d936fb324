#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "section.h"

namespace tessaro {

struct CliOptions {
    std::string style_folder;
    std::optional<std::string> output;
    std::optional<std::string> check;  // a TYP text to read and report on, instead of converting
    std::optional<std::string> style;  // with check: the style folder the text must match
    std::optional<std::string> res_dir;
    std::optional<std::string> polygon_library;
    std::optional<std::uint64_t> seed;
    std::optional<std::string> report;  // where each entry's look came from, one line per entry
    PerSection<std::vector<std::string>> inc_groups;  // --inc-points, --inc-lines, --inc-polygons
    bool auto_inc = false;
    PerSection<bool> sections{{true, true, true}};  // cleared by --no-points, --no-lines, --no-polygons
    bool tag_text = false;
    bool classic_looks = false;
    bool strict = false;  // --check fails on warnings too
    bool update = false;  // keep the old TYP text's header and entries, add the types it lacks
    bool prune = false;   // with update: drop the entries of types the style no longer uses
    bool force = false;   // with update: replace an old TYP text that has errors
    bool quiet = false;
    bool help = false;
    bool version = false;
};

struct CliParse {
    CliOptions options;
    std::string error;  // non-empty: bad usage
};

CliParse parse_cli(const std::vector<std::string>& args);

std::string cli_usage();

}  // namespace tessaro
