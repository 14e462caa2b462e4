#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "ports/pads.h"

// SDL's game controller, as SDL's headers declare it (they are not needed here).
struct _SDL_GameController;  // NOLINT(bugprone-reserved-identifier)

namespace vantu {

struct SdlLibrary;

// The pads through SDL2's game controller API and its database of pads (SDL_GAMECONTROLLERCONFIG
// adds to it, as SDL reads it). A pad may be connected once the user can read an input device
// (/dev/input/event* or js*: desktops give the user a pad's device, not the keyboard's); until
// then SDL's controller subsystem, with udev, HIDAPI and the database, is not started. start()
// loads SDL and starts the subsystem, unless the sound's thread is starting or stopping SDL's
// audio at that moment (Later). Each read updates SDL's view of the pads (one connected since the
// last read is opened, one gone is closed: SDL looks for devices itself, so every read is a
// search) and gives the states of up to four. SDL's own event queue stays off: the pads are
// polled. For the window's thread only.
class SdlPads : public pad::PadSource {
  public:
    // inputFolder: where the input devices are (another folder only in tests).
    explicit SdlPads(std::string inputFolder = "/dev/input")
        : inputFolder_(std::move(inputFolder)) {}
    ~SdlPads() override;
    SdlPads(const SdlPads&) = delete;
    SdlPads& operator=(const SdlPads&) = delete;

    bool mayHavePads() override;
    Start start() override;
    std::vector<pad::PadState> read(bool search) override;

  private:
    void update();

    std::string inputFolder_;
    const SdlLibrary* sdl_ = nullptr;
    std::array<_SDL_GameController*, 4> pads_{};
};

}  // namespace vantu
