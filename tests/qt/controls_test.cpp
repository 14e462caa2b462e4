// QtControls over the real widgets: what the widgets show, and the notifications their own
// signals raise for the program's and the player's changes. (What every front end shares, the
// refusals, one Click per change and Text2's bytes, is tested once over MemoryControls.)
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>

#include "config/load_trace.h"
#include "qt_test_support.h"

namespace vantu::testing {
namespace {

using ::testing::ElementsAre;

QCheckBox& widgetOf(QtWindow& w, CheckBox box) {
    return *w.window.controlAs<QCheckBox>("Check" + std::to_string(checkBoxNumber(box)));
}

Qt::CheckState stateFor(std::int16_t value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

// The program's changes on the real widgets: each box's widget shows the value and its own
// signal ends in one Click of that box per change (the widget's echo of the program's own write
// is not taken for the player's); the list likewise.
TEST(QtControls, ProgramChangesShowAndRaiseOneClickEach) {
    QtWindow w;
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        const CheckBox box = checkBoxByNumber(n);
        w.controls.setCheckValue(box, 0);
        w.recorder.events.clear();
        for (const std::int16_t value : {1, 1, 2, 0, 0, 2, 1, 0}) {
            w.controls.setCheckValue(box, value);
            EXPECT_EQ(widgetOf(w, box).checkState(), stateFor(value)) << n << " " << value;
        }
        EXPECT_EQ(w.recorder.events, std::vector<std::string>(6, "Check" + std::to_string(n)));
    }
    const auto* list = w.window.controlAs<QComboBox>("Combo1");
    w.recorder.events.clear();
    for (const std::int16_t index : {-1, 0, 0, 11, 5, -1}) {
        w.controls.setListIndex(index);
        EXPECT_EQ(list->currentIndex(), index);
    }
    EXPECT_EQ(w.recorder.events, std::vector<std::string>(4, "Combo1"));
}

// The player's click toggles between checked and unchecked, also on a box the program greyed,
// and raises one notification per click.
TEST(QtControls, MouseClicksOnACheckBoxToggleAndNotify) {
    QtWindow w;
    QCheckBox& box = widgetOf(w, checkBoxNamed("Check3"));
    const QPoint indicator(6, box.height() / 2);
    std::vector<std::int16_t> seen;
    w.controls.setCheckValue(checkBoxNamed("Check3"), 2);
    w.recorder.events.clear();
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(&box, Qt::LeftButton, {}, indicator);
        seen.push_back(w.controls.checkValue(checkBoxNamed("Check3")));
    }
    EXPECT_THAT(seen, ElementsAre(1, 0, 1, 0));
    EXPECT_THAT(w.recorder.events, ElementsAre("Check3", "Check3", "Check3", "Check3"));
}

TEST(QtControls, KeyboardSelectionInTheListNotifies) {
    QtWindow w;
    auto* list = w.window.controlAs<QComboBox>("Combo1");
    list->setFocus();
    std::vector<std::int16_t> seen;
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Down}) {
        QTest::keyClick(list, key);
        seen.push_back(w.controls.listIndex());
    }
    EXPECT_THAT(seen, ElementsAre(0, 1, 0, 11, 11));
    EXPECT_EQ(w.recorder.events.size(), 4u);  // the last key changed nothing
}

TEST(QtControls, Text2HoldsALoadTraceAndShowsOnlyItsStart) {
    QtWindow w;
    std::string content;
    while (content.size() < (1u << 20))
        content += "1 0 1 1 0 0 0 1 0 2 \r\n";
    w.controls.setText2Trace(content);
    const auto* box = w.window.controlAs<QPlainTextEdit>("Text2");
    EXPECT_GT(box->toPlainText().size(), 3000);  // 4 KiB, less the CRs Qt drops
    EXPECT_LE(box->toPlainText().size(), 4096);
    EXPECT_TRUE(w.controls.text2() == loadTrace(content));
    EXPECT_TRUE(box->toPlainText().startsWith(QStringLiteral("1( 49) ( 32)Opcao =  1:1\n0( 48)")));
    // Plain text too reaches the widget only in its start, byte for character (Latin-1).
    w.controls.setText2(std::string(1 << 20, '\xFF'));
    EXPECT_EQ(box->toPlainText(), QString(4096, QChar(0xFF)));
}

}  // namespace
}  // namespace vantu::testing
