// "Add all" of a folder of pictures into wallpaper lists of different lengths,
// on the shown main window: time per row and the longest time the UI thread
// was blocked; and one wallpaper change of a 24-megapixel JPEG done on the UI
// thread against the same change handed to the worker (the UI thread's
// longest block in each case). Prints numbers and ratios; asserts nothing.
//
//   bench_add_all [pictures] [long list]     (default 2000, 20000)
#include "engine/Services.h"
#include "engine/WallpaperChange.h"
#include "shell/Form1.h"
#include "shell/frmpath.h"
#include "shell/progress.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

using namespace murivo;

namespace {

// Message boxes answered at once with their default button.
struct AnswerAll : platform::MessageBoxService {
    int show(const QString&, int flags, const QString&) override
    {
        return (flags & 0x7) == platform::vbYesNo ? platform::vbYes : platform::vbOK;
    }
};

// The longest gap between 1 ms ticks while `work` runs: how long the UI thread was held.
struct BlockMeter {
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    QTimer tick;
    BlockMeter()
    {
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            worst = std::max(worst, now - last);
            last = now;
        });
    }
    void start()
    {
        worst = 0;
        clock.start();
        last = 0;
        tick.start();
    }
    double stopMs()
    {
        tick.stop();
        worst = std::max(worst, clock.nsecsElapsed() - last);
        return worst / 1e6;
    }
};

void writeList(const QString& file, int rows, const QString& picture)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile::remove(file);
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_exec(db, "CREATE TABLE table1 (path TEXT, id INTEGER PRIMARY KEY AUTOINCREMENT); BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO table1(path) VALUES(?)", -1, &s, nullptr);
    const QByteArray u = picture.toUtf8();
    for (int i = 0; i < rows; ++i) {
        sqlite3_bind_text(s, 1, u.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

struct AddAllRun {
    double msPerRow = 0;
    double worstBlockMs = 0;
};

AddAllRun addAll(const QString& root, const QString& folder, int existing, const QString& existingPicture)
{
    qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    qputenv("XDG_CACHE_HOME", (root + "/cache").toUtf8());
    writeList(root + "/data/murivo/wmdvm.sys", existing, existingPicture);
    platform::SystemClock clock;
    AnswerAll boxes;
    platform::IniProgramSettings settings;
    platform::Registry registry(root + "/config/Murivo/registry.json", root + "/config/autostart");
    platform::Desktop desktop(registry, std::make_unique<platform::NoDesktopBackend>("benchmark", false));
    Services sv{clock, boxes, settings, registry, desktop, "/usr/bin/murivo"};
    frmpath paths;
    progress loading;
    Form1 form(sv, paths, loading);
    form.Form_Load();
    // Add all waits for the list read at start; measure it alone.
    while (!form.IsListLoaded())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    form.show();
    QCoreApplication::processEvents();
    form.setDir1Path(folder);
    const int before = form.ThumbsCtl1.ListCount();
    BlockMeter meter;
    QElapsedTimer t;
    meter.start();
    t.start();
    form.GlossButton4_Click();
    AddAllRun r;
    const int added = form.ThumbsCtl1.ListCount() - before;
    r.msPerRow = t.nsecsElapsed() / 1e6 / std::max(1, added);
    r.worstBlockMs = meter.stopMs();
    return r;
}

QImage photo()
{
    QImage img(6000, 4000, QImage::Format_RGB32);
    auto* rng = QRandomGenerator::global();
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int n = static_cast<int>(rng->bounded(24));
            line[x] = qRgb((x * 255 / 6000 + n) & 0xff, (y * 255 / 4000 + n) & 0xff, ((x + y) / 40 + n) & 0xff);
        }
    }
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pictures = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const int longList = argc > 2 ? std::max(1, atoi(argv[2])) : 20000;

    QTemporaryDir dir;
    const QString folder = dir.filePath("folder");
    QDir().mkpath(folder);
    QImage small(64, 48, QImage::Format_RGB32);
    small.fill(qRgb(90, 140, 200));
    for (int i = 0; i < pictures; ++i)
        small.save(QString("%1/p%2.jpg").arg(folder).arg(i, 5, 10, QChar('0')), "JPG");
    const QString existing = folder + "/p00000.jpg";

    const AddAllRun empty = addAll(dir.filePath("empty"), folder, 0, existing);
    const AddAllRun full = addAll(dir.filePath("long"), folder, longList, existing);
    std::printf("\"Add all\" of %d pictures (64 x 48 JPEGs) on the shown main window\n", pictures);
    std::printf("  into an empty list          %7.3f ms/row, longest UI-thread block %7.1f ms\n", empty.msPerRow, empty.worstBlockMs);
    std::printf("  into a list of %6d rows  %7.3f ms/row, longest UI-thread block %7.1f ms\n", longList, full.msPerRow,
                full.worstBlockMs);
    std::printf("  ratio long / empty: %.2f per row, %.2f longest block\n", full.msPerRow / empty.msPerRow,
                full.worstBlockMs / std::max(0.001, empty.worstBlockMs));

    // One change of a 24-megapixel photo: on this thread, then through the worker.
    const QString jpg = dir.filePath("photo.jpg");
    photo().save(jpg, "JPG", 90);
    const QString bmp = dir.filePath("Wallpaper.bmp");
    platform::Registry registry(dir.filePath("registry.json"), dir.filePath("autostart"));
    platform::Desktop desktop(registry, std::make_unique<platform::NoDesktopBackend>("benchmark", false));
    BlockMeter meter;
    meter.start();
    QTimer::singleShot(0, [&] { WallpaperChanger::Run(desktop, jpg, bmp, platform::Placement::Stretched, false); });
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double onUi = meter.stopMs();
    WallpaperChanger changer(desktop);
    bool done = false;
    meter.start();
    changer.Change(jpg, bmp, platform::Placement::Stretched, false, [&](const ChangeResult&) { done = true; });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double onWorker = meter.stopMs();
    std::printf("one wallpaper change of a 6000 x 4000 JPEG (load, 24-bit BMP write)\n");
    std::printf("  longest UI-thread block: on the UI thread %7.1f ms, with the worker %7.1f ms, ratio %.3f\n", onUi,
                onWorker, onWorker / onUi);
    return 0;
}
