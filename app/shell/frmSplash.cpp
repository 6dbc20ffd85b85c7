#include "frmSplash.h"

#include "engine/SettingsKeys.h"

#include <QLinearGradient>
#include <QPainter>

namespace murivo {

frmSplash::frmSplash(Services& services, bool prevInstance, std::function<void()> loadProgram, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Picture1(this), Label1("Murivo 1.1", this), Label2(kMakerName, this), Label3(kMakerSite, this),
      Label4(kMakerMail, this), Timer1(3000, this), sv(services), prev(prevInstance), load(std::move(loadProgram))
{
    setFixedSize(420, 240);
    Label1.setFont(QFont("Arial", 22, QFont::Bold));
    Label1.setGeometry(150, 40, 260, 40);
    for (QLabel* l : {&Label2, &Label3, &Label4}) {
        l->setFont(QFont("Arial", 9));
        l->setStyleSheet("color: #1a2a40");
    }
    Label1.setStyleSheet("color: #12305a");
    Label2.setGeometry(150, 110, 260, 20);
    Label3.setGeometry(150, 132, 260, 20);
    Label4.setGeometry(150, 154, 260, 20);
    Picture1.setGeometry(30, 40, 100, 100);
    const QPixmap pic = QPixmap(":/murivo/icons/128x128/murivo.png").scaled(100, 100, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Picture1.setPixmap(pic);
    connect(&Timer1, &platform::FormTimer::Timer, this, &frmSplash::Timer1_Timer);
}

void frmSplash::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0xFB, 0xFD, 0xFB));
    g.setColorAt(1, QColor(0xC9, 0xDA, 0xEE));
    p.fillRect(rect(), g);
    p.setPen(QColor(0x9B, 0x9C, 0x91));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void frmSplash::Form_Load()
{
    if (prev) {
        refused = true;
        sv.MsgBox("Application is already running in taskbar", platform::vbOKOnly);
        return;
    }
    load();
}

void frmSplash::Timer1_Timer()
{
    Timer1.setEnabled(false);
    unloaded = true;
    hide();
    emit Unload();
}

} // namespace murivo
