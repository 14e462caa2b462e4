#pragma once

#include <QMetaObject>
#include <array>
#include <vector>

#include "options/option_table.h"
#include "window/widget_controls.h"

class QComboBox;
class QPlainTextEdit;

namespace vantu {

class OptionCheckBox;
class QtForm;

// The launcher's controls over the widgets of a QtForm: the check boxes and the list hold the
// values, the hidden text box shows the start of Text2, the window's frame gives the width.
// Qt's pixels are device-independent, so a pixel is 15 twips at any screen density. The
// player's clicks on push buttons and labels and changes to check boxes and the list go to the
// router (WidgetControls::playerClicked, playerChange).
class QtControls : public WidgetControls {
  public:
    explicit QtControls(QtForm& window);
    ~QtControls() override;
    QtControls(const QtControls&) = delete;
    QtControls& operator=(const QtControls&) = delete;

  protected:
    std::int16_t readCheck(CheckBox box) const override;
    void writeCheck(CheckBox box, std::int16_t value) override;
    std::int16_t readListIndex() const override;
    void writeListIndex(std::int16_t index) override;
    void text2Changed() override;
    int readOuterWidthPixels() const override;
    void writeOuterWidthPixels(int pixels) override;

  private:
    OptionCheckBox& box(CheckBox box) const;

    QtForm& window_;
    std::array<OptionCheckBox*, kCheckBoxCount> checks_{};
    QComboBox* list_ = nullptr;
    QPlainTextEdit* text2Box_ = nullptr;
    std::vector<QMetaObject::Connection> connections_;
};

}  // namespace vantu
