#include "platform/linux/sdl_sound.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include "platform/linux/sdl_library.h"
#include "platform/posix/posix_files.h"

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

// Audio only: SDL installs no signal handlers and is shut down when the sound ends, unless the
// pads still use it.
class SdlAudio {
  public:
    explicit SdlAudio(const SdlLibrary& sdl) : sdl_(sdl) {
        const std::lock_guard<std::mutex> lock(SdlLibrary::subsystems());
        sdl_.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        ok_ = sdl_.InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    ~SdlAudio() {
        const std::lock_guard<std::mutex> lock(SdlLibrary::subsystems());
        if (ok_)
            sdl_.QuitSubSystem(SDL_INIT_AUDIO);
        if (sdl_.WasInit(0) == 0)
            sdl_.Quit();
    }
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;
    bool ok() const { return ok_; }

  private:
    const SdlLibrary& sdl_;
    bool ok_ = false;
};

// Opens the wave file when it is a regular file (links followed) of at most the size limit; the
// sound is read from the descriptor that was checked.
std::FILE* openWave(const std::string& fileName) {
    std::uint64_t size = 0;
    const int fd = openRegularFile(fileName, size);
    if (fd < 0)
        return nullptr;
    std::FILE* file = size <= kMaxSoundFileBytes ? ::fdopen(fd, "rb") : nullptr;
    if (file == nullptr)
        ::close(fd);
    return file;
}

// The sound's thread: loads the file, and unless it was stopped meanwhile, plays it.
void run(const std::shared_ptr<SdlSound::Shared>& shared, const std::string& fileName) {
    const auto stopRequested = [&shared] {
        std::lock_guard lock(shared->mutex);
        return shared->stopping;
    };
    const SdlLibrary* library = SdlLibrary::get();
    if (library == nullptr || stopRequested())
        return;
    const SdlLibrary& sdl = *library;

    // SDL keeps its error text per thread and frees it by itself only on threads it started.
    struct ThreadCleanup {
        const SdlLibrary& sdl;
        ~ThreadCleanup() { sdl.TLSCleanup(); }
    } cleanup{sdl};

    std::FILE* file = openWave(fileName);
    if (file == nullptr)
        return;
    SDL_AudioSpec format{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    // The stream closes the file, also when the load fails; without a stream it is closed here.
    SDL_RWops* stream = sdl.RWFromFP(file, SDL_TRUE);
    if (stream == nullptr) {
        std::fclose(file);
        return;
    }
    if (sdl.LoadWAV_RW(stream, 1, &format, &samples, &length) == nullptr)
        return;
    const std::unique_ptr<Uint8, decltype(sdl.FreeWAV)> wave(samples, sdl.FreeWAV);

    // One sound at a time owns SDL's audio: a sound that was let go may still be closing its
    // device and shutting SDL down, and this one waits for that here, on its own thread.
    static std::mutex* const audioOwner = new std::mutex;
    const std::lock_guard owner(*audioOwner);
    if (stopRequested())
        return;

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
    std::unique_lock lock(shared->mutex);
    while (!shared->stopping && sdl.GetQueuedAudioSize(device) > 0)
        shared->wake.wait_for(lock, 20ms);
    shared->wake.wait_for(lock, tail, [&shared] { return shared->stopping; });
    lock.unlock();
    sdl.CloseAudioDevice(device);
}

}  // namespace

SdlSound::~SdlSound() {
    stop();
}

void SdlSound::play(const std::string& fileName) noexcept {
    stop();
    try {
        auto shared = std::make_shared<Shared>();
        thread_ = std::thread([shared, fileName] { run(shared, fileName); });
        shared_ = std::move(shared);
    } catch (...) {
        // No thread (or no memory for one): a sound that cannot start is silence.
    }
}

void SdlSound::stop() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->wake.notify_all();
    // Nothing waits for the thread: one still reading or decoding the file ends once that is
    // done, without opening the device; one that plays closes its device at once, which takes
    // SDL up to a few buffers' time (about 0.2 s with ALSA).
    thread_.detach();
}

}  // namespace vantu
