#include "ThumbsCtl.h"
#include "ThumbsGrid.h"

#include "engine/PictureFiles.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Mouse.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace murivo {

using namespace platform;

namespace {

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

// ---------------------------------------------------------------- ThumbsCtl

namespace {
// When the program quits, all grids share one grace period for their decodes.
std::atomic<qint64> quitDeadline{0};   // ms since the epoch; 0 while not quitting
} // namespace

struct ThumbsCtl::Mailbox {
    std::mutex m;
    ThumbsCtl* owner = nullptr;
    // The generation decodes are wanted for; one asked for an older one is skipped.
    std::atomic<quint64> live{0};

    void deliver(quint64 gen, int index, DecodedThumb d)
    {
        std::lock_guard<std::mutex> lock(m);
        if (!owner)
            return;
        ThumbsCtl* o = owner;
        // Queued to the UI thread; dropped with the control if it goes first.
        QMetaObject::invokeMethod(
            o, [o, gen, index, d = std::move(d)]() mutable { o->arrived(gen, index, std::move(d)); }, Qt::QueuedConnection);
    }
};

ThumbsCtl::ThumbsCtl(QWidget* parent, MessageBoxService* service)
    : QWidget(parent), picFundo(this), picInterior(&picFundo), scroll(Qt::Vertical, this), boxes(service),
      mailbox(std::make_shared<Mailbox>()), pool(new QThreadPool)
{
    if (!boxes) {
        ownBoxes = std::make_unique<QtMessageBoxService>();
        boxes = ownBoxes.get();
    }
    mailbox->owner = this;
    pool->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
    paintBackground(picFundo, backColor);
    picInterior.setAttribute(Qt::WA_OpaquePaintEvent);
    picInterior.setMouseTracking(false);
    scroll.setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    Items << QString();
    Sizes << QString();
    Ids << -1;
    cells.resize(1);
    columns = 1;
    connect(&scroll, &QScrollBar::valueChanged, this, &ThumbsCtl::ScrollInterior);
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
            // Nothing more is started; what runs has until the deadline.
            qint64 none = 0;
            quitDeadline.compare_exchange_strong(none, QDateTime::currentMSecsSinceEpoch() + 2000);
            ++generation;
            mailbox->live.store(~0ull);
            pool->clear();
            inFlight = 0;
        });
    picFundo.installEventFilter(this);
    picInterior.installEventFilter(this);
    scroll.installEventFilter(this);
    LayoutThumbs();
}

ThumbsCtl::~ThumbsCtl()
{
    {
        std::lock_guard<std::mutex> lock(mailbox->m);
        mailbox->owner = nullptr;
    }
    mailbox->live.store(~0ull);
    pool->clear();
    // A decode cannot be interrupted: one still running after the grace
    // period is left to finish alone, its result going nowhere.
    const qint64 deadline = quitDeadline.load();
    const qint64 grace = deadline == 0 ? 2000 : std::max<qint64>(0, deadline - QDateTime::currentMSecsSinceEpoch());
    if (pool->waitForDone(static_cast<int>(grace)))
        delete pool;
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
    picInterior.update();
    emit PropertyChanged("BackColor");
}

void ThumbsCtl::setForeColor(OLE_COLOR c)
{
    foreColor = c;
    picInterior.update();
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
    // Tooltips are made when asked for, so they all follow at once.
    imageToolTip = on;
}

QString ThumbsCtl::ItemData(int PicIndex) const
{
    if (PicIndex < 0 || PicIndex > ListCount())
        throw std::out_of_range(QString("Subscript out of range: item %1 of %2").arg(PicIndex).arg(ListCount()).toStdString());
    return Items[PicIndex];
}

qint64 ThumbsCtl::ItemId(int PicIndex) const
{
    return PicIndex >= 1 && PicIndex < Ids.size() ? Ids[PicIndex] : -1;
}

// ------------------------------------------------------------- geometry

void ThumbsCtl::setSurfaceWidthTwips(double w)
{
    fundo.width = w;
    interior.width = w;
    picInterior.setGeometry(TwipsToPixels(10), 0, TwipsToPixels(interior.width), TwipsToPixels(fundo.height));
}

