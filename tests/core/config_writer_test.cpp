#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

#include "config/config_writer.h"
#include "test_support.h"

namespace vantu::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

struct SaveCase {
    std::array<std::int16_t, 5> values;  // Check2..Check6
    std::string_view digits;
};

class SaveConfig : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveConfig, WritesFiveDigitsEachWithAQuotedBlank) {
    Launcher l;
    for (int n = 2; n <= 6; ++n) {
        l.controls.setCheckValue(checkBoxByNumber(n),
                                 GetParam().values[static_cast<size_t>(n - 2)]);
    }
    l.form.Command3_Click();
    EXPECT_EQ(l.folder.read("xconfig2.dat"), savedConfig(GetParam().digits));
}

INSTANTIATE_TEST_SUITE_P(Values, SaveConfig,
                         ::testing::Values(SaveCase{{1, 1, 1, 1, 1}, "11111"},
                                           SaveCase{{0, 0, 0, 0, 0}, "00000"},
                                           SaveCase{{1, 0, 1, 1, 2}, "10111"},
                                           SaveCase{{2, 2, 0, 2, 0}, "11010"}));

TEST(ConfigWriter, ChangesNothingInTheWindow) {
    Launcher l;
    l.controls.setText2("trace");
    l.form.Command3_Click();
    EXPECT_EQ(l.form.options().optionsChanged(), 0);
    EXPECT_EQ(l.controls.text2(), "trace");
    EXPECT_FALSE(fs::exists(l.folder / "xconfig.dat"));
}

TEST(ConfigWriter, IgnoresWindowModeAndDisplayMode) {
    Launcher l;
    l.form.Command3_Click();
    const std::string first = l.folder.read("xconfig2.dat");
    l.controls.userClick(optionBox("windowMode"));
    l.controls.userPick(7);
    l.form.Command3_Click();
    EXPECT_EQ(l.folder.read("xconfig2.dat"), first);
}

TEST(ConfigWriter, ReplacesLongerContentCompletely) {
    Launcher l;
    l.folder.write("xconfig2.dat", std::string(5000, 'z'));
    l.form.Command3_Click();
    EXPECT_EQ(l.folder.read("xconfig2.dat"), savedConfig());
}

TEST(ConfigWriter, AFailurePartWayLeavesTheOldFileAndNoLeftovers) {
    Launcher l;
    l.folder.write("xconfig2.dat", "old content");
    l.controls.failReadingOf(checkBoxNamed("Check4"));
    EXPECT_NO_THROW(l.form.Command3_Click());
    EXPECT_EQ(l.folder.read("xconfig2.dat"), "old content");
    EXPECT_THAT(l.folder.entries(), ElementsAre("xconfig2.dat"));
}

TEST(ConfigWriter, AFailurePartWayWithNoOldFileCreatesNone) {
    Launcher l;
    l.controls.failReadingOf(checkBoxNamed("Check6"));
    EXPECT_FALSE(saveConfig(l.folder.string(), l.form.options()));
    EXPECT_TRUE(fs::is_empty(l.folder.path()));
}

TEST(ConfigWriter, AMissingFolderIsASilentFailure) {
    Launcher l;
    EXPECT_FALSE(saveConfig((l.folder / "gone").string(), l.form.options()));
    EXPECT_FALSE(fs::exists(l.folder / "gone"));
}

TEST(ConfigWriter, ADirectoryInTheWayIsLeftAlone) {
    Launcher l;
    fs::create_directory(l.folder / "xconfig2.dat");
    EXPECT_FALSE(saveConfig(l.folder.string(), l.form.options()));
    EXPECT_TRUE(fs::is_directory(l.folder / "xconfig2.dat"));
    EXPECT_THAT(l.folder.entries(), ElementsAre("xconfig2.dat"));
}

}  // namespace
}  // namespace vantu::testing
