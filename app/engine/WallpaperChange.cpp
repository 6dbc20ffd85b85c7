#include "WallpaperChange.h"

#include <memory>

#include "platform/picture/Picture.h"

#include <QFile>
#include <QPointer>
#include <thread>

namespace murivo {

WallpaperChanger::WallpaperChanger(platform::Desktop& d, QObject* parent)
    : QObject(parent), desktop(d), worker(new QObject)
{
    thread.setObjectName("murivo wallpaper change");
    worker->moveToThread(&thread);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    thread.start();
}

WallpaperChanger::~WallpaperChanger()
{
    thread.quit();
    thread.wait();
}

ChangeResult WallpaperChanger::Run(platform::Desktop& desktop, const QString& source, const QString& bitmap,
                                   platform::Placement placement, bool keepPrevious)
{
    ChangeResult r;
    QImage picture;
    if (source.isEmpty()) {
        r.error = "there is no picture to load";
    } else {
        try {
            picture = platform::LoadPicture(source);
        } catch (const platform::PictureError& e) {
            r.error = e.description();
        }
    }
    if (!picture.isNull() && desktop.backend() && !desktop.backend()->readsFile()) {
        // A desktop that shows the picture itself works while the bitmap is
        // written on a second thread: the two largest steps of a change overlap.
        QString saveError;
        std::thread save([&] {
            try {
                platform::SavePicture(picture, bitmap);
            } catch (const platform::PictureError& e) {
                saveError = e.description();
            }
        });
        r.desktopCalled = true;
        r.desktopTook = desktop.Apply(bitmap, placement, &picture, &r.desktopError);
        save.join();
        r.pictureWritten = saveError.isEmpty();
        r.error = saveError;
        return r;
    }
    if (!picture.isNull()) {
        try {
            platform::SavePicture(picture, bitmap);
            r.pictureWritten = true;
        } catch (const platform::PictureError& e) {
            r.error = e.description();
            picture = QImage();
        }
    }
    if (r.pictureWritten || (keepPrevious && QFile::exists(bitmap))) {
        r.desktopCalled = true;
        r.desktopTook = desktop.Apply(bitmap, placement, r.pictureWritten ? &picture : nullptr, &r.desktopError);
    }
    return r;
}

void WallpaperChanger::Change(const QString& source, const QString& bitmap, platform::Placement placement,
                              bool keepPrevious, std::function<void(const ChangeResult&)> done)
{
    ++pending;
    QPointer<WallpaperChanger> self(this);
    // The callback is made, called and destroyed on this thread; the worker
    // only carries a reference to it, and never copies the function itself.
    auto callback = std::make_shared<const std::function<void(const ChangeResult&)>>(std::move(done));
    QMetaObject::invokeMethod(worker, [this, self, source, bitmap, placement, keepPrevious, callback] {
        // On the worker; `this` is alive: its destructor waits for this thread.
        const ChangeResult r = Run(desktop, source, bitmap, placement, keepPrevious);
        QMetaObject::invokeMethod(
            this,
            [this, self, r, callback] {
                if (!self)
                    return;
                --pending;
                (*callback)(r);
            },
            Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

} // namespace murivo
