#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_support.h"
#include "window/launcher_run.h"

namespace vantu::testing {
namespace {

// A front end that records each step of the run into the platform's calls, so that the
// platform's own (the sound, the end, a report) fall in between where they happen.
class RecordingFront : public LauncherFront, public ArgumentsMedium {
  public:
    explicit RecordingFront(FakePlatform& platform) : calls_(platform.calls) {}

    const ToolkitOptions& toolkitOptions() const override { return kNoToolkitOptions; }
    ArgumentsMedium& argumentsMedium() override { return *this; }
    std::optional<int> startToolkit(const LauncherArguments&) override {
        calls_.push_back("toolkit");
        return toolkitFailure;
    }
    void offerFailureBox(const LauncherArguments&) override { calls_.push_back("box offered"); }
    WidgetControls& makeWindow() override {
        calls_.push_back("window");
        if (windowFails)
            throw std::runtime_error("no window");
        return controls;
    }
    // Form_Load has run by then: display mode 1 is selected.
    void show() override { calls_.push_back("show list=" + std::to_string(controls.listIndex())); }
    void makePadWindow(Form1&) override { calls_.push_back("pads"); }
    void runLoop(const std::function<void()>& firstIdle) override {
        calls_.push_back("loop");
        firstIdle();
        calls_.push_back("closed");
    }
    void takeDown() override { calls_.push_back("take down"); }

    void inform(const std::string&) override { calls_.push_back("inform"); }
    void complain(const std::string&, const std::string&) override { calls_.push_back("complain"); }
    std::optional<std::string> enterFolder(const std::string&) override {
        calls_.push_back("enter");
        return std::nullopt;
    }

    MemoryControls controls;
    std::optional<int> toolkitFailure;
    bool windowFails = false;

  private:
    std::vector<std::string>& calls_;
};

struct LauncherRun : ::testing::Test {
    int run(std::vector<std::string> args) { return runLauncher(args, "/start", front, platform); }
    FakePlatform platform;
    RecordingFront front{platform};
};

TEST_F(LauncherRun, BuildsTheWindowThenShowsItAndPlaysTheSoundOnceTheLoopIsIdle) {
    EXPECT_EQ(run({}), 1);  // the fake platform does not end the process
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"toolkit", "window", "show list=1", "pads",
                                                        "loop", "sound", "closed", "end"}));
    EXPECT_EQ(platform.sounds, (std::vector<std::string>{"vantu2.wav"}));
}

TEST_F(LauncherRun, EntersTheGameFolderBeforeTheToolkitStarts) {
    run({"game"});
    ASSERT_GE(platform.calls.size(), 2u);
    EXPECT_EQ(platform.calls[0], "enter");
    EXPECT_EQ(platform.calls[1], "toolkit");
}

TEST_F(LauncherRun, EndsBeforeTheToolkitForTheHelpAVersionOrAUsageError) {
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_EQ(run({"--version"}), 0);
    EXPECT_EQ(run({"--no-such-option"}), kUsageErrorStatus);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"inform", "inform", "complain"}));
}

// The box is offered before the game starts, so that its failure can be shown in it.
TEST_F(LauncherRun, PlaysWithoutToolkitOrWindow) {
    run({"--play"});
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"box offered", "start", "end"}));
}

TEST_F(LauncherRun, EndsWithTheToolkitsStatusWhenItCannotStart) {
    front.toolkitFailure = 1;
    EXPECT_EQ(run({}), 1);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"toolkit"}));
}

TEST_F(LauncherRun, ReportsAWindowThatCannotBeMade) {
    front.windowFails = true;
    run({});
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"toolkit", "window", "take down", "report"}));
    EXPECT_EQ(platform.reports, (std::vector<std::string>{"no window"}));
}

TEST(HeldSounds, PlaysOnlyTheLastSoundAskedForOnceReleasedThenAtOnce) {
    FakePlatform platform;
    HeldSounds sounds(platform);
    sounds.playSound("a.wav");
    sounds.playSound("b.wav");
    EXPECT_TRUE(platform.sounds.empty());
    sounds.release();
    sounds.playSound("c.wav");
    EXPECT_EQ(platform.sounds, (std::vector<std::string>{"b.wav", "c.wav"}));
}

}  // namespace
}  // namespace vantu::testing
