// Acts as the player of a Win32 window from another process, for the end-to-end test scripts:
// starts the program, finds its window and controls by class and caption, clicks and types
// with real input (SendInput), and prints what it reads back.
//
//   win-driver.exe COMMAND [ARG...] [COMMAND [ARG...]]...
//
// The commands run in order; each takes a fixed number of arguments:
//   front TITLE               show a window of the driver's own titled TITLE and make it the
//                             foreground window, as a game client the program is started from
//   start EXE DIR             start EXE with DIR as its current folder (Unix or Windows paths)
//   start-arg EXE DIR ARG     the same, with ARG (a path) as its one argument, in quotes
//   start-play EXE DIR        start EXE with DIR as its current folder and the option --play
//   start-play-arg EXE DIR ARG
//                             the same, with ARG (a path) after --play, in quotes
//   window TITLE SECONDS      wait for a visible top-level window titled TITLE (of the started
//                             program, when there is one); it becomes the current window
//   message-box TITLE TEXT SECONDS
//                             wait for another visible top-level window titled TITLE whose
//                             text contains TEXT; it becomes the current window; prints
//                             box.text=<its text>
//   state LABEL               print the current window's state as LABEL.<name>=<value> lines:
//                             window (x y width height), client (width height),
//                             client-origin (screen x y), owner
//                             (none, hidden or visible), focus (kind:caption), foreground
//                             (yes when it is the foreground window, else no)
//   click KIND CAPTION        click at the centre of a control; KIND is button, check, group,
//                             static, combo or edit (CAPTION "-" for the only combo or edit)
//   move-to X Y               move the mouse to a point of the current window's client area
//   key NAME                  press and release tab, shift+tab, space, return, escape, up,
//                             down, left or right
//   wait-width PIXELS SECONDS wait until the current window's outer width is PIXELS
//   wait-focus KIND CAPTION SECONDS
//                             wait until that control has the keyboard focus
//   wait-check CAPTION VALUE SECONDS
//                             wait until that check box's state is VALUE
//   wait-list INDEX SECONDS   wait until the list's selected index is INDEX
//   close                     ask the current window to close, as its close button does
//                             (WM_SYSCOMMAND SC_CLOSE, posted)
//   wait-exit SECONDS         wait for the started program to end; prints exit=<status>
//   windowless-exit TITLE SECONDS
//                             the same, failing if the program shows a window titled TITLE
//                             meanwhile (looked for every few milliseconds)
//   pause-until PATH SECONDS  print paused=PATH, then wait until the file PATH exists (a test
//                             script takes a screenshot meanwhile, then makes the file)
//   sleep MILLISECONDS
//   hold                      keep a hidden window until standard input ends (so that Wine's
//                             desktop process stays up between programs)
//
// Every wait is bounded. Exit status: 0 when every command succeeded, 1 when one failed (the
// reason on standard error; the rest are skipped), 2 on a usage error. A started program that
// is still running when the driver ends is ended with it, unless it was waited for.
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "frontend/win32/win32_dpi.h"
#include "platform/windows/utf8.h"
#include "win32_input.h"
#include "wine_path.h"

namespace {

namespace input = vantu::testing::win32;
using vantu::utf8;
using vantu::wide;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// Seconds given on the command line, as a bound in milliseconds.
DWORD boundMs(const std::string& seconds) {
    char* end = nullptr;
    const double value = std::strtod(seconds.c_str(), &end);
    if (end == seconds.c_str() || *end != '\0' || !(value >= 0 && value <= 600))
        throw UsageError("not a number of seconds: " + seconds);
    return static_cast<DWORD>(value * 1000);
}

int integer(const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0')
        throw UsageError("not a whole number: " + text);
    return static_cast<int>(value);
}

// Polls until done() holds or the bound passes; true when it held.
bool pollUntil(DWORD bound, const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + bound;
    for (;;) {
        // The driver's own window (front) answers as a program's window does.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (done())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(20);
    }
}

// A message to another process's window that cannot block the driver for long.
LRESULT ask(HWND window, UINT message, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, 5000, &result) == 0)
        throw Failure("window " + std::to_string(reinterpret_cast<std::uintptr_t>(window)) +
                      " does not answer (message " + std::to_string(message) + ")");
    return static_cast<LRESULT>(result);
}

