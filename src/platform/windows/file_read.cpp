// Reading a small regular file on Windows: opened with every kind of sharing, so that a game or
// an editor holding it open does not stop the read, checked to be a file on a disk (not a pipe,
// a console or a device) and read to its end.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/read_to_end.h"
#include "ports/files.h"

namespace vantu {
namespace {

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

bool read(const std::string& path, std::size_t limit, std::string& content) {
    // A folder cannot be opened without FILE_FLAG_BACKUP_SEMANTICS: it fails here.
    const Handle file(CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE || GetFileType(file.get()) != FILE_TYPE_DISK)
        return false;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) == 0 || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > limit)
        return false;

    return readToEnd(static_cast<std::size_t>(size.QuadPart), limit, content,
                     [&](char* buffer, std::size_t count) -> long long {
                         DWORD read = 0;
                         const auto chunk =
                             static_cast<DWORD>(count < (1u << 20) ? count : (1u << 20));
                         if (ReadFile(file.get(), buffer, chunk, &read, nullptr) == 0)
                             return -1;
                         return read;
                     });
}

}  // namespace

bool readFile(const std::string& path, std::size_t limit, std::string& content) noexcept {
    try {
        return read(path, limit, content);
    } catch (...) {
        return false;
    }
}

}  // namespace vantu
