#include "platform/linux/process_start.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ports/platform.h"
#include "posix_test_support.h"
#include "test_support.h"

namespace {
bool refuseFolder = false;
}  // namespace

// The C library's, refusing on demand as it does without memory for the folder's name.
extern "C" int posix_spawn_file_actions_addchdir_np(posix_spawn_file_actions_t* actions,
                                                    const char* path) noexcept {
    using Real = int (*)(posix_spawn_file_actions_t*, const char*);
    static const auto real =
        reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "posix_spawn_file_actions_addchdir_np"));
    return refuseFolder ? ENOMEM : real(actions, path);
}

namespace vantu {
namespace {

namespace fs = std::filesystem;
using testing::EnvVar;
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

// A game folder and three folders for PATH.
class ProcessStartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const fs::path& dir : {game, bin1, bin2, wineBin})
            fs::create_directories(dir);
    }

    TempFolder temp;
    const fs::path game = temp / "game", bin1 = temp / "bin1", bin2 = temp / "bin2";
    const fs::path wineBin = temp / "winebin";
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
    const ProcessStarter starter(game);
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
        {"vantu2.exe -nc", "vantu2.exe: Exec format error"},
        {"game.sh", "game.sh: Cannot allocate memory", true},
    };
    const ProcessStarter starter(game);
    for (const Case& c : cases) {
        refuseFolder = c.noMemory;
        try {
            const pid_t pid = starter.start(c.commandLine);
            ADD_FAILURE() << c.commandLine << " started";
            waitForExit(pid);
        } catch (const StartError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    refuseFolder = false;
}

TEST_F(ProcessStartTest, ChildGetsTheArgumentsInItsOwnSessionInTheGameFolder) {
    temp.write("game/game.sh",
               "#!/bin/sh\n"
               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n"
               "pwd -P > cwd.txt\n"
               "set -- $(cat /proc/$$/stat)\n"
               "echo \"$6\" > sid.txt\n",
               true);

    const pid_t pid = ProcessStarter(game).start(
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

TEST_F(ProcessStartTest, WindowsProgramsStartThroughWine) {
    const fs::path record = temp / "wine-args.txt";
    temp.write("winebin/wine", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record.string() + "'\n",
               true);
    temp.write("game/vantu.exe", kWindowsProgram);
    temp.write("game/headless.exe", "no header the kernel knows\n", true);
    const EnvVar path("PATH", wineBin.string());

    for (const std::string program : {"vantu.exe", "headless.exe"}) {
        fs::remove(record);
        const pid_t pid = ProcessStarter(game).start(program + " -nc -d v1");
        ASSERT_EQ(waitForExit(pid), 0);
        const std::vector<std::string> expected = {(game / program).string(), "-nc", "-d", "v1"};
        EXPECT_EQ(readLines(record), expected) << program;
    }
}

}  // namespace
}  // namespace vantu
