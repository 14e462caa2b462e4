// The Win32 window as Windows sees it: built in-process from the real resources, driven with
// messages and with real key presses and mouse clicks (SendInput) where focus and input matter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "focus_cue_measure.h"
#include "frontend/win32/win32_controls.h"
#include "frontend/win32/win32_form.h"
#include "frontend/win32/win32_pad_window.h"
#include "platform/windows/xinput_pads.h"
#include "test_support.h"
#include "win32_input.h"
#include "window/layout.h"

namespace vantu {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
namespace input = testing::win32;

// How long a wait for something the window does may take: only a hang takes that long, however
// busy the machine.
constexpr int kHangMs = 30000;

// Handles the window's messages until the condition holds or the time is up.
bool pumpUntil(const std::function<bool()>& done, int milliseconds = kHangMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void pump(int milliseconds) {
    pumpUntil([] { return false; }, milliseconds);
}

std::string windowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT clientRectOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LONG styleOf(HWND window) {
    return GetWindowLongA(window, GWL_STYLE);
}

// While set, every allocation fails as it does when memory runs out.
bool refuseAllocations = false;

// IAccessible's identifier, written out: the import library's may be a stub.
constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The accessible object a screen reader gets for the window, or nullptr.
IAccessible* accessibleOf(HWND window, bool noMemory = false) {
    IAccessible* object = nullptr;
    refuseAllocations = noMemory;
    const HRESULT result = AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidAccessible,
                                                      reinterpret_cast<void**>(&object));
    refuseAllocations = false;
    return SUCCEEDED(result) ? object : nullptr;
}

// "name | value", and " | invisible" for a hidden object, as a screen reader reads it; the
// object is released.
std::string read(IAccessible* object, bool noMemory = false) {
    if (object == nullptr)
        return "(no object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    BSTR value = nullptr;
    VARIANT state{};
    refuseAllocations = noMemory;
    object->get_accName(self, &name);
    object->get_accValue(self, &value);
    object->get_accState(self, &state);
    refuseAllocations = false;
    object->Release();
    const auto narrow = [](BSTR b) {
        return b == nullptr ? std::string("-") : std::string(b, b + SysStringLen(b));
    };
    const std::string text = narrow(name) + " | " + narrow(value) +
                             ((state.lVal & STATE_SYSTEM_INVISIBLE) != 0 ? " | invisible" : "");
    SysFreeString(name);
    SysFreeString(value);
    return text;
}

// The window and its controls.
struct Win32Front {
    Win32Form window{GetModuleHandleA(nullptr)};
    Win32Controls controls{window};

