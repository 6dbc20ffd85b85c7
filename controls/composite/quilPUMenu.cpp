#include <quilObjects/Routines.h>
#include <quilObjects/quilPUMenu.h>

#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "PUMenuWindow.h"
#include "frame/Floating.h"
#include "frame/Gradient.h"
#include "frame/LateImageList.h"
#include "frame/PressWatch.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <QPaintEvent>
#include <cmath>

namespace quil {

Qt::MouseButtons QueryGlobalButtons();

namespace {

// The watch's period: quick enough to feel immediate, idle enough to cost nothing.
constexpr int WatchInterval = 10;

// The control is only a handle for its host: at run time nothing of it shows
// and it takes no click.
class NoFace : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::Paint; }
};

quilPUMenu::ButtonSource& buttonSource()
{
    static quilPUMenu::ButtonSource source;
    return source;
}

} // namespace

// ================================================================ the window

PUMenuWindow::PUMenuWindow() : quilControl(nullptr)
{
    setObjectName(QStringLiteral("PUMenu"));
    MakeFloating(this);
}

void PUMenuWindow::Paint()
{
    if (draw)
        draw();
}

bool PUMenuWindow::event(QEvent* e)
{
    // Its own deferred deletion ends the window: nothing may follow it.
    if (e->type() == QEvent::DeferredDelete)
        return quilControl::event(e);
    ++depth;
    const bool r = quilControl::event(e);
    --depth;
    return r;
}

void PUMenuWindow::mouseMoveEvent(QMouseEvent* e)
{
    if (moved)
        moved(static_cast<float>(e->position().y()));
}

void PUMenuWindow::mousePressEvent(QMouseEvent* e) { pressedInside = e->button() == Qt::LeftButton || e->button() == Qt::RightButton; }

void PUMenuWindow::mouseReleaseEvent(QMouseEvent* e)
{
    // A click is a press and a release on the menu; the release of the
    // button that opened it is not.
    const bool click = pressedInside && rect().contains(e->position().toPoint());
    pressedInside = false;
    if (click && clicked)
        clicked();
}

// ================================================================ the control

void quilPUMenu::SetButtonSource(ButtonSource source) { buttonSource() = std::move(source); }

Qt::MouseButtons quilPUMenu::GlobalButtons()
{
    const ButtonSource& s = buttonSource();
    return s ? s() : QueryGlobalButtons();
}

quilPUMenu::quilPUMenu(QWidget* parent)
    : quilControl(parent), items(QSharedPointer<MenuItems>::create()), rows(QSharedPointer<MenuItemListings>::create())
{
    win = new PUMenuWindow;
    win->owner = this;
    win->draw = [this] { drawMenu(); };
    win->moved = [this](float y) { MenuMouseMove(y); };
    win->clicked = [this] { MenuClick(); };
    // Sized at each opening; until then a face of Qt's default window size would only cost.
    win->resize(1, 1);
    AddDropShadow(win);
    focusTimer.setInterval(WatchInterval);
    connect(&focusTimer, &QTimer::timeout, this, &quilPUMenu::FocusTick);
    // A press elsewhere, however short, Escape, the host's window hiding or
    // the program losing the user closes the menu; the tick reports it.
    watch = new PressWatch(
        [this](QWidget* on) {
            if (!win->isVisible() || (on && (on == win || win->isAncestorOf(on))))
                return;
            // After the press's own handlers, which may look at the open menu
            // (a toolbar's button closing its own menu), and only this opening.
            const unsigned opening = openings;
            QTimer::singleShot(0, this, [this, opening] {
                if (opening == openings)
                    win->hide();
            });
        },
        this);
    // 705 twips square, whatever the container asks for, and invisible.
    setFixedSize(47, 47);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    installEventFilter(new NoFace(this));
    quilPUMenu::InitProperties();
}

quilPUMenu::~quilPUMenu()
{
    focusTimer.stop();
    watch->stop();
    win->draw = nullptr;
    win->moved = nullptr;
    win->clicked = nullptr;
    ClearWindowOpacity(win);
    win->hide();
    // A handler of ItemClick may delete the menu while the window's own click runs.
    if (win->Busy())
        win->deleteLater();
    else
        delete win;
}

