#include "platform/linux/sdl_pads.h"

#include <SDL.h>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>

#include "platform/linux/sdl_library.h"

namespace vantu {
namespace {

// The SDL buttons the launcher reads, and what they are to it.
constexpr auto kButtons = std::to_array<std::pair<SDL_GameControllerButton, std::uint16_t>>({
    {SDL_CONTROLLER_BUTTON_DPAD_UP, pad::kUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, pad::kDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, pad::kLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, pad::kRight},
    {SDL_CONTROLLER_BUTTON_A, pad::kA},
    {SDL_CONTROLLER_BUTTON_B, pad::kB},
    {SDL_CONTROLLER_BUTTON_START, pad::kStart},
});

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

bool SdlPads::mayHavePads() {
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(inputFolder_.c_str()), ::closedir);
    if (!folder)
        return false;
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string_view name = entry->d_name;
        if ((name.starts_with("event") || name.starts_with("js")) &&
            ::faccessat(::dirfd(folder.get()), entry->d_name, R_OK, AT_EACCESS) == 0)
            return true;
    }
    return false;
}

pad::PadSource::Start SdlPads::start() {
    const SdlLibrary* sdl = SdlLibrary::get();
    if (sdl == nullptr)
        return Start::Never;
    // The sound's thread holds the lock while SDL's audio starts, which can take long (a sound
    // server that does not answer): the window never waits for that.
    const std::unique_lock<std::mutex> lock(SdlLibrary::subsystems(), std::try_to_lock);
    if (!lock.owns_lock())
        return Start::Later;
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl->InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return Start::Never;
    sdl->JoystickEventState(SDL_IGNORE);
    sdl->GameControllerEventState(SDL_IGNORE);
    sdl_ = sdl;
    return Start::Started;
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

std::vector<pad::PadState> SdlPads::read(bool /*search*/) {
    std::vector<pad::PadState> states;
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
        // SDL gives each connection of a pad an instance id of its own, never used again.
        state.id = static_cast<std::uint32_t>(
            sdl_->JoystickInstanceID(sdl_->GameControllerGetJoystick(pad)));
        states.push_back(state);
    }
    return states;
}

}  // namespace vantu