    HWND operator[](std::string_view name) const { return window.control(name); }
    std::string focused() const {
        const std::size_t index = window.indexOf(GetFocus());
        return index < layout::kControls.size() ? std::string(layout::kControls[index].name)
                                                : std::string("(none)");
    }
    RECT outer() const {
        RECT r{};
        GetWindowRect(window.window(), &r);
        return r;
    }
};
using Launcher = testing::LauncherOver<Win32Front>;

// Every control with a window of its own stands where the design puts it, at the scale of the
// window's DPI to 96 (within half a pixel where the scaled place is no whole pixel).
void expectDesignPlaces(const Launcher& l, double scale) {
    for (const testing::DesignPlace& place : testing::kDesignPixels) {
        if (place.name == "Shape1")
            continue;  // painted by the window
        SCOPED_TRACE(std::string(place.name));
        const RECT r = clientRectOf(l[place.name]);
        EXPECT_NEAR(r.left, place.x * scale, 0.5);
        EXPECT_NEAR(r.top, place.y * scale, 0.5);
        EXPECT_NEAR(r.right - r.left, place.width * scale, 0.5);
        EXPECT_NEAR(r.bottom - r.top, place.height * scale, 0.5);  // the list closed
    }
}

// A fixed window with a close button only and no taskbar button; the class, style bits that
// matter, caption and place at 96 DPI of every control that has a window, and their stacking; the
// list's modes byte for byte, nothing selected, and the check boxes' values.
TEST(Win32Window, TheWindowAndEveryStandardControlAsDesigned) {
    struct Row {
        const char* name;
        const char* cls;
        LONG typeMask;
        LONG type;
        bool visible;
        const char* caption;
    };
    const Row rows[] = {
        {"Command1", "Button", BS_TYPEMASK, BS_PUSHBUTTON, true, "Play"},
        {"Command2", "Button", BS_TYPEMASK, BS_PUSHBUTTON, true, "Video Setup"},
        {"Command3", "Button", BS_TYPEMASK, BS_PUSHBUTTON, false, "Save Config"},
        {"Command4", "Button", BS_TYPEMASK, BS_PUSHBUTTON, false, "Load Config"},
        {"Check1", "Button", BS_TYPEMASK, BS_3STATE, true, "Window mode"},
        {"Check4", "Button", BS_TYPEMASK, BS_3STATE, true, "Engines / Fire effects"},
        {"Check6", "Button", BS_TYPEMASK, BS_3STATE, true, "Bullets Glow"},
        {"Frame1", "Button", BS_TYPEMASK, BS_GROUPBOX, true, "Video Setup"},
        {"Frame2", "Button", BS_TYPEMASK, BS_GROUPBOX, true, "Performance / Visual "},
        {"Combo1", "ComboBox", CBS_DROPDOWNLIST | CBS_SORT, CBS_DROPDOWNLIST, true, ""},
        {"Text2", "Edit", ES_MULTILINE | WS_VSCROLL | WS_HSCROLL, ES_MULTILINE, false, "Text2"},
        {"Label1", "Static", SS_NOTIFY | SS_TYPEMASK, SS_NOTIFY | SS_LEFT, true, "<<"},
        {"Label2", "Static", SS_NOTIFY | SS_TYPEMASK, SS_LEFT, true, "Resolution"},
    };
    Launcher l;
    HWND w = l.window.window();
    EXPECT_EQ(windowText(w), "Vantu2: Copper Winds");
    const LONG style = styleOf(w);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN), 0);
    EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    HWND owner = GetWindow(w, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_NE(GetClassLongPtrA(w, GCLP_HICON), 0u);
    EXPECT_EQ(FindWindowA(nullptr, "Vantu2: Copper Winds"), w);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 332);
    EXPECT_EQ(client.bottom, 336);
    EXPECT_EQ(l.window.dpi(), 96u);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HWND c = l[row.name];
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(className(c), row.cls);
        EXPECT_EQ(styleOf(c) & row.typeMask, row.type);
        EXPECT_EQ((styleOf(c) & WS_VISIBLE) != 0, row.visible);
        EXPECT_EQ(windowText(c), row.caption);
    }
    EXPECT_EQ(l["Shape1"], nullptr);  // painted by the window
    expectDesignPlaces(l, 1.0);

    HWND list = l["Combo1"];
    ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 12);
    std::vector<std::string> entries;
    for (int i = 0; i < 12; ++i) {
        char text[64] = {};
        ASSERT_LT(SendMessageA(list, CB_GETLBTEXTLEN, i, 0), 64);
        entries.emplace_back(text,
                             SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text)));
    }
    EXPECT_THAT(entries, ElementsAreArray(layout::kDisplayModes));
    EXPECT_EQ(l.controls.listIndex(), -1);
    EXPECT_THAT(checkValues(l.controls), ElementsAre(0, 1, 0, 1, 1, 1));

    // From front to back as the design stacks them.
    std::vector<std::string> names;
    for (HWND c = GetWindow(w, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        names.emplace_back(layout::kControls[l.window.indexOf(c)].name);
    EXPECT_THAT(names, ElementsAre("Command3", "Command4", "Text2", "Check6", "Check5", "Check4",
                                   "Check3", "Command2", "Check2", "Check1", "Combo1", "Command1",
                                   "Label2", "Frame1", "Frame2", "Label1"));
}

// Moved to a 144 DPI monitor, the window lays itself out again at 1.5 times the size and counts
// 10 twips to a pixel.
TEST(Win32Window, RescalesWhenItsDpiChanges) {
    Launcher l;
    RECT suggested{10, 20, 10 + 507, 20 + 533};
    SendMessageA(l.window.window(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(l.window.dpi(), 144u);
    expectDesignPlaces(l, 1.5);
    const auto fontOf = [&](const char* name) {
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(l[name], WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        return font;
    };
    EXPECT_EQ(fontOf("Check1").lfHeight, -17);  // 8.25 pt at 144 DPI
    EXPECT_STREQ(fontOf("Check1").lfFaceName, "MS Sans Serif");
    EXPECT_EQ(fontOf("Check1").lfWeight, FW_NORMAL);
    EXPECT_EQ(fontOf("Label1").lfWeight, FW_BOLD);  // "<<"
    l.controls.setOuterWidthTwips(8250);
    EXPECT_EQ(l.outer().right - l.outer().left, 825);
    EXPECT_EQ(l.controls.outerWidthTwips(), 8250.0f);
}

// The colours each control is told to paint with: its text, the text's background and the
// brush for the rest, the last two the same.
TEST(Win32Window, PanelControlsAreDarkGreyWithWhiteText) {
    Launcher l;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP pixel = CreateBitmap(1, 1, 1, 32, nullptr);
    SelectObject(dc, pixel);
    const RECT one{0, 0, 1, 1};
    for (const char* name : {"Check1", "Check6", "Frame2", "Label1", "Label2"}) {
        SCOPED_TRACE(name);
        SetTextColor(dc, RGB(0, 0, 0));
        auto brush = reinterpret_cast<HBRUSH>(SendMessageA(l.window.window(), WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(l[name])));
        FillRect(dc, &one, brush);
        EXPECT_EQ(GetPixel(dc, 0, 0), GetBkColor(dc));
        EXPECT_EQ(GetBkColor(dc), RGB(64, 64, 64));
        EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    }
    DeleteDC(dc);
    DeleteObject(pixel);
}

// The widgets show the program's values (Text2 its bytes); the player's clicks (1 -> 0, greyed ->
// 1) and pick raise one Click each, and picking the selected entry again is no change.
TEST(Win32Window, WidgetsShowValuesAndEachChangeOfThePlayerRaisesOneClick) {
    Launcher l;
    l.controls.setCheckValue(checkBoxNamed("Check1"), 1);
    l.controls.setCheckValue(checkBoxNamed("Check3"), 2);
    l.controls.setListIndex(1);
    EXPECT_EQ(SendMessageA(l["Check1"], BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(l["Check3"], BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(SendMessageA(l["Combo1"], CB_GETCURSEL, 0, 0), 1);
    l.controls.setText2(std::string("a\r\nb\rc\xA0", 7));
    EXPECT_EQ(windowText(l["Text2"]), std::string("a\r\nb\rc\xA0", 7));
    testing::RecordingEvents recorder;
    l.controls.setEvents(&recorder);

    SendMessageA(l["Check1"], BM_CLICK, 0, 0);
    SendMessageA(l["Check3"], BM_CLICK, 0, 0);
    SendMessageA(l["Combo1"], CB_SETCURSEL, 4, 0);
    for (int pick = 0; pick < 2; ++pick)
        SendMessageA(l.window.window(), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(l["Combo1"]), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(l["Combo1"]));
    EXPECT_THAT(checkValues(l.controls), ElementsAre(0, 1, 1, 1, 1, 1));
    EXPECT_EQ(l.controls.listIndex(), 4);
    EXPECT_THAT(recorder.events, ElementsAre("Check1", "Check3", "Combo1"));
}

// At every whole DPI from 96 to 480 (custom scaling: 110 % is 106 DPI) "Video Setup" and "<<"
// alternate the wide and the narrow width, although few of those widths are whole pixels, and
// the wide one may be more than the screen allows a window; the position and the height stay.
TEST(Win32Window, VideoSetupAlternatesAtEveryDpi) {
    Launcher l;
    SetWindowPos(l.window.window(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const auto at = [](int twips, UINT dpi) {
        const auto pixels = std::lround(twips * static_cast<double>(dpi) / 1440);
        return static_cast<LONG>(std::min<long>(pixels, GetSystemMetrics(SM_CXMAXTRACK)));
    };
    std::vector<std::string> wrong;
    for (UINT dpi = 96; dpi <= 480; ++dpi) {
        RECT suggested = l.outer();
        suggested.right = suggested.left + at(layout::kForm.narrowOuterWidth, dpi);
        SendMessageA(l.window.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        const std::pair<const char*, int> clicks[] = {
            {"Command2", layout::kForm.wideOuterWidth},
            {"Command2", layout::kForm.narrowOuterWidth},
            {"Label1", layout::kForm.wideOuterWidth},
            {"Label1", layout::kForm.narrowOuterWidth},
        };
        std::string widths;
        bool ok = true;
        for (const auto& [control, twips] : clicks) {
            const bool label = std::string_view(control) == "Label1";
            SendMessageA(l.window.window(), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(l[control]), label ? STN_CLICKED : BN_CLICKED),
                         reinterpret_cast<LPARAM>(l[control]));
            const RECT r = l.outer();
            widths.append(" ").append(std::to_string(r.right - r.left));
            ok = ok && r.right - r.left == at(twips, dpi) && r.left == suggested.left &&
                 r.top == suggested.top && r.bottom - r.top == suggested.bottom - suggested.top;
        }
        if (!ok)
            wrong.push_back(std::to_string(dpi) + " dpi:" + widths);
    }
    EXPECT_THAT(wrong, ::testing::IsEmpty());
}

TEST(Win32Window, ClosingEndsTheMessageLoopAndStartsNothing) {
    Launcher l;
    SendMessageA(l.window.window(), WM_CLOSE, 0, 0);
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(IsWindow(l.window.window()));
    EXPECT_TRUE(l.platform.calls.empty());
}

// The keyboard on the shown window, with real key presses and clicks. One window serves every
// case: destroying a shown window takes seconds under Wine without a window manager.
class Win32Keyboard : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        shown = new Launcher;
        shown->window.show(SW_SHOWNORMAL);
        SetForegroundWindow(shown->window.window());
        pumpUntil([] {
            return GetForegroundWindow() == shown->window.window() && GetFocus() != nullptr;
        });
    }
    static void TearDownTestSuite() {
        delete shown;
        shown = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(GetForegroundWindow(), shown->window.window());
        SetFocus((*shown)["Command1"]);
        pump(50);
    }
    // Presses a key and waits until its messages were handled: SendInput queues them at once,
    // and the queue is emptied however long that takes on a busy machine.
    static void press(WORD key, bool shift = false) {
        ASSERT_TRUE(input::send(input::keyPress(key, shift)));
        ASSERT_TRUE(
            pumpUntil([] { return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE)) == 0; }));
    }
    static Launcher* shown;
};

Launcher* Win32Keyboard::shown = nullptr;

// Like a dialog, the window gives the focus back to the control that had it when the player
// comes back from another window.
TEST_F(Win32Keyboard, FocusReturnsToTheLastFocusedControlWhenTheWindowIsActivatedAgain) {
    Launcher& l = *shown;
    press(VK_TAB);
    press(VK_TAB);
    ASSERT_EQ(l.focused(), "Check1");
    HWND other = CreateWindowExA(0, "STATIC", "another program", WS_POPUP | WS_VISIBLE, 0, 0, 80,
                                 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == other; }));
    EXPECT_EQ(l.focused(), "(none)");
    SetForegroundWindow(l.window.window());
    EXPECT_TRUE(pumpUntil([&] { return l.focused() == "Check1"; })) << l.focused();
    DestroyWindow(other);
}

TEST_F(Win32Keyboard, ArrowsMoveTheFocusExceptInTheListWhereTheyChangeTheSelection) {
    Launcher& l = *shown;
    press(VK_DOWN);
    EXPECT_EQ(l.focused(), "Combo1");
    testing::RecordingEvents recorder;
    l.controls.setEvents(&recorder);
    const std::int16_t before = l.controls.listIndex();
    press(VK_DOWN);
    EXPECT_EQ(l.focused(), "Combo1");
    EXPECT_EQ(l.controls.listIndex(), before + 1);
    EXPECT_THAT(recorder.events, ElementsAre("Combo1"));
    l.controls.setEvents(&l.form);
    press(VK_UP);
    press(VK_LEFT);
    EXPECT_EQ(l.focused(), "Combo1");
}

TEST_F(Win32Keyboard, EnterAndSpacePressOnlyTheFocusedButtonAndEscapeDoesNothing) {
    Launcher& l = *shown;
    const auto width = [&] { return l.outer().right - l.outer().left; };
    const auto narrowWidth = width();

    // Enter on a check box, or Escape anywhere: nothing happens.
    SetFocus(l["Check1"]);
    const std::int16_t check1 = l.controls.checkValue(checkBoxNamed("Check1"));
    press(VK_RETURN);
    press(VK_ESCAPE);
    EXPECT_EQ(l.controls.checkValue(checkBoxNamed("Check1")), check1);
    EXPECT_EQ(width(), narrowWidth);
    EXPECT_TRUE(IsWindowVisible(l.window.window()));

    // Space toggles a focused check box.
    press(VK_SPACE);
    EXPECT_NE(l.controls.checkValue(checkBoxNamed("Check1")), check1);

    // Enter and Space on "Video Setup" toggle the width.
    SetFocus(l["Command2"]);
    press(VK_RETURN);
    EXPECT_EQ(width(), 550);
    press(VK_SPACE);
    EXPECT_EQ(width(), 344);
    EXPECT_TRUE(l.platform.starts.empty());
}

TEST_F(Win32Keyboard, ClicksOnTheLabelAndACheckBoxInTheWideWindow) {
    Launcher& l = *shown;
    l.controls.setOuterWidthTwips(8250);
    pump(100);
    testing::RecordingEvents recorder;
    l.controls.setEvents(&recorder);
    const std::int16_t before = l.controls.checkValue(checkBoxNamed("Check5"));
    ASSERT_TRUE(input::send(input::leftClick(input::centreOf(l["Check5"]))));
    ASSERT_TRUE(pumpUntil([&] { return !recorder.events.empty(); }));
    EXPECT_THAT(recorder.events, ElementsAre("Check5"));
    EXPECT_EQ(l.controls.checkValue(checkBoxNamed("Check5")), WidgetControls::clickedValue(before));
    l.controls.setEvents(&l.form);

    ASSERT_TRUE(input::send(input::leftClick(input::centreOf(l["Label1"]))));
    EXPECT_TRUE(pumpUntil([&] { return l.outer().right - l.outer().left == 344; }));
}

// What a screen reader reads through the system's accessibility (oleacc) on the shown window:
// the window and every visible control by its caption, the list by its label with its selection
// as its value, "<<" by what it does; hidden controls are invisible to it. (Wine's oleacc gives
// every control the generic client role, so roles are not compared.)
TEST_F(Win32Keyboard, ScreenReadersReadTheLayoutsNames) {
    Launcher& l = *shown;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    l.controls.setListIndex(1);
    std::vector<std::string> got{read(accessibleOf(l.window.window()))};
    for (const char* name :
         {"Command1", "Command2", "Combo1", "Check1", "Check2", "Check3", "Check4", "Check5",
          "Check6", "Label1", "Label2", "Frame1", "Frame2", "Command3", "Command4", "Text2"})
        got.push_back(std::string(name) + ": " + read(accessibleOf(l[name])));
    EXPECT_THAT(
        got,
        ElementsAre("Vantu2: Copper Winds | -", "Command1: Play | -", "Command2: Video Setup | -",
                    "Combo1: Resolution | 1024x786", "Check1: Window mode | -",
                    "Check2: Use Shaders | -", "Check3: Advanced Shadows | -",
                    "Check4: Engines / Fire effects | -", "Check5: Scenery clouds | -",
                    "Check6: Bullets Glow | -", "Label1: Hide video setup | -",
                    "Label2: Resolution | -", "Frame1: Video Setup | -",
                    "Frame2: Performance / Visual  | -", "Command3: Save Config | - | invisible",
                    "Command4: Load Config | - | invisible", "Text2: - | Text2 | invisible"));

    // Every other interface of a renamed object leads back to that same object, name and all.
    IAccessible* list = accessibleOf(l["Combo1"]);
    ASSERT_NE(list, nullptr);
    for (const IID& iid : {IID_IEnumVARIANT, IID_IServiceProvider, IID_IOleWindow}) {
        IUnknown* other = nullptr;
        if (FAILED(list->QueryInterface(iid, reinterpret_cast<void**>(&other))))
            continue;
        IAccessible* back = nullptr;
        other->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&back));
        other->Release();
        EXPECT_EQ(back, list);
        EXPECT_EQ(read(back), "Resolution | 1024x786");
    }
    HWND window = nullptr;
    EXPECT_EQ(WindowFromAccessibleObject(list, &window), S_OK);
    EXPECT_EQ(window, l["Combo1"]);

    // Without memory for the renamed object the system's answers, by the caption; without memory
    // for the list's text the renamed object has no value. Neither reaches the screen reader as
    // an exception.
    EXPECT_EQ(read(accessibleOf(l["Label1"], true)), "<< | -");
    EXPECT_EQ(read(list, true), "Resolution | -");
}

// The window's client area as the screen shows it.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
    layout::Rgb operator()(int x, int y) const {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
        return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                static_cast<std::uint8_t>(p)};
    }
};

