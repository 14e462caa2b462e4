#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "test_support.h"
#include "window/layout.h"

namespace vantu::testing {
namespace {

using ::testing::ElementsAre;

// Selecting mode 1 counts as a change: Play then carries "saveme".
TEST(FormLoad, WithoutConfigurationOpensOnTheDesignValues) {
    Launcher l;
    l.form.Form_Load();
    EXPECT_EQ(l.controls.listIndex(), 1);
    EXPECT_THAT(l.checks(), ElementsAre(0, 1, 0, 1, 1, 1));
    EXPECT_EQ(l.controls.text2(), "No FILE!xconfig.dat");
    EXPECT_EQ(l.form.options().optionsChanged(), 1);
    l.form.Command1_Click();
    ASSERT_EQ(l.platform.starts.size(), 1u);
    EXPECT_EQ(l.platform.starts[0].commandLine, "vantu.exe -nc -d v1  -d noshadow -d saveme");
}

TEST(FormLoad, SelectsModeOneThenLoadsThenStartsTheSound) {
    Launcher l;
    l.writeConfig("1 1 1 1 1 0 0 0 0 0 ");
    l.form.Form_Load();
    EXPECT_EQ(l.controls.listIndex(), 0);  // the file's mode replaces the one set first
    ASSERT_EQ(l.platform.sounds.size(), 1u);
    EXPECT_EQ(l.platform.sounds[0], "vantu2.wav");  // in the game's folder, the current one
    EXPECT_THAT(l.platform.calls, ElementsAre("sound"));
}

TEST(FormLoad, KeepsModeOneWhenTheTenthFieldIsUnfinished) {
    Launcher l;
    l.writeConfig("1 1 1 1 1 0 0 0 0 3");
    l.form.Form_Load();
    EXPECT_EQ(l.controls.listIndex(), 1);
}

TEST(ChangedFlag, StaysClearWithoutNotifications) {
    Launcher l;
    EXPECT_EQ(l.form.options().optionsChanged(), 0);
    l.form.Command1_Click();
    ASSERT_EQ(l.platform.starts.size(), 1u);
    EXPECT_EQ(l.platform.starts[0].commandLine, "vantu.exe -nc -d noshadow");
}

TEST(ChangedFlag, EveryChangeHandlerSetsItAndNothingClearsIt) {
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        Launcher l;
        l.controls.userClick(checkBoxByNumber(n));
        EXPECT_EQ(l.form.options().optionsChanged(), 1) << "Check" << n;
        l.controls.userClick(checkBoxByNumber(n));  // back to where it was
        EXPECT_EQ(l.form.options().optionsChanged(), 1) << "Check" << n;
    }
    Launcher l;
    l.controls.userPick(4);
    EXPECT_EQ(l.form.options().optionsChanged(), 1);
    // Neither the width, a save nor a load that finds no file clears it.
    l.form.Command2_Click();
    l.form.Command3_Click();
    l.form.Command4_Click();
    EXPECT_EQ(l.form.options().optionsChanged(), 1);
}

// What every front end's controls share (WidgetControls): one Click per change of a value, none
// for setting the value already there, and a value no control can hold refused, changing nothing.
TEST(WidgetControls, RaiseOneClickPerChangeAndRefuseWhatNoControlCanHold) {
    MemoryControls controls;
    RecordingEvents recorder;
    controls.setEvents(&recorder);
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        const CheckBox box = checkBoxByNumber(n);
        controls.setCheckValue(box, 0);
        recorder.events.clear();
        for (const std::int16_t value : {1, 1, 2, 0, 0, 2, 1, 0}) {
            controls.setCheckValue(box, value);
            EXPECT_EQ(controls.checkValue(box), value);
        }
        EXPECT_EQ(recorder.events, std::vector<std::string>(6, "Check" + std::to_string(n)));
    }
    recorder.events.clear();
    for (const std::int16_t index : {-1, 0, 0, 11, 5, 7})
        controls.setListIndex(index);
    EXPECT_EQ(recorder.events, std::vector<std::string>(4, "Combo1"));

    controls.setCheckValue(checkBoxNamed("Check3"), 2);
    recorder.events.clear();
    const float width = controls.outerWidthTwips();
    for (const std::int16_t bad : {-1, 3, 255, -32768, 32767})
        EXPECT_THROW(controls.setCheckValue(checkBoxNamed("Check3"), bad), ControlError) << bad;
    for (const std::int16_t bad : {-2, 12, 13, -32768, 32767})
        EXPECT_THROW(controls.setListIndex(bad), ControlError) << bad;
    const float inf = std::numeric_limits<float>::infinity();
    for (const float bad : {std::nanf(""), inf, -inf, -15.0f, 0.0f, 1e30f})
        EXPECT_THROW(controls.setOuterWidthTwips(bad), ControlError) << bad;
    EXPECT_EQ(controls.checkValue(checkBoxNamed("Check3")), 2);
    EXPECT_EQ(controls.listIndex(), 7);
    EXPECT_EQ(controls.outerWidthTwips(), width);
    EXPECT_THAT(recorder.events, ::testing::IsEmpty());
}

TEST(WidgetControls, Text2KeepsEveryByte) {
    std::string bytes(1 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 256);  // every byte, lone CRs and LFs among them
    MemoryControls controls;
    controls.setText2(bytes);
    EXPECT_TRUE(controls.text2() == bytes);
}

