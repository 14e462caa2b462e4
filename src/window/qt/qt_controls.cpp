#include "window/qt/qt_controls.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <algorithm>
#include <cmath>
#include <utility>

#include "window/layout.h"
#include "window/qt/option_widgets.h"
#include "window/qt/qt_form.h"

namespace vantu {
namespace {

// Text2 is never shown; its widget gets at most this much of the text, as Latin-1.
constexpr std::size_t kText2WidgetBytes = 4096;

// Fires once per change of the three-way state, from a click or from the program.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
constexpr auto kStateChanged = &QCheckBox::checkStateChanged;
#else
constexpr auto kStateChanged = &QCheckBox::stateChanged;
#endif

template <class Widget>
Widget& required(const QtForm& window, std::string_view name) {
    auto* widget = window.controlAs<Widget>(name);
    if (widget == nullptr)
        throw ControlError("the window has no control " + std::string(name));
    return *widget;
}

}  // namespace

QtControls::QtControls(QtForm& window)
    : window_(window),
      list_(&required<QComboBox>(window, "Combo1")),
      text2Box_(&required<QPlainTextEdit>(window, "Text2")),
      text2_(std::string(layout::findControl("Text2")->caption)) {
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        const CheckBox which = checkBoxByNumber(n);
        OptionCheckBox* check = &required<OptionCheckBox>(window, "Check" + std::to_string(n));
        checks_[static_cast<std::size_t>(n - 1)] = check;
        connections_.push_back(QObject::connect(check, kStateChanged, [this, which] {
            if (events_ != nullptr)
                events_->checkClicked(which);
        }));
    }
    connections_.push_back(QObject::connect(list_, &QComboBox::currentIndexChanged, [this] {
        if (events_ != nullptr)
            events_->comboClicked();
    }));
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

std::int16_t QtControls::checkValue(CheckBox which) const {
    return box(which).value();
}

void QtControls::setCheckValue(CheckBox which, std::int16_t value) {
    if (!isCheckValue(value)) {
        throw ControlError("invalid check box value " + std::to_string(value));
    }
    box(which).setValue(value);
}

std::int16_t QtControls::listIndex() const {
    return static_cast<std::int16_t>(list_->currentIndex());
}

void QtControls::setListIndex(std::int16_t index) {
    // QComboBox clears the selection on an index out of range; refuse it instead.
    if (!isListIndex(index) || index >= list_->count()) {
        throw ControlError("invalid list index " + std::to_string(index));
    }
    // QComboBox reports setting -1 again as a change; the same index is no change.
    if (index == list_->currentIndex())
        return;
    list_->setCurrentIndex(index);
}

void QtControls::setText2(std::string text) {
    text2_.setText(std::move(text));
    showText2();
}

void QtControls::setText2Trace(std::string content) {
    text2_.setTraceOf(std::move(content));
    showText2();
}

// The box is never shown; it gets only the start of the text.
void QtControls::showText2() {
    const std::string shown = text2_.start(kText2WidgetBytes);
    text2Box_->setPlainText(
        QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size())));
}

float QtControls::outerWidthTwips() const {
    return static_cast<float>(window_.frameGeometry().width() * layout::kTwipsPerPixel);
}

void QtControls::setOuterWidthTwips(float twips) {
    // The frame's width is what the window manager reports now; before it has reported anything
    // the frame counts as zero and the client area takes the whole width.
    const int frame = window_.frameGeometry().width() - window_.width();
    const double client = std::round(static_cast<double>(twips) / layout::kTwipsPerPixel) - frame;
    if (!(client >= 1 && client <= QWIDGETSIZE_MAX)) {
        throw ControlError("invalid window width " + std::to_string(twips));
    }
    window_.setFixedSize(static_cast<int>(client), window_.height());
}

}  // namespace vantu
