// Measures how long a program takes from exec until its window is mapped, and its peak memory.
//
//   bench-map-timer [--timeout SECONDS] [--settle MS] [--cwd DIR] --title TITLE --
//                   PROGRAM [ARGS...]
//
// Watches MapNotify on the root window (selected before the program starts, so no map can be
// missed) for a top-level window whose WM_NAME or _NET_WM_NAME equals TITLE. A window mapped
// under another name is watched for name changes, and counts from its map time once it gets
// the right name. Then the program is ended (SIGTERM, SIGKILL if it lingers) and reaped; with
// --settle it is left running that long first, so that its peak RSS also covers what it does
// right after the map (first paint, work on other threads).
//
// Prints one line on stdout:  map_ms=<ms from exec to map> peak_rss_mb=<peak RSS in MiB>
// Exit status: 0 measured, 1 usage error, 2 could not start or the window never came, or
// the program exited before mapping it. Interrupted by SIGINT, SIGTERM or SIGHUP, it ends the
// program all the same, then dies of that signal.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// Set by SIGINT, SIGTERM or SIGHUP: the child runs in its own process group and would not get
// a Ctrl-C, so the timer ends it before leaving.
volatile sig_atomic_t interrupted = 0;
void onSignal(int sig) {
    interrupted = sig;
}

// The program under measurement, once started: a lost X connection must not leave it behind.
pid_t childPid = 0;

