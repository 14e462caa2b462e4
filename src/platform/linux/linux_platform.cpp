#include "platform/linux/linux_platform.h"

#include <cstdio>
#include <utility>

#include "platform/linux/process_exit.h"

namespace vantu {

LinuxPlatform::LinuxPlatform(std::string reportTitle, FailureBox failureBox)
    : reportTitle_(std::move(reportTitle)), failureBox_(std::move(failureBox)) {}

void LinuxPlatform::startProcess(const std::string& commandLine, int /*showState*/) {
    starter_.start(commandLine);
}

void LinuxPlatform::endProcess() {
    exitNow(0);
}

void LinuxPlatform::playSound(const std::string& fileName) {
    // play() throws nothing: a sound that cannot start, not even its thread, is silence.
    sound_.play(fileName);
}

void LinuxPlatform::reportUnhandledFailure(const std::string& message) {
    // The line first: a log that a game client keeps has it even while the box waits, and if
    // the box cannot start its toolkit after all.
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    if (failureBox_)
        failureBox_(reportTitle_, message);
    exitNow(1);
}

}  // namespace vantu
