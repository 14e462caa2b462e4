#include "frontend/qt/start_guard.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>

#include "platform/linux/display_check.h"

namespace vantu {
namespace {

// A message as Qt logged it, its context copied: Qt's own strings may not outlive the call.
struct HeldMessage {
    HeldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
        : type(type), line(context.line), text(text) {
        for (auto [from, to] : {std::pair{context.file, &file},
                                {context.function, &function},
                                {context.category, &category}}) {
            if (from != nullptr)
                *to = from;
        }
    }

    QtMsgType type;
    std::optional<std::string> file;
    int line;
    std::optional<std::string> function;
    std::optional<std::string> category;
    QString text;
};

// What the guard holds. Never freed: a thread of Qt's may still be inside the handler, or enter
// it, after the guard has ended. The mutex is recursive, as a handler that messages are passed
// on to may itself log.
struct Holding {
    std::recursive_mutex mutex;
    bool active = false;
    QtMessageHandler previous = nullptr;
    std::vector<HeldMessage> messages;
};

Holding& holding() {
    static Holding* const holding = new Holding;
    return *holding;
}

void passOn(QtMessageHandler previous, const HeldMessage& message) {
    const auto chars = [](const std::optional<std::string>& text) {
        return text ? text->c_str() : nullptr;
    };
    const QMessageLogContext context(chars(message.file), message.line, chars(message.function),
                                     chars(message.category));
    if (previous != nullptr)
        previous(message.type, context, message.text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message.text));
}

// The name between the first pair of double quotes in text, e.g. the plugin in Qt's
// 'Could not load the Qt platform plugin "xcb" in "" even though it was found.'
std::string quoted(const QString& text) {
    return text.section(QLatin1Char('"'), 1, 1).toStdString();
}

// The one line that says why Qt could not start, from what it said on the way: the display it
// could not connect to (only when it said so), the plugins it could not find or load, or else
// the first line of its fatal message.
std::string startFailureLine(const std::vector<HeldMessage>& said, const QString& fatal) {
    const QLatin1String noX11(QLatin1String("could not connect to display"));
    std::vector<std::string> connections;
    std::vector<std::string> plugins;
    // The plugins whose failure a failed connection explains: "xcb", "wayland".
    std::vector<std::string> notConnected;
    bool loadFailed = false;
    for (const HeldMessage& message : said) {
        const QString& text = message.text;
        if (text.startsWith(noX11)) {
            const QString display = text.mid(noX11.size()).trimmed();
            connections.push_back("cannot connect to " +
                                  (display.isEmpty() ? "the X server" : display.toStdString()));
            notConnected.push_back("xcb");
        } else if (text.startsWith(QLatin1String("Failed to create wl_display"))) {
            connections.push_back("cannot connect to the Wayland display " + waylandDisplay());
            notConnected.push_back("wayland");
        } else if (text.startsWith(QLatin1String("Could not load the Qt platform plugin"))) {
            const std::string plugin = quoted(text);
            const std::string family = plugin.starts_with("wayland") ? "wayland" : plugin;
            if (std::find(notConnected.begin(), notConnected.end(), family) == notConnected.end()) {
                plugins.push_back("the plugin \"" + plugin +
                                  "\" was found but could not be loaded");
                loadFailed = true;
            }
        } else if (text.startsWith(QLatin1String("Could not find the Qt platform plugin"))) {
            plugins.push_back("there is no plugin \"" + quoted(text) + "\"");
        }
    }
    std::string reasons;
    for (const auto* list : {&connections, &plugins}) {
        for (const std::string& reason : *list)
            reasons += (reasons.empty() ? "" : ", and ") + reason;
    }
    if (loadFailed && qEnvironmentVariableIsEmpty("QT_DEBUG_PLUGINS"))
        reasons += "; QT_DEBUG_PLUGINS=1 shows why";
    if (reasons.empty())
        reasons = fatal.section(QLatin1Char('\n'), 0, 0).trimmed().toStdString();
    return std::string(plugins.empty() && !connections.empty() ? kNoDisplayPrefix
                                                               : kNoPlatformPrefix) +
           " (" + reasons + ")";
}

// Passes the held messages on, in their order, those that passing on adds included; the caller
// holds the lock.
void passOnHeld(Holding& held) {
    for (std::size_t i = 0; i < held.messages.size(); ++i) {
        const HeldMessage message = held.messages[i];
        passOn(held.previous, message);
    }
}

void whileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    Holding& held = holding();
    std::unique_lock lock(held.mutex);
    const QtMessageHandler previous = held.previous;
    if (!held.active) {
        // The guard has ended while this thread was on its way here.
        lock.unlock();
        passOn(previous, {type, context, text});
        return;
    }
    if (type == QtFatalMsg) {
        // Qt's own account first, its fatal message with the platforms it has included, then
        // why. A message handler only reports a fatal message; Qt itself ends the process.
        held.messages.emplace_back(type, context, text);
        passOnHeld(held);
        const std::string line = startFailureLine(held.messages, text);
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
        ::_exit(1);
    }
    // Not only the "qt.qpa" ones: a platform that fails before Qt falls back to the next one
    // (Wayland, then X11) also writes plain warnings.
    held.messages.emplace_back(type, context, text);
}

}  // namespace

PlatformStartGuard::PlatformStartGuard() {
    Holding& held = holding();
    const std::lock_guard lock(held.mutex);
    held.messages.clear();
    held.active = true;
    held.previous = qInstallMessageHandler(whileStarting);
}

PlatformStartGuard::~PlatformStartGuard() {
    Holding& held = holding();
    QtMessageHandler previous = nullptr;
    {
        // Qt started after all: its messages go where they would have gone, in their order.
        // Another thread's message waits for them, and from then on is passed straight on.
        const std::lock_guard lock(held.mutex);
        passOnHeld(held);
        held.messages.clear();
        held.active = false;
        previous = held.previous;
    }
    qInstallMessageHandler(previous);
}

}  // namespace vantu
