#include "known_statements.h"

#include <functional>

namespace tessaro {

namespace {

std::uint64_t hash_of(std::string_view path) {
    return static_cast<std::uint64_t>(std::hash<std::string_view>{}(path));
}

// The upper half tells most paths of a slot apart before their text is compared.
std::uint64_t tag_of(std::uint64_t hash) {
    return hash & 0xffffffff00000000ULL;
}

}  // namespace

void KnownStatements::reserve(std::size_t files) {
    m_paths.reserve(files);
    m_statements.reserve(files);
    // At most half full.
    if (files * 2 > m_table.size()) grow_table(files * 2);
}

void KnownStatements::grow_table(std::size_t capacity) {
    std::size_t size = 16;
    while (size < capacity) size *= 2;
    m_table.assign(size, 0);
    for (std::size_t place = 0; place < m_paths.size(); ++place) place_in_table(hash_of(m_paths[place]), place);
}

void KnownStatements::place_in_table(std::uint64_t hash, std::size_t place) {
    const std::size_t mask = m_table.size() - 1;
    std::size_t slot = static_cast<std::size_t>(hash) & mask;
    while (m_table[slot] != 0) slot = (slot + 1) & mask;
    m_table[slot] = tag_of(hash) | (static_cast<std::uint64_t>(place) + 1);
}

std::size_t KnownStatements::find(std::string_view path) const {
    return find(path, hash_of(path));
}

std::size_t KnownStatements::find(std::string_view path, std::uint64_t hash) const {
    if (m_table.empty()) return npos;
    const std::size_t mask = m_table.size() - 1;
    for (std::size_t slot = static_cast<std::size_t>(hash) & mask; m_table[slot] != 0; slot = (slot + 1) & mask) {
        const std::uint64_t entry = m_table[slot];
        if (tag_of(entry) != tag_of(hash)) continue;
        const std::size_t place = static_cast<std::size_t>(entry & 0xffffffffULL) - 1;
        if (m_paths[place] == path) return place;
    }
    return npos;
}

void KnownStatements::set(std::string path, std::vector<IncludeStatement> statements) {
    const std::uint64_t hash = hash_of(path);
    const std::size_t known = find(path, hash);
    if (known != npos) {
        m_statements[known] = std::move(statements);
        return;
    }
    if ((m_paths.size() + 1) * 2 > m_table.size()) grow_table((m_paths.size() + 1) * 4);
    place_in_table(hash, m_paths.size());
    m_paths.push_back(std::move(path));
    m_statements.push_back(std::move(statements));
}

void KnownStatements::take_all(KnownStatements&& other) {
    reserve(size() + other.size());
    for (std::size_t place = 0; place < other.size(); ++place)
        set(std::move(other.m_paths[place]), std::move(other.m_statements[place]));
    other = KnownStatements();
}

}  // namespace tessaro
