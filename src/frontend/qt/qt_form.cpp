#include "frontend/qt/qt_form.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <cmath>
#include <vector>

#include "frontend/qt/option_widgets.h"
#include "frontend/qt/qt_accessibility.h"
#include "frontend/qt/qt_strings.h"
#include "frontend/qt/x11_taskbar.h"
#include "window/focus_ring.h"

namespace vantu {
namespace {

using layout::ControlDesign;
using layout::Kind;
using layout::takesFocus;

QColor toQColor(layout::Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

QFont toQFont(const layout::FontDesign& design) {
    QFont font(toQString(design.family));
    font.setPointSizeF(design.points);
    font.setBold(design.bold);
    return font;
}

QWidget* createWidget(const ControlDesign& design) {
    const QString caption = toQString(design.caption);
    switch (design.kind) {
        case Kind::PushButton: {
            auto* button = new PushButton(caption);
            // Enter presses only the focused button, never a default one.
            button->setAutoDefault(false);
            button->setDefault(false);
            return button;
        }
        case Kind::CheckBox: {
            auto* box = new OptionCheckBox(caption);
            box->setValue(design.initialValue);
            return box;
        }
        case Kind::DropDownList: {
            auto* list = new QComboBox;
            list->setEditable(false);
            for (std::string_view mode : layout::kDisplayModes)
                list->addItem(toQString(mode));
            // addItems selects the first entry; the list opens with the design selection.
            list->setCurrentIndex(design.initialValue);
            return list;
        }
        case Kind::TextBox:
            return new QPlainTextEdit(caption);
        case Kind::Frame:
            return new QGroupBox(caption);
        case Kind::Label: {
            auto* label = new ClickLabel(caption);
            label->setTextFormat(Qt::PlainText);  // "<<" is a caption, not markup
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case Kind::Shape: {
            auto* shape = new QFrame;
            shape->setFrameStyle(QFrame::Box | QFrame::Plain);
            shape->setLineWidth(1);
            return shape;
        }
    }
    return new QWidget;
}

// Panel colours: the back colour fills the control, the text colour draws its caption (for the
// shape, its outline). Check boxes paint with the button roles, the others with the window roles.
void applyColours(QWidget& widget, const ControlDesign& design) {
    QPalette palette = widget.palette();
    if (design.back) {
        palette.setColor(QPalette::Window, toQColor(*design.back));
        palette.setColor(QPalette::Button, toQColor(*design.back));
        widget.setAutoFillBackground(true);
    }
    if (design.text) {
        palette.setColor(QPalette::WindowText, toQColor(*design.text));
        palette.setColor(QPalette::ButtonText, toQColor(*design.text));
    }
    widget.setPalette(palette);
}

// The focus ring, painted over the whole client area above every control, so that no sibling
// (a frame's backdrop, the label above the list) hides part of it. It lets the mouse through,
// never takes the focus, and is no control of the layout, so screen readers are not offered it.
class FocusRingOverlay : public QWidget {
  public:
    explicit FocusRingOverlay(QtForm& form) : QWidget(&form), form_(form) {
        setObjectName(QStringLiteral("FocusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        connect(qApp, &QApplication::focusChanged, this, [this] { update(); });
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const QWidget* control = form_.focusRingControl();
        if (control == nullptr)
            return;
        // Laid out in the screen's device pixels, at the DPI of its device pixel ratio, just
        // outside every device pixel the control touches: each band at least 2 of the window's
        // pixels, rounded up, also where the ratio makes that no whole number of device pixels
        // (painted in the window's pixels, a 2 px band would be 2 or 3 device pixels at 1.25).
        const double ratio = devicePixelRatioF();
        const QRect place = control->geometry();
        const auto device = [ratio](int logical, bool up) {
            const double scaled = logical * ratio;
            return static_cast<int>(up ? std::ceil(scaled - 1e-9) : std::floor(scaled + 1e-9));
        };
        const layout::Rect rect{device(place.left(), false), device(place.top(), false),
                                device(place.left() + place.width(), true),
                                device(place.top() + place.height(), true)};
        const int dpi = static_cast<int>(std::lround(layout::kStandardDpi * ratio));
        const int band = device(layout::kFocusRing.bandPixels, true);
        QPainter painter(this);
        painter.scale(1 / ratio, 1 / ratio);
        for (const layout::RingPiece& piece : layout::focusRing(rect, dpi, band)) {
            const layout::Rect& r = piece.rect;
            painter.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                             toQColor(piece.colour));
        }
    }

  private:
    const QtForm& form_;
};

}  // namespace

void installApplicationSettings() {
    // The window's fonts are not installed on Linux and fontconfig's stand-in is too wide for the
    // captions; Liberation Sans has the same widths as the intended sans serif. The application
    // takes the window's font too, so that no other font is loaded at start-up.
    for (const layout::FontDesign* design : {&layout::kWindowFont, &layout::kBoldFont}) {
        QFont::insertSubstitution(toQString(design->family), QStringLiteral("Liberation Sans"));
    }
    QApplication::setFont(toQFont(layout::kWindowFont));
    // The window's app id on Wayland: the taskbar takes the window's icon and name from the
    // desktop entry of that name (packaging/vantu-launcher.desktop), whatever the program's file
    // is called (a renamed copy, a bundle).
    QGuiApplication::setDesktopFileName(QStringLiteral("vantu-launcher"));
    installAccessibility();
}

QtForm::QtForm(QWidget* parent)
    : QWidget(parent), background_(QStringLiteral(":/art/background.png")) {
    setObjectName(toQString(layout::kForm.name));
    setWindowTitle(toQString(layout::kForm.caption));
    // A normal window, not a dialog: a window manager may put a parentless dialog on the
    // taskbar whatever it asks (mutter does). With its fixed size, only a close button is left.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/art/icon%1.png").arg(size));
    setWindowIcon(icon);
    setFont(toQFont(layout::kWindowFont));
    setFixedSize(layout::twipsToPixels(layout::kForm.clientWidth),
                 layout::twipsToPixels(layout::kForm.clientHeight));

    createControls();
    arrangeStacking();
    arrangeTabOrder();
    focusRing_ = new FocusRingOverlay(*this);
    focusRing_->setGeometry(rect());
    focusRing_->raise();
    keepOffTaskbar(*this);
}

QWidget* QtForm::control(std::string_view name) const {
    const std::size_t i = layout::indexOf(name);
    return i < controls_.size() ? controls_[i] : nullptr;
}

void QtForm::createControls() {
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const ControlDesign& design = layout::kControls[i];
        QWidget* widget = createWidget(design);
        widget->setObjectName(toQString(design.name));
        widget->setFont(toQFont(design.font));
        applyColours(*widget, design);
        if (!takesFocus(design))
            widget->setFocusPolicy(Qt::NoFocus);
        controls_[i] = widget;
    }
    // Every control is a child of the window, a control inside a frame too (placed over the
    // frame, in front of it): a label names a list beside it only as its sibling.
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const ControlDesign& design = layout::kControls[i];
        const layout::Rect place = layout::rectInForm(design);
        controls_[i]->setParent(this);
        controls_[i]->setGeometry(
            layout::twipsToPixels(place.left), layout::twipsToPixels(place.top),
            layout::twipsToPixels(design.width), layout::twipsToPixels(design.height));
        controls_[i]->setVisible(design.visible);
        controls_[i]->installEventFilter(this);
    }
    for (const layout::AccessibleDesign& accessible : layout::kAccessible) {
        if (auto* label = controlAs<QLabel>(accessible.labelledBy))
            label->setBuddy(control(accessible.control));
    }
}

// Raises the controls from the back to the front, so the frontmost ends up on top.
void QtForm::arrangeStacking() {
    const std::vector<std::size_t> order = layout::stackingOrder();
    for (auto i = order.rbegin(); i != order.rend(); ++i)
        controls_[*i]->raise();
}

// Tab goes through the focusable controls by ascending tab index; the first one has the focus
// when the window opens.
void QtForm::arrangeTabOrder() {
    const std::vector<std::size_t> order = layout::focusOrder();
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(controls_[order[i - 1]], controls_[order[i]]);
    }
    if (!order.empty())
        controls_[order.front()]->setFocus();
}

QWidget* QtForm::focusRingControl() const {
    if (!testAttribute(Qt::WA_KeyboardFocusChange))
        return nullptr;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (takesFocus(layout::kControls[i]) && controls_[i]->hasFocus() &&
            controls_[i]->isVisible())
            return controls_[i];
    }
    return nullptr;
}

void QtForm::showFocusCue(bool shown) {
    if (testAttribute(Qt::WA_KeyboardFocusChange) == shown)
        return;
    setAttribute(Qt::WA_KeyboardFocusChange, shown);
    // Neither the overlay nor the style repaints by itself when only the attribute changes.
    if (focusRing_ != nullptr)
        focusRing_->update();
    if (QWidget* focus = focusWidget())
        focus->update();
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        showFocusCue(false);
    return QWidget::eventFilter(watched, event);
}

void QtForm::mousePressEvent(QMouseEvent* event) {
    showFocusCue(false);
    QWidget::mousePressEvent(event);
}

void QtForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (focusRing_ != nullptr)
        focusRing_->setGeometry(rect());
}

void QtForm::paintEvent(QPaintEvent*) {
    // Unscaled from the top-left corner; the picture is larger than the wide window.
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

}  // namespace vantu
