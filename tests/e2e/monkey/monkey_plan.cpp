#include "monkey/monkey_plan.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "window/layout.h"

namespace vantu::monkey {
namespace {

using layout::ControlDesign;
using layout::Kind;

constexpr std::string_view kPlay = "Command1";
constexpr std::string_view kVideoSetup = "Command2";
constexpr std::string_view kList = "Combo1";
constexpr std::string_view kNarrow = "Label1";

// Room left around "Play" and around every control's edge, so that a pixel rounded the other
// way cannot turn a click into a different one.
constexpr int kPlayMargin = 3;
constexpr int kEdgeBand = 1;

const ControlDesign& layoutOf(std::string_view name) {
    const ControlDesign* control = layout::findControl(name);
    // The player asks only for names of the layout; an unknown one falls back to "Play",
    // whose rectangle no action may touch anyway.
    return control != nullptr ? *control : layout::kControls.front();
}

std::array<std::string_view, 9> makeFocusOrder() {
    const std::vector<std::size_t> focusable = layout::focusOrder();
    std::array<std::string_view, 9> order{};
    for (std::size_t i = 0; i < order.size() && i < focusable.size(); ++i)
        order[i] = layout::kControls[focusable[i]].name;
    return order;
}

std::optional<int> focusIndex(std::string_view name) {
    const auto& order = Player::focusOrder();
    const auto it = std::find(order.begin(), order.end(), name);
    if (it == order.end())
        return std::nullopt;
    return static_cast<int>(it - order.begin());
}

// As the trace names the keys, in the order of Key.
constexpr std::array<std::string_view, 15> kKeyNames{
    "Tab", "Shift+Tab", "Space", "Return", "KP_Enter", "Escape",    "Left",      "Right",
    "Up",  "Down",      "Home",  "End",    "Page_Up",  "Page_Down", "character",
};

// A weighted choice: the index of the entry that a draw in [0, sum of weights) falls in.
template <std::size_t N>
std::size_t pick(const std::array<int, N>& weights, int draw) {
    for (std::size_t i = 0; i < N; ++i) {
        if (draw < weights[i])
            return i;
        draw -= weights[i];
    }
    return N - 1;
}

template <std::size_t N>
int total(const std::array<int, N>& weights) {
    int sum = 0;
    for (int w : weights)
        sum += w;
    return sum;
}

}  // namespace

std::string Action::describe() const {
    auto point = [](Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); };
    std::string text;
    switch (kind) {
        case Kind::Click:
            text = "click " + std::to_string(button) + " at " + point(at);
            break;
        case Kind::Drag:
            text = "drag " + point(at) + " to " + point(to);
            break;
        case Kind::Wheel:
            text = std::string(button == 4 ? "wheel up" : "wheel down") + " at " + point(at);
            break;
        case Kind::Keystroke:
            text = "key " + std::string(kKeyNames[static_cast<std::size_t>(key)]);
            if (key == Key::Character)
                text += std::string(" '") + character + "'";
            break;
        case Kind::PickEntry:
            text = "pick list entry " + std::to_string(entry);
            break;
    }
    if (wideAfter)
        text += *wideAfter ? " -> wide" : " -> narrow";
    if (listOpenAfter)
        text += *listOpenAfter ? " -> list open" : " -> list closed";
    return text;
}

Player::Player(std::uint64_t seed) : random_(seed) {}

const std::array<std::string_view, 9>& Player::focusOrder() {
    static const std::array<std::string_view, 9> order = makeFocusOrder();
    return order;
}

Rect Player::controlRect(std::string_view name) {
    const layout::Rect r = layout::rectInForm(layoutOf(name));
    return {layout::twipsToPixels(r.left), layout::twipsToPixels(r.top),
            layout::twipsToPixels(r.right - r.left), layout::twipsToPixels(r.bottom - r.top)};
}

std::string_view Player::controlAt(Point p) {
    // The frontmost visible control there.
    for (std::size_t i : layout::stackingOrder()) {
        const ControlDesign& c = layout::kControls[i];
        if (c.visible && controlRect(c.name).contains(p))
            return c.name;
    }
    return {};
}

int Player::clientWidth(bool wide) {
    // Narrow: the opening width, which is also below the width after "<<".
    return wide ? layout::twipsToPixels(layout::kForm.wideOuterWidth)
                : layout::twipsToPixels(layout::kForm.clientWidth);
}

int Player::clientHeight() {
    return layout::twipsToPixels(layout::kForm.clientHeight);
}

int Player::below(int n) {
    // Plain modulo: the bias is negligible, and unlike the standard distributions the
    // sequence is the same with every standard library, so a seed replays anywhere.
    return static_cast<int>(random_() % static_cast<std::uint64_t>(n));
}

