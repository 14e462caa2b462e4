// Saving the launcher's option file on POSIX systems, against what a real system does to it:
// each system call of the save failing in turn, a full file system, symbolic links, and the
// write bits of the old file, for root and for a user who may not write it.
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/config_writer.h"
#include "platform/posix/posix_file_calls.h"
#include "posix_test_support.h"
#include "test_support.h"

namespace vantu::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kOld = "old content";
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

fs::perms mode(const fs::path& path) {
    return fs::symlink_status(path).permissions() & fs::perms::all;
}

// The save's system calls, with the nth call of one kind failing with an error; a partial
// write stores a few bytes first, and every later write fails.
enum class Call { Open, Write, Fchmod, Fsync, Close, Rename };

struct Fault {
    Call call;
    int nth;
    int error;
    ssize_t partial = -1;
};

Fault fault;
int counts[6];

bool hit(Call call) {
    const int n = ++counts[static_cast<int>(call)];
    return fault.call == call && (n == fault.nth || (fault.partial >= 0 && n > fault.nth));
}
int fail() {
    errno = fault.error;
    return -1;
}

const PosixFileCalls kFaultyCalls{
    [](const char* path, int flags, mode_t mode) {
        return hit(Call::Open) ? fail() : ::open(path, flags, mode);
    },
    [](int fd, const void* bytes, size_t count) -> ssize_t {
        if (!hit(Call::Write))
            return ::write(fd, bytes, count);
        if (fault.partial >= 0 && counts[static_cast<int>(Call::Write)] == fault.nth)
            return ::write(fd, bytes, std::min(count, static_cast<size_t>(fault.partial)));
        return fail();
    },
    [](int fd, mode_t mode) { return hit(Call::Fchmod) ? fail() : ::fchmod(fd, mode); },
    [](int fd) { return hit(Call::Fsync) ? fail() : ::fsync(fd); },
    [](int fd) {
        const bool failing = hit(Call::Close);  // Linux closes it even when reporting an error
        const int result = ::close(fd);
        return failing ? fail() : result;
    },
    [](const char* from, const char* to) {
        return hit(Call::Rename) ? fail() : ::rename(from, to);
    },
};

struct FaultCase {
    std::string_view name;
    Fault fault;
    bool replaced;  // the new content is in place afterwards
    bool reported;  // the save returns true
};

class SaveUnderFaults : public ::testing::TestWithParam<FaultCase> {};

// With and without an old file: a failed save leaves the old bytes (or no file) and nothing else.
TEST_P(SaveUnderFaults, KeepsTheOldFileWholeAndLeavesNothingBehind) {
    for (const bool oldExists : {true, false}) {
        if (!oldExists && GetParam().fault.call == Call::Fchmod)
            continue;  // a new file keeps the mode it was created with
        SCOPED_TRACE(oldExists ? "old file" : "no old file");
        Launcher l;
        constexpr fs::perms kPrivate = fs::perms::owner_read | fs::perms::owner_write;
        if (oldExists) {
            l.folder.write("xconfig2.dat", kOld);
            fs::permissions(l.folder / "xconfig2.dat", kPrivate);
        }
        const PosixFileCalls system = posixFileCalls();
        fault = GetParam().fault;
        std::fill(std::begin(counts), std::end(counts), 0);
        posixFileCalls() = kFaultyCalls;
        const bool result = saveConfig(l.folder.path(), l.form.options());
        posixFileCalls() = system;

        // The save made the call that fails, and answered for it.
        EXPECT_GE(counts[static_cast<int>(fault.call)], fault.nth);
        EXPECT_EQ(result, GetParam().reported);
        if (GetParam().replaced) {
            EXPECT_EQ(l.folder.read("xconfig2.dat"), savedConfig());
        } else if (oldExists) {
            EXPECT_EQ(l.folder.read("xconfig2.dat"), kOld);
            EXPECT_EQ(mode(l.folder / "xconfig2.dat"), kPrivate);
        }
        EXPECT_EQ(l.folder.entries().size(), GetParam().replaced || oldExists ? 1u : 0u);
    }
}

