// QtControls over the real widgets: values, refusals, notifications from the program and from
// the player, Text2's byte store and the outer width.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <cmath>
#include <limits>

#include "config/load_trace.h"
#include "qt_test_support.h"

namespace vantu::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

QCheckBox& widgetOf(QtWindow& w, CheckBox box) {
    return *w.window.controlAs<QCheckBox>("Check" + std::to_string(checkBoxNumber(box)));
}

Qt::CheckState stateFor(std::int16_t value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

TEST(QtControls, OpenWithTheDesignValues) {
    QtWindow w;
    EXPECT_THAT(checkValues(w.controls), ElementsAre(0, 1, 0, 1, 1, 1));
    EXPECT_EQ(w.controls.listIndex(), -1);
    EXPECT_EQ(w.controls.text2(), "Text2");
    EXPECT_EQ(w.controls.outerWidthTwips(), 4980.0f);  // no window manager: no frame
}

// Every change between the three values, on every box: one notification for a change, none for
// setting the value already there, and the widget shows the value.
TEST(QtControls, CheckValuesRaiseOneClickPerChange) {
    for (int n = 1; n <= kCheckBoxCount; ++n) {
        const CheckBox box = checkBoxByNumber(n);
        for (std::int16_t from : {0, 1, 2}) {
            for (std::int16_t to : {0, 1, 2}) {
                SCOPED_TRACE(::testing::Message() << "Check" << n << " " << from << "->" << to);
                QtWindow w;
                w.controls.setCheckValue(box, from);
                w.recorder.events.clear();
                w.controls.setCheckValue(box, to);
                EXPECT_EQ(w.controls.checkValue(box), to);
                EXPECT_EQ(widgetOf(w, box).checkState(), stateFor(to));
                const std::vector<std::string> expected =
                    from == to ? std::vector<std::string>{}
                               : std::vector<std::string>{"Check" + std::to_string(n)};
                EXPECT_EQ(w.recorder.events, expected);
            }
        }
    }
}

TEST(QtControls, ListIndexRaisesOneClickPerChange) {
    for (std::int16_t from : {-1, 0, 5, 11}) {
        for (std::int16_t to : {-1, 0, 5, 11}) {
            SCOPED_TRACE(::testing::Message() << from << "->" << to);
            QtWindow w;
            w.controls.setListIndex(from);
            w.recorder.events.clear();
            w.controls.setListIndex(to);
            EXPECT_EQ(w.controls.listIndex(), to);
            EXPECT_EQ(w.recorder.events.size(), from == to ? 0u : 1u);
        }
    }
}

TEST(QtControls, OutOfRangeValuesAreRefusedAndChangeNothing) {
    QtWindow w;
    w.controls.setCheckValue(CheckBox::Check3, 2);
    w.controls.setListIndex(7);
    w.recorder.events.clear();
    for (std::int16_t bad : {-1, 3, 255, -32768, 32767}) {
        EXPECT_THROW(w.controls.setCheckValue(CheckBox::Check3, bad), ControlError) << bad;
    }
    for (std::int16_t bad : {-2, 12, 13, -32768, 32767}) {
        EXPECT_THROW(w.controls.setListIndex(bad), ControlError) << bad;
    }
    EXPECT_EQ(w.controls.checkValue(CheckBox::Check3), 2);
    EXPECT_EQ(w.controls.listIndex(), 7);
    EXPECT_THAT(w.recorder.events, IsEmpty());
}

// The player's click toggles between checked and unchecked, also on a box the program greyed,
// and raises one notification per click.
TEST(QtControls, MouseClicksOnACheckBoxToggleAndNotify) {
    QtWindow w;
    QCheckBox& box = widgetOf(w, CheckBox::Check3);
    const QPoint indicator(6, box.height() / 2);
    std::vector<std::int16_t> seen;
    w.controls.setCheckValue(CheckBox::Check3, 2);
    w.recorder.events.clear();
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(&box, Qt::LeftButton, {}, indicator);
        seen.push_back(w.controls.checkValue(CheckBox::Check3));
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

TEST(QtControls, Text2KeepsEveryByte) {
    std::string large(1 << 20, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 % 256);
    const std::vector<std::string> texts = {
        "",
        "line one\r\nline two\r\n",
        "lone\rCR and lone\nLF",
        std::string("nbsp\xA0|nul\0|high\xFF", 17),
        large,
    };
    QtWindow w;
    for (const std::string& text : texts) {
        w.controls.setText2(text);
        EXPECT_TRUE(w.controls.text2() == text) << "size " << text.size();
    }
    // The hidden widget is not loaded with megabytes.
    EXPECT_LE(w.window.controlAs<QPlainTextEdit>("Text2")->toPlainText().size(), 4096);
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
}

TEST(QtControls, AbsurdWidthsAreRefused) {
    QtWindow w;
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {std::nanf(""), inf, -inf, -15.0f, 0.0f, 1e30f}) {
        EXPECT_THROW(w.controls.setOuterWidthTwips(bad), ControlError) << bad;
    }
    EXPECT_EQ(w.window.size(), QSize(332, 336));
}

}  // namespace
}  // namespace vantu::testing
