#include <quilObjects/Routines.h>
#include <quilObjects/quilPUMenu.h>

#include "frame/AccessibleParts.h"
#include "frame/quilControl_p.h"
#include "composite/quilPUMenu_p.h"
#include "frame/Rounding.h"
#include "PUMenuWindow.h"
#include "frame/Floating.h"
#include "frame/Gradient.h"
#include "frame/LateImageList.h"
#include "frame/PressWatch.h"
#include "frame/KeyHook.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QSet>
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

quilPUMenuPrivate::ButtonSource& buttonSource()
{
    static quilPUMenuPrivate::ButtonSource source;
    return source;
}

// Every key is the open menu's, as a grabbing popup's, wherever the focus is.
// The release of a key the menu took is its own too, also once the key has
// closed it: the widget the focus goes back to never saw that key go down.
class MenuKeys : public QObject {
public:
    explicit MenuKeys(quilPUMenuPrivate* menu) : QObject(menu->q), d(menu) {}
    // The menu has closed: it listens on only while a key it took is held.
    void closed()
    {
        if (held.isEmpty())
            qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::ShortcutOverride:
            // No shortcut of the window takes a key from the menu.
            if (!d->win->isVisible())
                return false;
            e->accept();
            return true;
        case QEvent::KeyPress: {
            if (!d->win->isVisible())
                return false;
            const int key = static_cast<QKeyEvent*>(e)->key();
            held.insert(key);
            d->MenuKey(key);
            return true;
        }
        case QEvent::KeyRelease: {
            const auto* k = static_cast<QKeyEvent*>(e);
            if (!held.contains(k->key()))
                return false;
            if (!k->isAutoRepeat())
                held.remove(k->key());
            if (held.isEmpty() && !d->win->isVisible())
                qApp->removeEventFilter(this);
            return true;
        }
        default: return false;
        }
    }

private:
    quilPUMenuPrivate* d;
    QSet<int> held;
};

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

void PUMenuWindow::hideEvent(QHideEvent* e)
{
    quilControl::hideEvent(e);
    if (hidden)
        hidden();
}

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

void quilPUMenuPrivate::SetButtonSource(ButtonSource source) { buttonSource() = std::move(source); }

Qt::MouseButtons quilPUMenu::GlobalButtons()
{
    const quilPUMenuPrivate::ButtonSource& s = buttonSource();
    return s ? s() : QueryGlobalButtons();
}

quilPUMenuPrivate::quilPUMenuPrivate(quilPUMenu* q)
    : q(q), items(QSharedPointer<MenuItems>::create()), rows(QSharedPointer<MenuItemListings>::create())
{
}