bool Player::safe(Point p) const {
    if (p.x < 0 || p.y < 0 || p.x >= clientWidth(wide_) || p.y >= clientHeight())
        return false;
    if (controlRect(kPlay).grown(kPlayMargin).contains(p))
        return false;
    for (const ControlDesign& c : layout::kControls) {
        const Rect r = controlRect(c.name);
        if (c.visible && r.grown(kEdgeBand).contains(p) && !r.grown(-kEdgeBand).contains(p))
            return false;
    }
    return true;
}

Point Player::pointIn(const Rect& r) {
    for (int tries = 0; tries < 50; ++tries) {
        const Point p{r.x + below(std::max(r.w, 1)), r.y + below(std::max(r.h, 1))};
        if (safe(p))
            return p;
    }
    return anywhere();
}

Point Player::anywhere(bool offTheList) {
    while (true) {
        const Point p{below(clientWidth(wide_)), below(clientHeight())};
        if (safe(p) && !(offTheList && controlAt(p) == kList))
            return p;
    }
}

Point Player::bareSpotOnLeft() {
    const Rect left{0, 0, clientWidth(false), clientHeight()};
    while (true) {
        const Point p = pointIn(left);
        if (p.x < left.w && controlAt(p).empty())
            return p;
    }
}

// The player's clicks go mostly to the controls in view: the panel's only in the wide window.
// The hidden controls' places are clicked too: they must stay bare window.
Action Player::click() {
    static constexpr std::array<std::string_view, 15> kTargets{
        "",       kVideoSetup, kList,    "Check1", "Check2", "Check3",   "Check4",   "Check5",
        "Check6", kNarrow,     "Frame1", "Frame2", "Label2", "Command3", "Command4",
    };
    static constexpr std::array<int, 15> kWide{8, 6, 4, 4, 4, 4, 4, 4, 4, 3, 1, 1, 1, 1, 1};
    static constexpr std::array<int, 15> kNarrowOnly{8, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2};
    const auto& weights = wide_ ? kWide : kNarrowOnly;
    const std::string_view target = kTargets[pick(weights, below(total(weights)))];

    Action action;
    action.kind = Action::Kind::Click;
    action.at = target.empty() ? anywhere() : pointIn(controlRect(target).grown(-2));
    const std::string_view hit = controlAt(action.at);
    pressed(hit);
    if (!widthButton(hit, action) && hit == kList)
        openList(action);
    ++tally_.clicks;
    return action;
}

// Middle and right clicks: nothing reacts to them, but a press may still take the focus.
Action Player::otherButtonClick() {
    Action action;
    action.kind = Action::Kind::Click;
    action.button = chance(50) ? 2 : 3;
    action.at = anywhere(true);
    if (focusIndex(controlAt(action.at)))
        focus_.reset();
    ++tally_.clicks;
    return action;
}

// A press, a move and a release elsewhere: a button or "<<" only reacts when the release is
// back on it. Presses on the list open it at once and are left to the plain clicks.
Action Player::drag() {
    Action action;
    action.kind = Action::Kind::Drag;
    action.at = anywhere(true);
    const std::string_view from = controlAt(action.at);
    // Now and then the release comes back onto the pressed control.
    action.to = !from.empty() && chance(30) ? pointIn(controlRect(from).grown(-2)) : anywhere();
    pressed(from);
    if (controlAt(action.to) == from)
        widthButton(from, action);
    ++tally_.drags;
    return action;
}

Action Player::wheel() {
    Action action;
    action.kind = Action::Kind::Wheel;
    action.button = chance(50) ? 4 : 5;
    action.at = wide_ && chance(40) ? pointIn(controlRect(kList).grown(-2)) : anywhere();
    // The list changes its entry under the wheel and may take the focus.
    if (controlAt(action.at) == kList)
        focus_.reset();
    ++tally_.wheels;
    return action;
}

Action Player::key() {
    static constexpr std::array<Key, 15> kKeys{
        Key::Tab,    Key::BackTab, Key::Space,  Key::Return,   Key::KeypadEnter,
        Key::Escape, Key::Up,      Key::Down,   Key::Left,     Key::Right,
        Key::Home,   Key::End,     Key::PageUp, Key::PageDown, Key::Character,
    };
    static constexpr std::array<int, 15> kWeights{18, 12, 12, 6, 3, 5, 7, 7, 3, 3, 3, 3, 2, 2, 14};

    Action action;
    action.kind = Action::Kind::Keystroke;
    const std::optional<int> play = focusIndex(kPlay);
    while (true) {
        action.key = kKeys[pick(kWeights, below(total(kWeights)))];
        const bool presses =
            action.key == Key::Space || action.key == Key::Return || action.key == Key::KeypadEnter;
        // Space and Enter press the focused button: only where it is certainly not "Play".
        if (!presses || (focus_ && focus_ != play))
            break;
    }
    const std::string_view focused =
        focus_ ? focusOrder()[static_cast<std::size_t>(*focus_)] : std::string_view{};
    const int count = static_cast<int>(focusOrder().size());
    switch (action.key) {
        case Key::Tab:
        case Key::BackTab:
            if (focus_)
                focus_ = (*focus_ + (action.key == Key::Tab ? 1 : count - 1)) % count;
            break;
        case Key::Space:
        case Key::Return:
        case Key::KeypadEnter:
            if (!widthButton(focused, action) && action.key == Key::Space && focused == kList)
                openList(action);
            break;
        case Key::Left:
        case Key::Right:
            focus_.reset();
            break;
        case Key::Character:
            action.character = typedCharacter();
            break;
        case Key::Escape:
            break;
        default:
            // Up, Down, Home, End, Page Up and Down move the list's entry; on a button they may
            // move the focus.
            if (focused != kList)
                focus_.reset();
            break;
    }
    ++tally_.keys;
    return action;
}

