#include "platform/linux/linux_platform.h"

#include <QCoreApplication>
#include <QTimer>

#include "platform/linux/failure_report.h"
#include "platform/linux/process_exit.h"

namespace vantu {

LinuxPlatform::LinuxPlatform(std::filesystem::path gameFolder) : starter_(std::move(gameFolder)) {}

void LinuxPlatform::startProcess(const std::string& commandLine, int /*showState*/) {
    starter_.start(commandLine);
}

void LinuxPlatform::endProcess() {
    exitNow(0);
}

std::int32_t LinuxPlatform::playSound(const std::string& fileName, std::uint32_t /*flags*/) {
    // With an event loop, the sound starts when the loop first runs, after the window was shown:
    // loading SDL and opening the device then take nothing from the window's start-up.
    if (QCoreApplication::instance() != nullptr) {
        QTimer::singleShot(0, &soundStarter_, [this, fileName] { sound_.play(fileName); });
    } else {
        sound_.play(fileName);
    }
    return 1;
}

void LinuxPlatform::reportUnhandledFailure(const std::string& message) {
    reportFailureAndExit(message);
}

}  // namespace vantu
