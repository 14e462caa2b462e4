#include "window/qt/qt_launcher.h"

#include <QPushButton>

#include "window/form1.h"
#include "window/qt/option_widgets.h"
#include "window/qt/qt_controls.h"
#include "window/qt/qt_form.h"

namespace vantu {
void connectHandlers(QtForm& window, QtControls& controls, Form1& form) {
    controls.setEvents(&form);
    controls.setChangeRunner(
        [&form](const std::function<void()>& change) { form.dispatch(change); });
    for (const ClickRoute& route : kClickRoutes) {
        const auto run = [&form, handler = route.handler] { form.dispatch(handler); };
        if (auto* button = window.controlAs<QPushButton>(route.control))
            QObject::connect(button, &QPushButton::clicked, &window, run);
        else if (auto* label = window.controlAs<ClickLabel>(route.control))
            QObject::connect(label, &ClickLabel::clicked, &window, run);
    }
}

}  // namespace vantu
