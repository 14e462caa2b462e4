#include "platform/linux/linux_platform.h"

#include <cstdio>
#include <utility>

#include "platform/linux/process_exit.h"

namespace vantu {

LinuxPlatform::LinuxPlatform(std::string reportTitle, FailureBox failureBox)
    : reportTitle_(std::move(reportTitle)), failureBox_(failureBox) {}

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
    if (failureBox_ == nullptr || !failureBox_(reportTitle_, message))
        std::fprintf(stderr, "%s\n", message.c_str());
    exitNow(1);
}

}  // namespace vantu
