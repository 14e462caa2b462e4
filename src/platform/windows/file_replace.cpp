// Replacing a file in one step on Windows: a new file beside the old one, written, flushed to
// the disk, and moved over the old one with a write-through move.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>

#include "platform/windows/utf8.h"
#include "platform/windows/windows_files.h"
#include "ports/files.h"

namespace vantu {
namespace {

// Attributes the new file takes over from the old one. Read-only never comes across: a file
// with it is not replaced at all.
constexpr DWORD kCarriedAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

struct Target {
    std::wstring path;
    DWORD attributes = 0;
    bool exists = false;
};

// The final path of a link (symbolic link or junction), as the system resolves it.
std::optional<std::wstring> finalPath(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid())
        return std::nullopt;
    std::wstring result(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            GetFinalPathNameByHandleW(file.get(), result.data(), static_cast<DWORD>(result.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return std::nullopt;
        if (length < result.size()) {
            result.resize(length);
            return result;
        }
        result.resize(length);
    }
    return std::nullopt;
}

std::optional<Target> findTarget(const std::string& path) {
    // The narrow path is in the system's code page.
    Target target{wide(path, CP_ACP)};
    if (target.path.empty())
        return std::nullopt;
    DWORD attributes = GetFileAttributesW(target.path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return target;
        return std::nullopt;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // The link stays; what it leads to is replaced. A link to nowhere is left alone.
        std::optional<std::wstring> resolved = finalPath(target.path);
        if (!resolved)
            return std::nullopt;
        target.path = std::move(*resolved);
        attributes = GetFileAttributesW(target.path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return std::nullopt;
    }
    if ((attributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return std::nullopt;
    // The system's own rules for this user (access control lists, sharing): asking for write
    // access changes nothing in the file.
    Handle probe(CreateFileW(target.path.c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid())
        return std::nullopt;
    target.attributes = attributes;
    target.exists = true;
    return target;
}

std::wstring temporaryName(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    return target + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter.fetch_add(1)) + L"-" + std::to_wstring(GetTickCount() % 100000);
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        if (WriteFile(file, bytes.data(), chunk, &written, nullptr) == 0 || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool replace(const std::string& path, std::string_view bytes) {
    const std::optional<Target> target = findTarget(path);
    if (!target)
        return false;
    const DWORD attributes = target->exists
                                 ? (target->attributes & kCarriedAttributes) | FILE_ATTRIBUTE_NORMAL
                                 : FILE_ATTRIBUTE_NORMAL;

    std::wstring temporary;
    std::optional<Handle> file;
    for (int attempt = 0; attempt < 8 && !file; ++attempt) {
        temporary = temporaryName(target->path);
        HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    attributes, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            file.emplace(handle);
        } else if (GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    if (!file)
        return false;

    // The content is on the disk before the move: a power cut finds the old file or the
    // whole new one. The write-through move returns once the move itself is on the disk.
    const bool ok = writeAll(file->get(), bytes) && FlushFileBuffers(file->get()) != 0 &&
                    file->close() &&
                    MoveFileExW(temporary.c_str(), target->path.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        file->close();
        DeleteFileW(temporary.c_str());
    }
    return ok;
}

}  // namespace

bool replaceFile(const std::string& path, std::string_view bytes) noexcept {
    try {
        return replace(path, bytes);
    } catch (...) {
        return false;
    }
}

}  // namespace vantu