void ThumbsCtl::syncGeometry()
{
    // A hidden control gets no resize event, yet its size is known: lay out for it.
    if (size() == laidOutFor)
        return;
    laidOutFor = size();
    fundo.left = fundo.top = 10;
    interior.left = 10;
    const double cw = width() * 15.0, ch = height() * 15.0, sw = scroll.sizeHint().width() * 15.0;
    if (cw - sw - 20 < 0)
        return;
    fundo.width = cw - sw - 20;
    fundo.height = ch - 20;
    picFundo.setGeometry(TwipsToPixels(fundo.left), TwipsToPixels(fundo.top), TwipsToPixels(fundo.width), TwipsToPixels(fundo.height));
    if (fundo.width - 20 < 0)
        return;
    interior.width = fundo.width - 120;
    // The view covers the frame's height; the surface it shows is as tall as the rows make it.
    picInterior.setGeometry(TwipsToPixels(interior.left), 0, TwipsToPixels(interior.width), TwipsToPixels(fundo.height));
    scroll.setGeometry(TwipsToPixels(fundo.width), TwipsToPixels(10), scroll.sizeHint().width(), TwipsToPixels(fundo.height));
}

void ThumbsCtl::resizeEvent(QResizeEvent*)
{
    syncGeometry();
    LayoutThumbs();
}

ThumbsCtl::Twips ThumbsCtl::cellBox(int index) const
{
    if (cols < 1 || index < 1)
        return {};
    const int row = (index - 1) / cols, col = (index - 1) % cols;
    return Twips{col * kColumnPitch, row * kRowPitch + kTopMargin, kCellW, kCellH};
}

ThumbsCtl::Twips ThumbsCtl::CellTwips(int index) const { return HasCell(index) ? cellBox(index) : Twips{}; }

ThumbsCtl::Twips ThumbsCtl::ThumbTwips(int index) const
{
    if (!Loaded(index))
        return {};
    const Twips c = cellBox(index);
    const Twips& t = cells[index].thumbBox;
    return Twips{(kCellW - t.width) / 2 + c.left, (kCellH - t.height) / 2 + c.top, t.width, t.height};
}

double ThumbsCtl::rowOffset() const { return scroll.value() * kRowPitch; }

QRect ThumbsCtl::ThumbRect(int index) const
{
    if (!Loaded(index))
        return {};
    const QRect r = pixelsOf(ThumbTwips(index), rowOffset()).intersected(picInterior.rect());
    return r.isEmpty() ? QRect() : r.translated(picInterior.mapTo(this, QPoint(0, 0)));
}

std::pair<int, int> ThumbsCtl::itemsInView() const
{
    const int n = static_cast<int>(cells.size()) - 1;
    if (cols < 1 || n < 1)
        return {1, 0};
    const double top = rowOffset(), bottom = top + fundo.height;
    const int firstRow = std::max(0, static_cast<int>(std::floor((top - kTopMargin - kCellH) / kRowPitch)) + 1);
    // One row past the view, so that the next step finds it ready.
    const int lastRow = static_cast<int>(std::floor((bottom - kTopMargin) / kRowPitch)) + 1;
    return {firstRow * cols + 1, std::min(n, (lastRow + 1) * cols)};
}

int ThumbsCtl::itemAt(const QPoint& at, bool thumbOnly) const
{
    if (cols < 1)
        return 0;
    const double x = at.x() * 15.0, y = at.y() * 15.0 + rowOffset();
    const int col = static_cast<int>(std::floor(x / kColumnPitch)), row = static_cast<int>(std::floor((y - kTopMargin) / kRowPitch));
    if (col < 0 || col >= cols || row < 0)
        return 0;
    const int index = row * cols + col + 1;
    if (!HasCell(index))
        return 0;
    if (thumbOnly)
        return Loaded(index) && pixelsOf(ThumbTwips(index), rowOffset()).contains(at) ? index : 0;
    return pixelsOf(cellBox(index), rowOffset()).contains(at) ? index : 0;
}

