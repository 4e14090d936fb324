#pragma once

#include <string>

namespace tessaro {

// The only way the conversion core reaches the outside world. The window
// implements it with its event loop and message boxes, the CLI with stderr,
// tests by recording what was said.
class Shell {
public:
    virtual ~Shell() = default;

    // Let the event loop run so the window stays live during long steps.
    virtual void yield_events() = 0;
    // Busy cursor on / off: a switch, not a counter.
    virtual void hon() = 0;
    virtual void hof() = 0;
    // A message with a single OK button.
    virtual void message(const std::string& text) = 0;
    // A Yes/No question; true means Yes.
    virtual bool ask_yes_no(const std::string& question) = 0;
};

}  // namespace tessaro
