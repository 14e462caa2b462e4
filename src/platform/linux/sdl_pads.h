#pragma once

#include <array>
#include <vector>

#include "window/gamepad.h"

// SDL's game controller, as SDL's headers declare it (they are not needed here).
struct _SDL_GameController;  // NOLINT(bugprone-reserved-identifier)

namespace vantu {

struct SdlLibrary;

// The pads through SDL2's game controller API and its database of pads (SDL_GAMECONTROLLERCONFIG
// adds to it, as SDL reads it). SDL is loaded and its controller subsystem started on the first
// read, which the window asks for once it has shown; without SDL there are no pads, silently.
// Each read updates SDL's view of the pads (one connected since the last read is opened, one
// gone is closed) and gives the states of up to four. SDL's own event queue stays off: the pads
// are polled. For the window's thread only.
class SdlPads : public pad::PadSource {
  public:
    SdlPads() = default;
    ~SdlPads() override;
    SdlPads(const SdlPads&) = delete;
    SdlPads& operator=(const SdlPads&) = delete;

    std::vector<pad::PadState> read() override;

  private:
    bool start();
    void update();

    const SdlLibrary* sdl_ = nullptr;
    bool tried_ = false;
    std::array<_SDL_GameController*, 4> pads_{};
};

}  // namespace vantu
