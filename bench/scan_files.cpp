// ScanPathforFiles over a generated tree against `find DIR -type f`, in the
// same run: 100 000 files in 5 000 folders (50 top folders of 100 folders of
// 20 files) made under /tmp and removed at the end. Prints the median time of
// each over a few rounds, wall and CPU, and the ratios ours / find; asserts
// nothing. CPU time is the steadier figure on a busy machine.
//
//   bench_scan_files [rounds]

#include <quilObjects/Search.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

// CPU seconds (user + system) of this process, or of its ended children.
double cpu(int who)
{
    rusage u{};
    getrusage(who, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir tree(QDir::tempPath() + "/quil-bench-scan-XXXXXX");
    if (!tree.isValid()) {
        std::fprintf(stderr, "cannot make a folder under %s\n", qPrintable(QDir::tempPath()));
        return 1;
    }
    const QString root = tree.path();
    std::printf("making 100000 files in 5000 folders under %s\n", qPrintable(root));
    for (int a = 0; a < 50; ++a)
        for (int b = 0; b < 100; ++b) {
            const QString dir = QStringLiteral("%1/d%2/e%3").arg(root).arg(a).arg(b);
            QDir().mkpath(dir);
            for (int f = 0; f < 20; ++f) {
                const QByteArray path = QStringLiteral("%1/file%2.dat").arg(dir).arg(f).toLocal8Bit();
                const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (fd >= 0) {
                    (void)!write(fd, "data", 4);
                    close(fd);
                }
            }
        }

    std::vector<double> ours, theirs, oursCpu, theirsCpu, statting;
    int found = 0, findLines = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        double c0 = cpu(RUSAGE_SELF);
        t.start();
        quil::Search s;
        quil::Search::Results results;
        s.ScanPathforFiles(root, "*.*", results);
        ours.push_back(t.nsecsElapsed() / 1e6);
        oursCpu.push_back((cpu(RUSAGE_SELF) - c0) * 1e3);
        found = results->Count();

        c0 = cpu(RUSAGE_CHILDREN);
        t.restart();
        QProcess find;
        find.start(QStringLiteral("find"), {root, QStringLiteral("-type"), QStringLiteral("f")});
        find.waitForFinished(-1);
        const QByteArray out = find.readAllStandardOutput();
        theirs.push_back(t.nsecsElapsed() / 1e6);
        theirsCpu.push_back((cpu(RUSAGE_CHILDREN) - c0) * 1e3);
        findLines = static_cast<int>(out.count('\n'));

        // find reading each file's size and date too, as the scan does.
        t.restart();
        QProcess findStat;
        findStat.start(QStringLiteral("find"),
                       {root, QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-printf"),
                        QStringLiteral("%p %s %T@\n")});
        findStat.waitForFinished(-1);
        findStat.readAllStandardOutput();
        statting.push_back(t.nsecsElapsed() / 1e6);
    }
    const double a = median(ours), b = median(theirs), ac = median(oursCpu), bc = median(theirsCpu);
    std::printf("ScanPathforFiles: %d files, median %.1f ms wall, %.1f ms CPU over %d rounds\n", found, a, ac,
                rounds);
    std::printf("find -type f:     %d files, median %.1f ms wall, %.1f ms CPU\n", findLines, b, bc);
    std::printf("ratio ours / find: %.2f wall, %.2f CPU\n", a / b, ac / bc);
    std::printf("find -printf '%%p %%s %%T@': median %.1f ms wall; ratio ours / it: %.2f\n", median(statting),
                a / median(statting));
    return found == findLines ? 0 : 1;
}
