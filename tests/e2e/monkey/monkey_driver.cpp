// Plays the monkey on the launcher window: thousands of random clicks, drags, wheel steps, key
// presses and list picks, sent through XTEST in one process (an xdotool process per action
// would take minutes), from a seeded generator so that a failing run replays exactly.
//
// After every action that widens or narrows the window or opens or closes the list, it waits
// until the window shows it; every --check-every actions it asks the window for a
// _NET_WM_PING answer twice in a row (the second answer can only come once everything sent
// before the first has been handled) and compares width and list with the player's model.
// "Play" is never pressed: the caller does that afterwards.
//
// Usage: e2e-monkey --window ID --seed N [--actions N] [--check-every N] [--answer-ms N]
//                   [--trace]
// Exit status 0 when the window answered every action in time, 1 when it did not (or went
// away), 2 on bad arguments or no display.
//
// e2e-monkey --close ID asks the window to close the way a window manager does when the player
// clicks the frame's close button: a WM_DELETE_WINDOW message (the tests run without a window
// manager, and xdotool only destroys a window or kills its client). Exit status 1 when the
// window does not take WM_DELETE_WINDOW.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include "monkey/monkey_plan.h"
#include "window/layout.h"

namespace {

using vantu::monkey::Action;
using vantu::monkey::Key;
using vantu::monkey::Player;
using vantu::monkey::Point;
using Clock = std::chrono::steady_clock;

// The list ignores a release within the double-click time after it opened (400 ms in Qt):
// a pick waits out this much after the list was seen open, so the outcome never depends on
// how fast the launcher happens to be.
constexpr auto kListSettle = std::chrono::milliseconds(450);
constexpr int kWideMinWidth = vantu::layout::twipsToPixels(vantu::layout::kForm.wideOuterWidth);
constexpr auto kSameKeyGap = std::chrono::milliseconds(3);

// Errors about the launcher window mean that it is gone. Others are expected now and then: a
// window of the launcher's list may go away between listing it and looking at it.
Window watchedWindow = 0;
int xErrors = 0;
int onXError(Display*, XErrorEvent* error) {
    if (error->resourceid == watchedWindow)
        ++xErrors;
    return 0;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Options {
    Window window = 0;
    std::uint64_t seed = 0;
    bool seedGiven = false;
    int actions = 3000;
    int checkEvery = 25;
    int answerMs = 5000;
    bool trace = false;
};

bool parseNumber(const char* text, unsigned long long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 0);
    return end != text && *end == '\0' && errno == 0 && text[0] != '-';
}

std::optional<Options> parse(int argc, char* argv[]) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--trace") {
            options.trace = true;
            continue;
        }
        unsigned long long value = 0;
        if (i + 1 >= argc || !parseNumber(argv[i + 1], value))
            return std::nullopt;
        ++i;
        if (name == "--window") {
            options.window = static_cast<Window>(value);
        } else if (name == "--seed") {
            options.seed = value;
            options.seedGiven = true;
        } else if (name == "--actions" && value <= 1000000) {
            options.actions = static_cast<int>(value);
        } else if (name == "--check-every" && value >= 1 && value <= 1000000) {
            options.checkEvery = static_cast<int>(value);
        } else if (name == "--answer-ms" && value >= 1 && value <= 600000) {
            options.answerMs = static_cast<int>(value);
        } else {
            return std::nullopt;
        }
    }
    if (options.window == 0 || !options.seedGiven)
        return std::nullopt;
    return options;
}

// Sends a WM_PROTOCOLS client message to the window: the protocol and two values of its own.
void sendProtocol(Display* display, Window window, Atom protocol, long first, long second) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(protocol);
    event.xclient.data.l[1] = first;
    event.xclient.data.l[2] = second;
    XSendEvent(display, window, False, NoEventMask, &event);
}

// --close ID: WM_DELETE_WINDOW, when the window takes it.
int closeWindow(Display* display, Window window) {
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom* protocols = nullptr;
    int count = 0;
    bool takes = false;
    if (XGetWMProtocols(display, window, &protocols, &count) != 0) {
        takes = std::find(protocols, protocols + count, deleteWindow) != protocols + count;
        XFree(protocols);
    }
    if (!takes) {
        std::fprintf(stderr, "e2e-monkey: window 0x%lx does not take WM_DELETE_WINDOW\n", window);
        return 1;
    }
    sendProtocol(display, window, deleteWindow, CurrentTime, 0);
    XSync(display, False);
    return 0;
}

