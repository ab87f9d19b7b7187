// What the X11 tests share: the private display the fixture started, windows
// the tests make, the mirrowen program run as a child, and pixels read back
// from the X server.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace x11test {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The display of the session fixture (the first line of its display file).
inline std::string SessionDisplay() {
    std::string text = ReadFile(std::string(MIRROWEN_X11_SESSION) + "/display");
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

inline std::string Hex(unsigned long n) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", n);
    return text;
}

// One run of the program: its process id and where its stderr goes. A run
// still going when the test ends (a failed assertion) is killed.
struct Child {
    pid_t Pid = -1;
    std::string ErrorFile;
    std::string Errors() const { return ReadFile(ErrorFile); }
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    Child(Child&& other) noexcept : Pid(other.Pid), ErrorFile(std::move(other.ErrorFile)) { other.Pid = -1; }
    Child& operator=(Child&& other) noexcept {
        std::swap(Pid, other.Pid);
        std::swap(ErrorFile, other.ErrorFile);
        return *this;
    }
    ~Child() {
        if (Pid > 0) {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
    }
};

// Starts mirrowen with args on the session display; extra "NAME=V" entries
// are added to (or replace in) the environment.
inline Child Start(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
    static int runs = 0;
    Child child;
    child.ErrorFile = std::string(MIRROWEN_X11_SESSION) + "/run" + std::to_string(getpid()) + "_" +
                      std::to_string(++runs) + ".err";
    std::vector<std::string> envText;
    auto overridden = [&](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('=') + 1);
        for (const std::string& e : env)
            if (e.compare(0, name.size(), name) == 0) return true;
        return name == "DISPLAY=" || name == "ASAN_OPTIONS=";
    };
    for (char** e = environ; *e != nullptr; ++e)
        if (!overridden(*e)) envText.push_back(*e);
    envText.push_back("DISPLAY=" + SessionDisplay());
    // Mesa's allocations are not ours to account for.
    envText.push_back("ASAN_OPTIONS=detect_leaks=0");
    for (const std::string& e : env) envText.push_back(e);

    std::vector<char*> argv{const_cast<char*>(MIRROWEN_PROGRAM)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : envText) envp.push_back(&e[0]);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, child.ErrorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&child.Pid, MIRROWEN_PROGRAM, &actions, nullptr, argv.data(), envp.data()) != 0) child.Pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// The exit status as waitpid gives it, or -1 when the child is still
// running after `seconds` (it is then killed).
inline int Wait(Child& child, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child.Pid, &status, WNOHANG);
        if (done == child.Pid) {
            child.Pid = -1;
            return status;
        }
        if (std::chrono::steady_clock::now() > end) {
            kill(child.Pid, SIGKILL);
            waitpid(child.Pid, &status, 0);
            child.Pid = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Exit code 0 from a normal end.
inline bool EndedCleanly(int status) { return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }

inline bool WaitUntil(const std::function<bool()>& condition, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

struct Rgb {
    int R, G, B;
};

// A window's contents as the server holds them; (x, y) from the top-left.
struct Pixels {
    int Width = 0;
    int Height = 0;
    std::vector<Rgb> Data;
    Rgb At(int x, int y) const { return Data[static_cast<std::size_t>(y) * Width + x]; }
    int Brightest(int x, int y, int radius) const {
        int best = 0;
        for (int j = y - radius; j <= y + radius; ++j)
            for (int i = x - radius; i <= x + radius; ++i)
                if (i >= 0 && j >= 0 && i < Width && j < Height) best = std::max(best, At(i, j).R);
        return best;
    }
    // Lit pixels whose (x, y) satisfies the test.
    int LitWhere(const std::function<bool(int, int)>& where) const {
        int n = 0;
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                const Rgb p = At(x, y);
                if ((p.R | p.G | p.B) != 0 && where(x, y)) ++n;
            }
        return n;
    }
};

inline int Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

// Empty while the window is not viewable.
inline Pixels Read(Display* dpy, Window window) {
    Pixels pixels;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(dpy, window, &attributes) || attributes.map_state != IsViewable) return pixels;
    XImage* image = XGetImage(dpy, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return pixels;
    pixels.Width = attributes.width;
    pixels.Height = attributes.height;
    pixels.Data.resize(static_cast<std::size_t>(pixels.Width) * pixels.Height);
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            pixels.Data[static_cast<std::size_t>(y) * pixels.Width + x] =
                Rgb{Channel(p, image->red_mask), Channel(p, image->green_mask), Channel(p, image->blue_mask)};
        }
    XDestroyImage(image);
    return pixels;
}

// The top-level window named "Mirrowen", or 0.
inline Window FindSaverWindow(Display* dpy) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(dpy, children[i], &name) && name != nullptr) {
            if (std::string(name) == "Mirrowen") found = children[i];
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

// Xlib's own handler would end the test program on the first protocol error.
inline int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The test's own connection and the windows it made.
class Session {
public:
    Display* Dpy = nullptr;
    Session() {
        Dpy = XOpenDisplay(SessionDisplay().c_str());
        XSetErrorHandler(IgnoreXError);
    }
    ~Session() {
        if (Dpy != nullptr) XCloseDisplay(Dpy);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // A mapped, black top-level window of the default visual.
    Window MakeWindow(int width, int height, int x = 100, int y = 100) {
        const int screen = DefaultScreen(Dpy);
        Window w = XCreateSimpleWindow(Dpy, RootWindow(Dpy, screen), x, y, static_cast<unsigned>(width),
                                       static_cast<unsigned>(height), 0, 0, BlackPixel(Dpy, screen));
        XMapRaised(Dpy, w);
        XSync(Dpy, False);
        return w;
    }
    void Clear(Window w) {
        XClearWindow(Dpy, w);
        XSync(Dpy, False);
    }
};

}  // namespace x11test
