// Playing the window with a gamepad: where each direction leads, how held buttons repeat, and
// what each button does to the window and the launcher.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "test_support.h"
#include "window/gamepad.h"
#include "window/layout.h"
#include "window/pad_poller.h"

namespace vantu::testing {
namespace {

using pad::Action;
using pad::Key;
using pad::PadState;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr float kNarrow = layout::kForm.narrowOuterWidth;
constexpr float kWide = layout::kForm.wideOuterWidth;

std::size_t at(std::string_view name) {
    return layout::indexOf(name);
}

std::string named(std::optional<std::size_t> control) {
    return control ? std::string(layout::kControls[*control].name) : "(stays)";
}

// The navigation table: from a control, a direction leads to the nearest control that the player
// can see that way (the panel's only in the wide window), or nowhere.
TEST(Gamepad, EachDirectionLeadsToTheNearestControlThatWay) {
    struct Row {
        float width;
        const char* from;
        Action direction;
        const char* to;
    };
    const Row rows[] = {
        {kNarrow, "Command1", Action::Up, "Command2"},
        {kNarrow, "Command1", Action::Down, "(stays)"},
        {kNarrow, "Command1", Action::Right, "(stays)"},
        {kNarrow, "Command1", Action::Left, "(stays)"},
        {kNarrow, "Command2", Action::Down, "Command1"},
        {kNarrow, "Command2", Action::Up, "(stays)"},
        {kNarrow, "Command2", Action::Right, "(stays)"},
        {kWide, "Command2", Action::Right, "Check6"},
        {kWide, "Command1", Action::Right, "Check6"},
        {kWide, "Command2", Action::Up, "(stays)"},
        {kWide, "Check6", Action::Down, "(stays)"},
        {kWide, "Check6", Action::Up, "Check5"},
        {kWide, "Check6", Action::Left, "Command2"},
        {kWide, "Check6", Action::Right, "(stays)"},
        {kWide, "Check2", Action::Up, "Check1"},
        {kWide, "Check1", Action::Up, "Combo1"},
        {kWide, "Check1", Action::Down, "Check2"},
        {kWide, "Combo1", Action::Up, "(stays)"},
        {kWide, "Combo1", Action::Down, "Check1"},
        {kWide, "Combo1", Action::Left, "Command2"},
        {kWide, "Check3", Action::Left, "Command2"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(named(pad::neighbour(at(row.from), row.direction, row.width)), row.to)
            << row.from << " direction " << static_cast<int>(row.direction) << " at width "
            << row.width;
    }
}

// Buttons count when they go down, on any pad, but not as a pad is first seen; a direction also
// repeats while held, first after 0.4 s, then every 0.12 s; the stick counts past its dead zone
// along its main axis, and then holds that direction as a D-pad would, whatever it wavers.
TEST(Gamepad, ButtonsCountWhenPressedAndDirectionsRepeatLikeKeys) {
    struct Step {
        std::int64_t ms;
        std::vector<PadState> pads;
        std::vector<Action> actions;
    };
    const PadState none{};
    const PadState down{pad::kDown};
    const Step steps[] = {
        {0, {none}, {}},
        {10, {down}, {Action::Down}},
        {400, {down}, {}},
        {410, {down}, {Action::Down}},
        {520, {down}, {}},
        {530, {down}, {Action::Down}},
        {600, {none, PadState{0, 0, 0, 2}}, {}},
        {610, {none, PadState{pad::kA | pad::kStart, 0, 0, 2}}, {Action::Press, Action::Play}},
        {620, {none, PadState{pad::kA | pad::kStart, 0, 0, 2}}, {}},
        {630, {PadState{0, 20000, 1000}}, {Action::Right}},
        {640, {PadState{0, 16000, 0}}, {}},
        {650, {PadState{0, 0, 0}}, {}},
        {660, {PadState{0, 12000, -30000}}, {Action::Up}},
        {670, {PadState{0, -32768, 100}}, {Action::Left}},
        {680, {PadState{pad::kB}, PadState{pad::kB, 0, 0, 2}}, {Action::Back}},
        // A pad first seen with a button held (found after the first read): not a press.
        {690, {none, PadState{pad::kA, 0, 0, 3}}, {}},
        // One direction at a time: of a diagonal the first, and the one pressed last repeats,
        // alone; one let go leaves the others still held without a repeat.
        {700, {PadState{pad::kUp | pad::kLeft}}, {Action::Up}},
        {1100, {PadState{pad::kUp | pad::kLeft}}, {Action::Up}},
        {1300, {PadState{pad::kLeft}}, {}},
        {1310, {PadState{pad::kLeft | pad::kDown}}, {Action::Down}},
        {1710, {PadState{pad::kLeft | pad::kDown}}, {Action::Down}},
        // The stick wavering about the diagonal keeps the direction it took, and repeats it, until
        // the other axis is more than twice as far out.
        {2000, {PadState{0, 20000, 20000}}, {Action::Right}},
        {2016, {PadState{0, 20000, 20001}}, {}},
        {2032, {PadState{0, 20001, 20000}}, {}},
        {2048, {PadState{0, 18000, 26000}}, {}},
        {2400, {PadState{0, 20000, 20001}}, {Action::Right}},
        {2416, {PadState{0, 12500, 26000}}, {Action::Down}},
        {2432, {none}, {}},
        // Wavering at the dead zone's edge: one move, until it comes back well inside.
        {2448, {PadState{0, 16385, 0}}, {Action::Right}},
        {2464, {PadState{0, 16383, 0}}, {}},
        {2480, {PadState{0, 16385, 0}}, {}},
        {2496, {PadState{0, 12000, 0}}, {}},
        {2512, {PadState{0, 16385, 0}}, {Action::Right}},
    };
    pad::PadInput input;
    for (const Step& step : steps)
        EXPECT_EQ(input.update(step.pads, step.ms), step.actions) << "at " << step.ms << " ms";

    // A button held while the window was away counts only once pressed again.
    input.reset();
    EXPECT_THAT(input.update({PadState{pad::kA | pad::kUp}}, 5000), IsEmpty());
    EXPECT_THAT(input.update({PadState{pad::kUp}}, 9000), IsEmpty());
    EXPECT_THAT(input.update({PadState{pad::kA | pad::kUp}}, 9010), ElementsAre(Action::Press));
    // A direction held since then never repeats, also once another is pressed.
    EXPECT_THAT(input.update({PadState{pad::kUp | pad::kRight}}, 9020), ElementsAre(Action::Right));
    EXPECT_THAT(input.update({PadState{pad::kUp | pad::kRight}}, 9420), ElementsAre(Action::Right));
}

// A window that records what the pad asks of it; its focus moves as asked.
struct RecordingWindow : pad::PadWindow {
    std::optional<std::size_t> focusedControl() const override { return focus; }
    void focusWithCue(std::size_t control) override {
        focus = control;
        calls.push_back("focus " + std::string(layout::kControls[control].name));
        if (whileActing)
            whileActing();
    }
    bool listOpen() const override { return open; }
    void sendKey(Key key) override {
        calls.push_back("key " + std::to_string(static_cast<int>(key)));
    }
    void showFocusCue() override { ++cues; }

    std::optional<std::size_t> focus = at("Command1");
    bool open = false;
    std::vector<std::string> calls;
    int cues = 0;
    // Runs inside an action, as a message box's own message loop would.
    std::function<void()> whileActing;
};

// Each button, in each state of the window: what it sends to the window and runs in the launcher;
// each shows the focus cue.
TEST(Gamepad, EachButtonActsOnTheWindowAsItsKeyOrClickDoes) {
    const std::string space = "key " + std::to_string(static_cast<int>(Key::Space));
    const std::string openList = "key " + std::to_string(static_cast<int>(Key::OpenList));
    const std::string up = "key " + std::to_string(static_cast<int>(Key::Up));
    const std::string ret = "key " + std::to_string(static_cast<int>(Key::Return));
    const std::string escape = "key " + std::to_string(static_cast<int>(Key::Escape));
    struct Row {
        bool wide;
        const char* focus;
        bool open;
        Action action;
        std::vector<std::string> calls;
        bool wideAfter;
    };
    const Row rows[] = {
        {false, "Command1", false, Action::Up, {"focus Command2"}, false},
        {false, "Command2", false, Action::Press, {space}, false},
        {true, "Check6", false, Action::Press, {space}, true},
        {true, "Combo1", false, Action::Press, {openList}, true},
        {true, "Combo1", true, Action::Up, {up}, true},
        {true, "Combo1", true, Action::Left, {}, true},
        {true, "Combo1", true, Action::Press, {ret}, true},
        {true, "Combo1", true, Action::Back, {escape}, true},
        {true, "Check3", false, Action::Back, {"focus Command2"}, false},
        {true, "Command2", false, Action::Back, {}, false},
        {false, "Command2", false, Action::Back, {}, false},
        {false, "Command1", false, Action::Right, {}, false},
        // The focus left on the panel after "<<" was clicked: brought back into sight first.
        {false, "Check3", false, Action::Press, {"focus Command2"}, false},
        {false, "Combo1", false, Action::Up, {"focus Command2"}, false},
    };
    for (const Row& row : rows) {
        Launcher l;
        if (row.wide)
            l.form.Command2_Click();
        RecordingWindow window;
        window.focus = at(row.focus);
        window.open = row.open;
        pad::Gamepad gamepad(window, l.form, l.controls);
        gamepad.run(row.action);
        const std::string context =
            std::string(row.focus) + " action " + std::to_string(static_cast<int>(row.action));
        EXPECT_EQ(window.calls, row.calls) << context;
        // Any button shows the focus cue, also one that changes nothing.
        EXPECT_GT(window.cues, 0) << context;
        EXPECT_EQ(l.controls.outerWidthTwips() == kWide, row.wideAfter) << context;
        EXPECT_THAT(l.platform.calls, IsEmpty()) << context;
    }
}

// Start is "Play": the game starts with the options' switches, as a click on "Play" does.
TEST(Gamepad, StartPlays) {
    Launcher l;
    RecordingWindow window;
    pad::Gamepad gamepad(window, l.form, l.controls);
    gamepad.update({PadState{}}, 0);
    gamepad.update({PadState{pad::kStart}}, 16);
    EXPECT_THAT(l.platform.calls, ElementsAre("start", "end"));
    ASSERT_EQ(l.platform.starts.size(), 1U);
    EXPECT_EQ(l.platform.starts[0].commandLine, "vantu.exe -nc -d noshadow");
    EXPECT_THAT(window.calls, IsEmpty());
}

// The pads of a system as the test sets them, and what the poller asked of them.
struct FakeSource : pad::PadSource {
    bool mayHavePads() override {
        calls += "may ";
        return mayHave;
    }
    Start start() override {
        calls += "start ";
        return startsAs;
    }
    std::vector<PadState> read(bool search) override {
        calls += search ? "search " : "read ";
        return pads;
    }
    bool mayHave = true;
    Start startsAs = Start::Started;
    std::vector<PadState> pads;
    std::string calls;
};

struct FakeTimer : pad::PadTimer {
    void every(int ms) override { interval = ms; }
    void stop() override { interval = pad::PadPoller::kStopped; }
    int interval = pad::PadPoller::kStopped;
};

// A launcher's pads on their schedule: the window, the source and the timer all fakes.
struct Polled {
    Launcher l;
    RecordingWindow window;
    pad::Gamepad gamepad{window, l.form, l.controls};
    FakeSource source;
    FakeTimer timer;
    pad::PadPoller poller{source, timer, gamepad};
};

// The pads' schedule through a life of the window: nothing before it has shown nor while it is
// inactive; the library starts once a pad may be connected and it can start without waiting,
// else it is asked again each second and at each device change; connected pads are read about
// 60 times a second and the other slots looked at each second; the first read after each
// activation only notes what is held.
TEST(Gamepad, PadsAreReadOnTheirScheduleWhileTheWindowIsActive) {
    using Start = pad::PadSource::Start;
    enum Event { Tick, Shown, ShownInactive, Active, Inactive, Devices };
    const PadState up{pad::kUp};
    const PadState none{};
    struct Row {
        Event event;
        std::int64_t ms;
        bool mayHave;
        Start startsAs;
        std::vector<PadState> pads;
        std::string calls;
        int interval;
        bool moved;  // the focus went up to "Video Setup"
    };
    constexpr int kStopped = pad::PadPoller::kStopped;
    const Row rows[] = {
        {Tick, 0, true, Start::Started, {}, "", kStopped, false},
        {Active, 0, true, Start::Started, {}, "", kStopped, false},
        {ShownInactive, 0, true, Start::Started, {}, "", kStopped, false},
        {Tick, 0, true, Start::Started, {}, "", kStopped, false},
        {Active, 5, false, Start::Started, {}, "", 0, false},
        {Tick, 10, false, Start::Started, {}, "may ", 1000, false},
        {Devices, 20, false, Start::Started, {}, "", 0, false},
        {Tick, 20, true, Start::Later, {}, "may start ", 1000, false},
        // Up held when the pads are first read: noted, never acted on.
        {Tick, 1020, true, Start::Started, {up}, "may start search ", 16, false},
        {Tick, 1036, true, Start::Started, {up}, "read ", 16, false},
        {Tick, 1052, true, Start::Started, {none}, "read ", 16, false},
        {Tick, 1068, true, Start::Started, {up}, "read ", 16, true},
        {Tick, 2020, true, Start::Started, {none}, "search ", 16, false},
        {Devices, 2030, true, Start::Started, {}, "", 0, false},
        {Tick, 2030, true, Start::Started, {}, "search ", 1000, false},
        {Tick, 2040, true, Start::Started, {}, "search ", 1000, false},
        {Inactive, 2050, true, Start::Started, {up}, "", kStopped, false},
        {Tick, 2060, true, Start::Started, {up}, "", kStopped, false},
        {Devices, 2070, true, Start::Started, {up}, "", kStopped, false},
        // Back in the window with Up still held: noted again.
        {Active, 2080, true, Start::Started, {up}, "", 0, false},
        {Tick, 2090, true, Start::Started, {up}, "search ", 16, false},
        {Tick, 2106, true, Start::Started, {none}, "read ", 16, false},
    };
    Polled p;
    auto& [l, window, gamepad, source, timer, poller] = p;
    for (const Row& row : rows) {
        source.mayHave = row.mayHave;
        source.startsAs = row.startsAs;
        source.pads = row.pads;
        source.calls.clear();
        window.focus = at("Command1");
        window.calls.clear();
        switch (row.event) {
            case Tick:
                poller.tick(row.ms);
                break;
            case Shown:
            case ShownInactive:
                poller.shown(row.event == Shown);
                break;
            case Active:
            case Inactive:
                poller.activated(row.event == Active);
                break;
            case Devices:
                poller.devicesChanged();
                break;
        }
        const std::string context =
            "event " + std::to_string(row.event) + " at " + std::to_string(row.ms) + " ms";
        EXPECT_EQ(source.calls, row.calls) << context;
        EXPECT_EQ(poller.interval(), row.interval) << context;
        EXPECT_EQ(timer.interval, row.interval) << context;
        EXPECT_EQ(named(window.focus), row.moved ? "Command2" : "Command1") << context;
    }
}

// Without a pad library the timer stops for good; a tick that comes while an action runs
// reads nothing.
TEST(Gamepad, PadsStopWithoutALibraryAndTicksWaitForTheAction) {
    Polled p;
    auto& [l, window, gamepad, source, timer, poller] = p;
    source.startsAs = pad::PadSource::Start::Never;
    poller.shown(true);
    poller.tick(0);
    poller.activated(false);
    poller.activated(true);
    poller.devicesChanged();
    poller.tick(10);
    EXPECT_EQ(source.calls, "may start ");
    EXPECT_EQ(timer.interval, pad::PadPoller::kStopped);

    pad::PadPoller reentered(source, timer, gamepad);
    source.startsAs = pad::PadSource::Start::Started;
    source.pads = {PadState{}};
    reentered.shown(true);
    reentered.tick(0);
    source.pads = {PadState{pad::kUp}};
    source.calls.clear();
    window.whileActing = [&] { reentered.tick(20); };
    reentered.tick(16);
    EXPECT_EQ(source.calls, "read ");
    EXPECT_THAT(window.calls, ElementsAre("focus Command2"));
}

}  // namespace
}  // namespace vantu::testing
