// Random configuration files checked against the plain model of the reader
// (config_reader_model.h), loaded through "Load Config" over controls in random states.
#include <gtest/gtest.h>

#include <random>

#include "config_reader_model.h"
#include "test_support.h"

namespace vantu::testing {
namespace {

std::string randomFile(std::mt19937& rng) {
    static constexpr std::string_view kAlphabet = "0123456789+-. \t\r\n";
    // Digits and blanks most often, so that most files reach the later fields.
    std::discrete_distribution<int> pick({6, 8, 2, 2, 2, 2, 2, 2, 2, 2, 1, 2, 2, 12, 1, 1, 1});
    std::uniform_int_distribution<int> length(0, 120);
    std::string s(static_cast<std::size_t>(length(rng)), ' ');
    for (char& c : s)
        c = kAlphabet[static_cast<std::size_t>(pick(rng))];
    return s;
}

TEST(ConfigReaderProperty, MatchesAPlainModelOnRandomFiles) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> startIndex(-1, 11);
    std::bernoulli_distribution coin(0.5);
    int failures = 0;
    int reachedTenth = 0;
    TempFolder folder;
    FakePlatform platform;
    for (int i = 0; i < 3000; ++i) {
        // Start from random control values so that "unchanged" is tested too; the form's
        // changed flag is connected only afterwards, so that it reflects this load alone.
        MemoryControls controls;
        for (int n = 1; n <= 6; ++n)
            controls.setCheckValue(checkBoxByNumber(n), coin(rng));
        controls.setListIndex(static_cast<std::int16_t>(startIndex(rng)));
        Form1 form(controls, platform, folder.string());
        controls.setEvents(&form);

        const ReaderState start{checkValues(controls), controls.listIndex(), "", false};
        const std::string file = randomFile(rng);
        folder.write("xconfig.dat", file);
        form.Command4_Click();

        const ReaderState expected = modelLoad(file, start);
        const std::string shown = ::testing::PrintToString(file);
        ASSERT_EQ(controls.text2(), expected.text2) << "file: " << shown;
        ASSERT_EQ(checkValues(controls), expected.checks) << "file: " << shown;
        ASSERT_EQ(controls.listIndex(), expected.listIndex) << "file: " << shown;
        ASSERT_EQ(form.options().optionsChanged(), expected.changed ? 1 : 0) << "file: " << shown;
        failures += expected.text2.starts_with("No FILE!");
        reachedTenth += std::count(file.begin(), file.end(), ' ') >= 10;
    }
    // The generator must exercise both the refused tenth field and complete loads.
    EXPECT_GT(failures, 100);
    EXPECT_GT(reachedTenth - failures, 100);
}

}  // namespace
}  // namespace vantu::testing
