#pragma once

#include <string>
#include <vector>
#include "shell.h"

namespace tessaro::test {
// Records every message and question; answers questions with a set answer.
struct RecordingShell : Shell {
    void set_busy(bool on) override { busy = on; }
    void message(const std::string& text, MessageIcon icon = MessageIcon::Information) override {
        messages.push_back(text);
        icons.push_back(icon);
    }
    bool ask_yes_no(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    std::vector<std::string> messages, questions;
    std::vector<MessageIcon> icons;  // beside each message
    bool answer = false, busy = false;
};
}  // namespace tessaro::test