Picture pictureOf(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump(50);
    RECT client{};
    GetClientRect(window, &client);
    Picture picture{client.right, client.bottom, {}};
    picture.pixels.resize(static_cast<std::size_t>(picture.width * picture.height));
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::memcpy(picture.pixels.data(), bits, picture.pixels.size() * 4);
    SelectObject(memory, previous);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return picture;
}

// Every kind of control the focus goes to shows a cue that a player sees from afar: around it,
// at least a 2 px perimeter's worth of pixels changes by 3:1 or more when the focus comes, at 96
// to 192 DPI, on the picture and on the panel; with the system's focus border set thicker, each
// band of the ring is that thick, except where that would hide another control or a label's text:
// those never change. Left of the control, halfway down, the ring reads from the
// control outwards as its dark band, then its light band. The focus goes away to a control far
// enough not to show its own cue there; or the mouse clicks the control, which hides the cue, and
// the pad shows it again at once.
TEST_F(Win32Keyboard, TheFocusCueStandsOutAroundEveryKindOfControl) {
    struct Row {
        const char* control;
        const char* away;  // nullptr: clicked with the mouse, then shown by the pad
        UINT dpi;
        UINT border;  // the system's focus border width and height, in pixels
    };
    const Row rows[] = {
        {"Command1", "Check1", 96, 1},
        {"Command2", "Check1", 96, 1},
        {"Combo1", "Command1", 96, 1},
        {"Check1", "Command1", 96, 1},
        {"Check6", "Command1", 96, 1},
        {"Check6", "Command1", 96, 5},
        {"Command1", "Check1", 144, 1},
        {"Command2", "Check1", 144, 1},
        {"Combo1", "Command1", 144, 1},
        {"Check1", "Command1", 144, 1},
        {"Check6", "Command1", 144, 1},
        {"Check6", nullptr, 96, 1},
        // Beside the label "Resolution" and between boxes and buttons, with thicker borders.
        {"Combo1", "Command1", 96, 3},
        {"Check3", "Command1", 96, 3},
        {"Command2", "Check1", 96, 3},
        {"Combo1", "Command1", 96, 5},
        {"Check3", "Command1", 96, 5},
        {"Command2", "Check1", 96, 5},
        {"Combo1", "Command1", 144, 3},
        {"Check3", "Command1", 144, 3},
        {"Command2", "Check1", 144, 3},
        {"Combo1", "Command1", 144, 5},
        {"Check3", "Command1", 144, 5},
        {"Command2", "Check1", 144, 5},
        {"Combo1", "Command1", 192, 1},
        {"Check3", "Command1", 192, 1},
        {"Command2", "Check1", 192, 1},
        {"Combo1", "Command1", 192, 3},
        {"Check3", "Command1", 192, 3},
        {"Command2", "Check1", 192, 3},
        {"Combo1", "Command1", 192, 5},
        {"Check3", "Command1", 192, 5},
        {"Command2", "Check1", 192, 5},
    };
    Launcher& l = *shown;
    const auto setDpi = [&](UINT dpi) {
        RECT suggested = l.outer();
        suggested.right = suggested.left + MulDiv(338, static_cast<int>(dpi), 96);
        suggested.bottom = suggested.top + MulDiv(362, static_cast<int>(dpi), 96);
        SendMessageA(l.window.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        l.controls.setOuterWidthTwips(static_cast<float>(layout::kForm.wideOuterWidth));
    };
    const auto setBorder = [](UINT pixels) {
        SystemParametersInfoA(SPI_SETFOCUSBORDERWIDTH, 0, reinterpret_cast<void*>(pixels), 0);
        SystemParametersInfoA(SPI_SETFOCUSBORDERHEIGHT, 0, reinterpret_cast<void*>(pixels), 0);
    };
    press(VK_TAB);  // the keyboard shows the focus cues
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << row.control << " at " << row.dpi << " DPI, border " << row.border);
        setDpi(row.dpi);
        setBorder(row.border);
        Picture on;
        Picture off;
        if (row.away != nullptr) {
            SetFocus(l[row.control]);
            on = pictureOf(l.window.window());
            SetFocus(l[row.away]);
            off = pictureOf(l.window.window());
        } else {
            XInputPads none([]() -> XInputGetStateFunction { return nullptr; });
            Win32PadWindow pad(l.window, l.form, l.controls, none);
            ASSERT_TRUE(input::send(input::leftClick(input::centreOf(l[row.control]))));
            ASSERT_TRUE(pumpUntil([&] { return GetFocus() == l[row.control]; }));
            off = pictureOf(l.window.window());
            pad.showFocusCue();
            on = pictureOf(l.window.window());
            press(VK_TAB);  // the cue back for the next rows
        }
        const RECT r = clientRectOf(l[row.control]);
        const double scale = row.dpi / 96.0;
        // The system's border is in pixels at 96 DPI, scaled with the window.
        const int band =
            std::max(static_cast<int>(std::lround(2 * scale)),
                     MulDiv(static_cast<int>(row.border), static_cast<int>(row.dpi), 96));
        const testing::FocusCueMeasure m = testing::measureFocusCue(
            {r.left, r.top, r.right, r.bottom}, scale, on.width, on.height, on, off, 2 * band);
        std::printf("focus cue %s at %u DPI, border %u: %d pixels change by 3:1, %d needed\n",
                    row.control, row.dpi, row.border, m.changed, m.needed);
        EXPECT_GE(m.changed, m.needed);
        // Nothing changes on the other controls nor on a label's text (the rectangle its
        // white pixels span, where the control does not cover the label), where the ring would
        // hide them.
        for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
            const layout::ControlDesign& design = layout::kControls[i];
            HWND other = l.window.control(i);
            if (other == nullptr || !IsWindowVisible(other) || other == l[row.control] ||
                (row.away != nullptr && other == l[row.away]))
                continue;
            const RECT o = clientRectOf(other);
            layout::Rect keep{o.left, o.top, o.right, o.bottom};
            if (design.kind == layout::Kind::Label) {
                keep = {o.right, o.bottom, o.left, o.top};
                for (int y = o.top; y < o.bottom; ++y) {
                    for (int x = o.left; x < o.right; ++x) {
                        const bool onControl =
                            x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                        if (!onControl && off(x, y) == *design.text)
                            keep = {std::min(keep.left, x), std::min(keep.top, y),
                                    std::max(keep.right, x + 1), std::max(keep.bottom, y + 1)};
                    }
                }
            } else if (!layout::takesFocus(design)) {
                continue;
            }
            EXPECT_EQ(testing::changedWithin(keep, on.width, on.height, on, off), 0) << design.name;
        }
        // Going out from the control leftwards halfway down: its dark band, then its light band.
        // Upwards near its left end (over the label "Resolution" above the list) in the same
        // order, narrower where there is no room for both.
        const std::string ring = std::string(band, 'd') + std::string(band, 'l');
        const int middle = (r.top + r.bottom) / 2;
        EXPECT_EQ(testing::ringTones(on, r.left - 1, middle, -1, 0, 2 * band), ring);
        EXPECT_THAT(testing::ringTones(on, r.left + 10, r.top - 1, 0, -1, 2 * band),
                    ::testing::MatchesRegex("d+l+.*"));
    }
    setBorder(1);

    setDpi(96);
    l.controls.setOuterWidthTwips(static_cast<float>(layout::kForm.narrowOuterWidth));
}

