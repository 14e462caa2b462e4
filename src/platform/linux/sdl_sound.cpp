#include "platform/linux/sdl_sound.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace vantu {
namespace {

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// libasound prints every failure to stderr (eight lines when there is no sound card at all).
// SDL loads libasound with dlopen; loading it here first gives SDL the same instance, with
// its error printing already switched off. The library stays loaded for the handler's sake.
void muteAlsa() {
    static std::once_flag once;
    std::call_once(once, [] {
        void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        auto setHandler = reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler"));
        if (setHandler != nullptr)
            setHandler(&ignoreAlsaError);
    });
}

// Audio only: SDL installs no signal handlers and is shut down when the sound ends.
class SdlAudio {
  public:
    SdlAudio() {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        ok_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    ~SdlAudio() {
        if (ok_)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SDL_Quit();
    }
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;
    bool ok() const { return ok_; }

  private:
    bool ok_ = false;
};

}  // namespace

SdlSound::~SdlSound() {
    stop();
}

void SdlSound::play(std::string fileName) {
    stop();
    {
        std::lock_guard lock(mutex_);
        stopping_ = false;
    }
    thread_ = std::thread([this, fileName = std::move(fileName)] { run(fileName); });
}

void SdlSound::wait() {
    if (thread_.joinable())
        thread_.join();
}

void SdlSound::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool SdlSound::stopRequested() {
    std::lock_guard lock(mutex_);
    return stopping_;
}

void SdlSound::run(const std::string& fileName) {
    // SDL keeps its error text per thread and frees it by itself only on threads it started.
    struct ThreadCleanup {
        ~ThreadCleanup() { SDL_TLSCleanup(); }
    } cleanup;

    SDL_AudioSpec spec{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(fileName.c_str(), &spec, &samples, &length) == nullptr)
        return;
    const std::unique_ptr<Uint8, decltype(&SDL_FreeWAV)> wave(samples, &SDL_FreeWAV);

    muteAlsa();
    SdlAudio audio;
    if (!audio.ok() || stopRequested())
        return;

    // The file's own format: SDL converts for the device when it has to, so the samples reach
    // it unchanged whenever it can take them as they are.
    spec.callback = nullptr;
    spec.userdata = nullptr;
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
    if (device == 0)
        return;
    SDL_QueueAudio(device, wave.get(), length);
    SDL_PauseAudioDevice(device, 0);

    // The queue empties when the device has taken the last samples; one more buffer's time
    // lets them play out before the device closes.
    using namespace std::chrono_literals;
    const auto tail = std::chrono::milliseconds(1000 * spec.samples / std::max(spec.freq, 1) + 1);
    std::unique_lock lock(mutex_);
    while (!stopping_ && SDL_GetQueuedAudioSize(device) > 0)
        wake_.wait_for(lock, 20ms);
    wake_.wait_for(lock, tail, [this] { return stopping_; });
    lock.unlock();
    SDL_CloseAudioDevice(device);
}

}  // namespace vantu
