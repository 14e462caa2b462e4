#include "platform/linux/linux_platform.h"

#include <QCoreApplication>
#include <QTimer>

#include "platform/linux/failure_report.h"
#include "platform/linux/process_exit.h"

namespace vantu {

LinuxPlatform::LinuxPlatform(std::string reportTitle, std::filesystem::path gameFolder)
    : reportTitle_(std::move(reportTitle)), starter_(std::move(gameFolder)) {}

void LinuxPlatform::startProcess(const std::string& commandLine, int /*showState*/) {
    starter_.start(commandLine);
}

void LinuxPlatform::endProcess() {
    exitNow(0);
}

void LinuxPlatform::playSound(const std::string& fileName) {
    // With an event loop, the sound starts when the loop first runs, after the window was shown:
    // loading SDL and opening the device then take nothing from the window's start-up. play()
    // throws nothing into the loop: a sound that cannot start, not even its thread, is silence.
    if (QCoreApplication::instance() != nullptr) {
        QTimer::singleShot(0, &soundStarter_, [this, fileName] { sound_.play(fileName); });
    } else {
        sound_.play(fileName);
    }
}

void LinuxPlatform::reportUnhandledFailure(const std::string& message) {
    reportFailureAndExit(reportTitle_, message);
}

}  // namespace vantu