std::wstring className(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// The caption as the window manager knows it (no message to the other process).
std::wstring caption(HWND window) {
    wchar_t text[512] = {};
    InternalGetWindowText(window, text, 512);
    return text;
}

std::string kindOf(HWND window) {
    const std::wstring name = className(window);
    if (_wcsicmp(name.c_str(), L"Button") == 0) {
        const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
            type == BS_AUTO3STATE)
            return "check";
        if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            return "radio";
        return type == BS_GROUPBOX ? "group" : "button";
    }
    for (const auto& [cls, kind] : {std::pair(L"ComboBox", "combo"), std::pair(L"Static", "static"),
                                    std::pair(L"Edit", "edit")}) {
        if (_wcsicmp(name.c_str(), cls) == 0)
            return kind;
    }
    return utf8(name);
}

std::string describe(HWND window) {
    if (window == nullptr)
        return "none";
    return kindOf(window) + ":" + utf8(caption(window));
}

// The child windows of parent, or every top-level window for none.
std::vector<HWND> windowsOf(HWND parent) {
    std::vector<HWND> found;
    const WNDENUMPROC add = [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    };
    if (parent != nullptr)
        EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&found));
    else
        EnumWindows(add, reinterpret_cast<LPARAM>(&found));
    return found;
}

DWORD processOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

// The text of every static control of a window, one line each (a message box's message).
std::string staticText(HWND window) {
    std::string text;
    for (HWND child : windowsOf(window)) {
        if (kindOf(child) != "static")
            continue;
        const std::string line = utf8(caption(child));
        if (line.empty())
            continue;
        if (!text.empty())
            text += "\\n";
        text += line;
    }
    return text;
}

class Driver {
  public:
    ~Driver() {
        if (process_ != nullptr) {
            if (!waited_)
                TerminateProcess(process_, 255);
            CloseHandle(process_);
        }
    }

