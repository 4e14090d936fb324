// A rule condition through the tag reader, and the tags it gives through the
// matcher of a small library: never a crash, and only tags the condition names.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "library_text.h"
#include "tag_looks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaro;
    const std::string_view condition = as_text(data, size);
    const std::vector<RuleTag> tags = positive_tags(condition, true);
    for (const RuleTag& tag : tags) {
        require(!tag.key.empty() && !tag.value.empty(), "a tag has a key and a value");
        require(condition.find(tag.key) != std::string_view::npos, "a tag's key stands in the condition");
        require(tag.value == "*" || condition.find(tag.value) != std::string_view::npos,
                "a tag's value stands in the condition");
    }
    static const LibraryText library(
        "[_point]\r\nType=0x02a00\r\n;tags=amenity=restaurant\r\nXpm=\"0 0 1 0\"\r\n\"a c #000000\"\r\n[end]\r\n"
        "[_point]\r\nType=0x02a0a\r\n;tags=cuisine=pizza|amenity=restaurant&cuisine=pizza\r\n[end]\r\n"
        "[_point]\r\nType=0x02f0b\r\n;tags=amenity=parking&parking=*\r\n[end]\r\n");
    static const TagLooks looks(library);
    if (const std::optional<TagMatch> match = looks.best(tags))
        require(match->library_code.rfind("0x02", 0) == 0, "a match names a look of the library");
    return 0;
}
