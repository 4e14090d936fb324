#pragma once

#include <QString>
#include <string>
#include <vector>

#include "section.h"

class QLabel;
class QListWidget;

namespace tessaro {

// Pieces the window's panels share.

// A widget of a section and its caption; its place in a row of them gives
// its object name (Check2_0 is Polygons, Command5_0 adds to the point group).
struct SectionWidget {
    Section section;
    const char* caption;
};

// A widget's object name with its place in a row of alike widgets ("Check2_0").
QString indexed(const char* name, int i);

// The large number of a step of the window (1, 2, 3), the i-th.
QLabel* step_number(const char* text, int i);

// The rows chosen in a list, top to bottom as Qt hands them.
std::vector<std::size_t> selected_rows(const QListWidget* list);

// Fills a list with names, replacing what it held.
void show_names(QListWidget* list, const std::vector<std::string>& names);

}  // namespace tessaro
