#pragma once

#include <windows.h>

#include <xinput.h>

#include <array>
#include <cstdint>
#include <vector>

#include "ports/pads.h"

namespace vantu {

// XInputGetState, always called through a pointer: the launcher imports no XInput DLL (a game's
// folder may hold a planted one), it takes the system's once the window has shown.
using XInputGetStateFunction = DWORD(WINAPI*)(DWORD user, XINPUT_STATE* state);

// The system's XInputGetState from the system folder: xinput1_4 (Windows 8 and later), else
// xinput9_1_0 (Vista and 7); nullptr with neither.
XInputGetStateFunction systemXInputGetState();

// An XInput pad as the launcher reads it: the D-pad, A, B and Start, and the left stick with its
// y axis turned to point down.
pad::PadState padStateOf(const XINPUT_GAMEPAD& pad);

// The pads through XInput, up to four. XInput is loaded (by load, the system's by default) when
// the pads are first started; a search asks every slot, any other read only the slots that had
// a pad at the last one.
class XInputPads final : public pad::PadSource {
  public:
    using Loader = XInputGetStateFunction (*)();

    explicit XInputPads(Loader load = systemXInputGetState) : load_(load) {}

    // XInput has no cheap look at its slots: a pad may always be connected.
    bool mayHavePads() override { return true; }
    Start start() override;
    std::vector<pad::PadState> read(bool search) override;

  private:
    Loader load_;
    XInputGetStateFunction getState_ = nullptr;
    std::array<bool, XUSER_MAX_COUNT> connected_{};
    // Each slot's pad's id; a new one each time a pad comes into the slot.
    std::array<std::uint32_t, XUSER_MAX_COUNT> ids_{};
    std::uint32_t lastId_ = 0;
};

}  // namespace vantu
