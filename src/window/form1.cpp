#include "window/form1.h"

#include <exception>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "options/command_line.h"
#include "window/layout.h"

namespace vantu {

// The game's files are named as they are, in the current folder.
constexpr const char* kCurrentFolder = "";

Form1::Form1(Controls& controls, Platform& platform)
    : controls_(controls), platform_(platform), options_(controls) {}

void Form1::Form_Load() {
    options_.setDisplayMode(1);
    Command4_Click();
    platform_.playSound(kStartupSound);
}

void runReportingFailures(Platform& platform, const std::function<void()>& action) noexcept {
    try {
        try {
            action();
        } catch (const std::exception& e) {
            platform.reportUnhandledFailure(e.what());
        } catch (...) {
            platform.reportUnhandledFailure("unknown failure");
        }
    } catch (...) {
        // The report itself failed: there is nowhere left to tell, so the launcher just ends.
        platform.endProcess();
    }
}

void Form1::dispatch(Handler handler) noexcept {
    runReportingFailures(platform_, [this, handler] { (this->*handler)(); });
}

void Form1::dispatch(const std::function<void()>& action) noexcept {
    runReportingFailures(platform_, action);
}

void Form1::Command1_Click() {
    // A game that cannot be started, or a control that cannot be read, throws out of here to
    // dispatch(), which reports it; the launcher then does not reach its normal end.
    platform_.startProcess(gameCommandLine(options_), kShowMinimized);
    platform_.endProcess();
}

void Form1::Command2_Click() {
    const float width = controls_.outerWidthTwips();
    controls_.setOuterWidthTwips(static_cast<float>(
        width < static_cast<float>(layout::kForm.wideOuterWidth) ? layout::kForm.wideOuterWidth
                                                                 : layout::kForm.narrowOuterWidth));
}

void Form1::Command3_Click() {
    static_cast<void>(saveConfig(kCurrentFolder, options_));
}

void Form1::Command4_Click() {
    loadConfig(kCurrentFolder, options_, controls_);
}

void Form1::Label1_Click() {
    Command2_Click();
}

}  // namespace vantu
