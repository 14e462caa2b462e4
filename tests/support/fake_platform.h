#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ports/platform.h"

namespace vantu::testing {

// Records every call the launcher makes to the operating system. startProcess can be made to
// fail, as it does when the game is missing.
class FakePlatform : public Platform {
  public:
    struct Start {
        std::string commandLine;
        int showState;
    };

    void startProcess(const std::string& commandLine, int showState) override {
        calls.push_back("start");
        if (startFailure)
            throw StartError(*startFailure);
        starts.push_back({commandLine, showState});
    }
    void endProcess() override {
        calls.push_back("end");
        ++ends;
    }
    void playSound(const std::string& fileName) override {
        calls.push_back("sound");
        sounds.push_back(fileName);
    }
    void reportUnhandledFailure(const std::string& message) override {
        calls.push_back("report");
        reports.push_back(message);
    }

    std::optional<std::string> startFailure;
    std::vector<std::string> calls;
    std::vector<Start> starts;
    std::vector<std::string> sounds;
    std::vector<std::string> reports;
    int ends = 0;
};

}  // namespace vantu::testing
