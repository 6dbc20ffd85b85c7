#include <quilObjects/Routines.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilToolbar.h>

#include "frame/quilControl_p.h"
#include "composite/quilToolbar_p.h"
#include "frame/HandDown.h"
#include "frame/Rounding.h"
#include "frame/Arrow.h"
#include "frame/Gradient.h"
#include "frame/LateImageList.h"
#include "frame/KeyHook.h"

#include <QMouseEvent>
#include <cmath>

namespace quil {

namespace {
bool isMenu(eMenuItemType s) { return s == mitMenu || s == mitMenu2; }
} // namespace

// ================================================================ the bar

quilToolbar::quilToolbar(QWidget* parent) : quilControl(parent), d(std::make_unique<quilToolbarPrivate>(this))
{
    d->menu = new quilPUMenu(this);
    d->menu->setObjectName(QStringLiteral("quilPUMenu1"));
    // The popup's handle is never seen: out of sight above and left of the bar.
    d->menu->move(-48, -48);
    connect(d->menu, &quilPUMenu::ItemClick, this, [this](short& ItemIndex, QString& ItemKey) {
        short button = d->menuButton;
        QString key = d->validButton(button) ? d->items->Item(button)->sKey() : QString();
        emit MenuItemClicked(button, key, ItemIndex, ItemKey);
    });
    connect(d->menu, &quilPUMenu::Closed, this, [this] {
        d->buttonDown = false;
        // The focused bar shows its current button again.
        d->hoverButton = hasFocus() ? d->keyButton : 0;
        Refresh();
    });
    d->hookKeys();
    setToolbarItems(QSharedPointer<quil::ToolbarItems>::create());
    d->barHeight = faceOf(this).TextHeight(QStringLiteral("I")) + 21;
    quilToolbar::InitProperties();
    // As wide as the container makes it, as high as its buttons.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(width(), sizeHint().height());
}

QSize quilToolbar::sizeHint() const
{
    const platform::Surface& sf = faceOf(this);
    const int TH = sf.TextHeight(QStringLiteral("I"));
    const int IH = LateImageList{d->imageList.data()}.number("ImageHeight");
    const int h = (d->imageList && IH > TH ? IH : TH) + 14;
    int w = 30;
    for (const quilToolbarPrivate::ButtonBox& b : d->layout())
        w = std::max(w, b.frame.right() + 8);
    return {w, h};
}

QSize quilToolbar::minimumSizeHint() const { return {30, sizeHint().height()}; }

quilToolbar::~quilToolbar()
{
    disconnect(d->added);
    disconnect(d->changedConn);
}

QSharedPointer<quil::ToolbarItems> quilToolbar::ToolbarItems() const { return d->items; }
OLE_COLOR quilToolbar::BackColor() const { return d->backColor; }
OLE_COLOR quilToolbar::ForeColor() const { return d->foreColor; }
OLE_COLOR quilToolbar::SelectionColor() const { return d->selectionColor; }
QObject* quilToolbar::MenuImageList() const { return d->menuImageList.data(); }
QObject* quilToolbar::ImageList() const { return d->imageList.data(); }
short quilToolbar::HoverButton() const { return d->hoverButton; }
bool quilToolbar::ButtonDown() const { return d->buttonDown; }
int quilToolbar::BarHeight() const { return d->barHeight; }
short quilToolbar::MenuButton() const { return d->menuButton; }
int quilToolbar::MenuLeft() const { return d->menuLeft; }
int quilToolbar::MenuTop() const { return d->menuTop; }
ColorScheme quilToolbar::Scheme() const { return d->scheme; }
quilPUMenu* quilToolbar::PopupMenu() const { return d->menu; }

bool quilToolbarPrivate::validButton(int i) const { return items && i >= 1 && i <= items->Count(); }

// ------------------------------------------------------------ persistence

const QList<PersistedProperty>& quilToolbar::Persisted() const
{
    // "Imagelist" is the name forms have always stored the buttons' pictures under.
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
        {"SelectionColor", QVariant::fromValue<quint32>(33023)},
        {"MenuImageList", QVariant::fromValue<QObject*>(nullptr)},
        {"Imagelist", QVariant::fromValue<QObject*>(nullptr)},
        {"Enabled", true},
        {"Font", {}, PersistedProperty::Font},
    };
    return table;
}

