// The platforms Qt will try, as the launcher reads them before Qt starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/display_check.h"
#include "posix_test_support.h"

namespace vantu::testing {
namespace {

using testing::EnvVar;

struct PlatformsCase {
    std::string option;          // the command line's -platform
    std::string environment;     // QT_QPA_PLATFORM
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::vector<std::string> tried;
};

class QtPlatforms : public ::testing::TestWithParam<PlatformsCase> {};

TEST_P(QtPlatforms, AreReadAsQtReadsThem) {
    const PlatformsCase& c = GetParam();
    const EnvVar platform("QT_QPA_PLATFORM", c.environment);
    const EnvVar wayland("WAYLAND_DISPLAY", c.waylandDisplay);
    const EnvVar session("XDG_SESSION_TYPE", "");
    EXPECT_EQ(qtPlatforms(c.option), c.tried);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, QtPlatforms,
    ::testing::Values(PlatformsCase{"", "", "", {"xcb"}},
                      PlatformsCase{"", "", "wayland-1", {"wayland", "xcb"}},
                      // Names lower-cased, options after ':' and empty entries left out.
                      PlatformsCase{"", ";Wayland-EGL:opt=1;;XCB;", "", {"wayland-egl", "xcb"}},
                      PlatformsCase{"", "::;:xcb", "", {"xcb"}},
                      PlatformsCase{"", ";", "wayland-1", {}},
                      // The command line's platform wins over the environment's.
                      PlatformsCase{"offscreen", "xcb", "", {"offscreen"}}));

// Only a platform that shows its windows on a display that is there: no box that waits unseen.
TEST(DisplayAtHand, OnlyWhereEveryPlatformShowsItsWindowsAndHasItsDisplay) {
    const EnvVar wayland("WAYLAND_DISPLAY", ""), session("XDG_SESSION_TYPE", "");
    const struct {
        const char *option, *environment, *display;
        bool atHand;
    } cases[] = {{"", "", ":5", true},
                 {"xcb", "offscreen", ":5", true},
                 {"", "", "", false},
                 {"offscreen", "", ":5", false},
                 {"", "xcb;offscreen", ":5", false}};
    for (const auto& c : cases) {
        const EnvVar platform("QT_QPA_PLATFORM", c.environment), display("DISPLAY", c.display);
        EXPECT_EQ(displayAtHand(c.option, ""), c.atHand) << c.option << "|" << c.environment;
    }
}

}  // namespace
}  // namespace vantu::testing
