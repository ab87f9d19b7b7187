// The mirrowen program on a private Xvfb (Mesa llvmpipe), run as XScreenSaver
// runs a display mode; what it drew is read back from the X server.
#include <gtest/gtest.h>

#include <GL/glx.h>
#include <X11/Xatom.h>

#include "settings/file_store.h"
#include "x11_test_support.h"

using namespace x11test;

namespace {

// Corona 100 at StarSize 4: a quad 120 units square, lit out to about 51
// units from its centre; no star is born on the first frame.
const std::vector<std::string> CoronaOnly = {"-corona", "100", "-size", "4", "-no-lens-flare"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

int RunToEnd(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
             std::string* errors = nullptr) {
    Child child = Start(args, env);
    const int status = Wait(child, 30);
    if (errors != nullptr) *errors = child.Errors();
    return status;
}

}  // namespace

TEST(X11WindowId, FirstFrameShowsCoronasAtTheOrigins) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(640, 480);
    // One unit is one pixel; the origins start at the configured size's centre.
    ASSERT_TRUE(EndedCleanly(RunToEnd(With({"-window-id", Hex(w), "-frames", "1"}, CoronaOnly))));
    Pixels p = Read(x.Dpy, w);
    ASSERT_EQ(p.Width, 640);
    EXPECT_GE(p.At(320, 479 - 240).R, 250);
    EXPECT_GT(p.Brightest(320 + 40, 479 - 240, 1), 0);
    EXPECT_EQ(p.Brightest(320 + 90, 479 - 240, 3), 0);
    EXPECT_EQ(p.Brightest(30, 30, 5), 0);

    // A decimal id; an 800 x 600 configuration puts the origins at (400, 300).
    x.Clear(w);
    ASSERT_TRUE(EndedCleanly(
        RunToEnd(With({"-window-id", std::to_string(w), "-frames", "1", "-resolution", "800x600"}, CoronaOnly))));
    p = Read(x.Dpy, w);
    EXPECT_GE(p.At(400, 479 - 300).R, 250);
    EXPECT_EQ(p.Brightest(320, 479 - 240, 2), 0);

    // Without corona the first frame is black: no star has been born yet.
    x.Clear(w);
    ASSERT_TRUE(EndedCleanly(RunToEnd({"-window-id", Hex(w), "-frames", "1", "-corona", "0"})));
    p = Read(x.Dpy, w);
    EXPECT_EQ(p.LitWhere([](int, int) { return true; }), 0);
    // Later frames show stars.
    ASSERT_TRUE(EndedCleanly(RunToEnd({"-window-id", Hex(w), "-frames", "120", "-corona", "0"})));
    p = Read(x.Dpy, w);
    EXPECT_GT(p.LitWhere([](int, int) { return true; }), 0);
}

TEST(X11WindowId, DrawingSpaceStretchesOverTheWindow) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(320, 240);
    ASSERT_TRUE(EndedCleanly(RunToEnd(With({"-window-id", Hex(w), "-frames", "1"}, CoronaOnly))));
    const Pixels p = Read(x.Dpy, w);
    ASSERT_EQ(p.Width, 320);
    // Half the units across and up: the corona's lit radius is now about 26 pixels.
    EXPECT_GE(p.At(160, 239 - 120).R, 250);
    EXPECT_GT(p.Brightest(160 + 20, 239 - 120, 1), 0);
    EXPECT_EQ(p.Brightest(160 + 40, 239 - 120, 2), 0);
    EXPECT_EQ(p.Brightest(160, 239 - 120 - 40, 2), 0);
}

TEST(X11WindowId, BadWindowEndsWithAMessage) {
    std::string errors;
    const int status = RunToEnd({"-window-id", "0x7ffffff0", "-frames", "1"}, {}, &errors);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(errors.find("window 0x7ffffff0"), std::string::npos) << errors;

    for (const char* bad : {"12x", "-5", "0", "0x"}) {
        const int s = RunToEnd({"-window-id", bad}, {}, &errors);
        EXPECT_TRUE(WIFEXITED(s) && WEXITSTATUS(s) == 1) << bad;
        EXPECT_NE(errors.find("-window-id needs a window number"), std::string::npos) << errors;
    }
}

