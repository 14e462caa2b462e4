// The window as built from the layout data: geometry, captions, colours, fonts, stacking and
// the picture, checked control by control against the tables.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <cstdlib>

#include "qt_test_support.h"
#include "window/layout.h"

namespace vantu::testing {
namespace {

using layout::ControlDesign;
using layout::kControls;
using layout::Kind;

bool nearPanel(QRgb pixel) {
    return std::abs(qRed(pixel) - 64) <= 4 && std::abs(qGreen(pixel) - 64) <= 4 &&
           std::abs(qBlue(pixel) - 64) <= 4;
}

QString captionOf(const QWidget& widget, Kind kind) {
    switch (kind) {
        case Kind::PushButton:
        case Kind::CheckBox:
            return qobject_cast<const QAbstractButton*>(&widget)->text();
        case Kind::Frame:
            return qobject_cast<const QGroupBox*>(&widget)->title();
        case Kind::Label:
            return qobject_cast<const QLabel*>(&widget)->text();
        case Kind::TextBox:
            return qobject_cast<const QPlainTextEdit*>(&widget)->toPlainText();
        case Kind::DropDownList:
        case Kind::Shape:
            break;
    }
    return {};
}

// The window itself; every control a child of the window (a label names a list only as its
// sibling), placed where the design puts it in the client area, a frame's content over the
// frame, the hidden ones there but never shown, stacked by rank; the list with every mode,
// nothing selected, and the values the controls open with.
TEST(FormLayout, TheWindowItsControlsAndTheList) {
    QtWindow w;
    const QtForm& window = w.window;
    EXPECT_EQ(toStd(window.objectName()), "Form1");
    EXPECT_EQ(toStd(window.windowTitle()), "Vantu2: Copper Winds");
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.size(), QSize(332, 336));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowIcon().isNull());
    const Qt::WindowFlags flags = window.windowFlags();
    // Not a dialog: some window managers put a parentless dialog on the taskbar whatever it asks.
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

    for (const DesignPlace& place : kDesignPixels) {
        SCOPED_TRACE(std::string(place.name));
        const ControlDesign& design = *layout::findControl(place.name);
        const QWidget* widget = w.window.control(design.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(toStd(widget->objectName()), design.name);
        EXPECT_EQ(widget->parentWidget(), &w.window);
        EXPECT_EQ(widget->geometry(), QRect(place.x, place.y, place.width, place.height));
        EXPECT_EQ(widget->isVisibleTo(&w.window), design.visible);
        if (!design.visible) {
            EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus);  // nor can a hidden one take the focus
        }
        if (design.kind != Kind::DropDownList && design.kind != Kind::Shape) {
            EXPECT_EQ(toStd(captionOf(*widget, design.kind)), design.caption);
        }
    }
    auto* list = w.window.controlAs<QComboBox>("Combo1");
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isEditable());
    ASSERT_EQ(list->count(), 12);
    for (int i = 0; i < list->count(); ++i) {
        EXPECT_EQ(toStd(list->itemText(i)), layout::kDisplayModes[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_THAT(checkValues(w.controls), ::testing::ElementsAre(0, 1, 0, 1, 1, 1));
    EXPECT_EQ(w.controls.text2(), "Text2");
    EXPECT_EQ(w.controls.outerWidthTwips(), 4980.0f);  // no window manager: no frame

    // The window's children from back to front, in falling stacking rank, with "Resolution" just
    // in front of its frame.
    std::vector<std::string> backToFront;
    for (QObject* child : w.window.children()) {
        if (child->isWidgetType() && layout::findControl(toStd(child->objectName())) != nullptr)
            backToFront.push_back(toStd(child->objectName()));
    }
    EXPECT_THAT(backToFront,
                ::testing::ElementsAre("Shape1", "Label1", "Frame2", "Frame1", "Label2", "Command1",
                                       "Combo1", "Check1", "Check2", "Command2", "Check3", "Check4",
                                       "Check5", "Check6", "Text2", "Command4", "Command3"));
}

// Frames, labels and check boxes paint white text on dark grey: most of each is the panel
// colour (the style may shade a frame's interior a little), and its caption (right of a check
// box's indicator) has light grey to white pixels.
TEST(FormLayout, PanelControlsPaintWhiteOnDarkGrey) {
    QtWindow w;
    for (const ControlDesign& design : kControls) {
        if (!design.back || design.kind == Kind::Shape)
            continue;
        const QImage image = w.window.control(design.name)->grab().toImage();
        const int captionLeft = design.kind == Kind::CheckBox ? 20 : 0;
        int panel = 0;
        int light = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                panel += nearPanel(p);
                light += x >= captionLeft && qRed(p) > 160 && qRed(p) == qGreen(p) &&
                         qGreen(p) == qBlue(p);
            }
        }
        EXPECT_GT(panel, image.width() * image.height() * 2 / 3) << design.name;
        EXPECT_GT(light, 8) << design.name;
    }
}

