// Draws every entry of the three library files, with its type code, name and
// the OpenStreetMap tags it stands for, into one picture: a catalogue of the
// looks for review. With "night", their night colours on a dark ground.
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QStringList>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string>
#include <vector>

#include "file_io.h"
#include "look_renderer.h"
#include "night_view.h"
#include "typ_reader.h"

namespace {

constexpr int COLUMNS = 6;
constexpr int CELL_WIDTH = 230;
constexpr int CELL_HEIGHT = 70;
constexpr int HEADING_HEIGHT = 40;
constexpr int MARGIN = 12;

struct Look {
    tessaro::TypEntry entry;
    std::string name;  // the comment line in front of the entry
    std::string tags;  // its tags line, alternatives between " | "
};

// The entry's ";tags=" line, written to read: "a=1 & b=2 | c=3".
std::string tags_of(const std::string& entry_text) {
    const std::size_t at = entry_text.find("\n;tags=");
    if (at == std::string::npos) return {};
    std::string tags = entry_text.substr(at + 7, entry_text.find('\n', at + 1) - at - 7);
    std::string out;
    for (char c : tags) out += c == '|' ? std::string(" | ") : c == '&' ? std::string(" & ") : std::string(1, c);
    return out;
}

std::vector<Look> looks_of(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    std::vector<Look> looks;
    for (tessaro::TypEntry& e : tessaro::read_typ_text(text).entries) {
        std::string name;
        if (e.first_line >= 2 && lines[e.first_line - 2].rfind(";", 0) == 0) name = lines[e.first_line - 2].substr(1);
        std::string tags = tags_of(e.text);
        looks.push_back({std::move(e), name, std::move(tags)});
    }
    return looks;
}

// Text broken at blanks into lines of at most `width` pixels; a word wider
// than that is cut with an ellipsis, so that nothing runs into the next
// picture or off the edge. Of more than `most` lines, the last one that fits
// ends in "..." (or an ellipsis where it is cut).
QStringList wrapped(const QString& text, const QFontMetrics& metrics, int width, int most) {
    QStringList lines;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        if (!lines.isEmpty() && metrics.horizontalAdvance(lines.back() + ' ' + word) <= width)
            lines.back() += ' ' + word;
        else
            lines.push_back(metrics.elidedText(word, Qt::ElideRight, width));
    }
    if (lines.size() > most && most > 0) {
        lines = lines.mid(0, most);
        lines.back() = metrics.elidedText(lines.back() + " ...", Qt::ElideRight, width);
    }
    return most > 0 ? lines : QStringList();
}

// One look in its cell: its picture, then beside it its code, its name in at
// most two lines and its tags, kept to the cell.
void draw_cell(QPainter& p, const Look& look_item, int x, int top, bool night, const QColor& ink, const QColor& faint) {
    const QPixmap look = tessaro::render_look(night ? tessaro::night_view(look_item.entry) : look_item.entry);
    p.drawPixmap(x, top + (CELL_HEIGHT - look.height()) / 2, look);
    QFont small;  // the application's font, as the headings' bold is not wanted here
    small.setPointSize(8);
    p.setFont(small);
    p.setPen(ink);
    // The text keeps to its cell: the code, the name in at most two lines, the tags below.
    const int left = x + look.width() + 4, width = CELL_WIDTH - look.width() - 10;
    p.setClipRect(QRect(left, top, width, CELL_HEIGHT));
    const QFontMetrics name_metrics = p.fontMetrics();
    const QStringList name_lines = QStringList{QString::fromStdString(look_item.entry.type)} +
                                   wrapped(QString::fromStdString(look_item.name), name_metrics, width, 2);
    int bottom = top + 2;
    for (const QString& line : name_lines) {
        p.drawText(left, bottom + name_metrics.ascent(), line);
        bottom += name_metrics.lineSpacing();
    }
    QFont tiny;
    tiny.setPointSize(6);
    p.setFont(tiny);
    p.setPen(faint);
    const QFontMetrics metrics = p.fontMetrics();
    const int room = (top + CELL_HEIGHT - 2 - bottom) / metrics.lineSpacing();
    const QStringList tag_lines = wrapped(QString::fromStdString(look_item.tags), metrics, width, room);
    for (int n = 0; n < tag_lines.size(); ++n)
        p.drawText(left, bottom + metrics.ascent() + n * metrics.lineSpacing(), tag_lines[n]);
    p.setClipping(false);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool night = argc == 4 && std::string(argv[3]) == "night";
    if (argc != 3 && !night) {
        std::fprintf(stderr, "usage: tessaro_render_looks RES_FOLDER OUT.png [night]\n");
        return 2;
    }
    const std::string res = argv[1];
    struct Part {
        const char* title;
        std::vector<Look> looks;
    };
    std::vector<Part> parts;
    for (const auto& [file, title] : {std::pair{"points", "Points"}, {"lines", "Lines"}, {"pgons.pol", "Polygons"}}) {
        std::string text;
        std::error_code error;
        if (!tessaro::read_file(tessaro::join_path(res, file), text, error)) {
            std::fprintf(stderr, "%s: %s\n", tessaro::join_path(res, file).c_str(), error.message().c_str());
            return 1;
        }
        parts.push_back({title, looks_of(text)});
    }

    int height = MARGIN;
    for (const Part& p : parts)
        height += HEADING_HEIGHT + (static_cast<int>(p.looks.size()) + COLUMNS - 1) / COLUMNS * CELL_HEIGHT;
    QImage picture(COLUMNS * CELL_WIDTH + 2 * MARGIN, height + MARGIN, QImage::Format_ARGB32);
    // A map's paper tone, so white halos show; at night a dark ground, as units draw it.
    picture.fill(night ? QColor(0x1E, 0x1F, 0x24) : QColor(0xF4, 0xF1, 0xEA));
    const QColor ink = night ? QColor(0xE6, 0xE6, 0xE6) : QColor(Qt::black);
    const QColor faint = night ? QColor(0xA0, 0xA0, 0xA0) : QColor(0x55, 0x55, 0x55);
    QPainter p(&picture);
    QFont heading = p.font();
    heading.setPointSize(14);
    heading.setBold(true);
    int y = MARGIN;
    for (const Part& part : parts) {
        p.setFont(heading);
        p.setPen(ink);
        p.drawText(MARGIN, y + 26, QString("%1 (%2)%3").arg(part.title).arg(part.looks.size()).arg(night ? ", night" : ""));
        y += HEADING_HEIGHT;
        for (std::size_t i = 0; i < part.looks.size(); ++i) {
            const int x = MARGIN + static_cast<int>(i % COLUMNS) * CELL_WIDTH;
            const int top = y + static_cast<int>(i / COLUMNS) * CELL_HEIGHT;
            draw_cell(p, part.looks[i], x, top, night, ink, faint);
        }
        y += (static_cast<int>(part.looks.size()) + COLUMNS - 1) / COLUMNS * CELL_HEIGHT;
    }
    p.end();
    if (!picture.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "%s: cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
