#include "window/qt/display_check.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include <QString>

namespace vantu {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The window system that the display check found for Qt.
enum class WindowSystem { X11, Wayland, Other };
WindowSystem found = WindowSystem::X11;

// The platform asked for: the command line's, else QT_QPA_PLATFORM; empty when neither is given.
std::string requestedPlatform(const std::string& platformOption) {
    return platformOption.empty() ? environment("QT_QPA_PLATFORM") : platformOption;
}

// The platforms Qt tries, in its order: the requested list ("xcb", "wayland;xcb",
// "xcb:option"), or else its own choice, which puts Wayland first in a Wayland session.
std::vector<std::string> platformsToTry(const std::string& requested) {
    if (requested.empty()) {
        if (!environment("WAYLAND_DISPLAY").empty() || environment("XDG_SESSION_TYPE") == "wayland")
            return {"wayland", "xcb"};
        return {"xcb"};
    }
    std::vector<std::string> platforms;
    for (std::size_t start = 0; start <= requested.size();) {
        const std::size_t end = std::min(requested.find(';', start), requested.size());
        const std::string entry = requested.substr(start, end - start);
        platforms.push_back(entry.substr(0, entry.find(':')));
        start = end + 1;
    }
    return platforms;
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

// Whether a Wayland compositor answers where a Wayland client looks for it: WAYLAND_DISPLAY
// ("wayland-0" when unset), a path of its own or a name in XDG_RUNTIME_DIR. If not, why not.
std::optional<std::string> noWaylandCompositor() {
    std::string socket = environment("WAYLAND_DISPLAY");
    if (socket.empty())
        socket = "wayland-0";
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

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

std::vector<HeldMessage>* held = nullptr;

void whileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const std::string_view category = context.category ? context.category : "";
    if (type == QtFatalMsg) {
        std::string reason;
        if (found == WindowSystem::X11) {
            reason = "cannot connect to " + environment("DISPLAY");
        } else if (!held->empty()) {
            reason = held->back().text.toStdString();
        } else {
            reason = text.section(QLatin1Char('\n'), 0, 0).toStdString();
        }
        std::fprintf(stderr, "%s (%s)\n", kNoDisplayPrefix, reason.c_str());
        std::fflush(stderr);
        ::_exit(1);
    }
    // Not only the "qt.qpa" ones: a platform that fails before Qt falls back to the next one
    // (Wayland, then X11) also writes plain warnings.
    held->push_back({type, std::string(category), text});
}

}  // namespace

std::optional<std::string> missingDisplay(const std::string& platformOption) {
    const std::string requested = requestedPlatform(platformOption);
    std::string reasons;
    for (const std::string& platform : platformsToTry(requested)) {
        std::optional<std::string> reason;
        if (platform == "xcb") {
            found = WindowSystem::X11;
            if (environment("DISPLAY").empty())
                reason = "DISPLAY is not set";
        } else if (platform.starts_with("wayland")) {
            found = WindowSystem::Wayland;
            reason = noWaylandCompositor();
        } else {
            found = WindowSystem::Other;
        }
        if (!reason)
            return std::nullopt;
        reasons += (reasons.empty() ? "" : ", and ") + *reason;
    }
    if (requested.empty() && environment("WAYLAND_DISPLAY").empty() &&
        environment("DISPLAY").empty())
        reasons = "neither WAYLAND_DISPLAY nor DISPLAY is set";
    return std::string(kNoDisplayPrefix) + " (" + reasons + ")";
}

PlatformStartGuard::PlatformStartGuard() {
    held = new std::vector<HeldMessage>();
    previous_ = qInstallMessageHandler(whileStarting);
}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(previous_);
    // Qt started after all: its messages go where they would have gone.
    for (const HeldMessage& message : *held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        previous_(message.type, context, message.text);
    }
    delete held;
    held = nullptr;
}

}  // namespace vantu
