#pragma once

#include <deque>
#include <string>
#include <vector>

#include "desktop.h"

class QApplication;

namespace tessaro::test {

// The one QApplication of the window tests (made by their main, on the
// offscreen platform unless another was asked for).
QApplication& qt_app();

// Lets the event loop run for about `ms` milliseconds (work of other threads arrives).
void process_events_for(int ms);

// Records what the window asked of the desktop; file dialogs answer from a queue.
struct FakeDesktop : Desktop {
    bool start_program(const std::string& program, const std::string& argument,
                       const std::string& working_folder) override {
        started.push_back(program + "|" + argument + "|" + working_folder);
        return start_ok;
    }
    bool open_document(const std::string& path) override {
        opened.push_back(path);
        return open_ok;
    }
    std::string choose_file(const std::string& title, const std::string& filter,
                            const std::string& initial_path) override {
        asked.push_back(title + "|" + filter + "|" + initial_path);
        if (answers.empty()) return {};
        const std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::string> answers;
    std::vector<std::string> asked;
    std::vector<std::string> started;
    std::vector<std::string> opened;
    bool start_ok = true;  // what starting a program answers
    bool open_ok = true;   // what opening a document answers
};

}  // namespace tessaro::test
