#include "config/load_trace.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace vantu {
namespace {

// The trace entry of one character: the character, "(", a blank, its code, ")".
struct CharEntry {
    std::array<char, 8> bytes;  // at most 7 used; 8 so that an entry is copied in one move
    std::uint8_t size;
};

constexpr std::array<CharEntry, 256> makeCharEntries() {
    std::array<CharEntry, 256> table{};
    for (int code = 0; code < 256; ++code) {
        CharEntry& e = table[static_cast<std::size_t>(code)];
        std::size_t n = 0;
        e.bytes[n++] = static_cast<char>(code);
        e.bytes[n++] = '(';
        e.bytes[n++] = ' ';
        if (code >= 100)
            e.bytes[n++] = static_cast<char>('0' + code / 100);
        if (code >= 10)
            e.bytes[n++] = static_cast<char>('0' + code / 10 % 10);
        e.bytes[n++] = static_cast<char>('0' + code % 10);
        e.bytes[n++] = ')';
        e.size = static_cast<std::uint8_t>(n);
    }
    return table;
}

constexpr std::array<CharEntry, 256> kCharEntries = makeCharEntries();

constexpr std::string_view kFieldLabel = "Opcao = ";

std::size_t digitCount(std::uint64_t number) {
    std::size_t n = 1;
    for (; number >= 10; number /= 10)
        ++n;
    return n;
}

// The exact length of the trace, so that it is written in one piece.
std::size_t traceSize(std::string_view content) {
    // The label, the blank before the number, ":", CR LF.
    constexpr std::size_t kFieldEntryFixed = kFieldLabel.size() + 1 + 1 + 2;
    std::size_t size = 0;
    std::uint64_t fieldNumber = 1;
    std::size_t fieldStart = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const auto code = static_cast<unsigned char>(content[i]);
        size += kCharEntries[code].size;
        if (code != ' ')
            continue;
        size += kFieldEntryFixed + digitCount(fieldNumber) + (i - fieldStart);
        ++fieldNumber;
        fieldStart = i + 1;
    }
    return size;
}

}  // namespace

std::string loadTrace(std::string_view content) {
    std::string trace;
    renderLoadTrace(content, trace);
    return trace;
}

void renderLoadTrace(std::string_view content, std::string& out) {
    const std::size_t size = traceSize(content);
    // Character entries are copied eight bytes at a time: room for the last one's spill. Only
    // growth is filled by resize; every byte up to size is written below.
    out.resize(size + sizeof(CharEntry::bytes));
    char* p = out.data();
    char* const end = out.data() + out.size();
    std::uint64_t fieldNumber = 1;
    std::size_t fieldStart = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const auto code = static_cast<unsigned char>(content[i]);
        const CharEntry& entry = kCharEntries[code];
        std::memcpy(p, entry.bytes.data(), entry.bytes.size());
        p += entry.size;
        if (code != ' ')
            continue;

        // A blank ends the field: every other character since the last blank is its text.
        std::memcpy(p, kFieldLabel.data(), kFieldLabel.size());
        p += kFieldLabel.size();
        *p++ = ' ';
        p = std::to_chars(p, end, fieldNumber).ptr;
        *p++ = ':';
        std::memcpy(p, content.data() + fieldStart, i - fieldStart);
        p += i - fieldStart;
        *p++ = '\r';
        *p++ = '\n';
        ++fieldNumber;
        fieldStart = i + 1;
    }
    assert(p == out.data() + size);
    out.resize(size);
}

}  // namespace vantu
