#include "frontend/qt/qt_pad_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QWindow>

#include <array>
#include <utility>

#include "frontend/qt/qt_form.h"
#include "window/layout.h"

namespace vantu {
namespace {

QComboBox* listOf(const QtForm& window) {
    return window.controlAs<QComboBox>("Combo1");
}

}  // namespace

QtPadWindow::QtPadWindow(QtForm& window, Form1& form, const Controls& controls,
                         pad::PadSource& source)
    : window_(window), gamepad_(*this, form, controls), poller_(source, *this, gamepad_) {
    connect(&timer_, &QTimer::timeout, this, [this] { poller_.tick(clock_.elapsed()); });
    clock_.start();
    window.installEventFilter(this);
    // Made for a window already on the screen: its first paint is done, or queued before the
    // timer's first tick.
    if (window.windowHandle() != nullptr && window.windowHandle()->isExposed())
        poller_.shown(window.isActiveWindow());
}

bool QtPadWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_)
        return false;
    switch (event->type()) {
        case QEvent::Paint:
            // The timer's first tick comes after this paint.
            poller_.shown(window_.isActiveWindow());
            break;
        case QEvent::WindowActivate:
            poller_.activated(true);
            break;
        case QEvent::WindowDeactivate:
            poller_.activated(false);
            break;
        default:
            break;
    }
    return false;
}

void QtPadWindow::every(int ms) {
    timer_.start(ms);
}

void QtPadWindow::stop() {
    timer_.stop();
}

std::optional<std::size_t> QtPadWindow::focusedControl() const {
    if (listOpen())
        return layout::indexOf("Combo1");
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus->window() != &window_)
        return std::nullopt;
    const QByteArray name = focus->objectName().toUtf8();
    const std::size_t index = layout::indexOf(std::string_view(name.constData(), name.size()));
    return index < layout::kControls.size() ? std::optional(index) : std::nullopt;
}

void QtPadWindow::focusWithCue(std::size_t control) {
    // Focus moved as by Tab, with the cue shown.
    window_.showFocusCue(true);
    if (QWidget* widget = window_.control(layout::kControls[control].name))
        widget->setFocus(Qt::TabFocusReason);
}

void QtPadWindow::showFocusCue() {
    window_.showFocusCue(true);
}

bool QtPadWindow::listOpen() const {
    const QComboBox* list = listOf(window_);
    return list != nullptr && list->view()->isVisible();
}

void QtPadWindow::sendKey(pad::Key key) {
    QWidget* target = listOpen() ? listOf(window_)->view() : QApplication::focusWidget();
    if (target == nullptr)
        return;
    // The keyboard's key for each pad::Key, in that enum's order.
    static constexpr auto kKeys = std::to_array<std::pair<int, Qt::KeyboardModifier>>({
        {Qt::Key_Space, Qt::NoModifier},
        {Qt::Key_Down, Qt::AltModifier},  // OpenList: what Alt+Down does
        {Qt::Key_Up, Qt::NoModifier},
        {Qt::Key_Down, Qt::NoModifier},
        {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Escape, Qt::NoModifier},
    });
    static_assert(kKeys.size() == static_cast<std::size_t>(pad::Key::Escape) + 1);
    const auto [code, modifiers] = kKeys.at(static_cast<std::size_t>(key));
    const QString text = key == pad::Key::Space ? QStringLiteral(" ") : QString();
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    // A button pressed by Space clicks when it is let go.
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    QCoreApplication::sendEvent(target, &release);
}

}  // namespace vantu
