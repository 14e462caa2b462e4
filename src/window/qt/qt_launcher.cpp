#include "window/qt/qt_launcher.h"

#include <QPushButton>

#include "window/form1.h"
#include "window/qt/option_widgets.h"
#include "window/qt/qt_controls.h"
#include "window/qt/qt_form.h"

namespace vantu {
namespace {

template <class Widget, class Signal>
void route(QtForm& window, std::string_view control, Signal signal, Platform& platform, Form1& form,
           void (Form1::*handler)()) {
    if (auto* widget = window.controlAs<Widget>(control)) {
        QObject::connect(widget, signal, &window, [&platform, &form, handler] {
            runHandler(platform, [&] { (form.*handler)(); });
        });
    }
}

}  // namespace

void connectHandlers(QtForm& window, QtControls& controls, Form1& form, Platform& platform) {
    controls.setEvents(&form);
    route<QPushButton>(window, "Command1", &QPushButton::clicked, platform, form,
                       &Form1::Command1_Click);
    route<QPushButton>(window, "Command2", &QPushButton::clicked, platform, form,
                       &Form1::Command2_Click);
    route<QPushButton>(window, "Command3", &QPushButton::clicked, platform, form,
                       &Form1::Command3_Click);
    route<QPushButton>(window, "Command4", &QPushButton::clicked, platform, form,
                       &Form1::Command4_Click);
    route<ClickLabel>(window, "Label1", &ClickLabel::clicked, platform, form, &Form1::Label1_Click);
}

}  // namespace vantu
