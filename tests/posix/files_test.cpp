// The configuration reader on what only POSIX file systems have: pipes, device files and
// symbolic links. (The writer's cases are in posix/file_replace_test.cpp.)
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "config/config_reader.h"
#include "test_support.h"

namespace vantu::testing {
namespace {

namespace fs = std::filesystem;

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

}  // namespace
}  // namespace vantu::testing
