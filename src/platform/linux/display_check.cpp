#include "platform/linux/display_check.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

namespace vantu {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The platform asked for: the command line's, else QT_QPA_PLATFORM; empty when neither is given.
std::string requestedPlatform(const std::string& platformOption) {
    return platformOption.empty() ? environment("QT_QPA_PLATFORM") : platformOption;
}

// The parts of text between separators, the empty ones left out.
std::vector<std::string> nonEmptyParts(const std::string& text, char separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Whether something accepts connections on the Unix socket at path. Without waiting: a
// listener whose queue is full (EAGAIN) is there all the same.
bool acceptsConnections(const std::string& path) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0)
        return false;
    const bool accepted =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
        errno == EAGAIN;
    ::close(socket);
    return accepted;
}

// Whether a Wayland compositor answers where a Wayland client looks for it: its display, a path
// of its own or a name in XDG_RUNTIME_DIR. If not, why not.
std::optional<std::string> noWaylandCompositor() {
    std::string socket = waylandDisplay();
    if (!socket.starts_with('/')) {
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        if (runtime.empty())
            return "XDG_RUNTIME_DIR is not set for the Wayland display " + socket;
        socket = runtime + "/" + socket;
    }
    if (acceptsConnections(socket))
        return std::nullopt;
    return "no Wayland compositor at " + socket;
}

}  // namespace

std::string waylandDisplay() {
    const std::string name = environment("WAYLAND_DISPLAY");
    return name.empty() ? "wayland-0" : name;
}

std::vector<std::string> qtPlatforms(const std::string& platformOption) {
    const std::string requested = requestedPlatform(platformOption);
    if (requested.empty()) {
        if (!environment("WAYLAND_DISPLAY").empty() || environment("XDG_SESSION_TYPE") == "wayland")
            return {"wayland", "xcb"};
        return {"xcb"};
    }
    std::vector<std::string> platforms;
    for (const std::string& entry : nonEmptyParts(requested, ';')) {
        const std::vector<std::string> nameAndOptions = nonEmptyParts(entry, ':');
        if (nameAndOptions.empty())
            continue;
        std::string name = nameAndOptions.front();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        platforms.push_back(name);
    }
    return platforms;
}

std::optional<std::string> missingDisplay(const std::string& platformOption,
                                          const std::string& displayOption) {
    const std::string x11Display = displayOption.empty() ? environment("DISPLAY") : displayOption;
    std::string reasons;
    for (const std::string& platform : qtPlatforms(platformOption)) {
        std::optional<std::string> reason;
        if (platform == "xcb") {
            if (x11Display.empty())
                reason = "DISPLAY is not set";
        } else if (platform.starts_with("wayland")) {
            reason = noWaylandCompositor();
        }
        if (!reason)
            return std::nullopt;
        reasons += (reasons.empty() ? "" : ", and ") + *reason;
    }
    // No platform at all (";"): Qt says so itself.
    if (reasons.empty())
        return std::nullopt;
    if (requestedPlatform(platformOption).empty() && environment("WAYLAND_DISPLAY").empty() &&
        x11Display.empty())
        reasons = "neither WAYLAND_DISPLAY nor DISPLAY is set";
    return std::string(kNoDisplayPrefix) + " (" + reasons + ")";
}

bool displayAtHand(const std::string& platformOption, const std::string& displayOption) {
    const std::vector<std::string> platforms = qtPlatforms(platformOption);
    const auto showsWindows = [](const std::string& platform) {
        return platform == "xcb" || platform.starts_with("wayland");
    };
    return !platforms.empty() && std::all_of(platforms.begin(), platforms.end(), showsWindows) &&
           !missingDisplay(platformOption, displayOption);
}

}  // namespace vantu
