// Reading a small regular file on Windows: opened with every kind of sharing, checked to be a
// file on a disk (not a pipe, a console or a device) and read to its end.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/read_to_end.h"
#include "platform/windows/windows_files.h"
#include "ports/files.h"

namespace vantu {
namespace {

bool read(const std::string& path, std::size_t limit, std::string& content) {
    std::uint64_t size = 0;
    const Handle file = openRegularFile(path, size);
    if (!file.valid() || size > limit)
        return false;
    return readToEnd(static_cast<std::size_t>(size), limit, content,
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

Handle openRegularFile(const std::string& path, std::uint64_t& size) {
    if (path.find('\0') != std::string::npos)
        return Handle(INVALID_HANDLE_VALUE);
    // A folder cannot be opened without FILE_FLAG_BACKUP_SEMANTICS: it fails here.
    Handle file(CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER bytes{};
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK ||
        GetFileSizeEx(file.get(), &bytes) == 0 || bytes.QuadPart < 0)
        return Handle(INVALID_HANDLE_VALUE);
    size = static_cast<std::uint64_t>(bytes.QuadPart);
    return file;
}

bool readFile(const std::string& path, std::size_t limit, std::string& content) noexcept {
    try {
        return read(path, limit, content);
    } catch (...) {
        return false;
    }
}

}  // namespace vantu
