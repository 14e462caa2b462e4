#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "window/gamepad.h"

namespace vantu {

class QtForm;

// The pads on the Qt window: a timer of the window's thread polls the pad source while the
// window is active (see pad::kConnectedPollMs) and hands the states to the core's Gamepad, which
// moves the focus and sends keys through this window. Polling starts with the event loop, once
// the window has shown; the first poll after each activation, the first one of all included,
// only takes note of what is held, so that a button pressed before never counts.
class QtGamepad : public QObject, private pad::PadWindow {
  public:
    QtGamepad(QtForm& window, Form1& form, const Controls& controls, pad::PadSource& source);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void poll();

    std::optional<std::size_t> focusedControl() const override;
    void focusWithCue(std::size_t control) override;
    bool listOpen() const override;
    void sendKey(pad::Key key) override;

    QtForm& window_;
    pad::PadSource& source_;
    pad::Gamepad gamepad_;
    QTimer timer_;
    QElapsedTimer clock_;
    // The next poll only takes note of what is held (the window became active).
    bool resetNow_ = true;
};

}  // namespace vantu
