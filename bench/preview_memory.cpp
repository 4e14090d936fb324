// Opens the preview of a TYP text of N entries (default 100,000) and paints it
// once, for measuring the window's peak memory from outside:
//   /usr/bin/time -v build/tessaro_preview_memory 100000
#include <QApplication>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "preview_window.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string path = "preview_memory_typ.txt";
    {
        std::ofstream out(path, std::ios::binary);
        char entry[128];
        for (int i = 0; i < count; ++i) {
            std::snprintf(entry, sizeof entry, "[_polygon]\nType=0x%x\nXpm=\"0 0 1 0\"\n\"1 c #%06X\"\n[end]\n",
                          0x10000 + i, i * 37 % 0xFFFFFF);
            out << entry;
        }
    }
    tessaro::PreviewWindow preview;
    std::string error;
    if (!preview.show_typ_text(path, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    preview.show();
    preview.grab();
    std::printf("%d entries shown\n", preview.findChild<QTableView*>("previewEntries")->model()->rowCount());
    std::remove(path.c_str());
    return 0;
}