void quilToolbar::InitProperties()
{
    quilControl::InitProperties();
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->selectionColor = 33023;
    Refresh();
}

void quilToolbar::ReadProperties(PropertyBag& bag)
{
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    d->selectionColor = readColor(bag, "SelectionColor");
    auto object = [&](const char* name) -> QObject* {
        const QVariant v = readProp(bag, name);
        return v.canConvert<QObject*>() ? v.value<QObject*>() : nullptr;
    };
    d->menuImageList = object("MenuImageList");
    d->menu->setImageList(d->menuImageList.data());
    d->imageList = object("Imagelist");
    readCommon(bag);
    Refresh();
}

void quilToolbar::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(d->selectionColor));
    writeProp(bag, "MenuImageList", QVariant::fromValue<QObject*>(d->menuImageList.data()));
    writeProp(bag, "Imagelist", QVariant::fromValue<QObject*>(d->imageList.data()));
    writeCommon(bag);
}

// ------------------------------------------------------------ properties

void quilToolbar::setToolbarItems(QSharedPointer<quil::ToolbarItems> list)
{
    // The old collection's events must no longer repaint this bar.
    disconnect(d->added);
    disconnect(d->changedConn);
    d->items = std::move(list);
    if (d->items) {
        d->added = connect(d->items.get(), &ToolbarItems::ItemAdded, this, [this] { Refresh(); });
        d->changedConn = connect(d->items.get(), &ToolbarItems::ItemChanged, this, [this] { Refresh(); });
    }
    // Button numbers of the old collection mean nothing in the new one.
    d->hoverButton = 0;
    Refresh();
}

void quilToolbarPrivate::applyLook()
{
    scheme = SchemeNormal(backColor, foreColor, selectionColor);
    faceOf(q).BackColor = scheme.Back;
    HandColoursDown(menu, backColor, foreColor, selectionColor);
    // The menu takes the bar's typeface, in its own size.
    if (menu->Font().family() != q->Font().family()) {
        QFont f = menu->Font();
        f.setFamily(q->Font().family());
        menu->setFont(f);
    }
}

void quilToolbar::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    changed("BackColor");
}

void quilToolbar::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    changed("ForeColor");
}

void quilToolbar::setSelectionColor(OLE_COLOR c)
{
    d->selectionColor = c;
    changed("SelectionColor");
}

void quilToolbar::setMenuImageList(QObject* list)
{
    d->menuImageList = list;
    if (!notify("MenuImageList"))
        return;
    d->menu->setImageList(list);
    Refresh();
}

void quilToolbar::setImageList(QObject* list)
{
    d->imageList = list;
    changed("Imagelist");
}

// ------------------------------------------------------------ layout

std::vector<quilToolbarPrivate::ButtonBox> quilToolbarPrivate::layout() const
{
    std::vector<ButtonBox> boxes;
    if (!items)
        return boxes;
    const platform::Surface& sf = faceOf(q);
    const int TH = sf.TextHeight(QStringLiteral("I"));
    const bool hasList = !imageList.isNull();
    const LateImageList list{imageList.data()};
    const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
    const bool tall = hasList && IH > TH;
    int x = 15;
    for (const auto& item : *items) {
        ButtonBox b;
        const int TW = sf.TextWidth(item->Caption());
        int advance = 0;
        b.x = x;
        b.h = tall ? IH : TH;
        if (!hasList) {
            b.textX = x + 2;
            b.w = TW + 15;
            advance = b.w;
        } else if (item->IconIndex() != 0) {
            b.textX = x + IW + 3;
            b.w = TW + 15 + IW;
            advance = b.w + 3;
        } else {
            b.textX = x;
            b.w = TW + 15;
            advance = b.w;
        }
        // The arrow widens the box into the next button's place; the next
        // button still starts where it would without it.
        if (item->Style() == mitMenu2)
            b.w += 3 + sf.TextWidth(QStringLiteral("6"));
        b.textY = tall ? Round(6 + IH / 2.0 - TH / 2.0) : 6;
        b.frame = QRect(x - 7, 3, b.w, b.h + 6);
        // The pointer counts as over the button only strictly inside
        // left < X < left + w and 6 < Y < h + 6, with left = x - 8: one
        // column left of the drawn box, two short of its right outline and
        // four rows inside its top and bottom. Moving onto the box's edge
        // therefore does not yet highlight it.
        b.hit = QRect(x - 7, 7, b.w - 1, b.h - 1);
        boxes.push_back(b);
        x += advance;
    }
    return boxes;
}

