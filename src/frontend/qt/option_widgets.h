#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <cstdint>

namespace vantu {

// A check box holding the window's values 0 (unchecked), 1 (checked) and 2 (greyed). The player's
// click toggles between unchecked and checked; a greyed box becomes checked. Only the program
// can grey a box.
class OptionCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;

    std::int16_t value() const;
    // Takes 0, 1 or 2; other values leave the box as it is (callers validate first).
    void setValue(std::int16_t value);

  protected:
    void nextCheckState() override;
};

// A push button that the player presses with Space, or with Enter while it has the focus. It is
// never a default button: Enter pressed anywhere else presses nothing.
class PushButton : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A label that reports a click: a press and a release of the left button over it.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // Clicks it as the player does (for assistive technology).
    void click() { emit clicked(); }

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

}  // namespace vantu