    void front(const std::string& title) {
        HWND w =
            CreateWindowExW(0, L"STATIC", wide(title).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                            0, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (w == nullptr)
            throw Failure("cannot make the window \"" + title + "\"");
        SetForegroundWindow(w);
        if (!pollUntil(5000, [w] { return GetForegroundWindow() == w; }))
            throw Failure("the window \"" + title + "\" did not come to the foreground");
    }

    void start(const std::string& exe, const std::string& folder, const std::string* arg = nullptr,
               bool play = false) {
        if (process_ != nullptr)
            throw UsageError("start: a program was already started");
        const std::wstring program = wide(windowsPath(exe));
        std::wstring commandLine = L"\"" + program + L"\"";
        if (play)
            commandLine += L" --play";
        if (arg != nullptr)
            commandLine += L" \"" + wide(windowsPath(*arg)) + L"\"";
        const std::wstring directory = wide(windowsPath(folder));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, directory.c_str(), &startup, &info))
            throw Failure("cannot start " + exe + ": error " + std::to_string(GetLastError()));
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
        say("pid=" + std::to_string(info.dwProcessId));
    }

    void waitWindow(const std::string& title, DWORD bound) {
        HWND found = nullptr;
        const bool ok = pollUntil(bound, [&] {
            failIfEnded("before its window appeared");
            const std::vector<HWND> shown = shownWindows(title);
            found = shown.empty() ? nullptr : shown.front();
            return found != nullptr;
        });
        if (!ok)
            throw Failure("no visible window \"" + title + "\" within the bound");
        window_ = found;
        main_ = found;
    }

    void waitMessageBox(const std::string& title, const std::string& part, DWORD bound) {
        HWND found = nullptr;
        std::string text;
        const bool ok = pollUntil(bound, [&] {
            for (HWND w : shownWindows(title)) {
                if (w == main_)
                    continue;
                text = staticText(w);
                if (text.find(part) != std::string::npos) {
                    found = w;
                    return true;
                }
            }
            failIfEnded("before showing the message box");
            return false;
        });
        if (!ok)
            throw Failure("no message box \"" + title + "\" with \"" + part +
                          "\" within the bound" +
                          (text.empty() ? "" : " (last seen: " + text + ")"));
        window_ = found;
        say("box.text=" + text);
    }

    void printState(const std::string& label) {
        HWND w = current();
        RECT outer{};
        RECT client{};
        GetWindowRect(w, &outer);
        GetClientRect(w, &client);
        say(label + ".window=" + rectText(outer));
        say(label + ".client=" + std::to_string(client.right) + " " +
            std::to_string(client.bottom));
        POINT origin{0, 0};
        ClientToScreen(w, &origin);
        say(label + ".client-origin=" + std::to_string(origin.x) + " " + std::to_string(origin.y));
        HWND owner = GetWindow(w, GW_OWNER);
        say(label + ".owner=" +
            std::string(owner == nullptr         ? "none"
                        : IsWindowVisible(owner) ? "visible"
                                                 : "hidden"));
        say(label + ".focus=" + describe(focused()));
        say(label + ".foreground=" + (GetForegroundWindow() == w ? "yes" : "no"));
    }

    void click(const std::string& kind, const std::string& text) {
        const POINT centre = input::centreOf(control(kind, text));
        // A control cut off by the window's edge cannot be clicked by a player either.
        RECT outer{};
        GetWindowRect(current(), &outer);
        if (!PtInRect(&outer, centre))
            throw Failure("the centre of " + kind + " \"" + text + "\" lies outside the window");
        send(input::leftClick(centre));
    }

    void moveTo(int x, int y) {
        POINT p{x, y};
        ClientToScreen(current(), &p);
        send({input::mouseInput(p, 0)});
    }

    void key(const std::string& name) {
        struct Key {
            const char* name;
            WORD vk;
            bool shift;
        };
        static const Key keys[] = {
            {"tab", VK_TAB, false},       {"shift+tab", VK_TAB, true},  {"space", VK_SPACE, false},
            {"return", VK_RETURN, false}, {"escape", VK_ESCAPE, false}, {"up", VK_UP, false},
            {"down", VK_DOWN, false},     {"left", VK_LEFT, false},     {"right", VK_RIGHT, false},
        };
        for (const Key& k : keys) {
            if (name == k.name) {
                send(input::keyPress(k.vk, k.shift));
                return;
            }
        }
        throw UsageError("unknown key: " + name);
    }

    void waitWidth(int pixels, DWORD bound) {
        int width = 0;
        const bool ok = waitFor(bound, [&] {
            RECT r{};
            GetWindowRect(current(), &r);
            width = r.right - r.left;
            return width == pixels;
        });
        if (!ok)
            throw Failure("window width " + std::to_string(width) + ", expected " +
                          std::to_string(pixels));
    }

    void waitFocus(const std::string& kind, const std::string& text, DWORD bound) {
        HWND target = control(kind, text);
        if (!waitFor(bound, [&] { return focused() == target; }))
            throw Failure("focus on " + describe(focused()) + ", expected " + kind + ":" + text);
    }

    void waitCheck(const std::string& text, int value, DWORD bound) {
        HWND box = control("check", text);
        LRESULT state = 0;
        if (!waitFor(bound, [&] { return (state = ask(box, BM_GETCHECK, 0, 0)) == value; }))
            throw Failure("check box \"" + text + "\" is " + std::to_string(state) + ", expected " +
                          std::to_string(value));
    }

    void waitList(int index, DWORD bound) {
        HWND list = control("combo", "-");
        LRESULT selected = 0;
        if (!waitFor(bound, [&] { return (selected = ask(list, CB_GETCURSEL, 0, 0)) == index; }))
            throw Failure("list index " + std::to_string(selected) + ", expected " +
                          std::to_string(index));
    }

    void pauseUntil(const std::string& path, DWORD bound) {
        say("paused=" + path);
        const std::string file = windowsPath(path);
        if (!pollUntil(bound,
                       [&] { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }))
            throw Failure("nobody made " + path + " within the bound");
    }

    void close() { PostMessageW(current(), WM_SYSCOMMAND, SC_CLOSE, 0); }

    void waitWindowlessExit(const std::string& title, DWORD bound) {
        if (process_ == nullptr)
            throw UsageError("windowless-exit: no program was started");
        const ULONGLONG deadline = GetTickCount64() + bound;
        while (WaitForSingleObject(process_, 2) == WAIT_TIMEOUT) {
            if (!shownWindows(title).empty())
                throw Failure("the program showed a window \"" + title + "\"");
            if (GetTickCount64() >= deadline)
                throw Failure("the program is still running after the bound");
        }
        waitExit(0);
    }

    void waitExit(DWORD bound) {
        if (process_ == nullptr)
            throw UsageError("wait-exit: no program was started");
        if (WaitForSingleObject(process_, bound) != WAIT_OBJECT_0)
            throw Failure("the program is still running after the bound");
        DWORD status = 0;
        GetExitCodeProcess(process_, &status);
        waited_ = true;
        say("exit=" + std::to_string(status));
    }

    // A hidden window keeps Wine's desktop process up until standard input ends.
    static void hold() {
        HWND keeper = CreateWindowExW(0, L"STATIC", L"vantu keeper", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
        say(std::string("holding=") + (keeper != nullptr ? "yes" : "no"));
        char buffer[256];
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
        if (keeper != nullptr)
            DestroyWindow(keeper);
    }

  private:
    // The visible top-level windows titled title, of the started program when there is one.
    std::vector<HWND> shownWindows(const std::string& title) const {
        std::vector<HWND> found;
        for (HWND w : windowsOf(nullptr)) {
            if (IsWindowVisible(w) && caption(w) == wide(title) &&
                (processId_ == 0 || processOf(w) == processId_))
                found.push_back(w);
        }
        return found;
    }

    HWND current() const {
        if (window_ == nullptr || !IsWindow(window_))
            throw Failure("no current window (use 'window' first, or it is gone)");
        return window_;
    }

    // Polls like pollUntil, but a program that ended meanwhile fails the wait at once.
    bool waitFor(DWORD bound, const std::function<bool()>& done) {
        return pollUntil(bound, [&] {
            failIfEnded("while the driver was waiting");
            return done();
        });
    }

    void failIfEnded(const char* when) {
        if (process_ == nullptr || WaitForSingleObject(process_, 0) != WAIT_OBJECT_0)
            return;
        DWORD status = 0;
        GetExitCodeProcess(process_, &status);
        waited_ = true;
        throw Failure("the program ended with status " + std::to_string(status) + " " + when);
    }

    HWND control(const std::string& kind, const std::string& text) {
        const std::wstring wanted = wide(text);
        HWND found = nullptr;
        int matches = 0;
        for (HWND child : windowsOf(current())) {
            if (kindOf(child) != kind)
                continue;
            if (text != "-" && caption(child) != wanted)
                continue;
            found = found == nullptr ? child : found;
            ++matches;
        }
        if (matches != 1)
            throw Failure(std::to_string(matches) + " controls " + kind + " \"" + text + "\"");
        return found;
    }

    HWND focused() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        const DWORD thread =
            GetWindowThreadProcessId(main_ != nullptr ? main_ : current(), nullptr);
        if (!GetGUIThreadInfo(thread, &info))
            return nullptr;
        return info.hwndFocus;
    }

    static void send(std::vector<INPUT> inputs) {
        const std::size_t count = inputs.size();
        if (!input::send(std::move(inputs)))
            throw Failure("SendInput did not take all " + std::to_string(count) + " events");
    }

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    bool waited_ = false;
    HWND main_ = nullptr;
    HWND window_ = nullptr;
};

