#include "platform/linux/sdl_pads.h"

#include <SDL.h>

#include <algorithm>
#include <mutex>
#include <utility>

#include "platform/linux/sdl_library.h"

namespace vantu {
namespace {

// The SDL buttons the launcher reads, and what they are to it.
constexpr std::array<std::pair<SDL_GameControllerButton, std::uint16_t>, 7> kButtons{{
    {SDL_CONTROLLER_BUTTON_DPAD_UP, pad::kUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, pad::kDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, pad::kLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, pad::kRight},
    {SDL_CONTROLLER_BUTTON_A, pad::kA},
    {SDL_CONTROLLER_BUTTON_B, pad::kB},
    {SDL_CONTROLLER_BUTTON_START, pad::kStart},
}};

}  // namespace

SdlPads::~SdlPads() {
    if (sdl_ == nullptr)
        return;
    for (SDL_GameController*& pad : pads_) {
        if (pad != nullptr)
            sdl_->GameControllerClose(std::exchange(pad, nullptr));
    }
    const std::lock_guard<std::mutex> lock(SdlLibrary::subsystems());
    sdl_->QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlPads::start() {
    if (tried_)
        return sdl_ != nullptr;
    tried_ = true;
    const SdlLibrary* sdl = SdlLibrary::get();
    if (sdl == nullptr)
        return false;
    const std::lock_guard<std::mutex> lock(SdlLibrary::subsystems());
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl->InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return false;
    sdl->JoystickEventState(SDL_IGNORE);
    sdl->GameControllerEventState(SDL_IGNORE);
    sdl_ = sdl;
    return true;
}

void SdlPads::update() {
    sdl_->GameControllerUpdate();
    for (SDL_GameController*& pad : pads_) {
        if (pad != nullptr && sdl_->GameControllerGetAttached(pad) == SDL_FALSE)
            sdl_->GameControllerClose(std::exchange(pad, nullptr));
    }
    const int count = sdl_->NumJoysticks();
    for (int device = 0; device < count; ++device) {
        if (sdl_->IsGameController(device) == SDL_FALSE)
            continue;
        const SDL_JoystickID id = sdl_->JoystickGetDeviceInstanceID(device);
        const bool open = std::any_of(pads_.begin(), pads_.end(), [&](SDL_GameController* pad) {
            return pad != nullptr &&
                   sdl_->JoystickInstanceID(sdl_->GameControllerGetJoystick(pad)) == id;
        });
        const auto free = std::find(pads_.begin(), pads_.end(), nullptr);
        if (!open && free != pads_.end())
            *free = sdl_->GameControllerOpen(device);
    }
}

std::vector<pad::PadState> SdlPads::read() {
    std::vector<pad::PadState> states;
    if (!start())
        return states;
    update();
    for (SDL_GameController* pad : pads_) {
        if (pad == nullptr)
            continue;
        pad::PadState state;
        for (const auto& [button, bit] : kButtons) {
            if (sdl_->GameControllerGetButton(pad, button) != 0)
                state.buttons |= bit;
        }
        state.stickX = sdl_->GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
        state.stickY = sdl_->GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
        states.push_back(state);
    }
    return states;
}

}  // namespace vantu
