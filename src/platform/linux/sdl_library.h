#pragma once

#include <SDL.h>

namespace vantu {

// The few SDL2 functions the sound player uses, taken from the shared library when the first
// sound starts rather than when the launcher starts: SDL brings some thirty audio and video
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

    // Loads the library once; nullptr when it or one of the functions is missing. Thread-safe.
    static const SdlLibrary* get();
};

}  // namespace vantu
