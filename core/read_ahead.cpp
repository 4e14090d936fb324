#include "read_ahead.h"

#include <algorithm>

namespace tessaro {

ReadAhead::ReadAhead(Yield yield, PagePool* pages) : m_yield(std::move(yield)), m_pages(pages) {}

std::unique_ptr<RuleReader> ReadAhead::reader() {
    std::unique_ptr<RuleReader> r;
    if (m_spare.empty()) {
        r = std::make_unique<RuleReader>();
    } else {
        r = std::move(m_spare.back());
        m_spare.pop_back();
    }
    return r;
}

void ReadAhead::drop(std::unique_ptr<RuleReader> r) {
    // Its failure is no one's: the file is not wanted.
    r->close();
    m_spare.push_back(std::move(r));
}

void ReadAhead::expect(std::vector<std::string> order, bool statements, std::size_t bytes) {
    while (!m_ahead.empty()) {
        drop(std::move(m_ahead.front()));
        m_ahead.pop_front();
    }
    m_order = std::move(order);
    m_next = 0;
    m_statements = statements;
    m_bytes = bytes;
}

void ReadAhead::fill() {
    for (std::size_t i = m_next + m_ahead.size(); i < m_order.size() && m_ahead.size() < AHEAD; ++i) {
        m_ahead.push_back(reader());
        m_ahead.back()->open(m_order[i], RuleReader::Items::Rules, m_statements);
    }
}

RuleReader& ReadAhead::open(const std::string& path) {
    if (m_current) m_spare.push_back(std::move(m_current));
    const auto from = m_order.begin() + static_cast<std::ptrdiff_t>(m_next);
    const auto at = std::find(from, m_order.end(), path);
    if (at != m_order.end()) {
        // The files of the order before it were skipped.
        for (auto skipped = from; skipped != at && !m_ahead.empty(); ++skipped) {
            drop(std::move(m_ahead.front()));
            m_ahead.pop_front();
        }
        m_next = static_cast<std::size_t>(at - m_order.begin()) + 1;
        if (!m_ahead.empty()) {
            m_current = std::move(m_ahead.front());
            m_ahead.pop_front();
        }
    }
    if (!m_current) {
        m_current = reader();
        m_current->open(path, RuleReader::Items::Rules, m_statements);
    }
    fill();
    return *m_current;
}

}  // namespace tessaro
