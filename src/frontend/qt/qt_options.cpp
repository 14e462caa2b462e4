#include "frontend/qt/qt_options.h"

#include <array>

namespace vantu {
namespace {

using Value = ToolkitOption::Value;
using Kept = ToolkitOption::Kept;

// Those of QGuiApplication, of QApplication and of its X11 platform, each taken with one dash or
// two.
constexpr std::array<ToolkitOption, 22> kQtOptionRows{{
    {"platform", Value::Next, false, Kept::Platform},
    {"platformpluginpath", Value::Next, true},
    {"platformtheme", Value::Next},
    {"plugin", Value::Next},
    {"qwindowgeometry", Value::Next},
    {"qwindowicon", Value::Next, true},
    {"qwindowtitle", Value::Next},
    {"reverse", Value::None},
    {"session", Value::NextOrAttached},
    {"testability", Value::None},
    {"style", Value::NextOrAttached},
    {"stylesheet", Value::NextOrAttached, true},
    {"widgetcount", Value::None},
    {"display", Value::Next, false, Kept::Display},
    {"geometry", Value::Next},
    {"title", Value::Next},
    {"icon", Value::Next, true},
    {"name", Value::Next},
    {"visual", Value::Next},
    {"sync", Value::None},
    {"nograb", Value::None},
    {"dograb", Value::None},
}};

}  // namespace

const ToolkitOptions kQtOptions{
    kQtOptionRows, "Qt's own options (-platform NAME, -style NAME, ...) are passed on to Qt.\n"};

}  // namespace vantu
