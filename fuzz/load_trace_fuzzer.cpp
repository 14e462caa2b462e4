// The load trace, rendered into a reused buffer and through Text2's store, checked against the
// reader's plain model (config_reader_model.h), which appends each entry as a string.
//
// Input (split with FuzzedDataProvider): an earlier content, rendered first into the same
// buffer; three counts for Text2Store::start; the rest is the content.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <string>

#include "config/load_trace.h"
#include "config_reader_model.h"
#include "fuzz_check.h"
#include "window/text2_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantu;
    using vantu::fuzz::printable;

    FuzzedDataProvider input(data, size);
    const std::string earlier = input.ConsumeRandomLengthString(256);
    std::array<std::uint32_t, 3> rawCounts{};
    for (std::uint32_t& c : rawCounts)
        c = input.ConsumeIntegral<std::uint32_t>();
    const std::string content = input.ConsumeRemainingBytesAsString();
    const std::string expected = testing::modelTrace(content);

    std::string out;
    renderLoadTrace(earlier, out);
    renderLoadTrace(content, out);
    FUZZ_CHECK(out == expected, "trace of \"" + printable(content) + "\" over the trace of \"" +
                                    printable(earlier) + "\":\n  expected \"" +
                                    printable(expected) + "\"\n  actual   \"" + printable(out) +
                                    "\"");

    // Counts anywhere up to a little past the end of the trace, and one as drawn.
    std::array<std::size_t, 3> counts{};
    for (std::size_t i = 0; i + 1 < counts.size(); ++i)
        counts[i] = rawCounts[i] % (expected.size() + 16);
    counts.back() = rawCounts.back();

    Text2Store store("Text2");
    store.setTraceOf(content);
    for (const std::size_t count : counts) {
        const std::string start = store.start(count);
        FUZZ_CHECK(start == expected.substr(0, count),
                   "start(" + std::to_string(count) + ") of the trace of \"" + printable(content) +
                       "\": \"" + printable(start) + "\"");
    }
    FUZZ_CHECK(store.text() == expected, "whole trace of \"" + printable(content) + "\"");
    for (const std::size_t count : counts) {
        FUZZ_CHECK(store.start(count) == expected.substr(0, count),
                   "start(" + std::to_string(count) + ") after rendering");
    }
    // Plain text replaces a pending trace.
    store.setTraceOf(content);
    store.setText(earlier);
    FUZZ_CHECK(store.start(counts[0]) == earlier.substr(0, counts[0]) && store.text() == earlier,
               "plain text over a pending trace");
    return 0;
}
