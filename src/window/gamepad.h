#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "ports/pads.h"
#include "window/form1.h"

// Playing the launcher with a gamepad: what every front end shares. A front end offers its window
// through PadWindow and its timer through PadTimer (pad_poller.h); the system's pads come through
// a PadSource (ports/pads.h); when they are read and what they do is decided here.
namespace vantu::pad {

// The stick counts as a direction beyond half its travel along its main axis: well clear of
// a worn stick's drift, and as far as a player pushes it to step through a menu.
inline constexpr int kStickDeadZone = 16384;
// Once it gives a direction the stick is held that way, as a D-pad button is, whatever it wavers:
// until it comes back within kStickReleaseZone along that direction, or the other axis is past
// the dead zone and more than kStickTakeOver times as far out (about 63 degrees off the
// direction, 18 past the diagonal). A stick held near the diagonal or at the dead zone's edge
// moves the focus once and then repeats, as a held D-pad does.
inline constexpr int kStickReleaseZone = 12288;
inline constexpr int kStickTakeOver = 2;

// The stick's direction as a D-pad button (0 for none), given the one it gave at the last read.
std::uint16_t stickDirection(const PadState& state, std::uint16_t before);

// A held direction repeats like a key: first after kRepeatDelayMs, then every kRepeatEveryMs.
inline constexpr std::int64_t kRepeatDelayMs = 400;
inline constexpr std::int64_t kRepeatEveryMs = 120;

// What the player asked for.
enum class Action { Up, Down, Left, Right, Press, Back, Play };

// Turns the pads' states over time into actions: a button counts when it goes down on a pad,
// the direction pressed last also while it is held, with the key repeat above. The first state
// of a pad, whenever it is first seen, is taken as held: a button held as a pad comes (or as the
// window does) counts only once pressed again. Time is in milliseconds from any fixed point.
class PadInput {
  public:
    std::vector<Action> update(const std::vector<PadState>& pads, std::int64_t nowMs);
    // Forgets every pad (the window lost the focus): each is new at the next update, so a button
    // still held when the window comes back does not count until it is pressed again.
    void reset();

  private:
    // A pad as the last update saw it: its buttons with the stick's direction, and that direction.
    struct Seen {
        std::uint32_t id;
        std::uint16_t held;
        std::uint16_t stick;
    };
    std::vector<Seen> seen_;
    // The direction that repeats while it is held; 0 for none.
    std::uint16_t direction_ = 0;
    std::int64_t nextRepeatMs_ = 0;
};

// Keys a pad action becomes on the focused control, which the toolkit then handles exactly as
// the keyboard's: Space (press a button, turn a check box), Alt+Down (open the list), and in
// the open list Up, Down, Return (choose) and Escape (close without a change).
enum class Key { Space, OpenList, Up, Down, Return, Escape };

// What the pad needs of a front end's window.
class PadWindow {
  public:
    // The control that has the keyboard focus, as an index into layout::kControls.
    virtual std::optional<std::size_t> focusedControl() const = 0;
    // Gives the control the focus and shows its focus cue at once (a toolkit may otherwise show
    // it only once the keyboard is used).
    virtual void focusWithCue(std::size_t control) = 0;
    virtual bool listOpen() const = 0;
    // Sends the key to the focused control (to the open list while it is open).
    virtual void sendKey(Key key) = 0;
    // Shows the focus cue on the focused control at once, wherever the focus came from (the
    // mouse included): the player is using the pad. It stays until a mouse click in the window.
    virtual void showFocusCue() = 0;

  protected:
    ~PadWindow() = default;
};

// The control that a direction leads to from a control, as console menus go: of the controls
// the player can see and reach with the keyboard in a window of that outer width, the nearest
// one that lies that way (its centre within 45 degrees of the way), distance across the way
// counting double; none when nothing lies that way.
std::optional<std::size_t> neighbour(std::size_t from, Action direction, float outerWidthTwips);

// The control nearest to a control the player cannot reach in a window of that outer width
// (the panel's, in the narrow window): the one that lies to its left, else the first in the
// focus order that the player can reach.
std::size_t nearestReachable(std::size_t from, float outerWidthTwips);

// The pad's actions on the window: directions move the focus (in the open list, Up and Down
// move its selection); A does what Space does, opens the list, chooses in the open list; B
// closes the open list without a change, else in the wide window does what "<<" does; Start is
// "Play". Every action first shows the focus cue. With the focus on a control the player cannot
// reach, any action but Start only moves it to the nearest one that can be reached. Buttons run
// through the same key handling and handlers as keys and clicks.
class Gamepad {
  public:
    Gamepad(PadWindow& window, Form1& form, const Controls& controls)
        : window_(window), form_(form), controls_(controls) {}

    // The pads' states now; runs what they ask for.
    void update(const std::vector<PadState>& pads, std::int64_t nowMs);
    // The window became inactive or active again (see PadInput::reset).
    void reset() { input_.reset(); }

    void run(Action action);

  private:
    PadWindow& window_;
    Form1& form_;
    const Controls& controls_;
    PadInput input_;
};

}  // namespace vantu::pad