TEST(FormLayout, FontsAskForTheDesignFaceAndEveryCaptionFits) {
    QtWindow w;
    const QStyle* style = w.window.style();
    for (const ControlDesign& design : kControls) {
        SCOPED_TRACE(std::string(design.name));
        const QWidget* widget = w.window.control(design.name);
        // The dialog font everywhere, bold for "<<" only.
        EXPECT_EQ(toStd(widget->font().family()), "MS Sans Serif");
        EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), 8.25);
        EXPECT_EQ(widget->font().bold(), design.name == "Label1");
        if (!design.visible || design.caption.empty())
            continue;

        const int textWidth =
            widget->fontMetrics().horizontalAdvance(captionOf(*widget, design.kind));
        int room = widget->width();
        if (design.kind == Kind::CheckBox) {
            room -= style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) +
                    style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
        }
        EXPECT_LE(textWidth, room);
    }
    const auto* list = w.window.controlAs<QComboBox>("Combo1");
    // The list's size hint makes room for its widest entry and the arrow.
    EXPECT_LE(list->sizeHint().width(), list->width());
}

// The picture is drawn unscaled from the top-left corner wherever no control covers it; in the
// wide window the options panel shows its outline and fill.
TEST(FormLayout, PictureAndPanelAsRendered) {
    QtWindow w;
    const QImage picture(QStringLiteral(":/art/background.png"));
    ASSERT_EQ(picture.size(), QSize(560, 350));

    const QImage narrow = w.window.grab().toImage();
    ASSERT_EQ(narrow.size(), QSize(332, 336));
    // Corners, the middle, and where the hidden Text2 and Command3 would be.
    for (QPoint p : {QPoint(0, 0), QPoint(331, 0), QPoint(0, 335), QPoint(331, 335),
                     QPoint(150, 100), QPoint(60, 150), QPoint(40, 240)}) {
        EXPECT_EQ(narrow.pixel(p), picture.pixel(p)) << p.x() << "," << p.y();
    }

    w.controls.setOuterWidthTwips(8250);
    const QImage wide = w.window.grab().toImage();
    ASSERT_EQ(wide.size(), QSize(550, 336));
    const QRgb outline = qRgb(128, 128, 128);
    const QRgb panel = qRgb(64, 64, 64);
    // Shape1 spans x 344..536, y 16..328.
    EXPECT_EQ(wide.pixel(344, 200), outline);
    EXPECT_EQ(wide.pixel(536, 200), outline);
    EXPECT_EQ(wide.pixel(440, 16), outline);
    EXPECT_EQ(wide.pixel(440, 328), outline);
    EXPECT_EQ(wide.pixel(347, 200), panel);
    // Right ends of Check1, Check6 and inside Frame1: panel colour (the style may shade a
    // frame's interior a little), not the picture.
    for (QPoint p : {QPoint(368 + 130, 96 + 8), QPoint(376 + 130, 264 + 8), QPoint(522, 119)}) {
        EXPECT_TRUE(nearPanel(wide.pixel(p))) << p.x() << "," << p.y();
    }
    EXPECT_EQ(wide.pixel(545, 5), picture.pixel(545, 5));
}

}  // namespace
}  // namespace vantu::testing