// -renderer shader runs to its end; where the context offers no GLSL 3.30
// it says so and ends with 1 rather than draw nothing.
TEST(X11Program, ShaderRendererRunsOrSaysWhyNot) {
    std::string errors;
    int status = RunToEnd({"-window", "-renderer", "shader", "-frames", "5"}, {}, &errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << errors;
    EXPECT_EQ(errors, "");
    status = RunToEnd({"-window", "-renderer", "shader", "-frames", "5"},
                      {"MESA_GL_VERSION_OVERRIDE=2.1", "MESA_GLSL_VERSION_OVERRIDE=120"}, &errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(errors.rfind("mirrowen: the shader renderer needs OpenGL 3.3 or OpenGL ES 3.0; here its ", 0), 0u)
        << errors;
}

TEST(X11Root, DrawsIntoTheWindowXScreenSaverNames) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(640, 480, 300, 200);
    ASSERT_TRUE(EndedCleanly(RunToEnd(With({"-root", "-frames", "1"}, CoronaOnly), {"XSCREENSAVER_WINDOW=" + Hex(w)})));
    Pixels p = Read(x.Dpy, w);
    EXPECT_GE(p.At(320, 479 - 240).R, 250);
    EXPECT_EQ(p.Brightest(30, 30, 5), 0);

    // Decimal, as some versions write it.
    x.Clear(w);
    ASSERT_TRUE(EndedCleanly(
        RunToEnd(With({"--root", "-frames", "1"}, CoronaOnly), {"XSCREENSAVER_WINDOW=" + std::to_string(w)})));
    p = Read(x.Dpy, w);
    EXPECT_GE(p.At(320, 479 - 240).R, 250);

    std::string errors;
    const int status = RunToEnd({"-root", "-frames", "1"}, {"XSCREENSAVER_WINDOW=nonsense"}, &errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(errors.find("XSCREENSAVER_WINDOW"), std::string::npos) << errors;
}

TEST(X11Run, ViewportFollowsAResizeAndSigtermEndsWithZero) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(320, 240);
    // Lens flare: whatever the origin, part of the picture lies outside the
    // bottom-left quarter of the drawing space (the mirrored flare elements).
    Child child = Start({"-window-id", Hex(w), "-corona", "100", "-size", "10", "-lens-flare"});
    ASSERT_GT(child.Pid, 0);
    ASSERT_TRUE(WaitUntil([&] { return Read(x.Dpy, w).LitWhere([](int, int) { return true; }) > 0; }, 20));

    XResizeWindow(x.Dpy, w, 640, 480);
    XSync(x.Dpy, False);
    // With the old viewport nothing would be drawn outside its 320 x 240
    // pixels at the bottom left.
    const bool grew = WaitUntil(
        [&] {
            const Pixels p = Read(x.Dpy, w);
            return p.Width == 640 && p.LitWhere([](int px, int py) { return px >= 330 || py < 480 - 250; }) > 0;
        },
        20);
    EXPECT_TRUE(grew);

    kill(child.Pid, SIGTERM);
    const int status = Wait(child, 10);
    EXPECT_TRUE(EndedCleanly(status)) << status << " " << child.Errors();
}

TEST(X11Run, SigintEndsWithZero) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(200, 150);
    Child child = Start({"-window-id", Hex(w)});
    ASSERT_TRUE(WaitUntil([&] { return Read(x.Dpy, w).LitWhere([](int, int) { return true; }) > 0; }, 20));
    kill(child.Pid, SIGINT);
    EXPECT_TRUE(EndedCleanly(Wait(child, 10)));
}