quilToolbarPrivate::ButtonBox quilToolbarPrivate::Box(int i) const
{
    const std::vector<ButtonBox> boxes = layout();
    if (i < 1 || i > static_cast<int>(boxes.size()))
        return {};
    return boxes[static_cast<size_t>(i - 1)];
}

// ------------------------------------------------------------ drawing

void quilToolbarPrivate::drawButtonBox(const QRect& r, OLE_COLOR c1, OLE_COLOR c2)
{
    platform::Surface& sf = faceOf(q);
    const int L = r.x(), T = r.y(), W = r.width(), H = r.height();
    GradientRect(sf, L, T, W, H, ColorToVertex(c1), ColorToVertex(c2), 1);
    sf.Line(L, T, L + W, T, scheme.EdgeEnd);
    sf.Line(L, T, L, T + H, scheme.EdgeEnd);
    sf.Line(L + W, T, L + W, T + H, scheme.EdgeEnd);
    sf.Line(L, T + H, L + W + 1, T + H, scheme.EdgeEnd);
}

void quilToolbarPrivate::drawButtonIcon(const ToolbarItem& item, int x, int y, int h)
{
    const LateImageList list{imageList.data()};
    const int IH = list.number("ImageHeight");
    // Always the normal picture, a disabled button's too.
    list.draw(faceOf(q), item.IconIndex(), x, y + Fix(h / 2.0) - Fix(IH / 2.0), true);
}

void quilToolbarPrivate::drawDownArrow(int x, int y, int w, OLE_COLOR c)
{
    // The symbol font's "6": a downward triangle 7 across and 4 deep,
    // centred in the glyph's cell. The symbol font sits low in its cell,
    // which is why the glyph is placed 3 pixels above the caption: the
    // triangle is centred on the caption's middle.
    platform::Surface& sf = faceOf(q);
    const int TH = sf.TextHeight(QStringLiteral("I"));
    const int gx = x + Fix(w / 2.0) - 3, gy = y + 3 + Fix(TH / 2.0) - 2;
    DrawArrow(sf, Arrow::Down, gx, gy, c);
}

void quilToolbar::Paint()
{
    d->applyLook();
    platform::Surface& sf = faceOf(this);
    const ColorScheme& c = d->scheme;
    sf.Cls();
    const int TH = sf.TextHeight(QStringLiteral("I"));
    const LateImageList list{d->imageList.data()};
    const int IH = list.number("ImageHeight");
    d->barHeight = (d->imageList && IH > TH ? IH : TH) + 14;
    // The bar's height is its hint; a layout hears of a new one, the bar
    // is drawn at the size its container gives.
    if (sizeHint() != d->hinted) {
        d->hinted = sizeHint();
        updateGeometry();
    }
    const int SW = sf.ScaleWidth(), SH = sf.ScaleHeight();
    d->paintedHover = d->hoverButton;
    d->paintedDown = d->buttonDown;

    // Shaded across the bar, left to right, as the bar has always been drawn.
    GradientTwoStage(sf, 0, 0, SW, SH, c.FaceTop, c.FaceMiddle, c.FaceBottom, pbVertical);
    GradientFrame(sf, SW, SH, c);
    if (!d->items || d->items->Count() == 0)
        return;

    const std::vector<quilToolbarPrivate::ButtonBox> boxes = d->layout();
    const int y = 6;
    for (int i = 1; i <= d->items->Count(); ++i) {
        const auto item = d->items->Item(i);
        const quilToolbarPrivate::ButtonBox& b = boxes[static_cast<size_t>(i - 1)];
        sf.ForeColor = c.Text;
        const eMenuItemType style = item->Style();
        if (i == d->hoverButton) {
            if (d->buttonDown && isMenu(style))
                d->drawButtonBox(b.frame, c.FaceTop, c.EdgeEnd);
            else if (!d->buttonDown && style == mitCheckButton && item->Checked())
                d->drawButtonBox(b.frame, c.Tint1, c.Tint3);
            else if (!d->buttonDown)
                d->drawButtonBox(b.frame, c.Tint1, c.Tint2);
            else
                d->drawButtonBox(b.frame, c.Tint3, c.Tint1);
        } else if (style == mitCheckButton && item->Checked()) {
            d->drawButtonBox(b.frame, c.Tint1, c.Tint2);
        }
        switch (style) {
        case mitPlaceholder:
            if (item->IconIndex() != 0)
                d->drawButtonIcon(*item, b.x, y, b.h);
            break;
        case mitSeparator: {
            const int xs = b.x + Fix(b.w / 4.0);
            sf.Line(xs, y, xs, y + b.h, c.EdgeEnd);
            sf.Line(xs + 1, y + 1, xs + 1, y + b.h + 1, c.FaceTop);
            break;
        }
        default: {
            if (item->IconIndex() != 0)
                d->drawButtonIcon(*item, b.x, y, b.h);
            const OLE_COLOR text = item->Enabled() ? c.Text : c.EdgeEnd;
            sf.ForeColor = text;
            sf.CurrentX = b.textX;
            sf.CurrentY = b.textY;
            sf.Print(item->Caption());
            if (style == mitMenu2)
                d->drawDownArrow(b.textX + sf.TextWidth(item->Caption()) + 3, b.textY - 3,
                                 sf.TextWidth(QStringLiteral("6")), text);
            break;
        }
        }
    }
}

