#include <quilObjects/Routines.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilToolbar.h>

#include "frame/quilControl_p.h"
#include "frame/HandDown.h"
#include "frame/Rounding.h"
#include "frame/Arrow.h"
#include "frame/Gradient.h"
#include "frame/LateImageList.h"

#include <QMouseEvent>
#include <cmath>

namespace quil {

namespace {
bool isMenu(eMenuItemType s) { return s == mitMenu || s == mitMenu2; }
} // namespace

// ================================================================ the bar

quilToolbar::quilToolbar(QWidget* parent) : quilControl(parent)
{
    menu = new quilPUMenu(this);
    menu->setObjectName(QStringLiteral("quilPUMenu1"));
    // The popup's handle is never seen: out of sight above and left of the bar.
    menu->move(-48, -48);
    connect(menu, &quilPUMenu::ItemClick, this, [this](short& ItemIndex, QString& ItemKey) {
        short button = menuButton;
        QString key = validButton(button) ? items->Item(button)->sKey() : QString();
        emit MenuItemClicked(button, key, ItemIndex, ItemKey);
    });
    connect(menu, &quilPUMenu::Closed, this, [this] {
        buttonDown = false;
        hoverButton = 0;
        Refresh();
    });
    setToolbarItems(QSharedPointer<quil::ToolbarItems>::create());
    barHeight = faceOf(this).TextHeight(QStringLiteral("I")) + 21;
    quilToolbar::InitProperties();
    // As wide as the container makes it, as high as its buttons.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(width(), sizeHint().height());
}

QSize quilToolbar::sizeHint() const
{
    const platform::Surface& sf = faceOf(this);
    const int TH = sf.TextHeight(QStringLiteral("I"));
    const int IH = LateImageList{imageList.data()}.number("ImageHeight");
    const int h = (imageList && IH > TH ? IH : TH) + 14;
    int w = 30;
    for (const ButtonBox& b : layout())
        w = std::max(w, b.frame.right() + 8);
    return {w, h};
}

QSize quilToolbar::minimumSizeHint() const { return {30, sizeHint().height()}; }

quilToolbar::~quilToolbar()
{
    disconnect(added);
    disconnect(changedConn);
}

bool quilToolbar::validButton(int i) const { return items && i >= 1 && i <= items->Count(); }

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
    backColor = 0xFFFFFF;
    foreColor = 0xC00000;
    selectionColor = 33023;
    Refresh();
}

void quilToolbar::ReadProperties(PropertyBag& bag)
{
    backColor = readColor(bag, "BackColor");
    foreColor = readColor(bag, "ForeColor");
    selectionColor = readColor(bag, "SelectionColor");
    auto object = [&](const char* name) -> QObject* {
        const QVariant v = readProp(bag, name);
        return v.canConvert<QObject*>() ? v.value<QObject*>() : nullptr;
    };
    menuImageList = object("MenuImageList");
    menu->setImageList(menuImageList.data());
    imageList = object("Imagelist");
    readCommon(bag);
    Refresh();
}

void quilToolbar::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(foreColor));
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(selectionColor));
    writeProp(bag, "MenuImageList", QVariant::fromValue<QObject*>(menuImageList.data()));
    writeProp(bag, "Imagelist", QVariant::fromValue<QObject*>(imageList.data()));
    writeCommon(bag);
}

// ------------------------------------------------------------ properties

void quilToolbar::setToolbarItems(QSharedPointer<quil::ToolbarItems> list)
{
    // The old collection's events must no longer repaint this bar.
    disconnect(added);
    disconnect(changedConn);
    items = std::move(list);
    if (items) {
        added = connect(items.get(), &ToolbarItems::ItemAdded, this, [this] { Refresh(); });
        changedConn = connect(items.get(), &ToolbarItems::ItemChanged, this, [this] { Refresh(); });
    }
    // Button numbers of the old collection mean nothing in the new one.
    hoverButton = 0;
    Refresh();
}

void quilToolbar::applyLook()
{
    scheme = SchemeNormal(backColor, foreColor, selectionColor);
    faceOf(this).BackColor = scheme.Back;
    HandColoursDown(menu, backColor, foreColor, selectionColor);
    // The menu takes the bar's typeface, in its own size.
    if (menu->Font().family() != Font().family()) {
        QFont f = menu->Font();
        f.setFamily(Font().family());
        menu->setFont(f);
    }
}

