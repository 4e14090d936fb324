#pragma once

#include <QDialog>

#include "app_state.h"
#include "desktop.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace tessaro {

// Lets the user pick the polygon library file and the editor's program, and
// fix the seed of the random colours. The "<<" buttons change the values at
// once (the main window shows the editor); Cancel puts the old ones back.
// Reloading the library and saving the settings are left to the main window
// once the dialog has closed.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(AppState& state, Desktop& desktop, QWidget* parent = nullptr);

    void accept() override;
    void reject() override;

signals:
    void editor_program_changed();

private:
    void choose_polygon_library();
    void choose_editor_program();

    AppState& m_state;
    Desktop& m_desktop;
    QLineEdit* m_library_box;
    QLineEdit* m_editor_box;
    QCheckBox* m_repeatable;
    QSpinBox* m_seed;
    std::string m_old_library;
    std::string m_old_editor;
};

}  // namespace tessaro
