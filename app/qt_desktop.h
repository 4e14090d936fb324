#pragma once

#include <QPointer>
#include <QWidget>

#include "desktop.h"

namespace tessaro {

class QtDesktop : public Desktop {
public:
    void set_parent(QWidget* parent) { m_parent = parent; }

    bool start_program(const std::string& program, const std::string& argument,
                       const std::string& working_folder) override;
    bool open_document(const std::string& path) override;
    std::string choose_file(const std::string& title, const std::string& filter,
                            const std::string& initial_path) override;

private:
    QPointer<QWidget> m_parent;
};

}  // namespace tessaro
