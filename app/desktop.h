#pragma once

#include <string>

namespace tessaro {

// What the window asks of the desktop: starting programs, opening documents
// and choosing files. Tests replace it to see what would have happened.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Starts program with one argument (passed whole, blanks included) in working_folder.
    virtual bool start_program(const std::string& program, const std::string& argument,
                               const std::string& working_folder) = 0;
    // Opens a document with the program the desktop associates with it.
    virtual bool open_document(const std::string& path) = 0;
    // An open-file dialog; "" when cancelled. filter is e.g. "Polygon File(*.pol)".
    virtual std::string choose_file(const std::string& title, const std::string& filter,
                                    const std::string& initial_path) = 0;
};

}  // namespace tessaro
