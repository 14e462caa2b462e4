#pragma once

#include <SDL.h>

#include <mutex>

namespace vantu {

// The few SDL2 functions the sound player and the pads use, taken from the shared library when
// first needed rather than when the launcher starts: SDL brings some thirty audio and video
// libraries with it, and linking them at start-up would delay the window for a sound that plays
// in the background anyway. Without the library there is simply no sound.
struct SdlLibrary {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_Quit) Quit;
    decltype(&SDL_RWFromFP) RWFromFP;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
    decltype(&SDL_FreeWAV) FreeWAV;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_QueueAudio) QueueAudio;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_GetQueuedAudioSize) GetQueuedAudioSize;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_TLSCleanup) TLSCleanup;
    decltype(&SDL_WasInit) WasInit;
    // The pads (game controllers).
    decltype(&SDL_NumJoysticks) NumJoysticks;
    decltype(&SDL_IsGameController) IsGameController;
    decltype(&SDL_JoystickGetDeviceInstanceID) JoystickGetDeviceInstanceID;
    decltype(&SDL_JoystickEventState) JoystickEventState;
    decltype(&SDL_GameControllerEventState) GameControllerEventState;
    decltype(&SDL_GameControllerUpdate) GameControllerUpdate;
    decltype(&SDL_GameControllerOpen) GameControllerOpen;
    decltype(&SDL_GameControllerClose) GameControllerClose;
    decltype(&SDL_GameControllerGetAttached) GameControllerGetAttached;
    decltype(&SDL_GameControllerGetJoystick) GameControllerGetJoystick;
    decltype(&SDL_JoystickInstanceID) JoystickInstanceID;
    decltype(&SDL_GameControllerGetButton) GameControllerGetButton;
    decltype(&SDL_GameControllerGetAxis) GameControllerGetAxis;

    // Loads the library once; nullptr when it or one of the functions is missing. Thread-safe.
    static const SdlLibrary* get();
    // Held while a subsystem starts or stops: the sound's thread and the window's pads start
    // and stop theirs independently, and SDL counts its subsystems without a lock.
    static std::mutex& subsystems();
};

}  // namespace vantu
