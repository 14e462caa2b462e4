#include <gtest/gtest.h>
#include <pthread.h>
#include <unistd.h>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "frontend/qt/failure_report.h"
#include "platform/linux/linux_platform.h"
#include "posix_test_support.h"
#include "test_support.h"
#include "window/launcher_run.h"

namespace vantu {
namespace {

using testing::ChildResult;
using testing::TempFolder;

const std::string kMessage = "Run-time error '53':\n\nFile not found";

// What a child's Qt application is made with; Qt keeps them for its lifetime.
int qtArgc = 1;
char qtName[] = "qt_process_tests";
char* qtArgv[] = {qtName, nullptr};

// Inside the child: a QApplication on the offscreen platform, and a timer that checks the
// report box once it is up and presses Enter on it. Exit status 3 means a wrong box.
void reportWithQt(const std::string& runtimeDir) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    QApplication app(qtArgc, qtArgv);

    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        timer.stop();
        const bool right = box->objectName() == "unhandledFailure" &&
                           box->windowTitle() == "Vantu2: Copper Winds" &&
                           box->text() == QString::fromStdString(kMessage) &&
                           box->icon() == QMessageBox::Critical && box->buttons().size() == 1 &&
                           box->button(QMessageBox::Ok) != nullptr;
        if (!right) {
            std::fprintf(stderr, "unexpected box: %s / %s\n", qPrintable(box->windowTitle()),
                         qPrintable(box->text()));
            std::fflush(stderr);
            ::_exit(3);
        }
        QTest::keyClick(box, Qt::Key_Return);
    });
    timer.start(10);
    LinuxPlatform("Vantu2: Copper Winds", showFailureReport).reportUnhandledFailure(kMessage);
}

// Inside the child: the sound is held, as the launcher holds it, and started by Qt's event loop
// while no thread can start (each new thread's stack, 2^62 bytes, is larger than any address
// space, whatever the overcommit setting); the loop runs on in silence until the launcher ends. The
// child first makes sure that starting a thread does fail here (status 4 if not).
void soundWithoutThreads() {
    QCoreApplication app(qtArgc, qtArgv);
    pthread_attr_t huge;
    pthread_attr_init(&huge);
    pthread_attr_setstacksize(&huge, std::size_t{1} << 62);
    pthread_setattr_default_np(&huge);
    try {
        std::thread([] {}).join();
        ::_exit(4);
    } catch (const std::system_error&) {
    }
    LinuxPlatform platform("title", showFailureReport);
    HeldSounds sounds(platform);
    sounds.playSound(VANTU_DEMO_WAV);
    QTimer::singleShot(0, [&] { sounds.release(); });
    QTimer::singleShot(100, [&] { platform.endProcess(); });
    QCoreApplication::exec();
}

TEST(ProcessEnd, EndsWithTheRightStatusAfterFlushingOutput) {
    TempFolder runtimeDir;
    ::chmod(runtimeDir.path().c_str(), 0700);
    struct Case {
        const char* name;
        std::function<void()> body;
        int exitStatus;
        std::optional<std::string> output;
    };
    const Case cases[] = {
        {"end",
         [] {
             std::printf("pending ");
             std::cout << "output";
             LinuxPlatform("title").endProcess();
         },
         0, "pending output"},
        {"report without a box", [] { LinuxPlatform("title").reportUnhandledFailure(kMessage); }, 1,
         kMessage + "\n"},
        {"report without Qt",
         [] { LinuxPlatform("title", showFailureReport).reportUnhandledFailure(kMessage); }, 1,
         kMessage + "\n"},
        {"report with Qt", [&] { reportWithQt(runtimeDir.path().string()); }, 1, std::nullopt},
        {"sound without threads", soundWithoutThreads, 0, ""},
    };
    for (const Case& c : cases) {
        // The body is expected to end the process itself.
        const ChildResult result = testing::runInChild([&] {
            c.body();
            std::fprintf(stderr, "returned\n");
            return 99;
        });
        EXPECT_EQ(result.status, c.exitStatus) << c.name << "\n" << result.output;
        if (c.output) {
            EXPECT_EQ(result.output, *c.output) << c.name;
        }
    }
}

}  // namespace
}  // namespace vantu
