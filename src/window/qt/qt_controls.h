#pragma once

#include <QMetaObject>
#include <array>
#include <string>
#include <vector>

#include "window/controls.h"
#include "window/text2_store.h"

class QComboBox;
class QPlainTextEdit;

namespace vantu {

class OptionCheckBox;
class QtForm;

// The launcher's Controls over the widgets of a QtForm. The check boxes and the list hold their
// own values; Text2's text is kept here, byte for byte, because Qt's text boxes change line
// breaks and blanks. Raises the Click notifications whenever a value changes, whoever changed it.
class QtControls : public Controls {
  public:
    explicit QtControls(QtForm& window);
    ~QtControls() override;
    QtControls(const QtControls&) = delete;
    QtControls& operator=(const QtControls&) = delete;

    // Where Click notifications go; may be null (then changes raise nothing).
    void setEvents(ControlEvents* events) { events_ = events; }

    std::int16_t checkValue(CheckBox box) const override;
    void setCheckValue(CheckBox box, std::int16_t value) override;
    std::int16_t listIndex() const override;
    void setListIndex(std::int16_t index) override;
    const std::string& text2() const override { return text2_.text(); }
    void setText2(std::string text) override;
    void setText2Trace(std::string content) override;
    float outerWidthTwips() const override;
    void setOuterWidthTwips(float twips) override;

  private:
    OptionCheckBox& box(CheckBox box) const;

    QtForm& window_;
    std::array<OptionCheckBox*, kCheckBoxCount> checks_{};
    QComboBox* list_ = nullptr;
    QPlainTextEdit* text2Box_ = nullptr;
    Text2Store text2_;

    void showText2();
    ControlEvents* events_ = nullptr;
    std::vector<QMetaObject::Connection> connections_;
};

}  // namespace vantu
