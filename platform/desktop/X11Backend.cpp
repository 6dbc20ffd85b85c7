#include "X11Backend.h"
#include "../picture/Picture.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <QPainter>
#include <vector>
#include <cstring>

namespace platform {

namespace {

// Xlib's default handler ends the process; record the error instead.
QString g_xerror;
int recordError(Display* d, XErrorEvent* e)
{
    char text[256] = {};
    XGetErrorText(d, e->error_code, text, sizeof text);
    g_xerror = QString("X error %1 (request %2): %3").arg(e->error_code).arg(e->request_code).arg(QString::fromLocal8Bit(text));
    return 0;
}

class ErrorTrap {
public:
    ErrorTrap() : previous(XSetErrorHandler(recordError)) { g_xerror.clear(); }
    ~ErrorTrap() { XSetErrorHandler(previous); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    int (*previous)(Display*, XErrorEvent*);
};

Pixmap pixmapProperty(Display* d, Window root, Atom prop)
{
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap result = None;
    if (XGetWindowProperty(d, root, prop, 0, 1, False, XA_PIXMAP, &type, &format, &n, &after, &data) == Success
        && type == XA_PIXMAP && format == 32 && n == 1 && data)
        result = *reinterpret_cast<Pixmap*>(data);
    if (data)
        XFree(data);
    return result;
}

int shiftOf(unsigned long mask)
{
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

int bitsOf(unsigned long mask)
{
    int b = 0;
    for (; mask; mask >>= 1)
        b += mask & 1;
    return b;
}

unsigned long scaleChannel(int v, unsigned long mask)
{
    const int bits = bitsOf(mask);
    const unsigned long max = (1ul << bits) - 1;
    return ((static_cast<unsigned long>(v) * max + 127) / 255) << shiftOf(mask);
}

// The monitors' rectangles; the whole screen when RandR tells none.
std::vector<QRect> monitors(Display* d, Window root, int w, int h)
{
    std::vector<QRect> out;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (XRRQueryExtension(d, &eventBase, &errorBase) && XRRQueryVersion(d, &major, &minor)
        && (major > 1 || (major == 1 && minor >= 5))) {
        int n = 0;
        if (XRRMonitorInfo* m = XRRGetMonitors(d, root, True, &n)) {
            for (int i = 0; i < n; ++i) {
                const QRect r = QRect(m[i].x, m[i].y, m[i].width, m[i].height).intersected(QRect(0, 0, w, h));
                if (!r.isEmpty())
                    out.push_back(r);
            }
            XRRFreeMonitors(m);
        }
    }
    if (out.empty())
        out.push_back(QRect(0, 0, w, h));
    return out;
}

} // namespace

QImage X11Backend::Compose(const QImage& picture, QSize screen, const std::vector<QRect>& monitors, Placement placement)
{
    if (monitors.size() == 1 && monitors[0] == QRect(QPoint(0, 0), screen))
        return RenderPlacement(picture, screen, placement);
    QImage frame(screen, QImage::Format_RGB32);
    frame.fill(Qt::black);
    QPainter p(&frame);
    for (const QRect& m : monitors)
        p.drawImage(m.topLeft(), RenderPlacement(picture, m.size(), placement));
    return frame;
}

bool X11Backend::apply(const QString& bitmap, Placement placement, QString* error, const QImage* content)
{
    if (content && !content->isNull())
        return applyImage(*content, placement, error);
    QImage picture;
    try {
        picture = LoadPicture(bitmap);
    } catch (const PictureError& e) {
        if (error)
            *error = e.description();
        return false;
    }
    return applyImage(picture, placement, error);
}

bool X11Backend::applyImage(const QImage& picture, Placement placement, QString* error)
{
    auto failed = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    Display* d = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!d)
        return failed(QString("cannot open the X display '%1'")
                          .arg(displayName.isEmpty() ? qEnvironmentVariable("DISPLAY") : QString::fromLocal8Bit(displayName)));
    ErrorTrap trap;
    const int scr = DefaultScreen(d);
    const Window root = RootWindow(d, scr);
    const int w = DisplayWidth(d, scr), h = DisplayHeight(d, scr);
    const int depth = DefaultDepth(d, scr);
    Visual* vis = DefaultVisual(d, scr);

    const QImage frame = Compose(picture, QSize(w, h), monitors(d, root, w, h), placement);

    XImage* xi = XCreateImage(d, vis, depth, ZPixmap, 0, nullptr, w, h, 32, 0);
    if (!xi) {
        XCloseDisplay(d);
        return failed("cannot create an X image");
    }
    xi->data = static_cast<char*>(std::malloc(static_cast<size_t>(xi->bytes_per_line) * h));
    if (!xi->data) {
        XDestroyImage(xi);
        XCloseDisplay(d);
        return failed("out of memory for the X image");
    }
    const bool direct = xi->bits_per_pixel == 32 && xi->red_mask == 0xff0000 && xi->green_mask == 0xff00
        && xi->blue_mask == 0xff && xi->byte_order == LSBFirst && Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        if (direct) {
            std::memcpy(xi->data + static_cast<size_t>(y) * xi->bytes_per_line, src, static_cast<size_t>(w) * 4);
            continue;
        }
        for (int x = 0; x < w; ++x)
            XPutPixel(xi, x, y,
                      scaleChannel(qRed(src[x]), xi->red_mask) | scaleChannel(qGreen(src[x]), xi->green_mask)
                          | scaleChannel(qBlue(src[x]), xi->blue_mask));
    }

    const Pixmap pix = XCreatePixmap(d, root, static_cast<unsigned>(w), static_cast<unsigned>(h), static_cast<unsigned>(depth));
    GC gc = XCreateGC(d, pix, 0, nullptr);
    XPutImage(d, pix, gc, xi, 0, 0, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XFreeGC(d, gc);
    XDestroyImage(xi);

    const Atom rootId = XInternAtom(d, "_XROOTPMAP_ID", False);
    const Atom esetrootId = XInternAtom(d, "ESETROOT_PMAP_ID", False);
    XGrabServer(d);
    // Only a pixmap published under both names is a retained one that may be freed.
    const Pixmap oldRoot = pixmapProperty(d, root, rootId);
    const Pixmap oldEsetroot = pixmapProperty(d, root, esetrootId);
    if (oldRoot != None && oldRoot == oldEsetroot) {
        XKillClient(d, oldRoot);
        XSync(d, False);
        g_xerror.clear();   // already gone is fine
    }
    XChangeProperty(d, root, rootId, XA_PIXMAP, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pix), 1);
    XChangeProperty(d, root, esetrootId, XA_PIXMAP, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pix), 1);
    XSetWindowBackgroundPixmap(d, root, pix);
    XClearWindow(d, root);
    XUngrabServer(d);
    XSetCloseDownMode(d, RetainPermanent);
    XSync(d, False);
    const QString xerr = g_xerror;
    XCloseDisplay(d);
    if (!xerr.isEmpty())
        return failed(xerr);
    return true;
}

} // namespace platform
