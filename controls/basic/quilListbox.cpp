#include <quilObjects/Routines.h>
#include "quilListbox_p.h"
#include "ComboDatas_p.h"
#include <quilObjects/quilScrollBar.h>

#include "frame/Accessible_p.h"
#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "frame/Gradient.h"
#include "frame/LateImageList.h"
#include "platform/surface/Surface.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <climits>
#include <cmath>

namespace quil {

namespace {
} // namespace

quilListbox::quilListbox(QWidget* parent) : quilControl(parent), d(std::make_unique<quilListboxPrivate>(this))
{
    setFocusPolicy(Qt::StrongFocus);
    // A list takes what room it is given, as Qt's own lists do.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    quilScrollBar* bar = d->bar = new quilScrollBar(this);
    bar->setObjectName(QStringLiteral("quilScrollBar1"));
    bar->setOrientation(pbVertical);
    bar->setFocusPolicy(Qt::NoFocus);
    // A list filled without Refresh opens at its first entry, and an empty
    // list has nothing to scroll.
    bar->setValue(1);
    bar->setEnabled(false);
    bar->resize(ScrollBarWidth, std::max(height() - 4, 1));
    connect(bar, &quilScrollBar::MouseDown, this, [this](short& b, short& s, float& x, float& y) {
        // A click on the bar gives the list the keys.
        setFocus(Qt::MouseFocusReason);
        emit MouseDown(b, s, x, y);
    });
    connect(bar, &quilScrollBar::MouseMove, this,
            [this](short& b, short& s, float& x, float& y) { emit MouseMove(b, s, x, y); });
    connect(bar, &quilScrollBar::MouseUp, this,
            [this](short& b, short& s, float& x, float& y) { emit MouseUp(b, s, x, y); });
    connect(bar, &quilScrollBar::ValueChanged, this, [this] {
        d->layoutRows();
        d->repaint(true);
    });
    setListboxItems(d->items);
    quilListbox::InitProperties();
}

quilListbox::~quilListbox()
{
    ForgetDrawnChildren(this);
    // The collection may outlive the list: it must not call back into it.
    disconnect(d->added);
    disconnect(d->changedConn);
}

QSharedPointer<ComboDatas> quilListbox::ListboxItems() const { return d->items; }
QSharedPointer<MenuItemListings> quilListbox::TempListboxItems() const { return d->rows; }
bool quilListbox::ValueFont() const { return d->valueFont; }
void quilListbox::setValueFont(bool on) { d->valueFont = on; }
OLE_COLOR quilListbox::BackColor() const { return d->backColor; }
OLE_COLOR quilListbox::ForeColor() const { return d->foreColor; }
OLE_COLOR quilListbox::SelectionColor() const { return d->selectionColor; }
QObject* quilListbox::ImageList() const { return d->imageList.data(); }
bool quilListbox::HoverSelect() const { return d->hoverSelect; }
short quilListbox::SelectedItem() const { return d->selected; }
quilScrollBar* quilListbox::ScrollBar() const { return d->bar; }

// ------------------------------------------------------------ persistence

const QList<PersistedProperty>& quilListbox::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
        {"Enabled", true},
        {"Font", {}, PersistedProperty::Font},
        {"SelectionColor", QVariant::fromValue<quint32>(33023)},
        {"ImageList", QVariant::fromValue<QObject*>(nullptr)},
        {"SelectedItem", QVariant::fromValue<short>(0)},
        {"HoverSelect", QVariant::fromValue<short>(0)},
    };
    return table;
}

void quilListbox::InitProperties()
{
    quilControl::InitProperties();
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->selectionColor = 33023;
    d->imageList = nullptr;
    d->hoverSelect = false;
    d->selected = 0;
    d->highlighted = 0;
    d->computeScheme();
    d->repaint(false);
}

void quilListbox::ReadProperties(PropertyBag& bag)
{
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    applyEnabled(readBool(bag, "Enabled"));
    applyFont(readFont(bag));
    d->selectionColor = readColor(bag, "SelectionColor");
    const QVariant list = readProp(bag, "ImageList");
    d->imageList = list.canConvert<QObject*>() ? list.value<QObject*>() : nullptr;
    // Stored as it is: a form is loaded before its list is filled, so the
    // entry cannot be checked (nor announced) yet. Refresh highlights it.
    d->selected = static_cast<short>(readInt(bag, "SelectedItem"));
    d->highlighted = 0;
    d->hoverSelect = readInt(bag, "HoverSelect") != 0;
    d->computeScheme();
    d->repaint(false);
}

