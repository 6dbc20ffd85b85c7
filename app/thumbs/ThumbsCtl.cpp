#include "ThumbsCtl.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Mouse.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPixmap>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

namespace murivo {

using namespace platform;

namespace {

constexpr double kCellW = 1725, kCellH = 1680, kThumbW = 1635, kThumbH = 1500;
constexpr double kColumnPitch = 1835, kRowPitch = 1790;

QString FileTitle(const QString& path)
{
    const int slash = static_cast<int>(path.lastIndexOf('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

void paintBackground(QWidget& w, OLE_COLOR c)
{
    QPalette pal = w.palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(ToQRgb(c)));
    w.setPalette(pal);
    w.setAutoFillBackground(true);
}

} // namespace

void cPicScroll::SetUpScrollBars(QScrollBar* H_SB, QScrollBar* V_SB, qint32 lVer_MaxLen, qint16 iVer_SmallChange,
                                 qint32 lVer_LargeChange, qint32 lHor_MaxLen, qint16 iHor_SmallChange, qint32 lHor_LargeChange)
{
    if (V_SB) {
        V_SB->setMaximum(lVer_MaxLen < 32768 ? lVer_MaxLen : 32767);
        V_SB->setSingleStep(iVer_SmallChange);
        V_SB->setPageStep(lVer_MaxLen < 32768 ? lVer_LargeChange : 32767);
    }
    if (H_SB) {
        H_SB->setMaximum(lHor_MaxLen);
        H_SB->setSingleStep(iHor_SmallChange);
        H_SB->setPageStep(lHor_LargeChange);
    }
}

// -------------------------------------------------------------- ThumbImage

void ThumbImage::mousePressEvent(QMouseEvent* e)
{
    pressed = true;
    emit mouse(0, number, VbButton(e->button()), VbShift(e->modifiers()), static_cast<float>(e->position().x() * 15),
               static_cast<float>(e->position().y() * 15));
}

void ThumbImage::mouseMoveEvent(QMouseEvent* e)
{
    emit mouse(1, number, VbButtons(e->buttons()), VbShift(e->modifiers()), static_cast<float>(e->position().x() * 15),
               static_cast<float>(e->position().y() * 15));
}

void ThumbImage::mouseReleaseEvent(QMouseEvent* e)
{
    emit mouse(2, number, VbButton(e->button()), VbShift(e->modifiers()), static_cast<float>(e->position().x() * 15),
               static_cast<float>(e->position().y() * 15));
    if (pressed && rect().contains(e->position().toPoint()))
        emit clicked(number);
    pressed = false;
}

void ThumbImage::mouseDoubleClickEvent(QMouseEvent*) { emit doubleClicked(number); }

// ---------------------------------------------------------------- ThumbsCtl

ThumbsCtl::ThumbsCtl(QWidget* parent, MessageBoxService* service)
    : QWidget(parent), picFundo(this), picInterior(&picFundo), scroll(Qt::Vertical, this), boxes(service)
{
    if (!boxes) {
        ownBoxes = std::make_unique<QtMessageBoxService>();
        boxes = ownBoxes.get();
    }
    paintBackground(picFundo, backColor);
    paintBackground(picInterior, backColor);
    Items << QString();
    Sizes << QString();
    Ids << -1;
    columns = 1;
    connect(&scroll, &QScrollBar::valueChanged, this, &ThumbsCtl::ScrollInterior);
    picFundo.installEventFilter(this);
    picInterior.installEventFilter(this);
    LayoutThumbs();
}

ThumbsCtl::~ThumbsCtl()
{
    // Decodes still running only read files; their results are dropped.
    liveGeneration->store(++generation);
    pool.clear();
    decoding.clear();
    pool.waitForDone();
}

void ThumbsCtl::ReadProperties(PropertyBag& bag)
{
    setBackcolor(static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("BackColor", 8421504), 8421504)));
    setForeColor(static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("ForeColor", 12632256), 12632256)));
    path = bag.ReadProperty("Path", QString()).toString();
    columns = static_cast<qint16>(BagInt(bag.ReadProperty("Columns", 1), 1));
    columnType = static_cast<int>(BagInt(bag.ReadProperty("ColumnType", 0), 0));
    imageToolTip = BagBool(bag.ReadProperty("ImageToolTip", true), true);
}

void ThumbsCtl::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty("BackColor", static_cast<qint64>(backColor), static_cast<qint64>(8421504));
    bag.WriteProperty("ForeColor", static_cast<qint64>(foreColor), static_cast<qint64>(12632256));
    bag.WriteProperty("Path", path, QString());
    bag.WriteProperty("Columns", columns, 1);
    bag.WriteProperty("ColumnType", columnType, 0);
    bag.WriteProperty("ImageToolTip", imageToolTip, true);
}

