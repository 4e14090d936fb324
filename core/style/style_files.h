#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "create_typ.h"
#include "failure.h"
#include "section.h"
#include "warning.h"

namespace tessaro {

// One file a run reads types from: its section and where it came from.
struct StyleFile {
    enum class Origin {
        RuleFile,      // the style's points, lines or polygons
        IncludeGroup,  // an include file sorted into the section's group
        OtherStyle,    // a file of another style that the style takes rules from
    };
    Section section = Section::Point;
    std::string path;
    Origin origin = Origin::RuleFile;
};

// A style resolved into what a run reads, in the run's order, and what the resolving met where it met it: the rule
// files of the sections that are on and that `kinds` (the check's) lists, polygons, lines, points; then the include
// files of the point, line and polygon groups, each followed by the files its section takes from other styles. A
// group name that could lead out of the style folder, or an other style's file named so that it could lead out of
// the styles folder, is no file but a failure; a missing other style, an include file gone since the sorting, and
// (unless the request follows them) the statements that take rules from other styles are warnings.
using StylePlan = std::vector<std::variant<StyleFile, Warning, Failure>>;
StylePlan plan_style_files(const CreateTypRequest& request, const std::string& kinds);

// The first input of the run that is the same file as `path` (through links,
// hard links or another spelling of its path), if any: a file the run must not write.
std::optional<std::string> input_at(const CreateTypRequest& request, const std::string& path);

}  // namespace tessaro