// XInput in the tests: four slots the test fills (empty: not connected), each slot's reads.
struct FakePads {
    std::array<std::optional<XINPUT_GAMEPAD>, XUSER_MAX_COUNT> slots;
    std::array<int, XUSER_MAX_COUNT> reads{};
    // For each read of a slot, the reads of slot 0 (read first on every tick) so far: the tick.
    std::array<std::vector<int>, XUSER_MAX_COUNT> ticks;
    int loads = 0;
} fakePads;
DWORD WINAPI fakeGetState(DWORD user, XINPUT_STATE* state) {
    ++fakePads.reads.at(user);
    fakePads.ticks.at(user).push_back(fakePads.reads[0]);
    if (!fakePads.slots.at(user))
        return ERROR_DEVICE_NOT_CONNECTED;
    *state = XINPUT_STATE{0, *fakePads.slots[user]};
    return ERROR_SUCCESS;
}
XInputGetStateFunction fakeXInput() {
    ++fakePads.loads;
    return fakeGetState;
}
XInputGetStateFunction noXInput() {
    ++fakePads.loads;
    return nullptr;
}
XINPUT_GAMEPAD held(WORD buttons, SHORT x = 0, SHORT y = 0) {
    return XINPUT_GAMEPAD{buttons, 0, 0, x, y, 0, 0};
}