TEST(X11OwnWindow, GeometryIsHonouredAndAKeyEndsIt) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    Child child = Start({"-window", "-geometry", "300x200+10+20"});
    Window w = 0;
    ASSERT_TRUE(WaitUntil([&] { return (w = FindSaverWindow(x.Dpy)) != 0; }, 20));
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x.Dpy, w, &a));
    EXPECT_EQ(a.width, 300);
    EXPECT_EQ(a.height, 200);
    EXPECT_EQ(a.x, 10);
    EXPECT_EQ(a.y, 20);
    ASSERT_TRUE(WaitUntil([&] { return Read(x.Dpy, w).LitWhere([](int, int) { return true; }) > 0; }, 20));

    XEvent key = {};
    key.xkey.type = KeyPress;
    key.xkey.display = x.Dpy;
    key.xkey.window = w;
    key.xkey.root = DefaultRootWindow(x.Dpy);
    key.xkey.keycode = XKeysymToKeycode(x.Dpy, XStringToKeysym("space"));
    key.xkey.same_screen = True;
    XSendEvent(x.Dpy, w, False, KeyPressMask, &key);
    XSync(x.Dpy, False);
    EXPECT_TRUE(EndedCleanly(Wait(child, 10)));
    EXPECT_TRUE(WaitUntil([&] { return FindSaverWindow(x.Dpy) == 0; }, 5));
}

TEST(X11OwnWindow, DefaultSizeAndAButtonOrTheCloseEndIt) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    Child child = Start({"-window"});
    Window w = 0;
    ASSERT_TRUE(WaitUntil([&] { return (w = FindSaverWindow(x.Dpy)) != 0; }, 20));
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(x.Dpy, w, &a));
    EXPECT_EQ(a.width, 1024);
    EXPECT_EQ(a.height, 768);
    XEvent button = {};
    button.xbutton.type = ButtonPress;
    button.xbutton.window = w;
    button.xbutton.button = Button1;
    button.xbutton.same_screen = True;
    XSendEvent(x.Dpy, w, False, ButtonPressMask, &button);
    XSync(x.Dpy, False);
    EXPECT_TRUE(EndedCleanly(Wait(child, 10)));

    // The window manager's close: WM_DELETE_WINDOW in WM_PROTOCOLS.
    child = Start({"-window"});
    w = 0;
    ASSERT_TRUE(WaitUntil([&] { return (w = FindSaverWindow(x.Dpy)) != 0; }, 20));
    XEvent close = {};
    close.xclient.type = ClientMessage;
    close.xclient.window = w;
    close.xclient.message_type = XInternAtom(x.Dpy, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x.Dpy, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.Dpy, w, False, NoEventMask, &close);
    XSync(x.Dpy, False);
    EXPECT_TRUE(EndedCleanly(Wait(child, 10)));
}

TEST(X11WindowId, InputToAForeignWindowDoesNotEndTheRun) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(200, 150);
    Child child = Start({"-window-id", Hex(w)});
    ASSERT_TRUE(WaitUntil([&] { return Read(x.Dpy, w).LitWhere([](int, int) { return true; }) > 0; }, 20));
    XEvent button = {};
    button.xbutton.type = ButtonPress;
    button.xbutton.window = w;
    button.xbutton.button = Button1;
    XSendEvent(x.Dpy, w, True, ButtonPressMask | StructureNotifyMask, &button);
    XSync(x.Dpy, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(waitpid(child.Pid, nullptr, WNOHANG), 0);  // still running
    kill(child.Pid, SIGTERM);
    EXPECT_TRUE(EndedCleanly(Wait(child, 10)));
}

namespace {

struct TempConfig {
    std::string Dir;
    TempConfig() {
        char pattern[] = "/tmp/mirrowen_x11_cfgXXXXXX";
        Dir = mkdtemp(pattern);
    }
    ~TempConfig() { std::system(("rm -rf '" + Dir + "'").c_str()); }
    std::string File() const { return Dir + "/mirrowen/mirrowen.reg"; }
    std::string Env() const { return "XDG_CONFIG_HOME=" + Dir; }
};

// The saver values the file holds, by name.
std::uint32_t Stored(const std::string& path, const char* name) {
    const RegFile file = ParseRegFile(ReadFile(path), nullptr);
    for (const RegFileKey& key : file.Keys)
        for (const RegFileValue& v : key.Values)
            if (v.Name == name && v.Bytes.size() == 4)
                return v.Bytes[0] | v.Bytes[1] << 8 | v.Bytes[2] << 16 | static_cast<std::uint32_t>(v.Bytes[3]) << 24;
    return 0xDEADBEEFu;
}

}  // namespace