void quilListbox::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Font", Font());
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(d->selectionColor));
    writeProp(bag, "ImageList", QVariant::fromValue<QObject*>(d->imageList.data()));
    writeProp(bag, "SelectedItem", QVariant::fromValue<short>(d->selected));
    writeProp(bag, "HoverSelect", QVariant::fromValue<short>(d->hoverSelect ? -1 : 0));
}

// ------------------------------------------------------------ properties

void quilListbox::setListboxItems(QSharedPointer<ComboDatas> list)
{
    disconnect(d->added);
    disconnect(d->changedConn);
    d->items = list ? std::move(list) : QSharedPointer<ComboDatas>::create();
    d->added = connect(d->items.get(), &ComboDatas::ItemAdded, this, [this] { d->itemsChanged(); });
    d->changedConn = connect(d->items.get(), &ComboDatas::ItemChanged, this, [this] { d->itemsChanged(); });
}

void quilListbox::setTempListboxItems(QSharedPointer<MenuItemListings> list)
{
    d->rows = list ? std::move(list) : QSharedPointer<MenuItemListings>::create();
}

void quilListbox::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    if (!notify("BackColor"))
        return;
    d->computeScheme();
    d->repaint(false);
}

void quilListbox::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    if (!notify("ForeColor"))
        return;
    d->computeScheme();
    d->repaint(false);
}

void quilListbox::setSelectionColor(OLE_COLOR c)
{
    d->selectionColor = c;
    if (!notify("SelectionColor"))
        return;
    d->computeScheme();
    d->repaint(false);
}

void quilListbox::setImageList(QObject* list)
{
    d->imageList = list;
    updateGeometry();
    changed("ImageList");
}

void quilListbox::setHoverSelect(bool on)
{
    d->hoverSelect = on;
    changed("HoverSelect");
}

void quilListboxPrivate::computeScheme()
{
    scheme = SchemeNormal(backColor, foreColor, selectionColor);
    if (bar->BackColor() != scheme.Back)
        bar->setBackColor(scheme.Back);
    if (bar->ForeColor() != scheme.Accent)
        bar->setForeColor(scheme.Accent);
}

int quilListboxPrivate::count() const { return items->Count(); }

void quilListbox::setSelectedItem(int k)
{
    if (k < SHRT_MIN || k > SHRT_MAX) {
        refuseValue("SelectedItem", k, QStringLiteral("an entry's number has at most 16 bits"));
        return;
    }
    const int n = d->count();
    if (n == 0 && k >= 0) {
        // Designer, uic and forms write the selection before the list is
        // filled: keep it; Refresh shows it once its entry is there.
        d->selected = static_cast<short>(k);
        d->highlighted = 0;
        changed("SelectedItem");
        return;
    }
    // Checked first, so that a bad number leaves the selection, the
    // highlight and the scroll position as they were.
    if (k < 1 || k > n) {
        refuseValue("SelectedItem", k, QStringLiteral("not an entry of the list (1 to %1)").arg(n));
        return;
    }
    d->selected = static_cast<short>(k);
    if (!notify("SelectedItem"))
        return;
    d->highlighted = static_cast<short>(k);
    QPointer<quilListbox> self(this);
    d->bar->setValue(k);
    if (!self || !d->raiseItemClicked(k))
        return;
    d->repaint(false);
}

void quilListbox::SelectItem(const QString& mKey, const QString& mValue, const QString& mCaption)
{
    const int n = d->count();
    if (n == 0)
        return;
    for (int i = 1; i <= n; ++i) {
        const ComboEntry& e = ComboDatasPrivate::entry(*d->items, i);
        bool match = false;
        if (!mKey.isEmpty())
            match = e.key == mKey;
        else if (!mValue.isEmpty())
            match = e.value == mValue;
        else if (!mCaption.isEmpty())
            match = e.caption == mCaption;
        if (match) {
            setSelectedItem(static_cast<short>(i));
            return;
        }
    }
    setSelectedItem(1);
}

bool quilListboxPrivate::raiseItemClicked(short i)
{
    if (i < 1 || i > count())
        return true;
    QPointer<quilListbox> self(q);
    short index = i;
    QString key = items->Item(i)->Key();
    emit q->ItemClicked(index, key);
    return !self.isNull();
}

// ------------------------------------------------------------ layout

int quilListbox::RowHeight() const
{
    const int TH = faceOf(this).TextHeight(QStringLiteral("I"));
    if (!d->imageList)
        return TH + 4;
    const int IH = LateImageList{d->imageList.data()}.number("ImageHeight");
    return IH > TH ? IH + 4 : TH + 4;
}