int run(const std::vector<std::string>& args) {
    using Args = std::vector<std::string>;
    struct Command {
        std::size_t arity;
        void (*run)(Driver& driver, const Args& a);
    };
    static const std::map<std::string, Command> kCommands = {
        {"front", {1, [](Driver& d, const Args& a) { d.front(a[0]); }}},
        {"start", {2, [](Driver& d, const Args& a) { d.start(a[0], a[1]); }}},
        {"start-arg", {3, [](Driver& d, const Args& a) { d.start(a[0], a[1], &a[2]); }}},
        {"start-play", {2, [](Driver& d, const Args& a) { d.start(a[0], a[1], nullptr, true); }}},
        {"start-play-arg", {3, [](Driver& d, const Args& a) { d.start(a[0], a[1], &a[2], true); }}},
        {"window", {2, [](Driver& d, const Args& a) { d.waitWindow(a[0], boundMs(a[1])); }}},
        {"message-box",
         {3, [](Driver& d, const Args& a) { d.waitMessageBox(a[0], a[1], boundMs(a[2])); }}},
        {"state", {1, [](Driver& d, const Args& a) { d.printState(a[0]); }}},
        {"click", {2, [](Driver& d, const Args& a) { d.click(a[0], a[1]); }}},
        {"move-to", {2, [](Driver& d, const Args& a) { d.moveTo(integer(a[0]), integer(a[1])); }}},
        {"key", {1, [](Driver& d, const Args& a) { d.key(a[0]); }}},
        {"wait-width",
         {2, [](Driver& d, const Args& a) { d.waitWidth(integer(a[0]), boundMs(a[1])); }}},
        {"wait-focus",
         {3, [](Driver& d, const Args& a) { d.waitFocus(a[0], a[1], boundMs(a[2])); }}},
        {"wait-check",
         {3, [](Driver& d, const Args& a) { d.waitCheck(a[0], integer(a[1]), boundMs(a[2])); }}},
        {"wait-list",
         {2, [](Driver& d, const Args& a) { d.waitList(integer(a[0]), boundMs(a[1])); }}},
        {"close", {0, [](Driver& d, const Args&) { d.close(); }}},
        {"wait-exit", {1, [](Driver& d, const Args& a) { d.waitExit(boundMs(a[0])); }}},
        {"windowless-exit",
         {2, [](Driver& d, const Args& a) { d.waitWindowlessExit(a[0], boundMs(a[1])); }}},
        {"pause-until", {2, [](Driver& d, const Args& a) { d.pauseUntil(a[0], boundMs(a[1])); }}},
        {"sleep", {1, [](Driver&, const Args& a) { Sleep(static_cast<DWORD>(integer(a[0]))); }}},
        {"hold", {0, [](Driver&, const Args&) { Driver::hold(); }}},
    };
    Driver driver;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& name = args[i++];
        const auto command = kCommands.find(name);
        if (command == kCommands.end())
            throw UsageError("unknown command: " + name);
        if (args.size() - i < command->second.arity)
            throw UsageError(name + ": an argument is missing");
        const Args given(args.begin() + static_cast<std::ptrdiff_t>(i),
                         args.begin() + static_cast<std::ptrdiff_t>(i + command->second.arity));
        i += command->second.arity;
        command->second.run(driver, given);
    }
    return 0;
}

}  // namespace

int main() {
    // The launcher's pixels as they are, not scaled to 96 DPI for a program unaware of DPI.
    vantu::enablePerMonitorDpiAwareness();
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(utf8(argv[i]));
    LocalFree(argv);
    try {
        return run(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "win-driver: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "win-driver: %s\n", e.what());
        return 1;
    }
}
