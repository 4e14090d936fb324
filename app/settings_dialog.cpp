#include "settings_dialog.h"

#include <filesystem>

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "file_io.h"
#include "qt_text.h"
#include "text_util.h"

namespace tessaro {

namespace {

QString qt_text(const std::string& s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

QLabel* make_label(const char* name, const char* caption, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QLineEdit* make_box(const char* name, const std::string& value, QWidget* parent) {
    auto* box = new QLineEdit(qt_text(value), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton* make_chooser(const char* name, QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("<<"), parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter in a text box must not open a file dialog.
    button->setAutoDefault(false);
    return button;
}

bool is_program(const std::string& path) {
#ifdef _WIN32
    return contains(to_lower(path), ".exe") && is_regular_file(path);
#else
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(to_fs_path(path), ec);
    const fs::perms exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return !path.empty() && !ec && fs::is_regular_file(st) && (st.permissions() & exec) != fs::perms::none;
#endif
}

#ifdef _WIN32
constexpr const char* PROGRAM_FILTER = "Programs (*.exe)";
#else
constexpr const char* PROGRAM_FILTER = "Programs (*)";
#endif

// Where a file dialog opens: at the value when it names a file, else in `fallback`.
std::string dialog_start(const std::string& value, const std::string& fallback) {
    return is_regular_file(value) ? value : fallback;
}

}  // namespace

SettingsDialog::SettingsDialog(AppState& state, Desktop& desktop, QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_desktop(desktop),
      m_old_library(state.polygon_library_path),
      m_old_editor(state.editor_program) {
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Settings"));
    setMinimumWidth(520);

    m_library_box = make_box("Text1_0", m_state.polygon_library_path, this);
    m_editor_box = make_box("Text1_3", m_state.editor_program, this);
    m_editor_box->setPlaceholderText(QStringLiteral("none chosen"));
    QPushButton* library_button = make_chooser("Command2_0", this);
    QPushButton* editor_button = make_chooser("Command2_3", this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command3"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CommandCancel"));
    cancel->setAutoDefault(false);
    m_repeatable = new QCheckBox(QStringLiteral("Repeatable colours"), this);
    m_repeatable->setObjectName(QStringLiteral("RepeatableColours"));
    m_repeatable->setToolTip(QStringLiteral("The same random colours on every Create TYP, chosen by the seed"));
    m_repeatable->setChecked(state.random_seed.has_value());
    m_seed = new QSpinBox(this);
    m_seed->setObjectName(QStringLiteral("Seed"));
    m_seed->setRange(0, 999999999);
    m_seed->setValue(state.random_seed ? static_cast<int>(*state.random_seed % 1000000000) : 1);
    m_seed->setEnabled(m_repeatable->isChecked());
    connect(m_repeatable, &QCheckBox::toggled, m_seed, &QWidget::setEnabled);

    auto* grid = new QGridLayout(this);
    grid->addWidget(make_label("Label1_0", "Polygon File", this), 0, 0);
    grid->addWidget(m_library_box, 0, 1);
    grid->addWidget(library_button, 0, 2);
    grid->addWidget(make_label("Label1_2", "TYP editor", this), 1, 0);
    grid->addWidget(m_editor_box, 1, 1);
    grid->addWidget(editor_button, 1, 2);
    grid->addWidget(m_repeatable, 2, 0);
    grid->addWidget(m_seed, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 3, 0, 1, 3);

    connect(library_button, &QPushButton::clicked, this, &SettingsDialog::choose_polygon_library);
    connect(editor_button, &QPushButton::clicked, this, &SettingsDialog::choose_editor_program);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SettingsDialog::accept() {
    // An emptied box means no editor; a typed path counts only when it names a program.
    const std::string typed = from_qt(m_editor_box->text().trimmed());
    if (typed != m_state.editor_program && (typed.empty() || is_program(typed))) {
        m_state.editor_program = typed;
        emit editor_program_changed();
    }
    if (m_repeatable->isChecked()) m_state.random_seed = static_cast<std::uint64_t>(m_seed->value());
    else m_state.random_seed.reset();
    QDialog::accept();
}

void SettingsDialog::reject() {
    const bool editor_changed = m_state.editor_program != m_old_editor;
    m_state.polygon_library_path = m_old_library;
    m_state.editor_program = m_old_editor;
    if (editor_changed) emit editor_program_changed();
    QDialog::reject();
}

void SettingsDialog::choose_polygon_library() {
    const std::string chosen =
        m_desktop.choose_file("Open File", "Polygon File(*.pol)", dialog_start(m_state.polygon_library_path, m_state.res_folder));
    // A cancelled dialog gives "", which fails both tests.
    if (!contains(to_lower(chosen), ".pol") || !is_regular_file(chosen)) return;
    m_state.polygon_library_path = chosen;
    m_library_box->setText(qt_text(chosen));
}

void SettingsDialog::choose_editor_program() {
    const std::string chosen = m_desktop.choose_file(
        "Open File", PROGRAM_FILTER, dialog_start(m_state.editor_program, m_state.program_folder));
    if (!is_program(chosen)) return;
    m_state.editor_program = chosen;
    m_editor_box->setText(qt_text(chosen));
    emit editor_program_changed();
}

}  // namespace tessaro