// -save-settings writes the values as the run would use them: the file's
// values with the options over them, each through its acceptance test.
TEST(X11Program, OptionsLieOverTheFileThroughTheAcceptanceTests) {
    TempConfig config;
    std::string errors;
    ASSERT_TRUE(EndedCleanly(RunToEnd({"-save-settings", "-count", "500", "-corona", "30"}, {config.Env()}, &errors)))
        << errors;
    EXPECT_EQ(errors, "");
    EXPECT_EQ(Stored(config.File(), "StarCount"), 500u);
    EXPECT_EQ(Stored(config.File(), "Corona"), 30u);
    EXPECT_EQ(Stored(config.File(), "StarVel"), 4u);

    // Options not given leave the file's values; a rejected one gives one
    // line and the built-in default, not the file's value.
    ASSERT_TRUE(EndedCleanly(RunToEnd({"-save-settings", "-count", "99", "-preset", "fireball", "-velocity", "3",
                                       "-gravity", "-5"},
                                      {config.Env()}, &errors)));
    EXPECT_EQ(errors, "mirrowen: -count 99 rejected (accepted: 100 to 2000); the default 300 stands\n");
    EXPECT_EQ(Stored(config.File(), "StarCount"), 300u);
    EXPECT_EQ(Stored(config.File(), "Corona"), 70u);   // from the preset
    EXPECT_EQ(Stored(config.File(), "StarVel"), 3u);   // later than the preset
    EXPECT_EQ(Stored(config.File(), "Gravity"), 0u);   // -5, kept as 0..10
    EXPECT_EQ(Stored(config.File(), "LensFlare"), 1u);
    EXPECT_EQ(Stored(config.File(), "Preset"), 4u);

    // A plain run never writes the file.
    const std::string before = ReadFile(config.File());
    ASSERT_TRUE(EndedCleanly(RunToEnd({"-window", "-frames", "2", "-count", "700"}, {config.Env()})));
    EXPECT_EQ(ReadFile(config.File()), before);

    // Unknown options are usage errors.
    const int status = RunToEnd({"-stars", "5"}, {config.Env()}, &errors);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(errors.rfind("mirrowen: unknown option -stars\nusage: mirrowen", 0), 0u) << errors;
}

// -fps writes the rate of the last second in the bottom-left corner. With
// StarSize 0 and no corona nothing else is drawn.
TEST(X11WindowId, FpsShowsTheRateBottomLeft) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    const Window w = x.MakeWindow(320, 240);
    Child child = Start({"-window-id", Hex(w), "-fps", "-size", "0", "-corona", "0"});
    const bool shown = WaitUntil(
        [&] {
            const Pixels p = Read(x.Dpy, w);
            return p.Width == 320 && p.LitWhere([](int px, int py) { return px < 170 && py > 240 - 30; }) > 0;
        },
        20);
    EXPECT_TRUE(shown);
    const Pixels p = Read(x.Dpy, w);
    EXPECT_EQ(p.LitWhere([](int px, int py) { return px >= 170 || py <= 240 - 30; }), 0);
    kill(child.Pid, SIGTERM);
    EXPECT_TRUE(EndedCleanly(Wait(child, 10)));

    // Without -fps the same picture stays black.
    x.Clear(w);
    ASSERT_TRUE(EndedCleanly(RunToEnd({"-window-id", Hex(w), "-size", "0", "-corona", "0", "-frames", "300"})));
    EXPECT_EQ(Read(x.Dpy, w).LitWhere([](int, int) { return true; }), 0);
}