int quilListbox::VisibleRows() const
{
    const int TH = faceOf(this).TextHeight(QStringLiteral("I"));
    int D = TH + 4;
    if (d->imageList) {
        // One pixel more per row than the layout uses, as the count always has.
        const int IH = LateImageList{d->imageList.data()}.number("ImageHeight");
        D = IH > TH ? IH + 5 : TH + 5;
    }
    return D > 0 ? static_cast<short>(Fix(double(faceOf(this).ScaleHeight() - 1) / D)) : 0;
}

void quilListbox::Refresh()
{
    d->itemsPending = false;
    QPointer<quilListbox> self(this);
    // The size the rows are counted for.
    if (faceOf(this).ScaleWidth() != width() || faceOf(this).ScaleHeight() != height())
        quilControl::Refresh();
    if (!self)
        return;
    const int n = d->count();
    const int V = VisibleRows();
    if (n > 0) {
        d->bar->setMin(1);
        if (!self)
            return;
        d->bar->setMax(n - V + 1);
        if (!self)
            return;
        d->bar->setValue(0);
        if (!self)
            return;
    }
    d->bar->setEnabled(V <= n);
    if (!self)
        return;
    d->layoutRows();
    // An empty list selects nothing; a selection is always the row drawn highlighted.
    if (n > 0) {
        if (d->selected == 0)
            d->selected = 1;
        if (d->selected >= 1 && d->selected <= n)
            d->highlighted = d->selected;
    }
    d->repaint(false);
}

void quilListboxPrivate::layoutRows()
{
    rows->Clear();
    const int n = count();
    if (n == 0)
        return;
    const int V = q->VisibleRows();
    const int RH = q->RowHeight();
    // The bar keeps a range of at least two positions even when every entry
    // fits; a list that fits always shows its first entry.
    const int first = std::clamp(bar->Value(), 1, std::max(1, n - V + 1));
    const int last = std::min(first + V, n);
    for (int i = first; i <= last; ++i)
        rows->Add(QString(), static_cast<short>(i), (i - first) * RH, RH, true);
}

void quilListboxPrivate::itemsChanged()
{
    // Filling a list raises one event per entry: the list catches up once,
    // when the event loop next runs (or at the next Refresh), instead of
    // laying out and painting for every entry. Until then painting skips
    // rows whose entries are gone.
    if (itemsPending)
        return;
    itemsPending = true;
    QMetaObject::invokeMethod(q, [this] { applyItemsChange(); }, Qt::QueuedConnection);
}

void quilListboxPrivate::applyItemsChange()
{
    if (!itemsPending)
        return;
    itemsPending = false;
    // Entries came or went without a Refresh: the range follows them, so the
    // rows laid out are always entries.
    QPointer<quilListbox> self(q);
    const int n = count(), V = q->VisibleRows();
    if (n > 0) {
        if (bar->Min() != 1)
            bar->setMin(1);
        if (!self)
            return;
        if (bar->Max() != std::max(n - V + 1, bar->Min() + 1))
            bar->setMax(n - V + 1);
        if (!self)
            return;
    }
    if (bar->Enabled() != (V <= n))
        bar->setEnabled(V <= n);
    if (!self)
        return;
    layoutRows();
    repaint(false);
}

void quilListboxPrivate::placeScrollBar()
{
    placed = q->size();
    bar->setGeometry(q->width() - quilListbox::ScrollBarWidth - 2, 2, quilListbox::ScrollBarWidth,
                     std::max(q->height() - 4, 1));
}

// ------------------------------------------------------------ painting

void quilListboxPrivate::repaint(bool frame)
{
    hoverFrame = frame;
    q->quilControl::Refresh();
}

QString quilListboxPrivate::FittedText(const QString& caption, int x) const
{
    QString t = caption;
    t.remove(QLatin1Char('\t'));
    const int avail = q->width() - bar->width() - 4 - x;
    const platform::Surface& sf = faceOf(q);
    while (sf.TextWidth(t) > avail && t.size() >= 4) {
        qsizetype cut = t.size() - 4;
        // Never keep half of a character made of two code units.
        if (cut > 0 && t.at(cut - 1).isHighSurrogate())
            --cut;
        t = t.left(cut) + QStringLiteral("...");
    }
    return t;
}

