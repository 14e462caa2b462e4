// The configuration reader and writer on what only Windows file systems have: the read-only
// attribute, files that another program holds open with a sharing mode, and symbolic links.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "test_support.h"

namespace vantu::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// A file as another program (the game, an editor) holds it open: read and write access, and
// the given sharing for everybody else.
class HeldOpen {
  public:
    HeldOpen(const fs::path& path, DWORD share)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldOpen() {
        if (isOpen())
            CloseHandle(handle_);
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

bool isReadOnly(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

struct SharingCase {
    std::string_view name;
    DWORD share;
    bool readable;  // whether another program may read it now
};

class HeldOpenByAnother : public ::testing::TestWithParam<SharingCase> {};

// The reader asks for no more than reading: a configuration that the game holds open is read
// when the game lets others read it, and otherwise takes the failure path without waiting.
TEST_P(HeldOpenByAnother, TheConfigIsReadWhenTheHolderLetsOthersRead) {
    Launcher l;
    l.writeConfig("0 ");
    HeldOpen game(l.folder / "xconfig.dat", GetParam().share);
    ASSERT_TRUE(game.isOpen());
    l.controls.setText2("before");

    l.form.Command4_Click();

    if (GetParam().readable) {
        EXPECT_EQ(l.controls.text2(), "0( 48) ( 32)Opcao =  1:0\r\n");
        EXPECT_THAT(l.checks(), ElementsAre(0, 0, 0, 1, 1, 1));
    } else {
        EXPECT_EQ(l.controls.text2(), "No FILE!xconfig.dat");
        EXPECT_THAT(l.checks(), ElementsAre(0, 1, 0, 1, 1, 1));
    }
}

// The writer replaces the file by renaming a complete new one over it. Another program's open
// handle without delete sharing (none of the cases shares deletion) stops the rename: the old
// file stays whole, no temporary file is left behind, and the save reports failure.
TEST_P(HeldOpenByAnother, TheSavedConfigIsKeptWholeAndNothingIsLeftBehind) {
    Launcher l;
    l.folder.write("xconfig2.dat", "old content");
    {
        HeldOpen other(l.folder / "xconfig2.dat", GetParam().share);
        ASSERT_TRUE(other.isOpen());
        EXPECT_FALSE(saveConfig(l.folder.string(), l.form.options()));
    }
    EXPECT_EQ(l.folder.read("xconfig2.dat"), "old content");
    EXPECT_THAT(l.folder.entries(), ElementsAre("xconfig2.dat"));
    // Once the other program lets go, the next save goes through.
    EXPECT_TRUE(saveConfig(l.folder.string(), l.form.options()));
    EXPECT_EQ(l.folder.read("xconfig2.dat"), savedConfig());
}

INSTANTIATE_TEST_SUITE_P(Windows, HeldOpenByAnother,
                         ::testing::Values(SharingCase{"NotShared", 0, false},
                                           SharingCase{"SharedForWritingOnly", FILE_SHARE_WRITE,
                                                       false},
                                           SharingCase{"SharedForReading", FILE_SHARE_READ, true},
                                           SharingCase{"SharedForReadingAndWriting",
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE, true}),
                         byName);

// The read-only attribute, however it was set, marks a file the writer leaves alone.
class ReadOnlySavedConfig : public ::testing::TestWithParam<PathCase> {};

TEST_P(ReadOnlySavedConfig, IsLeftAlone) {
    Launcher l;
    const fs::path saved = l.folder / "xconfig2.dat";
    l.folder.write("xconfig2.dat", "keep me");
    GetParam().make(saved);
    ASSERT_TRUE(isReadOnly(saved));

    EXPECT_FALSE(saveConfig(l.folder.string(), l.form.options()));

    EXPECT_EQ(l.folder.read("xconfig2.dat"), "keep me");
    EXPECT_TRUE(isReadOnly(saved));
    EXPECT_THAT(l.folder.entries(), ElementsAre("xconfig2.dat"));
    // A read-only file cannot be deleted: clear the mark so the folder can be removed.
    SetFileAttributesW(saved.c_str(), FILE_ATTRIBUTE_NORMAL);
}

void setReadOnlyAttribute(const fs::path& file) {
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
}

void setReadOnlyPermissions(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

INSTANTIATE_TEST_SUITE_P(Windows, ReadOnlySavedConfig,
                         ::testing::Values(PathCase{"SetFileAttributes", setReadOnlyAttribute},
                                           PathCase{"FilesystemPermissions",
                                                    setReadOnlyPermissions}),
                         byName);

TEST(ConfigWriter, AWritableFileStaysWritableAfterTheReplace) {
    Launcher l;
    l.folder.write("xconfig2.dat", "old content");
    EXPECT_TRUE(saveConfig(l.folder.string(), l.form.options()));
    EXPECT_FALSE(isReadOnly(l.folder / "xconfig2.dat"));
    EXPECT_TRUE(saveConfig(l.folder.string(), l.form.options()));
}

bool isLink(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A saved configuration that is a symbolic link (a player keeping it with the game's other
// settings): the save replaces the file the link leads to, and the link stays. Windows makes
// such links for an administrator or in developer mode. Wine 8.0 makes none: its
// CreateSymbolicLinkW does nothing and reports success, FSCTL_SET_REPARSE_POINT is not
// supported, and a link made on the Unix side shows as a plain file without the reparse-point
// attribute. There the test is skipped.
TEST(ConfigWriter, ASaveThroughALinkReplacesWhatItLeadsTo) {
    Launcher l;
    fs::create_directory(l.folder / "elsewhere");
    l.folder.write("elsewhere/real.dat", "old content");
    const fs::path link = l.folder / "xconfig2.dat";
    if (!CreateSymbolicLinkW(link.c_str(), (l.folder / "elsewhere/real.dat").c_str(),
                             SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
        !isLink(link))
        GTEST_SKIP() << "this system makes no symbolic link (error " << GetLastError() << ")";

    EXPECT_TRUE(saveConfig(l.folder.string(), l.form.options()));

    EXPECT_EQ(l.folder.read("elsewhere/real.dat"), savedConfig());
    EXPECT_TRUE(isLink(link));
    EXPECT_THAT(l.folder.entries(), ElementsAre("elsewhere", "xconfig2.dat"));
    EXPECT_THAT(l.folder.entries("elsewhere"), ElementsAre("real.dat"));
}

}  // namespace
}  // namespace vantu::testing
