#include "frontend/qt/option_widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "window/widget_controls.h"

namespace vantu {

std::int16_t OptionCheckBox::value() const {
    switch (checkState()) {
        case Qt::Checked:
            return kChecked;
        case Qt::PartiallyChecked:
            return kGreyed;
        case Qt::Unchecked:
            break;
    }
    return kUnchecked;
}

void OptionCheckBox::setValue(std::int16_t value) {
    switch (value) {
        case kUnchecked:
            setCheckState(Qt::Unchecked);
            break;
        case kChecked:
            setCheckState(Qt::Checked);
            break;
        case kGreyed:
            setCheckState(Qt::PartiallyChecked);
            break;
        default:
            break;
    }
}

// QCheckBox cycles through all three states once a box has been greyed; the player's click
// gives the launcher's own next value instead.
void OptionCheckBox::nextCheckState() {
    setValue(WidgetControls::clickedValue(value()));
}

void PushButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

}  // namespace vantu
