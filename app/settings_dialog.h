#pragma once

#include <QDialog>

#include "app_state.h"
#include "desktop.h"

class QLineEdit;

namespace tessaro {

// Lets the user pick the polygon library file and the editor's program. Only
// the "<<" buttons change the values; reloading the library and saving the
// settings are left to the main window once the dialog has closed.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(AppState& state, Desktop& desktop, QWidget* parent = nullptr);

signals:
    void editor_program_changed();

private:
    void choose_polygon_library();
    void choose_editor_program();

    AppState& m_state;
    Desktop& m_desktop;
    QLineEdit* m_library_box;
    QLineEdit* m_editor_box;
};

}  // namespace tessaro