struct ScreenRect {
    int x = 0, y = 0, w = 0, h = 0;
};

class Monkey {
  public:
    Monkey(Display* display, const Options& options)
        : display_(display),
          options_(options),
          window_(options.window),
          root_(DefaultRootWindow(display)),
          protocols_(XInternAtom(display, "WM_PROTOCOLS", False)),
          ping_(XInternAtom(display, "_NET_WM_PING", False)),
          player_(options.seed) {}

    bool run();

  private:
    bool fail(const std::string& what);
    bool start();
    bool perform(const Action& action, bool listWasOpen);
    bool await(const Action& action);
    bool checkpoint();
    bool pingRoundTrip(double& ms);
    bool waitFor(const std::function<bool()>& observed, const char* what);

    bool windowWide();
    bool listShown() { return listWindow().has_value(); }
    std::optional<ScreenRect> listWindow();
    bool windowHasKeyboard();
    unsigned long long pictureHash();

    void moveTo(int rootX, int rootY);
    void moveTo(Point p) { moveTo(origin_.x + p.x, origin_.y + p.y); }
    void button(int number);
    void key(KeySym sym, bool shift = false);
    KeySym keySym(const Action& action) const;

    Display* display_;
    Options options_;
    Window window_;
    Window root_;
    Atom protocols_;
    Atom ping_;
    Player player_;
    Point origin_;
    long pingToken_ = 0;
    Clock::time_point listSeenOpen_{};
    KeyCode lastKey_ = 0;
    Clock::time_point lastKeyAt_{};
    std::deque<std::string> recent_;
    int done_ = 0;
    int checkpoints_ = 0;
    double maxAnswerMs_ = 0;
    double sumAnswerMs_ = 0;
    double maxWaitMs_ = 0;
};

bool Monkey::fail(const std::string& what) {
    std::fprintf(stderr, "monkey: FAIL after %d of %d actions: %s\n", done_, options_.actions,
                 what.c_str());
    std::fprintf(
        stderr, "monkey: model: %s, list %s, focus %s\n", player_.wide() ? "wide" : "narrow",
        player_.listOpen() ? "open" : "closed",
        player_.focus() ? std::string(Player::focusOrder()[*player_.focus()]).c_str() : "unknown");
    std::fprintf(stderr, "monkey: the last actions, oldest first:\n");
    for (const std::string& line : recent_)
        std::fprintf(stderr, "  %s\n", line.c_str());
    std::fprintf(stderr, "monkey: replay with --seed %llu --actions %d\n",
                 static_cast<unsigned long long>(options_.seed), options_.actions);
    return false;
}

bool Monkey::windowWide() {
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display_, window_, &root, &x, &y, &width, &height, &border, &depth))
        return false;
    return static_cast<int>(width) >= kWideMinWidth;
}

// The open list is a second, override-redirect top-level window of the launcher.
std::optional<ScreenRect> Monkey::listWindow() {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, root_, &root, &parent, &children, &count))
        return std::nullopt;
    std::optional<ScreenRect> found;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        if (children[i] == window_ || !XGetWindowAttributes(display_, children[i], &a))
            continue;
        if (a.map_state == IsViewable && a.override_redirect && a.width > 2 && a.height > 2)
            found = ScreenRect{a.x, a.y, a.width, a.height};
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

bool Monkey::windowHasKeyboard() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus == window_;
}

// A fingerprint of what the window shows, so that two runs of one seed can be compared.
unsigned long long Monkey::pictureHash() {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, window_, &a))
        return 0;
    XImage* image = XGetImage(display_, window_, 0, 0, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return 0;
    unsigned long long hash = 1469598103934665603ULL;  // FNV-1a
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            hash ^= XGetPixel(image, x, y);
            hash *= 1099511628211ULL;
        }
    }
    XDestroyImage(image);
    return hash;
}

void Monkey::moveTo(int rootX, int rootY) {
    XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
}

void Monkey::button(int number) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(number), True, CurrentTime);
    XTestFakeButtonEvent(display_, static_cast<unsigned>(number), False, CurrentTime);
}

