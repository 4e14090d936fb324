#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "large_pages.h"
#include "rule_reader.h"
#include "yield.h"

namespace tessaro {

// The rule files of a run, each opened and scanned on a thread of its own
// while the file before it is written, so that both processors are busy.
class ReadAhead {
public:
    explicit ReadAhead(Yield yield = {}, PagePool* pages = nullptr);

    // The files the writers will want, in their order, from now on, read
    // with their include statements kept or not, by readers sized for files
    // of up to `bytes` (RuleReader::reserve). Files read ahead for an earlier
    // order are dropped unread.
    void expect(std::vector<std::string> order, bool statements, std::size_t bytes);

    // The reader of `path`, taken over from those opened ahead or opened now
    // (FirstOfType items), and the next files of the order opened ahead. A
    // file of the order that is skipped (gone since) is dropped unread.
    RuleReader& open(const std::string& path);

private:
    // Files read ahead of the one in hand: with more, the readers only take
    // the processors from the writer (measured on two).
    static constexpr std::size_t AHEAD = 1;

    std::unique_ptr<RuleReader> reader();
    void drop(std::unique_ptr<RuleReader> reader);
    void fill();

    Yield m_yield;
    PagePool* m_pages = nullptr;
    std::size_t m_bytes = 0;
    bool m_statements = false;
    std::vector<std::string> m_order;
    std::size_t m_next = 0;  // the place in m_order of the first file read ahead
    std::unique_ptr<RuleReader> m_current;
    std::deque<std::unique_ptr<RuleReader>> m_ahead;  // m_order[m_next], m_order[m_next + 1], ...
    std::vector<std::unique_ptr<RuleReader>> m_spare;
};

}  // namespace tessaro
