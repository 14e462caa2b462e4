#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

#include "config/config_reader.h"
#include "test_support.h"

namespace vantu::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr std::string_view kNoFile = "No FILE!xconfig.dat";

// Splits a trace into its lines (each ended by CR LF); what follows the last CR LF is dropped.
std::vector<std::string> traceLines(const std::string& trace) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = trace.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(trace.substr(start, end - start));
    }
    return lines;
}

TEST(ConfigReader, TracesTwoFieldsByteForByte) {
    Launcher l;
    l.writeConfig("1 0 ");
    l.form.Command4_Click();
    const std::string expected =
        "1( 49) ( 32)Opcao =  1:1\r\n"
        "0( 48) ( 32)Opcao =  2:0\r\n";
    EXPECT_EQ(l.controls.text2(), expected);
    EXPECT_THAT(l.checks(), ElementsAre(0, 1, 0, 1, 1, 1));
    EXPECT_EQ(l.controls.listIndex(), -1);
}

TEST(ConfigReader, AppliesATypicalFile) {
    Launcher l;
    l.writeConfig("1 1 0 1 1 0 0 0 1 3 ");
    l.form.Command4_Click();
    EXPECT_THAT(l.checks(), ElementsAre(1, 1, 1, 0, 1, 1));
    EXPECT_EQ(l.controls.listIndex(), 3);
    const auto lines = traceLines(l.controls.text2());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[9], "3( 51) ( 32)Opcao =  10:3");
    EXPECT_EQ(lines[5], "0( 48) ( 32)Opcao =  6:0");
    EXPECT_TRUE(l.controls.text2().ends_with("\r\n"));
    EXPECT_EQ(l.form.options().optionsChanged(), 1);
}

TEST(ConfigReader, EmptyFileEmptiesTheTraceAndChangesNothing) {
    Launcher l;
    l.writeConfig("");
    l.form.Command4_Click();
    EXPECT_EQ(l.controls.text2(), "");
    EXPECT_THAT(l.checks(), ElementsAre(0, 1, 0, 1, 1, 1));
    EXPECT_EQ(l.form.options().optionsChanged(), 0);
}

TEST(ConfigReader, TracesButNeverAppliesAnUnfinishedLastField) {
    Launcher l;
    l.controls.setCheckValue(CheckBox::Check2, 0);
    l.writeConfig("1 1\r\n");
    l.form.Command4_Click();
    EXPECT_EQ(l.controls.text2(),
              "1( 49) ( 32)Opcao =  1:1\r\n"
              "1( 49)\r( 13)\n( 10)");
    EXPECT_EQ(l.check(2), 1);
    EXPECT_EQ(l.check(3), 0);
}

TEST(ConfigReader, TwoBlanksMakeAnEmptyField) {
    Launcher l;
    l.writeConfig("1  1 1 1 0 0 0 1  ");
    l.form.Command4_Click();
    const auto lines = traceLines(l.controls.text2());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[1], " ( 32)Opcao =  2:");
    EXPECT_EQ(l.check(3), 0);
    EXPECT_EQ(lines[9], " ( 32)Opcao =  10:");
    EXPECT_EQ(l.controls.listIndex(), 0);
}

TEST(ConfigReader, OneFieldPerLineReadsLaterFieldsAsZero) {
    Launcher l;
    std::string file;
    for (int i = 0; i < 10; ++i)
        file += "1 \r\n";
    l.writeConfig(file);
    l.form.Command4_Click();
    // Field 1 is "1"; every later field starts with the previous line's CR LF.
    EXPECT_THAT(l.checks(), ElementsAre(0, 1, 0, 0, 0, 0));
    EXPECT_EQ(l.controls.listIndex(), 0);
    EXPECT_THAT(l.controls.text2(), HasSubstr("Opcao =  2:\r\n1\r\n"));
}

TEST(ConfigReader, FieldsWithoutMeaningAreTracedOnly) {
    Launcher l;
    // Fields 6 to 8 and 11 onwards are traced and change no control.
    l.writeConfig("1 0 1 1 1 0 0 0 0 1 0 0 0 ");
    l.form.Command4_Click();
    EXPECT_THAT(l.checks(), ElementsAre(0, 1, 0, 1, 1, 1));
    EXPECT_EQ(l.controls.listIndex(), 1);
    const auto lines = traceLines(l.controls.text2());
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[12], "0( 48) ( 32)Opcao =  13:0");
}

struct DisplayModeCase {
    std::string_view field;
    std::optional<std::int16_t> index;  // empty: the load fails
};

class DisplayModeField : public ::testing::TestWithParam<DisplayModeCase> {};

