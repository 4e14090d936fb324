#include "preview_model.h"

#include <QBrush>
#include <QFont>
#include <QStringList>

#include "look_pairing.h"
#include "look_renderer.h"
#include "night_view.h"
#include "qt_text.h"

namespace tessaro {

QStringList look_details(const EntryLook& look) {
    QStringList details{look_source_name(look.source)};
    if (!look.matched.empty()) details << "matched " + to_qt(look.matched);
    if (!look.library_code.empty()) details << "library look " + to_qt(look.library_code);
    if (!look.condition.empty()) details << "rule " + to_qt(look.condition);
    return details;
}

void PreviewModel::show(TypDocument doc, std::vector<EntryLook> looks) {
    beginResetModel();
    m_doc = std::move(doc);
    m_looks = std::move(looks);
    m_entry_looks = pair_looks(m_doc.entries, m_looks);
    m_pictures.clear();
    m_drawn = 0;
    fill_rows();
    endResetModel();
}

void PreviewModel::set_filter(std::optional<Section> section) {
    beginResetModel();
    m_filter = section;
    fill_rows();
    endResetModel();
}

void PreviewModel::set_night(bool night) {
    if (night == m_night) return;
    m_night = night;
    m_pictures.clear();  // the cache holds one time of day
    if (rowCount() > 0) emit dataChanged(index(0, LOOK), index(rowCount() - 1, LOOK), {Qt::DecorationRole});
}

void PreviewModel::fill_rows() {
    m_rows.clear();
    for (std::size_t i = 0; i < m_doc.entries.size(); ++i)
        if (!m_filter || m_doc.entries[i].section == *m_filter) m_rows.push_back(i);
}

const EntryLook* PreviewModel::look_of(std::size_t entry) const {
    if (entry >= m_entry_looks.size() || !m_entry_looks[entry]) return nullptr;
    return &m_looks[*m_entry_looks[entry]];
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : COLUMNS;
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const std::size_t i = entry_of(index.row());
    const TypEntry& e = m_doc.entries[i];
    const EntryLook* look = look_of(i);
    // An entry without a label shows its name, set apart from a label.
    const bool named = e.label.empty() && !e.name.empty();
    switch (index.column()) {
        case LOOK:
            if (role != Qt::DecorationRole) return {};
            if (const QPixmap* cached = m_pictures.object(i)) return *cached;
            {
                ++m_drawn;
                const QPixmap picture = render_look(m_night ? night_view(e) : e);
                m_pictures.insert(i, new QPixmap(picture));
                return picture;
            }
        case SECTION: return role == Qt::DisplayRole ? QVariant(section_name(e.section)) : QVariant();
        case TYPE: return role == Qt::DisplayRole ? QVariant(from_utf8(e.type)) : QVariant();
        case SOURCE:
            if (look == nullptr) return {};
            if (role == Qt::DisplayRole) return QString(look_source_name(look->source));
            if (role == Qt::ToolTipRole) return look_details(*look).join("\n");
            return {};
        case LABEL:
            if (role == Qt::DisplayRole) return from_utf8(named ? e.name : e.label);
            if (role == Qt::ToolTipRole && named) return QString("No label; the look's name");
            if (role == Qt::ForegroundRole && named) return QBrush(Qt::gray);
            if (role == Qt::FontRole && named) {
                QFont italic;
                italic.setItalic(true);
                return italic;
            }
            return {};
        default: return {};
    }
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static constexpr const char* NAMES[] = {"Look", "Section", "Type", "Source", "Label"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= COLUMNS) return {};
    return QString(NAMES[section]);
}

}  // namespace tessaro
