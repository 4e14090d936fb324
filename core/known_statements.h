#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "include_statements.h"

namespace tessaro {

// Include statements of files already read, by path (as the include walk
// names them). Kept side by side in the order they came, found through one
// flat table: a style may have a hundred thousand include files, and a
// table of a node per file spreads them over memory, so that each lookup and
// the freeing of each file would wait for memory several times.
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
    std::size_t find(std::string_view path, std::uint64_t hash) const;
    void grow_table(std::size_t capacity);
    void place_in_table(std::uint64_t hash, std::size_t place);

    std::vector<std::string> m_paths;
    std::vector<std::vector<IncludeStatement>> m_statements;
    // Open addressing: each slot the upper half of a path's hash and its place + 1 (0: empty).
    std::vector<std::uint64_t> m_table;
};

}  // namespace tessaro
