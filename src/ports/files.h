#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The file operations of the launcher that need the operating system. Paths are byte strings in
// the system's own narrow encoding (the game's files are named without a directory and found in
// the current one). One implementation per operating system (src/platform/posix,
// src/platform/windows).
namespace vantu {

// The path of name inside folder; an empty folder is the current directory.
inline std::string pathInFolder(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += '/';
    path += name;
    return path;
}

// Reads the whole content of a regular file (links followed) of at most limit bytes. Anything
// else (no such file, unreadable, a folder, a pipe, a device, a larger file, one that grows past
// the limit while it is read) gives false at once: nothing ever blocks or reads without end.
// Never throws.
bool readFile(const std::string& path, std::size_t limit, std::string& content) noexcept;

// Replaces the whole content of the file at path with bytes, as one step: afterwards the file
// holds either its old content or the new one, even after a crash or a power cut.
//
// - An existing file is replaced only when the user running the launcher may write it by the
//   operating system's own rules and it is not marked read-only (no write permission for
//   anybody; the read-only attribute). Anything but a regular file is left alone.
// - When path is a symbolic link, the file it leads to is replaced, in that file's folder, and
//   the link stays as it is. A link that leads nowhere is left alone.
// - The bytes go to a new file beside the old one, are flushed to the disk, and that file is
//   renamed over the old one.
//   - POSIX: then the folder is flushed too. The new file gets the old one's permission bits
//     (and its owner and group where the system allows it); a new file gets the default ones.
//   - Windows: the rename is write-through (it returns once the move is on the disk; there is
//     no folder to flush). The new file gets the old one's archive, hidden, system and
//     not-indexed attributes and the folder's inherited permissions, not the old file's own.
//
// Returns true when the file was replaced and flushed. On false, nothing has changed and no
// temporary file is left, with one exception on POSIX: when only the final flush of the folder
// fails, the file already holds the complete new content. Never throws.
bool replaceFile(const std::string& path, std::string_view bytes) noexcept;

}  // namespace vantu
