#pragma once

#include <cstddef>
#include <string>

namespace vantu {

// Reads an open file to its end into content, for the file readers of every system. expected is
// the size the system gave for the file (at most limit); read(buffer, count) reads at most count
// bytes and returns how many it read, 0 at the end of the file, or a negative number on failure.
// A file that grows past limit while it is read gives false, as does a failed read: at most
// limit + 1 bytes are ever read.
template <class Read>
bool readToEnd(std::size_t expected, std::size_t limit, std::string& content, Read read) {
    // One byte past the expected size tells at once whether the file grew.
    content.resize(expected + 1);
    std::size_t size = 0;
    while (true) {
        if (size == content.size()) {
            if (size > limit)
                return false;
            content.resize(limit + 1);
        }
        const auto got = read(content.data() + size, content.size() - size);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        size += static_cast<std::size_t>(got);
    }
    if (size > limit)
        return false;
    content.resize(size);
    return true;
}

}  // namespace vantu