namespace {

// The id of a TrueColor visual of the screen that GL can use but not with a
// double buffer, or 0. Asked in a child process that ends with _exit: GLX
// sets up the screen with memory it never frees, and this program keeps its
// leak check.
VisualID SingleBufferedVisual() {
    int fds[2];
    if (pipe(fds) != 0) return 0;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        VisualID found = 0;
        if (Display* dpy = XOpenDisplay(SessionDisplay().c_str())) {
            XVisualInfo wanted = {};
            wanted.screen = DefaultScreen(dpy);
            int count = 0;
            XVisualInfo* infos = XGetVisualInfo(dpy, VisualScreenMask, &wanted, &count);
            for (int i = 0; i < count && found == 0; ++i) {
                int useGl = 0, doubleBuffer = 1;
                glXGetConfig(dpy, &infos[i], GLX_USE_GL, &useGl);
                glXGetConfig(dpy, &infos[i], GLX_DOUBLEBUFFER, &doubleBuffer);
                if (useGl && !doubleBuffer && infos[i].c_class == TrueColor) found = infos[i].visualid;
            }
        }
        const ssize_t written = write(fds[1], &found, sizeof found);
        _exit(written == sizeof found ? 0 : 1);
    }
    close(fds[1]);
    VisualID found = 0;
    if (pid < 0 || read(fds[0], &found, sizeof found) != sizeof found) found = 0;
    close(fds[0]);
    if (pid > 0) waitpid(pid, nullptr, 0);
    return found;
}

}  // namespace

// A window whose visual cannot take the context gets a child that can; the
// picture shows in the window and the child keeps the window's size.
TEST(X11WindowId, WindowWithoutADoubleBufferGetsAChildThatFillsIt) {
    Session x;
    ASSERT_NE(x.Dpy, nullptr);
    XVisualInfo wanted = {};
    wanted.visualid = SingleBufferedVisual();
    int count = 0;
    XVisualInfo* info = wanted.visualid == 0 ? nullptr : XGetVisualInfo(x.Dpy, VisualIDMask, &wanted, &count);
    if (info == nullptr) GTEST_SKIP() << "this display has no single-buffered GL visual";
    Visual* visual = info->visual;
    const int depth = info->depth;
    XFree(info);
    const Window root = DefaultRootWindow(x.Dpy);
    XSetWindowAttributes attributes = {};
    attributes.colormap = XCreateColormap(x.Dpy, root, visual, AllocNone);
    attributes.border_pixel = 0;
    const Window w = XCreateWindow(x.Dpy, root, 100, 100, 640, 480, 0, depth, InputOutput, visual,
                                   CWColormap | CWBorderPixel, &attributes);
    XMapRaised(x.Dpy, w);
    XSync(x.Dpy, False);

    Child child = Start(With({"-window-id", Hex(w)}, CoronaOnly));
    Window drawn = 0;
    auto childOf = [&]() -> Window {
        Window r, parent, *children = nullptr;
        unsigned count = 0;
        Window first = 0;
        if (XQueryTree(x.Dpy, w, &r, &parent, &children, &count) && count == 1) first = children[0];
        if (children != nullptr) XFree(children);
        return first;
    };
    ASSERT_TRUE(WaitUntil([&] { return (drawn = childOf()) != 0; }, 20));
    EXPECT_TRUE(WaitUntil([&] { return Read(x.Dpy, w).Brightest(320, 240, 120) >= 250; }, 20));

    XResizeWindow(x.Dpy, w, 400, 300);
    XSync(x.Dpy, False);
    EXPECT_TRUE(WaitUntil(
        [&] {
            XWindowAttributes a;
            return XGetWindowAttributes(x.Dpy, drawn, &a) && a.width == 400 && a.height == 300;
        },
        20));
    kill(child.Pid, SIGTERM);
    EXPECT_TRUE(EndedCleanly(Wait(child, 10)));
    XFreeColormap(x.Dpy, attributes.colormap);
}