quilPUMenu::quilPUMenu(QWidget* parent) : quilControl(parent), d(std::make_unique<quilPUMenuPrivate>(this))
{
    PUMenuWindow* win = d->win = new PUMenuWindow;
    win->owner = this;
    win->draw = [this] { d->drawMenu(); };
    win->moved = [this](float y) { d->MenuMouseMove(y); };
    win->clicked = [this] { d->MenuClick(); };
    d->keys = new MenuKeys(d.get());
    win->hidden = [this] {
        static_cast<MenuKeys*>(d->keys)->closed();
        d->giveFocusBack();
    };
    // Sized at each opening; until then a face of Qt's default window size would only cost.
    win->resize(1, 1);
    AddDropShadow(win);
    d->focusTimer.setInterval(WatchInterval);
    connect(&d->focusTimer, &QTimer::timeout, this, [this] { d->FocusTick(); });
    // A press elsewhere, however short, Escape, the host's window hiding or
    // the program losing the user closes the menu; the tick reports it.
    d->watch = new PressWatch(
        [this](QWidget* on) {
            PUMenuWindow* win = d->win;
            if (!win->isVisible() || (on && (on == win || win->isAncestorOf(on))))
                return;
            // After the press's own handlers, which may look at the open menu
            // (a toolbar's button closing its own menu), and only this opening.
            const unsigned opening = d->openings;
            QTimer::singleShot(0, this, [this, opening] {
                if (opening == d->openings)
                    d->win->hide();
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
    PUMenuWindow* win = d->win;
    d->focusTimer.stop();
    d->watch->stop();
    win->draw = nullptr;
    win->moved = nullptr;
    win->clicked = nullptr;
    win->hidden = nullptr;
    qApp->removeEventFilter(d->keys);
    ClearWindowOpacity(win);
    win->hide();
    // A handler of ItemClick may delete the menu while the window's own click runs.
    if (win->Busy())
        win->deleteLater();
    else
        delete win;
}

QWidget* quilPUMenu::PopupWindow() const { return d->win; }
const QImage& quilPUMenu::MenuFace() const { return d->win->Face(); }

QSharedPointer<MenuItems> quilPUMenu::MenuItem() const { return d->items; }
void quilPUMenu::setMenuItem(QSharedPointer<MenuItems> list) { d->items = std::move(list); }
bool quilPUMenu::MenuVisible() const { return d->menuVisible; }
void quilPUMenu::setMenuVisible(bool v) { d->menuVisible = v; }
OLE_COLOR quilPUMenu::BackColor() const { return d->backColor; }
OLE_COLOR quilPUMenu::ForeColor() const { return d->foreColor; }
OLE_COLOR quilPUMenu::SelectionColor() const { return d->selectionColor; }
QObject* quilPUMenu::ImageList() const { return d->imageList.data(); }
bool quilPUMenu::GreysDisabled() const { return d->greysDisabled; }
void quilPUMenu::setGreysDisabled(bool on) { d->greysDisabled = on; }
QSharedPointer<MenuItemListings> quilPUMenu::Rows() const { return d->rows; }
short quilPUMenu::HoverRow() const { return d->hoverRow; }
QString quilPUMenu::OpenGroup() const { return d->openGroup; }
int quilPUMenu::TopGap() const { return d->topGap; }
ColorScheme quilPUMenu::Scheme() const { return d->scheme; }
bool quilPUMenu::Watching() const { return d->focusTimer.isActive(); }

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
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->selectionColor = 33023;
    d->imageList = nullptr;
    d->computeScheme();
    d->win->Refresh();
}

void quilPUMenu::ReadProperties(PropertyBag& bag)
{
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    d->selectionColor = readColor(bag, "SelectionColor");
    applyFont(readFont(bag));
    const QVariant list = readProp(bag, "ImageList");
    d->imageList = list.canConvert<QObject*>() ? list.value<QObject*>() : nullptr;
    d->computeScheme();
    d->win->Refresh();
}

void quilPUMenu::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(d->selectionColor));
    writeProp(bag, "Font", Font());
    writeProp(bag, "ImageList", QVariant::fromValue<QObject*>(d->imageList.data()));
}

// ------------------------------------------------------------ properties

void quilPUMenuPrivate::computeScheme()
{
    scheme = SchemeNormal(backColor, foreColor, selectionColor);
    win->Canvas().BackColor = backColor;
}

void quilPUMenu::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    if (!notify("BackColor"))
        return;
    d->computeScheme();
    d->win->Refresh();
}

void quilPUMenu::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    if (!notify("ForeColor"))
        return;
    d->computeScheme();
    d->win->Refresh();
}

void quilPUMenu::setSelectionColor(OLE_COLOR c)
{
    d->selectionColor = c;
    if (!notify("SelectionColor"))
        return;
    d->computeScheme();
    d->win->Refresh();
}

void quilPUMenu::setImageList(QObject* list)
{
    d->imageList = list;
    if (!notify("ImageList"))
        return;
    d->win->Refresh();
}

void quilPUMenu::ClearItems()
{
    d->items = QSharedPointer<MenuItems>::create();
    d->hoverRow = 0;
}

// ------------------------------------------------------------ layout

int quilPUMenuPrivate::textHeight() const { return win->Canvas().TextHeight(QStringLiteral("I")); }

int quilPUMenuPrivate::iconColumnWidth() const
{
    return imageList ? LateImageList{imageList.data()}.number("ImageWidth") + 18 : 18;
}

int quilPUMenuPrivate::rowHeight(const quil::MenuItem& item) const
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
    platform::Surface& sf = d->win->Canvas();
    int largest = 0;
    if (d->items)
        for (const auto& item : *d->items) {
            sf.Font.setBold(item->Bold());
            largest = std::max(largest, sf.TextWidth(item->Caption()));
        }
    return (d->iconColumnWidth() + largest + 32) * TwipsPerPixel;
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
    d->hoverRow = 0;
    d->rows = QSharedPointer<MenuItemListings>::create();
    platform::Surface& sf = d->win->Canvas();
    sf.Font = Font();
    int y = 2, total = 0;
    if (d->items)
        for (int i = 1; i <= d->items->Count(); ++i) {
            const auto item = d->items->Item(i);
            if (item->Group() != sGroup)
                continue;
            const int h = d->rowHeight(*item);
            y += h;
            total += h;
            d->rows->Add(QString(), static_cast<short>(i), y - h, h,
                      (item->ItemType() == itNormal || item->ItemType() == itCheck) &&
                          (!d->greysDisabled || item->Enabled()));
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
        d->topGap = 0;
    } else {
        d->topGap = M_Width;
    }
    d->openGroup = sGroup;

    d->win->resize(width / TwipsPerPixel, height / TwipsPerPixel);
    d->win->Refresh();
    d->win->move(Round(double(X) / TwipsPerPixel), Round(double(Y) / TwipsPerPixel));
    FloatOver(d->win, this);
    d->win->show();
    SetWindowOpacity(d->win, 230);
    d->menuVisible = true;
    // Opened from the keyboard, the menu takes the focus from the widget that
    // opened it (through its handle, in the host's window) and gives it back.
    QWidget* focus = QApplication::focusWidget();
    if (KeysInHand() > 0 && focus && focus != this && isVisible() && focus->window() == window()) {
        d->priorFocus = focus;
        setFocus(Qt::PopupFocusReason);
    }
    // No waiting here for the opening click's button to come up: the watch
    // starts disarmed and ignores held buttons until it has seen both up.
    ++d->openings;
    d->watch->start(this, true, true);
    // The keys are the menu's while it is open (last in, first asked: before the watch's Escape).
    qApp->removeEventFilter(d->keys);
    qApp->installEventFilter(d->keys);
    d->focusTimer.start();
}

