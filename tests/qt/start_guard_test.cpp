// The guard that holds Qt's messages while it starts, and the line a fatal start ends with.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "frontend/qt/start_guard.h"
#include "posix_test_support.h"

namespace vantu::testing {
namespace {

using testing::EnvVar;

// Records every message that reaches the handler Qt had before the guard.
std::mutex recordedMutex;
std::vector<std::string> recorded;
void record(QtMsgType, const QMessageLogContext&, const QString& text) {
    const std::lock_guard lock(recordedMutex);
    recorded.push_back(text.toStdString());
}

// Qt logs from other threads too while it starts. Messages from several threads, some still on
// their way while the guard ends, all reach the previous handler once, each thread's in order.
TEST(PlatformStartGuard, PassesOnEveryThreadsMessagesOnceAndInOrder) {
    constexpr int kRounds = 40, kThreads = 4, kMessages = 300;
    recorded.clear();
    const QtMessageHandler before = qInstallMessageHandler(record);
    for (int round = 0; round < kRounds; ++round) {
        auto guard = std::make_unique<PlatformStartGuard>();
        std::atomic<int> logged = 0;
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < kMessages; ++i) {
                    qWarning("%d %d %d", round, t, i);
                    ++logged;
                }
            });
        }
        while (logged < kThreads * kMessages / 2)
            std::this_thread::yield();
        guard.reset();
        for (std::thread& thread : threads)
            thread.join();
    }
    qInstallMessageHandler(before);

    ASSERT_EQ(recorded.size(), std::size_t{kRounds * kThreads * kMessages});
    std::map<std::pair<int, int>, int> next;
    for (const std::string& message : recorded) {
        int round = -1, t = -1, i = -1;
        ASSERT_EQ(std::sscanf(message.c_str(), "%d %d %d", &round, &t, &i), 3) << message;
        EXPECT_EQ(i, next[std::make_pair(round, t)]++) << "out of order: " << message;
    }
}

// Held messages reach the previous handler whole: where they were said, too.
TEST(PlatformStartGuard, PassesOnWhereEachMessageWasSaid) {
    static std::vector<std::string> seen;
    seen.clear();
    const QtMessageHandler before = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& text) {
            seen.push_back(std::string(context.file ? context.file : "(none)") + ":" +
                           std::to_string(context.line) + " " +
                           (context.function ? context.function : "(none)") + " " +
                           (context.category ? context.category : "(none)") + " " +
                           text.toStdString());
        });
    {
        PlatformStartGuard guard;
        QMessageLogger("plugin.cpp", 12, "load()", "qt.qpa.plugin").warning("held");
        QMessageLogger(nullptr, 0, nullptr).warning("bare");
    }
    qInstallMessageHandler(before);
    EXPECT_THAT(seen, ::testing::ElementsAre("plugin.cpp:12 load() qt.qpa.plugin held",
                                             "(none):0 (none) default bare"));
}

// A fatal start: Qt's own lines as they were said, its fatal message whole, then one line that
// says why, from what Qt said, and exit status 1.
struct FatalCase {
    std::vector<std::pair<const char*, const char*>> said;  // category, message
    const char* lastLine;
};

class FatalStart : public ::testing::TestWithParam<FatalCase> {};

TEST_P(FatalStart, EndsWithQtsLinesAndWhy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const FatalCase& c = GetParam();
    std::string expected;
    constexpr const char* kFatal =
        "This application failed to start because no Qt platform plugin could be "
        "initialized.\n\nAvailable platform plugins are: xcb.";
    for (const auto& [category, text] : c.said)
        expected += std::string(category) + ": " + text + "\n";
    expected += std::string(kFatal) + "\n" + c.lastLine + "\n";
    const auto start = [&] {
        const EnvVar debug("QT_DEBUG_PLUGINS", "");
        const EnvVar wayland("WAYLAND_DISPLAY", "wayland-9");
        PlatformStartGuard guard;
        for (const auto& [category, text] : c.said)
            QMessageLogger(nullptr, 0, nullptr, category).warning("%s", text);
        qFatal("%s", kFatal);
    };
    EXPECT_EXIT(start(), ::testing::ExitedWithCode(1), ::testing::EndsWith(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Reports, FatalStart,
    ::testing::Values(
        FatalCase{
            {{"qt.qpa.xcb", "could not connect to display :42"},
             {"qt.qpa.plugin",
              R"(Could not load the Qt platform plugin "xcb" in "" even though it was found.)"}},
            "vantu-launcher: cannot open a display (cannot connect to :42)"},
        // Each plugin's failure is put down to its own connection.
        FatalCase{
            {{"qt.qpa.wayland", "Failed to create wl_display (Connection refused)"},
             {"qt.qpa.plugin",
              R"(Could not load the Qt platform plugin "wayland" in "" even though it was found.)"},
             {"qt.qpa.plugin",
              R"(Could not load the Qt platform plugin "xcb" in "" even though it was found.)"}},
            "vantu-launcher: Qt cannot start its platform (cannot connect to the Wayland "
            "display wayland-9, and the plugin \"xcb\" was found but could not be loaded; "
            "QT_DEBUG_PLUGINS=1 shows why)"},
        // The plugin that cannot be loaded is blamed, not the display.
        FatalCase{
            {{"qt.qpa.plugin",
              R"(Could not load the Qt platform plugin "xcb" in "" even though it was found.)"},
             {"qt.qpa.plugin", R"(Could not find the Qt platform plugin "vnc" in "")"}},
            "vantu-launcher: Qt cannot start its platform (the plugin \"xcb\" was found but "
            "could not be loaded, and there is no plugin \"vnc\"; QT_DEBUG_PLUGINS=1 shows "
            "why)"},
        // Nothing Qt said tells: the first line of its fatal message.
        FatalCase{{},
                  "vantu-launcher: Qt cannot start its platform (This application failed to start "
                  "because no Qt platform plugin could be initialized.)"}));

}  // namespace
}  // namespace vantu::testing