// Windows may vanish between an event and our query of them; such errors are expected.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// Xlib ends the process when this returns, so it ends the program first (the X server went
// away, or the timer was interrupted while Xlib was waiting on it).
int onXConnectionLost(Display*) {
    if (childPid > 0) {
        kill(-childPid, SIGKILL);
        while (waitpid(childPid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (interrupted) {
        signal(interrupted, SIG_DFL);
        raise(interrupted);
    }
    static const char message[] = "bench-map-timer: lost the connection to the X server\n";
    (void)!write(STDERR_FILENO, message, sizeof message - 1);
    _exit(2);
}

// The raw bytes of a text property, or "" when the window lacks it (or is gone).
std::string textProperty(Display* dpy, Window w, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string value;
    if (XGetWindowProperty(dpy, w, property, 0, 1024, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 8)
            value.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return value;
}

bool hasTitle(Display* dpy, Window w, Atom netWmName, const std::string& title) {
    return textProperty(dpy, w, netWmName) == title || textProperty(dpy, w, XA_WM_NAME) == title;
}

struct Options {
    double timeoutS = 10.0;
    double settleMs = 0.0;
    const char* cwd = nullptr;
    std::string title;
    std::vector<char*> command;
};

void usage() {
    std::fprintf(
        stderr,
        "usage: bench-map-timer [--timeout SECONDS] [--settle MS] [--cwd DIR] --title TITLE "
        "-- PROGRAM [ARGS...]\n");
}

bool parse(int argc, char** argv, Options& o) {
    bool haveTitle = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            return false;
        if (arg == "--timeout") {
            char* end = nullptr;
            o.timeoutS = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(o.timeoutS > 0))
                return false;
        } else if (arg == "--settle") {
            char* end = nullptr;
            o.settleMs = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(o.settleMs >= 0 && o.settleMs <= 60000))
                return false;
        } else if (arg == "--cwd") {
            o.cwd = argv[++i];
        } else if (arg == "--title") {
            o.title = argv[++i];
            haveTitle = true;
        } else {
            return false;
        }
    }
    for (; i < argc; ++i)
        o.command.push_back(argv[i]);
    o.command.push_back(nullptr);
    return haveTitle && o.command.size() > 1;
}

// Reads exactly size bytes; false at end of file or on error.
bool readAll(int fd, void* buffer, std::size_t size) {
    auto* p = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t n = read(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Ends the child's process group: SIGTERM, then SIGKILL if it has not exited within a second.
// Reaps the child and returns its peak RSS in KiB (0 when it cannot be told).
long endChild(pid_t pid) {
    kill(-pid, SIGTERM);
    rusage usage{};
    int status = 0;
    const double deadline = nowMs() + 1000.0;
    pid_t r = 0;
    while ((r = wait4(pid, &status, WNOHANG, &usage)) == 0 && nowMs() < deadline) {
        usleep(2000);
    }
    if (r == 0) {
        kill(-pid, SIGKILL);
        while ((r = wait4(pid, &status, 0, &usage)) < 0 && errno == EINTR) {
        }
    }
    // Anything the program left in its group goes too.
    kill(-pid, SIGKILL);
    return r == pid ? usage.ru_maxrss : 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!parse(argc, argv, opt)) {
        usage();
        return 1;
    }

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &action, nullptr);

    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        std::fprintf(stderr, "bench-map-timer: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(ignoreXError);
    XSetIOErrorHandler(onXConnectionLost);
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);
    const Window root = DefaultRootWindow(dpy);
    const Atom netWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    // The child reports the moment it calls exec, or errno if exec fails, through a pipe that
    // closes on a successful exec.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        std::perror("bench-map-timer: pipe");
        return 2;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("bench-map-timer: fork");
        return 2;
    }
    if (pid == 0) {
        setpgid(0, 0);
        int err = 0;
        double failed = -1.0;  // -1: chdir failed, -2: exec failed
        if (opt.cwd != nullptr && chdir(opt.cwd) != 0) {
            err = errno;
        } else {
            failed = -2.0;
            const double t = nowMs();
            if (write(fds[1], &t, sizeof t) == sizeof t) {
                execvp(opt.command[0], opt.command.data());
            }
            err = errno;
        }
        if (write(fds[1], &failed, sizeof failed) == sizeof failed) {
            (void)!write(fds[1], &err, sizeof err);
        }
        _exit(127);
    }
    setpgid(pid, pid);  // also from here, so the group exists before any kill
    childPid = pid;
    close(fds[1]);

    // Either the exec time then end of file, or a negative marker and errno (after the exec
    // time when exec itself failed).
    double execMs = -1.0;
    int childErr = 0;
    double value = 0.0;
    if (readAll(fds[0], &value, sizeof value) && value >= 0) {
        execMs = value;
        if (!readAll(fds[0], &value, sizeof value))
            value = 0.0;
    }
    if (value < 0) {
        execMs = -1.0;
        if (!readAll(fds[0], &childErr, sizeof childErr))
            childErr = 0;
    }
    close(fds[0]);
    if (execMs < 0) {
        const char* reason = childErr != 0 ? std::strerror(childErr) : "unknown error";
        if (value == -1.0) {
            std::fprintf(stderr, "bench-map-timer: cannot enter %s: %s\n", opt.cwd, reason);
        } else {
            std::fprintf(stderr, "bench-map-timer: cannot start %s: %s\n", opt.command[0], reason);
        }
        endChild(pid);
        return 2;
    }

    std::map<Window, double> mappedUnderOtherName;  // window -> time it was mapped
    double mapMs = -1.0;
    const double deadline = execMs + opt.timeoutS * 1e3;
    bool childGone = false;
    while (mapMs < 0 && !interrupted) {
        while (mapMs < 0 && XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            const double t = nowMs();
            if (ev.type == MapNotify && ev.xmap.event == root) {
                const Window w = ev.xmap.window;
                if (hasTitle(dpy, w, netWmName, opt.title)) {
                    mapMs = t;
                } else {
                    // The name may come after the map: watch it, then look once more in case
                    // it changed before the selection took effect.
                    mappedUnderOtherName[w] = t;
                    XSelectInput(dpy, w, PropertyChangeMask);
                    if (hasTitle(dpy, w, netWmName, opt.title))
                        mapMs = t;
                }
            } else if (ev.type == PropertyNotify &&
                       (ev.xproperty.atom == netWmName || ev.xproperty.atom == XA_WM_NAME)) {
                const auto it = mappedUnderOtherName.find(ev.xproperty.window);
                if (it != mappedUnderOtherName.end() &&
                    hasTitle(dpy, it->first, netWmName, opt.title)) {
                    mapMs = it->second;
                }
            } else if (ev.type == UnmapNotify && ev.xunmap.event == root) {
                mappedUnderOtherName.erase(ev.xunmap.window);
            }
        }
        if (mapMs >= 0)
            break;
        const double left = deadline - nowMs();
        if (left <= 0)
            break;
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid) {
            childGone = true;
            break;
        }
        pollfd pfd{ConnectionNumber(dpy), POLLIN, 0};
        // Wake up now and then to notice a child that died without mapping anything.
        poll(&pfd, 1, static_cast<int>(left < 50.0 ? left + 1.0 : 50.0));
    }

    if (mapMs >= 0 && opt.settleMs > 0) {
        timespec pause{static_cast<time_t>(opt.settleMs / 1000),
                       static_cast<long>(std::fmod(opt.settleMs, 1000.0) * 1e6)};
        timespec left{};
        while (!interrupted && nanosleep(&pause, &left) != 0 && errno == EINTR)
            pause = left;
    }
    const long peakKiB = endChild(pid);
    XCloseDisplay(dpy);
    if (interrupted) {
        // Dies of the same signal, so that a calling shell sees the interruption too.
        std::fprintf(stderr, "bench-map-timer: interrupted\n");
        signal(interrupted, SIG_DFL);
        raise(interrupted);
        return 128 + interrupted;
    }
    if (mapMs < 0) {
        std::fprintf(stderr, "bench-map-timer: no window \"%s\" %s\n", opt.title.c_str(),
                     childGone ? "before the program exited" : "before the timeout");
        return 2;
    }
    std::printf("map_ms=%.3f peak_rss_mb=%.2f\n", mapMs - execMs,
                static_cast<double>(peakKiB) / 1024.0);
    return 0;
}
