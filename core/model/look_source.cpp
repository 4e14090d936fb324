#include "look_source.h"

#include <array>

#include "text_util.h"

namespace tessaro {

const char* look_source_name(LookSource source) {
    // In the order of the enum.
    constexpr const char* NAMES[] = {"library", "table", "tags", "marker", "family", "random", "kept", "unused"};
    static_assert(std::size(NAMES) == std::tuple_size_v<LookCounts>);
    return NAMES[static_cast<std::size_t>(source)];
}

LookCounts count_looks(const std::vector<EntryLook>& looks) {
    LookCounts counts{};
    for (const EntryLook& look : looks) ++counts[static_cast<std::size_t>(look.source)];
    return counts;
}

std::string look_summary(const LookCounts& counts) {
    constexpr LookSource ORDER[] = {LookSource::Kept,   LookSource::Library, LookSource::Table, LookSource::Tags,
                                    LookSource::Marker, LookSource::Family,  LookSource::Random, LookSource::Unused};
    static_assert(std::size(ORDER) == std::tuple_size_v<LookCounts>);
    std::size_t types = 0;
    for (const std::size_t n : counts) types += n;
    std::string text = std::to_string(types) + (types == 1 ? " type" : " types");
    const char* separator = ": ";
    for (const LookSource source : ORDER) {
        const std::size_t n = counts[static_cast<std::size_t>(source)];
        if (n == 0) continue;
        text += separator + std::to_string(n) + " " + look_source_name(source);
        separator = ", ";
    }
    return text;
}

std::string look_report(const std::vector<EntryLook>& looks) {
    const auto field = [](const std::string& text) { return text.empty() ? std::string("-") : printable(text); };
    std::string text;
    for (const EntryLook& look : looks) {
        text.append(section_name(look.section)).append("\t").append(field(look.code)).append("\t");
        text.append(look_source_name(look.source)).append("\t").append(field(look.library_code)).append("\t");
        text.append(field(look.matched)).append("\t").append(field(look.condition));
        if (!look.variant_of.empty()) text.append("\tvariant of ").append(printable(look.variant_of));
        text.append("\n");
    }
    return text;
}

}  // namespace tessaro
