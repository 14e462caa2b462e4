// A stand-in xinput1_4.dll for the end-to-end tests: pad 0 replays a script of states over time,
// the other three are never connected. The test puts it into its Wine prefix's system folder
// with a native override, so that the launcher loads it as the system's XInput.
//
// The script is the file that VANTU_PAD_SCRIPT names (a Windows path), one state a line:
//   MILLISECONDS BUTTONS [STICK_X STICK_Y]   from that time on (counted from the first call),
//                                            the buttons held (XInput's bits, hexadecimal)
//   MILLISECONDS off                         from that time on, pad 0 is not connected
// Before the first line's time the pad is connected with nothing held. A missing script is a
// pad that is never connected.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct XinputGamepad {
    WORD buttons;
    BYTE leftTrigger;
    BYTE rightTrigger;
    SHORT thumbLX;
    SHORT thumbLY;
    SHORT thumbRX;
    SHORT thumbRY;
};
struct XinputState {
    DWORD packetNumber;
    XinputGamepad gamepad;
};

struct Line {
    ULONGLONG ms;
    bool connected;
    WORD buttons;
    SHORT x, y;
};

std::vector<Line> readScript() {
    std::vector<Line> lines;
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("VANTU_PAD_SCRIPT", path, MAX_PATH) == 0)
        return lines;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return lines;
    char text[128];
    while (std::fgets(text, sizeof text, file) != nullptr) {
        unsigned long long ms = 0;
        char word[32] = {};
        int x = 0, y = 0;
        const int read = std::sscanf(text, "%llu %31s %d %d", &ms, word, &x, &y);
        if (read < 2)
            continue;
        const bool connected = std::strcmp(word, "off") != 0;
        const WORD buttons = connected ? static_cast<WORD>(std::strtoul(word, nullptr, 16)) : 0;
        lines.push_back({ms, connected, buttons, static_cast<SHORT>(x), static_cast<SHORT>(y)});
    }
    std::fclose(file);
    return lines;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI XInputGetState(DWORD user, XinputState* state) {
    static const std::vector<Line> script = readScript();
    static const ULONGLONG start = GetTickCount64();
    static DWORD packet = 0;
    if (user != 0 || script.empty() || state == nullptr)
        return ERROR_DEVICE_NOT_CONNECTED;
    const ULONGLONG now = GetTickCount64() - start;
    Line current{0, true, 0, 0, 0};
    for (const Line& line : script) {
        if (line.ms <= now)
            current = line;
    }
    if (!current.connected)
        return ERROR_DEVICE_NOT_CONNECTED;
    std::memset(state, 0, sizeof *state);
    state->packetNumber = ++packet;
    state->gamepad.buttons = current.buttons;
    state->gamepad.thumbLX = current.x;
    state->gamepad.thumbLY = current.y;
    return ERROR_SUCCESS;
}
