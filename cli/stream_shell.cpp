#include "stream_shell.h"

#include "text_util.h"

namespace tessaro {

void StreamShell::message(const std::string& text) {
    m_out << replace_all(text, CRLF, "\n") << '\n';
}

bool StreamShell::ask_yes_no(const std::string& question) {
    m_out << question << " (no)\n";
    return false;
}

void StreamShell::warn(const std::string& text) {
    if (!m_quiet) message(text);
}

}  // namespace tessaro
