// The font drop-down's first opening with every installed font against a
// QFontComboBox's first showPopup, in the same run: each made on a shown
// form, filled, opened and its list painted once. A first opening is timed
// in a fresh process of its own (this program started again with --round),
// so no glyph or font cache of an earlier round helps; the two alternate.
// Then the same again in this process with fresh widgets but warm caches.
// Prints medians per phase and the ratios drop-down / QFontComboBox;
// asserts nothing.
//
//   bench_dropdown_fonts [rounds]

#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Milliseconds: made (and, for the combo box, filled), filled, opened, first paint of the list.
struct Phases {
    double make = 0, fill = 0, open = 0, paint = 0;
    int rows = 0;
    double total() const { return make + fill + open + paint; }
};

// Notes when a widget has been painted.
class PaintSeen : public QObject {
public:
    bool seen = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            seen = true;
        return false;
    }
};

// Runs the event loop until the widget's first paint has been handled.
void untilPainted(QWidget* w)
{
    PaintSeen p;
    w->installEventFilter(&p);
    QElapsedTimer t;
    t.start();
    // The filter sees the paint event before the widget does; the round of
    // the loop that delivered it returns only after the widget painted.
    while (!p.seen && t.elapsed() < 10000)
        QCoreApplication::processEvents();
    w->removeEventFilter(&p);
    if (!p.seen) {
        std::fprintf(stderr, "no paint arrived; timing a grab instead\n");
        w->grab();
    }
}

Phases dropDown(QWidget& form)
{
    Phases ph;
    QElapsedTimer t;
    t.start();
    auto* d = new quil::quilDropDown(&form);
    d->setGeometry(20, 20, 220, d->height());
    d->show();
    ph.make = t.nsecsElapsed() / 1e6;
    t.restart();
    d->setComboType(quil::ctFontSelect);
    ph.fill = t.nsecsElapsed() / 1e6;
    t.restart();
    d->OpenPanel();
    ph.open = t.nsecsElapsed() / 1e6;
    t.restart();
    untilPainted(d->List());
    ph.paint = t.nsecsElapsed() / 1e6;
    ph.rows = d->List()->ListboxItems()->Count();
    d->ClosePanel();
    delete d;
    QCoreApplication::processEvents();
    return ph;
}

Phases fontCombo(QWidget& form)
{
    Phases ph;
    QElapsedTimer t;
    t.start();
    auto* c = new QFontComboBox(&form);
    c->setGeometry(20, 20, 220, c->sizeHint().height());
    c->show();
    ph.make = t.nsecsElapsed() / 1e6;
    t.restart();
    c->showPopup();
    ph.open = t.nsecsElapsed() / 1e6;
    t.restart();
    untilPainted(c->view()->viewport());
    ph.paint = t.nsecsElapsed() / 1e6;
    ph.rows = c->count();
    c->hidePopup();
    delete c;
    QCoreApplication::processEvents();
    return ph;
}

// A shown form, and the font database read, as an application has them
// long before its user first opens a font list.
struct Form {
    QWidget w;
    Form()
    {
        w.setGeometry(100, 100, 400, 300);
        w.show();
        QCoreApplication::processEvents();
        QFontDatabase::families();
    }
};

bool parse(const QByteArray& line, Phases& p)
{
    return std::sscanf(line.constData(), "%lf %lf %lf %lf %d", &p.make, &p.fill, &p.open, &p.paint, &p.rows) == 5;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Medians {
    double make, fill, open, paint, total;
    int rows;
};

Medians medians(const std::vector<Phases>& runs)
{
    std::vector<double> make, fill, open, paint, total;
    for (const Phases& p : runs) {
        make.push_back(p.make);
        fill.push_back(p.fill);
        open.push_back(p.open);
        paint.push_back(p.paint);
        total.push_back(p.total());
    }
    return {median(make), median(fill), median(open), median(paint), median(total), runs.empty() ? 0 : runs[0].rows};
}

void report(const char* title, const std::vector<Phases>& ours, const std::vector<Phases>& theirs)
{
    const Medians a = medians(ours), b = medians(theirs);
    std::printf("%s (medians of %zu rounds, ms)\n", title, ours.size());
    std::printf("                   made    filled  opened  painted   total\n");
    std::printf("  quilDropDown   %7.2f %8.2f %7.2f %8.2f %8.2f   (%d families)\n", a.make, a.fill, a.open, a.paint,
                a.total, a.rows);
    std::printf("  QFontComboBox  %7.2f %8s %7.2f %8.2f %8.2f   (%d families; filled while made)\n", b.make, "-",
                b.open, b.paint, b.total, b.rows);
    std::printf("  ratio          %.2f (drop-down / QFontComboBox)\n", a.total / b.total);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says for every floating window what it cannot do with it.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
        if (!m.startsWith(QLatin1String("This plugin does not support")))
            std::fprintf(stderr, "%s\n", qPrintable(m));
    });
    if (argc == 3 && std::strcmp(argv[1], "--round") == 0) {
        QApplication app(argc, argv);
        Form form;
        const Phases p = std::strcmp(argv[2], "dropdown") == 0 ? dropDown(form.w) : fontCombo(form.w);
        std::printf("%f %f %f %f %d\n", p.make, p.fill, p.open, p.paint, p.rows);
        return 0;
    }
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    QApplication app(argc, argv);
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));

    std::vector<Phases> ours, theirs;
    for (int r = 0; r < rounds; ++r)
        for (const char* who : {"dropdown", "combo"}) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--round", who});
            child.waitForFinished(60000);
            Phases p;
            if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0
                || !parse(child.readAllStandardOutput(), p)) {
                std::fprintf(stderr, "a %s round failed: %s\n", who, child.readAllStandardError().constData());
                continue;
            }
            (std::strcmp(who, "dropdown") == 0 ? ours : theirs).push_back(p);
        }
    report("first opening, each in a fresh process", ours, theirs);

    // Fresh widgets in one process: the font files and glyphs are loaded already.
    Form form;
    dropDown(form.w);
    fontCombo(form.w);
    ours.clear();
    theirs.clear();
    for (int r = 0; r < rounds; ++r) {
        ours.push_back(dropDown(form.w));
        theirs.push_back(fontCombo(form.w));
    }
    report("a fresh widget's opening, caches warm", ours, theirs);
    return 0;
}
