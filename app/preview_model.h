#pragma once

#include <QAbstractTableModel>
#include <QCache>
#include <QPixmap>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "look_source.h"
#include "typ_reader.h"

namespace tessaro {

// What is known of a look beside its source: the tags that matched, the
// library look taken, the rule's condition.
QStringList look_details(const EntryLook& look);

// An entry's type as a style writes it: 0x27 for a line's Type=0x02700, 0x2f0b
// for Type=0x2f with SubType=0x0b; the Type= value when it is no number.
QString style_code(const TypEntry& entry);

// The rows of the preview: the entries of a TYP text that the filter lets
// through. A row costs an index; a look's picture is drawn only when the
// view asks for it (the rows on screen), and a bounded number are kept.
class PreviewModel : public QAbstractTableModel {
public:
    enum Column { LOOK, SECTION, TYPE, SOURCE, LABEL, COLUMNS };
    // What a column sorts by (the type by its number), and the text a search looks in (on the LOOK column).
    static constexpr int SORT_ROLE = Qt::UserRole + 1;
    static constexpr int SEARCH_ROLE = Qt::UserRole + 2;

    // `looks` are the run's, in the order of the text; none: sources unknown.
    void show(TypDocument doc, std::vector<EntryLook> looks);
    // Only the entries of this section; none: all.
    void set_filter(std::optional<Section> section);
    // The looks as a unit shows them after dusk: night colours, NightXpm.
    void set_night(bool night);
    bool night() const { return m_night; }

    const TypDocument& document() const { return m_doc; }
    bool has_looks() const { return !m_looks.empty(); }
    std::size_t entry_of(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    const EntryLook* look_of(std::size_t entry) const;
    // How many pictures were drawn since the text was shown.
    std::size_t pictures_drawn() const { return m_drawn; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void fill_rows();
    QVariant sort_key(int column, std::size_t entry) const;
    QString search_text(std::size_t entry) const;

    TypDocument m_doc;
    std::vector<EntryLook> m_looks;
    std::vector<std::optional<std::size_t>> m_entry_looks;  // per entry of m_doc, into m_looks
    std::optional<Section> m_filter;
    bool m_night = false;
    std::vector<std::size_t> m_rows;                        // entries shown, into m_doc
    mutable QCache<std::size_t, QPixmap> m_pictures{256};   // by entry
    mutable std::size_t m_drawn = 0;
};

}  // namespace tessaro
