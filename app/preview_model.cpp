#include "preview_model.h"

#include <QBrush>
#include <QFont>
#include <QStringList>

#include "look_pairing.h"
#include "look_renderer.h"
#include "night_view.h"
#include "qt_text.h"
#include "type_code.h"

namespace tessaro {

QStringList look_details(const EntryLook& look) {
    QStringList details{look_source_name(look.source)};
    if (!look.matched.empty()) details << "matched " + to_qt(look.matched);
    if (!look.library_code.empty()) details << "library look " + to_qt(look.library_code);
    if (!look.condition.empty()) details << "rule " + to_qt(look.condition);
    return details;
}

QString style_code(const TypEntry& e) {
    const std::optional<std::uint32_t> type = entry_type(e);
    if (!type) return from_utf8(e.type);
    // A type without a subtype as the rules write it: 0x27, not 0x2700.
    const bool plain = (*type & 0xff) == 0 && *type <= 0xff00;
    return QString("0x%1").arg(plain ? *type >> 8 : *type, plain ? 2 : 4, 16, QChar('0'));
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
    if (role == SORT_ROLE) return sort_key(index.column(), i);
    if (role == SEARCH_ROLE) return index.column() == LOOK ? QVariant(search_text(i)) : QVariant();
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
        case TYPE:
            if (role == Qt::DisplayRole) return style_code(e);
            if (role == Qt::ToolTipRole) return "Type=" + from_utf8(e.type) + (e.subtype.empty() ? "" : " SubType=" + from_utf8(e.subtype));
            return {};
        case SOURCE:
            if (look == nullptr) return {};
            if (role == Qt::DisplayRole) return QString(look_source_name(look->source));
            if (role == Qt::ToolTipRole) return look_details(*look).join("\n");
            return {};
        case LABEL:
            if (role == Qt::DisplayRole) return from_utf8(named ? e.name : e.label);
            if (role == Qt::ToolTipRole) return named ? "No label; the look's name: " + from_utf8(e.name) : from_utf8(e.label);
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

QVariant PreviewModel::sort_key(int column, std::size_t i) const {
    const TypEntry& e = m_doc.entries[i];
    switch (column) {
        case SECTION: return static_cast<int>(e.section);
        case TYPE: return static_cast<qulonglong>(entry_type(e).value_or(0xFFFFFFFFu));
        case SOURCE: return look_of(i) != nullptr ? QString(look_source_name(look_of(i)->source)) : QString();
        case LABEL: return from_utf8(e.label.empty() ? e.name : e.label).toCaseFolded();
        default: return static_cast<qulonglong>(i);  // the text's order
    }
}

QString PreviewModel::search_text(std::size_t i) const {
    const TypEntry& e = m_doc.entries[i];
    QStringList parts{style_code(e), from_utf8(e.type), from_utf8(e.label), from_utf8(e.name)};
    if (const EntryLook* look = look_of(i)) parts << look_details(*look);
    // The tags the library and the runs note in an entry's comments (";tags=natural=water").
    for (const QString& line : from_utf8(e.text).split('\n'))
        if (line.startsWith(";tags=")) parts << line.mid(6);
    return parts.join('\n');
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static constexpr const char* NAMES[] = {"Look", "Section", "Type", "Source", "Label"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= COLUMNS) return {};
    return QString(NAMES[section]);
}

}  // namespace tessaro
