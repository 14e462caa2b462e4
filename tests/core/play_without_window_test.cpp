#include "window/play_without_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "test_support.h"

namespace vantu::testing {
namespace {

using ::testing::ElementsAre;

// What is at the game folder's xconfig.dat, and the command line that "Play" builds right after
// the window opened over it, when known by heart ("" when only the window's own is compared).
struct PlayCase {
    std::string_view name;
    std::optional<std::string_view> config;  // none: no file; "/": a folder in its place
    std::string_view commandLine;
};

class PlayWithoutWindow : public ::testing::TestWithParam<PlayCase> {
  protected:
    // The same game folder, once under a window's start-up and "Play", once under --play.
    void SetUp() override {
        const PlayCase& c = GetParam();
        if (c.config == "/")
            std::filesystem::create_directory(window.folder.path() / "xconfig.dat");
        else if (c.config)
            window.writeConfig(*c.config);
        window.form.dispatch(&Form1::Form_Load);
        window.form.dispatch(&Form1::Command1_Click);
    }

    Launcher window;
};

// Whatever the file holds, or when it cannot be read, --play starts what "Play" starts the
// moment the window is up: the same options, mode and change flag, the same show state; and it
// plays no sound.
TEST_P(PlayWithoutWindow, StartsWhatPlayStartsAndPlaysNoSound) {
    FakePlatform platform;
    playWithoutWindow(platform);  // in the window's game folder, the current one
    ASSERT_EQ(window.platform.starts.size(), 1u);
    ASSERT_EQ(platform.starts.size(), 1u);
    EXPECT_EQ(platform.starts[0].commandLine, window.platform.starts[0].commandLine);
    EXPECT_EQ(platform.starts[0].showState, window.platform.starts[0].showState);
    if (!GetParam().commandLine.empty()) {
        EXPECT_EQ(platform.starts[0].commandLine, GetParam().commandLine);
    }
    EXPECT_THAT(platform.calls, ElementsAre("start", "end"));
    EXPECT_THAT(window.platform.calls, ElementsAre("sound", "start", "end"));
}

INSTANTIATE_TEST_SUITE_P(
    Configs, PlayWithoutWindow,
    ::testing::Values(
        PlayCase{"NoFile", std::nullopt, "vantu.exe -nc -d v1  -d noshadow -d saveme"},
        PlayCase{"Typical", "1 1 1 1 1 0 0 0 0 3 ", "vantu.exe -nc -d v3  -d saveme"},
        PlayCase{"AllOffWindowedModeFive", "0 0 0 0 0 0 0 0 1 5 ", ""},
        PlayCase{"OddValuesAndHalfMode", "2 1 x 1 -1 0 0 0 7 2.5 ", ""},
        PlayCase{"TenthFieldUnfinished", "1 1 1 1 1 0 0 0 0 3", ""},
        PlayCase{"ModeOutOfRange", "1 1 1 1 1 0 0 0 0 12 ", ""},
        PlayCase{"FolderInItsPlace", "/", "vantu.exe -nc -d v1  -d noshadow -d saveme"}),
    byName);

// A game that cannot be started is reported once, as "Play" reports it, and nothing else
// follows: no end with status 0, no sound.
TEST(PlayWithoutWindowFailure, AGameThatCannotStartIsReportedOnce) {
    TempFolder folder;
    const InFolder inFolder(folder.path());
    FakePlatform platform;
    platform.startFailure = "vantu.exe: No such file or directory";
    playWithoutWindow(platform);
    EXPECT_THAT(platform.calls, ElementsAre("start", "report"));
    EXPECT_THAT(platform.reports, ElementsAre("vantu.exe: No such file or directory"));
}

}  // namespace
}  // namespace vantu::testing