void ThumbsCtl::setScrollRows()
{
    const int n = static_cast<int>(cells.size()) - 1;
    const int rows = cols < 1 || n < 1 ? 0 : n / cols + (n % cols ? 1 : 0);
    // The bar counts rows; its last value brings the last row's cell fully into view.
    const double below = rows == 0 ? 0 : (rows - 1) * kRowPitch + kTopMargin + kCellH - fundo.height;
    const int last = below <= 0 ? 0 : static_cast<int>(std::ceil(below / kRowPitch));
    const int page = std::max(1, static_cast<int>(fundo.height / kRowPitch));
    Scroller->SetUpScrollBars(nullptr, &scroll, last, 1, page, 0, 0, 0);
    scroll.setMinimum(0);
}

// ------------------------------------------------------------- items

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
    ++generation;
    mailbox->live.store(generation);
    pool->clear();   // decodes not yet started are dropped; those under way report to nobody
    inFlight = 0;
    cells.assign(1, Cell{});
    pendingCount = 0;
    nextUnknown = 1;
    imageBytes = 0;
    pressedItem = 0;
    saidTooBig = false;
    Items = QStringList{QString()};
    Sizes = QStringList{QString()};
    Ids = QList<qint64>{-1};
    interior.width = fundo.width;
    interior.height = fundo.height;
    interior.top = 0;
    picInterior.setGeometry(TwipsToPixels(interior.left), 0, TwipsToPixels(interior.width), TwipsToPixels(fundo.height));
    picInterior.unsetCursor();
    Scroller = std::make_unique<cPicScroll>();
    setScrollRows();
    scroll.setValue(0);
    picInterior.update();
}

void ThumbsCtl::RemoveItem(int Index)
{
    if (Index < 1 || Index > ListCount())
        return;
    // The later items move down one number; what was decoded for them stays.
    ++generation;
    mailbox->live.store(generation);
    pool->clear();
    inFlight = 0;
    Items.removeAt(Index);
    if (Index < Ids.size())
        Ids.removeAt(Index);
    if (Index < Sizes.size())
        Sizes.removeAt(Index);
    if (HasCell(Index)) {
        imageBytes -= cells[Index].image.sizeInBytes();
        cells.erase(cells.begin() + Index);
    }
    pendingCount = 0;
    for (std::size_t i = 1; i < cells.size(); ++i) {
        cells[i].asked = false;
        if (!cells[i].known)
            ++pendingCount;
    }
    nextUnknown = 1;
    pressedItem = 0;
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
    for (const QString& name : names)
        if (IsPictureName(name))
            AddItem(folder + name);
}

void ThumbsCtl::LayoutThumbs()
{
    Scroller = std::make_unique<cPicScroll>();
    syncGeometry();
    while (Sizes.size() < Items.size())
        Sizes << QString();
    const int n = ListCount();
    if (n == 0) {
        setScrollRows();
        return;
    }
    const int want = columnType != 0 ? columns : static_cast<int>(interior.width / kColumnPitch);
    if (want < 1 && cells.size() <= 1)
        return;   // nothing fits: no cells
    if (want >= 1 && want != cols) {
        cols = want;
        // Rows in view are asked for first again.
        nextUnknown = 1;
    }
    if (static_cast<int>(cells.size()) != n + 1) {
        // Every item gets its cell at once; the pictures follow.
        const std::size_t had = cells.size(), want = static_cast<std::size_t>(n) + 1;
        if (want > had) {
            cells.resize(want);
            pendingCount += static_cast<int>(want - had);
        } else {
            // Items taken away directly by a host.
            for (std::size_t i = want; i < had; ++i) {
                imageBytes -= cells[i].image.sizeInBytes();
                pendingCount -= cells[i].known ? 0 : 1;
            }
            cells.resize(want);
        }
        nextUnknown = std::min(nextUnknown, n + 1);
    }
    if (pendingCount > 0)
        picInterior.setCursor(Qt::BusyCursor);
    const int rows = n / cols + (n % cols ? 1 : 0);
    interior.height = (kCellH + 130) * rows + 200;
    setScrollRows();
    interior.top = -rowOffset();
    picInterior.update();
    schedulePump();
}

// ------------------------------------------------------------- decoding

