#pragma once

#include <deque>
#include <string>
#include <vector>
#include "desktop.h"

namespace tessaro::test {
void process_events_for(int ms);
// Records what the window asked of the desktop; file dialogs answer from a queue.
struct FakeDesktop : Desktop {
    bool start_program(const std::string& program, const std::string& argument, const std::string& working_folder) override {
        started.push_back(program + "|" + argument + "|" + working_folder);
        return start_ok;
    }
    bool open_document(const std::string& path) override { return opened.push_back(path), open_ok; }
    std::string choose_file(const std::string& title, const std::string& filter, const std::string& initial_path) override {
        asked.push_back(title + "|" + filter + "|" + initial_path);
        if (answers.empty()) return {};
        const std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::string> answers;
    std::vector<std::string> asked, started, opened;
    bool start_ok = true, open_ok = true;  // what starting a program and opening a document answer
};
}  // namespace tessaro::test
