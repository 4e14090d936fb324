#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

class QMessageBox;

#include "shell.h"

namespace tessaro {

// The window's shell: the application-wide busy cursor and
// message boxes with one OK button.
class QtShell : public Shell {
public:
    void set_parent(QWidget* parent) { m_parent = parent; }

    void set_busy(bool busy) override;
    void message(const std::string& text, MessageIcon icon = MessageIcon::Information) override;
    bool ask_yes_no(const std::string& question) override;

    static std::string shown(const std::string& text);
    // The message as the box shows it: its lines kept, a command line (mkgmap ...) never wrapped.
    static QString message_html(const std::string& text);
    // The box `message` shows, selectable text and all.
    std::unique_ptr<QMessageBox> message_box(const std::string& text, MessageIcon icon) const;

private:
    QPointer<QWidget> m_parent;
};

}  // namespace tessaro
