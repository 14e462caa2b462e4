#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "ports/platform.h"

namespace vantu {

// The text a failure report shows for a Windows error code: the system's own message without
// its line end, or "error N" when the system has none.
std::string systemErrorText(DWORD error);

// Whether name is a regular file (links followed) of at most kMaxSoundFileBytes: the only files the
// start-up sound is played from. Anything else, or a name that cannot be looked up, gives false.
bool isPlayableSoundFile(const std::string& name);

// The launcher's operating-system services on Windows.
class WindowsPlatform : public Platform {
  public:
    // reportTitle is the title of the failure report's box: the window's own.
    explicit WindowsPlatform(std::string reportTitle) : reportTitle_(std::move(reportTitle)) {}

    // Makes a window the owner of the failure report for as long as it lives; without one the
    // report has a box of its own.
    class ReportOwner {
      public:
        ReportOwner(WindowsPlatform& platform, HWND owner) : platform_(platform) {
            platform_.owner_ = owner;
        }
        ~ReportOwner() { platform_.owner_ = nullptr; }
        ReportOwner(const ReportOwner&) = delete;
        ReportOwner& operator=(const ReportOwner&) = delete;

      private:
        WindowsPlatform& platform_;
    };

    // Starts the command line as given, byte for byte, with the show state; throws StartError
    // naming the program and the system's reason when Windows cannot start it.
    void startProcess(const std::string& commandLine, int showState) override;
    [[noreturn]] void endProcess() override;
    // Starts playing the file in the background (winmm, loaded when the first sound plays) if it
    // is a regular file of at most kMaxSoundFileBytes.
    void playSound(const std::string& fileName) override;
    [[noreturn]] void reportUnhandledFailure(const std::string& message) override;
    // The failure report's box, without ending the launcher; its title.
    void showFailureBox(const std::string& message);
    const std::string& reportTitle() const { return reportTitle_; }

  private:
    std::string reportTitle_;
    HWND owner_ = nullptr;
};

// Makes a crash end the process quietly: no crash dialog, no dump, no "insert disk" box.
void suppressCrashDialogs();

}  // namespace vantu
