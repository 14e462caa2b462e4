#include "platform/windows/xinput_pads.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/windows/system_library.h"

namespace vantu {
namespace {

constexpr auto kButtons = std::to_array<std::pair<WORD, std::uint16_t>>({
    {XINPUT_GAMEPAD_DPAD_UP, pad::kUp},
    {XINPUT_GAMEPAD_DPAD_DOWN, pad::kDown},
    {XINPUT_GAMEPAD_DPAD_LEFT, pad::kLeft},
    {XINPUT_GAMEPAD_DPAD_RIGHT, pad::kRight},
    {XINPUT_GAMEPAD_A, pad::kA},
    {XINPUT_GAMEPAD_B, pad::kB},
    {XINPUT_GAMEPAD_START, pad::kStart},
});

}  // namespace

XInputGetStateFunction systemXInputGetState() {
    if (auto get = systemFunction<XInputGetStateFunction>("xinput1_4.dll", "XInputGetState"))
        return get;
    return systemFunction<XInputGetStateFunction>("xinput9_1_0.dll", "XInputGetState");
}

pad::PadState padStateOf(const XINPUT_GAMEPAD& pad) {
    pad::PadState state;
    for (const auto& [xinput, button] : kButtons) {
        if ((pad.wButtons & xinput) != 0)
            state.buttons |= button;
    }
    state.stickX = pad.sThumbLX;
    // Turned over, full travel up and down alike: -32768 has no opposite in 16 bits.
    state.stickY = static_cast<std::int16_t>(-std::max<int>(pad.sThumbLY, -32767));
    return state;
}

pad::PadSource::Start XInputPads::start() {
    getState_ = load_();
    return getState_ != nullptr ? Start::Started : Start::Never;
}

std::vector<pad::PadState> XInputPads::read(bool search) {
    std::vector<pad::PadState> pads;
    for (DWORD user = 0; user < XUSER_MAX_COUNT; ++user) {
        if (!search && !connected_[user])
            continue;
        XINPUT_STATE state{};
        const bool wasConnected = connected_[user];
        connected_[user] = getState_(user, &state) == ERROR_SUCCESS;
        if (!connected_[user])
            continue;
        // A pad in a slot that was empty is a new pad, whatever was there before.
        if (!wasConnected)
            ids_[user] = ++lastId_;
        pads.push_back(padStateOf(state.Gamepad));
        pads.back().id = ids_[user];
    }
    return pads;
}

}  // namespace vantu
