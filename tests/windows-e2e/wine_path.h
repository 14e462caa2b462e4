#pragma once

#include <string>

// Wine shows the Unix root as drive Z:, so "/tmp/x" is "Z:\tmp\x" to a Windows program. The
// test scripts hand over Unix paths; anything else is kept as it is.
inline std::string windowsPath(std::string path) {
    if (path.empty() || path.front() != '/')
        return path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return "Z:" + path;
}
