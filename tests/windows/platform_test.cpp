// The Windows services against the real system (under Wine in the tests).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/windows/windows_platform.h"
#include "test_support.h"

namespace vantu {
namespace {

// A file of the given size, made without writing its bytes.
void makeFileOfSize(const std::string& name, LONGLONG size) {
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
}

TEST(WindowsPlatform, OnlyARegularFileOfAtMost32MiBIsPlayed) {
    testing::TempFolder folder;
    const std::string base = folder.path().string() + "\\";
    makeFileOfSize(base + "small.wav", 44);
    makeFileOfSize(base + "limit.wav", 32ll * 1024 * 1024);
    makeFileOfSize(base + "over.wav", 32ll * 1024 * 1024 + 1);
    CreateDirectoryA((base + "folder.wav").c_str(), nullptr);

    struct Row {
        std::string name;
        bool played;
    };
    const Row rows[] = {
        {"small.wav", true},   {"limit.wav", true},    {"over.wav", false},
        {"folder.wav", false}, {"missing.wav", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(isPlayableSoundFile(base + row.name), row.played);
    }
    EXPECT_FALSE(isPlayableSoundFile(""));
    EXPECT_FALSE(isPlayableSoundFile(std::string("small.wav\0x", 11)));

    // Nothing playable is not an error, and never waits.
    WindowsPlatform platform{"test"};
    platform.playSound(base + "over.wav");
    platform.playSound(base + "missing.wav");
}

TEST(WindowsPlatform, AGameThatCannotStartIsAStartErrorNamingItAndTheReason) {
    testing::TempFolder folder;
    const std::string missing = folder.path().string() + "\\vantu.exe";
    WindowsPlatform platform{"test"};
    try {
        platform.startProcess("\"" + missing + "\" -nc -d v1 ", 2);
        FAIL() << "started a missing program";
    } catch (const StartError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind(missing + ": ", 0), 0u) << text;
        EXPECT_GT(text.size(), missing.size() + 2);
        EXPECT_NE(text.back(), '\n');
    }
    EXPECT_THROW(platform.startProcess(std::string("cmd.exe\0 /c exit", 16), 2), StartError);
}

TEST(WindowsPlatform, ASystemErrorReadsAsOneLine) {
    const std::string text = systemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(systemErrorText(0xDEADBEEF), "error 3735928559");
}

}  // namespace
}  // namespace vantu
