#pragma once

#include <functional>
#include <string_view>

namespace vantu {

class Form1;
class WidgetControls;

// The one way the player's doings on the window's controls reach Form1, for every toolkit. A
// front end's controls hand each one here (WidgetControls::playerClicked and playerChange), and
// it runs through Form1::dispatch: a click on a push button or "<<" runs the handler that
// kClickRoutes names for it; a change to a check box or the list runs the front end's own
// update, which raises the control's Click into Form1. While it lives the controls raise their
// Click notifications into the form and send the player's doings here.
class ControlRouter {
  public:
    ControlRouter(WidgetControls& controls, Form1& form);
    ~ControlRouter();
    ControlRouter(const ControlRouter&) = delete;
    ControlRouter& operator=(const ControlRouter&) = delete;

    // The player clicked the control of that name: runs its route, if it has one.
    void click(std::string_view control) const;
    // The player changed a check box or the list: runs change, the front end's update.
    void change(const std::function<void()>& change) const;

  private:
    WidgetControls& controls_;
    Form1& form_;
};

}  // namespace vantu
