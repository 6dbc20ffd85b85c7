#include "X11Backend.h"
#include "../picture/Picture.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <QPainter>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace platform {

// Every request is checked on its own connection (xcb reports errors per
// request), so nothing process-wide is touched: Qt's own connection and its
// error handling are left alone, and any thread may set the wallpaper.

namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, Free>;

struct Connection {
    explicit Connection(const QByteArray& name) : c(xcb_connect(name.isEmpty() ? nullptr : name.constData(), &screen)) {}
    ~Connection() { xcb_disconnect(c); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    operator xcb_connection_t*() const { return c; }
    xcb_connection_t* c;
    int screen = 0;
};

// The first error among the checked requests, as text; empty when none failed.
class Checks {
public:
    explicit Checks(xcb_connection_t* c) : c(c) {}
    void add(xcb_void_cookie_t cookie, const char* what) { pending.push_back({cookie, what}); }
    QString take()
    {
        QString first;
        for (const auto& [cookie, what] : pending) {
            Reply<xcb_generic_error_t> e(xcb_request_check(c, cookie));
            if (e && first.isEmpty())
                first = QString("the X server refused %1 (error %2, request %3)")
                            .arg(what)
                            .arg(e->error_code)
                            .arg(e->major_code);
        }
        pending.clear();
        if (first.isEmpty() && xcb_connection_has_error(c))
            first = "the connection to the X server broke";
        return first;
    }

private:
    xcb_connection_t* c;
    std::vector<std::pair<xcb_void_cookie_t, const char*>> pending;
};

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_pixmap_t pixmapProperty(xcb_connection_t* c, xcb_window_t root, xcb_atom_t prop)
{
    Reply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, prop, XCB_ATOM_PIXMAP, 0, 1), nullptr));
    if (!r || r->type != XCB_ATOM_PIXMAP || r->format != 32 || xcb_get_property_value_length(r.get()) != 4)
        return XCB_NONE;
    return *static_cast<const xcb_pixmap_t*>(xcb_get_property_value(r.get()));
}

int shiftOf(uint32_t mask)
{
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

int bitsOf(uint32_t mask)
{
    int b = 0;
    for (; mask; mask >>= 1)
        b += mask & 1;
    return b;
}

uint32_t scaleChannel(int v, uint32_t mask)
{
    const uint32_t max = (1u << bitsOf(mask)) - 1;
    return ((static_cast<uint32_t>(v) * max + 127) / 255) << shiftOf(mask);
}

// The monitors' rectangles; the whole screen when RandR tells none.
std::vector<QRect> monitors(xcb_connection_t* c, xcb_window_t root, int w, int h)
{
    std::vector<QRect> out;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_randr_id);
    if (ext && ext->present) {
        Reply<xcb_randr_query_version_reply_t> v(xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
        if (v && (v->major_version > 1 || (v->major_version == 1 && v->minor_version >= 5))) {
            Reply<xcb_randr_get_monitors_reply_t> m(xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, root, 1), nullptr));
            if (m) {
                for (auto it = xcb_randr_get_monitors_monitors_iterator(m.get()); it.rem; xcb_randr_monitor_info_next(&it)) {
                    const QRect r = QRect(it.data->x, it.data->y, it.data->width, it.data->height).intersected(QRect(0, 0, w, h));
                    if (!r.isEmpty())
                        out.push_back(r);
                }
            }
        }
    }
    if (out.empty())
        out.push_back(QRect(0, 0, w, h));
    return out;
}

const xcb_visualtype_t* visualOf(const xcb_screen_t* screen)
{
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual)
                return v.data;
    return nullptr;
}

const xcb_format_t* formatOf(const xcb_setup_t* setup, uint8_t depth)
{
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == depth)
            return f.data;
    return nullptr;
}

} // namespace

