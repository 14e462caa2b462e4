// The launcher as main() wires it, driven with the mouse and keyboard over a recording platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QBackingStore>
#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <cmath>
#include <cstdio>

#include <SDL.h>

#include "focus_cue_measure.h"
#include "frontend/qt/qt_accessibility.h"
#include "frontend/qt/qt_pad_window.h"
#include "platform/linux/sdl_pads.h"
#include "qt_test_support.h"

namespace vantu::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// How long a wait for something the window does may take: only a hang takes that long, however
// busy the machine.
constexpr int kHangMs = 30000;

QString focusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QStringLiteral("(none)");
}

TEST(QtWindow, OpensWithTheFocusOnPlayAndTabsInTabIndexOrder) {
    QtLauncher l;
    showActive(l.window);
    EXPECT_EQ(toStd(focusName()), "Command1");
    std::vector<std::string> order;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.push_back(toStd(focusName()));
    }
    EXPECT_THAT(order, ElementsAre("Combo1", "Check1", "Check2", "Command2", "Check3", "Check4",
                                   "Check5", "Check6", "Command1"));
}

// The clicks reach the handlers; the outer width (twips / 15 in pixels) changes, the window
// stays fixed-size (minimum = maximum, so that a window manager keeps it so) at the same corner
// and height.
TEST(QtWindow, VideoSetupAndTheArrowsToggleTheWidth) {
    QtLauncher l;
    showActive(l.window);
    const QRect opened = l.window.geometry();
    std::vector<float> twips;
    for (const char* control : {"Command2", "Label1", "Label1", "Command2"}) {
        QTest::mouseClick(l.window.control(control), Qt::LeftButton);
        twips.push_back(l.controls.outerWidthTwips());
        EXPECT_EQ(l.window.frameGeometry().width() * 15, twips.back());
        EXPECT_EQ(l.window.geometry().topLeft(), opened.topLeft());
        EXPECT_EQ(l.window.height(), opened.height());
        EXPECT_EQ(l.window.minimumSize(), l.window.maximumSize());
    }
    EXPECT_THAT(twips, ElementsAre(8250, 5160, 8250, 5160));
    EXPECT_THAT(l.platform.calls, IsEmpty());
}

// Enter presses the focused push button, as Space does; no button is a default or cancel
// button, so Enter anywhere else and Escape do nothing.
TEST(QtWindow, EnterPressesOnlyTheFocusedButtonAndEscapeNothing) {
    struct Row {
        const char* focus;
        Qt::Key key;
        std::vector<std::string> calls;
        bool widened;
    };
    const std::vector<Row> rows = {
        {"Command1", Qt::Key_Return, {"start", "end"}, false},
        {"Command1", Qt::Key_Enter, {"start", "end"}, false},
        {"Command1", Qt::Key_Escape, {}, false},
        {"Command2", Qt::Key_Return, {}, true},
        {"Command2", Qt::Key_Escape, {}, false},
        {"Combo1", Qt::Key_Return, {}, false},
        {"Combo1", Qt::Key_Escape, {}, false},
        {"Check1", Qt::Key_Enter, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.focus << " key " << row.key);
        QtLauncher l;
        showActive(l.window);
        l.window.control(row.focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), row.key);
        EXPECT_TRUE(l.window.isVisible());
        EXPECT_EQ(l.controls.outerWidthTwips() == 8250, row.widened);
        EXPECT_EQ(l.controls.listIndex(), -1);
        EXPECT_EQ(l.controls.checkValue(checkBoxNamed("Check1")), 0);
        EXPECT_EQ(l.platform.calls, row.calls);
    }
}

// A change the player makes whose Click fails ends in the platform's report, as a failing
// handler does, and never in Qt's event loop.
TEST(QtWindow, AFailingPlayerChangeIsReported) {
    struct FailingClicks : ControlEvents {
        void checkClicked(CheckBox) override { throw ControlError("check box state 7"); }
        void comboClicked() override { throw 42; }
    } failing;
    QtLauncher l;
    showActive(l.window);
    QTest::mouseClick(l.window.control("Command2"), Qt::LeftButton);
    l.controls.setEvents(&failing);
    QTest::mouseClick(l.window.control("Check1"), Qt::LeftButton);
    QTest::keyClick(l.window.control("Combo1"), Qt::Key_Down);
    EXPECT_THAT(l.platform.reports, ElementsAre("check box state 7", "unknown failure"));
}

