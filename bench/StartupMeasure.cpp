// Whole-process start-up time and peak memory of window programs, measured side by side.
//
//   startup-measure [--runs N] [--warmup N] [--settle MS] [--timeout S] [--max-ratio R]
//                   [<program>...]
//
// Without programs it measures the build's own: the bare Qt Widgets window (the reference) and
// the program, which reads the data directory the build writes beside it. Everything runs in a
// private X server (Xvfb, 1024x768) that it starts and ends itself. Each run starts every
// program once, in the order given, so that noise on the machine falls on all of them alike; the
// first --warmup rounds (default 1) fill the page cache and are not counted. For one start:
//   - the clock (monotonic) is read, the program is forked and executed with QT_QPA_PLATFORM=xcb;
//   - start-up ends when the X server reports a MapNotify for a top-level window that was created
//     after the start (and, where the window carries _NET_WM_PID, by that process);
//   - first paint is when the window first shows pixels of its own: a row and a column through its
//     middle are read back (XGetImage) every 0.2 ms until they differ from the empty screen under
//     them (read once before the first start; an unpainted Qt window shows what lies beneath), so
//     the measure is the same for any program and needs nothing from it;
//   - then events are drained for --settle ms (default 500) so the window is painted, and VmHWM,
//     the peak resident set, is read from /proc/<pid>/status (with RssAnon, the private
//     anonymous part at that moment, shown for context: VmHWM also counts shared library and
//     font-file pages);
//   - the program gets SIGTERM, SIGKILL after 3 s, and is reaped; the next start waits (at most
//     2 s) until the server has destroyed the program's windows.
// Prints per program the median and minimum start-up (ms) and the median VmHWM (MiB), then each
// program's ratios to the first one given (the reference).
//
// Exit status: 0 measured; 1 a measurement failed (the X server did not start, exec failure, no
// window within
// --timeout seconds (default 20), the program ended early); 2 bad usage; 3 --max-ratio given and
// a median start-up or median VmHWM ratio exceeds it.

#include "XServer.h"

#include <QCoreApplication>
#include <QTemporaryDir>

// Last: Xlib's macros would clash with the names in the Qt headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int runs = 15;
    int warmup = 1;
    int settleMs = 500;
    int timeoutS = 20;
    std::optional<double> maxRatio;
    std::vector<std::string> programs;
};

struct Sample {
    double startupMs = 0;
    double paintMs = 0; // to the first painted frame
    long hwmKb = 0;
    long anonKb = 0; // RssAnon at the same moment: the private part, for context
};

struct WindowSeen {
    unsigned width = 0, height = 0;
    std::string title;
};

struct Result {
    std::vector<Sample> samples;
    WindowSeen window; // from the last counted run
};

Display *display = nullptr;
pid_t child = 0;
// Static, so that a failure's exit ends the server too.
std::optional<QTemporaryDir> scratch;
std::optional<vaporica::e2e::XServer> server;

[[noreturn]] void fail(const std::string &message) {
    std::fprintf(stderr, "startup-measure: %s\n", message.c_str());
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    std::exit(1);
}

[[noreturn]] void usage(const std::string &message) {
    std::fprintf(stderr,
                 "startup-measure: %s\n"
                 "usage: startup-measure [--runs N] [--warmup N] [--settle MS] [--timeout S] "
                 "[--max-ratio R] [<program>...]\n",
                 message.c_str());
    std::exit(2);
}

std::string baseName(const std::string &path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

double number(const char *option, const char *text, double least) {
    char *end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !(value >= least))
        usage(std::string(option) + " needs a number of at least " +
              std::to_string(static_cast<int>(least)) + ", not \"" + text + "\"");
    return value;
}

Options parse(int argc, char **argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char * {
            if (i + 1 >= argc)
                usage(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--runs")
            o.runs = static_cast<int>(number("--runs", value(), 1));
        else if (arg == "--warmup")
            o.warmup = static_cast<int>(number("--warmup", value(), 0));
        else if (arg == "--settle")
            o.settleMs = static_cast<int>(number("--settle", value(), 0));
        else if (arg == "--timeout")
            o.timeoutS = static_cast<int>(number("--timeout", value(), 1));
        else if (arg == "--max-ratio")
            o.maxRatio = number("--max-ratio", value(), 0);
        else if (arg.rfind("--", 0) == 0)
            usage("unknown option " + arg);
        else
            o.programs.push_back(arg);
    }
    if (o.programs.empty()) {
        if (access(VAPORICA_DATA_DIR "/説明/mondai.txt", R_OK) != 0)
            fail("no data directory beside " VAPORICA_EXECUTABLE
                 " (build the target material first)");
        o.programs = {BARE_WINDOW_EXECUTABLE, VAPORICA_EXECUTABLE};
    }
    return o;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Windows that vanish between an event and a query must not end the measurement.
int ignoreXErrors(Display *, XErrorEvent *) {
    return 0;
}

std::string describeStatus(int status) {
    if (WIFEXITED(status))
        return "exited with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return std::string("was killed by signal ") + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    return "ended with wait status " + std::to_string(status);
}

std::string tail(std::FILE *output) {
    std::string text;
    if (output == nullptr)
        return text;
    std::fflush(output);
    std::fseek(output, 0, SEEK_END);
    const long size = std::max(0L, std::ftell(output));
    const long from = std::max(0L, size - 4000);
    std::fseek(output, from, SEEK_SET);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, output)) > 0)
        text.append(buffer, n);
    return text;
}