void ThumbsCtl::setBackcolor(OLE_COLOR c)
{
    backColor = c;
    paintBackground(picFundo, c);
    paintBackground(picInterior, c);
    emit PropertyChanged("BackColor");
}

void ThumbsCtl::setForeColor(OLE_COLOR c)
{
    foreColor = c;
    for (auto& [i, t] : thumbs)
        paintBackground(*t.cell, c);
    emit PropertyChanged("ForeColor");
}

void ThumbsCtl::setPath(const QString& p)
{
    path = p;
    emit PropertyChanged("Path");
}

void ThumbsCtl::setColumnType(int t)
{
    columnType = t;
    emit PropertyChanged("ColumnType");
}

void ThumbsCtl::setImageToolTip(bool on)
{
    imageToolTip = on;
    for (int i = 1; i <= ListCount(); ++i) {
        if (on && Items[i].isEmpty())
            break;
        applyTooltip(i);
    }
}

QString ThumbsCtl::ItemData(int PicIndex) const
{
    if (PicIndex < 0 || PicIndex > ListCount())
        throw std::out_of_range(QString("Subscript out of range: item %1 of %2").arg(PicIndex).arg(ListCount()).toStdString());
    return Items[PicIndex];
}

void ThumbsCtl::place(QWidget* w, const Twips& t) { w->setGeometry(TwipsToPixels(t.left), TwipsToPixels(t.top), TwipsToPixels(t.width), TwipsToPixels(t.height)); }

void ThumbsCtl::setSurfaceWidthTwips(double w)
{
    fundo.width = w;
    interior.width = w;
    place(&picInterior, interior);
}

ThumbsCtl::Twips ThumbsCtl::CellTwips(int index) const
{
    auto it = thumbs.find(index);
    return it == thumbs.end() ? Twips{} : it->second.cellBox;
}

ThumbsCtl::Twips ThumbsCtl::ThumbTwips(int index) const
{
    auto it = thumbs.find(index);
    return it == thumbs.end() ? Twips{} : it->second.thumbBox;
}

QString ThumbsCtl::ToolTipOf(int index) const
{
    auto it = thumbs.find(index);
    return it == thumbs.end() ? QString() : it->second.image->toolTip();
}

QImage ThumbsCtl::ThumbImageOf(int index) const
{
    auto it = thumbs.find(index);
    if (it == thumbs.end() || it->second.image->pixmap().isNull())
        return {};
    return it->second.image->pixmap().toImage();
}

void ThumbsCtl::applyTooltip(int index)
{
    auto it = thumbs.find(index);
    if (it == thumbs.end())
        return;
    Thumb& t = it->second;
    QString tip;
    if (imageToolTip) {
        if (t.problem.isEmpty())
            tip = QString("%1 (%2k) - %3").arg(FileTitle(Items[index])).arg(t.bytes / 1024).arg(Sizes.value(index));
        else
            tip = QString("%1 cannot be shown: %2").arg(FileTitle(Items[index]), t.problem);
    }
    t.image->setToolTip(tip);
    t.cell->setToolTip(tip);
}

void ThumbsCtl::SetScrollRange(QScrollBar& bar, double max, int small, int large)
{
    if (max < 0)
        max = 0;
    if (max < 32000)
        bar.setMaximum(static_cast<int>(max));
    bar.setSingleStep(small);
    bar.setPageStep(large);
}

qint64 ThumbsCtl::ItemId(int PicIndex) const
{
    return PicIndex >= 1 && PicIndex < Ids.size() ? Ids[PicIndex] : -1;
}

void ThumbsCtl::AddItem(const QString& Caminho, qint64 id)
{
    Items << Caminho;
    while (Ids.size() < Items.size() - 1)
        Ids << -1;   // items a host put into Items directly
    Ids << id;
    LayoutThumbs();
}

void ThumbsCtl::Clear()
{
    // Clear may run inside a thumbnail's own mouse handler (a removal asked
    // for by a click): the widgets go away once that event is over.
    for (auto& [i, t] : thumbs) {
        t.image->disconnect(this);
        t.image->hide();
        t.cell->hide();
        t.image->deleteLater();
        t.cell->deleteLater();
    }
    thumbs.clear();
    loadedPrefix = 0;
    decoding.clear();
    ++generation;
    // Decodes not yet started are dropped; one under way finds its result unwanted.
    liveGeneration->store(generation);
    pool.clear();
    for (QEventLoop* w : waits)
        w->quit();
    Items = QStringList{QString()};
    Sizes = QStringList{QString()};
    Ids = QList<qint64>{-1};
    scroll.setMinimum(0);
    interior.width = fundo.width;
    interior.height = fundo.height;
    place(&picInterior, interior);
    SetScrollRange(scroll, interior.height - fundo.height + 200, 80, static_cast<int>(RoundHalfEven(interior.height / 3)));
}

