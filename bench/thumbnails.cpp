// Thumbnails of a folder of generated 24-megapixel JPEGs: time per picture
// and peak memory of murivo's thumbnail decoding (DecodeThumb on a pool of
// as many threads as the machine has cores, as the grid runs it) against
// gdk-pixbuf-thumbnailer at the same size, one process per picture as the
// desktop runs it; then the same folder again from the warm cache. Prints
// numbers and ratios; asserts nothing.
//
//   bench_thumbnails [count] [folder]       (default 20, /tmp/murivo-bench-photos)

#include "thumbs/ThumbsCtl.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct Run {
    double seconds = 0;
    double cpuSeconds = 0;
    long maxRssKb = 0;
    bool ok = true;
};

double CpuSeconds(const rusage& ru)
{
    return ru.ru_utime.tv_sec + ru.ru_utime.tv_usec / 1e6 + ru.ru_stime.tv_sec + ru.ru_stime.tv_usec / 1e6;
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

// The child process: thumbnails of every file given, on `threads` threads.
// Prints how many came out, from the cache or not, and the wall time.
int runOurs(const QStringList& files, int threads)
{
    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    std::atomic<int> shown{0}, cached{0};
    QElapsedTimer clock;
    clock.start();
    QList<QFuture<void>> all;
    for (const QString& f : files)
        all << QtConcurrent::run(&pool, [&, f] {
            const murivo::DecodedThumb d = murivo::DecodeThumb(f);
            if (!d.image.isNull())
                ++shown;
            if (d.fromCache)
                ++cached;
        });
    for (auto& f : all)
        f.waitForFinished();
    std::printf("%d %d %.6f\n", shown.load(), cached.load(), clock.nsecsElapsed() / 1e9);
    return 0;
}

} // namespace

// Peak memory and CPU time are read from wait4 of a grandchild: a child
// spawned straight from this (large) process would count its pages too.
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
    if (last != std::string::npos
        && std::sscanf(all.c_str() + last, "measure %lf %lf %ld %d", &r.seconds, &r.cpuSeconds, &r.maxRssKb, &ok) == 4)
        r.ok = ok != 0;
    if (out)
        *out = all.substr(0, last == std::string::npos ? all.size() : last);
    return r;
}

int main(int argc, char** argv)
{
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
            std::printf("measure 0 0 0 0\n");
            return 0;
        }
        int status = 0;
        rusage ru{};
        wait4(pid, &status, 0, &ru);
        std::printf("measure %.6f %.6f %ld %d\n", t.nsecsElapsed() / 1e9, CpuSeconds(ru), ru.ru_maxrss,
                    WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return 0;
    }
    if (argc > 3 && std::string(argv[1]) == "--ours") {
        QCoreApplication app(argc, argv);
        const int threads = std::max(1, atoi(argv[2]));
        QStringList files;
        for (int i = 3; i < argc; ++i)
            files << QString::fromLocal8Bit(argv[i]);
        return runOurs(files, threads);
    }
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString("/tmp/murivo-bench-photos");
    makePhotos(dir, count);
    const QStringList names = QDir(dir).entryList({"*.jpg"}, QDir::Files, QDir::Name).mid(0, count);
    QTemporaryDir out;
    const std::string self = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath().toStdString();
    const int cores = QThread::idealThreadCount();

    // Ours: the whole folder in one process, with a private cache that is
    // empty for each cold run and filled by the first for the warm one.
    auto ours = [&](const QString& cache, int threads, const char* what) {
        qputenv("XDG_CACHE_HOME", cache.toUtf8());
        std::vector<std::string> args{self, "--ours", std::to_string(threads)};
        for (const QString& n : names)
            args.push_back((dir + "/" + n).toStdString());
        std::string report;
        Run r = measured(self, args, &report);
        int shown = 0, cached = 0;
        double wall = 0;
        if (!r.ok || std::sscanf(report.c_str(), "%d %d %lf", &shown, &cached, &wall) != 3 || shown != names.size()) {
            std::fprintf(stderr, "the %s run failed: %s\n", what, report.c_str());
            std::exit(1);
        }
        std::printf("  %-34s %7.1f ms/picture  CPU %7.1f ms/picture  peak %5ld MB  (%d of %d from the cache)\n", what,
                    wall * 1e3 / shown, r.cpuSeconds * 1e3 / shown, r.maxRssKb / 1024, cached, shown);
        r.seconds = wall / shown;
        r.cpuSeconds /= shown;
        return r;
    };
    QTemporaryDir cache, cacheOneThread;
    std::printf("thumbnails of %d 6000x4000 JPEGs at 128 pixels, %d cores\n", static_cast<int>(names.size()), cores);
    const Run cold = ours(cache.path(), cores, qPrintable(QString("murivo cold, %1 threads").arg(cores)));
    const Run warm = ours(cache.path(), cores, qPrintable(QString("murivo warm, %1 threads").arg(cores)));
    const Run coldOne = ours(cacheOneThread.path(), 1, "murivo cold, 1 thread");

    double gdkSec = 0, gdkCpu = 0;
    long gdkPeak = 0;
    bool gdkOk = true;
    for (int i = 0; i < names.size(); ++i) {
        const Run r = measured(self, {"gdk-pixbuf-thumbnailer", "-s", "128", (dir + "/" + names[i]).toStdString(),
                                      out.filePath(QString("t%1.png").arg(i)).toStdString()});
        gdkSec += r.seconds;
        gdkCpu += r.cpuSeconds;
        gdkPeak = std::max(gdkPeak, r.maxRssKb);
        gdkOk = gdkOk && r.ok;
    }
    gdkSec /= names.size();
    gdkCpu /= names.size();
    std::printf("  %-34s %7.1f ms/picture  CPU %7.1f ms/picture  peak %5ld MB%s\n", "gdk-pixbuf-thumbnailer", gdkSec * 1e3,
                gdkCpu * 1e3, gdkPeak / 1024, gdkOk ? "" : "  (some runs failed: is libgdk-pixbuf2.0-bin installed?)");
    std::printf("  ratio cold / gdk-pixbuf-thumbnailer = %.2f (1 thread: %.2f; CPU per picture: %.2f)\n", cold.seconds / gdkSec,
                coldOne.seconds / gdkSec, cold.cpuSeconds / gdkCpu);
    std::printf("  warm from the cache: %.2f ms/picture; ratio warm / cold = %.3f\n", warm.seconds * 1e3,
                warm.seconds / cold.seconds);
    return 0;
}