// Fails with the program's own output when it has ended.
void checkAlive(const std::string &name, std::FILE *output, const char *when) {
    int status = 0;
    const pid_t r = waitpid(child, &status, WNOHANG);
    if (r == 0)
        return;
    child = 0;
    std::string message = name + " " + (r < 0 ? "vanished" : describeStatus(status)) + " " + when;
    const std::string out = tail(output);
    if (!out.empty())
        message += "; its output:\n" + out;
    fail(message);
}

pid_t startProgram(const std::string &path, std::FILE *output) {
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        fail(std::string("pipe: ") + std::strerror(errno));
    const pid_t pid = fork();
    if (pid < 0)
        fail(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        close(report[0]);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        const int fd = fileno(output);
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        char *const argv[] = {const_cast<char *>(path.c_str()), nullptr};
        execv(path.c_str(), argv);
        const int error = errno;
        (void)!write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int error = 0;
    ssize_t n;
    while ((n = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    if (n > 0) {
        waitpid(pid, nullptr, 0);
        fail("cannot run " + path + ": " + std::strerror(error));
    }
    return pid;
}

void drainQueued() {
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent e;
        XNextEvent(display, &e);
    }
}

// Waits at most until the deadline for X events; false when the deadline passed.
bool waitForEvent(Clock::time_point deadline, int sliceMs) {
    if (XPending(display) > 0)
        return true;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0)
        return false;
    pollfd p{ConnectionNumber(display), POLLIN, 0};
    const int r = poll(&p, 1, static_cast<int>(std::min<long>(left.count() + 1, sliceMs)));
    if (r < 0 && errno != EINTR)
        fail(std::string("poll on the X connection: ") + std::strerror(errno));
    if (r > 0 && (p.revents & (POLLERR | POLLHUP)))
        fail("the X server closed the connection");
    return true;
}

std::optional<long> windowPid(Window w) {
    static const Atom netWmPid = XInternAtom(display, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    std::optional<long> pid;
    if (XGetWindowProperty(display, w, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && format == 32 && count == 1)
        pid = *reinterpret_cast<long *>(data);
    if (data != nullptr)
        XFree(data);
    return pid;
}

WindowSeen describeWindow(Window w) {
    WindowSeen seen;
    XWindowAttributes a;
    if (XGetWindowAttributes(display, w, &a) != 0) {
        seen.width = static_cast<unsigned>(a.width);
        seen.height = static_cast<unsigned>(a.height);
    }
    static const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    static const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display, w, netWmName, 0, 256, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && format == 8)
        seen.title.assign(reinterpret_cast<char *>(data), count);
    if (data != nullptr)
        XFree(data);
    return seen;
}

// VmHWM and RssAnon (kB) from /proc/<pid>/status.
void readMemory(pid_t pid, Sample &s) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    std::FILE *f = std::fopen(path.c_str(), "r");
    if (f == nullptr)
        fail("cannot read " + path + ": " + std::strerror(errno));
    char line[256];
    s.hwmKb = s.anonKb = -1;
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (std::sscanf(line, "VmHWM: %ld kB", &s.hwmKb) != 1)
            std::sscanf(line, "RssAnon: %ld kB", &s.anonKb);
    std::fclose(f);
    if (s.hwmKb < 0 || s.anonKb < 0)
        fail("no VmHWM or RssAnon line in " + path);
}

void stopChild() {
    kill(child, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    int status;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        usleep(5000);
    }
    child = 0;
}

// Follows the top-level windows created since the start until they are destroyed.
void trackWindows(std::set<Window> &created) {
    while (XPending(display) > 0) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == CreateNotify && !e.xcreatewindow.override_redirect)
            created.insert(e.xcreatewindow.window);
        else if (e.type == DestroyNotify)
            created.erase(e.xdestroywindow.window);
    }
}

XImage *emptyScreen = nullptr; // the root window before any program is started

