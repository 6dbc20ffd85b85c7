// A small host form for the popup menu's session test: a press on the form
// opens the menu at the pointer; what the menu reports is printed, one line
// each ("open X Y W H" in pixels, "ItemClick INDEX KEY", "Closed").
#include <quilObjects/quilPUMenu.h>

#include <QApplication>
#include <QMouseEvent>
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
        setWindowTitle(QStringLiteral("pumenu-host"));
        menu = new quil::quilPUMenu(this);
        menu->move(-100, -100);
        menu->setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        menu->MenuItem()->Add(QStringLiteral("title"), QStringLiteral("Pick one"), 0, true, {}, {}, quil::itTitle);
        menu->MenuItem()->Add(QStringLiteral("k1"), QStringLiteral("First"));
        menu->MenuItem()->Add(QStringLiteral("k2"), QStringLiteral("Second"), 0, true, {}, {}, quil::itCheck, true);
        connect(menu, &quil::quilPUMenu::ItemClick,
                [](short& i, QString& k) { say(QStringLiteral("ItemClick %1 %2").arg(i).arg(k)); });
        connect(menu, &quil::quilPUMenu::Closed, [] { say(QStringLiteral("Closed")); });
    }

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() != Qt::LeftButton)
            return;
        menu->CreateMenu();
        const QRect g = menu->PopupWindow()->geometry();
        say(QStringLiteral("open %1 %2 %3 %4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()));
    }

private:
    quil::quilPUMenu* menu;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Host host;
    host.setGeometry(100, 100, 300, 200);
    host.show();
    return app.exec();
}
