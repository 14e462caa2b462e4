// The configuration reader over in-memory controls, checked against the plain model of the
// reader's rules (config_reader_model.h). Some inputs go the launcher's whole way (Form1's
// "Load Config" handler reading xconfig.dat from a game folder); the others are handed to the
// reader as bytes, which skips the file system's cost and nothing else.
//
// Input: three header bytes, then the file's content.
//   byte 0: the starting values of Check1..Check3, three base-3 digits of (byte % 27)
//   byte 1: the same for Check4..Check6 (0 clear, 1 checked, 2 greyed)
//   byte 2: bits 0-3 the starting list index ((bits % 13) - 1, so -1 to 11);
//           bits 4-7, a number m: Text2 holds an unread earlier trace when m is odd; the file is
//           loaded twice when m & 6 is 6; m 12 to 14 read through the file, 15 finds no file.
// Missing header bytes count as 0.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "config/config_reader.h"
#include "config_reader_model.h"
#include "fake_platform.h"
#include "fuzz_check.h"
#include "memory_controls.h"
#include "temp_folder.h"
#include "window/form1.h"

namespace vantu::fuzz {
namespace {

namespace fs = std::filesystem;
using testing::ReaderState;

// This process's own game folder: the file is rewritten for every input.
const testing::TempFolder& folder() {
    static const testing::TempFolder f;
    return f;
}

// The controls' values; Text2 only when asked, since reading it renders a pending trace.
ReaderState observe(const MemoryControls& controls, const Form1& form, bool withText2) {
    return {checkValues(controls), controls.listIndex(), withText2 ? controls.text2() : "",
            form.options().optionsChanged() == 1};
}

std::string describe(const ReaderState& s) {
    std::string out = "checks";
    for (std::int16_t v : s.checks)
        out.append(" ").append(std::to_string(v));
    out.append(", list ").append(std::to_string(s.listIndex));
    out.append(", changed ").append(std::to_string(s.changed));
    return out.append(", Text2 \"").append(printable(s.text2)).append("\"");
}

}  // namespace
}  // namespace vantu::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantu;
    using namespace vantu::fuzz;

    std::array<std::uint8_t, 3> header{};
    const std::size_t headerSize = size < header.size() ? size : header.size();
    for (std::size_t i = 0; i < headerSize; ++i)
        header[i] = data[i];
    const std::string file(reinterpret_cast<const char*>(data) + headerSize, size - headerSize);
    const int mode = header[2] >> 4;
    const bool pendingTrace = (mode & 1) != 0;
    const bool loadTwice = (mode & 6) == 6;
    const bool throughFile = mode >= 12;
    const bool noFile = mode == 15;

    if (noFile) {
        std::error_code ec;
        fs::remove(folder() / "xconfig.dat", ec);
    } else if (throughFile) {
        folder().write("xconfig.dat", file);
    }

    // The controls are set up before the form listens, so that the changed flag tells what the
    // load did.
    MemoryControls controls;
    int cell = header[0] % 27 + 27 * (header[1] % 27);
    for (int n = 1; n <= kCheckBoxCount; ++n, cell /= 3)
        controls.setCheckValue(checkBoxByNumber(n), static_cast<std::int16_t>(cell % 3));
    controls.setListIndex(static_cast<std::int16_t>((header[2] & 0x0f) % 13 - 1));
    if (pendingTrace)
        controls.setText2Trace("9 9 earlier ");
    testing::FakePlatform platform;
    // The game's folder is the current one, as the launcher's.
    const testing::InFolder inFolder(folder().path());
    Form1 form(controls, platform);
    controls.setEvents(&form);
    // A second view of the same controls: the values live in them, the changed flag in the form.
    LaunchOptions options(controls);

    ReaderState before = observe(controls, form, false);
    for (int load = 0; load < (loadTwice ? 2 : 1); ++load) {
        const int writes = controls.text2Writes();
        if (throughFile) {
            form.dispatch(&Form1::Command4_Click);
        } else {
            loadConfigContent(file, options, controls);
        }
        FUZZ_CHECK(platform.calls.empty(), "the load reached the platform: " + platform.calls[0]);
        FUZZ_CHECK(controls.text2Writes() == writes + 1,
                   "Text2 written " + std::to_string(controls.text2Writes() - writes) + " times");

        // The changed flag of before carries over: once set, it stays set for the process.
        const ReaderState expected =
            testing::modelLoad(noFile ? std::nullopt : std::optional(file), before);
        const ReaderState actual = observe(controls, form, true);
        FUZZ_CHECK(actual.text2 == expected.text2 && actual.checks == expected.checks &&
                       actual.listIndex == expected.listIndex && actual.changed == expected.changed,
                   "load " + std::to_string(load + 1) + " of \"" + printable(file) +
                       "\"\n  expected: " + describe(expected) +
                       "\n  actual:   " + describe(actual));
        before = actual;
    }
    return 0;
}
