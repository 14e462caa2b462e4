#include "platform/linux/sdl_sound.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "posix_test_support.h"
#include "test_support.h"

namespace vantu {
namespace {

namespace fs = std::filesystem;
using testing::EnvVar;
using testing::fileBytes;
using testing::StderrToFile;
using testing::TempFolder;

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

// The sample bytes of a wave file: the contents of its "data" chunk.
std::string waveData(const std::string& wave) {
    for (std::size_t at = 12; at + 8 <= wave.size(); at += 8 + ((le32(wave, at + 4) + 1) & ~1u)) {
        if (wave.compare(at, 4, "data") == 0)
            return wave.substr(at + 8, le32(wave, at + 4));
    }
    return {};
}

// A 16-bit mono wave of the given length: a ramp, so no stretch of it is silence.
std::string makeWave(std::uint32_t rate, std::uint32_t seconds) {
    const auto put32 = [](std::string& s, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    const std::uint32_t dataSize = rate * seconds * 2;
    std::string wave = "RIFF";
    put32(wave, 36 + dataSize);
    wave += "WAVEfmt ";
    put32(wave, 16);
    wave += std::string("\1\0\1\0", 4);  // PCM, mono
    put32(wave, rate);
    put32(wave, rate * 2);
    wave += std::string("\2\0\20\0", 4);  // block 2, 16 bits
    wave += "data";
    put32(wave, dataSize);
    for (std::uint32_t i = 0; i < dataSize / 2; ++i) {
        const std::uint16_t sample = static_cast<std::uint16_t>(i % 4000 + 100);
        wave += static_cast<char>(sample & 0xff);
        wave += static_cast<char>(sample >> 8);
    }
    return wave;
}

// A wave file of the given size that holds silence, made sparse so that even gigabytes cost
// nothing: a 16-bit stereo header whose data chunk fills the rest of the file.
void makeSparseWave(const TempFolder& folder, std::string_view name, std::uint64_t size) {
    std::string header = makeWave(44100, 0);
    const auto put32 = [&header](std::size_t at, std::uint64_t v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    };
    put32(4, std::min<std::uint64_t>(size - 8, 0xffffffffu));
    put32(40, std::min<std::uint64_t>(size - 44, 0xffffffffu));
    folder.write(name, header);
    fs::resize_file(folder / name, size);
}

// The threads this process has now.
std::size_t threadCount() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/task"), {}));
}

// Waits until the process is back to threads threads: a sound's thread ends once the sound has
// played to its end or failed to start, with SDL's own threads shut down before it.
void waitForThreads(std::size_t threads) {
    for (int i = 0; i < 30000 && threadCount() > threads; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_LE(threadCount(), threads) << "the sound's thread did not end";
}

long peakResidentKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// SDL's disk driver writes what the device would play into played.raw.
class SdlSoundTest : public ::testing::Test {
  protected:
    TempFolder temp;
    fs::path output = temp / "played.raw";
    EnvVar driver{"SDL_AUDIODRIVER", "disk"};
    EnvVar file{"SDL_DISKAUDIOFILE", output.string()};
};

TEST_F(SdlSoundTest, TheFilesSamplesReachTheDevice) {
    const std::string samples = waveData(fileBytes(VANTU_DEMO_WAV));
    ASSERT_GT(samples.size(), 10000u);

    const std::size_t threads = threadCount();
    SdlSound sound;
    sound.play(VANTU_DEMO_WAV);
    waitForThreads(threads);

    const std::string played = fileBytes(output);
    EXPECT_GE(played.size(), samples.size());
    EXPECT_NE(played.find(samples), std::string::npos);
}

// Only a regular file of at most the limit is played; anything else, like a device that cannot
// play, is silence without a word on standard error. The attempt ends at once however long the
// file would take to read, and so does a sound that is playing (a destructor that waited for the
// end would let the whole file through). The bound only guards against a hang; the time taken
// is printed.
TEST_F(SdlSoundTest, PlaysOnlyARegularFileUpToTheLimitAndStopsAtOnce) {
    temp.write("notes.txt", "RIFF, but not really\n");
    ASSERT_EQ(::mkfifo((temp / "pipe.wav").c_str(), 0600), 0);
    fs::create_symlink(temp / "pipe.wav", temp / "link-to-pipe.wav");
    makeSparseWave(temp, "huge.wav", 1536ull << 20);
    makeSparseWave(temp, "over.wav", kMaxSoundFileBytes + 1);
    makeSparseWave(temp, "limit.wav", kMaxSoundFileBytes);
    struct Case {
        const char* driver;
        fs::path file;
        bool played;
    };
    const Case cases[] = {
        {"disk", temp / "missing.wav", false}, {"disk", VANTU_DEMO_WAV ".not-there", false},
        {"disk", temp.path(), false},          {"disk", temp / "notes.txt", false},
        {"alsa", VANTU_DEMO_WAV, false},  // no sound card here, or one that plays it quietly
        {"disk", temp / "pipe.wav", false},    {"disk", temp / "link-to-pipe.wav", false},
        {"disk", temp / "huge.wav", false},    {"disk", temp / "over.wav", false},
        {"disk", temp / "limit.wav", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.driver) + " " + c.file.string());
        const EnvVar driver("SDL_AUDIODRIVER", c.driver);
        fs::remove(output);
        // Should the player wait on the pipe after all, a writer that comes and goes lets it go.
        std::atomic<bool> stopped{false};
        std::thread unblock;
        if (fs::is_fifo(c.file)) {
            unblock = std::thread([&c, &stopped] {
                for (int i = 0; i < 200 && !stopped; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                const int fd = ::open(c.file.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            });
        }
        const fs::path errors = temp / "stderr.txt";
        const long residentBefore = peakResidentKiB();
        auto start = std::chrono::steady_clock::now();
        {
            const StderrToFile capture(errors);
            const std::size_t threads = threadCount();
            SdlSound sound;
            sound.play(c.file.string());
            if (!c.played)
                waitForThreads(threads);  // the whole attempt is timed
            for (int i = 0; i < 1000 && c.played && fileBytes(output).empty(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (c.played)
                start = std::chrono::steady_clock::now();  // only the stop is timed
        }
        const std::chrono::duration<double, std::milli> ms =
            std::chrono::steady_clock::now() - start;
        stopped = true;
        if (unblock.joinable())
            unblock.join();
        const long grownKiB = peakResidentKiB() - residentBefore;
        std::printf("[ figures  ] %s: ended in %.2f ms, peak memory grew by %ld KiB\n",
                    c.file.filename().c_str(), ms.count(), grownKiB);
        // How long the end took is a figure (above); only a hang fails the test.
        if (std::strcmp(c.driver, "disk") == 0) {  // a sound card may play the demo through
            EXPECT_LT(ms.count(), 30000.0);
            EXPECT_EQ(fs::exists(output), c.played);
        }
        if (c.played) {
            EXPECT_GT(fileBytes(output).size(), 0u);
            EXPECT_LT(fileBytes(output).size(), fs::file_size(c.file) / 2);
        } else {
            EXPECT_EQ(fileBytes(errors), "");
            EXPECT_LT(grownKiB, 16 * 1024);  // nothing of the file was read
        }
    }
}

// SDL's allocator, made to refuse one stream over a file once armed.
struct StreamRefusal {
    static void* allocate(std::size_t size) {
        return size == sizeof(SDL_RWops) && armed.exchange(false) ? nullptr : real(size);
    }
    static inline SDL_malloc_func real = nullptr;
    static inline std::atomic<bool> armed{false};
};

// SDL has no memory for the file's stream: nothing plays, and the file is closed all the same.
TEST_F(SdlSoundTest, ClosesTheFileWhenSdlCannotStreamIt) {
    temp.write("short.wav", makeWave(22050, 1));
    const fs::path wave = fs::canonical(temp / "short.wav");
    SDL_calloc_func callocFunction = nullptr;
    SDL_realloc_func reallocFunction = nullptr;
    SDL_free_func freeFunction = nullptr;
    SDL_GetMemoryFunctions(&StreamRefusal::real, &callocFunction, &reallocFunction, &freeFunction);
    SDL_SetMemoryFunctions(&StreamRefusal::allocate, callocFunction, reallocFunction, freeFunction);
    StreamRefusal::armed = true;
    {
        const std::size_t threads = threadCount();
        SdlSound sound;
        sound.play(wave.string());
        waitForThreads(threads);
    }
    SDL_SetMemoryFunctions(StreamRefusal::real, callocFunction, reallocFunction, freeFunction);
    EXPECT_FALSE(StreamRefusal::armed);  // the stream was refused
    EXPECT_FALSE(fs::exists(output));
    std::error_code ec;
    for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd"))
        EXPECT_NE(fs::read_symlink(fd.path(), ec), wave) << fd.path();
}

// Stopping or replacing a sound that is still loading or opening its device.
TEST_F(SdlSoundTest, StopsWhileStillStarting) {
    for (int i = 0; i < 20; ++i) {
        SdlSound sound;
        sound.play(VANTU_DEMO_WAV);
    }
    SdlSound sound;
    sound.play(VANTU_DEMO_WAV);
    sound.play(VANTU_DEMO_WAV);
    sound.stop();
}

}  // namespace
}  // namespace vantu
