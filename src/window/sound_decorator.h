#pragma once

#include <string>

#include "ports/platform.h"

namespace vantu {

// A platform that hands everything on to another but the sound, which the class built on it
// decides about (held until the window is up, or not made at all without a window).
class SoundDecorator : public Platform {
  public:
    explicit SoundDecorator(Platform& platform) : platform_(platform) {}
    void startProcess(const std::string& commandLine, int showState) override {
        platform_.startProcess(commandLine, showState);
    }
    void endProcess() override { platform_.endProcess(); }
    void reportUnhandledFailure(const std::string& message) override {
        platform_.reportUnhandledFailure(message);
    }

  protected:
    Platform& platform_;
};

}  // namespace vantu
