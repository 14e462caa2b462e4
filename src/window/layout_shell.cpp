#include "window/layout_shell.h"

#include <string_view>

namespace vantu::layout {
namespace {

// Text in single quotes for the shell, each quote in it written as '\''.
std::string singleQuoted(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string_view("'\\''") : std::string_view(&c, 1);
    return quoted + "'";
}

}  // namespace

std::string layoutShell(const WindowDesign& form, std::span<const ControlDesign> controls) {
    std::string text =
        "# The window's layout (src/window/layout.h), written by CMake; lengths in twips.\n";
    text += "MAIN_TITLE=" + singleQuoted(form.caption) + "\n";
    text += "CLIENT_WIDTH_TWIPS=" + std::to_string(form.clientWidth) +
            " CLIENT_HEIGHT_TWIPS=" + std::to_string(form.clientHeight) + "\n";
    text += "NARROW_WIDTH_TWIPS=" + std::to_string(form.narrowOuterWidth) +
            " WIDE_WIDTH_TWIPS=" + std::to_string(form.wideOuterWidth) + "\n";
    text += "# Each control of the window itself (not of a frame): left top width height.\n";
    text += "declare -gA CONTROL_TWIPS=(\n";
    for (const ControlDesign& c : controls) {
        if (c.container != form.name)
            continue;
        text += "    [" + std::string(c.name) + "]='" + std::to_string(c.left) + " " +
                std::to_string(c.top) + " " + std::to_string(c.width) + " " +
                std::to_string(c.height) + "'\n";
    }
    return text + ")\n";
}

}  // namespace vantu::layout
