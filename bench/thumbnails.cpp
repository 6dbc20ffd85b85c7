// Thumbnails of a folder of generated 24-megapixel JPEGs: time per picture
// and peak memory of murivo's thumbnail grid against gdk-pixbuf-thumbnailer
// and vipsthumbnail at the same size, and the longest time the UI thread was
// blocked while the folder loaded. Prints numbers and ratios; asserts nothing.
//
//   bench_thumbnails [count] [folder]       (default 50, /tmp/murivo-bench-photos)

#include "thumbs/ThumbsCtl.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <fcntl.h>
#include <algorithm>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct Run {
    double seconds = 0;
    long maxRssKb = 0;
    bool ok = true;
};

void makePhotos(const QString& dir, int count)
{
    QDir().mkpath(dir);
    for (int i = 0; i < count; ++i) {
        const QString path = QString("%1/photo-%2.jpg").arg(dir).arg(i, 3, 10, QChar('0'));
        if (QFileInfo::exists(path))
            continue;
        QImage img(6000, 4000, QImage::Format_RGB32);
        auto* rng = QRandomGenerator::global();
        const int tint = static_cast<int>(rng->bounded(200));
        for (int y = 0; y < img.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const int n = static_cast<int>(rng->bounded(20));
                line[x] = qRgb((x / 24 + tint + n) & 0xff, (y / 16 + n) & 0xff, ((x + y) / 40 + n) & 0xff);
            }
        }
        img.save(path, "JPG", 90);
        std::fprintf(stderr, "\rmaking photos %d/%d", i + 1, count);
    }
    std::fprintf(stderr, "\n");
}

// The child process: loads the folder into a grid, reports time and the longest UI block.
int runOurs(const QString& dir)
{
    murivo::ThumbsCtl grid;
    grid.setSurfaceWidthTwips(11010);
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    clock.start();
    tick.start();
    grid.ScanPath(dir);
    // The grid decodes on its workers and fills as they report back.
    while (grid.Pending() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const double seconds = clock.nsecsElapsed() / 1e9;
    worst = std::max(worst, clock.nsecsElapsed() - last);
    std::printf("%d %.6f %.3f\n", grid.ListCount(), seconds, worst / 1e6);
    return 0;
}

} // namespace

