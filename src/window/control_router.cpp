#include "window/control_router.h"

#include "window/form1.h"
#include "window/widget_controls.h"

namespace vantu {

ControlRouter::ControlRouter(WidgetControls& controls, Form1& form)
    : controls_(controls), form_(form) {
    controls_.setEvents(&form_);
    controls_.setRouter(this);
}

ControlRouter::~ControlRouter() {
    controls_.setRouter(nullptr);
    controls_.setEvents(nullptr);
}

void ControlRouter::click(std::string_view control) const {
    for (const ClickRoute& route : kClickRoutes) {
        if (route.control == control) {
            form_.dispatch(route.handler);
            return;
        }
    }
}

void ControlRouter::change(const std::function<void()>& change) const {
    form_.dispatch(change);
}

}  // namespace vantu
