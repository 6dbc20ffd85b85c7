// Showing the main window over a wallpaper list of distinct photos with an
// empty thumbnail cache, as `murivo --show` does after start: how long until
// the window is mapped, how long until every thumbnail is in, and the longest
// time the UI thread was held while the grid filled. Prints numbers and
// ratios; asserts nothing. Under X when DISPLAY is set, else offscreen.
//
//   bench_show_list [rows] [picture width]     (default 2000, 800)
#include "engine/Services.h"
#include "shell/Form1.h"
#include "shell/frmpath.h"
#include "shell/progress.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <ctime>

using namespace murivo;

namespace {

struct AnswerAll : platform::MessageBoxService {
    int show(const QString&, int flags, const QString&) override
    {
        return (flags & 0x7) == platform::vbYesNo ? platform::vbYes : platform::vbOK;
    }
};

qint64 threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The longest gap between 1 ms ticks: how long the UI thread was held. On a
// busy machine a gap also holds the time the thread waited for a core, so the
// thread's own CPU time over the gap is kept too: the work that held it.
struct BlockMeter {
    QElapsedTimer clock;
    qint64 last = 0, worst = 0, lastCpu = 0, worstCpu = 0;
    QTimer tick;
    BlockMeter()
    {
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [this] { note(); });
    }
    void note()
    {
        const qint64 now = clock.nsecsElapsed(), cpu = threadCpuNs();
        worst = std::max(worst, now - last);
        worstCpu = std::max(worstCpu, cpu - lastCpu);
        last = now;
        lastCpu = cpu;
    }
    void start()
    {
        worst = worstCpu = 0;
        clock.start();
        last = 0;
        lastCpu = threadCpuNs();
        tick.start();
    }
    double stopMs()
    {
        tick.stop();
        note();
        return worst / 1e6;
    }
    double cpuMs() const { return worstCpu / 1e6; }
};

void writeList(const QString& file, const QStringList& rows)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_exec(db, "CREATE TABLE table1 (path TEXT, id INTEGER PRIMARY KEY AUTOINCREMENT); BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO table1(path) VALUES(?)", -1, &s, nullptr);
    for (const QString& r : rows) {
        const QByteArray u = r.toUtf8();
        sqlite3_bind_text(s, 1, u.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const int width = argc > 2 ? std::max(16, atoi(argv[2])) : 800;
    const int height = width * 2 / 3;

    QTemporaryDir dir;
    const QString root = dir.path();
    qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + "/config").toUtf8());
    qputenv("XDG_CACHE_HOME", (root + "/cache").toUtf8());   // empty: every thumbnail is decoded

    // Distinct pictures, so that no decode is another's.
    QStringList pictures;
    QImage img(width, height, QImage::Format_RGB32);
    QDir().mkpath(root + "/pics");
    for (int i = 0; i < rows; ++i) {
        img.fill(qRgb((i * 37) & 0xff, (i * 91) & 0xff, (i * 13) & 0xff));
        QPainter p(&img);
        p.setPen(Qt::white);
        p.drawText(img.rect(), Qt::AlignCenter, QString::number(i));
        p.end();
        const QString file = QString("%1/pics/p%2.jpg").arg(root).arg(i, 5, 10, QChar('0'));
        img.save(file, "JPG", 85);
        pictures << file;
    }
    writeList(root + "/data/murivo/wmdvm.sys", pictures);

    platform::SystemClock clock;
    AnswerAll boxes;
    platform::IniProgramSettings settings;
    platform::Registry registry(root + "/config/Murivo/registry.json", root + "/config/autostart");
    platform::Desktop desktop(registry, std::make_unique<platform::NoDesktopBackend>("benchmark", false));
    Services sv{clock, boxes, settings, registry, desktop, "/usr/bin/murivo"};
    frmpath paths;
    progress loading;
    Form1 form(sv, paths, loading);

    QElapsedTimer t;
    t.start();
    form.Form_Load();
    // The list is read across event-loop turns; the grid then holds every row.
    while (!form.IsListLoaded())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const double readMs = t.nsecsElapsed() / 1e6;

    BlockMeter meter;
    meter.start();
    t.restart();
    form.show();
    const double inShowMs = t.nsecsElapsed() / 1e6;
    while (!form.windowHandle() || !form.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const double mappedMs = t.nsecsElapsed() / 1e6;
    // The first paint of the whole window comes with the mapping; the grid fills after it.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    const double showingWorst = meter.stopMs();
    const double showingCpu = meter.cpuMs();
    const double firstPaintMs = t.nsecsElapsed() / 1e6;
    const int pendingAtMap = form.ThumbsCtl1.Pending();
    meter.start();
    while (form.ThumbsCtl1.Pending() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const double filledMs = t.nsecsElapsed() / 1e6;
    const double worst = meter.stopMs();
    const double worstCpu = meter.cpuMs();

    std::printf("showing the main window over a list of %d distinct %d x %d JPEGs, empty thumbnail cache (%s)\n", rows,
                width, height, qPrintable(QGuiApplication::platformName()));
    std::printf("  list read (Form_Load)             %8.1f ms\n", readMs);
    std::printf("  show() returned after             %8.1f ms\n", inShowMs);
    std::printf("  window mapped after               %8.1f ms  (%d of %d thumbnails still to come; aim 100 ms: %.2fx)\n",
                mappedMs, pendingAtMap, rows, mappedMs / 100.0);
    std::printf("  first whole paint done after      %8.1f ms  (longest block until then %.1f ms, %.1f ms of it the thread's own work)\n",
                firstPaintMs, showingWorst, showingCpu);
    std::printf("  every thumbnail in after          %8.1f ms  (%.2f ms a picture)\n", filledMs, filledMs / rows);
    std::printf("  longest UI-thread block while the grid filled %6.1f ms  (aim 16 ms: %.2fx)\n", worst, worst / 16.0);
    std::printf("  longest UI-thread work between two ticks      %6.1f ms  (aim 16 ms: %.2fx; the rest of a block is waiting for a core)\n",
                worstCpu, worstCpu / 16.0);
    return 0;
}
