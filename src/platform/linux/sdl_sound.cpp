#include "platform/linux/sdl_sound.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "platform/linux/sdl_library.h"

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
    explicit SdlAudio(const SdlLibrary& sdl) : sdl_(sdl) {
        sdl_.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        ok_ = sdl_.InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    ~SdlAudio() {
        if (ok_)
            sdl_.QuitSubSystem(SDL_INIT_AUDIO);
        sdl_.Quit();
    }
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;
    bool ok() const { return ok_; }

  private:
    const SdlLibrary& sdl_;
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
    const SdlLibrary* library = SdlLibrary::get();
    if (library == nullptr || stopRequested())
        return;
    const SdlLibrary& sdl = *library;

    // SDL keeps its error text per thread and frees it by itself only on threads it started.
    struct ThreadCleanup {
        const SdlLibrary& sdl;
        ~ThreadCleanup() { sdl.TLSCleanup(); }
    } cleanup{sdl};

    SDL_AudioSpec format{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (sdl.LoadWAV_RW(sdl.RWFromFile(fileName.c_str(), "rb"), 1, &format, &samples, &length) ==
        nullptr)
        return;
    const std::unique_ptr<Uint8, decltype(sdl.FreeWAV)> wave(samples, sdl.FreeWAV);

    muteAlsa();
    SdlAudio audio(sdl);
    if (!audio.ok() || stopRequested())
        return;

    // The file's own format: SDL converts for the device when it has to, so the samples reach
    // it unchanged whenever it can take them as they are.
    format.callback = nullptr;
    format.userdata = nullptr;
    const SDL_AudioDeviceID device = sdl.OpenAudioDevice(nullptr, 0, &format, nullptr, 0);
    if (device == 0)
        return;
    sdl.QueueAudio(device, wave.get(), length);
    sdl.PauseAudioDevice(device, 0);

    // The queue empties when the device has taken the last samples; one more buffer's time
    // lets them play out before the device closes.
    using namespace std::chrono_literals;
    const auto tail =
        std::chrono::milliseconds(1000 * format.samples / std::max(format.freq, 1) + 1);
    std::unique_lock lock(mutex_);
    while (!stopping_ && sdl.GetQueuedAudioSize(device) > 0)
        wake_.wait_for(lock, 20ms);
    wake_.wait_for(lock, tail, [this] { return stopping_; });
    lock.unlock();
    sdl.CloseAudioDevice(device);
}

}  // namespace vantu
