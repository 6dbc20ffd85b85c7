#include "Desktop.h"
#include "X11Backend.h"
#include "../registry/Registry.h"

#include <QPainter>
#include <cstdio>

namespace platform {

Placement PlacementFromValues(const QString& style, const QString& tile)
{
    if (tile.trimmed() == "1")
        return Placement::Tiled;
    if (style.isNull() && tile.isNull())
        return Placement::Stretched;
    if (style.trimmed() == "2")
        return Placement::Stretched;
    return Placement::Centered;
}

Placement PlacementFromRegistry(Registry& reg)
{
    const auto style = reg.queryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "WallpaperStyle");
    const auto tile = reg.queryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "TileWallpaper");
    return PlacementFromValues(style.value_or(QString()), tile.value_or(QString()));
}

const char* PlacementName(Placement p)
{
    switch (p) {
    case Placement::Stretched: return "stretched";
    case Placement::Tiled: return "tiled";
    case Placement::Centered: return "centred";
    }
    return "?";
}

QImage RenderPlacement(const QImage& picture, QSize screen, Placement placement)
{
    QImage out(screen, QImage::Format_RGB32);
    out.fill(Qt::black);
    if (picture.isNull() || screen.isEmpty())
        return out;
    QPainter p(&out);
    switch (placement) {
    case Placement::Stretched:
        // Area-averaging scale: a camera photo shrunk to a screen must not alias.
        p.drawImage(0, 0, picture.scaled(screen, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    case Placement::Tiled:
        for (int y = 0; y < screen.height(); y += picture.height())
            for (int x = 0; x < screen.width(); x += picture.width())
                p.drawImage(x, y, picture);
        break;
    case Placement::Centered:
        p.drawImage((screen.width() - picture.width()) / 2, (screen.height() - picture.height()) / 2, picture);
        break;
    }
    return out;
}

bool NoDesktopBackend::apply(const QString& bitmap, Placement, QString* error, const QImage*)
{
    if (!said) {
        std::fprintf(stderr, "murivo: %s; the wallpaper is kept in %s but not shown.\n",
                     qPrintable(why), qPrintable(bitmap));
        said = true;
    }
    if (failure && error)
        *error = why;
    return !failure;
}

bool RecordingDesktopBackend::apply(const QString& bitmap, Placement placement, QString* error, const QImage*)
{
    // Always read from the file: that is what a desktop would show.
    calls.push_back({bitmap, placement, QImage(bitmap)});
    if (fail && error)
        *error = "refused by the test";
    return !fail;
}

std::unique_ptr<DesktopBackend> ChooseDesktopBackend(QString* note)
{
    const QString forced = qEnvironmentVariable("MURIVO_DESKTOP").trimmed().toLower();
    if (forced == "none")
        return std::make_unique<NoDesktopBackend>("MURIVO_DESKTOP=none chooses no desktop", false);
    if (forced == "x11")
        return std::make_unique<X11Backend>();
    if (!forced.isEmpty() && note)
        *note = QString("MURIVO_DESKTOP=%1 is not a known desktop (x11, none); choosing by the session.").arg(forced);
    if (!qEnvironmentVariable("DISPLAY").isEmpty())
        return std::make_unique<X11Backend>();
    const QString found = QString("no desktop to set the wallpaper on was found (DISPLAY is unset; "
                                  "WAYLAND_DISPLAY='%1', XDG_CURRENT_DESKTOP='%2')")
                              .arg(qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
    return std::make_unique<NoDesktopBackend>(found, true);
}

Desktop::Desktop(Registry& reg, std::unique_ptr<DesktopBackend> backend) : registry(reg), impl(std::move(backend)) {}
Desktop::~Desktop() = default;

bool Desktop::SystemParametersInfoA(unsigned action, unsigned, const QString& bitmap, unsigned, const QImage* content)
{
    if (action != SPI_SETDESKWALLPAPER || !impl)
        return false;
    QString err;
    if (impl->apply(bitmap, PlacementFromRegistry(registry), &err, content)) {
        lastErr.clear();
        return true;
    }
    if (err != lastErr)
        std::fprintf(stderr, "murivo: the desktop (%s) did not take the wallpaper: %s\n",
                     qPrintable(impl->name()), qPrintable(err));
    lastErr = err;
    return false;
}

} // namespace platform
