#pragma once
// "Set the desktop wallpaper": one service, one backend per kind of desktop.
// The placement comes from the user's Control Panel\Desktop registry values.

#include <QImage>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

class Registry;

enum class Placement { Stretched, Tiled, Centered };

// TileWallpaper "1" tiles; WallpaperStyle "2" stretches; other styles centre.
// With neither value stored the picture is stretched, the program's default mode.
Placement PlacementFromValues(const QString& wallpaperStyle, const QString& tileWallpaper);
Placement PlacementFromRegistry(Registry& reg);
const char* PlacementName(Placement p);

// The picture laid out on a screen of the given size, black where it leaves gaps.
QImage RenderPlacement(const QImage& picture, QSize screen, Placement placement);

class DesktopBackend {
public:
    virtual ~DesktopBackend() = default;
    virtual QString name() const = 0;
    // True for desktops that ignore a path they already show.
    virtual bool wantsFreshPath() const { return false; }
    // False for desktops that show the picture handed to them and never read
    // the bitmap file: the file may then be written while they work.
    virtual bool readsFile() const { return true; }
    // Shows the bitmap file; false with *error set when the desktop refused.
    // content, when given, is what the file holds, so it need not be read again.
    virtual bool apply(const QString& bitmap, Placement placement, QString* error, const QImage* content = nullptr) = 0;
};

// Sets nothing. Says why once.
class NoDesktopBackend : public DesktopBackend {
public:
    explicit NoDesktopBackend(QString reason, bool isFailure) : why(std::move(reason)), failure(isFailure) {}
    QString name() const override { return "none"; }
    bool apply(const QString& bitmap, Placement placement, QString* error, const QImage* content = nullptr) override;

private:
    QString why;
    bool failure;
    bool said = false;
};

// MURIVO_DESKTOP=x11|gnome|cinnamon|mate|kde|xfce|sway|none overrides; otherwise
// XDG_CURRENT_DESKTOP (a colon-separated list), then DESKTOP_SESSION, then
// SWAYSOCK / WAYLAND_DISPLAY, then DISPLAY decide. *note receives a message
// for the user when the choice needs one.
std::unique_ptr<DesktopBackend> ChooseDesktopBackend(const QProcessEnvironment& env, QString* note);
std::unique_ptr<DesktopBackend> ChooseDesktopBackend(QString* note);
// The backend name a desktop token stands for ("GNOME" -> "gnome"), or empty.
QString DesktopForToken(const QString& token);

constexpr unsigned SPI_SETDESKWALLPAPER = 20;
constexpr unsigned SPIF_UPDATEINIFILE = 1;

class Desktop {
public:
    Desktop(Registry& reg, std::unique_ptr<DesktopBackend> backend);
    ~Desktop();

    // Only SPI_SETDESKWALLPAPER is known. False when the desktop refused, with
    // the desktop's reason in lastError().
    bool SystemParametersInfoA(unsigned action, unsigned param, const QString& bitmap, unsigned flags,
                               const QImage* content = nullptr);
    // The same with the placement given, for callers on another thread than
    // the registry's (the registry is not read here); the reason of a refusal
    // goes to *error, for the caller to show where it belongs.
    bool Apply(const QString& bitmap, Placement placement, const QImage* content = nullptr, QString* error = nullptr);
    DesktopBackend* backend() const { return impl.get(); }
    QString lastError() const { return lastErr; }

    // The path a desktop that ignores repeats is handed: a new link to the bitmap.
    QString freshPath(const QString& bitmap);

private:
    void dropStaleCopies(const QString& bitmap);

    Registry& registry;
    std::unique_ptr<DesktopBackend> impl;
    QString lastErr;
    QString handed, handedBefore;
};

} // namespace platform
