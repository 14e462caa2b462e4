#pragma once

#include <QApplication>
#include <QString>
#include <QTest>
#include <string>
#include <vector>

#include "ports/controls.h"
#include "test_support.h"
#include "window/form1.h"
#include "window/qt/qt_controls.h"
#include "window/qt/qt_form.h"
#include "window/qt/qt_launcher.h"

namespace vantu::testing {

// Records the Click notifications the controls raise, by control name.
class RecordingEvents : public ControlEvents {
  public:
    void checkClicked(CheckBox box) override {
        events.push_back("Check" + std::to_string(checkBoxNumber(box)));
    }
    void comboClicked() override { events.push_back("Combo1"); }

    std::vector<std::string> events;
};

// The window and its controls, with the notifications recorded.
struct QtWindow {
    QtWindow() { controls.setEvents(&recorder); }

    QtForm window;
    QtControls controls{window};
    RecordingEvents recorder;
};

// The whole launcher as main() puts it together, over a recording platform and a temporary
// game folder.
struct QtLauncher {
    QtLauncher() { connectHandlers(window, controls, form); }

    TempFolder folder;
    QtForm window;
    QtControls controls{window};
    FakePlatform platform;
    Form1 form{controls, platform, folder.string()};
};

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
