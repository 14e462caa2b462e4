#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

namespace vantu {

// Owns a Windows handle and closes it.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    // Closes the handle now; false when the system reports a failure (a write it could not
    // finish).
    bool close() {
        const bool ok = !valid() || CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE handle_;
};

// Opens path for reading when it names a regular file on a disk, links followed: not a folder,
// a pipe, a console or a device, and not a name with a NUL byte inside (it would name another
// file). Every kind of sharing is allowed, so that a program holding the file open does not stop
// the read. Gives an invalid handle for anything else; size gets the file's size.
Handle openRegularFile(const std::string& path, std::uint64_t& size);

}  // namespace vantu