// The window as the screen shows it, in its device pixels: what its backing store holds once the
// pending repaints are done (the offscreen screen's grab gives only a part of a scaled window).
QImage shown(QtForm& window) {
    QTest::qWait(20);
    QPaintDevice* store = window.backingStore()->paintDevice();
    if (store == nullptr || store->devType() != QInternal::Image)
        return {};
    // A copy: a scaled window's store is an image over the same pixels, which later paints change.
    return static_cast<QImage*>(store)->copy();
}

// Tab (at least once) until the control has the focus, as the player would move it.
void tabTo(const char* name) {
    for (int i = 0; i < 10 && (i == 0 || focusName() != QLatin1String(name)); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(toStd(focusName()), name);
}

// A pad that holds what the test sets, read through the window's own timer.
struct HeldPad : pad::PadSource {
    bool mayHavePads() override { return true; }
    Start start() override { return Start::Started; }
    std::vector<pad::PadState> read(bool /*search*/) override {
        ++reads;
        return {state};
    }
    // Presses the buttons for one read and lets them go for one.
    void press(std::uint16_t buttons) {
        for (const std::uint16_t held : {buttons, std::uint16_t{0}}) {
            state.buttons = held;
            const int until = reads + 2;
            ASSERT_TRUE(QTest::qWaitFor([&] { return reads >= until; }, kHangMs));
        }
    }
    pad::PadState state;
    int reads = 0;
};

// Every kind of control the focus goes to shows a cue that a player sees from afar: around it,
// at least a 2 px perimeter's worth of pixels changes by 3:1 or more when the focus comes, on the
// picture and on the panel, at the device pixel ratio the tests run at (ctest runs this at 1,
// 1.25, 1.5, 1.75 and 2). The focus goes away to a control far enough not to show its own cue
// there; or the mouse clicks the control, which hides the cue, and a pad button that changes
// nothing shows it again at once. Left of the control and above it the ring reads from the
// control outwards as its dark band, then its light band, each 2 px rounded up in device pixels.
TEST(QtWindow, TheFocusCueStandsOutAroundEveryKindOfControl) {
    struct Row {
        const char* control;
        const char* away;  // nullptr: clicked with the mouse, then the pad's Right
    };
    const Row rows[] = {
        {"Command1", "Check1"}, {"Command2", "Check1"}, {"Combo1", "Command1"},
        {"Check1", "Command1"}, {"Check6", "Command1"}, {"Check6", nullptr},
    };
    QtLauncher l;
    showActive(l.window);
    l.controls.setOuterWidthTwips(8250);
    HeldPad pad;
    QtPadWindow padWindow(l.window, l.form, l.controls, pad);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pad.reads > 0; }, kHangMs));
    const double ratio = l.window.devicePixelRatioF();
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.control << " at ratio " << ratio
                                          << (row.away ? "" : ", by the mouse and the pad"));
        QImage on;
        QImage off;
        if (row.away != nullptr) {
            tabTo(row.control);
            on = shown(l.window);
            tabTo(row.away);
            off = shown(l.window);
        } else {
            tabTo("Command1");
            QTest::mouseClick(l.window.control(row.control), Qt::LeftButton);
            off = shown(l.window);
            pad.press(pad::kRight);
            ASSERT_EQ(toStd(focusName()), row.control);
            on = shown(l.window);
        }
        const QRect place = l.window.control(row.control)->geometry();
        const auto device = [&](int logical, bool up) {
            const double scaled = logical * ratio;
            return static_cast<int>(up ? std::ceil(scaled - 1e-9) : std::floor(scaled + 1e-9));
        };
        const layout::Rect control{device(place.left(), false), device(place.top(), false),
                                   device(place.left() + place.width(), true),
                                   device(place.top() + place.height(), true)};
        const auto rgb = [](const QImage& image) {
            return [&image](int x, int y) {
                const QRgb p = image.pixel(x, y);
                return layout::Rgb{static_cast<std::uint8_t>(qRed(p)),
                                   static_cast<std::uint8_t>(qGreen(p)),
                                   static_cast<std::uint8_t>(qBlue(p))};
            };
        };
        ASSERT_EQ(on.width(), std::lround(l.window.width() * ratio));
        const FocusCueMeasure m =
            measureFocusCue(control, ratio, on.width(), on.height(), rgb(on), rgb(off));
        std::printf("focus cue %s at ratio %.2f: %d pixels change by 3:1, %d needed\n", row.control,
                    ratio, m.changed, m.needed);
        EXPECT_GE(m.changed, m.needed);
        // Going out from the control leftwards halfway down, and upwards near its left end
        // (where the list's ring lies over its label): the dark band, then the light one.
        const int band = device(2, true);
        const std::string ring = std::string(band, 'd') + std::string(band, 'l');
        const int middle = (control.top + control.bottom) / 2;
        EXPECT_EQ(ringTones(rgb(on), control.left - 1, middle, -1, 0, 2 * band), ring);
        EXPECT_EQ(ringTones(rgb(on), control.left + 10, control.top - 1, 0, -1, 2 * band), ring);
    }
}

