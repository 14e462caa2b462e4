#pragma once

#include <cstdint>
#include <string>

namespace vantu {

// Opens path for reading when it names a regular file, links followed, and gives its descriptor
// (the caller closes it) and size; -1 for anything else. The check is made on the open
// descriptor, so what is then read is what was checked. Opening is non-blocking: a pipe with no
// writer or a device never makes it wait.
int openRegularFile(const std::string& path, std::uint64_t& size);

}  // namespace vantu
