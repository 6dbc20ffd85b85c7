#pragma once
// Backends for the desktops that keep their own wallpaper setting. Each maps
// stretched / tiled / centred onto the desktop's own modes. All of them are
// handed a fresh file name at each change (see Desktop), since they ignore a
// path they already show.

#include "Desktop.h"

#include <QProcess>
#include <QStringList>
#include <memory>

namespace platform {

constexpr int kDesktopCallTimeoutMs = 5000;

// GNOME (and Budgie, Unity, Pantheon), Cinnamon and MATE, through the gsettings tool.
class GSettingsBackend : public DesktopBackend {
public:
    enum Kind { Gnome, Cinnamon, Mate };
    explicit GSettingsBackend(Kind kind, QString tool = "gsettings", int timeoutMs = kDesktopCallTimeoutMs);
    QString name() const override;
    bool wantsFreshPath() const override { return true; }
    bool apply(const QString& bitmap, Placement placement, QString* error, const QImage* content = nullptr) override;

    // The argument vectors one change runs, in order.
    std::vector<QStringList> commands(const QString& bitmap, Placement placement) const;
    static QString GVariantString(const QString& text);
    static const char* PictureOption(Placement p);

private:
    Kind kind;
    QString tool;
    int timeout;
};

// KDE Plasma: a script for plasmashell over D-Bus.
class KdeBackend : public DesktopBackend {
public:
    // busAddress: empty for the session bus of the environment.
    explicit KdeBackend(QString busAddress = {}, int timeoutMs = kDesktopCallTimeoutMs);
    QString name() const override { return "kde"; }
    bool wantsFreshPath() const override { return true; }
    bool apply(const QString& bitmap, Placement placement, QString* error, const QImage* content = nullptr) override;

    static QString Script(const QString& bitmap, Placement placement);
    static int FillMode(Placement p);

private:
    QString address;
    int timeout;
};

// XFCE: the xfce4-desktop channel of xfconf.
class XfceBackend : public DesktopBackend {
public:
    explicit XfceBackend(QString tool = "xfconf-query", int timeoutMs = kDesktopCallTimeoutMs);
    QString name() const override { return "xfce"; }
    bool wantsFreshPath() const override { return true; }
    bool apply(const QString& bitmap, Placement placement, QString* error, const QImage* content = nullptr) override;
    static int ImageStyle(Placement p);

private:
    QString tool;
    int timeout;
};

// sway through swaymsg; other wlroots compositors through a swaybg we start
// detached and replace: no process object is tied to a thread, and the
// wallpaper stays when murivo ends.
class SwayBackend : public DesktopBackend {
public:
    enum Mode { Swaymsg, Swaybg };
    explicit SwayBackend(Mode mode, QString tool = {}, int timeoutMs = kDesktopCallTimeoutMs);
    ~SwayBackend() override;
    QString name() const override { return mode == Swaymsg ? "sway" : "swaybg"; }
    bool wantsFreshPath() const override { return true; }
    bool apply(const QString& bitmap, Placement placement, QString* error, const QImage* content = nullptr) override;

    // swaymsg joins its arguments into one command that sway splits and
    // expands again, so only a path of plain characters is passed through.
    static bool PlainPath(const QString& path);
    static const char* SwayMode(Placement p);
    QStringList swaymsgArguments(const QString& plainPath, Placement placement) const;
    // The folder for plain-named copies: "murivo" in XDG_RUNTIME_DIR, which
    // must be the user's own with mode 0700. Empty with *error set otherwise.
    static QString PrivateCopyFolder(QString* error);

    // The swaybg showing our wallpaper, as recorded in the private runtime
    // folder (this run's or an earlier one's); 0 when none runs.
    static qint64 RunningSwaybg();

private:
    QString plainCopy(const QString& bitmap, QString* error);
    bool startSwaybg(const QString& bitmap, Placement placement, QString* error);
    QString lastCopy;   // the copy handed at the last change, removed at the next
    Mode mode;
    QString tool;
    int timeout;
};

} // namespace platform