// A row and a column through the middle of the window: as the server holds them now, or, with
// `beneath`, as the empty screen held them there.
std::vector<unsigned long> middleCross(Window window, const WindowSeen &seen, bool beneath) {
    int left = 0, top = 0;
    Window ignored;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &left, &top, &ignored);
    std::vector<unsigned long> pixels;
    const auto read = [&](int x, int y, unsigned w, unsigned h) {
        if (beneath) {
            for (unsigned j = 0; j < h; ++j)
                for (unsigned i = 0; i < w; ++i) {
                    const int rx = left + x + int(i), ry = top + y + int(j);
                    const bool on =
                        rx >= 0 && ry >= 0 && rx < emptyScreen->width && ry < emptyScreen->height;
                    pixels.push_back(on ? XGetPixel(emptyScreen, rx, ry) : 0);
                }
            return;
        }
        XImage *image = XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap);
        if (image == nullptr)
            return;
        for (unsigned j = 0; j < h; ++j)
            for (unsigned i = 0; i < w; ++i)
                pixels.push_back(XGetPixel(image, int(i), int(j)));
        XDestroyImage(image);
    };
    read(0, int(seen.height / 2), seen.width, 1);
    read(int(seen.width / 2), 0, 1, seen.height);
    return pixels;
}

// Milliseconds since `start` when the mapped window first shows pixels of its own.
double firstPaint(Window window, const WindowSeen &seen, Clock::time_point start,
                  Clock::time_point deadline, const std::string &name) {
    const std::vector<unsigned long> unpainted = middleCross(window, seen, true);
    while (Clock::now() < deadline) {
        if (middleCross(window, seen, false) != unpainted)
            return millisecondsSince(start);
        usleep(200);
    }
    fail(name + " painted nothing in its window");
}

Sample measureOnce(const Options &o, const std::string &path, WindowSeen &seen) {
    const std::string name = baseName(path);
    std::FILE *output = std::tmpfile();
    if (output == nullptr)
        fail(std::string("tmpfile: ") + std::strerror(errno));
    drainQueued();

    const Clock::time_point start = Clock::now();
    child = startProgram(path, output);

    std::set<Window> created;
    std::optional<double> mappedAfter;
    Window mapped = 0;
    const auto deadline = start + std::chrono::seconds(o.timeoutS);
    while (!mappedAfter) {
        if (!waitForEvent(deadline, 50))
            fail(name + " showed no window within " + std::to_string(o.timeoutS) + " s");
        while (XPending(display) > 0) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == CreateNotify && !e.xcreatewindow.override_redirect) {
                created.insert(e.xcreatewindow.window);
            } else if (e.type == DestroyNotify) {
                created.erase(e.xdestroywindow.window);
            } else if (e.type == MapNotify && created.count(e.xmap.window) > 0 &&
                       !e.xmap.override_redirect) {
                const double ms = millisecondsSince(start);
                const std::optional<long> owner = windowPid(e.xmap.window);
                if (!owner || *owner == child) {
                    mappedAfter = ms;
                    mapped = e.xmap.window;
                    break;
                }
            }
        }
        checkAlive(name, output, "before showing a window");
    }
    seen = describeWindow(mapped);
    const double paintedAfter = firstPaint(mapped, seen, start, deadline, name);

    const auto settled = Clock::now() + std::chrono::milliseconds(o.settleMs);
    while (waitForEvent(settled, 50)) {
        trackWindows(created);
        checkAlive(name, output, "while its window was shown");
    }
    checkAlive(name, output, "while its window was shown");
    Sample sample;
    sample.startupMs = *mappedAfter;
    sample.paintMs = paintedAfter;
    readMemory(child, sample);
    stopChild();
    std::fclose(output);

    // The next start must not overlap the server's clean-up of this client.
    const auto cleared = Clock::now() + std::chrono::seconds(2);
    while (!created.empty() && waitForEvent(cleared, 50))
        trackWindows(created);
    return sample;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double medianStartup(const Result &r) {
    std::vector<double> v;
    for (const Sample &s : r.samples)
        v.push_back(s.startupMs);
    return median(v);
}

double medianPaint(const Result &r) {
    std::vector<double> v;
    for (const Sample &s : r.samples)
        v.push_back(s.paintMs);
    return median(v);
}

double minStartup(const Result &r) {
    double m = r.samples.front().startupMs;
    for (const Sample &s : r.samples)
        m = std::min(m, s.startupMs);
    return m;
}

double medianHwmMiB(const Result &r) {
    std::vector<double> v;
    for (const Sample &s : r.samples)
        v.push_back(s.hwmKb / 1024.0);
    return median(v);
}

