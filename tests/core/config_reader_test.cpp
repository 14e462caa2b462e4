#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

#include "config/config_reader.h"
#include "test_support.h"

namespace vantu::testing {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::Eq;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::ResultOf;
using ::testing::SizeIs;
using ::testing::StartsWith;

const std::string kNoFile = "No FILE!xconfig.dat";

// Splits a trace into its lines (each ended by CR LF); what follows the last CR LF is dropped.
std::vector<std::string> traceLines(const std::string& trace) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = trace.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(trace.substr(start, end - start));
    }
    return lines;
}

// A trace of `count` lines (each ended by CR LF), these among them.
::testing::Matcher<const std::string&> traceOf(std::size_t count, std::vector<std::string> lines) {
    return ResultOf(traceLines, AllOf(SizeIs(count), IsSupersetOf(lines)));
}

std::string digits(const std::array<std::int16_t, kCheckBoxCount>& values) {
    std::string text;
    for (const std::int16_t value : values)
        text += std::to_string(value);
    return text;
}

// What loading a file does to the controls, the trace and the changed flag; the same bytes
// handed to the reader directly do the same, and a second load gives the same trace again.
TEST(ConfigReader, LoadsEachFileAsDesigned) {
    struct Case {
        std::optional<std::string> file;  // none: no xconfig.dat
        std::string_view checks;          // Check1 to Check6
        std::int16_t listIndex;
        ::testing::Matcher<const std::string&> trace;
        std::int16_t changed;
    };
    std::string limit(kMaxConfigFileSize, 'x');
    limit.replace(0, 2, "0 ");
    std::string perLine;
    for (int i = 0; i < 10; ++i)
        perLine += "1 \r\n";
    // Field 10 selects the display mode rounded half to even, or fails the load out of range;
    // fields 1 to 9 are applied whatever happens to it.
    const auto mode = [](const std::string& field, std::optional<std::int16_t> index) {
        return Case{"0 0 0 0 0 0 0 0 1 " + field + " 1 ", "100000", index.value_or(-1),
                    index ? traceOf(11, {}) : ::testing::Matcher<const std::string&>(Eq(kNoFile)),
                    1};
    };
    const Case cases[] = {
        {"1 0 ", "010111", -1, Eq("1( 49) ( 32)Opcao =  1:1\r\n0( 48) ( 32)Opcao =  2:0\r\n"), 0},
        {"1 1 0 1 1 0 0 0 1 3 ", "111011", 3,
         AllOf(traceOf(10, {"3( 51) ( 32)Opcao =  10:3", "0( 48) ( 32)Opcao =  6:0"}),
               EndsWith("\r\n")),
         1},
        {"", "010111", -1, Eq(""), 0},
        {std::nullopt, "010111", -1, Eq(kNoFile), 0},
        // An unfinished last field is traced but never applied.
        {"0 1\r\n", "000111", -1, Eq("0( 48) ( 32)Opcao =  1:0\r\n1( 49)\r( 13)\n( 10)"), 1},
        // Two blanks make an empty field.
        {"1  1 1 1 0 0 0 1  ", "110111", 0,
         traceOf(10, {" ( 32)Opcao =  2:", " ( 32)Opcao =  10:"}), 1},
        // Field 1 is "1"; every later field starts with the previous line's CR LF and reads as 0.
        {perLine, "010000", 0, HasSubstr("Opcao =  2:\r\n1\r\n"), 1},
        // Fields 6 to 8 and 11 onwards are traced and change no control.
        {"1 0 1 1 1 0 0 0 0 1 0 0 0 ", "010111", 1, traceOf(13, {"0( 48) ( 32)Opcao =  13:0"}), 1},
        {std::string("\0\xff\t", 3), "010111", -1, Eq(std::string("\0( 0)\xff( 255)\t( 9)", 17)),
         0},
        {limit, "000111", -1, StartsWith("0( 48) ( 32)Opcao =  1:0\r\nx( 120)"), 1},
        {std::string(10000, ' '), "000000", 0, traceOf(10000, {}), 1},
        // clang-format off
        mode("11", 11), mode("0", 0), mode("2.5", 2), mode("3.5", 4), mode("1.5", 2),
        mode("0.5", 0), mode("-0.5", 0), mode("10.6", 11), mode("-1", -1), mode("-1.4", -1),
        mode("11.5", {}), mode("12", {}), mode("-2", {}), mode("40000", {}), mode("-40000", {}),
        mode(std::string(320, '9'), {}),
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file->substr(0, 40) : "no file");
        Launcher l;
        if (c.file)
            l.writeConfig(*c.file);
        l.controls.setText2("before");
        const int writes = l.controls.text2Writes();
        l.form.Command4_Click();
        EXPECT_EQ(l.controls.text2Writes() - writes, 1);  // the trace is set once, not per byte
        EXPECT_THAT(l.controls.text2(), c.trace);
        EXPECT_EQ(digits(l.checks()), c.checks);
        EXPECT_EQ(l.controls.listIndex(), c.listIndex);
        EXPECT_EQ(l.form.options().optionsChanged(), c.changed);
        const std::string trace = l.controls.text2();
        l.form.Command4_Click();
        EXPECT_EQ(l.controls.text2(), trace);
        if (!c.file)
            continue;
        Launcher fromBytes;
        LaunchOptions options(fromBytes.controls);
        loadConfigContent(*c.file, options, fromBytes.controls);
        EXPECT_EQ(fromBytes.controls.text2(), trace);
        EXPECT_EQ(digits(fromBytes.checks()), c.checks);
        EXPECT_EQ(fromBytes.controls.listIndex(), c.listIndex);
        EXPECT_EQ(fromBytes.form.options().optionsChanged(), c.changed);
    }
}

