#include "Desktop.h"
#include "Backends.h"
#include "X11Backend.h"
#include "../registry/Registry.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <unistd.h>
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
    // A failure is the caller's to report; a desktop chosen on purpose is said once.
    if (!failure && !said) {
        std::fprintf(stderr, "murivo: %s; the wallpaper is kept in %s but not shown.\n",
                     qPrintable(why), qPrintable(bitmap));
        said = true;
    }
    if (failure && error)
        *error = why + "; the wallpaper is kept in " + bitmap + " but not shown";
    return !failure;
}

QString DesktopForToken(const QString& token)
{
    const QString t = token.trimmed().toLower();
    static const std::vector<std::pair<QStringList, QString>> table = {
        {{"gnome", "gnome-classic", "gnome-flashback", "unity", "budgie", "budgie-desktop", "pantheon", "ubuntu",
          "gnome-xorg", "gnome-wayland"}, "gnome"},
        {{"x-cinnamon", "cinnamon", "cinnamon2d"}, "cinnamon"},
        {{"mate"}, "mate"},
        {{"kde", "plasma", "plasmawayland", "plasmax11"}, "kde"},
        {{"xfce", "xfce4", "xubuntu"}, "xfce"},
        {{"sway", "wlroots", "hyprland", "river", "wayfire", "labwc"}, "sway"},
    };
    for (const auto& [names, backend] : table)
        if (names.contains(t))
            return backend;
    return {};
}

namespace {

std::unique_ptr<DesktopBackend> makeBackend(const QString& name, const QProcessEnvironment& env)
{
    if (name == "x11")
        return std::make_unique<X11Backend>(env.value("DISPLAY").toLocal8Bit());
    if (name == "gnome")
        return std::make_unique<GSettingsBackend>(GSettingsBackend::Gnome);
    if (name == "cinnamon")
        return std::make_unique<GSettingsBackend>(GSettingsBackend::Cinnamon);
    if (name == "mate")
        return std::make_unique<GSettingsBackend>(GSettingsBackend::Mate);
    if (name == "kde")
        return std::make_unique<KdeBackend>(env.value("DBUS_SESSION_BUS_ADDRESS"));
    if (name == "xfce")
        return std::make_unique<XfceBackend>();
    if (name == "sway")
        return std::make_unique<SwayBackend>(env.contains("SWAYSOCK") ? SwayBackend::Swaymsg : SwayBackend::Swaybg);
    if (name == "none")
        return std::make_unique<NoDesktopBackend>("MURIVO_DESKTOP=none chooses no desktop", false);
    return nullptr;
}

} // namespace

std::unique_ptr<DesktopBackend> ChooseDesktopBackend(const QProcessEnvironment& env, QString* note)
{
    const QString forced = env.value("MURIVO_DESKTOP").trimmed().toLower();
    if (!forced.isEmpty()) {
        if (auto b = makeBackend(forced, env))
            return b;
        if (note)
            *note = QString("MURIVO_DESKTOP=%1 is not a known desktop (x11, gnome, cinnamon, mate, kde, xfce, sway, "
                            "none); choosing by the session.")
                        .arg(forced);
    }
    for (const QString& token : env.value("XDG_CURRENT_DESKTOP").split(':', Qt::SkipEmptyParts))
        if (const QString d = DesktopForToken(token); !d.isEmpty())
            return makeBackend(d, env);
    if (const QString d = DesktopForToken(env.value("DESKTOP_SESSION")); !d.isEmpty())
        return makeBackend(d, env);
    if (!env.value("SWAYSOCK").isEmpty() || !env.value("WAYLAND_DISPLAY").isEmpty())
        return makeBackend("sway", env);
    if (!env.value("DISPLAY").isEmpty())
        return makeBackend("x11", env);
    const QString found = QString("no desktop to set the wallpaper on was found (XDG_CURRENT_DESKTOP='%1', "
                                  "DESKTOP_SESSION='%2', WAYLAND_DISPLAY='%3', DISPLAY='%4')")
                              .arg(env.value("XDG_CURRENT_DESKTOP"), env.value("DESKTOP_SESSION"),
                                   env.value("WAYLAND_DISPLAY"), env.value("DISPLAY"));
    return std::make_unique<NoDesktopBackend>(found, true);
}

std::unique_ptr<DesktopBackend> ChooseDesktopBackend(QString* note)
{
    return ChooseDesktopBackend(QProcessEnvironment::systemEnvironment(), note);
}

Desktop::Desktop(Registry& reg, std::unique_ptr<DesktopBackend> backend) : registry(reg), impl(std::move(backend)) {}
Desktop::~Desktop() = default;

bool Desktop::SystemParametersInfoA(unsigned action, unsigned, const QString& bitmap, unsigned, const QImage* content)
{
    if (action != SPI_SETDESKWALLPAPER || !impl)
        return false;
    lastErr.clear();
    return Apply(bitmap, PlacementFromRegistry(registry), content, &lastErr);
}

bool Desktop::Apply(const QString& bitmap, Placement placement, const QImage* content, QString* error)
{
    QString err;
    if (!impl) {
        if (error)
            *error = "no desktop to set the wallpaper on";
        return false;
    }
    const QString path = impl->wantsFreshPath() ? freshPath(bitmap) : bitmap;
    if (impl->apply(path, placement, &err, content)) {
        if (path != bitmap && path != handed) {
            handedBefore = handed;
            handed = path;
            dropStaleCopies(bitmap);
        }
        return true;
    }
    if (path != bitmap && path != handed)
        QFile::remove(path);   // the copy no desktop shows
    if (err.isEmpty())
        err = QString("the desktop (%1) did not take the wallpaper").arg(impl->name());
    if (error)
        *error = err;
    return false;
}

} // namespace platform

namespace platform {

QString Desktop::freshPath(const QString& bitmap)
{
    const QFileInfo fi(bitmap);
    const QString stem = fi.dir().filePath(fi.completeBaseName() + "-");
    QString path;
    for (qint64 n = QDateTime::currentMSecsSinceEpoch();; ++n) {
        path = stem + QString::number(n) + "." + fi.suffix();
        if (!QFileInfo::exists(path) && path != handed)
            break;
    }
    // A hard link costs nothing, however large the bitmap; a copy where links fail.
    if (::link(QFile::encodeName(bitmap).constData(), QFile::encodeName(path).constData()) == 0
        || QFile::copy(bitmap, path))
        return path;
    return bitmap;
}

void Desktop::dropStaleCopies(const QString& bitmap)
{
    // Keep what is shown now and what was shown just before (a desktop may
    // still be fading from it); earlier copies go.
    const QFileInfo fi(bitmap);
    QDir dir = fi.dir();
    const QStringList copies = dir.entryList({fi.completeBaseName() + "-*." + fi.suffix()}, QDir::Files);
    for (const QString& name : copies) {
        const QString p = dir.filePath(name);
        if (p != handed && p != handedBefore)
            QFile::remove(p);
    }
}

} // namespace platform
