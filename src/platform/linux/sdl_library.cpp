#include "platform/linux/sdl_library.h"

#include <dlfcn.h>

#include <optional>

namespace vantu {
namespace {

template <class Function>
bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

std::optional<SdlLibrary> load() {
    // The library stays loaded for the rest of the process: SDL keeps threads and handlers.
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return std::nullopt;
    SdlLibrary sdl{};
    const bool complete =
        resolve(library, "SDL_SetHint", sdl.SetHint) &&
        resolve(library, "SDL_InitSubSystem", sdl.InitSubSystem) &&
        resolve(library, "SDL_QuitSubSystem", sdl.QuitSubSystem) &&
        resolve(library, "SDL_Quit", sdl.Quit) && resolve(library, "SDL_RWFromFP", sdl.RWFromFP) &&
        resolve(library, "SDL_LoadWAV_RW", sdl.LoadWAV_RW) &&
        resolve(library, "SDL_FreeWAV", sdl.FreeWAV) &&
        resolve(library, "SDL_OpenAudioDevice", sdl.OpenAudioDevice) &&
        resolve(library, "SDL_QueueAudio", sdl.QueueAudio) &&
        resolve(library, "SDL_PauseAudioDevice", sdl.PauseAudioDevice) &&
        resolve(library, "SDL_GetQueuedAudioSize", sdl.GetQueuedAudioSize) &&
        resolve(library, "SDL_CloseAudioDevice", sdl.CloseAudioDevice) &&
        resolve(library, "SDL_TLSCleanup", sdl.TLSCleanup) &&
        resolve(library, "SDL_WasInit", sdl.WasInit) &&
        resolve(library, "SDL_NumJoysticks", sdl.NumJoysticks) &&
        resolve(library, "SDL_IsGameController", sdl.IsGameController) &&
        resolve(library, "SDL_JoystickGetDeviceInstanceID", sdl.JoystickGetDeviceInstanceID) &&
        resolve(library, "SDL_JoystickEventState", sdl.JoystickEventState) &&
        resolve(library, "SDL_GameControllerEventState", sdl.GameControllerEventState) &&
        resolve(library, "SDL_GameControllerUpdate", sdl.GameControllerUpdate) &&
        resolve(library, "SDL_GameControllerOpen", sdl.GameControllerOpen) &&
        resolve(library, "SDL_GameControllerClose", sdl.GameControllerClose) &&
        resolve(library, "SDL_GameControllerGetAttached", sdl.GameControllerGetAttached) &&
        resolve(library, "SDL_GameControllerGetJoystick", sdl.GameControllerGetJoystick) &&
        resolve(library, "SDL_JoystickInstanceID", sdl.JoystickInstanceID) &&
        resolve(library, "SDL_GameControllerGetButton", sdl.GameControllerGetButton) &&
        resolve(library, "SDL_GameControllerGetAxis", sdl.GameControllerGetAxis);
    if (!complete)
        return std::nullopt;
    return sdl;
}

}  // namespace

std::mutex& SdlLibrary::subsystems() {
    static std::mutex lock;
    return lock;
}

const SdlLibrary* SdlLibrary::get() {
    static const std::optional<SdlLibrary> sdl = load();
    return sdl ? &*sdl : nullptr;
}

}  // namespace vantu