void quilPUMenu::KillMenu() { d->win->hide(); }

// ------------------------------------------------------------ drawing

void quilPUMenuPrivate::drawItemIcon(const quil::MenuItem& item, int t, int h)
{
    if (!imageList || item.Icon() == 0)
        return;
    const LateImageList list{imageList.data()};
    const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
    const int TextX = iconColumnWidth();
    list.draw(win->Canvas(), item.Icon(), Fix((TextX - 4) / 2.0) - Fix(IW / 2.0), t + Fix(h / 2.0) - Fix(IH / 2.0), true);
}

void quilPUMenuPrivate::drawMenu()
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
    faceOf(this).BackColor = d->backColor;
    faceOf(this).Cls();
}

// ------------------------------------------------------------ pointer and watch

void quilPUMenuPrivate::MenuMouseMove(float y)
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
        AnnounceMenuHover(win, row);
    }
}

void quilPUMenuPrivate::MenuClick()
{
    if (hoverRow >= 1 && hoverRow <= rows->Count()) {
        short i = rows->Item(hoverRow)->Index();
        // The client may have changed the list since it opened.
        if (items && i >= 1 && i <= items->Count()) {
            QString key = items->Item(i)->Key();
            QPointer<quilPUMenu> self(q);
            emit q->ItemClick(i, key);
            if (!self)
                return;
        }
    }
    win->hide();
    hoverRow = 0;
}

void quilPUMenuPrivate::FocusTick()
{
    if (!focusTimer.isActive())
        return;
    if (win->isVisible() && watch->freshPress(quilPUMenu::GlobalButtons()) && !OnWidget(win, quilControlPrivate::PointerPosition()))
        win->hide();
    if (!win->isVisible()) {
        focusTimer.stop();
        watch->stop();
        menuVisible = false;
        emit q->Closed();
        return;
    }
    if (!menuVisible)
        menuVisible = true;
}

// ------------------------------------------------------------ keys

void quilPUMenuPrivate::MenuKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape: win->hide(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (hoverRow >= 1 && hoverRow <= rows->Count())
            MenuClick();
        return;
    default: break;
    }
    int step = 0, from = hoverRow;
    switch (qtKey) {
    case Qt::Key_Up:
    case Qt::Key_Backtab: step = -1; break;
    case Qt::Key_Down:
    case Qt::Key_Tab: step = 1; break;
    case Qt::Key_Home:
        step = 1;
        from = 0;
        break;
    case Qt::Key_End:
        step = -1;
        from = rows->Count() + 1;
        break;
    default: return;
    }
    const int n = rows->Count();
    if (n == 0)
        return;
    // Up and Down go round, from the last row to the first and back; Home and End do not.
    const bool wrap = qtKey != Qt::Key_Home && qtKey != Qt::Key_End;
    if (from < 1 || from > n)
        from = step > 0 ? 0 : n + 1;
    for (int k = 1; k <= n; ++k) {
        int r = from + step * k;
        if (wrap)
            r = ((r - 1) % n + n) % n + 1;
        else if (r < 1 || r > n)
            return;
        const auto l = rows->Item(r);
        if (l->Selectable()) {
            // The row's middle, where the pointer would rest to hover it.
            MenuMouseMove(float(l->Top()) + float(l->Height()) / 2.0f);
            return;
        }
    }
}

void quilPUMenuPrivate::giveFocusBack()
{
    QPointer<QWidget> prior = priorFocus;
    priorFocus = nullptr;
    // The window's own focus, as it comes back when the window is active again
    // (a platform that activated the menu's window has not yet).
    if (prior && q->window()->focusWidget() == q)
        prior->setFocus(Qt::PopupFocusReason);
}

} // namespace quil
