#include "window/win32/win32_launcher.h"

#include <string_view>

#include "window/layout.h"

namespace vantu {
namespace {

struct Route {
    std::string_view control;
    Form1::Handler handler;
};

constexpr Route kRoutes[] = {
    {"Command1", &Form1::Command1_Click}, {"Command2", &Form1::Command2_Click},
    {"Command3", &Form1::Command3_Click}, {"Command4", &Form1::Command4_Click},
    {"Label1", &Form1::Label1_Click},
};

}  // namespace

Win32Launcher::Win32Launcher(Win32Form& window, Win32Controls& controls, Form1& form)
    : window_(window), controls_(controls), form_(form) {
    controls_.setEvents(&form_);
    window_.setListener(this);
}

Win32Launcher::~Win32Launcher() {
    window_.setListener(nullptr);
    controls_.setEvents(nullptr);
}

void Win32Launcher::controlClicked(std::size_t control) {
    if (control >= layout::kControls.size())
        return;
    const layout::ControlSpec& design = layout::kControls[control];
    if (design.kind == layout::Kind::CheckBox) {
        // "Check1" .. "Check6"
        const int number = design.name.back() - '0';
        if (number >= 1 && number <= kCheckBoxCount)
            controls_.playerClickedCheck(checkBoxByNumber(number));
        return;
    }
    for (const Route& route : kRoutes) {
        if (route.control == design.name) {
            form_.dispatch(route.handler);
            return;
        }
    }
}

void Win32Launcher::listSelectionChanged() {
    controls_.playerSelectedEntry();
}

}  // namespace vantu
