#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <string_view>

#include "window/layout.h"

class QMouseEvent;
class QPaintEvent;
class QResizeEvent;

namespace vantu {

// The process-wide settings the window relies on: stand-ins for the design fonts, the
// application font and the screen readers' view of the window (installAccessibility). Once, after
// the QApplication is made and before the first window; the window itself sets only what is its
// own, such as staying off the taskbar.
void installApplicationSettings();

// The launcher window Form1 as a Qt top-level widget, built from the layout tables: the
// background picture, every control with its design values, colours, fonts, stacking
// and tab order. A plain QWidget rather than a QDialog, so Escape does not close it. It keeps its
// fixed size (the Controls change the width) and has only a close button.
class QtForm : public QWidget {
  public:
    explicit QtForm(QWidget* parent = nullptr);

    // The widget of the control of that name in layout::kControls, or nullptr.
    QWidget* control(std::string_view name) const;
    template <class Widget>
    Widget* controlAs(std::string_view name) const {
        return qobject_cast<Widget*>(control(name));
    }

    // The control around which the focus ring shows: the one with the focus, while the focus
    // cue is shown (as Qt's own cue: once Tab or the pad moved the focus or a pad button was
    // pressed, until a mouse click in the window); else nullptr.
    QWidget* focusRingControl() const;
    // Shows or hides the focus cue, Qt's own and the ring, at once.
    void showFocusCue(bool shown);

  protected:
    // A mouse click on the window or a control hides the focus cue.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void createControls();
    void arrangeStacking();
    void arrangeTabOrder();

    QPixmap background_;
    std::array<QWidget*, layout::kControls.size()> controls_{};
    QWidget* focusRing_ = nullptr;
};

}  // namespace vantu
