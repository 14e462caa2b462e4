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
    struct Sound {
        std::string fileName;
        std::uint32_t flags;
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
    std::int32_t playSound(const std::string& fileName, std::uint32_t flags) override {
        calls.push_back("sound");
        sounds.push_back({fileName, flags});
        return 1;
    }
    void reportUnhandledFailure(const std::string& message) override {
        calls.push_back("report");
        reports.push_back(message);
    }

    std::optional<std::string> startFailure;
    std::vector<std::string> calls;
    std::vector<Start> starts;
    std::vector<Sound> sounds;
    std::vector<std::string> reports;
    int ends = 0;
};

}  // namespace vantu::testing
