#include "window/qt/qt_launcher.h"

#include <QPushButton>

#include "window/form1.h"
#include "window/qt/option_widgets.h"
#include "window/qt/qt_controls.h"
#include "window/qt/qt_form.h"

namespace vantu {
namespace {

template <class Widget, class Signal>
void route(QtForm& window, std::string_view control, Signal signal, Form1& form,
           Form1::Handler handler) {
    if (auto* widget = window.controlAs<Widget>(control)) {
        QObject::connect(widget, signal, &window, [&form, handler] { form.dispatch(handler); });
    }
}

}  // namespace

void connectHandlers(QtForm& window, QtControls& controls, Form1& form) {
    controls.setEvents(&form);
    route<QPushButton>(window, "Command1", &QPushButton::clicked, form, &Form1::Command1_Click);
    route<QPushButton>(window, "Command2", &QPushButton::clicked, form, &Form1::Command2_Click);
    route<QPushButton>(window, "Command3", &QPushButton::clicked, form, &Form1::Command3_Click);
    route<QPushButton>(window, "Command4", &QPushButton::clicked, form, &Form1::Command4_Click);
    route<ClickLabel>(window, "Label1", &ClickLabel::clicked, form, &Form1::Label1_Click);
}

}  // namespace vantu
