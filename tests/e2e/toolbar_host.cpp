// A small host form for the toolbar's session test: a bar with a File and
// an Edit menu and a plain button. It prints, one line each, where the
// buttons' centres are on the screen ("button I X Y"), where the open menu
// is ("menu BUTTON X Y W H", on every change), and what the bar reports
// ("ItemClicked I KEY", "MenuItemClicked I KEY MI MKEY").
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilToolbar.h>

#include "composite/quilToolbar_p.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

class Host : public QWidget {
public:
    Host()
    {
        setWindowTitle(QStringLiteral("toolbar-host"));
        bar = new quil::quilToolbar(this);
        bar->setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        bar->setGeometry(10, 10, 380, 30);
        const auto items = bar->ToolbarItems();
        const auto file = items->Add(QStringLiteral("file"), QStringLiteral("File"), 0, quil::mitMenu);
        file->ToolbarMenuItems()->Add(QStringLiteral("new"), QStringLiteral("New"));
        file->ToolbarMenuItems()->Add(QStringLiteral("quit"), QStringLiteral("Quit"));
        const auto edit = items->Add(QStringLiteral("edit"), QStringLiteral("Edit"), 0, quil::mitMenu2);
        edit->ToolbarMenuItems()->Add(QStringLiteral("cut"), QStringLiteral("Cut"));
        edit->ToolbarMenuItems()->Add(QStringLiteral("copy"), QStringLiteral("Copy"));
        edit->ToolbarMenuItems()->Add(QStringLiteral("paste"), QStringLiteral("Paste"));
        items->Add(QStringLiteral("help"), QStringLiteral("Help"));
        connect(bar, &quil::quilToolbar::ItemClicked,
                [](short& i, QString& k) { say(QStringLiteral("ItemClicked %1 %2").arg(i).arg(k)); });
        connect(bar, &quil::quilToolbar::MenuItemClicked, [](short& i, QString& k, short& mi, QString& mk) {
            say(QStringLiteral("MenuItemClicked %1 %2 %3 %4").arg(i).arg(k).arg(mi).arg(mk));
        });
        // Where things are, once the window manager has placed the window.
        QTimer::singleShot(1000, this, [this] {
            for (int i = 1; i <= bar->ToolbarItems()->Count(); ++i) {
                const QPoint c = bar->mapToGlobal(quil::quilToolbarPrivate::of(bar).Box(i).hit.center());
                say(QStringLiteral("button %1 %2 %3").arg(i).arg(c.x()).arg(c.y()));
            }
        });
        watch.setInterval(30);
        connect(&watch, &QTimer::timeout, this, [this] {
            QWidget* w = bar->PopupMenu()->PopupWindow();
            const QString now = w->isVisible() ? QStringLiteral("menu %1 %2 %3 %4 %5")
                                                     .arg(bar->MenuButton())
                                                     .arg(w->x())
                                                     .arg(w->y())
                                                     .arg(w->width())
                                                     .arg(w->height())
                                               : QStringLiteral("menu closed");
            if (now != last)
                say(last = now);
        });
        watch.start();
    }

private:
    quil::quilToolbar* bar;
    QTimer watch;
    QString last = QStringLiteral("menu closed");
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Host host;
    host.setGeometry(100, 100, 400, 200);
    host.show();
    return app.exec();
}