TEST(Play, StartsTheGameMinimisedThenEnds) {
    Launcher l;
    l.writeConfig("1 1 1 1 1 0 0 0 0 3 ");
    l.form.Form_Load();
    l.controls.userClick(optionBox("useShaders"));  // the player clears "Use Shaders"
    l.form.Command1_Click();
    ASSERT_EQ(l.platform.starts.size(), 1u);
    EXPECT_EQ(l.platform.starts[0].commandLine, "vantu.exe -nc -d v3  -d noshaders -d saveme");
    EXPECT_EQ(l.platform.starts[0].showState, 2);
    EXPECT_THAT(l.platform.calls, ElementsAre("sound", "start", "end"));
}

TEST(Play, AGameThatCannotStartIsReportedAndNotEnded) {
    Launcher l;
    l.platform.startFailure = "vantu.exe: No such file or directory";
    EXPECT_THROW(l.form.Command1_Click(), StartError);  // Play itself handles nothing
    l.form.dispatch(&Form1::Command1_Click);
    EXPECT_THAT(l.platform.reports, ElementsAre("vantu.exe: No such file or directory"));
    EXPECT_EQ(l.platform.ends, 0);
}

TEST(Failures, WhateverEscapesAnActionIsReportedOnce) {
    Launcher l;
    l.form.dispatch([] { throw 42; });
    l.form.dispatch([] { throw ControlError("check box state 7"); });
    l.form.dispatch([] {});
    EXPECT_THAT(l.platform.reports, ElementsAre("unknown failure", "check box state 7"));
}

// The player's clicks reach Form1 through the core's router by the control's name, the same for
// every toolkit: a push button or "<<" runs its handler, any other control nothing; a failure,
// in a handler or in the player's change to a box, is reported and goes no further.
TEST(ControlRouter, RunsTheClickedControlsHandlerAndReportsWhatFails) {
    const struct {
        std::string_view control;
        std::vector<std::string> calls;
        bool widens;
        std::string text2;
        std::vector<std::string> files;
    } clicks[] = {
        {"Command1", {"start", "end"}, false, "Text2", {}},
        {"Command2", {}, true, "Text2", {}},
        {"Label1", {}, true, "Text2", {}},
        {"Command3", {}, false, "Text2", {"xconfig2.dat"}},
        {"Command4", {}, false, "No FILE!xconfig.dat", {}},
        {"Label2", {}, false, "Text2", {}},
        {"Check1", {}, false, "Text2", {}},
        {"Combo1", {}, false, "Text2", {}},
        {"Text2", {}, false, "Text2", {}},
    };
    for (const auto& c : clicks) {
        Launcher l;
        const float before = l.controls.outerWidthTwips();
        l.controls.userClick(c.control);
        EXPECT_EQ(l.platform.calls, c.calls) << c.control;
        EXPECT_EQ(l.controls.outerWidthTwips(),
                  c.widens ? static_cast<float>(layout::kForm.wideOuterWidth) : before)
            << c.control;
        EXPECT_EQ(l.controls.text2(), c.text2) << c.control;
        EXPECT_EQ(l.folder.entries(), c.files) << c.control;
        EXPECT_EQ(l.form.options().optionsChanged(), 0) << c.control;
    }
    Launcher l;
    l.platform.startFailure = "vantu.exe: No such file or directory";
    l.controls.userClick("Command1");
    l.controls.failSettingOf(checkBoxNamed("Check2"));
    l.controls.userClick(checkBoxNamed("Check2"));
    EXPECT_THAT(l.platform.reports,
                ElementsAre("vantu.exe: No such file or directory", "check box refused its value"));
}

TEST(Play, AControlFailingIsReportedBeforeAnythingStarts) {
    Launcher l;
    l.controls.failReadingOf(checkBoxNamed("Check5"));
    l.form.dispatch(&Form1::Command1_Click);
    EXPECT_EQ(l.platform.reports.size(), 1u);
    EXPECT_TRUE(l.platform.starts.empty());
    EXPECT_EQ(l.platform.ends, 0);
}

TEST(Play, WritesNoFile) {
    Launcher l;
    l.writeConfig("1 0 1 0 1 0 0 0 1 2 ");
    l.folder.write("xconfig2.dat", "saved");
    l.form.Form_Load();
    l.form.Command1_Click();
    EXPECT_EQ(l.folder.read("xconfig.dat"), "1 0 1 0 1 0 0 0 1 2 ");
    EXPECT_EQ(l.folder.read("xconfig2.dat"), "saved");
    EXPECT_THAT(l.folder.entries(), ElementsAre("xconfig.dat", "xconfig2.dat"));
}

struct ToggleCase {
    float before;
    float after;
};

class Toggle : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(Toggle, VideoSetupAndTheLabelSwitchTheWidth) {
    for (const bool viaLabel : {false, true}) {
        Launcher l;
        l.controls.setOuterWidthTwips(GetParam().before);
        viaLabel ? l.form.Label1_Click() : l.form.Command2_Click();
        EXPECT_EQ(l.controls.outerWidthTwips(), GetParam().after) << GetParam().before;
        EXPECT_EQ(l.form.options().optionsChanged(), 0);  // the width is no option
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, Toggle,
                         ::testing::Values(ToggleCase{5070, 8250}, ToggleCase{5160, 8250},
                                           ToggleCase{6000, 8250}, ToggleCase{8235, 8250},
                                           ToggleCase{8250, 5160}, ToggleCase{9000, 5160}));

}  // namespace
}  // namespace vantu::testing
