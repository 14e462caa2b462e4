// Reading a small regular file on POSIX systems without ever blocking on a pipe or a device: the
// file is opened non-blocking, checked through the descriptor, and read from that descriptor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/posix/posix_files.h"
#include "platform/read_to_end.h"
#include "ports/files.h"

namespace vantu {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

bool read(const std::string& path, std::size_t limit, std::string& content) {
    std::uint64_t size = 0;
    const Descriptor file(openRegularFile(path, size));
    if (file.get() < 0 || size > limit)
        return false;

    return readToEnd(static_cast<std::size_t>(size), limit, content,
                     [&](char* buffer, std::size_t count) {
                         ssize_t got;
                         do {
                             got = ::read(file.get(), buffer, count);
                         } while (got < 0 && errno == EINTR);
                         return got;
                     });
}

}  // namespace

int openRegularFile(const std::string& path, std::uint64_t& size) {
    // O_NONBLOCK: opening a pipe with no writer returns at once instead of waiting for one; for
    // a regular file it changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        ::close(fd);
        return -1;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return fd;
}

bool readFile(const std::string& path, std::size_t limit, std::string& content) noexcept {
    try {
        return read(path, limit, content);
    } catch (...) {
        return false;
    }
}

}  // namespace vantu
