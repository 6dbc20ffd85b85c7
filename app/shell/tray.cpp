#include "tray.h"

#include "Form1.h"

#include <QApplication>
#include <QPainter>
#include <cstdio>

namespace murivo {

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size / 16.0;
        p.setPen(QPen(QColor(0x12, 0x30, 0x5a), s));
        p.setBrush(QColor(0x2f, 0x6d, 0xb5));
        p.drawRoundedRect(QRectF(1 * s, 2.5 * s, 14 * s, 11 * s), 2 * s, 2 * s);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf2, 0xb1, 0x34));
        p.drawEllipse(QRectF(9.5 * s, 4.5 * s, 3 * s, 3 * s));
        p.setBrush(QColor(0x3c, 0x9a, 0x4a));
        p.drawPolygon(QPolygonF({QPointF(2 * s, 13 * s), QPointF(7 * s, 6.5 * s), QPointF(12 * s, 13 * s)}));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

tray::tray(Services& services, Form1& main) : sv(services), form(main) {}

tray::~tray() { Icon.hide(); }

void tray::Form_Load()
{
    Icon.setIcon(ProgramIcon());
    Icon.setToolTip("Murivo Right click for options");
    Menu.addAction("Exit", this, &tray::mnuExit_Click);
    Menu.addAction("Change wallpaper now", &form, &Form1::chage_wall);
    Menu.addAction(" Main", &form, [this] { form.show(); form.raise(); form.activateWindow(); });
    Icon.setContextMenu(&Menu);
    connect(&Icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick) {
            form.show();
            form.raise();
        }
    });
    Icon.show();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Without a notification area the main window is the only way in.
        std::fprintf(stderr, "murivo: this desktop shows no notification area; the main window stays open instead.\n");
        form.show();
    }
}

void tray::mnuExit_Click()
{
    if (sv.MsgBox("Are you sure ?", platform::vbYesNo + platform::vbExclamation) != platform::vbYes)
        return;
    Icon.hide();
    QCoreApplication::exit(0);
}

} // namespace murivo
