#pragma once

#include <sys/types.h>

namespace vantu {

// The system calls through which replaceFile() changes the file system, gathered so that a
// test can make any one of them fail. The launcher never changes them.
struct PosixFileCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* bytes, size_t count);
    int (*fchmod)(int fd, mode_t mode);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
};

// The calls replaceFile() makes; initially the system's own.
PosixFileCalls& posixFileCalls();

}  // namespace vantu
