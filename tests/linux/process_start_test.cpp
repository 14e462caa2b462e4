#include "platform/linux/process_start.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "ports/platform.h"
#include "posix_test_support.h"
#include "test_support.h"

namespace {
bool refuseSetUp = false;
}  // namespace

// The C library's, refusing on demand, as a set-up step of the new process may fail.
extern "C" int posix_spawnattr_setflags(posix_spawnattr_t* attr, short flags) noexcept {
    using Real = int (*)(posix_spawnattr_t*, short);
    static const auto real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "posix_spawnattr_setflags"));
    return refuseSetUp ? ENOMEM : real(attr, flags);
}

namespace vantu {
namespace {

namespace fs = std::filesystem;
using testing::EnvVar;
using testing::InFolder;
using testing::readLines;
using testing::TempFolder;

constexpr std::string_view kScript = "#!/bin/sh\nexit 0\n";
constexpr std::string_view kWindowsProgram{"MZ\x90\0\3\0\0\0", 8};

int waitForExit(pid_t pid) {
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "status " << status;
    return WEXITSTATUS(status);
}

// A game folder, current as the launcher makes it, and three folders for PATH.
class ProcessStartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const fs::path& dir : {game, bin1, bin2, wineBin})
            fs::create_directories(dir);
        inGame.emplace(game);
    }

    TempFolder temp;
    const fs::path game = temp / "game", bin1 = temp / "bin1", bin2 = temp / "bin2";
    const fs::path wineBin = temp / "winebin";
    std::optional<InFolder> inGame;
};

TEST_F(ProcessStartTest, LooksInTheGameFolderThenPathAndRunsWindowsProgramsThroughWine) {
    temp.write("game/here", kScript, true);
    temp.write("bin1/here", kScript, true);
    temp.write("bin1/onpath", kScript, true);
    temp.write("bin2/onpath", kScript, true);
    temp.write("bin1/locked", kScript);
    temp.write("bin2/locked", kScript, true);
    temp.write("game/sub/tool", kScript, true);
    temp.write("bin1/tool", kScript, true);
    temp.write("game/vantu.exe", kWindowsProgram);
    temp.write("winebin/wine", kScript, true);
    fs::create_directories(game / "folder");
    temp.write("bin1/folder", kScript, true);

    const std::string path12 = bin1.string() + ":" + bin2.string();
    const std::string path21 = bin2.string() + ":" + bin1.string();
    const std::string withWine = wineBin.string() + ":" + path12;
    const std::string absolute = (bin2 / "onpath").string();
    struct Case {
        std::string commandLine;
        std::string path;
        std::vector<std::string> argv;
    };
    const std::vector<Case> cases = {
        {"here -a", path12, {(game / "here").string(), "-a"}},
        {"onpath x  y", path12, {(bin1 / "onpath").string(), "x", "y"}},
        {"onpath", path21, {(bin2 / "onpath").string()}},
        {"locked", path12, {(bin2 / "locked").string()}},
        {"folder", path12, {(bin1 / "folder").string()}},
        {"sub/tool", path12, {(game / "sub" / "tool").string()}},
        {absolute + " z", path12, {absolute, "z"}},
        {"\"sub/tool\" \"a b\"", path12, {(game / "sub" / "tool").string(), "a b"}},
        {"vantu.exe -nc -d v1",
         withWine,
         {(wineBin / "wine").string(), (game / "vantu.exe").string(), "-nc", "-d", "v1"}},
        {"vantu.exe -nc", path12, {(game / "vantu.exe").string(), "-nc"}},
    };
    const ProcessStarter starter;
    for (const Case& c : cases) {
        EXPECT_EQ(starter.resolve(c.commandLine, c.path), c.argv) << c.commandLine;
    }
}