TEST_P(DisplayModeField, SelectsOrRefuses) {
    Launcher l;
    l.controls.setText2("old");
    l.writeConfig("0 0 0 0 0 0 0 0 1 " + std::string(GetParam().field) + " 1 ");
    l.form.Command4_Click();
    // Fields 1 to 9 are applied whatever happens to field 10.
    EXPECT_THAT(l.checks(), ElementsAre(1, 0, 0, 0, 0, 0));
    if (GetParam().index) {
        EXPECT_EQ(l.controls.listIndex(), *GetParam().index);
        EXPECT_EQ(traceLines(l.controls.text2()).size(), 11u);
    } else {
        EXPECT_EQ(l.controls.listIndex(), -1);
        EXPECT_EQ(l.controls.text2(), kNoFile);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, DisplayModeField,
    ::testing::Values(DisplayModeCase{"11", 11}, DisplayModeCase{"0", 0}, DisplayModeCase{"2.5", 2},
                      DisplayModeCase{"3.5", 4}, DisplayModeCase{"1.5", 2},
                      DisplayModeCase{"0.5", 0}, DisplayModeCase{"-0.5", 0},
                      DisplayModeCase{"10.6", 11}, DisplayModeCase{"-1", -1},
                      DisplayModeCase{"-1.4", -1}, DisplayModeCase{"11.5", std::nullopt},
                      DisplayModeCase{"12", std::nullopt}, DisplayModeCase{"-2", std::nullopt},
                      DisplayModeCase{"40000", std::nullopt},
                      DisplayModeCase{"-40000", std::nullopt},
                      DisplayModeCase{std::string_view("99999999999999999999999999999999999999"
                                                       "9999999999999999999999999999999999999999"
                                                       "9999999999999999999999999999999999999999"
                                                       "9999999999999999999999999999999999999999"
                                                       "9999999999999999999999999999999999999999"
                                                       "9999999999999999999999999999999999999999"
                                                       "9999999999999999999999999999999999999999"
                                                       "9999999999999999999999999999999999999999"),
                                      std::nullopt}));

TEST(ConfigReader, MissingFileReplacesTheTraceAndChangesNothing) {
    Launcher l;
    l.controls.setText2("whatever was here");
    l.form.Command4_Click();
    EXPECT_EQ(l.controls.text2(), kNoFile);
    EXPECT_THAT(l.checks(), ElementsAre(0, 1, 0, 1, 1, 1));
    EXPECT_EQ(l.form.options().optionsChanged(), 0);
}

TEST(ConfigReader, LoadingTwiceGivesTheSameTraceOnce) {
    Launcher l;
    l.writeConfig("1 0 1 ");
    l.form.Command4_Click();
    const std::string first = l.controls.text2();
    l.form.Command4_Click();
    EXPECT_EQ(l.controls.text2(), first);
}

TEST(ConfigReader, SetsTheTraceOnceNotPerCharacter) {
    Launcher l;
    l.writeConfig(std::string(10000, ' '));
    const int before = l.controls.text2Writes();
    l.form.Command4_Click();
    EXPECT_EQ(l.controls.text2Writes() - before, 1);
    EXPECT_EQ(traceLines(l.controls.text2()).size(), 10000u);
}

TEST(ConfigReader, AControlRefusingAValueEndsTheLoadKeepingEarlierFields) {
    Launcher l;
    l.controls.failSettingOf(CheckBox::Check4);
    l.writeConfig("0 1 0 0 0 ");
    l.form.Command4_Click();
    EXPECT_EQ(l.controls.text2(), kNoFile);
    EXPECT_THAT(l.checks(), ElementsAre(0, 0, 1, 1, 1, 1));
}

TEST(ConfigReader, BytesOfEveryValueAreTracedWithTheirCodes) {
    Launcher l;
    l.writeConfig(std::string("\0\xff\t", 3));
    l.form.Command4_Click();
    EXPECT_EQ(l.controls.text2(), std::string("\0( 0)\xff( 255)\t( 9)", 17));
}

// Bytes handed to the reader directly load as the same file would: values, trace, failure path.
TEST(ConfigReader, BytesInMemoryLoadAsTheFileWould) {
    for (const std::string_view content : {"1 1 0 1 1 0 0 0 1 3 ", "0 0 0 0 0 0 0 0 0 12 ", ""}) {
        Launcher fromFile;
        fromFile.writeConfig(content);
        fromFile.form.Command4_Click();
        Launcher fromBytes;
        LaunchOptions options(fromBytes.controls);
        loadConfigContent(std::string(content), options, fromBytes.controls);
        EXPECT_EQ(fromBytes.controls.text2(), fromFile.controls.text2()) << content;
        EXPECT_EQ(fromBytes.checks(), fromFile.checks()) << content;
        EXPECT_EQ(fromBytes.controls.listIndex(), fromFile.controls.listIndex()) << content;
        EXPECT_EQ(fromBytes.form.options().optionsChanged(),
                  fromFile.form.options().optionsChanged())
            << content;
    }
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

TEST(ConfigReader, ReadsAFileOfExactlyTheLimit) {
    Launcher l;
    std::string file(kMaxConfigFileSize, 'x');
    file.replace(0, 2, "0 ");
    l.writeConfig(file);
    l.form.Command4_Click();
    EXPECT_EQ(l.check(2), 0);
    EXPECT_TRUE(l.controls.text2().starts_with("0( 48) ( 32)Opcao =  1:0\r\nx( 120)"));
}

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
