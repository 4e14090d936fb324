#include "support/entries_run.h"

namespace tessaro::test {
std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", start)) {
        out.push_back(text.substr(start, p - start));
        start = p + 2;
    }
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}
}  // namespace tessaro::test
