// Loads the configuration file of a folder a given number of times; run under callgrind by
// reader_instructions.sh to count the reader's instructions per byte of input.
#include <cstdio>
#include <cstdlib>

#include "config/config_reader.h"
#include "memory_controls.h"
#include "options/launch_options.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER TIMES\n", argv[0]);
        return 2;
    }
    vantu::MemoryControls controls;
    vantu::LaunchOptions options(controls);
    const int times = std::atoi(argv[2]);
    std::size_t traced = 0;
    for (int i = 0; i < times; ++i) {
        vantu::loadConfig(argv[1], options, controls);
        traced += controls.text2().size();  // renders the whole trace
    }
    std::printf("%zu\n", traced);
    return 0;
}
