#include "monkey/monkey_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantu::monkey {
namespace {

std::vector<std::string> play(std::uint64_t seed, int actions) {
    Player player(seed);
    std::vector<std::string> lines;
    for (int i = 0; i < actions; ++i)
        lines.push_back(player.next().describe());
    return lines;
}

TEST(MonkeyPlayer, ASeedReplaysTheSameActionsAndAnotherSeedDoesNot) {
    EXPECT_EQ(play(12345, 2000), play(12345, 2000));
    EXPECT_NE(play(12345, 200), play(12346, 200));
}

// The hit test decides what a click does: it must see the window as the player does.
TEST(MonkeyPlayer, FindsTheControlOnTopAtAPoint) {
    struct Row {
        const char* name;
        Point at;
        std::string_view control;
    };
    const Row rows[] = {
        {"Play", {244, 304}, "Command1"},
        {"Video Setup", {244, 264}, "Command2"},
        {"the list, in front of its frame", {440, 74}, "Combo1"},
        {"a label inside its frame", {400, 56}, "Label2"},
        {"the frame around the label", {360, 30}, "Frame1"},
        {"a check box in front of its frame", {400, 176}, "Check2"},
        {"<<", {520, 312}, "Label1"},
        {"the panel's backdrop below the frames", {360, 320}, "Shape1"},
        {"hidden Save Config: bare window", {40, 244}, ""},
        {"hidden Text2: bare window", {60, 150}, ""},
        {"the picture", {100, 20}, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Player::controlAt(row.at), row.control) << row.name;
}

TEST(MonkeyPlayer, TabVisitsTheControlsInTheWindowsKeyboardOrder) {
    const std::array<std::string_view, 9> expected{"Command1", "Combo1",   "Check1",
                                                   "Check2",   "Command2", "Check3",
                                                   "Check4",   "Check5",   "Check6"};
    EXPECT_EQ(Player::focusOrder(), expected);
}

// Over many seeds: no pointer action reaches "Play" or leaves the window's client area in the
// width state of the moment, Space and Enter come only while the focus is certainly elsewhere,
// and the list is only picked from while it is open.
TEST(MonkeyPlayer, NeverPressesPlayNorLeavesTheWindow) {
    const Rect play = Player::controlRect("Command1");
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        Player player(seed);
        for (int i = 0; i < 2000; ++i) {
            const bool wide = player.wide();
            const bool listOpen = player.listOpen();
            const std::optional<int> focus = player.focus();
            const Action a = player.next();
            const std::string where = "seed " + std::to_string(seed) + " action " +
                                      std::to_string(i + 1) + ": " + a.describe();
            const Rect client{0, 0, Player::clientWidth(wide), Player::clientHeight()};
            if (a.kind == Action::Kind::PickEntry) {
                EXPECT_TRUE(listOpen) << where;
                continue;
            }
            if (a.kind != Action::Kind::Keystroke) {
                EXPECT_TRUE(client.contains(a.at)) << where;
                EXPECT_FALSE(play.contains(a.at)) << where;
            }
            if (a.kind == Action::Kind::Drag) {
                EXPECT_TRUE(client.contains(a.to)) << where;
                EXPECT_FALSE(play.contains(a.to)) << where;
            }
            const bool presses =
                a.kind == Action::Kind::Keystroke &&
                (a.key == Key::Space || a.key == Key::Return || a.key == Key::KeypadEnter);
            if (presses && !listOpen) {
                ASSERT_TRUE(focus.has_value()) << where;
                EXPECT_NE(Player::focusOrder()[static_cast<std::size_t>(*focus)], "Command1")
                    << where;
            }
            if (a.wideAfter) {
                EXPECT_NE(*a.wideAfter, wide) << where;
            }
            if (a.listOpenAfter) {
                EXPECT_NE(*a.listOpenAfter, listOpen) << where;
            }
        }
    }
}

// Both width states, the list and every kind of action come up in a run of the test's length.
TEST(MonkeyPlayer, ARunCoversEveryKindOfAction) {
    Player player(2024);
    for (int i = 0; i < 4000; ++i)
        player.next();
    const Tally& t = player.tally();
    EXPECT_GT(t.clicks, 1000);
    EXPECT_GT(t.keys, 1000);
    EXPECT_GT(t.drags, 50);
    EXPECT_GT(t.wheels, 50);
    EXPECT_GT(t.entryPicks, 10);
    EXPECT_GT(t.widthToggles, 100);
    EXPECT_GT(t.listOpenings, 20);
}

}  // namespace
}  // namespace vantu::monkey
