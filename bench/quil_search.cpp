// The searching progress bar animating itself against QProgressBar's busy
// indicator under the Fusion style, in the same run and at the same size:
// each is shown and the event loop runs for the given seconds. Prints the
// process's CPU time per second of animation, the frames painted, and the
// ratios ours / Qt's; asserts nothing.
//
//   bench_quil_search [seconds] [tick-ms]

#include <quilObjects/quilObjects.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Counts the paints a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Run {
    double seconds = 0, cpu = 0;
    int paints = 0;
    double cpuPerSecond() const { return cpu / seconds; }
    double framesPerSecond() const { return paints / seconds; }
    double cpuPerFrameUs() const { return paints ? cpu / paints * 1e6 : 0; }
};

// Shows the widget in a window of its own and lets the event loop animate it.
Run animate(QApplication& app, QWidget& bar, int seconds)
{
    QWidget window;
    window.resize(bar.width() + 40, bar.height() + 40);
    bar.setParent(&window);
    bar.move(20, 20);
    window.show();
    QApplication::processEvents();
    PaintCounter counter;
    bar.installEventFilter(&counter);
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
    app.exec();
    Run r;
    r.cpu = cpuSeconds() - before;
    r.seconds = double(wall.nsecsElapsed()) / 1e9;
    r.paints = counter.paints;
    bar.removeEventFilter(&counter);
    bar.setParent(nullptr);
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const int tick = argc > 2 ? std::max(1, atoi(argv[2])) : 25;

    quil::quilProgressBar ours;
    ours.resize(200, 20);
    ours.setStyle(quil::tSearch);
    ours.setValue(0);
    ours.StartSearch(tick);
    const Run a = animate(app, ours, seconds);
    ours.StopSearch();

    QProgressBar theirs;
    theirs.setStyle(QStyleFactory::create("Fusion"));
    theirs.setRange(0, 0);   // busy: the style animates it
    theirs.resize(200, 20);
    const Run b = animate(app, theirs, seconds);

    std::printf("animating a 200x20 progress bar for %d s (ours: a step every %d ms)\n", seconds, tick);
    std::printf("  %-34s CPU %6.2f %% of one core  %6.1f frames/s  %7.1f us CPU/frame\n",
                "quilProgressBar tSearch", a.cpuPerSecond() * 100, a.framesPerSecond(), a.cpuPerFrameUs());
    std::printf("  %-34s CPU %6.2f %% of one core  %6.1f frames/s  %7.1f us CPU/frame\n",
                "QProgressBar busy (Fusion)", b.cpuPerSecond() * 100, b.framesPerSecond(), b.cpuPerFrameUs());
    std::printf("  ratio ours / Qt's: CPU per second %.2f, CPU per frame %.2f\n",
                b.cpu > 0 ? a.cpuPerSecond() / b.cpuPerSecond() : 0.0,
                b.cpuPerFrameUs() > 0 ? a.cpuPerFrameUs() / b.cpuPerFrameUs() : 0.0);
    return 0;
}