// The pad on the shown window, through the real timer, XInput replaced by FakePads.
class Win32Pad : public Win32Keyboard {
  protected:
    void SetUp() override {
        Win32Keyboard::SetUp();
        fakePads = FakePads{};
        fakePads.slots[0] = held(0);
    }
    void TearDown() override { shown->controls.setEvents(&shown->form); }
    void startReading(XInputPads::Loader load = fakeXInput) {
        xinput.emplace(load);
        padWindow.emplace(shown->window, shown->form, shown->controls, *xinput);
        ASSERT_TRUE(pumpUntil([&] { return fakePads.reads[0] > 0 || load == noXInput; }));
    }
    static bool readAgain(int slot, int times = 1) {
        const int until = fakePads.reads[slot] + times;
        return pumpUntil([&] { return fakePads.reads[slot] >= until; });
    }
    // The pad in the slot holds the state for one read, then lets go for one.
    static void tap(XINPUT_GAMEPAD state, int slot = 0) {
        fakePads.slots[slot] = state;
        ASSERT_TRUE(readAgain(slot));
        fakePads.slots[slot] = held(0);
        ASSERT_TRUE(readAgain(slot));
    }
    static LONG width() { return shown->outer().right - shown->outer().left; }

    // How many times slot 0 is read while the window handles its messages for ms.
    static int readsWhile(int ms) {
        const int before = fakePads.reads[0];
        pump(ms);
        return fakePads.reads[0] - before;
    }
    // How long slot 0 takes to be read ten times more, in ms: about 160 when read every
    // kConnectedPollMs, 10000 when read every kIdlePollMs. Halfway between tells the two apart
    // with seconds to spare for a busy machine.
    static ULONGLONG tenReadsTake() {
        const ULONGLONG started = GetTickCount64();
        EXPECT_TRUE(readAgain(0, 10));
        return GetTickCount64() - started;
    }
    // Whether the pads' timer runs: its message comes within the idle interval and a little
    // more, while nothing handles the window's messages.
    static bool timerRuns() {
        const ULONGLONG end = GetTickCount64() + pad::kIdlePollMs + 200;
        MSG message;
        while (GetTickCount64() < end) {
            if (PeekMessageA(&message, shown->window.window(), WM_TIMER, WM_TIMER, PM_NOREMOVE))
                return true;
            Sleep(10);
        }
        return false;
    }