void quilToolbar::setBackColor(OLE_COLOR c)
{
    backColor = c;
    changed("BackColor");
}

void quilToolbar::setForeColor(OLE_COLOR c)
{
    foreColor = c;
    changed("ForeColor");
}

void quilToolbar::setSelectionColor(OLE_COLOR c)
{
    selectionColor = c;
    changed("SelectionColor");
}

void quilToolbar::setMenuImageList(QObject* list)
{
    menuImageList = list;
    if (!notify("MenuImageList"))
        return;
    menu->setImageList(list);
    Refresh();
}

void quilToolbar::setImageList(QObject* list)
{
    imageList = list;
    changed("Imagelist");
}

// ------------------------------------------------------------ layout

std::vector<quilToolbar::ButtonBox> quilToolbar::layout() const
{
    std::vector<ButtonBox> boxes;
    if (!items)
        return boxes;
    const platform::Surface& sf = faceOf(this);
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

quilToolbar::ButtonBox quilToolbar::Box(int i) const
{
    const std::vector<ButtonBox> boxes = layout();
    if (i < 1 || i > static_cast<int>(boxes.size()))
        return {};
    return boxes[static_cast<size_t>(i - 1)];
}

// ------------------------------------------------------------ drawing

void quilToolbar::drawButtonBox(const QRect& r, OLE_COLOR c1, OLE_COLOR c2)
{
    platform::Surface& sf = faceOf(this);
    const int L = r.x(), T = r.y(), W = r.width(), H = r.height();
    GradientRect(sf, L, T, W, H, ColorToVertex(c1), ColorToVertex(c2), 1);
    sf.Line(L, T, L + W, T, scheme.EdgeEnd);
    sf.Line(L, T, L, T + H, scheme.EdgeEnd);
    sf.Line(L + W, T, L + W, T + H, scheme.EdgeEnd);
    sf.Line(L, T + H, L + W + 1, T + H, scheme.EdgeEnd);
}

void quilToolbar::drawButtonIcon(const ToolbarItem& item, int x, int y, int h)
{
    const LateImageList list{imageList.data()};
    const int IH = list.number("ImageHeight");
    // Always the normal picture, a disabled button's too.
    list.draw(faceOf(this), item.IconIndex(), x, y + Fix(h / 2.0) - Fix(IH / 2.0), true);
}

void quilToolbar::drawDownArrow(int x, int y, int w, OLE_COLOR c)
{
    // The symbol font's "6": a downward triangle 7 across and 4 deep,
    // centred in the glyph's cell. The symbol font sits low in its cell,
    // which is why the glyph is placed 3 pixels above the caption: the
    // triangle is centred on the caption's middle.
    platform::Surface& sf = faceOf(this);
    const int TH = sf.TextHeight(QStringLiteral("I"));
    const int gx = x + Fix(w / 2.0) - 3, gy = y + 3 + Fix(TH / 2.0) - 2;
    DrawArrow(sf, Arrow::Down, gx, gy, c);
}

void quilToolbar::Paint()
{
    applyLook();
    platform::Surface& sf = faceOf(this);
    const ColorScheme& c = scheme;
    sf.Cls();
    const int TH = sf.TextHeight(QStringLiteral("I"));
    const LateImageList list{imageList.data()};
    const int IH = list.number("ImageHeight");
    barHeight = (imageList && IH > TH ? IH : TH) + 14;
    // The bar's height is its hint; a layout hears of a new one, the bar
    // is drawn at the size its container gives.
    if (sizeHint() != hinted) {
        hinted = sizeHint();
        updateGeometry();
    }
    const int SW = sf.ScaleWidth(), SH = sf.ScaleHeight();
    paintedHover = hoverButton;
    paintedDown = buttonDown;

    // Shaded across the bar, left to right, as the bar has always been drawn.
    GradientTwoStage(sf, 0, 0, SW, SH, c.FaceTop, c.FaceMiddle, c.FaceBottom, pbVertical);
    GradientFrame(sf, SW, SH, c);
    if (!items || items->Count() == 0)
        return;

    const std::vector<ButtonBox> boxes = layout();
    const int y = 6;
    for (int i = 1; i <= items->Count(); ++i) {
        const auto item = items->Item(i);
        const ButtonBox& b = boxes[static_cast<size_t>(i - 1)];
        sf.ForeColor = c.Text;
        const eMenuItemType style = item->Style();
        if (i == hoverButton) {
            if (buttonDown && isMenu(style))
                drawButtonBox(b.frame, c.FaceTop, c.EdgeEnd);
            else if (!buttonDown && style == mitCheckButton && item->Checked())
                drawButtonBox(b.frame, c.Tint1, c.Tint3);
            else if (!buttonDown)
                drawButtonBox(b.frame, c.Tint1, c.Tint2);
            else
                drawButtonBox(b.frame, c.Tint3, c.Tint1);
        } else if (style == mitCheckButton && item->Checked()) {
            drawButtonBox(b.frame, c.Tint1, c.Tint2);
        }
        switch (style) {
        case mitPlaceholder:
            if (item->IconIndex() != 0)
                drawButtonIcon(*item, b.x, y, b.h);
            break;
        case mitSeparator: {
            const int xs = b.x + Fix(b.w / 4.0);
            sf.Line(xs, y, xs, y + b.h, c.EdgeEnd);
            sf.Line(xs + 1, y + 1, xs + 1, y + b.h + 1, c.FaceTop);
            break;
        }
        default: {
            if (item->IconIndex() != 0)
                drawButtonIcon(*item, b.x, y, b.h);
            const OLE_COLOR text = item->Enabled() ? c.Text : c.EdgeEnd;
            sf.ForeColor = text;
            sf.CurrentX = b.textX;
            sf.CurrentY = b.textY;
            sf.Print(item->Caption());
            if (style == mitMenu2)
                drawDownArrow(b.textX + sf.TextWidth(item->Caption()) + 3, b.textY - 3,
                              sf.TextWidth(QStringLiteral("6")), text);
            break;
        }
        }
    }
}

void quilToolbar::refreshIfChanged()
{
    if (hoverButton != paintedHover || buttonDown != paintedDown)
        Refresh();
}

// ------------------------------------------------------------ pointer

void quilToolbar::HoverTest(float x, float y)
{
    pointerSeen();
    if (!menu->MenuVisible())
        hoverButton = 0;
    const std::vector<ButtonBox> boxes = layout();
    for (int i = 1; i <= static_cast<int>(boxes.size()); ++i) {
        const ButtonBox& b = boxes[static_cast<size_t>(i - 1)];
        const int left = b.x - 8;
        if (!(left < x && x < left + b.w && 6 < y && y < b.h + 6))
            continue;
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
        return;
    }
}

void quilToolbar::openButtonMenu(int width)
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
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    int X = (origin.x() + menuLeft + 1) * quilPUMenu::TwipsPerPixel;
    int Y = (origin.y() + menuTop + 3) * quilPUMenu::TwipsPerPixel;
    menu->CreateMenu(X, Y, QString(), width);
}

void quilToolbar::MouseDownNotify(short button, short, float x, float y)
{
    if (button != 1)
        return;
    buttonDown = true;
    QPointer<quilToolbar> self(this);
    HoverTest(x, y);
    if (self)
        refreshIfChanged();
}

void quilToolbar::MouseMoveNotify(short, short, float x, float y)
{
    QPointer<quilToolbar> self(this);
    HoverTest(x, y);
    if (self)
        refreshIfChanged();
}

void quilToolbar::MouseUpNotify(short, short, float, float)
{
    if (hoverButton == 0) {
        buttonDown = false;
    } else {
        if (buttonDown && validButton(hoverButton)) {
            short index = hoverButton;
            QString key = items->Item(index)->sKey();
            QPointer<quilToolbar> self(this);
            emit ItemClicked(index, key);
            if (!self)
                return;
        }
        // A menu button stays down while its menu is open.
        if (!validButton(hoverButton) || !isMenu(items->Item(hoverButton)->Style()))
            buttonDown = false;
    }
    refreshIfChanged();
}

void quilToolbar::HoverTick(bool)
{
    // The last hovered button keeps its look after the pointer leaves, until
    // the next move over the bar or until its menu closes.
    refreshIfChanged();
}

} // namespace quil
