#include "frontend/qt/qt_controls.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>

#include "frontend/qt/option_widgets.h"
#include "frontend/qt/qt_form.h"
#include "window/layout.h"

namespace vantu {
namespace {

// Fires once per change of the three-way state, from a click or from the program.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
constexpr auto kStateChanged = &QCheckBox::checkStateChanged;
#else
constexpr auto kStateChanged = &QCheckBox::stateChanged;
#endif

}  // namespace

QtControls::QtControls(QtForm& window)
    : window_(window),
      list_(requireControl(window.controlAs<QComboBox>("Combo1"), "Combo1")),
      text2Box_(requireControl(window.controlAs<QPlainTextEdit>("Text2"), "Text2")) {
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        const CheckBox which = checkBoxByNumber(n);
        const std::string_view name = layout::checkBoxDesign(which).name;
        OptionCheckBox* check = requireControl(window.controlAs<OptionCheckBox>(name), name);
        checks_[static_cast<std::size_t>(n - 1)] = check;
        connections_.push_back(QObject::connect(check, kStateChanged, [this, which] {
            playerChange([this, which] { playerChangedCheck(which); });
        }));
    }
    connections_.push_back(QObject::connect(list_, &QComboBox::currentIndexChanged, [this] {
        playerChange([this] { playerChangedList(); });
    }));
    for (const layout::ControlDesign& design : layout::kControls) {
        const auto click = [this, name = design.name] { playerClicked(name); };
        if (auto* button = window.controlAs<QPushButton>(design.name))
            connections_.push_back(QObject::connect(button, &QPushButton::clicked, click));
        else if (auto* label = window.controlAs<ClickLabel>(design.name))
            connections_.push_back(QObject::connect(label, &ClickLabel::clicked, click));
    }
}

QtControls::~QtControls() {
    for (const QMetaObject::Connection& connection : connections_) {
        QObject::disconnect(connection);
    }
}

OptionCheckBox& QtControls::box(CheckBox which) const {
    const int n = checkBoxNumber(which);
    if (n < 1 || n > kCheckBoxCount)
        throw ControlError("no such check box");
    return *checks_[static_cast<std::size_t>(n - 1)];
}

std::int16_t QtControls::readCheck(CheckBox which) const {
    return box(which).value();
}

void QtControls::writeCheck(CheckBox which, std::int16_t value) {
    box(which).setValue(value);
}

std::int16_t QtControls::readListIndex() const {
    return static_cast<std::int16_t>(list_->currentIndex());
}

void QtControls::writeListIndex(std::int16_t index) {
    // QComboBox silently clears the selection on an index it does not hold.
    if (index >= list_->count())
        throw ControlError("invalid list index " + std::to_string(index));
    list_->setCurrentIndex(index);
}

// The box is never shown; it gets only the start of the text, as Latin-1.
void QtControls::text2Changed() {
    const std::string shown = text2Start();
    text2Box_->setPlainText(
        QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size())));
}

int QtControls::readOuterWidthPixels() const {
    return window_.frameGeometry().width();
}

void QtControls::writeOuterWidthPixels(int pixels) {
    // The frame's width is what the window manager reports now; before it has reported anything
    // the frame counts as zero and the client area takes the whole width.
    const int client = pixels - (window_.frameGeometry().width() - window_.width());
    if (client < 1)
        throw ControlError("invalid window width " + std::to_string(pixels) + " px");
    window_.setFixedSize(client, window_.height());
}

}  // namespace vantu