void ThumbsCtl::RemoveItem(int Index)
{
    if (Index < 1 || Index > ListCount())
        return;
    QStringList copy = Items;
    copy.removeAt(Index);
    QList<qint64> ids = Ids;
    while (ids.size() < copy.size() + 1)
        ids << -1;
    ids.removeAt(Index);
    Clear();
    Items = copy;
    Ids = ids.mid(0, Items.size());
    LayoutThumbs();
}

void ThumbsCtl::ScanPath(const QString& sPath)
{
    QString folder = sPath;
    if (!folder.endsWith('/'))
        folder += '/';
    const QDir dir(folder);
    if (!dir.exists())
        return;
    // Files and folders as a plain lookup gives them: hidden entries are not listed.
    const QStringList names = dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    // Each item yields while it loads; a Clear meanwhile (another folder
    // chosen) ends this scan, so its rest never follows the new folder's items.
    const quint64 gen = generation;
    for (const QString& name : names) {
        const QString upper = name.toUpper();
        if (upper.endsWith(".JPG") || upper.endsWith(".GIF") || upper.endsWith(".BMP") || upper.endsWith(".JPEG"))
            AddItem(folder + name);
        if (generation != gen)
            return;
    }
}

QFuture<DecodedThumb>& ThumbsCtl::decodeFor(int index)
{
    auto it = decoding.find(index);
    if (it == decoding.end())
        it = decoding
                 .emplace(index, QtConcurrent::run(&pool,
                                                   [live = liveGeneration, gen = generation, path = Items[index]] {
                                                       // The folder may have been left while this waited its turn.
                                                       if (live->load() != gen) {
                                                           DecodedThumb d;
                                                           d.error = "no longer shown";
                                                           return d;
                                                       }
                                                       return DecodeThumb(path);
                                                   }))
                 .first;
    return it->second;
}

void ThumbsCtl::prefetch(int from, int count)
{
    for (int j = from; j < from + count && j <= ListCount(); ++j)
        if (!thumbs.count(j))
            decodeFor(j);
}

