// Full repaints of the owner-drawn controls against QPushButton's own paint
// of the same size under the Fusion style, in the same run. Prints times and
// ratios; asserts nothing.
#include "platform/forms/PropertyBag.h"
#include "widgets/GlossButton.h"
#include "widgets/ThemedButton.h"
#include "widgets/XP_ProgressBar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Median microseconds per call over several rounds.
double perCall(int calls, const std::function<void()>& f)
{
    std::vector<double> rounds;
    for (int r = 0; r < 7; ++r) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < calls; ++i)
            f();
        rounds.push_back(t.nsecsElapsed() / 1e3 / calls);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

double pushButton(QSize size, int calls)
{
    QPushButton b("Remove");
    b.setStyle(QStyleFactory::create("Fusion"));
    b.resize(size);
    b.ensurePolished();
    QImage target(size, QImage::Format_ARGB32_Premultiplied);
    return perCall(calls, [&] {
        QPainter p(&target);
        b.render(&p);
    });
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(1, atoi(argv[1])) : 200;

    murivo::GlossButton gloss;
    platform::MemoryPropertyBag bag;
    bag.values["Style"] = 7;
    bag.values["Caption"] = QString("Remove");
    bag.values["Font"] = QFont("Arial", 9, QFont::Bold);
    gloss.SetSize(129, 25);
    gloss.ReadProperties(bag);
    gloss.Show();
    const double glossUs = perCall(calls, [&] { gloss.Redraw(0); });
    const double push129 = pushButton(QSize(129, 25), calls);

    murivo::XP_ProgressBar bar;
    bar.resize(300, 24);
    bar.setColor(0x0080FF);
    bar.setValue(60);
    const double barUs = perCall(calls, [&] { bar.DrawProgressBar(); });
    const double push300 = pushButton(QSize(300, 24), calls);

    murivo::ThemedButton themed;
    platform::MemoryPropertyBag tbag;
    tbag.values["Style"] = 8;
    tbag.values["Caption"] = QString("Homepage");
    tbag.values["Font"] = QFont("Verdana", 8);
    themed.SetSize(75, 23);
    themed.ReadProperties(tbag);
    themed.Show();
    const double themedUs = perCall(calls, [&] { themed.Refresh(); });
    const double push75 = pushButton(QSize(75, 23), calls);

    std::printf("full repaint, median microseconds per paint (%d paints x 7 rounds)\n", calls);
    std::printf("  GlossButton Style 7 129x25     %8.1f us   QPushButton Fusion 129x25 %8.1f us   ratio %.2f\n", glossUs,
                push129, glossUs / push129);
    std::printf("  XP_ProgressBar look 0 300x24   %8.1f us   QPushButton Fusion 300x24 %8.1f us   ratio %.2f\n", barUs,
                push300, barUs / push300);
    std::printf("  ThemedButton Style 8 75x23      %8.1f us   QPushButton Fusion 75x23  %8.1f us   ratio %.2f\n", themedUs,
                push75, themedUs / push75);
    return 0;
}
