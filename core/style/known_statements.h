#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "include_statements.h"

namespace tessaro {

// Include statements of files already read, by path (as the include walk
// names them), kept in the order they came.
class KnownStatements {
public:
    void reserve(std::size_t files);

    // Sets the statements of a path, replacing any it had.
    void set(std::string path, std::vector<IncludeStatement> statements);
    // Moves all of `other` in, each replacing what its path had here.
    void take_all(KnownStatements&& other);

    // The place of a path, or npos.
    std::size_t find(std::string_view path) const;
    const std::string& path(std::size_t place) const { return m_paths[place]; }
    const std::vector<IncludeStatement>& statements(std::size_t place) const { return m_statements[place]; }

    std::size_t size() const { return m_paths.size(); }
    bool empty() const { return m_paths.empty(); }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    std::vector<std::string> m_paths;
    std::vector<std::vector<IncludeStatement>> m_statements;
    std::unordered_map<std::string, std::size_t> m_places;
};

}  // namespace tessaro
