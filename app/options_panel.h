#pragma once

#include <QGroupBox>
#include <string>

#include "app_state.h"
#include "section.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace tessaro {

// Step 3 of the window: the sections and options of a run, kept in step with
// the state, the TYP text's path, Create TYP and the TYP editor's button.
class OptionsPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit OptionsPanel(AppState& state, QWidget* parent = nullptr);

    QPushButton* create_button() const { return m_create; }
    QPushButton* launch_button() const { return m_launch; }
    std::string typ_path() const;
    void show_typ_path(const std::string& path);
    // The option boxes ticked as the state holds them (after the settings were read).
    void show_options();
    // The TYP editor's program, empty for none: Launch works only with one, once a text was made.
    void show_editor(const std::string& program);
    void set_text_made(bool made);

private:
    void add_section_boxes(QVBoxLayout* column);
    // An option's box, kept in step with its field of the state.
    QCheckBox* add_option(QVBoxLayout* column, const char* caption, const char* name, const char* tip,
                          bool AppState::*field);
    void add_buttons(QVBoxLayout* column);

    AppState& m_state;
    PerSection<QCheckBox*> m_sections;
    QCheckBox* m_tag_text = nullptr;
    QCheckBox* m_classic_looks = nullptr;
    QCheckBox* m_keep_looks = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_create = nullptr;
    QPushButton* m_launch = nullptr;
    QLabel* m_editor_label = nullptr;
    bool m_has_editor = false;
    bool m_text_made = false;
};

}  // namespace tessaro
