#pragma once
// The start-up phases of a benchmark program, in milliseconds since Windows created its process.
// When VANTU_PHASES names a file, the phases are appended to it as one line of "name=ms" pairs
// when the program records its last phase.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

inline double msSinceProcessCreation() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](FILETIME t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

class PhaseClock {
  public:
    void mark(const char* phase) {
        line_ += std::string(line_.empty() ? "" : " ") + phase + "=" +
                 std::to_string(msSinceProcessCreation());
    }
    // Records the last phase and writes the line.
    void finish(const char* phase) {
        mark(phase);
        if (const char* path = std::getenv("VANTU_PHASES")) {
            if (std::FILE* file = std::fopen(path, "a")) {
                std::fprintf(file, "%s\n", line_.c_str());
                std::fclose(file);
            }
        }
    }

  private:
    std::string line_;
};

// Handles the messages in the queue until it is empty: after the window is shown, that is when
// it and its controls have painted.
inline void handleMessagesUntilIdle() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Marks the start of static initialisation: constructed before any other static object of the
// program (init_priority 101 runs first).
struct StaticStart {
    explicit StaticStart(PhaseClock& clock) { clock.mark("static"); }
};

}  // namespace bench
