#include "window/qt/qt_gamepad.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>

#include "window/layout.h"
#include "window/qt/qt_form.h"

namespace vantu {
namespace {

QComboBox* listOf(const QtForm& window) {
    return window.controlAs<QComboBox>("Combo1");
}

}  // namespace

QtGamepad::QtGamepad(QtForm& window, Form1& form, const Controls& controls, pad::PadSource& source)
    : window_(window), source_(source), gamepad_(*this, form, controls) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &QtGamepad::poll);
    clock_.start();
    window.installEventFilter(this);
    if (window.isActiveWindow())
        timer_.start(0);
}

bool QtGamepad::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::WindowActivate) {
        // The pads are read on the next tick, not inside the event.
        resetNow_ = true;
        timer_.start(0);
    } else if (watched == &window_ && event->type() == QEvent::WindowDeactivate) {
        timer_.stop();
    }
    return false;
}

void QtGamepad::poll() {
    if (!window_.isActiveWindow())
        return;
    const std::vector<pad::PadState> pads = source_.read();
    // The timer starts again first: an action may end the launcher or open the list's popup.
    timer_.start(pads.empty() ? pad::kIdlePollMs : pad::kConnectedPollMs);
    if (resetNow_) {
        // Whatever is held now was pressed for another window, or before the launcher.
        resetNow_ = false;
        gamepad_.reset(pads);
    } else {
        gamepad_.update(pads, clock_.elapsed());
    }
}

std::optional<std::size_t> QtGamepad::focusedControl() const {
    if (listOpen())
        return layout::indexOf("Combo1");
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus->window() != &window_)
        return std::nullopt;
    const QByteArray name = focus->objectName().toUtf8();
    const std::size_t index = layout::indexOf(std::string_view(name.constData(), name.size()));
    return index < layout::kControls.size() ? std::optional(index) : std::nullopt;
}

void QtGamepad::focusWithCue(std::size_t control) {
    // Focus moved as by Tab, so that the style draws its focus cue.
    window_.setAttribute(Qt::WA_KeyboardFocusChange);
    if (QWidget* widget = window_.control(layout::kControls[control].name))
        widget->setFocus(Qt::TabFocusReason);
}

bool QtGamepad::listOpen() const {
    const QComboBox* list = listOf(window_);
    return list != nullptr && list->view()->isVisible();
}

void QtGamepad::sendKey(pad::Key key) {
    QWidget* target = listOpen() ? listOf(window_)->view() : QApplication::focusWidget();
    if (target == nullptr)
        return;
    int code = Qt::Key_Space;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    switch (key) {
        case pad::Key::Space:
            code = Qt::Key_Space;
            break;
        case pad::Key::OpenList:
            code = Qt::Key_Down, modifiers = Qt::AltModifier;
            break;
        case pad::Key::Up:
            code = Qt::Key_Up;
            break;
        case pad::Key::Down:
            code = Qt::Key_Down;
            break;
        case pad::Key::Return:
            code = Qt::Key_Return;
            break;
        case pad::Key::Escape:
            code = Qt::Key_Escape;
            break;
    }
    window_.setAttribute(Qt::WA_KeyboardFocusChange);
    const QString text = key == pad::Key::Space ? QStringLiteral(" ") : QString();
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    // A button pressed by Space clicks when it is let go.
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QCoreApplication::sendEvent(target, &release);
}

}  // namespace vantu
