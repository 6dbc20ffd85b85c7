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
#include <QPointer>
#include <QScreen>
#include <QThreadPool>
#include <QWindow>

namespace murivo {

using namespace platform;

namespace {

// Shared by the slideshow and the viewer; never destroyed, so leaving the
// program never waits for a decode.
QThreadPool& decodePool()
{
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(2);
        return p;
    }();
    return *pool;
}

} // namespace

PictureLoader::PictureLoader(QObject* parent) : QObject(parent), latest(std::make_shared<std::atomic<int>>(0)) {}

PictureLoader::~PictureLoader() { Cancel(); }

void PictureLoader::Cancel()
{
    ++*latest;
    waiting = 0;
}

int PictureLoader::Load(const QString& path, QSize size, Fit fit)
{
    const int request = ++*latest;
    waiting = request;
    QPointer<PictureLoader> self(this);
    std::shared_ptr<std::atomic<int>> newest = latest;
    decodePool().start([self, newest, request, path, size, fit] {
        if (newest->load() != request)
            return;   // asked again before this one started
        QImage picture;
        QString error;
        try {
            picture = fit == TopLeft ? LoadPictureTopLeft(path, size) : LoadPictureFitted(path, size);
        } catch (const std::exception& e) {
            error = QString::fromStdString(e.what());
        }
        // Delivered on the application's thread, where the loader lives and may be gone.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, newest, request, path, picture, error] {
                if (!self || newest->load() != request)
                    return;
                self->waiting = 0;
                emit self->Loaded(request, path, picture, error);
            },
            Qt::QueuedConnection);
    });
    return request;
}

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
    connect(&loader, &PictureLoader::Loaded, this, &slideshow::loaded);
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

void slideshow::showCurrent(bool fromTick)
{
    const QString path = SlideCursor->Fields(0).Value().toString();   // throws without a row
    // Natural size from the top-left corner, clipped by the window: only that part is decoded.
    const int request = loader.Load(path, pic.size(), PictureLoader::TopLeft);
    tickRequest = fromTick ? request : 0;
}

void slideshow::loaded(int request, const QString& path, const QImage& picture, const QString& error)
{
    if (!error.isEmpty()) {
        // A picture that cannot be loaded is skipped; on a tick it runs the advance's failure steps.
        if (request == tickRequest)
            advanceFailed();
        return;
    }
    pic.setPixmap(QPixmap::fromImage(picture));
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
        showCurrent(true);
    } catch (const std::exception&) {
        advanceFailed();
    }
}

void slideshow::advanceFailed()
{
    if (!SlideCursor)
        return;
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
    loader.Cancel();
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
    connect(&loader, &PictureLoader::Loaded, this, &frmImagem::loaded);
}

namespace {
// The window manager's frame, learnt from the last viewer shown; a generous
// guess before any was.
QMargins knownFrame(8, 40, 8, 8);
}

QScreen* frmImagem::screenShown() const
{
    if (QWidget* p = parentWidget(); p && p->isVisible() && p->screen())
        return p->screen();
    return screen() ? screen() : QGuiApplication::primaryScreen();
}

QSize frmImagem::Room() const
{
    const QScreen* s = screenShown();
    if (!s)
        return QSize(640, 480);
    const QSize free = s->availableGeometry().size();
    return QSize(std::max(1, free.width() - knownFrame.left() - knownFrame.right()),
                 std::max(1, free.height() - knownFrame.top() - knownFrame.bottom()));
}

void frmImagem::Open(const QString& file)
{
    path = file;
    loader.Load(file, Room(), PictureLoader::Fitted);
}

void frmImagem::loaded(int, const QString&, const QImage& img, const QString& error)
{
    if (!error.isEmpty()) {
        emit Failed(error);
        return;
    }
    picture = img;
    fit();
    emit Ready();
}

void frmImagem::fit()
{
    if (picture.isNull())
        return;
    const QSize room = Room();
    QPixmap shown = QPixmap::fromImage(picture.width() > room.width() || picture.height() > room.height()
                                           ? picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                           : picture);
    picImagemOriginal.setPixmap(shown);
    picImagemOriginal.setGeometry(0, 0, shown.width(), shown.height());
    setFixedSize(shown.size());
    // Centred in the free area, frame and all.
    if (const QScreen* s = screenShown()) {
        const QRect free = s->availableGeometry();
        const QSize outer = shown.size() + QSize(knownFrame.left() + knownFrame.right(), knownFrame.top() + knownFrame.bottom());
        move(free.x() + std::max(0, (free.width() - outer.width()) / 2), free.y() + std::max(0, (free.height() - outer.height()) / 2));
    }
}

void frmImagem::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool frmImagem::event(QEvent* e)
{
    const bool handled = QWidget::event(e);
    // Once the window manager has framed the window its frame is known: a
    // frame larger than the guess would push the close button off the screen.
    if ((e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show) && isVisible()) {
        const QRect outer = frameGeometry(), inner = geometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                             outer.bottom() - inner.bottom());
        if (frame != QMargins() && frame != knownFrame && frame.left() >= 0 && frame.top() >= 0 && frame.right() >= 0
            && frame.bottom() >= 0) {
            knownFrame = frame;
            fit();
        }
    }
    return handled;
}

} // namespace murivo