TEST(ConfigReader, AControlRefusingAValueEndsTheLoadKeepingEarlierFields) {
    Launcher l;
    l.controls.failSettingOf(checkBoxNamed("Check4"));
    l.writeConfig("0 1 0 0 0 ");
    l.form.Command4_Click();
    EXPECT_EQ(l.controls.text2(), kNoFile);
    EXPECT_THAT(l.checks(), ElementsAre(0, 0, 1, 1, 1, 1));
}

TEST_P(UnreadableConfig, IsRefusedAtOnce) {
    Launcher l;
    GetParam().make(l.folder / "xconfig.dat");
    l.controls.setText2("before");
    l.form.Command4_Click();
    EXPECT_EQ(l.controls.text2(), kNoFile);
    EXPECT_THAT(l.checks(), ElementsAre(0, 1, 0, 1, 1, 1));
    EXPECT_EQ(l.controls.listIndex(), -1);
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableConfig,
                         ::testing::Values(PathCase{"Directory",
                                                    [](const std::filesystem::path& config) {
                                                        std::filesystem::create_directory(config);
                                                    }},
                                           PathCase{"LargerThanFourMebibytes",
                                                    [](const std::filesystem::path& config) {
                                                        std::ofstream(config, std::ios::binary)
                                                            << std::string(kMaxConfigFileSize + 1,
                                                                           '1');
                                                    }}),
                         byName);

struct FieldValueCase {
    std::string_view text;
    double value;
};

class FieldValue : public ::testing::TestWithParam<FieldValueCase> {};

TEST_P(FieldValue, ReadsTheLeadingNumber) {
    EXPECT_EQ(fieldValue(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FieldValue,
    ::testing::Values(FieldValueCase{"1", 1}, FieldValueCase{"01", 1}, FieldValueCase{"1.0", 1},
                      FieldValueCase{"1abc", 1}, FieldValueCase{"1\r\n", 1},
                      FieldValueCase{"\r\n1", 0}, FieldValueCase{"\n1", 1},
                      FieldValueCase{"1\n2", 12}, FieldValueCase{"1,5", 1},
                      FieldValueCase{"2.5", 2.5}, FieldValueCase{"-1", -1},
                      FieldValueCase{"abc", 0}, FieldValueCase{"", 0}, FieldValueCase{".5", 0.5},
                      FieldValueCase{"5.", 5}, FieldValueCase{"+3", 3}, FieldValueCase{"- \t1", -1},
                      FieldValueCase{"1.2.3", 1.2}, FieldValueCase{"1-2", 1},
                      FieldValueCase{"--1", 0}, FieldValueCase{".", 0}, FieldValueCase{"-", 0},
                      FieldValueCase{"1e3", 1}, FieldValueCase{"\t 7 \t", 7},
                      FieldValueCase{"0x10", 0}, FieldValueCase{"1\r", 1}));

TEST(FieldValue, HugeNumbersDoNotWrapOrFail) {
    EXPECT_EQ(fieldValue(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(fieldValue(std::string("-") + std::string(400, '9')),
              -std::numeric_limits<double>::infinity());
    EXPECT_EQ(fieldValue(std::string("0.") + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(fieldValue(std::string(1000, '0') + "1"), 1.0);
}

}  // namespace
}  // namespace vantu::testing