// Clicking where the hidden "Load Config" button would be reaches nothing; its handler is
// still wired for the program.
TEST(QtWindow, HiddenButtonsCannotBeClicked) {
    QtLauncher l;
    showActive(l.window);
    QWidget* load = l.window.control("Command4");
    QTest::mouseClick(&l.window, Qt::LeftButton, {}, load->geometry().center());
    EXPECT_EQ(l.controls.text2(), "Text2");
    qobject_cast<QPushButton*>(load)->click();
    EXPECT_EQ(l.controls.text2(), "No FILE!xconfig.dat");
}

// What a screen reader is told of the display-mode list: named by its label alone, its entry as
// value and as text selected whole, and each entry the player picks on the closed list reported
// once, as that text replaced (and, from Qt 6.8, announced); an entry chosen from the open list,
// or set while the list has no focus, is not reported (the list is said whole when it takes the
// focus back).
std::vector<std::string> reported;
void recordReports(QAccessibleEvent* event) {
    const QString combo = QStringLiteral("Combo1");
    if (event->object() == nullptr || event->object()->objectName() != combo)
        return;
    if (event->type() == QAccessible::TextInserted) {
        const auto* inserted = static_cast<QAccessibleTextInsertEvent*>(event);
        reported.push_back("insert " + std::to_string(inserted->changePosition()) + " " +
                           toStd(inserted->textInserted()));
    } else if (event->type() == QAccessible::TextRemoved) {
        const auto* removed = static_cast<QAccessibleTextRemoveEvent*>(event);
        reported.push_back("remove " + std::to_string(removed->changePosition()) + " " +
                           toStd(removed->textRemoved()));
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    else if (event->type() == QAccessible::Announcement) {
        reported.push_back("announce " +
                           toStd(static_cast<QAccessibleAnnouncementEvent*>(event)->message()));
    }
#endif
}

TEST(QtWindow, TheListsEntryIsSaidOnceAndEachPickOnTheClosedListReportedOnce) {
    QtLauncher l;
    l.writeConfig("1 1 1 1 1 0 0 0 0 3 ");
    l.form.Form_Load();
    showActive(l.window);
    auto* list = qobject_cast<QComboBox*>(l.window.control("Combo1"));
    setAccessibilityReports(recordReports);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(toStd(accessible->text(QAccessible::Name)), "");
    EXPECT_EQ(toStd(accessible->text(QAccessible::Value)), "1400x1050");
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(toStd(text->text(0, -1)) + " " + std::to_string(start) + "-" + std::to_string(end),
              "1400x1050 0-9");
    // Offsets are kept within the entry; an end before the start reads nothing; there is one
    // selection.
    const auto read = [&](int from, int to) { return toStd(text->text(from, to)); };
    EXPECT_EQ(read(2, 5) + "|" + read(5, 2) + "|" + read(-3, 100) + "|" + read(9, -1),
              "00x||1400x1050|");
    text->selection(1, &start, &end);
    EXPECT_EQ(std::to_string(text->selectionCount()) + " " + std::to_string(start) + "-" +
                  std::to_string(end) + " " + std::to_string(text->characterCount()),
              "1 0-0 9");

    const auto picked = [&](auto&& pick) {
        reported.clear();
        pick();
        QCoreApplication::processEvents();
        return reported;
    };
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const std::vector<std::string> down{"insert 0 1600x1200", "remove 9 1400x1050",
                                        "announce 1600x1200"};
    const std::vector<std::string> up{"insert 0 1400x1050", "remove 9 1600x1200",
                                      "announce 1400x1050"};
#else
    const std::vector<std::string> down{"insert 0 1600x1200", "remove 9 1400x1050"};
    const std::vector<std::string> up{"insert 0 1400x1050", "remove 9 1600x1200"};
#endif
    list->setFocus();
    EXPECT_EQ(picked([&] { QTest::keyClick(list, Qt::Key_Down); }), down);
    EXPECT_EQ(picked([&] { QTest::keyClick(list, Qt::Key_Up); }), up);
    EXPECT_THAT(picked([&] {
                    list->showPopup();
                    QTest::keyClick(list->view(), Qt::Key_Down);
                    QTest::keyClick(list->view(), Qt::Key_Return);
                }),
                IsEmpty());
    EXPECT_EQ(toStd(list->currentText()), "1600x1200");
    l.window.control("Command1")->setFocus();
    EXPECT_THAT(picked([&] { list->setCurrentIndex(0); }), IsEmpty());
    setAccessibilityReports(nullptr);

    // An empty list: no text, no selection.
    list->clear();
    text->selection(0, &start, &end);
    EXPECT_EQ(read(0, -1) + "|" + read(0, 5) + "|" + toStd(accessible->text(QAccessible::Value)) +
                  "|" + std::to_string(text->characterCount()) + " " +
                  std::to_string(text->selectionCount()) + " " + std::to_string(start) + "-" +
                  std::to_string(end),
              "|||0 0 0-0");
}

// A pad held by the test: SDL's virtual game controller, read by the launcher through SDL like
// a real one.
class VirtualPad {
  public:
    VirtualPad() {
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        device_ = SDL_JoystickAttachVirtualEx(&desc);
        joystick_ = SDL_JoystickOpen(device_);
    }
    ~VirtualPad() {
        unplug();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    bool ok() const { return joystick_ != nullptr; }
    void unplug() {
        if (joystick_ == nullptr)
            return;
        SDL_JoystickClose(std::exchange(joystick_, nullptr));
        SDL_JoystickDetachVirtual(device_);
    }
    void hold(SDL_GameControllerButton button, bool down = true) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED);
    }
    // Presses a button, lets the launcher see it, and lets it go. With the count of reads, each
    // state is seen by exactly one read (so a held direction never repeats, however slow the
    // machine); without it (the window inactive, nothing reads) each is held for 60 ms.
    void press(SDL_GameControllerButton button, const int* reads = nullptr) {
        hold(button);
        seen(reads);
        hold(button, false);
        seen(reads);
    }
    // Waits until the launcher has read the pads once more.
    static void seen(const int* reads) {
        if (reads == nullptr) {
            QTest::qWait(60);
            return;
        }
        const int before = *reads;
        EXPECT_TRUE(QTest::qWaitFor([&] { return *reads > before; }, kHangMs));
    }

  private:
    int device_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

// SDL's pads as the launcher reads them, and what its last read saw. The test's virtual pad lives
// in the process, where no input device shows it: a pad can always be read.
struct CountedPads : pad::PadSource {
    bool mayHavePads() override { return true; }
    Start start() override { return sdl.start(); }
    std::vector<pad::PadState> read(bool search) override {
        std::vector<pad::PadState> states = sdl.read(search);
        ++reads;
        lastCount = states.size();
        return states;
    }
    SdlPads sdl;
    int reads = 0;
    std::size_t lastCount = 0;
};

// The launcher played with a pad: SDL's pads, the window's timer and the core's navigation, on
// the real window. The walk: Up to "Video Setup", A (wider), Right into the panel, A on a check
// box, Up to the list, A (open), Down, A (choose), B (narrower), Start (the game). A pad that goes
// away mid-walk, with B and Start down, is read as gone and leaves the window as it is.
TEST(QtWindow, APadWalksTheWindowThroughTheKeysAndHandlers) {
    struct Step {
        SDL_GameControllerButton button;
        const char* focus;  // "(open list)" while the list is open
        bool wide;
    };
    const Step walk[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, "Command2", false},
        {SDL_CONTROLLER_BUTTON_A, "Command2", true},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "Check6", true},
        {SDL_CONTROLLER_BUTTON_A, "Check6", true},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, "Check5", true},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, "Check4", true},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, "Check3", true},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, "Check2", true},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, "Check1", true},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, "Combo1", true},
        {SDL_CONTROLLER_BUTTON_A, "(open list)", true},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, "(open list)", true},
        {SDL_CONTROLLER_BUTTON_A, "Combo1", true},
        {SDL_CONTROLLER_BUTTON_B, "Command2", false},
    };
    const auto where = [](QtLauncher& l) {
        auto* list = qobject_cast<QComboBox*>(l.window.control("Combo1"));
        return list->view()->isVisible() ? std::string("(open list)") : toStd(focusName());
    };
    for (const bool unplugged : {false, true}) {
        SCOPED_TRACE(unplugged ? "unplugged after the list" : "the whole walk");
        QtLauncher l;
        l.writeConfig("1 1 1 1 1 0 0 0 0 3 ");
        l.form.Form_Load();
        showActive(l.window);
        CountedPads pads;
        QtPadWindow padWindow(l.window, l.form, l.controls, pads);
        VirtualPad pad;
        ASSERT_TRUE(pad.ok()) << SDL_GetError();
        ASSERT_TRUE(QTest::qWaitFor([&] { return pads.lastCount == 1; }, kHangMs));
        for (const Step& step : walk) {
            if (unplugged && step.button == SDL_CONTROLLER_BUTTON_B) {
                pad.hold(SDL_CONTROLLER_BUTTON_B);
                pad.hold(SDL_CONTROLLER_BUTTON_START);
                pad.unplug();
                const int reads = pads.reads;
                EXPECT_TRUE(QTest::qWaitFor(
                    [&] { return pads.reads > reads && pads.lastCount == 0; }, kHangMs));
                EXPECT_EQ(l.controls.outerWidthTwips(), 8250);
                break;
            }
            pad.press(step.button, &pads.reads);
            EXPECT_EQ(where(l), step.focus);
            EXPECT_EQ(l.controls.outerWidthTwips() == 8250, step.wide) << step.focus;
            // The focus ring shows around the control the pad moved the focus to.
            if (where(l) != "(open list)") {
                EXPECT_EQ(l.window.focusRingControl(), l.window.control(step.focus));
            }
            // The README's picture of the cue after Right: VANTU_SHOTS=FOLDER keeps it there.
            if (step.button == SDL_CONTROLLER_BUTTON_DPAD_RIGHT && !unplugged &&
                qEnvironmentVariableIsSet("VANTU_SHOTS")) {
                const QString shot = qEnvironmentVariable("VANTU_SHOTS") + "/linux-pad-focus.png";
                EXPECT_TRUE(l.window.grab().save(shot));
            }
        }
        EXPECT_EQ(l.check(6), 0);
        EXPECT_EQ(l.controls.listIndex(), 4);
        if (unplugged) {
            EXPECT_THAT(l.platform.starts, IsEmpty());
            continue;
        }
        pad.press(SDL_CONTROLLER_BUTTON_START, &pads.reads);
        ASSERT_EQ(l.platform.starts.size(), 1U);
        EXPECT_EQ(l.platform.starts[0].commandLine, "vantu.exe -nc -d v4  -d noglow -d saveme");
    }
}

