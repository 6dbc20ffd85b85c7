// quilListbox holding 10 000 entries against a QListWidget with the same
// entries in the same run (Fusion style): filling, Refresh with a full
// repaint, and stepping the scroll bar through the whole list with a repaint
// at each step. Also the heap each entry costs, with and without its
// strings. Prints times and ratios; asserts nothing.
//
//   bench_quil_listbox [entries] [repaints]

#include <quilObjects/quilObjects.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <vector>

namespace {

// Median milliseconds per run over five runs.
double perRun(const std::function<void()>& f)
{
    std::vector<double> runs;
    f();   // warm the caches and the glyph cache
    for (int r = 0; r < 5; ++r) {
        QElapsedTimer t;
        t.start();
        f();
        runs.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

size_t heapInUse() { return mallinfo2().uordblks; }

QString key(int i) { return QStringLiteral("k%1").arg(i, 5, 10, QLatin1Char('0')); }
QString caption(int i) { return QStringLiteral("Entry number %1").arg(i); }

// What a QString of n UTF-16 units takes on the heap: header, the units and a terminator, rounded up by malloc.
size_t stringBytes(qsizetype n) { return ((16 + 2 * size_t(n + 1) + 8 + 15) / 16) * 16; }

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    const int n = argc > 1 ? std::clamp(atoi(argv[1]), 10, 32767) : 10000;
    const int paints = argc > 2 ? std::max(1, atoi(argv[2])) : 50;
    const QFont font("DejaVu Sans", 8);
    const QSize size(200, 300);
    QImage target(size, QImage::Format_ARGB32_Premultiplied);

    // Heap per entry: the collection alone, filled once.
    size_t stringsPerEntry = 0;
    double bytesPerEntry = 0;
    {
        std::vector<QString> keys, captions;
        keys.reserve(size_t(n));
        captions.reserve(size_t(n));
        for (int i = 1; i <= n; ++i) {
            keys.push_back(key(i));
            captions.push_back(caption(i));
            stringsPerEntry += stringBytes(keys.back().size()) + stringBytes(captions.back().size());
        }
        const size_t before = heapInUse();
        auto list = QSharedPointer<quil::ComboDatas>::create();
        for (int i = 0; i < n; ++i)
            list->Add(keys[size_t(i)], captions[size_t(i)]);
        bytesPerEntry = double(heapInUse() - before) / n;
        stringsPerEntry /= size_t(n);
    }

    quil::quilListbox ours;
    ours.setFont(font);
    ours.resize(size);
    QListWidget theirs;
    theirs.setFont(font);
    theirs.resize(size);
    theirs.setUniformItemSizes(true);

    const double oursFill = perRun([&] {
        ours.ListboxItems()->Clear();
        for (int i = 1; i <= n; ++i)
            ours.ListboxItems()->Add(key(i), caption(i));
    });
    // The entries alone, with nobody listening, to tell the collection's share from the list's.
    quil::ComboDatas alone;
    const double aloneFill = perRun([&] {
        alone.Clear();
        for (int i = 1; i <= n; ++i)
            alone.Add(key(i), caption(i));
    });
    const double theirsFill = perRun([&] {
        theirs.clear();
        for (int i = 1; i <= n; ++i) {
            auto* item = new QListWidgetItem(caption(i));
            item->setData(Qt::UserRole, key(i));
            theirs.addItem(item);
        }
    });

    const double oursPaint = perRun([&] {
        for (int i = 0; i < paints; ++i) {
            ours.Refresh();
            QPainter p(&target);
            ours.render(&p);
        }
    }) / paints;
    theirs.ensurePolished();
    const double theirsPaint = perRun([&] {
        for (int i = 0; i < paints; ++i) {
            theirs.doItemsLayout();
            QPainter p(&target);
            theirs.render(&p);
        }
    }) / paints;

    // Through the whole list by the scroll bar, a repaint at every position.
    quil::quilScrollBar* bar = ours.ScrollBar();
    const int ourSteps = bar->Max() - bar->Min() + 1;
    const double oursScroll = perRun([&] {
        for (int v = bar->Min(); v <= bar->Max(); ++v) {
            bar->setValue(v);
            QPainter p(&target);
            ours.render(&p);
        }
        bar->setValue(bar->Min());
    });
    QScrollBar* theirBar = theirs.verticalScrollBar();
    const int theirSteps = theirBar->maximum() - theirBar->minimum() + 1;
    const double theirsScroll = perRun([&] {
        for (int v = theirBar->minimum(); v <= theirBar->maximum(); ++v) {
            theirBar->setValue(v);
            QPainter p(&target);
            theirs.render(&p);
        }
        theirBar->setValue(theirBar->minimum());
    });

    std::printf("%d entries, %dx%d, DejaVu Sans 8; median of 5 runs\n", n, size.width(), size.height());
    std::printf("  fill                     quilListbox %9.2f ms   QListWidget %9.2f ms   ratio %.2f\n", oursFill,
                theirsFill, oursFill / theirsFill);
    std::printf("    of which the entries   ComboDatas  %9.2f ms (no list box listening)\n", aloneFill);
    std::printf("  Refresh + full repaint   quilListbox %9.3f ms   QListWidget %9.3f ms   ratio %.2f\n", oursPaint,
                theirsPaint, oursPaint / theirsPaint);
    std::printf("  scroll through all       quilListbox %9.2f ms (%d steps, %.3f ms a step)   QListWidget %9.2f ms "
                "(%d steps, %.3f ms a step)   ratio per step %.2f\n",
                oursScroll, ourSteps, oursScroll / ourSteps, theirsScroll, theirSteps, theirsScroll / theirSteps,
                (oursScroll / ourSteps) / (theirsScroll / theirSteps));
    std::printf("  heap per entry: %.0f bytes, of which about %zu are its key and caption: %.0f beyond its strings\n",
                bytesPerEntry, stringsPerEntry, bytesPerEntry - double(stringsPerEntry));
    return 0;
}
