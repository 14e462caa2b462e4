// Replacing a file in one step on POSIX systems: a new file beside the old one, written,
// fsync'd, renamed over the old one, and the folder fsync'd after the rename.
#include "ports/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/posix/posix_file_calls.h"

namespace vantu {
namespace {

int systemOpen(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kPermissionBits = S_IRWXU | S_IRWXG | S_IRWXO;

// The file that a save replaces: path itself, or the file that the link at path leads to.
struct Target {
    std::string path;
    std::optional<struct stat> old;  // none when there is no file yet
};

// Finds the file to replace and decides whether it may be replaced at all.
std::optional<Target> findTarget(const std::string& path) {
    Target target{path, std::nullopt};
    if (target.path.empty())
        return std::nullopt;
    struct stat entry {};
    if (::lstat(target.path.c_str(), &entry) != 0)
        return errno == ENOENT ? std::optional(target) : std::nullopt;
    if (S_ISLNK(entry.st_mode)) {
        // The link stays; what it leads to is replaced. A dangling link, a loop of links or a
        // link into a folder that cannot be searched resolves to nothing and is left alone.
        char* resolved = ::realpath(target.path.c_str(), nullptr);
        if (resolved == nullptr)
            return std::nullopt;
        target.path = resolved;
        std::free(resolved);
    }
    struct stat file {};
    if (::stat(target.path.c_str(), &file) != 0 || !S_ISREG(file.st_mode))
        return std::nullopt;
    // A file that nobody may write is marked read-only: honoured even for root, whom the
    // system would let write it anyway.
    if ((file.st_mode & kAnyWrite) == 0)
        return std::nullopt;
    // The system's own rules, for the user who runs the launcher (the real user): owner,
    // group and other bits, access control lists, read-only mounts.
    if (::faccessat(AT_FDCWD, target.path.c_str(), W_OK, 0) != 0)
        return std::nullopt;
    target.old = file;
    return target;
}

// A name for the new file beside the old one; unique enough that O_EXCL rarely refuses it.
std::string temporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const auto clock = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    return target + ".tmp" + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1)) + "-" + std::to_string(clock % 1000000);
}

// The new file while it is being made: closed and removed unless it was renamed into place.
class TemporaryFile {
  public:
    TemporaryFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~TemporaryFile() {
        if (fd_ >= 0)
            posixFileCalls().close(fd_);
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    // Closes the descriptor; whatever close reports, the descriptor is gone afterwards.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return posixFileCalls().close(fd) == 0;
    }
    // The file now lives under the target's name: nothing is left to remove.
    void renamed() { path_.clear(); }

  private:
    std::string path_;
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = posixFileCalls().write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Gives the new file the old one's owner, group and permission bits. Only the permission bits
// must come across: a new file more open than the old one would be a leak. A different owner
// is possible for root only, a different group for a member of it, so those are tried quietly.
bool carryOver(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    return posixFileCalls().fchmod(fd, old.st_mode & kPermissionBits) == 0;
}

// The folder that holds path: "." for a bare name, "/" for a file at the root.
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool replace(const std::string& path, std::string_view bytes) {
    const std::optional<Target> target = findTarget(path);
    if (!target)
        return false;
    const std::string folder = folderOf(target->path);

    const PosixFileCalls& calls = posixFileCalls();
    // Private until complete when it replaces a file; a new file gets the default mode.
    const mode_t mode = target->old ? S_IRUSR | S_IWUSR : 0666;
    std::optional<TemporaryFile> temporary;
    for (int attempt = 0; attempt < 8 && !temporary; ++attempt) {
        std::string name = temporaryName(target->path);
        const int fd =
            calls.open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0) {
            temporary.emplace(std::move(name), fd);
        } else if (errno != EEXIST) {
            return false;
        }
    }
    if (!temporary)
        return false;

    if (target->old && !carryOver(temporary->fd(), *target->old))
        return false;
    if (!writeAll(temporary->fd(), bytes))
        return false;
    // The content is on the disk before the new name points at it: a power cut after the
    // rename finds the whole new file, never an empty one.
    if (calls.fsync(temporary->fd()) != 0)
        return false;
    if (!temporary->close())
        return false;

    const int dir = calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (dir < 0)
        return false;
    if (calls.rename(temporary->path().c_str(), target->path.c_str()) != 0) {
        calls.close(dir);
        return false;
    }
    temporary->renamed();
    // The rename itself is on the disk only once the folder is.
    const bool synced = calls.fsync(dir) == 0;
    calls.close(dir);
    return synced;
}

}  // namespace

PosixFileCalls& posixFileCalls() {
    static PosixFileCalls calls{systemOpen, ::write, ::fchmod, ::fsync, ::close, ::rename};
    return calls;
}

bool replaceFile(const std::string& path, std::string_view bytes) noexcept {
    try {
        return replace(path, bytes);
    } catch (...) {
        // Only memory can run out here (names, paths); the old file is still untouched.
        return false;
    }
}

}  // namespace vantu