// Peak memory is read from wait4 of a grandchild: a child spawned straight
// from this (large) process would count this process's pages as its own.
Run measured(const std::string& self, const std::vector<std::string>& args, std::string* out = nullptr)
{
    std::string cmd = "'" + self + "' --measure";
    for (const auto& a : args)
        cmd += " '" + a + "'";
    FILE* p = popen(cmd.c_str(), "r");
    Run r;
    r.ok = false;
    if (!p)
        return r;
    char line[512] = {};
    std::string all;
    while (std::fgets(line, sizeof line, p))
        all += line;
    pclose(p);
    int ok = 0;
    const size_t last = all.rfind("measure ");
    if (last != std::string::npos && std::sscanf(all.c_str() + last, "measure %lf %ld %d", &r.seconds, &r.maxRssKb, &ok) == 3)
        r.ok = ok != 0;
    if (out)
        *out = all.substr(0, last == std::string::npos ? all.size() : last);
    return r;
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && std::string(argv[1]) == "--measure") {
        std::vector<std::string> args(argv + 2, argv + argc);
        // The measured program's own output comes first, then ours.
        std::fflush(stdout);
        std::vector<char*> cargv;
        for (auto& a : args)
            cargv.push_back(a.data());
        cargv.push_back(nullptr);
        QElapsedTimer t;
        t.start();
        pid_t pid = -1;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid, cargv[0], &fa, nullptr, cargv.data(), environ) != 0) {
            std::printf("measure 0 0 0\n");
            return 0;
        }
        int status = 0;
        rusage ru{};
        wait4(pid, &status, 0, &ru);
        std::printf("measure %.6f %ld %d\n", t.nsecsElapsed() / 1e9, ru.ru_maxrss, WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "--ours") {
        QApplication app(argc, argv);
        return runOurs(QString::fromLocal8Bit(argv[2]));
    }
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString("/tmp/murivo-bench-photos");
    makePhotos(dir, count);
    QStringList files = QDir(dir).entryList({"*.jpg"}, QDir::Files, QDir::Name).mid(0, count);
    QTemporaryDir out;

    // Ours: the whole folder in one process.
    const std::string self = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath().toStdString();
    // A private thumbnail cache: empty for the cold run, filled by it for the warm one.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    std::string report;
    const Run oursMem = measured(self, {self, "--ours", dir.toStdString()}, &report);
    int loaded = 0;
    double oursSeconds = 0, worstMs = 0;
    if (!oursMem.ok || std::sscanf(report.c_str(), "%d %lf %lf", &loaded, &oursSeconds, &worstMs) != 3) {
        std::fprintf(stderr, "the thumbnail grid run failed\n");
        return 1;
    }
    std::string warmReport;
    const Run warmMem = measured(self, {self, "--ours", dir.toStdString()}, &warmReport);
    int warmLoaded = 0;
    double warmSeconds = 0, warmWorstMs = 0;
    if (!warmMem.ok || std::sscanf(warmReport.c_str(), "%d %lf %lf", &warmLoaded, &warmSeconds, &warmWorstMs) != 3) {
        std::fprintf(stderr, "the warm thumbnail grid run failed\n");
        return 1;
    }

    auto perPicture = [&](auto makeArgs) {
        double total = 0;
        long peak = 0;
        bool ok = true;
        for (int i = 0; i < files.size(); ++i) {
            const Run r = measured(self, makeArgs(dir + "/" + files[i], out.filePath(QString("t%1.png").arg(i))));
            total += r.seconds;
            peak = std::max(peak, r.maxRssKb);
            ok = ok && r.ok;
        }
        return std::make_tuple(total / files.size(), peak, ok);
    };
    const auto [gdkSec, gdkPeak, gdkOk] = perPicture([](const QString& in, const QString& o) {
        return std::vector<std::string>{"gdk-pixbuf-thumbnailer", "-s", "128", in.toStdString(), o.toStdString()};
    });
    const auto [vipsSec, vipsPeak, vipsOk] = perPicture([](const QString& in, const QString& o) {
        return std::vector<std::string>{"vipsthumbnail", in.toStdString(), "-s", "109", "-o", o.toStdString()};
    });

    const double ours = oursSeconds / std::max(1, loaded);
    std::printf("thumbnails of %d 6000x4000 JPEGs: murivo decodes at 128 pixels (the cache's size, shown at 109), gdk-pixbuf-thumbnailer at 128\n", loaded);
    std::printf("  murivo grid             %7.1f ms/picture  peak %6ld MB  (whole folder in one process)\n", ours * 1e3,
                oursMem.maxRssKb / 1024);
    std::printf("  gdk-pixbuf-thumbnailer  %7.1f ms/picture  peak %6ld MB%s\n", gdkSec * 1e3, gdkPeak / 1024,
                gdkOk ? "" : "  (some runs failed: is libgdk-pixbuf2.0-bin installed?)");
    std::printf("  vipsthumbnail           %7.1f ms/picture  peak %6ld MB%s\n", vipsSec * 1e3, vipsPeak / 1024,
                vipsOk ? "" : "  (some runs failed: is libvips-tools installed?)");
    std::printf("  ratio murivo / gdk-pixbuf-thumbnailer = %.2f, murivo / vipsthumbnail = %.2f\n", ours / gdkSec, ours / vipsSec);
    std::printf("  longest UI-thread block while the folder loaded: %.1f ms\n", worstMs);
    const double warm = warmSeconds / std::max(1, warmLoaded);
    std::printf("  murivo grid, warm cache %7.1f ms/picture  peak %6ld MB; ratio warm / gdk-pixbuf-thumbnailer = %.3f,"
                " warm / cold = %.3f; longest UI-thread block %.1f ms\n",
                warm * 1e3, warmMem.maxRssKb / 1024, warm / gdkSec, warm / ours, warmWorstMs);
    return 0;
}
