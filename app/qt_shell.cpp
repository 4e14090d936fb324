#include "qt_shell.h"

#include "qt_text.h"

#include <QApplication>
#include <QMessageBox>

namespace tessaro {

void QtShell::yield_events() {
    QApplication::processEvents();
}

void QtShell::hon() {
    if (QApplication::overrideCursor() == nullptr) QApplication::setOverrideCursor(Qt::WaitCursor);
}

// Qt's override cursor stacks; the busy cursor is a switch, so all of it goes.
void QtShell::hof() {
    while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
}

void QtShell::message(const std::string& text) {
    QMessageBox::information(m_parent, QStringLiteral("tessaro"), to_qt(text));
}

bool QtShell::ask_yes_no(const std::string& question) {
    return QMessageBox::question(m_parent, QStringLiteral("tessaro"), to_qt(question),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace tessaro