// With an old file the calls are: open (the new file), fchmod, write, fsync, close, open (the
// folder), rename, fsync (the folder), close; without one there is no fchmod.
INSTANTIATE_TEST_SUITE_P(
    EachSystemCall, SaveUnderFaults,
    ::testing::Values(
        FaultCase{"CreatingTheNewFile", {Call::Open, 1, ENOSPC}, false, false},
        FaultCase{"CarryingThePermissionsOver", {Call::Fchmod, 1, EPERM}, false, false},
        FaultCase{"Writing", {Call::Write, 1, EIO}, false, false},
        FaultCase{"WritingPartlyThenFull", {Call::Write, 1, ENOSPC, 7}, false, false},
        FaultCase{"FlushingTheNewFile", {Call::Fsync, 1, EIO}, false, false},
        FaultCase{"ClosingTheNewFile", {Call::Close, 1, EIO}, false, false},
        FaultCase{"OpeningTheFolder", {Call::Open, 2, EMFILE}, false, false},
        FaultCase{"Renaming", {Call::Rename, 1, EXDEV}, false, false},
        // The rename is done: the file is whole and new, but not known to be on the disk.
        FaultCase{"FlushingTheFolder", {Call::Fsync, 2, EIO}, true, false},
        // An interrupted write is tried again.
        FaultCase{"WriteInterrupted", {Call::Write, 1, EINTR}, true, true}),
    byName);

// A child's status when it cannot set up what its test needs (a mount, another user's ids).
constexpr int kCannotSetUp = 77;

// A real full file system: a small tmpfs, in a mount namespace of the child's own (and a user
// namespace, when the test does not run as root), filled up.
TEST(FileReplace, AFullFileSystemKeepsTheOldFile) {
    Launcher l;
    const fs::path disk = l.folder / "disk";
    fs::create_directory(disk);
    const auto [status, output] = runInChild([&] {
        if (!becomeRootOfOwnFiles() || ::unshare(CLONE_NEWNS) != 0 ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
            return kCannotSetUp;
        {
            std::ofstream(disk / "xconfig2.dat") << kOld;
            std::ofstream filler(disk / "filler");
            const std::string block(4096, 'x');
            while (filler.write(block.data(), block.size()))
                ;
        }
        const bool saved = saveConfig(disk, l.form.options());
        std::ifstream in(disk / "xconfig2.dat");
        const std::string content{std::istreambuf_iterator<char>(in), {}};
        if (saved)
            return 1;
        if (content != kOld)
            return 2;
        if (l.folder.entries("disk") != std::vector<std::string>{"filler", "xconfig2.dat"})
            return 3;
        return 0;
    });
    if (status == kCannotSetUp)
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root or a user namespace)";
    EXPECT_EQ(status, 0) << "1: reported as saved, 2: old content changed, 3: leftovers";
}