QWidget* quilPUMenu::PopupWindow() const { return win; }
const QImage& quilPUMenu::MenuFace() const { return win->Face(); }

// ------------------------------------------------------------ persistence

const QList<PersistedProperty>& quilPUMenu::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
        {"SelectionColor", QVariant::fromValue<quint32>(33023)},
        {"Font", {}, PersistedProperty::Font},
        {"ImageList", QVariant::fromValue<QObject*>(nullptr)},
    };
    return table;
}

void quilPUMenu::InitProperties()
{
    quilControl::InitProperties();
    backColor = 0xFFFFFF;
    foreColor = 0xC00000;
    selectionColor = 33023;
    imageList = nullptr;
    computeScheme();
    win->Refresh();
}

void quilPUMenu::ReadProperties(PropertyBag& bag)
{
    backColor = readColor(bag, "BackColor");
    foreColor = readColor(bag, "ForeColor");
    selectionColor = readColor(bag, "SelectionColor");
    applyFont(readFont(bag));
    const QVariant list = readProp(bag, "ImageList");
    imageList = list.canConvert<QObject*>() ? list.value<QObject*>() : nullptr;
    computeScheme();
    win->Refresh();
}

void quilPUMenu::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(foreColor));
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(selectionColor));
    writeProp(bag, "Font", Font());
    writeProp(bag, "ImageList", QVariant::fromValue<QObject*>(imageList.data()));
}

// ------------------------------------------------------------ properties

void quilPUMenu::computeScheme()
{
    scheme = SchemeNormal(backColor, foreColor, selectionColor);
    win->Canvas().BackColor = backColor;
}

void quilPUMenu::setBackColor(OLE_COLOR c)
{
    backColor = c;
    if (!notify("BackColor"))
        return;
    computeScheme();
    win->Refresh();
}

void quilPUMenu::setForeColor(OLE_COLOR c)
{
    foreColor = c;
    if (!notify("ForeColor"))
        return;
    computeScheme();
    win->Refresh();
}

void quilPUMenu::setSelectionColor(OLE_COLOR c)
{
    selectionColor = c;
    if (!notify("SelectionColor"))
        return;
    computeScheme();
    win->Refresh();
}

void quilPUMenu::setImageList(QObject* list)
{
    imageList = list;
    if (!notify("ImageList"))
        return;
    win->Refresh();
}

void quilPUMenu::ClearItems()
{
    items = QSharedPointer<MenuItems>::create();
    hoverRow = 0;
}

// ------------------------------------------------------------ layout

int quilPUMenu::textHeight() const { return win->Canvas().TextHeight(QStringLiteral("I")); }

int quilPUMenu::iconColumnWidth() const
{
    return imageList ? LateImageList{imageList.data()}.number("ImageWidth") + 18 : 18;
}

int quilPUMenu::rowHeight(const quil::MenuItem& item) const
{
    const int base = textHeight() + 8;
    const int IH = imageList ? LateImageList{imageList.data()}.number("ImageHeight") : 0;
    switch (item.ItemType()) {
    case itNormal:
    case itCheck: return imageList && IH > base ? IH + 4 : base;
    case itPlaceholder: return 3;
    case itTitle: return imageList && IH > base ? IH + 16 : 2 * base;
    default: return base;
    }
}

int quilPUMenu::MenuWidth()
{
    // Every group's captions count, in their own weight; computed in 32 bits,
    // so a long caption cannot wrap the width around.
    platform::Surface& sf = win->Canvas();
    int largest = 0;
    if (items)
        for (const auto& item : *items) {
            sf.Font.setBold(item->Bold());
            largest = std::max(largest, sf.TextWidth(item->Caption()));
        }
    return (iconColumnWidth() + largest + 32) * TwipsPerPixel;
}

