// Runs the widget tests inside one QApplication, made when the tests start (not when they are
// only listed) on Qt's offscreen display.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "frontend/qt/qt_form.h"

namespace {

class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
        vantu::installApplicationSettings();
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[9] = "qt_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QtApplication);
    return RUN_ALL_TESTS();
}