void quilToolbarPrivate::refreshIfChanged()
{
    if (hoverButton != paintedHover || buttonDown != paintedDown)
        q->Refresh();
}

// ------------------------------------------------------------ pointer

void quilToolbarPrivate::HoverTest(float x, float y)
{
    q->pointerSeen();
    if (!menu->MenuVisible())
        hoverButton = 0;
    const std::vector<ButtonBox> boxes = layout();
    for (int i = 1; i <= static_cast<int>(boxes.size()); ++i) {
        const ButtonBox& b = boxes[static_cast<size_t>(i - 1)];
        const int left = b.x - 8;
        if (!(left < x && x < left + b.w && 6 < y && y < b.h + 6))
            continue;
        hoverItem(i, b);
        return;
    }
}

void quilToolbarPrivate::hoverItem(int i, const ButtonBox& b)
{
    const int left = b.x - 8;
    const auto item = items->Item(i);
    switch (item->Style()) {
    case mitNormalButton:
    case mitCheckButton:
        if (item->Enabled()) {
            if (i != hoverButton) {
                hoverButton = static_cast<short>(i);
                if (menu->MenuVisible())
                    menu->KillMenu();
            }
        } else {
            hoverButton = 0;
            if (menu->MenuVisible())
                menu->KillMenu();
        }
        break;
    case mitMenu:
    case mitMenu2:
        // Enabled or not: a menu button always opens its menu.
        if (i != hoverButton) {
            hoverButton = static_cast<short>(i);
            menuButton = static_cast<short>(i);
            menuLeft = left;
            menuTop = b.h + 6;
            if (buttonDown)
                openButtonMenu(b.w);
        }
        break;
    case mitPlaceholder:
    case mitSeparator:
    case mitCaption:
        if (menu->MenuVisible())
            menu->KillMenu();
        hoverButton = 0;
        break;
    default: break;
    }
}

void quilToolbarPrivate::openButtonMenu(int width)
{
    if (!validButton(hoverButton))
        return;
    const auto item = items->Item(hoverButton);
    if (!isMenu(item->Style())) {
        menu->KillMenu();
        return;
    }
    menu->ClearItems();
    if (item->ToolbarMenuItems() && item->ToolbarMenuItems()->Count() > 0)
        menu->setMenuItem(item->ToolbarMenuItems());
    // Under the button, its top edge open where it meets the button's box.
    const QPoint origin = q->mapToGlobal(QPoint(0, 0));
    int X = (origin.x() + menuLeft + 1) * quilPUMenu::TwipsPerPixel;
    int Y = (origin.y() + menuTop + 3) * quilPUMenu::TwipsPerPixel;
    menu->CreateMenu(X, Y, QString(), width);
}

