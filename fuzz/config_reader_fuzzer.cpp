// The configuration reader over in-memory controls, checked against a plain model of the
// reader's rules: trace by appending strings, field values through strtod, rounding through
// nearbyint in the default rounding mode. Some inputs go the launcher's whole way (Form1's
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
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "config/config_reader.h"
#include "fake_platform.h"
#include "fuzz_check.h"
#include "memory_controls.h"
#include "window/form1.h"

namespace vantu::fuzz {
namespace {

namespace fs = std::filesystem;

// This process's own game folder, on a memory file system where there is one: the file is
// rewritten for every input.
class PrivateFolder {
  public:
    PrivateFolder() {
        std::error_code ec;
        const fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "vantu-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~PrivateFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

const PrivateFolder& folder() {
    static const PrivateFolder f;
    return f;
}

struct State {
    std::array<std::int16_t, 6> checks;  // Check1..Check6
    std::int16_t listIndex;
    std::string text2;
    bool changed;  // some control raised its Click
};

// The field value by the reader's rules: blanks, tabs and line feeds are dropped wherever they
// stand; of what remains, the longest start of the form sign, digits, one full stop, digits is
// the number (no digit at all: 0).
double modelFieldValue(const std::string& text) {
    std::string squeezed;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            squeezed += c;
    }
    std::size_t end = 0;
    if (end < squeezed.size() && (squeezed[end] == '+' || squeezed[end] == '-'))
        ++end;
    std::size_t digits = 0;
    bool point = false;
    for (; end < squeezed.size(); ++end) {
        const char c = squeezed[end];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return 0.0;
    const std::string number = squeezed.substr(0, end);
    errno = 0;
    return std::strtod(number.c_str(), nullptr);  // overflow gives HUGE_VAL, as wanted
}

// One load of file over controls that start in start.
State model(const std::string& file, const State& start) {
    State r = start;
    r.changed = false;
    auto set = [&r](std::int16_t& slot, std::int16_t value) {
        if (slot != value)
            r.changed = true;
        slot = value;
    };
    std::string trace;
    std::string field;
    std::uint64_t number = 1;
    for (const char c : file) {
        const auto code = static_cast<unsigned char>(c);
        trace += c;
        trace += "( ";
        trace += std::to_string(code);
        trace += ")";
        if (code != ' ') {
            field += c;
            continue;
        }
        trace += "Opcao =  ";
        trace += std::to_string(number);
        trace += ":";
        trace += field;
        // Only fields 1 to 10 have a meaning.
        const double value = number <= 10 ? modelFieldValue(field) : 0.0;
        const std::int16_t bit = value == 1.0 ? 1 : 0;
        if (number >= 1 && number <= 5)
            set(r.checks[number], bit);
        if (number == 9)
            set(r.checks[0], bit);
        if (number == 10) {
            const double rounded = std::nearbyint(value);
            if (!(rounded >= -1 && rounded <= 11)) {
                r.text2 = "No FILE!xconfig.dat";
                return r;
            }
            set(r.listIndex, static_cast<std::int16_t>(rounded));
        }
        field.clear();
        ++number;
        trace += "\r\n";
    }
    r.text2 = trace;
    return r;
}

// The controls' values; Text2 only when asked, since reading it renders a pending trace.
State observe(const MemoryControls& controls, const Form1& form, bool withText2) {
    State s{};
    for (int n = 1; n <= kCheckBoxCount; ++n)
        s.checks[static_cast<std::size_t>(n - 1)] = controls.checkValue(checkBoxByNumber(n));
    s.listIndex = controls.listIndex();
    if (withText2)
        s.text2 = controls.text2();
    s.changed = form.options().optionsChanged() == 1;
    return s;
}

std::string describe(const State& s) {
    std::string out = "checks";
    for (std::int16_t v : s.checks)
        out += " " + std::to_string(v);
    out += ", list " + std::to_string(s.listIndex) + ", changed " + std::to_string(s.changed);
    return out + ", Text2 \"" + printable(s.text2) + "\"";
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

    const fs::path& dir = folder().path();
    const fs::path path = dir / "xconfig.dat";
    if (noFile) {
        std::error_code ec;
        fs::remove(path, ec);
    } else if (throughFile) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
        out.close();
        FUZZ_CHECK(out.good(), "cannot write " + path.string());
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
    Form1 form(controls, platform, dir.string());
    controls.setEvents(&form);
    // A second view of the same controls: the values live in them, the changed flag in the form.
    LaunchOptions options(controls);

    State before = observe(controls, form, false);
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

        State expected = noFile
                             ? State{before.checks, before.listIndex, "No FILE!xconfig.dat", false}
                             : model(file, before);
        // The flag, once set, stays set for the process.
        expected.changed = expected.changed || before.changed;
        const State actual = observe(controls, form, true);
        FUZZ_CHECK(actual.text2 == expected.text2 && actual.checks == expected.checks &&
                       actual.listIndex == expected.listIndex && actual.changed == expected.changed,
                   "load " + std::to_string(load + 1) + " of \"" + printable(file) +
                       "\"\n  expected: " + describe(expected) +
                       "\n  actual:   " + describe(actual));
        before = actual;
    }
    return 0;
}
