// A small host form for the drop-down's session test: a font drop-down at a
// fixed place. It prints, one line each, where the box and its arrow are on
// the screen ("box X Y W H", "arrow X Y W H", then "ready"), every pick
// ("ValueChanged FONTNAME|TEXT"), and each time the panel opens its
// geometry ("panel X Y W H") followed by the rows shown, top to bottom
// ("row N X Y FAMILY": the N-th row shown, a point inside it on the screen,
// the family it lists), then "rows end"; "panel closed TEXT" when it hides,
// with what the box then shows.
#include <quilObjects/ComboDatas.h>
#include <quilObjects/MenuItems.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString placeOf(const QString& what, QWidget* w)
{
    const QPoint p = w->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("%1 %2 %3 %4 %5").arg(what).arg(p.x()).arg(p.y()).arg(w->width()).arg(w->height());
}

class Host : public QWidget {
public:
    Host()
    {
        setWindowTitle(QStringLiteral("dropdown-host"));
        box = new quil::quilDropDown(this);
        box->setGeometry(20, 20, 220, box->height());
        box->setComboType(quil::ctFontSelect);
        connect(box, &quil::quilDropDown::ValueChanged, this,
                [this] { say(QStringLiteral("ValueChanged %1|%2").arg(box->FontName(), box->Text())); });
        // Where things are, once the window manager has placed the window.
        QTimer::singleShot(1500, this, [this] {
            say(placeOf(QStringLiteral("box"), box));
            // The arrow's class is the library's own; as a widget it is found by name.
            say(placeOf(QStringLiteral("arrow"), box->findChild<QWidget*>(QStringLiteral("quilXButton1"))));
            say(QStringLiteral("ready"));
        });
        watch.setInterval(30);
        connect(&watch, &QTimer::timeout, this, [this] { report(); });
        watch.start();
    }

private:
    void report()
    {
        QWidget* panel = box->Panel();
        const bool open = panel->isVisible();
        if (open == wasOpen)
            return;
        wasOpen = open;
        if (!open) {
            say(QStringLiteral("panel closed %1").arg(box->Text()));
            return;
        }
        const QRect g = panel->frameGeometry();
        say(QStringLiteral("panel %1 %2 %3 %4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
        quil::quilListbox* list = box->List();
        const auto entries = list->ListboxItems();
        const QPoint origin = list->mapToGlobal(QPoint(0, 0));
        // Well left of the scroll bar, in the middle of the row.
        const int x = origin.x() + 40;
        int n = 0;
        for (const auto& row : *list->TempListboxItems()) {
            // A row cut off by the list's bottom edge is not one to click.
            if (row->Top() + row->Height() > list->height() - 2)
                break;
            say(QStringLiteral("row %1 %2 %3 %4")
                    .arg(++n)
                    .arg(x)
                    .arg(origin.y() + row->Top() + row->Height() / 2)
                    .arg(entries->Item(row->Index())->Value()));
        }
        say(QStringLiteral("rows end"));
    }

    quil::quilDropDown* box;
    QTimer watch;
    bool wasOpen = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Host host;
    host.setGeometry(100, 100, 400, 300);
    host.show();
    return app.exec();
}
