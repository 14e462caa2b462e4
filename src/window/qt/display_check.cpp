#include "window/qt/display_check.h"

#include <unistd.h>

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

// Whether Qt will use its X11 platform: QT_QPA_PLATFORM is unset, or names xcb first
// ("xcb", "xcb:option", "xcb;wayland").
bool usesX11() {
    const std::string platform = environment("QT_QPA_PLATFORM");
    return platform.empty() || platform.starts_with("xcb");
}

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage>* held = nullptr;

void whileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const std::string_view category = context.category ? context.category : "";
    if (type == QtFatalMsg) {
        std::string reason;
        if (usesX11()) {
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
    if (category.starts_with("qt.qpa")) {
        held->push_back({type, std::string(category), text});
        return;
    }
    previousHandler(type, context, text);
}

}  // namespace

std::optional<std::string> missingDisplay() {
    if (usesX11() && environment("DISPLAY").empty())
        return std::string(kNoDisplayPrefix) + " (DISPLAY is not set)";
    return std::nullopt;
}

PlatformStartGuard::PlatformStartGuard() {
    held = new std::vector<HeldMessage>();
    previous_ = qInstallMessageHandler(whileStarting);
    previousHandler = previous_;
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
