#pragma once

#include <QMetaObject>
#include <array>
#include <functional>
#include <utility>
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
// Qt's pixels are device-independent, so a pixel is 15 twips at any screen density.
class QtControls : public WidgetControls {
  public:
    // Runs one change the player made to a check box or the list (the change's Click).
    using ChangeRunner = std::function<void(const std::function<void()>&)>;

    explicit QtControls(QtForm& window);
    ~QtControls() override;
    QtControls(const QtControls&) = delete;
    QtControls& operator=(const QtControls&) = delete;

    // The launcher runs the player's changes through Form1::dispatch (connectHandlers); until
    // then they run as they come.
    void setChangeRunner(ChangeRunner run) { runChange_ = std::move(run); }

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
    ChangeRunner runChange_ = [](const std::function<void()>& change) { change(); };
};

}  // namespace vantu
