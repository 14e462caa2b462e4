#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

// The random player of the monkey test: picks the next mouse or key action from a seeded
// generator and a model of the launcher window (width state, open list, keyboard focus), and
// says how the window must answer it. It knows nothing of X; the driver carries the actions out.
//
// The one thing the player must never do before the end is press "Play". A click never lands
// on it, and Space or Enter are only pressed while the model knows for sure that the focus is
// elsewhere: every action whose effect on the focus is not certain makes the focus unknown.
namespace vantu::monkey {

struct Point {
    int x = 0, y = 0;
};

// A rectangle in the window's client pixels.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(Point p) const { return p.x >= x && p.x < x + w && p.y >= y && p.y < y + h; }
    // The same rectangle grown by d pixels on every side (shrunk when d is negative).
    Rect grown(int d) const { return {x - d, y - d, w + 2 * d, h + 2 * d}; }
};

// Shift+Tab is BackTab; Character is a lower-case letter or a digit that begins no list entry,
// in Action::character.
enum class Key {
    Tab,
    BackTab,
    Space,
    Return,
    KeypadEnter,
    Escape,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
    Character
};

struct Action {
    enum class Kind {
        Click,      // press and release of `button` at `at`
        Drag,       // left press at `at`, move, release at `to`
        Wheel,      // one wheel step (button 4 up, 5 down) at `at`
        Keystroke,  // press and release of `key`
        PickEntry,  // left click on entry `entry` of the open list
    };
    Kind kind = Kind::Click;
    int button = 1;
    Point at;
    Point to;
    Key key = Key::Tab;
    char character = 0;
    int entry = -1;

    // How the window answers, for the driver to wait for: the width state after the action
    // when it toggles, the list's state after the action when it opens or closes.
    std::optional<bool> wideAfter;
    std::optional<bool> listOpenAfter;

    std::string describe() const;
};

// Counts of what the player did, by kind.
struct Tally {
    int clicks = 0, drags = 0, wheels = 0, keys = 0, entryPicks = 0;
    int widthToggles = 0, listOpenings = 0;
};

class Player {
  public:
    explicit Player(std::uint64_t seed);

    // The next action, and the model updated as if the window had answered it.
    Action next();

    bool wide() const { return wide_; }
    bool listOpen() const { return listOpen_; }
    // Index in focusOrder(), or nothing when the focus is not known for sure.
    std::optional<int> focus() const { return focus_; }
    const Tally& tally() const { return tally_; }

    // The controls that take the keyboard focus, in the order Tab visits them.
    static const std::array<std::string_view, 9>& focusOrder();
    // Client pixels of the control of that name, as the window lays it out.
    static Rect controlRect(std::string_view name);
    // The name of the visible control on top at p, or "" for the bare window.
    static std::string_view controlAt(Point p);
    // The width of the client area the player clicks in for a width state.
    static int clientWidth(bool wide);
    static int clientHeight();

  private:
    int below(int n);  // uniform in [0, n)
    bool chance(int percent) { return below(100) < percent; }

    Point pointIn(const Rect& r);
    Point anywhere(bool offTheList = false);  // a safe point, off the list when asked
    Point bareSpotOnLeft();
    bool safe(Point p) const;

    Action click();
    Action otherButtonClick();
    Action drag();
    Action wheel();
    Action key();
    Action listAction();

    void pressed(std::string_view control);
    bool widthButton(std::string_view control, Action& action);
    void openList(Action& action);
    char typedCharacter();

    std::mt19937_64 random_;
    bool wide_ = false;
    bool listOpen_ = false;
    std::optional<int> focus_ = 0;  // the window opens with the focus on "Play"
    Tally tally_;
};

}  // namespace vantu::monkey
