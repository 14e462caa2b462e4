#pragma once
// A deliberately plain model of the configuration reader, which the property test and the fuzz
// targets check the real one against: the trace by appending strings, a field's value by a scan
// and strtod, the display mode rounded by nearbyint in the default rounding mode. It shares no
// code with the reader.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "options/option_table.h"
#include "ports/controls.h"

namespace vantu::testing {

// What a load leaves in the controls.
struct ReaderState {
    std::array<std::int16_t, kCheckBoxCount> checks;  // Check1 first
    std::int16_t listIndex;
    std::string text2;
    bool changed;  // some control raised its Click, in this load or before
};

// Text2 after reading content: every byte with its code, and a line per field ended by a blank.
inline std::string modelTrace(const std::string& content) {
    std::string trace;
    std::string field;
    unsigned long long number = 1;
    for (const char c : content) {
        trace += c;
        trace += "( " + std::to_string(static_cast<unsigned char>(c)) + ")";
        if (c != ' ') {
            field += c;
            continue;
        }
        trace += "Opcao =  " + std::to_string(number) + ":" + field + "\r\n";
        field.clear();
        ++number;
    }
    return trace;
}

// A field's value: blanks, tabs and line feeds are dropped wherever they stand; of what
// remains, the longest start of the form sign, digits, one full stop, digits is the number (no
// digit at all: 0; too large: infinite).
inline double modelFieldValue(const std::string& text) {
    std::string squeezed;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            squeezed += c;
    }
    std::size_t end = squeezed.starts_with('+') || squeezed.starts_with('-') ? 1 : 0;
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
    return digits == 0 ? 0.0 : std::strtod(squeezed.substr(0, end).c_str(), nullptr);
}

// One load over controls that were in start; no file (nullopt) fails it.
inline ReaderState modelLoad(const std::optional<std::string>& file, ReaderState start) {
    ReaderState r = std::move(start);
    r.text2 = "No FILE!xconfig.dat";
    if (!file)
        return r;
    auto set = [&r](std::int16_t& slot, std::int16_t value) {
        r.changed = r.changed || slot != value;
        slot = value;
    };
    std::string field;
    int number = 1;
    // Fields 1 to 5 are Check2..Check6, field 9 is Check1 (window mode), field 10 the display
    // mode; the others are only traced.
    for (std::size_t i = 0; i < file->size() && number <= 10; ++i) {
        if ((*file)[i] != ' ') {
            field += (*file)[i];
            continue;
        }
        const double value = modelFieldValue(field);
        const std::int16_t bit = value == 1.0 ? 1 : 0;
        if (number <= 5)
            set(r.checks[static_cast<std::size_t>(number)], bit);
        if (number == 9)
            set(r.checks[0], bit);
        if (number == 10) {
            const double rounded = std::nearbyint(value);
            if (!(rounded >= -1 && rounded <= 11))
                return r;
            set(r.listIndex, static_cast<std::int16_t>(rounded));
        }
        field.clear();
        ++number;
    }
    r.text2 = modelTrace(*file);
    return r;
}

}  // namespace vantu::testing
