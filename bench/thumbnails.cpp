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

// Runs a program and reports its wall time and peak memory.
Run spawnAndMeasure(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer t;
    t.start();
    pid_t pid = -1;
    Run r;
    if (posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0) {
        posix_spawn_file_actions_destroy(&fa);
        r.ok = false;
        return r;
    }
    posix_spawn_file_actions_destroy(&fa);
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    r.seconds = t.nsecsElapsed() / 1e9;
    r.maxRssKb = ru.ru_maxrss;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return r;
}

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
    const double seconds = clock.nsecsElapsed() / 1e9;
    worst = std::max(worst, clock.nsecsElapsed() - last);
    std::printf("%d %.6f %.3f\n", grid.ListCount(), seconds, worst / 1e6);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && std::string(argv[1]) == "--ours") {
        QApplication app(argc, argv);
        return runOurs(QString::fromLocal8Bit(argv[2]));
    }
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString("/tmp/murivo-bench-photos");
    makePhotos(dir, count);
    QStringList files = QDir(dir).entryList({"*.jpg"}, QDir::Files, QDir::Name).mid(0, count);
    QTemporaryDir out;

    // Ours, in a child so that its peak memory is its own.
    std::string self = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath().toStdString();
    FILE* pipe = popen((self + " --ours '" + dir.toStdString() + "'").c_str(), "r");
    int loaded = 0;
    double oursSeconds = 0, worstMs = 0;
    if (!pipe || std::fscanf(pipe, "%d %lf %lf", &loaded, &oursSeconds, &worstMs) != 3) {
        std::fprintf(stderr, "the thumbnail grid run failed\n");
        return 1;
    }
    const Run oursMem = [&] {
        pclose(pipe);
        return spawnAndMeasure({self, "--ours", dir.toStdString()});
    }();

    auto perPicture = [&](auto makeArgs) {
        double total = 0;
        long peak = 0;
        bool ok = true;
        for (int i = 0; i < files.size(); ++i) {
            const Run r = spawnAndMeasure(makeArgs(dir + "/" + files[i], out.filePath(QString("t%1.png").arg(i))));
            total += r.seconds;
            peak = std::max(peak, r.maxRssKb);
            ok = ok && r.ok;
        }
        return std::make_tuple(total / files.size(), peak, ok);
    };
    const auto [gdkSec, gdkPeak, gdkOk] = perPicture([](const QString& in, const QString& o) {
        return std::vector<std::string>{"gdk-pixbuf-thumbnailer", "-s", "109", in.toStdString(), o.toStdString()};
    });
    const auto [vipsSec, vipsPeak, vipsOk] = perPicture([](const QString& in, const QString& o) {
        return std::vector<std::string>{"vipsthumbnail", in.toStdString(), "-s", "109", "-o", o.toStdString()};
    });

    const double ours = oursSeconds / std::max(1, loaded);
    std::printf("thumbnails of %d 6000x4000 JPEGs at 109 pixels (1635 twips)\n", loaded);
    std::printf("  murivo grid             %7.1f ms/picture  peak %6ld MB  (whole folder in one process)\n", ours * 1e3,
                oursMem.maxRssKb / 1024);
    std::printf("  gdk-pixbuf-thumbnailer  %7.1f ms/picture  peak %6ld MB%s\n", gdkSec * 1e3, gdkPeak / 1024,
                gdkOk ? "" : "  (some runs failed: is libgdk-pixbuf2.0-bin installed?)");
    std::printf("  vipsthumbnail           %7.1f ms/picture  peak %6ld MB%s\n", vipsSec * 1e3, vipsPeak / 1024,
                vipsOk ? "" : "  (some runs failed: is libvips-tools installed?)");
    std::printf("  ratio murivo / gdk-pixbuf-thumbnailer = %.2f, murivo / vipsthumbnail = %.2f\n", ours / gdkSec, ours / vipsSec);
    std::printf("  longest UI-thread block while the folder loaded: %.1f ms\n", worstMs);
    return 0;
}
