#include "sample_map_command.h"

#include <filesystem>
#include <system_error>

#include "file_io.h"
#include "qt_text.h"
#include "sample_map.h"
#include "typ_reader.h"

namespace tessaro {

std::string write_sample_map(const std::string& typ_path, const std::string& png_path, bool night) {
    std::string text;
    if (std::error_code why; !read_file(typ_path, text, why)) return typ_path + ": " + why.message();
    const TypDocument doc = read_typ_text(text);
    if (doc.entries.empty()) return typ_path + ": no [_point], [_line] or [_polygon] entry to draw";
    // Written beside and renamed: a picture cut short never takes the old one's place.
    const QString target = to_qt(png_path);
    const QString part = target + ".part";
    const SampleMap map(doc);
    if (!map.fits()) {
        const QSize size = map.size();
        return typ_path + ": " + std::to_string(doc.entries.size()) + " entries make a map of " + std::to_string(size.width()) +
               " x " + std::to_string(size.height()) + " pixels, more than " +
               std::to_string(SampleMap::MAX_PIXELS >> 20) + " million: too large to draw";
    }
    if (!map.draw(night).save(part, "PNG")) return png_path + ": cannot be written";
    std::error_code moved;
    std::filesystem::rename(to_fs_path(from_qt(part)), to_fs_path(png_path), moved);
    if (moved) {
        std::error_code ignored;
        std::filesystem::remove(to_fs_path(from_qt(part)), ignored);
        return png_path + ": " + moved.message();
    }
    return {};
}

}  // namespace tessaro
