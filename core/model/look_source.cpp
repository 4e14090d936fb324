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

std::string look_reason(const EntryLook& look) {
    std::string reason;
    if (!look.replaced.empty()) reason = "tags over the code's look " + look.replaced;
    if (!look.variant_of.empty()) reason += (reason.empty() ? "" : "; ") + ("variant of " + look.variant_of);
    if (!reason.empty()) return reason;
    switch (look.source) {
        case LookSource::Library: return "the code's look";
        case LookSource::Table: return "the code's built-in look";
        case LookSource::Tags: return "tags; the code has no look";
        case LookSource::Marker: return "the marker of the code's category";
        case LookSource::Family: return "no look for the tags: a colour of the key's family";
        case LookSource::Random: return "nothing known: a random colour";
        case LookSource::Kept: return "kept from the old text";
        case LookSource::Unused: return "kept from the old text, unused";
    }
    return {};
}

std::string look_report(const std::vector<EntryLook>& looks, bool classic) {
    const auto field = [](const std::string& text) { return text.empty() ? std::string("-") : printable(text); };
    std::string text = classic ? "" : "section\tcode\tsource\tlibrary look\tmatched tags\twhy\tcondition\n";
    for (const EntryLook& look : looks) {
        text.append(section_name(look.section)).append("\t").append(field(look.code)).append("\t");
        text.append(look_source_name(look.source)).append("\t").append(field(look.library_code)).append("\t");
        text.append(field(look.matched)).append("\t");
        if (!classic) text.append(printable(look_reason(look))).append("\t");
        text.append(field(look.condition)).append("\n");
    }
    return text;
}

}  // namespace tessaro