bool X11DisplayOpens(const QByteArray& name)
{
    Connection c(name);
    return !xcb_connection_has_error(c);
}

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
    Connection c(displayName);
    if (xcb_connection_has_error(c))
        return failed(QString("cannot open the X display '%1'")
                          .arg(displayName.isEmpty() ? qEnvironmentVariable("DISPLAY") : QString::fromLocal8Bit(displayName)));
    const xcb_setup_t* setup = xcb_get_setup(c);
    auto it = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < c.screen && it.rem; ++i)
        xcb_screen_next(&it);
    const xcb_screen_t* screen = it.data;
    if (!screen)
        return failed("the X display has no such screen");
    const xcb_window_t root = screen->root;
    const int w = screen->width_in_pixels, h = screen->height_in_pixels;
    const uint8_t depth = screen->root_depth;
    const xcb_visualtype_t* visual = visualOf(screen);
    const xcb_format_t* format = formatOf(setup, depth);
    if (!visual || !format || (format->bits_per_pixel != 32 && format->bits_per_pixel != 16))
        return failed(QString("the X screen's pixel format (depth %1) is not supported").arg(depth));

    const QImage frame = Compose(picture, QSize(w, h), monitors(c, root, w, h), placement);

    // Rows in the server's layout: 32 bits a pixel straight from the frame
    // when the masks match, otherwise each channel scaled to its mask.
    const int bpp = format->bits_per_pixel;
    const int pad = format->scanline_pad;
    const size_t stride = ((static_cast<size_t>(w) * bpp + pad - 1) / pad) * pad / 8;
    const bool lsb = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    const bool direct = bpp == 32 && visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 && visual->blue_mask == 0xff
        && lsb && Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    auto fillRow = [&](int y, uint8_t* out) {
        const QRgb* src = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        if (direct) {
            std::memcpy(out, src, static_cast<size_t>(w) * 4);
            return;
        }
        for (int x = 0; x < w; ++x) {
            const uint32_t v = scaleChannel(qRed(src[x]), visual->red_mask) | scaleChannel(qGreen(src[x]), visual->green_mask)
                | scaleChannel(qBlue(src[x]), visual->blue_mask);
            const int bytes = bpp / 8;
            for (int b = 0; b < bytes; ++b)
                out[x * bytes + b] = static_cast<uint8_t>(v >> (8 * (lsb ? b : bytes - 1 - b)));
        }
    };

    Checks checks(c);
    const xcb_pixmap_t pix = xcb_generate_id(c);
    checks.add(xcb_create_pixmap_checked(c, depth, pix, root, static_cast<uint16_t>(w), static_cast<uint16_t>(h)), "the root pixmap");
    const xcb_gcontext_t gc = xcb_generate_id(c);
    checks.add(xcb_create_gc_checked(c, gc, pix, 0, nullptr), "a graphics context");
    // In strips that each fit one request.
    const size_t maxBytes = static_cast<size_t>(xcb_get_maximum_request_length(c)) * 4 - 64;
    const int rowsPerStrip = std::max<int>(1, static_cast<int>(std::min<size_t>(maxBytes / stride, 4096)));
    std::vector<uint8_t> strip(stride * static_cast<size_t>(std::min(rowsPerStrip, h)));
    for (int y = 0; y < h; y += rowsPerStrip) {
        const int rows = std::min(rowsPerStrip, h - y);
        for (int r = 0; r < rows; ++r)
            fillRow(y + r, strip.data() + static_cast<size_t>(r) * stride);
        checks.add(xcb_put_image_checked(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pix, gc, static_cast<uint16_t>(w),
                                         static_cast<uint16_t>(rows), 0, static_cast<int16_t>(y), 0, depth,
                                         static_cast<uint32_t>(stride * rows), strip.data()),
                   "the picture");
    }
    xcb_free_gc(c, gc);
    if (const QString e = checks.take(); !e.isEmpty())
        return failed(e);   // the pixmap goes with the connection

    const xcb_atom_t rootId = atom(c, "_XROOTPMAP_ID");
    const xcb_atom_t esetrootId = atom(c, "ESETROOT_PMAP_ID");
    if (rootId == XCB_ATOM_NONE || esetrootId == XCB_ATOM_NONE)
        return failed("the X server gave no atoms for the root pixmap");
    xcb_grab_server(c);
    // Only a pixmap published under both names is a retained one that may be freed.
    const xcb_pixmap_t oldRoot = pixmapProperty(c, root, rootId);
    const xcb_pixmap_t oldEsetroot = pixmapProperty(c, root, esetrootId);
    if (oldRoot != XCB_NONE && oldRoot == oldEsetroot)
        Reply<xcb_generic_error_t>(xcb_request_check(c, xcb_kill_client_checked(c, oldRoot)));   // already gone is fine
    checks.add(xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, root, rootId, XCB_ATOM_PIXMAP, 32, 1, &pix), "_XROOTPMAP_ID");
    checks.add(xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, root, esetrootId, XCB_ATOM_PIXMAP, 32, 1, &pix), "ESETROOT_PMAP_ID");
    checks.add(xcb_change_window_attributes_checked(c, root, XCB_CW_BACK_PIXMAP, &pix), "the root window's background");
    checks.add(xcb_clear_area_checked(c, 0, root, 0, 0, 0, 0), "clearing the root window");
    xcb_ungrab_server(c);
    // The pixmap outlives this connection; the next change frees it by killing it.
    checks.add(xcb_set_close_down_mode_checked(c, XCB_CLOSE_DOWN_RETAIN_PERMANENT), "keeping the pixmap");
    if (const QString e = checks.take(); !e.isEmpty())
        return failed(e);
    return true;
}

} // namespace platform