    std::optional<XInputPads> xinput;
    std::optional<Win32PadWindow> padWindow;
};

// The player walks the window with the pad through the real handlers: "Video Setup", right to
// "Bullets Glow" and turns it, up to the list and chooses the next mode with the stick fully
// down, narrows the window and starts the game. Each move shows the focus cue.
TEST_F(Win32Pad, WalksFromPlayThroughTheVideoSetupToTheGame) {
    Launcher& l = *shown;
    l.controls.setListIndex(1);
    l.platform = testing::FakePlatform{};
    testing::RecordingEvents events;  // the form's Click handlers only mark a change
    l.controls.setEvents(&events);
    startReading();
    const WORD up = XINPUT_GAMEPAD_DPAD_UP, a = XINPUT_GAMEPAD_A;
    const struct {
        XINPUT_GAMEPAD pad;
        const char* focused;
        LONG width;
        bool listOpen;
        std::int16_t bulletsGlow, mode;
    } steps[] = {
        {held(up), "Command2", 338, false, 1, 1},
        {held(a), "Command2", 550, false, 1, 1},
        {held(0, 32767), "Check6", 550, false, 1, 1},
        {held(a), "Check6", 550, false, 0, 1},
        {held(up), "Check5", 550, false, 0, 1},
        {held(up), "Check4", 550, false, 0, 1},
        {held(up), "Check3", 550, false, 0, 1},
        {held(up), "Check2", 550, false, 0, 1},
        {held(0, 0, 32767), "Check1", 550, false, 0, 1},
        {held(up), "Combo1", 550, false, 0, 1},
        {held(a), "Combo1", 550, true, 0, 1},
        {held(0, 0, -32768), "Combo1", 550, true, 0, 2},
        {held(a), "Combo1", 550, false, 0, 2},
        {held(XINPUT_GAMEPAD_B), "Command2", 344, false, 0, 2},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(::testing::Message() << "to " << step.focused << ", width " << step.width);
        tap(step.pad);
        EXPECT_EQ(l.focused(), step.focused);
        EXPECT_EQ(width(), step.width);
        EXPECT_EQ(padWindow->listOpen(), step.listOpen);
        EXPECT_EQ(l.controls.checkValue(checkBoxNamed("Check6")), step.bulletsGlow);
        EXPECT_EQ(l.controls.listIndex(), step.mode);
        EXPECT_EQ(l.window.focusRingControl(), l.window.indexOf(GetFocus()));
    }
    EXPECT_THAT(events.events, ElementsAre("Check6", "Combo1"));
    tap(held(XINPUT_GAMEPAD_START));
    EXPECT_THAT(l.platform.calls, ElementsAre("start", "end"));
    ASSERT_EQ(l.platform.starts.size(), 1u);
    EXPECT_EQ(l.platform.starts[0].commandLine,
              "vantu.exe -nc -d v2  -d noshadow -d noglow -d saveme");
}