TEST_F(ProcessStartTest, FailuresNameTheProgramAndTheReason) {
    temp.write("game/notes.txt", "not a program\n");
    temp.write("game/garbage", "neither a script nor a program\n", true);
    temp.write("game/vantu2.exe", kWindowsProgram, true);
    fs::create_directories(game / "vantu.exe");
    temp.write("game/locked.sh", kScript);
    temp.write("game/python.sh", "#!/usr/bin/python9 -u\nprint(1)\n", true);
    temp.write("game/near.sh", "#! tools/run\n", true);
    temp.write("game/tools/run", kScript);
    temp.write("game/odd.sh", "#!" + bin1.string() + "\n", true);
    temp.write("game/game.sh", kScript, true);
    const EnvVar path("PATH", bin1.string());  // no wine there

    struct Case {
        std::string commandLine;
        std::string message;
        bool noMemory = false;  // for the new process's set-up
    };
    const std::vector<Case> cases = {
        {"vantu.exe -nc -d v1", "vantu.exe: Is a directory"},
        {"./vantu.exe -nc", "./vantu.exe: Is a directory"},
        {"vantu3.exe -nc", "vantu3.exe: No such file or directory"},
        {"missing/vantu.exe", "missing/vantu.exe: No such file or directory"},
        {"locked.sh", "locked.sh: Permission denied"},
        {"python.sh", "python.sh: bad interpreter /usr/bin/python9: No such file or directory"},
        {"near.sh", "near.sh: bad interpreter tools/run: Permission denied"},
        {"odd.sh", "odd.sh: bad interpreter " + bin1.string() + ": Is a directory"},
        {"", ": No such file or directory"},
        {"notes.txt -a", "notes.txt: Permission denied"},
        {"garbage", "garbage: Exec format error"},
        {"vantu2.exe -nc",
         "vantu2.exe: a Windows program, and nothing to run it: WINE is not set, "
         "and neither wine nor umu-run is in PATH"},
        {"game.sh", "game.sh: Cannot allocate memory", true},
    };
    const ProcessStarter starter;
    for (const Case& c : cases) {
        refuseSetUp = c.noMemory;
        try {
            const pid_t pid = starter.start(c.commandLine);
            ADD_FAILURE() << c.commandLine << " started";
            waitForExit(pid);
        } catch (const StartError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    refuseSetUp = false;
}

TEST_F(ProcessStartTest, ChildGetsTheArgumentsInItsOwnSessionInTheGameFolder) {
    temp.write("game/game.sh",
               "#!/bin/sh\n"
               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n"
               "pwd -P > cwd.txt\n"
               "set -- $(cat /proc/$$/stat)\n"
               "echo \"$6\" > sid.txt\n",
               true);

    const pid_t pid = ProcessStarter().start(
        "game.sh -nc -d v1  -d noshadow\t\"two  words\" \"\" a\\\"b -d saveme");
    ASSERT_EQ(waitForExit(pid), 0);

    const std::vector<std::string> expected = {"-nc",        "-d", "v1",   "-d", "noshadow",
                                               "two  words", "",   "a\"b", "-d", "saveme"};
    EXPECT_EQ(readLines(game / "args.txt"), expected);
    EXPECT_EQ(readLines(game / "cwd.txt"), std::vector<std::string>{fs::canonical(game).string()});
    const std::vector<std::string> sid = readLines(game / "sid.txt");
    ASSERT_EQ(sid.size(), 1u);
    EXPECT_EQ(sid[0], std::to_string(pid));  // a session leader
    EXPECT_NE(sid[0], std::to_string(::getsid(0)));
}

// Each runner is a stand-in that records its name, its arguments, its folder and WINEPREFIX.
// WINE, else wine, else umu-run; only absolute folders of PATH, and WINE naming nothing is not
// passed over.
TEST_F(ProcessStartTest, WindowsProgramsStartThroughThePlayersRunner) {
    const fs::path record = temp / "record.txt";
    const auto runner = [&](const std::string& file) {
        temp.write(file,
                   "#!/bin/sh\n{ echo " + fs::path(file).filename().string() +
                       "; printf '%s\\n' \"$@\"; pwd -P; echo \"$WINEPREFIX\"; } > '" +
                       record.string() + "'\n",
                   true);
    };
    runner("own/my-wine");
    runner("winebin/wine-ge");
    runner("bin1/wine");
    runner("bin2/umu-run");
    runner("game/wine");  // a planted runner, found only through "." or an empty entry
    runner("game/own/my-wine");
    temp.write("game/vantu.exe", kWindowsProgram);
    temp.write("game/headless.exe", "no header the kernel knows\n", true);
    const EnvVar prefix("WINEPREFIX", (temp / "a prefix").string());
    // "." in PATH is the game folder, the current one.
    const std::string b1 = bin1.string(), b2 = bin2.string(), wb = wineBin.string();
    const std::string myWine = (temp / "own" / "my-wine").string();

    struct Case {
        std::string wine, path, program, ran;  // ran: the runner, or the failure's text
    };
    const std::vector<Case> cases = {
        {myWine, wb + ":" + b1 + ":" + b2, "vantu.exe", "my-wine"},
        {"wine-ge", b1 + ":" + wb, "vantu.exe", "wine-ge"},
        {"", b2 + ":" + b1, "vantu.exe", "wine"},
        {"", b2, "vantu.exe", "umu-run"},
        {"", b2, "headless.exe", "umu-run"},
        {"", ":.:" + b2, "vantu.exe", "umu-run"},
        {(temp / "missing").string(), b1, "vantu.exe",
         "vantu.exe: WINE names '" + (temp / "missing").string() + "': No such file or directory"},
        {"own/my-wine", b1, "vantu.exe",
         "vantu.exe: WINE names 'own/my-wine', a relative path: give its full path or a name in "
         "PATH"},
        {"wine-ge", b1, "vantu.exe", "vantu.exe: WINE names 'wine-ge', which is not in PATH"},
        {"", ":.:" + b1 + "/none", "vantu.exe",
         "vantu.exe: a Windows program, and nothing to run it: WINE is not set, and neither wine "
         "nor umu-run is in PATH"},
    };
    for (const Case& c : cases) {
        const EnvVar wine("WINE", c.wine), path("PATH", c.path);
        fs::remove(record);
        try {
            ASSERT_EQ(waitForExit(ProcessStarter().start(c.program + " -nc -d v1")), 0);
            const std::vector<std::string> expected = {c.ran,
                                                       (fs::current_path() / c.program).string(),
                                                       "-nc",
                                                       "-d",
                                                       "v1",
                                                       fs::canonical(game).string(),
                                                       (temp / "a prefix").string()};
            EXPECT_EQ(readLines(record), expected) << c.wine << " " << c.path;
        } catch (const StartError& e) {
            EXPECT_EQ(std::string(e.what()), c.ran) << c.wine << " " << c.path;
        }
    }
}

}  // namespace
}  // namespace vantu