void Monkey::key(KeySym sym, bool shift) {
    const KeyCode shiftCode = XKeysymToKeycode(display_, XK_Shift_L);
    const KeyCode code = XKeysymToKeycode(display_, sym);
    // The toolkit takes a release and a press of one key with the same time stamp for auto-
    // repeat, and then drops the press: the same key again waits for the server's clock.
    if (code == lastKey_) {
        const auto next = lastKeyAt_ + kSameKeyGap;
        if (Clock::now() < next)
            std::this_thread::sleep_until(next);
    }
    lastKey_ = code;
    if (shift)
        XTestFakeKeyEvent(display_, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(display_, shiftCode, False, CurrentTime);
    XFlush(display_);
    lastKeyAt_ = Clock::now();
}

KeySym Monkey::keySym(const Action& action) const {
    // In the order of Key; Shift+Tab is Tab with Shift held.
    static constexpr KeySym kSyms[] = {XK_Tab,    XK_Tab,  XK_space, XK_Return, XK_KP_Enter,
                                       XK_Escape, XK_Left, XK_Right, XK_Up,     XK_Down,
                                       XK_Home,   XK_End,  XK_Prior, XK_Next};
    static_assert(std::size(kSyms) == static_cast<std::size_t>(Key::Character));
    if (action.key == Key::Character)
        return static_cast<KeySym>(static_cast<unsigned char>(action.character));
    return kSyms[static_cast<std::size_t>(action.key)];
}

bool Monkey::perform(const Action& action, bool listWasOpen) {
    switch (action.kind) {
        case Action::Kind::Click:
        case Action::Kind::Wheel:
            moveTo(action.at);
            button(action.button);
            break;
        case Action::Kind::Drag:
            moveTo(action.at);
            XTestFakeButtonEvent(display_, 1, True, CurrentTime);
            moveTo((action.at.x + action.to.x) / 2, (action.at.y + action.to.y) / 2);
            moveTo(action.to);
            XTestFakeButtonEvent(display_, 1, False, CurrentTime);
            break;
        case Action::Kind::Keystroke:
            // Keys go to the window that has the keyboard; a model of the focus is only worth
            // something while that is the launcher (or its open list, which grabs it).
            if (!listWasOpen && !windowHasKeyboard())
                return fail("the launcher window lost the keyboard focus");
            key(keySym(action), action.key == Key::BackTab);
            break;
        case Action::Kind::PickEntry: {
            const std::optional<ScreenRect> list = listWindow();
            if (!list)
                return fail("the list is not open for a pick");
            const auto settled = listSeenOpen_ + kListSettle;
            if (Clock::now() < settled)
                std::this_thread::sleep_until(settled);
            const int row = list->y + 1 + (2 * action.entry + 1) * (list->h - 2) / 24;
            moveTo(list->x + list->w / 2, row);
            button(1);
            break;
        }
    }
    XSync(display_, False);
    if (xErrors != 0)
        return fail("X error while acting: the window is gone");
    return true;
}

bool Monkey::waitFor(const std::function<bool()>& observed, const char* what) {
    const auto start = Clock::now();
    while (!observed()) {
        if (xErrors != 0)
            return fail(std::string("X error while waiting for ") + what);
        if (msSince(start) > options_.answerMs)
            return fail(std::string("no answer within ") + std::to_string(options_.answerMs) +
                        " ms: " + what);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    maxWaitMs_ = std::max(maxWaitMs_, msSince(start));
    return true;
}

bool Monkey::await(const Action& action) {
    if (action.wideAfter &&
        !waitFor([&] { return windowWide() == *action.wideAfter; },
                 *action.wideAfter ? "the window to widen" : "the window to narrow"))
        return false;
    if (!action.listOpenAfter)
        return true;
    const bool open = *action.listOpenAfter;
    if (!waitFor([&] { return listShown() == open; },
                 open ? "the list to open" : "the list to close"))
        return false;
    if (open)
        listSeenOpen_ = Clock::now();
    return true;
}

// Sends _NET_WM_PING and waits for the window's answer on the root window.
bool Monkey::pingRoundTrip(double& ms) {
    const auto start = Clock::now();
    const long token = ++pingToken_;
    sendProtocol(display_, window_, ping_, token, static_cast<long>(window_));
    XFlush(display_);
    while (true) {
        while (XPending(display_) > 0) {
            XEvent answer;
            XNextEvent(display_, &answer);
            if (answer.type == ClientMessage && answer.xclient.message_type == protocols_ &&
                answer.xclient.data.l[0] == static_cast<long>(ping_) &&
                answer.xclient.data.l[1] == token) {
                ms = msSince(start);
                return true;
            }
        }
        const double left = options_.answerMs - msSince(start);
        if (left <= 0 || xErrors != 0)
            return false;
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left) + 1);
    }
}

