#include "about_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "app_state.h"
#include "file_io.h"
#include "qt_text.h"

namespace tessaro {

namespace {

// The program's picture: three tiles in the colours of water, woods and roads.
QPixmap picture() {
    QPixmap pm(72, 72);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor tiles[3] = {QColor("#8CC4F0"), QColor("#7FBF6A"), QColor("#E8A040")};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(tiles[i]);
        p.setPen(QPen(QColor("#404040"), 2));
        p.drawRoundedRect(6 + i * 10, 6 + i * 10, 40, 40, 6, 6);
    }
    return pm;
}

}  // namespace

AboutDialog::AboutDialog(Desktop& desktop, const std::string& res_folder, QWidget* parent)
    : QDialog(parent), m_desktop(desktop) {
    setObjectName("Info");
    setWindowTitle("Information");
    // The project's own page travels with the program: the README beside res/.
    m_readme = join_path(join_path(res_folder, ".."), "README.md");

    m_picture = new QLabel;
    m_picture->setObjectName("Picture1");
    m_picture->setPixmap(picture());
    m_picture->setToolTip("Double-click for the README");
    m_picture->installEventFilter(this);
    auto* title = new QLabel("tessaro");
    title->setObjectName("Label9");
    title->setFont(QFont("Arial", 20, QFont::Bold));
    m_version = new QLabel;
    m_version->setObjectName("Label1");
    m_version->setWordWrap(true);
    auto* address = new QLabel("README.md beside the program");
    address->setObjectName("Label2");
    auto* ok = new QPushButton("OK");
    ok->setObjectName("Command1");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_picture, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1);
    grid->addWidget(m_version, 1, 1);
    grid->addWidget(address, 2, 1);
    grid->addWidget(ok, 3, 1, Qt::AlignRight);
    setMinimumWidth(380);
}

void AboutDialog::showEvent(QShowEvent* event) {
    m_version->setText(QString("Version %1\nTYP text from mkgmap styles.\nMade by the tessaro team.").arg(PROGRAM_VERSION));
    QDialog::showEvent(event);
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_picture && event->type() == QEvent::MouseButtonDblClick) {
        m_desktop.open_document(m_readme);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tessaro
