// The launcher as main() wires it, driven with the mouse and keyboard over a recording platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QPushButton>

#include "qt_test_support.h"

namespace vantu::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

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
        EXPECT_EQ(l.controls.checkValue(CheckBox::Check1), 0);
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

}  // namespace
}  // namespace vantu::testing
