#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/qt/qt_options.h"

namespace vantu::testing {
namespace {

// Qt's options reach Qt with their values, the platform and display are kept for the display
// check, and paths are read from the folder the launcher was started in.
TEST(QtOptions, AreHandedToQtWithTheirValues) {
    const LauncherArguments a =
        parseLauncherArguments({"-platform", "xcb", "--display", ":7", "-stylesheet", "s.qss",
                                "-session=x", "-reverse", "game", "-qwindowicon", "i.png", "-sync"},
                               kQtOptions, "/start");
    EXPECT_EQ(a.action, LauncherArguments::Action::Run);
    EXPECT_EQ(a.folder, "game");
    EXPECT_EQ(a.platform, "xcb");
    EXPECT_EQ(a.display, ":7");
    EXPECT_EQ(a.toolkitArguments,
              (std::vector<std::string>{"-platform", "xcb", "--display", ":7", "-stylesheet",
                                        "/start/s.qss", "-session=x", "-reverse", "-qwindowicon",
                                        "/start/i.png", "-sync"}));
}

TEST(QtOptions, RefuseAValueAfterAnEqualsSignWhereQtDoes) {
    EXPECT_EQ(parseLauncherArguments({"-platform=xcb"}, kQtOptions).action,
              LauncherArguments::Action::Error);
    EXPECT_EQ(parseLauncherArguments({"-no-such-option"}, kQtOptions).action,
              LauncherArguments::Action::Error);
}

}  // namespace
}  // namespace vantu::testing
