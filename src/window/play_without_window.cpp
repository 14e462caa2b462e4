#include "window/play_without_window.h"

#include "window/form1.h"
#include "window/sound_decorator.h"
#include "window/windowless_controls.h"

namespace vantu {
namespace {

// The platform with its sound taken out: a launcher without a window makes no sound.
class SilentPlatform : public SoundDecorator {
  public:
    using SoundDecorator::SoundDecorator;
    void playSound(const std::string& /*fileName*/) override {}
};

}  // namespace

void playWithoutWindow(Platform& platform) noexcept {
    SilentPlatform silent(platform);
    runReportingFailures(silent, [&silent] {
        WindowlessControls controls;
        Form1 form(controls, silent);
        controls.setEvents(&form);
        form.dispatch(&Form1::Form_Load);
        form.dispatch(&Form1::Command1_Click);
    });
}

}  // namespace vantu