double medianAnonMiB(const Result &r) {
    std::vector<double> v;
    for (const Sample &s : r.samples)
        v.push_back(s.anonKb / 1024.0);
    return median(v);
}

} // namespace

int main(int argc, char **argv) {
    const Options o = parse(argc, argv);
    for (const std::string &p : o.programs)
        if (access(p.c_str(), X_OK) != 0)
            usage("cannot execute " + p + ": " + std::strerror(errno));

    // The programs measured inherit the private server through DISPLAY.
    QCoreApplication app(argc, argv);
    scratch.emplace();
    if (!scratch->isValid())
        fail("no scratch directory for the X server: " + scratch->errorString().toStdString());
    server.emplace(scratch->path(), QSize(1024, 768));
    if (server->display().isEmpty())
        fail("the private X server (Xvfb) did not start within 10 s");
    setenv("DISPLAY", server->display().toLocal8Bit().constData(), 1);
    display = XOpenDisplay(nullptr);
    if (display == nullptr)
        fail("cannot open the private X display " + server->display().toStdString());
    XSetErrorHandler(ignoreXErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    XWindowAttributes root{};
    XGetWindowAttributes(display, DefaultRootWindow(display), &root);
    emptyScreen = XGetImage(display, DefaultRootWindow(display), 0, 0, unsigned(root.width),
                            unsigned(root.height), AllPlanes, ZPixmap);
    if (emptyScreen == nullptr)
        fail("cannot read the empty screen");

    std::printf("start-up: process start until its first top-level window is mapped, and until "
                "its first painted frame; VmHWM read %d ms after mapping\n%d counted run(s) after "
                "%d warm-up round(s), programs interleaved\n",
                o.settleMs, o.runs, o.warmup);
    std::fflush(stdout);

    std::vector<Result> results(o.programs.size());
    for (int run = -o.warmup; run < o.runs; ++run) {
        for (std::size_t p = 0; p < o.programs.size(); ++p) {
            WindowSeen seen;
            const Sample s = measureOnce(o, o.programs[p], seen);
            const bool counted = run >= 0;
            std::printf("%s %2d  %-16s %8.1f ms  painted %8.1f ms  VmHWM %6.1f MiB  RssAnon %5.1f "
                        "MiB\n",
                        counted ? "run   " : "warmup", counted ? run + 1 : run + o.warmup + 1,
                        baseName(o.programs[p]).c_str(), s.startupMs, s.paintMs, s.hwmKb / 1024.0,
                        s.anonKb / 1024.0);
            std::fflush(stdout);
            if (counted) {
                results[p].samples.push_back(s);
                results[p].window = seen;
            }
        }
    }

    std::printf("\n%-16s %15s %12s %15s %18s %18s  window\n", "program", "start-up median", "min",
                "painted median", "VmHWM median", "(RssAnon median)");
    for (std::size_t p = 0; p < o.programs.size(); ++p) {
        const Result &r = results[p];
        std::printf("%-16s %12.1f ms %9.1f ms %12.1f ms %14.1f MiB %14.1f MiB  %ux%u \"%s\"\n",
                    baseName(o.programs[p]).c_str(), medianStartup(r), minStartup(r),
                    medianPaint(r), medianHwmMiB(r), medianAnonMiB(r), r.window.width,
                    r.window.height, r.window.title.c_str());
    }

    bool exceeded = false;
    if (o.programs.size() > 1) {
        const Result &ref = results.front();
        std::printf("\nratios to %s:\n%-16s %15s %12s %15s %18s\n", baseName(o.programs[0]).c_str(),
                    "program", "start-up median", "min", "painted median", "VmHWM median");
        for (std::size_t p = 1; p < o.programs.size(); ++p) {
            const Result &r = results[p];
            const double startup = medianStartup(r) / medianStartup(ref);
            const double fastest = minStartup(r) / minStartup(ref);
            const double memory = medianHwmMiB(r) / medianHwmMiB(ref);
            const double painted = medianPaint(r) / medianPaint(ref);
            std::printf("%-16s %14.2fx %11.2fx %14.2fx %17.2fx\n", baseName(o.programs[p]).c_str(),
                        startup, fastest, painted, memory);
            if (o.maxRatio && (startup > *o.maxRatio || memory > *o.maxRatio)) {
                exceeded = true;
                std::fprintf(stderr,
                             "startup-measure: %s exceeds the limit %.2fx (start-up %.2fx, VmHWM "
                             "%.2fx)\n",
                             baseName(o.programs[p]).c_str(), *o.maxRatio, startup, memory);
            }
        }
    }
    XDestroyImage(emptyScreen);
    XCloseDisplay(display);
    server.reset();
    return exceeded ? 3 : 0;
}
