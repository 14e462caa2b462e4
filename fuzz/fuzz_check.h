#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vantu::fuzz {

// Bytes as C escapes, so that a failing input and the values compared can be read in the log.
inline std::string printable(std::string_view bytes, std::size_t limit = 400) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    if (bytes.size() > limit)
        out += "...(" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

inline std::string printable(const std::vector<std::string>& list) {
    std::string out = "{";
    for (const std::string& s : list)
        out += (out.size() > 1 ? ", \"" : "\"") + printable(s, 80) + "\"";
    return out + "}";
}

// A property that does not hold is a finding: say which, and abort so that libFuzzer keeps the
// input as a crash artifact.
[[noreturn]] inline void fail(const char* file, int line, const char* what,
                              const std::string& detail) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n%s\n", file, line, what, detail.c_str());
    std::abort();
}

}  // namespace vantu::fuzz

#define FUZZ_CHECK(condition, detail)                                                 \
    do {                                                                              \
        if (!(condition))                                                             \
            ::vantu::fuzz::fail(__FILE__, __LINE__, #condition, std::string(detail)); \
    } while (false)