void quilPUMenu::CreateMenu()
{
    int X = 0, Y = 0;
    CreateMenu(X, Y);
}

void quilPUMenu::CreateMenu(int& X, int& Y, const QString& sGroup, int M_Width)
{
    if (X == 0 && Y == 0) {
        const QPoint p = quilControlPrivate::PointerPosition();
        X = p.x() * TwipsPerPixel;
        Y = p.y() * TwipsPerPixel;
    }
    // A row hovered in an earlier opening is no row of this one.
    hoverRow = 0;
    rows = QSharedPointer<MenuItemListings>::create();
    platform::Surface& sf = win->Canvas();
    sf.Font = Font();
    int y = 2, total = 0;
    if (items)
        for (int i = 1; i <= items->Count(); ++i) {
            const auto item = items->Item(i);
            if (item->Group() != sGroup)
                continue;
            const int h = rowHeight(*item);
            y += h;
            total += h;
            rows->Add(QString(), static_cast<short>(i), y - h, h,
                      (item->ItemType() == itNormal || item->ItemType() == itCheck) &&
                          (!greysDisabled || item->Enabled()));
        }
    const int width = MenuWidth();
    const int height = (total + 4) * TwipsPerPixel;

    // Flipped at the edges of the screen the point is on.
    const QPoint px(Round(double(X) / TwipsPerPixel), Round(double(Y) / TwipsPerPixel));
    QScreen* screen = QGuiApplication::screenAt(px);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect g = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    if (X + width > (g.x() + g.width()) * TwipsPerPixel)
        X -= width;
    if (Y + height > (g.y() + g.height()) * TwipsPerPixel) {
        Y -= height;
        topGap = 0;
    } else {
        topGap = M_Width;
    }
    openGroup = sGroup;

    win->resize(width / TwipsPerPixel, height / TwipsPerPixel);
    win->Refresh();
    win->move(Round(double(X) / TwipsPerPixel), Round(double(Y) / TwipsPerPixel));
    FloatOver(win, this);
    win->show();
    SetWindowOpacity(win, 230);
    menuVisible = true;
    // No waiting here for the opening click's button to come up: the watch
    // starts disarmed and ignores held buttons until it has seen both up.
    ++openings;
    watch->start(this, true, true);
    focusTimer.start();
}

void quilPUMenu::KillMenu() { win->hide(); }

// ------------------------------------------------------------ drawing

void quilPUMenu::drawItemIcon(const quil::MenuItem& item, int t, int h)
{
    if (!imageList || item.Icon() == 0)
        return;
    const LateImageList list{imageList.data()};
    const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
    const int TextX = iconColumnWidth();
    list.draw(win->Canvas(), item.Icon(), Fix((TextX - 4) / 2.0) - Fix(IW / 2.0), t + Fix(h / 2.0) - Fix(IH / 2.0), true);
}