void quilListbox::Paint()
{
    platform::Surface& sf = faceOf(this);
    if (size() != d->placed)
        d->placeScrollBar();
    const ColorScheme& c = d->scheme;
    const int W = sf.ScaleWidth(), H = sf.ScaleHeight();
    const int SB = d->bar->width();
    const int R = W - SB;
    sf.BackColor = c.Back;
    sf.Cls();
    const int n = d->count();
    if (d->rows->Count() > 0 && n > 0) {
        const QFont font = sf.Font;
        const int TH = sf.TextHeight(QStringLiteral("I"));
        const LateImageList list{d->imageList.data()};
        const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
        for (const auto& row : *d->rows) {
            const int i = row->Index(), t = row->Top(), h = row->Height();
            // Rows laid out before entries were removed name nothing.
            if (i < 1 || i > n)
                continue;
            // Read, not handed out: a handle per row and repaint would cost more than the row.
            const ComboEntry& entry = ComboDatasPrivate::entry(*d->items, i);
            const QString caption = entry.caption, value = entry.value;
            const short icon = entry.icon;
            const int x = 9 * static_cast<int>(caption.count(QLatin1Char('\t')));
            if (i == d->highlighted) {
                if (d->focusFlag || d->hoverSelect)
                    GradientRect(sf, 3, t + 3, R - 5, h - 2, ColorToVertex(c.Tint2), ColorToVertex(c.Tint1), 0);
                else
                    GradientRect(sf, 3, t + 3, R - 7, h - 2, ColorToVertex(c.FaceTop), ColorToVertex(c.FaceBottom), 0);
                sf.Box(2, t + 2, R - 4, t + h, c.EdgeEnd);
            }
            int textX = x + 4;
            if (d->imageList) {
                if (icon != 0)
                    list.draw(sf, icon, x + 4, Round((h - IH) / 2.0 + t + 1), drawsEnabled());
                textX = x + IW + 8;
            }
            if (d->valueFont) {
                QFont f = font;
                f.setFamily(value);
                sf.Font = f;
            }
            sf.CurrentX = textX;
            sf.CurrentY = Round(h / 2.0 - TH / 2.0 + t + 1);
            sf.ForeColor = drawsEnabled() ? c.Text : c.EdgeEnd;
            sf.Print(d->FittedText(caption, textX));
        }
        sf.Font = font;
    }
    sf.Line(0, 0, 0, H, c.EdgeEnd);
    sf.Line(0, 0, W, 0, c.EdgeEnd);
    sf.Line(W - 1, 0, W - 1, H, c.EdgeEnd);
    sf.Line(0, H - 1, W - 1, H - 1, c.EdgeEnd);
    if (d->hoverFrame && !d->hoverSelect) {
        sf.Line(1, 1, 1, H - 2, c.Tint3);
        sf.Line(1, 1, W - 2, 1, c.Tint3);
        sf.Line(W - 2, 1, W - 2, H - 1, c.Tint3);
        sf.Line(1, H - 2, W - 2, H - 2, c.Tint3);
    }
    d->painted = true;
    d->paintedHover = d->hoverFrame;
}

void quilListbox::HoverTick(bool pointerLeft)
{
    // A resting pointer costs nothing: paint only when the frame comes or goes.
    if (!d->painted || d->paintedHover != !pointerLeft)
        d->repaint(!pointerLeft);
}

// ------------------------------------------------------------ mouse and keys

short quilListboxPrivate::entryAt(float x, float y) const
{
    const int R = q->width() - bar->width();
    if (x > R - 4)
        return 0;
    for (const auto& row : *rows)
        if (row->Top() <= y && y < row->Top() + row->Height())
            return (row->Index() >= 1 && row->Index() <= count()) ? row->Index() : 0;
    return 0;
}

void quilListbox::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    d->mouseDown = true;
    emit MouseDown(button, shift, x, y);
}

void quilListbox::MouseMoveNotify(short button, short shift, float x, float y)
{
    pointerSeen();
    if (d->hoverSelect) {
        const short i = d->entryAt(x, y);
        if (i != 0) {
            const bool moved = i != d->highlighted;
            d->highlighted = i;
            d->selected = i;
            QPointer<quilListbox> self(this);
            if (moved || !d->paintedHover)
                d->repaint(false);
            if (!self)
                return;
        }
    }
    emit MouseMove(button, shift, x, y);
}

void quilListbox::MouseUpNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    QPointer<quilListbox> self(this);
    if (d->mouseDown) {
        d->mouseDown = false;
        emit Click();
        if (!self)
            return;
    }
    d->mouseDown = false;
    if (d->hoverSelect && d->highlighted != 0) {
        if (!d->raiseItemClicked(d->highlighted))
            return;
    } else if (const short i = d->entryAt(x, y); i != 0) {
        d->highlighted = i;
        d->selected = i;
        if (!d->raiseItemClicked(i))
            return;
    }
    d->repaint(false);
    if (!self)
        return;
    emit MouseUp(button, shift, x, y);
}

