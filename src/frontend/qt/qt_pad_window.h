#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstddef>
#include <optional>

#include "window/gamepad.h"
#include "window/pad_poller.h"

namespace vantu {

class QtForm;

// The pads on the Qt window: the window's side of pad::Gamepad (the focus moves as by Tab, with
// its cue, and keys reach the focused control as the keyboard's do), and the pad::PadPoller
// driven by a timer of the window's thread and the window's first paint and activations.
class QtPadWindow : public QObject, private pad::PadWindow, private pad::PadTimer {
  public:
    QtPadWindow(QtForm& window, Form1& form, const Controls& controls, pad::PadSource& source);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<std::size_t> focusedControl() const override;
    void focusWithCue(std::size_t control) override;
    bool listOpen() const override;
    void sendKey(pad::Key key) override;
    void showFocusCue() override;
    void every(int ms) override;
    void stop() override;

    QtForm& window_;
    QTimer timer_;
    QElapsedTimer clock_;
    pad::Gamepad gamepad_;
    pad::PadPoller poller_;
};

}  // namespace vantu