void quilPUMenu::drawMenu()
{
    platform::Surface& sf = win->Canvas();
    const ColorScheme& c = scheme;
    const int W = sf.ScaleWidth(), H = sf.ScaleHeight();
    sf.BackColor = backColor;
    sf.Cls();
    sf.Line(0, 0, 0, H, c.EdgeEnd);
    sf.Line(topGap, 0, W, 0, c.EdgeEnd);
    sf.Line(W - 1, 0, W - 1, H, c.EdgeEnd);
    sf.Line(0, H - 1, W - 1, H - 1, c.EdgeEnd);
    int hoverIndex = 0;
    if (hoverRow >= 1 && hoverRow <= rows->Count()) {
        const auto r = rows->Item(hoverRow);
        const int t = r->Top(), h = r->Height();
        hoverIndex = r->Index();
        GradientRect(sf, 3, t + 1, W - 6, h - 2, ColorToVertex(c.Tint2), ColorToVertex(c.Tint1), 0);
        sf.Line(2, t, W - 2, t, c.EdgeEnd);
        sf.Line(2, t, 2, t + h - 1, c.EdgeEnd);
        sf.Line(W - 3, t, W - 3, t + h, c.EdgeEnd);
        sf.Line(2, t + h - 1, W - 2, t + h - 1, c.EdgeEnd);
    }
    if (!items)
        return;
    const int TextX = iconColumnWidth();
    int y = 2;
    for (int i = 1; i <= items->Count(); ++i) {
        const auto item = items->Item(i);
        if (item->Group() != openGroup)
            continue;
        const int h = rowHeight(*item);
        y += h;
        const int t = y - h;
        sf.Font.setBold(item->Bold());
        const int TH = textHeight();
        switch (item->ItemType()) {
        case itNormal:
        case itCheck:
            sf.ForeColor = greysDisabled && !item->Enabled() ? SchemeDisabled(backColor, foreColor, selectionColor).Text
                                                             : c.Text;
            sf.CurrentX = TextX;
            sf.CurrentY = t + Fix(h / 2.0) - Fix(TH / 2.0);
            sf.Print(item->Caption());
            if (item->ItemType() == itCheck && item->Checked()) {
                const OLE_COLOR box = hoverIndex == i ? c.Tint3 : c.Tint1;
                GradientRect(sf, 5, t + 2, TextX - 13, h - 3, ColorToVertex(box), ColorToVertex(box), 0);
                sf.Line(4, t + 1, TextX - 9, t + 1, c.EdgeEnd);
                sf.Line(4, t + 1, 4, y - 1, c.EdgeEnd);
                sf.Line(4, y - 2, TextX - 9, y - 2, c.EdgeEnd);
                sf.Line(TextX - 9, y - 2, TextX - 9, t, c.EdgeEnd);
            }
            drawItemIcon(*item, t, h);
            break;
        case itPlaceholder: GradientLine(sf, 1, t + 1, W, pbHorizontal, c.FaceTop, c.EdgeEnd); break;
        case itTitle:
            GradientRect(sf, 3, t + 1, W - 6, h - 2, ColorToVertex(c.FaceBottom), ColorToVertex(c.FaceTop), 0);
            sf.ForeColor = c.EdgeEnd;
            sf.CurrentX = TextX;
            sf.CurrentY = t + 8;
            sf.Print(item->Caption());
            drawItemIcon(*item, t, h);
            break;
        default: break;
        }
    }
}

QSize quilPUMenu::sizeHint() const { return QSize(47, 47); }
QSize quilPUMenu::minimumSizeHint() const { return sizeHint(); }

void quilPUMenu::Paint()
{
    // The control is only a handle for its host: it draws nothing of its own.
    faceOf(this).BackColor = backColor;
    faceOf(this).Cls();
}

// ------------------------------------------------------------ pointer and watch

void quilPUMenu::MenuMouseMove(float y)
{
    short row = 0;
    for (int r = 1; r <= rows->Count(); ++r) {
        const auto l = rows->Item(r);
        // The top pixel line of a row does not select it.
        if (y > l->Top() && y < l->Top() + l->Height() && l->Selectable())
            row = static_cast<short>(r);
    }
    if (row != hoverRow) {
        hoverRow = row;
        win->Refresh();
    }
}

void quilPUMenu::MenuClick()
{
    if (hoverRow >= 1 && hoverRow <= rows->Count()) {
        short i = rows->Item(hoverRow)->Index();
        // The client may have changed the list since it opened.
        if (items && i >= 1 && i <= items->Count()) {
            QString key = items->Item(i)->Key();
            QPointer<quilPUMenu> self(this);
            emit ItemClick(i, key);
            if (!self)
                return;
        }
    }
    win->hide();
    hoverRow = 0;
}

void quilPUMenu::FocusTick()
{
    if (!focusTimer.isActive())
        return;
    if (win->isVisible() && watch->freshPress(GlobalButtons()) && !OnWidget(win, quilControlPrivate::PointerPosition()))
        win->hide();
    if (!win->isVisible()) {
        focusTimer.stop();
        watch->stop();
        menuVisible = false;
        emit Closed();
        return;
    }
    if (!menuVisible)
        menuVisible = true;
}

} // namespace quil