void ThumbsCtl::schedulePump()
{
    // Many items added in one go ask for their decodes once, from the event loop.
    if (pumpQueued)
        return;
    pumpQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            pumpQueued = false;
            pump();
        },
        Qt::QueuedConnection);
}

void ThumbsCtl::ask(int index)
{
    cells[index].asked = true;
    ++inFlight;
    pool->start([mb = mailbox, gen = generation, index, file = Items.value(index), decode = decoder] {
        DecodedThumb d;
        if (mb->live.load() == gen)
            d = decode(file);
        else
            d.error = "no longer shown";
        mb->deliver(gen, index, std::move(d));
    });
}

void ThumbsCtl::pump()
{
    if (cols < 1)
        return;
    // Enough queued to keep every worker busy, few enough that a scroll is served soon.
    const int limit = pool->maxThreadCount() * 2;
    const auto [first, last] = itemsInView();
    for (int i = first; i <= last && inFlight < limit; ++i) {
        const Cell& c = cells[i];
        // A picture set aside far from view comes back; one that could not be shown is not tried again.
        if (!c.asked && c.image.isNull() && !(c.known && !c.problem.isEmpty()))
            ask(i);
    }
    const int n = static_cast<int>(cells.size()) - 1;
    while (inFlight < limit && nextUnknown <= n) {
        const Cell& c = cells[nextUnknown];
        if (!c.known && !c.asked)
            ask(nextUnknown);
        ++nextUnknown;
    }
}

void ThumbsCtl::arrived(quint64 gen, int index, DecodedThumb d)
{
    if (gen != generation)
        return;   // the items were renumbered or cleared since it was asked for
    --inFlight;
    if (!HasCell(index)) {
        pump();
        return;
    }
    Cell& c = cells[index];
    c.asked = false;
    const bool first = !c.known;
    if (first) {
        c.known = true;
        --pendingCount;
        c.bytes = d.bytes;
        if (index < Sizes.size())
            Sizes[index] = QString("%1 x %2")
                               .arg(static_cast<qint64>(d.himetricW / kHimetricPerPixel))
                               .arg(static_cast<qint64>(d.himetricH / kHimetricPerPixel));
        if (d.image.isNull()) {
            c.problem = d.error.isEmpty() ? QString("it could not be loaded") : d.error;
            c.thumbBox = Twips{0, 0, kThumbW, kThumbH};
        } else {
            const FittedSize f = FitThumb(d.pixels.width(), d.pixels.height());
            c.thumbBox = Twips{0, 0, static_cast<double>(static_cast<qint16>(RoundHalfEven(f.w))),
                               static_cast<double>(static_cast<qint16>(RoundHalfEven(f.h)))};
        }
    }
    if (!d.image.isNull() && c.image.isNull()) {
        c.image = std::move(d.image);
        imageBytes += c.image.sizeInBytes();
    }
    picInterior.update(pixelsOf(cellBox(index), rowOffset()));
    if (pendingCount == 0)
        picInterior.unsetCursor();
    if (imageBytes > kImageBudget)
        forgetFarImages();
    pump();
    if (first && d.tooBig && !saidTooBig) {
        // Said once; each such picture keeps the reason in its tooltip.
        saidTooBig = true;
        ++tooBigShown;
        boxes->show("This Picture is to big.", vbCritical, "Murivo 1.1");
    }
}

void ThumbsCtl::forgetFarImages()
{
    const auto [first, last] = itemsInView();
    const int centre = (first + last) / 2, keep = std::max(cols, last - first + 1);
    std::vector<int> held;
    for (int i = 1; i < static_cast<int>(cells.size()); ++i)
        if (!cells[i].image.isNull() && std::abs(i - centre) > keep)
            held.push_back(i);
    std::sort(held.begin(), held.end(), [centre](int a, int b) { return std::abs(a - centre) > std::abs(b - centre); });
    for (int i : held) {
        if (imageBytes <= kImageBudget * 3 / 4)
            break;
        imageBytes -= cells[i].image.sizeInBytes();
        cells[i].image = QImage();
    }
}

QImage ThumbsCtl::ThumbImageOf(int index) const { return HasCell(index) ? cells[index].image : QImage(); }

} // namespace murivo
