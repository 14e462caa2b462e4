#include "window/gamepad.h"

#include <cstdlib>
#include <limits>
#include <utility>

#include "window/layout.h"

namespace vantu::pad {
namespace {

constexpr std::uint16_t kDirections = kUp | kDown | kLeft | kRight;

// The actions of buttons, in the order they run when several go down at once.
constexpr std::array<std::pair<std::uint16_t, Action>, 7> kActions{{
    {kUp, Action::Up},
    {kDown, Action::Down},
    {kLeft, Action::Left},
    {kRight, Action::Right},
    {kA, Action::Press},
    {kB, Action::Back},
    {kStart, Action::Play},
}};

void addActions(std::uint16_t buttons, std::vector<Action>& actions) {
    for (const auto& [button, action] : kActions) {
        if ((buttons & button) != 0)
            actions.push_back(action);
    }
}

std::uint16_t merged(const std::vector<PadState>& pads) {
    std::uint16_t buttons = 0;
    for (const PadState& pad : pads)
        buttons |= buttonsWithStick(pad);
    return buttons;
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

}  // namespace

std::uint16_t buttonsWithStick(const PadState& state) {
    const int x = state.stickX;
    const int y = state.stickY;
    std::uint16_t buttons = state.buttons;
    if (std::abs(x) > kStickDeadZone && std::abs(x) >= std::abs(y))
        buttons |= x > 0 ? kRight : kLeft;
    else if (std::abs(y) > kStickDeadZone)
        buttons |= y > 0 ? kDown : kUp;
    return buttons;
}

std::vector<Action> PadInput::update(const std::vector<PadState>& pads, std::int64_t nowMs) {
    const std::uint16_t buttons = merged(pads);
    const std::uint16_t pressed = buttons & static_cast<std::uint16_t>(~held_);
    std::vector<Action> actions;
    addActions(pressed, actions);
    const std::uint16_t directions = buttons & kDirections;
    if ((pressed & kDirections) != 0) {
        nextRepeatMs_ = nowMs + kRepeatDelayMs;
    } else if (directions != 0 && nowMs >= nextRepeatMs_) {
        addActions(directions, actions);
        nextRepeatMs_ = nowMs + kRepeatEveryMs;
    }
    held_ = buttons;
    return actions;
}

void PadInput::reset(const std::vector<PadState>& pads) {
    held_ = merged(pads);
    nextRepeatMs_ = std::numeric_limits<std::int64_t>::max();
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

void Gamepad::update(const std::vector<PadState>& pads, std::int64_t nowMs) {
    for (Action action : input_.update(pads, nowMs))
        run(action);
}

void Gamepad::run(Action action) {
    const float width = controls_.outerWidthTwips();
    const std::optional<std::size_t> focused = window_.focusedControl();
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
                // The focus leaves the panel with it, for the control nearest to its left.
                const float narrowed = controls_.outerWidthTwips();
                if (focused && !reachable(*focused, narrowed)) {
                    if (const auto next = neighbour(*focused, Action::Left, narrowed))
                        window_.focusWithCue(*next);
                }
            }
            break;
        case Action::Play:
            form_.dispatch(&Form1::Command1_Click);
            break;
    }
}

}  // namespace vantu::pad
