// Draws every entry of the three library files, with its type code and name,
// into one picture: a catalogue of the looks for review.
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string>
#include <vector>

#include "file_io.h"
#include "look_renderer.h"
#include "typ_reader.h"

namespace {

constexpr int COLUMNS = 6;
constexpr int CELL_WIDTH = 230;
constexpr int CELL_HEIGHT = 46;
constexpr int HEADING_HEIGHT = 40;
constexpr int MARGIN = 12;

struct Look {
    tessaro::TypEntry entry;
    std::string name;  // the comment line in front of the entry
};

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
        looks.push_back({std::move(e), name});
    }
    return looks;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessaro_render_looks RES_FOLDER OUT.png\n");
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
        std::string error;
        if (!tessaro::read_file(tessaro::join_path(res, file), text, error)) {
            std::fprintf(stderr, "%s: %s\n", tessaro::join_path(res, file).c_str(), error.c_str());
            return 1;
        }
        parts.push_back({title, looks_of(text)});
    }

    int height = MARGIN;
    for (const Part& p : parts)
        height += HEADING_HEIGHT + (static_cast<int>(p.looks.size()) + COLUMNS - 1) / COLUMNS * CELL_HEIGHT;
    QImage picture(COLUMNS * CELL_WIDTH + 2 * MARGIN, height + MARGIN, QImage::Format_ARGB32);
    picture.fill(QColor(0xF4, 0xF1, 0xEA));  // a map's paper tone, so white halos show
    QPainter p(&picture);
    QFont heading = p.font();
    heading.setPointSize(14);
    heading.setBold(true);
    QFont small = p.font();
    small.setPointSize(8);
    int y = MARGIN;
    for (const Part& part : parts) {
        p.setFont(heading);
        p.setPen(Qt::black);
        p.drawText(MARGIN, y + 26, QString("%1 (%2)").arg(part.title).arg(part.looks.size()));
        y += HEADING_HEIGHT;
        for (std::size_t i = 0; i < part.looks.size(); ++i) {
            const int x = MARGIN + static_cast<int>(i % COLUMNS) * CELL_WIDTH;
            const int top = y + static_cast<int>(i / COLUMNS) * CELL_HEIGHT;
            const QPixmap look = tessaro::render_look(part.looks[i].entry);
            p.drawPixmap(x, top + (CELL_HEIGHT - look.height()) / 2, look);
            p.setFont(small);
            p.setPen(Qt::black);
            const QRect text_box(x + look.width() + 4, top + 4, CELL_WIDTH - look.width() - 8, CELL_HEIGHT - 8);
            p.drawText(text_box, Qt::TextWordWrap,
                       QString::fromStdString(part.looks[i].entry.type + "\n" + part.looks[i].name));
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
