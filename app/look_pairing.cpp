#include "look_pairing.h"

#include <deque>
#include <map>
#include <string>
#include <utility>

#include "text_util.h"

namespace tessaro {

namespace {

using LookKey = std::pair<Section, std::string>;

LookKey key_of(Section section, const std::string& code) {
    return {section, to_lower(trim_blanks(code))};
}

}  // namespace

std::vector<std::optional<std::size_t>> pair_looks(const std::vector<TypEntry>& entries,
                                                   const std::vector<EntryLook>& looks) {
    std::map<LookKey, std::deque<std::size_t>> waiting;
    for (std::size_t i = 0; i < looks.size(); ++i) waiting[key_of(looks[i].section, looks[i].code)].push_back(i);
    std::vector<std::optional<std::size_t>> paired;
    paired.reserve(entries.size());
    for (const TypEntry& e : entries) {
        const auto found = waiting.find(key_of(e.section, e.type));
        if (found == waiting.end() || found->second.empty()) {
            paired.emplace_back();
            continue;
        }
        paired.emplace_back(found->second.front());
        found->second.pop_front();
    }
    return paired;
}

}  // namespace tessaro
