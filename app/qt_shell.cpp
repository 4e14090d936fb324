#include "qt_shell.h"

#include "qt_text.h"

#include <QApplication>
#include <QMessageBox>

namespace tessaro {

// Qt's override cursor stacks; the busy cursor is a switch, so off takes all of it.
void QtShell::set_busy(bool busy) {
    if (busy) {
        if (QApplication::overrideCursor() == nullptr) QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
}

// A message naming a huge path or line would fill the screen: its middle goes.
std::string QtShell::shown(const std::string& text) {
    constexpr std::size_t LIMIT = 1500;
    if (text.size() <= LIMIT) return text;
    return text.substr(0, LIMIT / 2) + " ... " + text.substr(text.size() - LIMIT / 2);
}

void QtShell::message(const std::string& text, MessageIcon icon) {
    const QString title = QStringLiteral("tessaro");
    switch (icon) {
        case MessageIcon::Information: QMessageBox::information(m_parent, title, to_qt(shown(text))); break;
        case MessageIcon::Warning: QMessageBox::warning(m_parent, title, to_qt(shown(text))); break;
        case MessageIcon::Critical: QMessageBox::critical(m_parent, title, to_qt(shown(text))); break;
    }
}

bool QtShell::ask_yes_no(const std::string& question) {
    return QMessageBox::question(m_parent, QStringLiteral("tessaro"), to_qt(shown(question)),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace tessaro
