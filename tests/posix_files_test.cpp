// The configuration reader and writer on what only POSIX file systems have: pipes, device
// files, symbolic links and permission bits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "test_support.h"

namespace vantu::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// What only POSIX systems can have in the file's place; refused without blocking.
INSTANTIATE_TEST_SUITE_P(
    Posix, UnreadableConfig,
    ::testing::Values(
        // Opening it for reading would block until a writer comes.
        PathCase{"Fifo",
                 [](const fs::path& config) { ASSERT_EQ(mkfifo(config.c_str(), 0600), 0); }},
        // Reading it would never end.
        PathCase{"LinkToAnEndlessDevice",
                 [](const fs::path& config) { fs::create_symlink("/dev/zero", config); }},
        PathCase{"DanglingLink",
                 [](const fs::path& config) {
                     fs::create_symlink(config.parent_path() / "nowhere", config);
                 }}),
    byName);

TEST(ConfigReader, FollowsALinkToARegularFile) {
    Launcher l;
    l.folder.write("real.dat", "0 ");
    fs::create_symlink(l.folder / "real.dat", l.folder / "xconfig.dat");
    l.form.Command4_Click();
    EXPECT_EQ(l.check(2), 0);
}

// The writer honours the old file's write bits (even for root, who could write anyway) and
// gives the new file the old one's mode.
struct ModeCase {
    std::string_view name;
    fs::perms mode;
    bool written;
};

class SavedConfigMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(SavedConfigMode, DecidesWhetherToWriteAndIsKept) {
    Launcher l;
    const fs::path saved = l.folder / "xconfig2.dat";
    l.folder.write("xconfig2.dat", "old content");
    fs::permissions(saved, GetParam().mode);

    EXPECT_EQ(saveConfig(l.folder.path(), l.form.options()), GetParam().written);

    const std::string content = l.folder.read("xconfig2.dat");
    if (GetParam().written) {
        EXPECT_EQ(content, savedConfig());
    } else {
        EXPECT_EQ(content, "old content");
    }
    EXPECT_EQ(fs::status(saved).permissions() & fs::perms::all, GetParam().mode);
    EXPECT_THAT(l.folder.entries(), ElementsAre("xconfig2.dat"));
}

constexpr fs::perms kReadForAll =
    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

INSTANTIATE_TEST_SUITE_P(Posix, SavedConfigMode,
                         ::testing::Values(ModeCase{"ReadOnlyForAll", kReadForAll, false},
                                           ModeCase{"NoPermissionsAtAll", fs::perms::none, false},
                                           ModeCase{"OwnerWriteOthersRead",
                                                    fs::perms::owner_read | fs::perms::owner_write |
                                                        fs::perms::others_read,
                                                    true},
                                           ModeCase{"WritableByTheGroupOnly",
                                                    kReadForAll | fs::perms::group_write, true}),
                         byName);

}  // namespace
}  // namespace vantu::testing
