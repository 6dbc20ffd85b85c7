#include "Xvfb.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <poll.h>
#include <fcntl.h>

extern char** environ;

namespace {
int ignoreErrors(Display*, XErrorEvent*) { return 0; }
}

Xvfb::Xvfb(int width, int height, int depth)
{
    int fds[2];
    if (pipe(fds) != 0) {
        err = "pipe failed";
        return;
    }
    const std::string fd = std::to_string(fds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-noreset",
                          "-nolisten", "tcp", nullptr};
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addclose(&fa, fds[0]);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    const int rc = posix_spawnp(&child, "Xvfb", &fa, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        err = "cannot start Xvfb (is the xvfb package installed?)";
        return;
    }
    pid = child;
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 20000) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        err = "Xvfb did not report a display";
        return;
    }
    display = QByteArray(":") + QByteArray::fromStdString(number);
}

Xvfb::~Xvfb()
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

QImage Xvfb::rootImage() const
{
    Display* d = XOpenDisplay(display.constData());
    if (!d)
        return {};
    const int scr = DefaultScreen(d);
    const int w = DisplayWidth(d, scr), h = DisplayHeight(d, scr);
    XImage* xi = XGetImage(d, RootWindow(d, scr), 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), AllPlanes, ZPixmap);
    QImage out;
    if (xi) {
        out = QImage(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const unsigned long px = XGetPixel(xi, x, y);
                out.setPixel(x, y, qRgb(static_cast<int>((px >> 16) & 0xff), static_cast<int>((px >> 8) & 0xff), static_cast<int>(px & 0xff)));
            }
        XDestroyImage(xi);
    }
    XCloseDisplay(d);
    return out;
}

unsigned long Xvfb::rootProperty(const char* atomName) const
{
    Display* d = XOpenDisplay(display.constData());
    if (!d)
        return 0;
    const Atom a = XInternAtom(d, atomName, False);
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    unsigned long v = 0;
    if (XGetWindowProperty(d, DefaultRootWindow(d), a, 0, 1, False, XA_PIXMAP, &type, &format, &n, &after, &data) == Success
        && data && n == 1)
        v = *reinterpret_cast<unsigned long*>(data);
    if (data)
        XFree(data);
    XCloseDisplay(d);
    return v;
}

bool Xvfb::drawableExists(unsigned long id) const
{
    Display* d = XOpenDisplay(display.constData());
    if (!d)
        return false;
    auto previous = XSetErrorHandler(ignoreErrors);
    Window root;
    int x, y;
    unsigned w, h, b, depth;
    const Status s = XGetGeometry(d, id, &root, &x, &y, &w, &h, &b, &depth);
    XSync(d, False);
    XSetErrorHandler(previous);
    XCloseDisplay(d);
    return s != 0;
}