void ThumbsCtl::LayoutThumbs()
{
    Scroller = std::make_unique<cPicScroll>();
    if (ListCount() == 0)
        return;
    const int cols = columnType != 0 ? columns : static_cast<int>(interior.width / kColumnPitch);
    if (cols < 1)
        return;
    const quint64 gen = generation;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool saidTooBig = false;
    // Rows whose items are all placed are skipped: adding one item to a long
    // grid looks only at the rows from the first item not yet placed.
    while (thumbs.count(loadedPrefix + 1))
        ++loadedPrefix;
    for (int s = (loadedPrefix / cols) * cols; s <= ListCount(); s += cols) {
        bool past = false;
        for (int i = 1; i <= cols; ++i) {
            const int index = s + i;
            if (index > ListCount()) {
                past = true;
                break;
            }
            if (thumbs.count(index))
                continue;
            // Decode ahead on the workers; wait for this one with the event loop running.
            prefetch(index, std::max(2, QThread::idealThreadCount() * 2));
            QFuture<DecodedThumb> future = decodeFor(index);
            if (!future.isFinished()) {
                QEventLoop wait;
                QFutureWatcher<DecodedThumb> watcher;
                connect(&watcher, &QFutureWatcher<DecodedThumb>::finished, &wait, &QEventLoop::quit);
                watcher.setFuture(future);
                if (!future.isFinished()) {
                    waits.push_back(&wait);
                    wait.exec();
                    waits.erase(std::find(waits.begin(), waits.end(), &wait));
                }
            }
            // Meanwhile the items may have been cleared, or a nested layout may have placed this one.
            if (generation != gen) {
                QApplication::restoreOverrideCursor();
                return;
            }
            if (thumbs.count(index))
                continue;
            const DecodedThumb d = future.result();
            decoding.erase(index);

            Thumb t;
            t.cell = new QLabel(&picInterior);
            paintBackground(*t.cell, foreColor);
            t.image = new ThumbImage(index, &picInterior);
            t.cell->installEventFilter(this);
            t.image->installEventFilter(this);
            t.bytes = d.bytes;
            while (Sizes.size() <= index)
                Sizes << QString();
            Sizes[index] = QString("%1 x %2")
                               .arg(static_cast<qint64>(d.himetricW / kHimetricPerPixel))
                               .arg(static_cast<qint64>(d.himetricH / kHimetricPerPixel));
            double tw = kThumbW, th = kThumbH;
            if (d.image.isNull()) {
                t.problem = d.error.isEmpty() ? QString("it could not be loaded") : d.error;
                if (d.tooBig && !saidTooBig) {
                    // Said once per layout; each such picture keeps the reason in its tooltip.
                    saidTooBig = true;
                    ++tooBigShown;
                    boxes->show("This Picture is to big.", vbCritical, "Murivo 1.1");
                }
            } else {
                const FittedSize f = FitThumb(d.pixels.width(), d.pixels.height());
                tw = static_cast<qint16>(RoundHalfEven(f.w));
                th = static_cast<qint16>(RoundHalfEven(f.h));
                t.image->setPixmap(QPixmap::fromImage(d.image));
                t.image->setScaledContents(true);
            }
            t.cellBox = Twips{(i - 1) * kColumnPitch, (s / cols) * kRowPitch + 200, kCellW, kCellH};
            t.thumbBox = Twips{(kCellW - tw) / 2 + t.cellBox.left, (kCellH - th) / 2 + t.cellBox.top, tw, th};
            place(t.cell, t.cellBox);
            place(t.image, t.thumbBox);
            t.cell->show();
            t.image->show();
            connect(t.image, &ThumbImage::clicked, this, [this](int n) { emit ImageClick(n, Items.value(n)); });
            connect(t.image, &ThumbImage::doubleClicked, this, [this](int n) { emit ImageDblClick(n, Items.value(n)); });
            connect(t.image, &ThumbImage::mouse, this, [this](int kind, int n, int b, int sh, float x, float y) {
                const QString file = Items.value(n);
                if (kind == 0)
                    emit ImageMouseDown(n, b, sh, x, y, file);
                else if (kind == 1)
                    emit ImageMouseMove(n, b, sh, x, y, file);
                else
                    emit ImageMouseUp(n, b, sh, x, y, file);
            });
            thumbs[index] = t;
            applyTooltip(index);
            DoEvents();
            if (generation != gen) {
                QApplication::restoreOverrideCursor();
                return;
            }
        }
        if (past)
            break;
    }
    QApplication::restoreOverrideCursor();
    const int rows = ListCount() / cols + (ListCount() % cols ? 1 : 0);
    interior.height = (kCellH + 130) * rows + 200;
    place(&picInterior, interior);
    Scroller->SetUpScrollBars(nullptr, &scroll, static_cast<qint32>(interior.height),
                              static_cast<qint16>(RoundHalfEven(interior.height / 50)), static_cast<qint32>(interior.height / 10),
                              static_cast<qint32>(interior.width - fundo.width), 40, static_cast<qint32>(interior.width / 2));
    // The bar's value is the bottom edge of the visible part, so values below
    // the frame's height move nothing: start the bar there, and let an arrow
    // step one row and a page one frame.
    const int first = interior.height > fundo.height ? static_cast<int>(fundo.height) : 0;
    scroll.setMinimum(std::min(first, scroll.maximum()));
    scroll.setSingleStep(static_cast<int>(kRowPitch));
    scroll.setPageStep(std::max(1, static_cast<int>(fundo.height)));
}

void ThumbsCtl::wheelEvent(QWheelEvent* e)
{
    // Anywhere over the grid, thumbnails included, the wheel moves the bar.
    QApplication::sendEvent(&scroll, e);
}

bool ThumbsCtl::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::Wheel && o != &scroll) {
        QApplication::sendEvent(&scroll, e);
        return true;
    }
    return QWidget::eventFilter(o, e);
}

void ThumbsCtl::ScrollInterior()
{
    const double m = scroll.maximum(), v = scroll.value(), h = interior.height, f = fundo.height;
    const double offset = m == 0 ? 0 : h / m * v;
    interior.top = offset <= f ? 0 : f - offset;
    place(&picInterior, interior);
    DoEvents();
}

void ThumbsCtl::resizeEvent(QResizeEvent*)
{
    fundo.left = fundo.top = 10;
    interior.left = interior.top = 10;
    const double cw = width() * 15.0, ch = height() * 15.0, sw = scroll.sizeHint().width() * 15.0;
    if (cw - sw - 20 >= 0) {
        fundo.width = cw - sw - 20;
        fundo.height = ch - 20;
        place(&picFundo, fundo);
        if (fundo.width - 20 >= 0) {
            interior.width = fundo.width - 120;
            interior.height = fundo.height - 120;
            place(&picInterior, interior);
            scroll.setGeometry(TwipsToPixels(fundo.width), TwipsToPixels(10), scroll.sizeHint().width(), TwipsToPixels(fundo.height));
            LayoutThumbs();
        }
    }
}

} // namespace murivo
