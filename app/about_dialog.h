#pragma once

#include <QDialog>
#include <string>

#include "desktop.h"

class QLabel;

namespace tessaro {

// The About window "Information": program title, version and notice.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    AboutDialog(Desktop& desktop, const std::string& res_folder, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Desktop& m_desktop;
    std::string m_readme;
    QLabel* m_picture = nullptr;
    QLabel* m_version = nullptr;
};

}  // namespace tessaro
