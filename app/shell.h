#pragma once

#include <string>

namespace tessaro {

// How bad the news of a message is: the icon beside it.
enum class MessageIcon { Information, Warning, Critical };

// The window's way to the user: the busy cursor, message
// boxes and the one question. QtShell is the real one; tests record.
class Shell {
public:
    virtual ~Shell() = default;

    // The application-wide busy cursor: a switch, not a counter.
    virtual void set_busy(bool busy) = 0;
    // A message with a single OK button.
    virtual void message(const std::string& text, MessageIcon icon = MessageIcon::Information) = 0;
    // A Yes/No question; true means Yes.
    virtual bool ask_yes_no(const std::string& question) = 0;
};

// The busy cursor for as long as the guard lives.
class BusyCursor {
public:
    explicit BusyCursor(Shell& shell) : m_shell(shell) { m_shell.set_busy(true); }
    ~BusyCursor() { m_shell.set_busy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Shell& m_shell;
};

}  // namespace tessaro