// Without XInput the timer stops for good, and the window is as it always was.
TEST_F(Win32Pad, WithoutXInputTheLauncherIsUnchanged) {
    startReading(noXInput);
    pump(200);
    EXPECT_EQ(fakePads.loads, 1);
    EXPECT_FALSE(timerRuns());
    EXPECT_EQ(shown->focused(), "Command1");
    press(VK_DOWN);
    EXPECT_EQ(shown->focused(), "Combo1");
}

// Empty slots are read about once a second, or at once when a device comes; a button held on a
// pad as it comes does not count; a pad that goes while a direction is held stops there (no key
// repeat from a pad that is gone).
TEST_F(Win32Pad, PadsComeAndGo) {
    Launcher& l = *shown;
    l.controls.setOuterWidthTwips(static_cast<float>(layout::kForm.wideOuterWidth));
    SetFocus(l["Check1"]);
    const ULONGLONG started = GetTickCount64();
    startReading();
    EXPECT_LT(tenReadsTake(), 5u * pad::kIdlePollMs);  // every kConnectedPollMs
    fakePads.slots[3] = held(XINPUT_GAMEPAD_DPAD_DOWN);
    // Pad 0 is read on every tick, the empty slot only on the first (unless a second passed).
    ASSERT_TRUE(readAgain(0, 5));
    const auto searches = static_cast<int>(1 + (GetTickCount64() - started) / pad::kSearchEveryMs);
    EXPECT_LE(fakePads.reads[3], searches);
    // A device change has the very next tick look at every slot (a busy machine may run more
    // ticks before the test looks again).
    const int before = fakePads.reads[3];
    const int tick = fakePads.reads[0];
    SendMessageA(l.window.window(), WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0);
    ASSERT_TRUE(readAgain(3));
    EXPECT_EQ(fakePads.ticks[3].at(static_cast<std::size_t>(before)), tick + 1);
    EXPECT_EQ(l.focused(), "Check1");  // held as it came: not a press
    fakePads.slots[3] = held(0);
    ASSERT_TRUE(readAgain(3));
    fakePads.slots[3] = held(XINPUT_GAMEPAD_DPAD_DOWN);
    ASSERT_TRUE(readAgain(3));
    EXPECT_EQ(l.focused(), "Check2");
    fakePads.slots[3].reset();
    pump(2 * static_cast<int>(pad::kRepeatDelayMs));
    EXPECT_EQ(l.focused(), "Check2");
    fakePads.slots[0].reset();
    ASSERT_TRUE(readAgain(0));
    // Every kIdlePollMs: at most three reads in 2.5 s (a busy machine only has fewer).
    EXPECT_LE(readsWhile(2500), 3);
    l.controls.setOuterWidthTwips(static_cast<float>(layout::kForm.narrowOuterWidth));
}

