#include "window_parts.h"

#include <QLabel>
#include <QListWidget>

#include "qt_text.h"

namespace tessaro {

QString indexed(const char* name, int i) {
    return QString("%1_%2").arg(name).arg(i);
}

QLabel* step_number(const char* text, int i) {
    auto* label = new QLabel(text);
    label->setObjectName(indexed("Label2", i));
    QFont f = label->font();
    f.setPointSize(f.pointSize() * 2);
    f.setBold(true);
    label->setFont(f);
    return label;
}

std::vector<std::size_t> selected_rows(const QListWidget* list) {
    std::vector<std::size_t> rows;
    for (const QListWidgetItem* item : list->selectedItems()) rows.push_back(static_cast<std::size_t>(list->row(item)));
    return rows;
}

void show_names(QListWidget* list, const std::vector<std::string>& names) {
    list->clear();
    for (const std::string& n : names) list->addItem(to_qt(n));
}

}  // namespace tessaro
