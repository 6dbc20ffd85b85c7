// The library's controls against Qt's own under the Fusion style, in the same
// run: a full repaint of an 80 x 24 quilButton and QPushButton, and of a
// 100 x 17 horizontal quilScrollBar (its arrows included) and QScrollBar; then
// the CPU the process uses while the pointer rests on a hovered quilButton.
// Prints times and ratios; asserts nothing.
//
//   bench_quil_repaint [paints] [rest-seconds]

#include <quilObjects/quilObjects.h>

#include "basic/quilScrollBar_p.h"
#include "frame/quilControl_p.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

// Median microseconds per call over several rounds.
double perCall(int calls, const std::function<void()>& f)
{
    std::vector<double> rounds;
    for (int i = 0; i < calls / 10 + 1; ++i)
        f();   // warm the caches and the glyph cache
    for (int r = 0; r < 9; ++r) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < calls; ++i)
            f();
        rounds.push_back(double(t.nsecsElapsed()) / 1e3 / calls);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

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

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int rest = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
    QStyle* fusion = QStyleFactory::create("Fusion");

    // Each paint draws the whole control into an image, as a window's backing store would get it.
    QImage buttonTarget(80, 24, QImage::Format_ARGB32_Premultiplied);
    quil::quilButton ours;
    ours.setCaption("Remove");
    ours.resize(80, 24);
    ours.Refresh();
    const double oursButton = perCall(calls, [&] {
        ours.Refresh();
        QPainter p(&buttonTarget);
        ours.render(&p);
    });
    QPushButton theirs("Remove");
    theirs.setStyle(fusion);
    theirs.resize(80, 24);
    theirs.ensurePolished();
    const double theirsButton = perCall(calls, [&] {
        QPainter p(&buttonTarget);
        theirs.render(&p);
    });

    QImage barTarget(100, 17, QImage::Format_ARGB32_Premultiplied);
    quil::quilScrollBar ourBar;
    ourBar.setOrientation(quil::pbHorizontal);
    ourBar.resize(100, 17);
    if (ourBar.size() != QSize(100, 17))
        std::fprintf(stderr, "the bar sized itself to %dx%d\n", ourBar.width(), ourBar.height());
    const double oursBar = perCall(calls, [&] {
        ourBar.Refresh();
        quil::quilScrollBarPrivate::of(&ourBar).Arrow(0)->Refresh();
        quil::quilScrollBarPrivate::of(&ourBar).Arrow(1)->Refresh();
        QPainter p(&barTarget);
        ourBar.render(&p);
    });
    QScrollBar theirBar(Qt::Horizontal);
    theirBar.setStyle(fusion);
    theirBar.setRange(1, 100);
    theirBar.setValue(50);
    theirBar.resize(100, 17);
    theirBar.ensurePolished();
    const double theirsBar = perCall(calls, [&] {
        QPainter p(&barTarget);
        theirBar.render(&p);
    });

    std::printf("full repaint, median of 9 rounds of %d (microseconds per paint)\n", calls);
    std::printf("  quilButton 80x24       %8.2f   QPushButton (Fusion) %8.2f   ratio %.2f\n", oursButton, theirsButton,
                oursButton / theirsButton);
    std::printf("  quilScrollBar 100x17   %8.2f   QScrollBar (Fusion)  %8.2f   ratio %.2f\n", oursBar, theirsBar,
                oursBar / theirsBar);
    std::fflush(stdout);

    // The pointer rests on a hovered button: the poll runs, the face should not be repainted.
    QWidget window;
    window.resize(200, 100);
    auto* resting = new quil::quilButton(&window);
    resting->setCaption("Rest here");
    resting->setGeometry(60, 38, 80, 24);
    window.show();
    QApplication::processEvents();
    const QPoint centre = resting->mapToGlobal(QPoint(40, 12));
    quil::quilControlPrivate::SetPointerSource([centre] { return centre; });
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 12), QPointF(centre), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(resting, &move);
    PaintCounter counter;
    resting->installEventFilter(&counter);
    const bool polling = resting->Polling();
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(rest * 1000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
    app.exec();
    const double used = cpuSeconds() - before;
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    std::printf("pointer resting on a hovered quilButton for %.1f s (poll %s, state %d, %d paints of the button):\n",
                seconds, polling && resting->Polling() ? "running" : "NOT running", resting->State_(), counter.paints);
    std::printf("  CPU %.3f s = %.2f %% of one core\n", used, used / seconds * 100.0);
    return 0;
}
