#pragma once

#include <QApplication>
#include <QString>
#include <QTest>
#include <string>
#include <vector>

#include "frontend/qt/qt_controls.h"
#include "frontend/qt/qt_form.h"
#include "ports/controls.h"
#include "test_support.h"
#include "window/form1.h"

namespace vantu::testing {

// The window and its controls.
struct QtFront {
    QtForm window;
    QtControls controls{window};
};

// The window and its controls, with the notifications recorded.
struct QtWindow : QtFront {
    QtWindow() { controls.setEvents(&recorder); }
    RecordingEvents recorder;
};

using QtLauncher = LauncherOver<QtFront>;

// Shows the window and waits until it is active, as the player would find it.
inline void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

inline std::string toStd(const QString& text) {
    return text.toStdString();
}

}  // namespace vantu::testing
