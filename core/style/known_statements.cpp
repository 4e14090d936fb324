#include "known_statements.h"

namespace tessaro {

void KnownStatements::reserve(std::size_t files) {
    m_paths.reserve(files);
    m_statements.reserve(files);
    m_places.reserve(files);
}

std::size_t KnownStatements::find(std::string_view path) const {
    const auto found = m_places.find(std::string(path));
    return found == m_places.end() ? npos : found->second;
}

void KnownStatements::set(std::string path, std::vector<IncludeStatement> statements) {
    const auto [slot, added] = m_places.try_emplace(path, m_paths.size());
    if (!added) {
        m_statements[slot->second] = std::move(statements);
        return;
    }
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
