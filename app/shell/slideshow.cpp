#include "slideshow.h"

#include "engine/WallpaperList.h"
#include "frmpath.h"
#include "platform/picture/Picture.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace murivo {

using namespace platform;

slideshow::slideshow(frmpath& holder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), pic(this), Picture1(this),
      Label1("No pictures were found in the list.Please add some items.", this), Timer1(5000, this), Timer2(3000, this),
      paths(holder)
{
    setWindowTitle("Form2");
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(1024, 768);   // 15360 x 11520 twips
    setStyleSheet("background: black;");
    pic.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pic.setMouseTracking(true);
    pic.installEventFilter(this);
    setMouseTracking(true);
    Picture1.setPixmap(QPixmap::fromImage(ToolbarPicture()));
    Picture1.setGeometry(880, 0, 145, 25);   // left 13200, 2175 x 375 twips
    Picture1.installEventFilter(this);
    Label1.setFont(QFont("Arial", 18, QFont::Bold));
    Label1.setAlignment(Qt::AlignCenter);
    Label1.setStyleSheet("color: white; background: transparent;");
    Label1.setGeometry(0, 0, width(), height());
    Label1.hide();
    // The message lies over the picture: the mouse must still reach the
    // picture (to bring the toolbar back) and the toolbar above it.
    Label1.setAttribute(Qt::WA_TransparentForMouseEvents);
    Picture1.raise();
    connect(&Timer1, &FormTimer::Timer, this, &slideshow::Timer1_Timer);
    connect(&Timer2, &FormTimer::Timer, this, &slideshow::Timer2_Timer);
}

slideshow::~slideshow() = default;

QRect slideshow::AreaOf(int image)
{
    // Twips 0, 360, 720, 1200, 1680 (widths 375, 375, 495, 375, 375), 375 high.
    switch (image) {
    case 2: return QRect(0, 0, 25, 25);
    case 1: return QRect(24, 0, 25, 25);
    case 3: return QRect(48, 0, 33, 25);
    case 4: return QRect(80, 0, 25, 25);
    case 5: return QRect(112, 0, 25, 25);
    default: return {};
    }
}

QImage slideshow::ToolbarPicture()
{
    QImage img(145, 25, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 25);
    g.setColorAt(0, QColor(0x5a, 0x8f, 0xd8));
    g.setColorAt(1, QColor(0x1d, 0x4f, 0x9c));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x12, 0x30, 0x5a), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 144, 24), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    auto centre = [](QRect r) { return QPointF(r.center()) + QPointF(0.5, 0.5); };
    // play
    QPointF c = centre(AreaOf(2));
    p.drawPolygon(QPolygonF({c + QPointF(-4, -6), c + QPointF(6, 0), c + QPointF(-4, 6)}));
    // pause
    c = centre(AreaOf(1));
    p.drawRect(QRectF(c.x() - 5, c.y() - 6, 3.5, 12));
    p.drawRect(QRectF(c.x() + 1.5, c.y() - 6, 3.5, 12));
    // previous
    c = centre(AreaOf(3));
    p.drawPolygon(QPolygonF({c + QPointF(5, -6), c + QPointF(-4, 0), c + QPointF(5, 6)}));
    p.drawRect(QRectF(c.x() - 7, c.y() - 6, 2.5, 12));
    // next
    c = centre(AreaOf(4));
    p.drawPolygon(QPolygonF({c + QPointF(-5, -6), c + QPointF(4, 0), c + QPointF(-5, 6)}));
    p.drawRect(QRectF(c.x() + 4.5, c.y() - 6, 2.5, 12));
    // close
    c = centre(AreaOf(5));
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
    p.drawLine(c + QPointF(-5, 5), c + QPointF(5, -5));
    return img;
}

void slideshow::showCurrent()
{
    const QString path = SlideCursor->Fields(0).Value().toString();
    const QImage img = LoadPicture(path);   // throws when it cannot be loaded
    pic.setPixmap(QPixmap::fromImage(img));   // natural size from the top-left corner, clipped by the window
    shownPath = path;
    Label1.hide();   // a good picture is never covered by the no-pictures message
}

