// Random configuration files checked against a deliberately plain model of the reader: trace by
// string concatenation, field values through a regular expression and the C library, rounding
// through the floating-point environment.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <random>
#include <regex>

#include "test_support.h"

namespace vantu::testing {
namespace {

struct ModelResult {
    std::array<std::int16_t, 6> checks;
    std::int16_t listIndex;
    std::string text2;
    bool changed;
};

double modelFieldValue(const std::string& text) {
    std::string squeezed;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            squeezed += c;
    }
    static const std::regex number(R"(^[+-]?(\d+\.?\d*|\.\d+))");
    std::smatch m;
    if (!std::regex_search(squeezed, m, number))
        return 0.0;
    return std::stod(m.str());
}

ModelResult model(const std::string& file, ModelResult start) {
    ModelResult r = start;
    std::string trace;
    std::string field;
    int number = 1;
    auto set = [&r](std::int16_t& slot, std::int16_t value) {
        if (slot != value)
            r.changed = true;
        slot = value;
    };
    for (unsigned char c : file) {
        trace = trace + static_cast<char>(c) + "( " + std::to_string(c) + ")";
        if (c != ' ') {
            field = field + static_cast<char>(c);
            continue;
        }
        trace = trace + "Opcao =  " + std::to_string(number) + ":" + field;
        const double value = modelFieldValue(field);
        const std::int16_t bit = value == 1.0 ? 1 : 0;
        if (number >= 1 && number <= 5)
            set(r.checks[static_cast<std::size_t>(number)], bit);
        if (number == 9)
            set(r.checks[0], bit);
        if (number == 10) {
            const double rounded = std::nearbyint(value);
            if (rounded < -1 || rounded > 11) {
                r.text2 = "No FILE!xconfig.dat";
                return r;
            }
            // The list notifies only when the selection really changes.
            set(r.listIndex, static_cast<std::int16_t>(rounded));
        }
        field.clear();
        ++number;
        trace = trace + "\r\n";
    }
    r.text2 = trace;
    return r;
}

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

        auto checks = [&controls] {
            std::array<std::int16_t, 6> values;
            for (int n = 1; n <= 6; ++n) {
                values[static_cast<std::size_t>(n - 1)] = controls.checkValue(checkBoxByNumber(n));
            }
            return values;
        };
        const ModelResult start{checks(), controls.listIndex(), "", false};
        const std::string file = randomFile(rng);
        folder.write("xconfig.dat", file);
        form.Command4_Click();

        const ModelResult expected = model(file, start);
        const std::string shown = ::testing::PrintToString(file);
        ASSERT_EQ(controls.text2(), expected.text2) << "file: " << shown;
        ASSERT_EQ(checks(), expected.checks) << "file: " << shown;
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
