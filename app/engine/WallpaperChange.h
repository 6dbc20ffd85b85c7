#pragma once
// The picture steps of a wallpaper change (load the picture, write the bitmap,
// hand it to the desktop) on one worker thread, so a big photo or a desktop
// service that does not answer never holds up the windows and the tray.
// Changes run one at a time, in the order asked; each one's outcome comes back
// on the thread that asked, where the schedule does its bookkeeping.

#include "platform/desktop/Desktop.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <functional>

namespace murivo {

struct ChangeResult {
    bool pictureWritten = false;   // loaded and written as the bitmap
    bool desktopCalled = false;
    bool desktopTook = false;
    QString error;                 // why the picture could not be loaded or written
    QString desktopError;          // the desktop's own reason when it refused the bitmap
    bool desktopRefused() const { return desktopCalled && !desktopTook; }
};

class WallpaperChanger : public QObject {
    Q_OBJECT
public:
    explicit WallpaperChanger(platform::Desktop& desktop, QObject* parent = nullptr);
    // Waits for the change under way; outcomes not yet delivered are dropped.
    ~WallpaperChanger() override;

    // keepPrevious: when the picture cannot be loaded or written, the bitmap
    // already there is handed to the desktop again.
    void Change(const QString& source, const QString& bitmap, platform::Placement placement, bool keepPrevious,
                std::function<void(const ChangeResult&)> done);
    // Changes asked for whose outcome has not been delivered yet.
    int Pending() const { return pending; }

    // The steps themselves, on whatever thread calls them.
    static ChangeResult Run(platform::Desktop& desktop, const QString& source, const QString& bitmap,
                            platform::Placement placement, bool keepPrevious);

private:
    platform::Desktop& desktop;
    QThread thread;
    QObject* worker;   // lives in thread
    int pending = 0;
};

} // namespace murivo