void slideshow::Form_Load()
{
    pic.setGeometry(0, 0, width(), height());
    Label1.setGeometry(0, 0, width(), height());
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
    Label1.hide();
    pic.clear();
    shownPath.clear();
    Picture1.show();
    Timer1.setEnabled(true);
    Timer2.setEnabled(true);
    SlideConnection = std::make_unique<db::Connection>();
    SlideCursor = std::make_unique<db::Recordset>();
    try {
        SlideConnection->Open(ListConnectionString(paths.lbldir.text()), "", "", -1);
        SlideCursor->Open(kListStatement, *SlideConnection, db::adOpenDynamic, db::adLockPessimistic, -1);
    } catch (const db::Error&) {
    }
    QString current;
    try {
        if (!SlideCursor->Bof())
            SlideCursor->MoveFirst();
        current = SlideCursor->Fields(0).Value().toString();
    } catch (const db::Error&) {
    }
    if (current.isEmpty()) {
        Label1.show();
        return;
    }
    try {
        showCurrent();
    } catch (const std::exception&) {
    }
}

void slideshow::Timer1_Timer()
{
    try {
        SlideCursor->MoveNext();
        showCurrent();
    } catch (const std::exception&) {
        try {
            if (SlideCursor->Bof() == SlideCursor->Eof()) {
                Label1.show();
            } else {
                Label1.hide();
                if (SlideCursor->Eof())
                    SlideCursor->MoveFirst();
                else
                    SlideCursor->MoveNext();
            }
        } catch (const std::exception&) {
        }
    }
}

void slideshow::Timer2_Timer() { Picture1.hide(); }
void slideshow::pic_MouseMove() { Picture1.show(); }
void slideshow::Image1_Click() { Timer1.setEnabled(false); }

void slideshow::Image2_Click() { step(false); }

void slideshow::step(bool back)
{
    Timer1.setEnabled(false);
    try {
        if (back ? SlideCursor->Bof() : SlideCursor->Eof()) {
            if (back)
                SlideCursor->MoveLast();
            else
                SlideCursor->MoveFirst();
        } else if (back) {
            SlideCursor->MovePrevious();
        } else {
            SlideCursor->MoveNext();
        }
    } catch (const std::exception&) {
    }
    try {
        showCurrent();
    } catch (const std::exception&) {
    }
    Timer1.setEnabled(true);
}

void slideshow::Image3_Click() { step(true); }
void slideshow::Image4_Click() { step(false); }

void slideshow::Image5_Click() { close(); }

void slideshow::unload()
{
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
    SlideCursor.reset();
    SlideConnection.reset();
}

void slideshow::closeEvent(QCloseEvent* e)
{
    // However it is closed (its button, Esc, the window manager), nothing runs on hidden.
    unload();
    QWidget::closeEvent(e);
    emit Unloaded();
}

void slideshow::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape)
        Image5_Click();
    else
        QWidget::keyPressEvent(e);
}

bool slideshow::eventFilter(QObject* o, QEvent* e)
{
    if (o == &pic && e->type() == QEvent::MouseMove)
        pic_MouseMove();
    if (o == &Picture1 && e->type() == QEvent::MouseButtonRelease) {
        const QPoint at = static_cast<QMouseEvent*>(e)->position().toPoint();
        // Later areas first: they overlap their left neighbours by a pixel.
        for (int image : {5, 4, 3, 1, 2})
            if (AreaOf(image).contains(at)) {
                switch (image) {
                case 1: Image1_Click(); break;
                case 2: Image2_Click(); break;
                case 3: Image3_Click(); break;
                case 4: Image4_Click(); break;
                case 5: Image5_Click(); break;
                }
                return true;
            }
    }
    return QWidget::eventFilter(o, e);
}

frmImagem::frmImagem(QWidget* parent) : QWidget(parent, Qt::Dialog), picImagemOriginal(this)
{
    setWindowTitle("Full Screen view");
    setWindowModality(Qt::ApplicationModal);
}

bool frmImagem::Load(const QString& path, QString* why)
{
    try {
        const QImage img = LoadPicture(path);
        picImagemOriginal.setPixmap(QPixmap::fromImage(img));
        picImagemOriginal.setGeometry(0, 0, img.width(), img.height());
        return true;
    } catch (const PictureError& e) {
        if (why)
            *why = e.description();
        return false;
    }
}

void frmImagem::showEvent(QShowEvent*)
{
    // At every activation the window takes the picture's size.
    resize(picImagemOriginal.size());
}

} // namespace murivo
