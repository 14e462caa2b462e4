// Prints layout.sh, the window's layout for the test and benchmark scripts, from the layout
// table the launcher is built with; cmake/layout-shell.cmake runs it when the build is
// configured.
#include <cstdio>
#include <string>

#include "window/layout.h"
#include "window/layout_shell.h"

int main() {
    using namespace vantu::layout;
    const std::string text = layoutShell(kForm, kControls);
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
                   std::fflush(stdout) == 0
               ? 0
               : 1;
}
