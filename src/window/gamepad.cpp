#include "window/gamepad.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "window/layout.h"

namespace vantu::pad {
namespace {

constexpr std::uint16_t kDirections = kUp | kDown | kLeft | kRight;

// The actions of buttons, in the order they run when several go down at once.
constexpr auto kActions = std::to_array<std::pair<std::uint16_t, Action>>({
    {kUp, Action::Up},
    {kDown, Action::Down},
    {kLeft, Action::Left},
    {kRight, Action::Right},
    {kA, Action::Press},
    {kB, Action::Back},
    {kStart, Action::Play},
});

// The first of the buttons in kActions' order; 0 for none.
std::uint16_t firstOf(std::uint16_t buttons) {
    for (const auto& [button, action] : kActions) {
        if ((buttons & button) != 0)
            return button;
    }
    return 0;
}

void addActions(std::uint16_t buttons, std::vector<Action>& actions) {
    for (const auto& [button, action] : kActions) {
        if ((buttons & button) != 0)
            actions.push_back(action);
    }
}

// The window is wide once its outer width is past the middle of the narrow and the wide width
// (a width read back through pixels is not always the twips that were set).
bool wide(float outerWidthTwips) {
    return outerWidthTwips * 2 >
           static_cast<float>(layout::kForm.narrowOuterWidth + layout::kForm.wideOuterWidth);
}

bool reachable(std::size_t control, float outerWidthTwips) {
    const layout::ControlDesign& c = layout::kControls[control];
    return layout::takesFocus(c) &&
           static_cast<float>(layout::rectInForm(c).right) <= outerWidthTwips;
}

// The direction a stick's axis points: x to the right when positive, y downwards.
std::uint16_t directionOf(int value, bool horizontal) {
    if (horizontal)
        return value > 0 ? kRight : kLeft;
    return value > 0 ? kDown : kUp;
}

}  // namespace

std::uint16_t stickDirection(const PadState& state, std::uint16_t before) {
    const int x = state.stickX;
    const int y = state.stickY;
    if (before != 0) {
        // How far out the stick is that way, and how far the other axis is.
        const bool horizontal = (before & (kLeft | kRight)) != 0;
        const int out = horizontal ? (before == kRight ? x : -x) : (before == kDown ? y : -y);
        const int other = std::abs(horizontal ? y : x);
        if (out > kStickReleaseZone) {
            if (other <= kStickDeadZone || other <= kStickTakeOver * out)
                return before;
            return directionOf(horizontal ? y : x, !horizontal);
        }
    }
    if (std::abs(x) > kStickDeadZone && std::abs(x) >= std::abs(y))
        return directionOf(x, true);
    if (std::abs(y) > kStickDeadZone)
        return directionOf(y, false);
    return 0;
}

std::vector<Action> PadInput::update(const std::vector<PadState>& pads, std::int64_t nowMs) {
    std::uint16_t buttons = 0;
    std::uint16_t pressed = 0;
    std::vector<Seen> seen;
    for (const PadState& pad : pads) {
        const auto before =
            std::find_if(seen_.begin(), seen_.end(), [&](const Seen& s) { return s.id == pad.id; });
        const bool known = before != seen_.end();
        const std::uint16_t stick = stickDirection(pad, known ? before->stick : 0);
        const auto held = static_cast<std::uint16_t>(pad.buttons | stick);
        if (known)
            pressed |= held & static_cast<std::uint16_t>(~before->held);
        buttons |= held;
        seen.push_back({pad.id, held, stick});
    }
    seen_ = std::move(seen);
    std::vector<Action> actions;
    // One direction at a time, as on a keyboard: the one pressed last is the one that moves and
    // repeats (of two pressed at once, the first in kActions). A direction let go stops its
    // repeat, and one held since a reset never repeats.
    if (const std::uint16_t newDirection = firstOf(pressed & kDirections); newDirection != 0) {
        direction_ = newDirection;
        nextRepeatMs_ = nowMs + kRepeatDelayMs;
        addActions(direction_, actions);
    } else if ((buttons & direction_) == 0) {
        direction_ = 0;
    } else if (nowMs >= nextRepeatMs_) {
        addActions(direction_, actions);
        nextRepeatMs_ = nowMs + kRepeatEveryMs;
    }
    addActions(pressed & static_cast<std::uint16_t>(~kDirections), actions);
    return actions;
}

void PadInput::reset() {
    seen_.clear();
    direction_ = 0;
}

std::optional<std::size_t> neighbour(std::size_t from, Action direction, float outerWidthTwips) {
    const auto centre = [](std::size_t i) {
        const layout::Rect r = layout::rectInForm(layout::kControls[i]);
        return std::pair{(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0};
    };
    // The way as a unit step: along it is the distance that way, across it the distance aside.
    int stepX = 0;
    int stepY = 0;
    switch (direction) {
        case Action::Up:
            stepY = -1;
            break;
        case Action::Down:
            stepY = 1;
            break;
        case Action::Left:
            stepX = -1;
            break;
        case Action::Right:
            stepX = 1;
            break;
        default:
            return std::nullopt;
    }
    const auto [fromX, fromY] = centre(from);
    std::optional<std::size_t> best;
    double bestScore = 0;
    for (std::size_t i : layout::focusOrder()) {
        if (i == from || !reachable(i, outerWidthTwips))
            continue;
        const auto [x, y] = centre(i);
        const double along = (x - fromX) * stepX + (y - fromY) * stepY;
        const double across = std::abs((x - fromX) * stepY + (y - fromY) * stepX);
        // Only what lies within 45 degrees of the way counts.
        const double score = along + 2 * across;
        if (along > 0 && across <= along && (!best || score < bestScore)) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

std::size_t nearestReachable(std::size_t from, float outerWidthTwips) {
    if (const auto next = neighbour(from, Action::Left, outerWidthTwips))
        return *next;
    const auto& order = layout::focusOrder();
    const auto first = std::find_if(order.begin(), order.end(),
                                    [&](std::size_t i) { return reachable(i, outerWidthTwips); });
    return first != order.end() ? *first : from;
}

void Gamepad::update(const std::vector<PadState>& pads, std::int64_t nowMs) {
    for (Action action : input_.update(pads, nowMs))
        run(action);
}

void Gamepad::run(Action action) {
    const float width = controls_.outerWidthTwips();
    const std::optional<std::size_t> focused = window_.focusedControl();
    // The player is on the pad now: the focus is shown wherever it is, also where the mouse put
    // it, so that the next button's target can be seen from across the room.
    window_.showFocusCue();
    // The focus can stay on a control the player cannot see (the panel was closed with the
    // mouse): the pad's first action brings it back into sight and does nothing else. "Play"
    // acts on no control.
    if (action != Action::Play && focused && !reachable(*focused, width) && !window_.listOpen()) {
        window_.focusWithCue(nearestReachable(*focused, width));
        return;
    }
    switch (action) {
        case Action::Up:
        case Action::Down:
        case Action::Left:
        case Action::Right:
            if (window_.listOpen()) {
                if (action == Action::Up || action == Action::Down)
                    window_.sendKey(action == Action::Up ? Key::Up : Key::Down);
            } else if (!focused) {
                window_.focusWithCue(layout::focusOrder().front());
            } else if (const auto next = neighbour(*focused, action, width)) {
                window_.focusWithCue(*next);
            }
            break;
        case Action::Press:
            if (window_.listOpen())
                window_.sendKey(Key::Return);
            else if (focused && layout::kControls[*focused].kind == layout::Kind::DropDownList)
                window_.sendKey(Key::OpenList);
            else if (focused)
                window_.sendKey(Key::Space);
            break;
        case Action::Back:
            if (window_.listOpen()) {
                window_.sendKey(Key::Escape);
            } else if (wide(width)) {
                form_.dispatch(&Form1::Label1_Click);
                // The focus leaves the panel with it.
                const float narrowed = controls_.outerWidthTwips();
                if (focused && !reachable(*focused, narrowed))
                    window_.focusWithCue(nearestReachable(*focused, narrowed));
            }
            break;
        case Action::Play:
            form_.dispatch(&Form1::Command1_Click);
            break;
    }
}

}  // namespace vantu::pad
