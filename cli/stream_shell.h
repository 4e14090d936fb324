#pragma once

#include <ostream>

#include "shell.h"

namespace tessaro {

// The CLI's shell: no event loop, no cursor; messages go to a stream, one per
// line. Warnings can be silenced; errors always show.
class StreamShell : public Shell {
public:
    explicit StreamShell(std::ostream& out) : m_out(out) {}

    void yield_events() override {}
    void hon() override {}
    void hof() override {}
    void message(const std::string& text) override;
    // Nobody is there to answer: never overwrite.
    bool ask_yes_no(const std::string& question) override;

    // A message that -q silences.
    void warn(const std::string& text);
    void set_quiet(bool quiet) { m_quiet = quiet; }

private:
    std::ostream& m_out;
    bool m_quiet = false;
};

}  // namespace tessaro
