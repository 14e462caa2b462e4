// Random configuration files over controls in random states, run through the reader's fuzz
// target (fuzz/config_reader_fuzzer.cpp), which checks each load against the plain model of the
// reader (config_reader_model.h) and aborts, naming the difference, when they differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "config_reader_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace vantu::testing {
namespace {

std::string randomFile(std::mt19937& rng) {
    static constexpr std::string_view kAlphabet = "0123456789+-. \t\r\n";
    // Digits and blanks most often, so that most files reach the later fields.
    std::discrete_distribution<int> pick({6, 8, 2, 2, 2, 2, 2, 2, 2, 2, 1, 2, 2, 12, 1, 1, 1});
    std::uniform_int_distribution<int> length(0, 120);
    std::string s(static_cast<std::size_t>(length(rng)), ' ');
    for (char& c : s)
        c = kAlphabet[static_cast<std::size_t>(pick(rng))];
    return s;
}

// Each input is three header bytes that set the controls' starting values, whether Text2 holds
// an unread trace, how often and by which way the file is loaded (see the fuzz target), then the
// file's content.
TEST(ConfigReaderProperty, MatchesAPlainModelOnRandomFiles) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> headerByte(0, 255);
    int failures = 0;
    int reachedTenth = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string input(3, '\0');
        for (char& c : input)
            c = static_cast<char>(headerByte(rng));
        const std::string file = randomFile(rng);
        input += file;
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
        failures += modelLoad(file, {}).text2.starts_with("No FILE!");
        reachedTenth += std::count(file.begin(), file.end(), ' ') >= 10;
    }
    // The generator must exercise both the refused tenth field and complete loads.
    EXPECT_GT(failures, 100);
    EXPECT_GT(reachedTenth - failures, 100);
}

}  // namespace
}  // namespace vantu::testing
