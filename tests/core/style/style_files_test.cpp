#include "style_files.h"
#include <algorithm>
#include "create_typ.h"
#include "support/temp_dir.h"

namespace tessaro {
namespace {
// What a run reads, in its order, with where each file came from: the rule
// files, then each group's include files followed by the other styles' files
// its section takes.
TEST(PlanStyleFiles, lists_rule_files_then_each_group_with_its_other_styles_files_and_says_where_each_came_from) {
    test::TempDir dir;
    dir.write("styles/s/points", "a=b [0x2f01 resolution 24]\n");
    dir.write("styles/s/lines", "a=b [0x01 resolution 24]\n");
    dir.write("styles/s/inc/roads", "a=b [0x02 resolution 24]\n");
    dir.write("styles/base/lines", "a=b [0x03 resolution 24]\n");
    CreateTypRequest request;
    request.style_folder = dir / "styles/s";
    request.include_files.found = {"roads"};
    request.include_files.groups[Section::Line] = {"roads", "gone"};
    request.include_files.other_styles[Section::Line] = {{"base", "lines"}};
    request.include_files.other_styles[Section::Polygon] = {{"missing", "polygons"}};
    std::vector<std::string> files;
    std::vector<StyleFile::Origin> origins;
    std::vector<Warning::Kind> warnings;
    for (const auto& step : plan_style_files(request, "lp")) {
        if (const auto* file = std::get_if<StyleFile>(&step)) {
            std::string path = file->path.substr(request.style_folder.size() - 1);
            std::replace(path.begin(), path.end(), '\\', '/');  // Windows joins paths with "\\"
            files.push_back(std::string(section_name(file->section)) + " " + path);
            origins.push_back(file->origin);
        } else if (const auto* warning = std::get_if<Warning>(&step)) {
            warnings.push_back(warning->kind);
        }
    }
    using O = StyleFile::Origin;
    EXPECT_EQ(files, (std::vector<std::string>{"line s/lines", "point s/points", "line s/inc/roads",
                                               "line base/lines"}));
    EXPECT_EQ(origins, (std::vector<O>{O::RuleFile, O::RuleFile, O::IncludeGroup, O::OtherStyle}));
    EXPECT_EQ(warnings, (std::vector<Warning::Kind>{Warning::Kind::IncludeFileGone, Warning::Kind::OtherStyleMissing}));
}
}  // namespace
}  // namespace tessaro