void quilToolbar::MouseDownNotify(short button, short, float x, float y)
{
    if (button != 1)
        return;
    d->buttonDown = true;
    QPointer<quilToolbar> self(this);
    d->HoverTest(x, y);
    if (self)
        d->refreshIfChanged();
}

void quilToolbar::MouseMoveNotify(short, short, float x, float y)
{
    QPointer<quilToolbar> self(this);
    d->HoverTest(x, y);
    if (self)
        d->refreshIfChanged();
}

void quilToolbar::MouseUpNotify(short, short, float, float)
{
    if (d->hoverButton == 0) {
        d->buttonDown = false;
    } else {
        if (d->buttonDown && d->validButton(d->hoverButton)) {
            short index = d->hoverButton;
            QString key = d->items->Item(index)->sKey();
            QPointer<quilToolbar> self(this);
            emit ItemClicked(index, key);
            if (!self)
                return;
        }
        // A d->menu button stays down while its d->menu is open.
        if (!d->validButton(d->hoverButton) || !isMenu(d->items->Item(d->hoverButton)->Style()))
            d->buttonDown = false;
    }
    d->refreshIfChanged();
}

// ------------------------------------------------------------ keys

void quilToolbarPrivate::hookKeys()
{
    // Tab reaches the bar; a click on a button leaves the focus where the user's typing is.
    q->setFocusPolicy(Qt::TabFocus);
    new KeyHook(
        q,
        [this](QKeyEvent* e) {
            if (!q->isEnabled() || !items)
                return false;
            settleKeyButton();
            switch (e->key()) {
            case Qt::Key_Left:
            case Qt::Key_Right: {
                // A bar with nothing to press leaves the arrows to its window.
                if (keyButton == 0)
                    return false;
                // Stops at the ends, as a tool bar's buttons do.
                if (const int next = nextPressable(keyButton, e->key() == Qt::Key_Left ? -1 : 1); next != 0)
                    keyButton = static_cast<short>(next);
                if (!menu->PopupWindow()->isVisible())
                    hoverButton = keyButton;
                refreshIfChanged();
                return true;
            }
            case Qt::Key_Down:
                if (!pressable(keyButton) || !isMenu(items->Item(keyButton)->Style()))
                    return false;
                pressByKey(keyButton);
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                if (!pressable(keyButton))
                    return false;
                pressByKey(keyButton);
                return true;
            default: return false;
            }
        },
        [this](bool in) {
            // An open menu keeps its button's look; the focus comes back as it closes.
            const bool open = menu->PopupWindow()->isVisible();
            if (in) {
                settleKeyButton();
                if (!open)
                    hoverButton = keyButton;
            } else if (!open) {
                hoverButton = 0;
            }
            refreshIfChanged();
        });
}

bool quilToolbarPrivate::pressable(int i) const
{
    if (!validButton(i))
        return false;
    const auto item = items->Item(i);
    switch (item->Style()) {
    case mitNormalButton:
    case mitCheckButton:
    case mitMenu:
    case mitMenu2: return item->Enabled();
    default: return false;
    }
}

void quilToolbarPrivate::settleKeyButton()
{
    // The buttons may have changed since: the first pressable one stands in.
    if (!pressable(keyButton))
        keyButton = static_cast<short>(nextPressable(0, 1));
}

int quilToolbarPrivate::nextPressable(int i, int step) const
{
    if (!items)
        return 0;
    for (int k = i + step; k >= 1 && k <= items->Count(); k += step)
        if (pressable(k))
            return k;
    return 0;
}

bool quilToolbarPrivate::pressByKey(int i)
{
    // The pointer's press over the button, then its release.
    QPointer<quilToolbar> self(q);
    buttonDown = true;
    if (!menu->MenuVisible())
        hoverButton = 0;
    hoverItem(i, Box(i));
    if (!self)
        return false;
    refreshIfChanged();
    q->MouseUpNotify(1, 0, 0, 0);
    return !self.isNull();
}

void quilToolbar::HoverTick(bool)
{
    // The last hovered button keeps its look after the pointer leaves, until
    // the next move over the bar or until its d->menu closes.
    d->refreshIfChanged();
}

} // namespace quil
