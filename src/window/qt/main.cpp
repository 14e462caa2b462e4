// The Linux launcher: the Qt window, its controls, the launcher's logic and the Linux services.
#include <QApplication>

#include "platform/linux/linux_platform.h"
#include "window/form1.h"
#include "window/qt/qt_controls.h"
#include "window/qt/qt_form.h"
#include "window/qt/qt_launcher.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    // The window opens with the design values, narrow, focus on "Play".
    vantu::QtForm window;
    vantu::QtControls controls(window);
    vantu::LinuxPlatform platform;
    // The game's files are in the current directory.
    vantu::Form1 form(controls, platform);
    vantu::connectHandlers(window, controls, form);

    // The options and the start-up sound are in place before the window first shows.
    form.dispatch(&vantu::Form1::Form_Load);
    window.show();
    return app.exec();
}
