#pragma once
// Any X11 session: the picture is rendered onto a root-sized pixmap that
// becomes the root window's background, published through _XROOTPMAP_ID and
// ESETROOT_PMAP_ID so that compositors and transparent terminals follow it.
// Each change uses its own connection, closed with RetainPermanent so the
// pixmap outlives it; the previous one is freed by killing its retained client.
// The X protocol is spoken through xcb, whose errors belong to one connection.

#include "Desktop.h"

#include <QByteArray>
#include <QRect>
#include <vector>

namespace platform {

// True when the X display (DISPLAY's when name is empty) accepts a connection.
bool X11DisplayOpens(const QByteArray& name);

class X11Backend : public DesktopBackend {
public:
    explicit X11Backend(QByteArray display = {}) : displayName(std::move(display)) {}
    QString name() const override { return "x11"; }
    bool readsFile() const override { return false; }
    bool apply(const QString& bitmap, Placement placement, QString* error, const QImage* content = nullptr) override;
    // Lays out an already loaded picture (the bitmap's content).
    bool applyImage(const QImage& picture, Placement placement, QString* error);

    // Each monitor gets the placement within its own rectangle.
    static QImage Compose(const QImage& picture, QSize screen, const std::vector<QRect>& monitors, Placement placement);

private:
    QByteArray displayName;
};

} // namespace platform
