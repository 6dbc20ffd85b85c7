// Re-wrapping a long caption: quilLabel with TextWrap against a word-wrapped
// QLabel, each laid out and painted at 50 widths in the same run. Prints the
// time per re-wrap and the ratio; asserts nothing.
//
//   bench_quil_label [rounds]
#include "composite/quilLabel_p.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// 2 000 characters of words from 1 to 12 letters, the same every run.
QString caption()
{
    QString text;
    quint32 seed = 12345;
    while (text.size() < 2000) {
        seed = seed * 1103515245u + 12345u;
        const int len = 1 + int((seed >> 16) % 12);
        for (int i = 0; i < len; ++i)
            text += QChar('a' + int((seed >> (i % 16)) % 26));
        text += ' ';
    }
    text.truncate(2000);
    return text.trimmed();
}

// Median microseconds of one re-wrap (one width) for each contestant, and
// their first round (nothing measured at these widths before). Their rounds
// alternate, so that a busy machine slows all of them alike.
std::vector<double> perRewrap(int rounds, const std::vector<int>& widths,
                              const std::vector<std::function<void(int)>>& contestants, std::vector<double>* first)
{
    std::vector<std::vector<double>> times(contestants.size());
    for (int r = 0; r < rounds; ++r)
        for (size_t c = 0; c < contestants.size(); ++c) {
            QElapsedTimer t;
            t.start();
            for (int w : widths)
                contestants[c](w);
            times[c].push_back(t.nsecsElapsed() / 1e3 / double(widths.size()));
        }
    std::vector<double> medians;
    for (auto& t : times) {
        first->push_back(t.front());
        std::sort(t.begin(), t.end());
        medians.push_back(t[t.size() / 2]);
    }
    return medians;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const QString text = caption();
    std::vector<int> widths;
    for (int i = 0; i < 50; ++i)
        widths.push_back(150 + 10 * i);
    const QFont font("DejaVu Sans", 9);

    quil::quilLabel label;
    label.setFont(font);
    label.setTextWrap(true);
    label.setCaption(text);
    // Tall enough for every line at the narrowest width, so both lay out the whole caption.
    label.resize(widths.front(), 100000);
    label.Face();
    const auto& printed = quil::quilLabelPrivate::of(&label).PrintedLines();
    const int height = 8 + int(printed.size() + 1) * QFontMetrics(font).height();
    label.resize(widths.front(), height);
    label.Face();
    // The same resizes with nothing to wrap: the face's own cost of a new size.
    quil::quilLabel empty;
    empty.setTextWrap(true);
    empty.setCaption(QString());
    empty.resize(widths.front(), height);
    empty.Face();

    QLabel qt;
    qt.setFont(font);
    qt.setWordWrap(true);
    qt.setText(text);
    qt.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QImage target(widths.back(), height, QImage::Format_ARGB32_Premultiplied);

    size_t lines = 0;
    std::vector<double> first;
    const std::vector<double> t = perRewrap(
        rounds, widths,
        {[&](int w) {
             label.resize(w, height);
             label.Face();   // paints at the new width
             lines += printed.size();
         },
         [&](int w) {
             empty.resize(w, height);
             empty.Face();
         },
         [&](int w) {
             qt.resize(w, height);
             QPainter p(&target);
             qt.render(&p);
         }},
        &first);
    const double ours = t[0], resizeOnly = t[1], theirs = t[2];

    std::printf("caption %lld characters, 50 widths from %d to %d at height %d, %zu lines per round\n",
                static_cast<long long>(text.size()), widths.front(), widths.back(), height, lines / rounds);
    std::printf("quilLabel  %10.1f us per re-wrap\n", ours);
    std::printf("  an empty label, resized and cleared: %8.1f us\n", resizeOnly);
    std::printf("QLabel     %10.1f us per re-wrap\n", theirs);
    std::printf("ratio      %10.2f (quilLabel / QLabel)\n", ours / theirs);
    // The surface remembers the widths it measured; the first round had none of them.
    std::printf("first round: quilLabel %.1f us, QLabel %.1f us, ratio %.2f\n", first[0], first[2], first[0] / first[2]);
    return 0;
}
