#pragma once

#include <QCheckBox>
#include <QLabel>
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

// A label that reports a click: a press and a release of the left button over it.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

}  // namespace vantu