// Start held as the window appears (the player still holding it from the game library's "Play")
// does not start the game, nor do buttons pressed for another window; a new press counts.
TEST(QtWindow, AnInactiveWindowIgnoresThePad) {
    QtLauncher l;
    showActive(l.window);
    VirtualPad pad;
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    pad.hold(SDL_CONTROLLER_BUTTON_START);
    CountedPads pads;
    QtPadWindow padWindow(l.window, l.form, l.controls, pads);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pads.lastCount == 1; }, kHangMs));
    pad.hold(SDL_CONTROLLER_BUTTON_START, false);
    VirtualPad::seen(&pads.reads);
    EXPECT_THAT(l.platform.calls, IsEmpty());
    QWidget other;
    showActive(other);
    pad.press(SDL_CONTROLLER_BUTTON_A);
    pad.press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_NE(l.controls.outerWidthTwips(), 8250);
    EXPECT_THAT(l.platform.calls, IsEmpty());
    // Back in the window, the pad works again.
    showActive(l.window);
    // The first read after the window comes back only takes note of what is held.
    VirtualPad::seen(&pads.reads);
    pad.press(SDL_CONTROLLER_BUTTON_DPAD_UP, &pads.reads);
    pad.press(SDL_CONTROLLER_BUTTON_A, &pads.reads);
    EXPECT_EQ(l.controls.outerWidthTwips(), 8250);
}

}  // namespace
}  // namespace vantu::testing