// Start held as the window first appears (the player still holding it from the game library's
// "Play") does not start the game; only a new press does.
TEST_F(Win32Pad, AButtonHeldAsTheWindowAppearsDoesNotCount) {
    Launcher& l = *shown;
    l.platform = testing::FakePlatform{};
    fakePads.slots[0] = held(XINPUT_GAMEPAD_START);
    startReading();
    ASSERT_TRUE(readAgain(0, 3));
    EXPECT_THAT(l.platform.calls, IsEmpty());
    tap(held(0));
    tap(held(XINPUT_GAMEPAD_START));
    EXPECT_THAT(l.platform.calls, ElementsAre("start", "end"));
}

// While another window is active the pad does nothing, and a button held when the launcher
// comes back does not count until it is pressed again.
TEST_F(Win32Pad, AnInactiveWindowIgnoresThePad) {
    Launcher& l = *shown;
    const LONG before = width();
    startReading();
    HWND other = CreateWindowExA(0, "STATIC", "another program", WS_POPUP | WS_VISIBLE, 0, 0, 80,
                                 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == other; }));
    EXPECT_FALSE(timerRuns());
    fakePads.slots[0] = held(XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_DPAD_UP);
    const int reads = fakePads.reads[0];
    pump(300);
    EXPECT_EQ(fakePads.reads[0], reads);

    SetForegroundWindow(l.window.window());
    ASSERT_TRUE(readAgain(0, 3));
    EXPECT_EQ(l.focused(), "Command1");
    EXPECT_EQ(width(), before);
    tap(held(0));
    tap(held(XINPUT_GAMEPAD_DPAD_UP));
    EXPECT_EQ(l.focused(), "Command2");
    DestroyWindow(other);
}

}  // namespace
}  // namespace vantu

// Allocation as the C++ library does it (its operator delete frees with free()), but refused on
// demand.
void* operator new(std::size_t size) {
    void* memory = vantu::refuseAllocations ? nullptr : std::malloc(size != 0 ? size : 1);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}
