// Throughput of the configuration reader over files of growing size, with the whole trace
// rendered by reading Text2 afterwards. It should be linear: the 4 MiB runs should keep at
// least 90% of the 256 KiB runs' rate.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "config/config_reader.h"
#include "memory_controls.h"
#include "options/launch_options.h"

namespace {

namespace fs = std::filesystem;

// A typical file, repeated: ten meaningful fields, then lines of further fields.
std::string realisticContent(std::size_t size) {
    std::string s = "1 1 0 1 1 0 0 0 1 3 \r\n";
    const std::string line = "1 0 1 1 0 0 0 1 0 2 \r\n";
    while (s.size() < size)
        s += line;
    s.resize(size);
    return s;
}

// A valid head, so that the whole file is read, then bytes of every value.
std::string randomContent(std::size_t size) {
    std::string s = "1 1 0 1 1 0 0 0 1 3 ";
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> byte(0, 255);
    while (s.size() < size)
        s += static_cast<char>(byte(rng));
    s.resize(size);
    return s;
}

void runReader(benchmark::State& state, const std::string& content) {
    const fs::path folder = fs::temp_directory_path() / "vantu-reader-bench";
    fs::create_directories(folder);
    {
        std::ofstream out(folder / "xconfig.dat", std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    vantu::MemoryControls controls;
    vantu::LaunchOptions options(controls);
    for (auto _ : state) {
        vantu::loadConfig(folder.string(), options, controls);
        // Reading Text2 renders the whole trace: that is counted too.
        benchmark::DoNotOptimize(controls.text2().data());
    }
    if (controls.text2().starts_with("No FILE!"))
        state.SkipWithError("the load failed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(content.size()));
    fs::remove_all(folder);
}

void BM_ReaderRealistic(benchmark::State& state) {
    runReader(state, realisticContent(static_cast<std::size_t>(state.range(0))));
}

void BM_ReaderRandom(benchmark::State& state) {
    runReader(state, randomContent(static_cast<std::size_t>(state.range(0))));
}

BENCHMARK(BM_ReaderRealistic)
    ->Arg(1 << 10)
    ->Arg(256 << 10)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReaderRandom)
    ->Arg(1 << 10)
    ->Arg(256 << 10)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
