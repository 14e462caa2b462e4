#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <QObject>

#include "platform/linux/process_start.h"
#include "platform/linux/sdl_sound.h"
#include "ports/platform.h"

namespace vantu {

// The launcher's operating-system services on Linux: the game starts detached (through wine
// when it is a Windows program), the sound plays through SDL, a failure shows a Qt message
// box. Create it after the QApplication and before the window; it stops the sound when it
// is destroyed.
class LinuxPlatform : public Platform {
  public:
    // The game is looked up first in gameFolder and runs there; empty means the current
    // directory.
    // reportTitle is the title of the failure report's box: the window's own.
    explicit LinuxPlatform(std::string reportTitle, std::filesystem::path gameFolder = {});

    // Linux has no show state to hand to a new process: showState is accepted and ignored,
    // the game decides how its window starts.
    void startProcess(const std::string& commandLine, int showState) override;
    [[noreturn]] void endProcess() override;
    // Under a Qt application the sound starts once its event loop runs, after the window was
    // shown.
    void playSound(const std::string& fileName) override;
    [[noreturn]] void reportUnhandledFailure(const std::string& message) override;

  private:
    std::string reportTitle_;
    ProcessStarter starter_;
    SdlSound sound_;
    // Owns the pending start of a sound, so that it is dropped with the platform.
    QObject soundStarter_;
};

}  // namespace vantu