// With the list open, everything goes to it; it closes on a pick, Return, Escape or a click
// outside it (on the bare picture, where no control can take the click).
Action Player::listAction() {
    static constexpr std::array<int, 8> kWeights{25, 12, 13, 10, 10, 12, 10, 8};
    static constexpr std::array<Key, 4> kMoves{Key::Home, Key::End, Key::PageUp, Key::PageDown};
    // After the entry picks: Up, Down, a move, a typed character, Return, Escape, a click.
    static constexpr std::array<Key, 6> kKeys{Key::Up,        Key::Down,   Key::Home,
                                              Key::Character, Key::Return, Key::Escape};
    Action action;
    action.kind = Action::Kind::Keystroke;
    const std::size_t choice = pick(kWeights, below(total(kWeights)));
    if (choice == 0) {
        action.kind = Action::Kind::PickEntry;
        action.entry = below(static_cast<int>(layout::kDisplayModes.size()));
        ++tally_.entryPicks;
    } else if (choice == 7) {
        action.kind = Action::Kind::Click;
        action.at = bareSpotOnLeft();
    } else {
        action.key = choice == 3 ? kMoves[static_cast<std::size_t>(below(4))] : kKeys[choice - 1];
        if (action.key == Key::Character)
            action.character = typedCharacter();
    }
    if (action.kind == Action::Kind::Keystroke)
        ++tally_.keys;
    else if (action.kind == Action::Kind::Click)
        ++tally_.clicks;

    const bool closes = action.kind != Action::Kind::Keystroke || action.key == Key::Return ||
                        action.key == Key::Escape;
    if (closes) {
        listOpen_ = false;
        action.listOpenAfter = false;
        // The list had the focus while it was open and keeps it, unless the closing click
        // went on to the window.
        if (action.kind == Action::Kind::Click)
            focus_.reset();
        else
            focus_ = focusIndex(kList);
    }
    return action;
}

// A letter or digit that begins no entry of the list. The list takes typing as a search whose
// text grows while the keys come faster than the toolkit's typing interval, so an entry picked
// by typing would depend on the launcher's speed, and a replay could pick another one.
char Player::typedCharacter() {
    static const std::string kTypable = [] {
        std::string typable;
        for (char c : std::string_view("abcdefghijklmnopqrstuvwxyz0123456789")) {
            bool begins = false;
            for (std::string_view entry : layout::kDisplayModes)
                begins = begins || std::tolower(static_cast<unsigned char>(entry.front())) == c;
            if (!begins)
                typable += c;
        }
        return typable;
    }();
    return kTypable[static_cast<std::size_t>(below(static_cast<int>(kTypable.size())))];
}

// "Video Setup" toggles the width and "<<" narrows the window; false for any other control.
bool Player::widthButton(std::string_view control, Action& action) {
    if (control != kVideoSetup && control != kNarrow)
        return false;
    wide_ = control == kVideoSetup && !wide_;
    action.wideAfter = wide_;
    return true;
}

void Player::openList(Action& action) {
    listOpen_ = true;
    action.listOpenAfter = true;
}

// A left press on a control gives it the focus when it takes the focus at all.
void Player::pressed(std::string_view control) {
    if (const std::optional<int> index = focusIndex(control))
        focus_ = index;
}

Action Player::next() {
    Action action;
    if (listOpen_) {
        action = listAction();
    } else {
        static constexpr std::array<int, 5> kWeights{45, 3, 6, 5, 41};
        static constexpr std::array<Action (Player::*)(), 5> kMoves{
            &Player::click, &Player::otherButtonClick, &Player::drag, &Player::wheel, &Player::key};
        action = (this->*kMoves[pick(kWeights, below(total(kWeights)))])();
    }
    if (action.wideAfter)
        ++tally_.widthToggles;
    if (action.listOpenAfter && *action.listOpenAfter)
        ++tally_.listOpenings;
    return action;
}

}  // namespace vantu::monkey
