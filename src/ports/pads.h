#pragma once

#include <cstdint>
#include <vector>

// What a gamepad is to the launcher, and how the core reads a system's pads: one implementation
// per system (XInputPads in src/platform/windows, SdlPads in src/platform/linux), driven by the
// core's pad::PadPoller on the window's thread.
namespace vantu::pad {

// The buttons the launcher uses, named as on an Xbox pad (SDL and XInput name them so).
enum Button : std::uint16_t {
    kUp = 1 << 0,
    kDown = 1 << 1,
    kLeft = 1 << 2,
    kRight = 1 << 3,
    kA = 1 << 4,
    kB = 1 << 5,
    kStart = 1 << 6,
};

// One pad's state: the buttons held and the left stick, each axis -32768..32767 with x to the
// right and y downwards (SDL's sense; XInput's y points up and is turned over when read), and
// which pad it is: the same id for as long as the pad stays connected, a new one for a pad
// connected later, also in the same slot.
struct PadState {
    std::uint16_t buttons = 0;
    std::int16_t stickX = 0;
    std::int16_t stickY = 0;
    std::uint32_t id = 0;
};

// A system's pads, read through its pad library. Every call comes from the window's thread.
class PadSource {
  public:
    enum class Start {
        Started,  // the library is loaded and the pads can be read
        Later,    // not now without waiting (the library is busy elsewhere): ask again later
        Never,    // no pad library on this system
    };

    virtual ~PadSource() = default;
    // Whether a pad may be connected now, from a cheap look that loads nothing: while it is
    // false the pad library stays unloaded.
    virtual bool mayHavePads() = 0;
    // Loads the pad library and starts what reading the pads needs. Never blocks.
    virtual Start start() = 0;
    // The states of the connected pads, at most four. With search, also looks for pads
    // connected since the last search (asking an empty slot can be slow); without, reads at
    // least the pads found before. Only after start() gave Started.
    virtual std::vector<PadState> read(bool search) = 0;

  protected:
    PadSource() = default;
    PadSource(const PadSource&) = default;
    PadSource& operator=(const PadSource&) = default;
};

}  // namespace vantu::pad