// Links: the file a link leads to is replaced in its own folder, and the link stays.
TEST(FileReplace, ReplacesWhatALinkLeadsToAndKeepsTheLink) {
    Launcher l;
    fs::create_directories(l.folder / "elsewhere");
    l.folder.write("elsewhere/real.dat", kOld);
    fs::permissions(l.folder / "elsewhere/real.dat",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_directory(l.folder / "game");
    fs::create_symlink("../elsewhere/real.dat", l.folder / "game/middle");
    fs::create_symlink("middle", l.folder / "game/xconfig2.dat");

    EXPECT_TRUE(saveConfig(l.folder / "game", l.form.options()));

    EXPECT_EQ(fs::read_symlink(l.folder / "game/xconfig2.dat"), "middle");
    EXPECT_EQ(fs::read_symlink(l.folder / "game/middle"), "../elsewhere/real.dat");
    EXPECT_EQ(l.folder.read("elsewhere/real.dat"), savedConfig());
    EXPECT_EQ(mode(l.folder / "elsewhere/real.dat"),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(l.folder.entries("elsewhere"), std::vector<std::string>{"real.dat"});
    EXPECT_EQ(l.folder.entries("game"), (std::vector<std::string>{"middle", "xconfig2.dat"}));
}

// A link that leads nowhere stays as it is (one to a read-only file: SaveByPermissions).
TEST(FileReplace, LeavesALinkToNothingAlone) {
    Launcher l;
    fs::create_symlink("real.dat", l.folder / "xconfig2.dat");
    EXPECT_FALSE(saveConfig(l.folder.path(), l.form.options()));
    EXPECT_EQ(fs::read_symlink(l.folder / "xconfig2.dat"), "real.dat");
    EXPECT_EQ(l.folder.entries().size(), 1u);
}

// Whether the save replaces a file is decided by the write bits: as root (who could write
// anyway) by any write bit of the old file, whose mode the new file keeps; as another user by
// what that user may write, even where the folder lets the user create and rename files. Run by
// a user, the saves as root happen as root of a user namespace of the test's own; the saves as
// nobody need root itself (another user's file, becoming another user) and are skipped.
struct PermissionCase {
    std::string_view name;
    bool asNobody;
    std::optional<uid_t> owner;  // of the old file, when not the test's own user
    fs::perms mode;
    bool throughLink;  // xconfig2.dat is a link to real.dat
    bool written;
};

class SaveByPermissions : public ::testing::TestWithParam<PermissionCase> {};

TEST_P(SaveByPermissions, WritesOnlyWhatTheUserMayWrite) {
    const PermissionCase& c = GetParam();
    Launcher l;
    const fs::path game = l.folder / "game";
    fs::create_directory(game);
    fs::permissions(l.folder.path(), fs::perms::all);
    fs::permissions(game, fs::perms::all);
    const fs::path real = game / (c.throughLink ? "real.dat" : "xconfig2.dat");
    std::ofstream(real) << kOld;
    if (c.owner && ::chown(real.c_str(), *c.owner, *c.owner == 0 ? 0 : kNogroup) != 0) {
        if (errno == EPERM)
            GTEST_SKIP() << "cannot give a file to another user here (needs root)";
        FAIL() << "chown: " << std::strerror(errno);
    }
    fs::permissions(real, c.mode);
    if (c.throughLink)
        fs::create_symlink("real.dat", game / "xconfig2.dat");
    struct stat old {};
    ASSERT_EQ(::stat(real.c_str(), &old), 0);

    const auto [status, output] = runInChild([&] {
        if (c.asNobody
                ? ::setgroups(0, nullptr) != 0 || ::setresgid(kNogroup, kNogroup, kNogroup) != 0 ||
                      ::setresuid(kNobody, kNobody, kNobody) != 0
                : !becomeRootOfOwnFiles())
            return kCannotSetUp;
        return saveConfig(game, l.form.options()) ? 1 : 0;
    });
    if (status == kCannotSetUp)
        GTEST_SKIP() << (c.asNobody ? "cannot become another user here (needs root)"
                                    : "cannot become root of a user namespace here");

    EXPECT_EQ(status, c.written ? 1 : 0);
    struct stat now {};
    ASSERT_EQ(::stat(real.c_str(), &now), 0);
    EXPECT_EQ(now.st_mode, old.st_mode);
    // Readable for the check also where the test's user is not root.
    if (now.st_uid == ::geteuid())
        fs::permissions(real, fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(fileBytes(real), c.written ? savedConfig() : std::string(kOld));
    EXPECT_EQ(fs::canonical(game / "xconfig2.dat"), fs::canonical(real));
    EXPECT_EQ(l.folder.entries("game").size(), c.throughLink ? 2u : 1u);
}

constexpr fs::perms kReadForAll =
    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms kOwnerWrites = kReadForAll | fs::perms::owner_write;

INSTANTIATE_TEST_SUITE_P(
    Posix, SaveByPermissions,
    ::testing::Values(
        PermissionCase{"ReadOnlyForAll", false, std::nullopt, kReadForAll, false, false},
        PermissionCase{"NoPermissionsAtAll", false, std::nullopt, fs::perms::none, false, false},
        PermissionCase{"OwnerWriteOthersRead", false, std::nullopt,
                       fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read,
                       false, true},
        PermissionCase{"WritableByTheGroupOnly", false, std::nullopt,
                       kReadForAll | fs::perms::group_write, false, true},
        PermissionCase{"LinkToAReadOnlyFile", false, std::nullopt, fs::perms::owner_read, true,
                       false},
        PermissionCase{"RootsFile", true, 0, kOwnerWrites, false, false},
        PermissionCase{"LinkToRootsFile", true, 0, kOwnerWrites, true, false},
        PermissionCase{"TheUsersOwnFile", true, kNobody, kOwnerWrites, false, true}),
    byName);

}  // namespace
}  // namespace vantu::testing