void quilListbox::DblClickNotify() { emit DblClick(); }

short quilListboxPrivate::keyTarget(short keyCode) const
{
    const int n = count();
    if (n == 0)
        return 0;
    const int page = std::max(q->VisibleRows(), 1);
    int to = 0;
    switch (keyCode) {
    case 38: to = selected >= 2 && selected - 1 <= n ? selected - 1 : 0; break;   // Up
    case 40: to = selected < n && selected >= 0 ? selected + 1 : 0; break;       // Down
    case 33: to = std::max(std::min<int>(selected, n) - page, 1); break;         // Page Up
    case 34: to = std::min(std::max<int>(selected, 1) + page, n); break;         // Page Down
    case 36: to = 1; break;                                                      // Home
    case 35: to = n; break;                                                      // End
    default: return 0;
    }
    return to == selected ? 0 : static_cast<short>(to);
}

// The arrows, the page keys, Home and End move the selection, as in a list;
// every other key goes on to the window unless a handler took it (set it to 0).
static bool listKey(short keyCode)
{
    return keyCode == 38 || keyCode == 40 || keyCode == 33 || keyCode == 34 || keyCode == 36 || keyCode == 35;
}

void quilListbox::KeyDownNotify(short keyCode, short shift)
{
    QPointer<quilListbox> self(this);
    const short asked = keyCode;
    if (listKey(keyCode)) {
        acceptKey();
        if (const short to = d->keyTarget(keyCode))
            setSelectedItem(to);
    }
    if (!self)
        return;
    emit KeyDown(keyCode, shift);
    if (self && asked != 0 && keyCode == 0)
        acceptKey();
}

void quilListbox::KeyUpNotify(short keyCode, short shift)
{
    QPointer<quilListbox> self(this);
    const short asked = keyCode;
    emit KeyUp(keyCode, shift);
    if (self && ((asked != 0 && keyCode == 0) || listKey(asked)))
        acceptKey();
}

void quilListbox::KeyPressNotify(short keyAscii)
{
    QPointer<quilListbox> self(this);
    const short asked = keyAscii;
    emit KeyPress(keyAscii);
    if (self && asked != 0 && keyAscii == 0)
        acceptKey();
}

void quilListbox::wheelEvent(QWheelEvent* e)
{
    const int n = d->count();
    const int notches = e->angleDelta().y() / 120;
    if (n == 0 || notches == 0 || !d->bar->Enabled()) {
        e->ignore();
        return;
    }
    // As many rows per notch as the desktop says, held in the scroll range.
    const qint64 step = qint64(notches) * QApplication::wheelScrollLines();
    const qint64 to = std::clamp<qint64>(d->bar->Value() - step, d->bar->Min(), d->bar->Max());
    if (to == d->bar->Value()) {
        e->ignore();   // at an end: a scrolled container behind may move instead
        return;
    }
    d->bar->setValue(static_cast<int>(to));
    e->accept();
}

QSize quilListbox::sizeHint() const
{
    const platform::Surface& sf = faceOf(this);
    // Rows are counted as (height - 1) / D: eight of them, and the frame.
    const int TH = sf.TextHeight(QStringLiteral("I"));
    int D = TH + 4;
    if (d->imageList) {
        const int IH = LateImageList{d->imageList.data()}.number("ImageHeight");
        D = IH > TH ? IH + 5 : TH + 5;
    }
    const int textWidth = sf.TextWidth(QString(20, QLatin1Char('x')));
    const int IW = d->imageList ? std::max(LateImageList{d->imageList.data()}.number("ImageWidth"), 0) + 4 : 0;
    return {4 + IW + textWidth + 4 + ScrollBarWidth + 2, 8 * D + 1};
}

QSize quilListbox::minimumSizeHint() const
{
    // One row, and the scroll bar's height with room for both arrows.
    const int oneRow = RowHeight() + 1;
    const int barLength = d->bar->minimumSizeHint().height() + 4;
    return {4 + faceOf(this).TextWidth(QStringLiteral("x...")) + 4 + ScrollBarWidth + 2, std::max(oneRow, barLength)};
}

void quilListbox::EnterFocus() { d->focusFlag = true; }

void quilListbox::ExitFocus()
{
    d->focusFlag = false;
    d->repaint(false);
}





void quilListbox::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        DblClickNotify();
}

} // namespace quil