bool Monkey::checkpoint() {
    double first = 0, second = 0;
    if (!pingRoundTrip(first) || !pingRoundTrip(second))
        return fail("the window did not answer a ping within " + std::to_string(options_.answerMs) +
                    " ms");
    const double ms = first + second;
    ++checkpoints_;
    if (options_.trace) {
        // Painting may trail the answers a little: take the picture once it stands still.
        unsigned long long picture = pictureHash();
        for (int i = 0; i < 20; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const unsigned long long again = pictureHash();
            if (again == picture)
                break;
            picture = again;
        }
        std::printf("check %d: window picture %016llx\n", checkpoints_, picture);
    }
    maxAnswerMs_ = std::max(maxAnswerMs_, ms);
    sumAnswerMs_ += ms;

    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, window_, &a) || a.map_state != IsViewable)
        return fail("the launcher window is no longer shown");
    if (windowWide() != player_.wide())
        return fail(std::string("the window is ") + (windowWide() ? "wide" : "narrow") +
                    ", the player expected otherwise");
    if (listShown() != player_.listOpen())
        return fail(std::string("the list is ") + (listShown() ? "open" : "closed") +
                    ", the player expected otherwise");
    return true;
}

bool Monkey::start() {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
        return fail("the X server has no XTEST");
    Window child = 0;
    if (!XTranslateCoordinates(display_, window_, root_, 0, 0, &origin_.x, &origin_.y, &child))
        return fail("no window " + std::to_string(window_));
    // The ping answers come to the root window.
    XSelectInput(display_, root_, StructureNotifyMask | SubstructureNotifyMask);
    XSync(display_, False);
    if (xErrors != 0)
        return fail("the window is not there");
    return checkpoint();
}

bool Monkey::run() {
    std::printf("monkey: seed %llu, %d actions, a check every %d, answers within %d ms\n",
                static_cast<unsigned long long>(options_.seed), options_.actions,
                options_.checkEvery, options_.answerMs);
    std::fflush(stdout);
    const auto start = Clock::now();
    if (!this->start())
        return false;
    for (done_ = 0; done_ < options_.actions;) {
        const bool listWasOpen = player_.listOpen();
        const Action action = player_.next();
        // Built by appending: GCC 12 warns falsely about "#" + std::to_string(...).
        std::string line = std::to_string(done_ + 1);
        line.insert(0, 1, '#');
        line += ' ';
        line += action.describe();
        if (options_.trace)
            std::printf("%s\n", line.c_str());
        recent_.push_back(line);
        if (recent_.size() > 30)
            recent_.pop_front();
        if (!perform(action, listWasOpen) || !await(action))
            return false;
        ++done_;
        if (done_ % options_.checkEvery == 0 && !checkpoint())
            return false;
    }
    // Leave the list closed, so that the caller's click reaches the window.
    if (player_.listOpen()) {
        key(XK_Escape);
        XSync(display_, False);
        if (!waitFor([&] { return !listShown(); }, "the list to close at the end"))
            return false;
    }
    if (!checkpoint())
        return false;

    const auto& t = player_.tally();
    std::printf(
        "monkey: %d actions in %.1f s: %d clicks, %d drags, %d wheel steps, %d keys, "
        "%d list picks; %d width toggles, %d list openings\n",
        done_, msSince(start) / 1000.0, t.clicks, t.drags, t.wheels, t.keys, t.entryPicks,
        t.widthToggles, t.listOpenings);
    std::printf("monkey: %d checks, double ping %.1f ms mean, %.1f ms max; longest wait %.1f ms\n",
                checkpoints_, sumAnswerMs_ / std::max(checkpoints_, 1), maxAnswerMs_, maxWaitMs_);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    unsigned long long closing = 0;
    const bool close = argc == 3 && std::string(argv[1]) == "--close" &&
                       parseNumber(argv[2], closing) && closing != 0;
    const std::optional<Options> options = close ? std::nullopt : parse(argc, argv);
    if (!close && !options) {
        std::fprintf(stderr,
                     "usage: %s --window ID --seed N [--actions N] [--check-every N] "
                     "[--answer-ms N] [--trace]\n       %s --close ID\n",
                     argv[0], argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: cannot open display\n", argv[0]);
        return 2;
    }
    if (close) {
        const int status = closeWindow(display, static_cast<Window>(closing));
        XCloseDisplay(display);
        return status;
    }
    watchedWindow = options->window;
    XSetErrorHandler(onXError);
    Monkey monkey(display, *options);
    const bool passed = monkey.run();
    XCloseDisplay(display);
    return passed ? 0 : 1;
}
