#include "options_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt_text.h"
#include "text_util.h"
#include "window_parts.h"

namespace tessaro {

namespace {

// The section boxes in the order the window shows them.
constexpr SectionWidget SECTION_BOXES[] = {
    {Section::Polygon, "Polygons"}, {Section::Line, "Lines"}, {Section::Point, "Points"}};

}  // namespace

OptionsPanel::OptionsPanel(AppState& state, QWidget* parent) : QGroupBox(parent), m_state(state) {
    auto* column = new QVBoxLayout(this);
    column->addWidget(step_number("3", 2));
    add_section_boxes(column);
    m_tag_text = add_option(column, "Include Tag Text", "Check1", nullptr, &AppState::include_tag_text);
    m_classic_looks = add_option(column, "Classic looks", "ClassicLooks",
                                 "Looks from the library, the built-in tables and random colours alone:"
                                 " no looks by tags, no point markers",
                                 &AppState::classic_looks);
    column->addSpacing(12);
    column->addWidget(new QLabel("TYP text:"));
    m_path = new QLineEdit;
    m_path->setObjectName("Text1");
    m_path->setMinimumWidth(260);
    m_path->setAcceptDrops(false);  // a file dropped here goes to the window
    column->addWidget(m_path);
    m_keep_looks = add_option(column, "Keep my edited looks", "KeepEditedLooks",
                              "Update the TYP text at the path: its entries stay as they are, the style's new types"
                              " are added, types the style no longer uses are kept and counted",
                              &AppState::keep_edited_looks);
    add_buttons(column);
    column->addStretch(1);
}

void OptionsPanel::add_section_boxes(QVBoxLayout* column) {
    for (int i = 0; i < 3; ++i) {
        const Section s = SECTION_BOXES[i].section;
        m_sections[s] = new QCheckBox(SECTION_BOXES[i].caption);
        m_sections[s]->setObjectName(indexed("Check2", i));
        m_sections[s]->setChecked(true);
        column->addWidget(m_sections[s]);
        connect(m_sections[s], &QCheckBox::toggled, this, [this, s](bool on) { m_state.sections[s] = on; });
    }
}

QCheckBox* OptionsPanel::add_option(QVBoxLayout* column, const char* caption, const char* name, const char* tip,
                                    bool AppState::*field) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    if (tip != nullptr) box->setToolTip(tip);
    connect(box, &QCheckBox::toggled, this, [this, field](bool on) { m_state.*field = on; });
    column->addWidget(box);
    return box;
}

void OptionsPanel::add_buttons(QVBoxLayout* column) {
    m_create = new QPushButton("Create TYP");
    m_create->setObjectName("Command2");
    m_create->setMinimumHeight(36);
    column->addWidget(m_create);
    m_launch = new QPushButton("Launch TYP editor");
    m_launch->setObjectName("Command3");
    m_launch->setStyleSheet("QPushButton { background-color: #80FF80; color: black; }"
                            " QPushButton:disabled { background-color: #D8D8D8; color: #989898; }");
    m_launch->setToolTip("Opens the TYP text in the TYP editor chosen in Preferences > Settings");
    m_launch->setEnabled(false);
    column->addWidget(m_launch);
    m_editor_label = new QLabel;
    m_editor_label->setObjectName("Label3");
    m_editor_label->setWordWrap(true);
    column->addWidget(m_editor_label);
}

std::string OptionsPanel::typ_path() const {
    return from_qt(m_path->text());
}

void OptionsPanel::show_typ_path(const std::string& path) {
    m_path->setText(to_qt(path));
}

void OptionsPanel::show_options() {
    m_tag_text->setChecked(m_state.include_tag_text);
    m_classic_looks->setChecked(m_state.classic_looks);
    m_keep_looks->setChecked(m_state.keep_edited_looks);
}

void OptionsPanel::show_editor(const std::string& program) {
    m_has_editor = !program.empty();
    m_editor_label->setText(m_has_editor ? to_qt("TYP editor: " + printable(program))
                                         : QString("No TYP editor chosen (Preferences > Settings chooses one);"
                                                   " the preview shows the TYP text."));
    m_launch->setEnabled(m_has_editor && m_text_made);
}

void OptionsPanel::set_text_made(bool made) {
    m_text_made = made;
    m_launch->setEnabled(m_has_editor && m_text_made);
}

}  // namespace tessaro
