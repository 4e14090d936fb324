#include "qt_shell.h"

#include "qt_text.h"

#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>

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

QString QtShell::message_html(const std::string& text) {
    QStringList lines = to_qt(shown(text)).split(QRegularExpression("\r\n|\n|\r"));
    for (QString& line : lines) {
        const bool command = line.startsWith("mkgmap ");
        line = line.toHtmlEscaped();
        // A command is copied whole: never wrapped, least of all inside a path.
        if (command) line = "<span style=\"white-space:pre\">" + line + "</span>";
    }
    return "<p>" + lines.join("<br>") + "</p>";
}

std::unique_ptr<QMessageBox> QtShell::message_box(const std::string& text, MessageIcon icon) const {
    static constexpr QMessageBox::Icon ICONS[] = {QMessageBox::Information, QMessageBox::Warning, QMessageBox::Critical};
    auto box = std::make_unique<QMessageBox>(ICONS[static_cast<int>(icon)], QStringLiteral("tessaro"),
                                             message_html(text), QMessageBox::Ok, m_parent);
    box->setTextFormat(Qt::RichText);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return box;
}

void QtShell::message(const std::string& text, MessageIcon icon) {
    message_box(text, icon)->exec();
}

bool QtShell::ask_yes_no(const std::string& question) {
    return QMessageBox::question(m_parent, QStringLiteral("tessaro"), to_qt(shown(question)),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace tessaro
