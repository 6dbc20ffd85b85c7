#include <quilObjects/quilButton.h>
#include <quilObjects/Routines.h>

#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "frame/Gradient.h"
#include "frame/LateImageList.h"
#include "platform/surface/Surface.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <cmath>

namespace quil {

// ================================================================ the shared button

quilButtonBase::quilButtonBase(QWidget* parent) : quilControl(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, false);
    connect(this, &QObject::objectNameChanged, this, [this] {
        if (captionIsName) {
            caption = AmbientDisplayName();
            updateGeometry();
            Refresh();
        }
    });
}

const QList<PersistedProperty>& quilButtonBase::ButtonPersisted()
{
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
        {"Enabled", true},
        {"Font", {}, PersistedProperty::Font},
        {"Caption", {}, PersistedProperty::DisplayName},
    };
    return table;
}

void quilButtonBase::initButton()
{
    quilControl::InitProperties();
    backColor = 0xFFFFFF;
    foreColor = 0xC00000;
    caption = AmbientDisplayName();
    captionIsName = true;
}

void quilButtonBase::readButton(PropertyBag& bag)
{
    backColor = readColor(bag, "BackColor");
    foreColor = readColor(bag, "ForeColor");
    applyEnabled(readBool(bag, "Enabled"));
    applyFont(readFont(bag));
    caption = readText(bag, "Caption");
    captionIsName = false;
}

void quilButtonBase::setBackColor(OLE_COLOR c)
{
    backColor = c;
    changed("BackColor");
}

void quilButtonBase::setForeColor(OLE_COLOR c)
{
    foreColor = c;
    changed("ForeColor");
}

void quilButtonBase::setCaption(const QString& text)
{
    caption = text;
    captionIsName = false;
    updateGeometry();
    changed("Caption");
}

ColorScheme quilButtonBase::CurrentScheme() const
{
    const OLE_COLOR W = 0xFFFFFF;
    switch (state) {
    case StateNormal: return SchemeNormal(backColor, foreColor, W);
    case StateHover: return SchemeHover(backColor, foreColor, W);
    case StatePressed: return SchemePressed(backColor, foreColor, W);
    case StateDisabled: return SchemeDisabled(backColor, foreColor, W);
    default: return SchemeNormal(backColor, foreColor, W);
    }
}

void quilButtonBase::Paint()
{
    platform::Surface& s = faceOf(this);
    if (!drawsEnabled())
        state = StateDisabled;
    else if (state == StateDisabled)
        state = StateNormal;
    const ColorScheme c = CurrentScheme();
    const int w = s.ScaleWidth(), h = s.ScaleHeight();
    s.BackColor = backColor;
    s.Cls();
    GradientTwoStage(s, 0, 0, w, h, c.FaceTop, c.FaceMiddle, c.FaceBottom, pbHorizontal);
    GradientFrame(s, w, h, c);
    if (drawsEnabled()) {
        paintContent(c.Text, true);
    } else {
        mouseDown = false;
        paintContent(c.EdgeEnd, false);
    }
    paintedState = state;
    paintedFocus = focusFlag;
}

void quilButtonBase::printAt(const QString& text, int x, int y, OLE_COLOR colour)
{
    platform::Surface& s = faceOf(this);
    s.ForeColor = colour;
    s.CurrentX = x;
    s.CurrentY = y;
    s.Print(text);
}

void quilButtonBase::setState(int s)
{
    state = s;
    // A resting pointer must cost nothing: paint only when the look changes.
    const int effective = !drawsEnabled() ? StateDisabled : (s == StateDisabled ? StateNormal : s);
    if (effective != paintedState || focusFlag != paintedFocus)
        Refresh();
}

void quilButtonBase::HoverTick(bool pointerLeft)
{
    if (pointerLeft)
        setState(StateIdle);
    else
        setState(mouseDown ? StatePressed : StateHover);
}

// ------------------------------------------------------------ notifications

void quilButtonBase::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    mouseDown = true;
    emit MouseDown(button, shift, x, y);
}

void quilButtonBase::MouseMoveNotify(short button, short shift, float x, float y)
{
    pointerSeen();
    emit MouseMove(button, shift, x, y);
}

void quilButtonBase::MouseUpNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    QPointer<quilButtonBase> self(this);
    if (mouseDown) {
        mouseDown = false;
        emit Click();
        if (!self)
            return;
    }
    mouseDown = false;
    emit MouseUp(button, shift, x, y);
}

// Enter and Space press the button, as a focused push button takes them;
// every other key (Escape, Tab, arrows) goes on to the window unless a
// handler took it by setting it to 0.
void quilButtonBase::KeyDownNotify(short keyCode, short shift)
{
    QPointer<quilButtonBase> self(this);
    const short asked = keyCode;
    emit KeyDown(keyCode, shift);
    if (!self)
        return;
    if (asked != 0 && keyCode == 0)
        acceptKey();
    if (keyCode == 13 || keyCode == 32) {
        acceptKey();
        setState(StatePressed);
        emit Click();
    }
}

void quilButtonBase::KeyUpNotify(short keyCode, short shift)
{
    QPointer<quilButtonBase> self(this);
    const short asked = keyCode;
    emit KeyUp(keyCode, shift);
    if (!self)
        return;
    if (asked != 0 && keyCode == 0)
        acceptKey();
    if (keyCode == 13 || keyCode == 32) {
        acceptKey();
        setState(StateIdle);
    }
}

void quilButtonBase::KeyPressNotify(short keyAscii)
{
    QPointer<quilButtonBase> self(this);
    const short asked = keyAscii;
    emit KeyPress(keyAscii);
    // The characters of the keys the button takes belong to it too.
    if (self && ((asked != 0 && keyAscii == 0) || asked == 13 || asked == 32))
        acceptKey();
}

void quilButtonBase::EnterFocus()
{
    focusFlag = focusLook() ? 1 : 0;
    Refresh();
}

void quilButtonBase::ExitFocus()
{
    focusFlag = 0;
    // A key or button held while the focus went elsewhere (a modal window
    // took the release) must not leave the button pressed.
    mouseDown = false;
    if (state == StatePressed)
        state = StateIdle;
    Refresh();
}

// ------------------------------------------------------------ Qt glue





void quilButtonBase::mousePressEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    if (e->button() == Qt::LeftButton)
        pointerSeen();
    MouseDownNotify(ButtonOf(e->button()), ShiftOf(e->modifiers()), static_cast<float>(p.x()),
                    static_cast<float>(p.y()));
}

void quilButtonBase::mouseMoveEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    const short buttons = ButtonsOf(e->buttons()), shift = ShiftOf(e->modifiers());
    if (!rect().contains(p.toPoint())) {
        // Held and dragged off: the look returns to idle at once.
        QPointer<quilButtonBase> self(this);
        if (Polling()) {
            stopPolling();
            HoverTick(true);
        }
        if (self) {
            short b = buttons, sh = shift;
            float x = static_cast<float>(p.x()), y = static_cast<float>(p.y());
            emit MouseMove(b, sh, x, y);
        }
        return;
    }
    MouseMoveNotify(buttons, shift, static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void quilButtonBase::mouseReleaseEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    MouseUpNotify(ButtonOf(e->button()), ShiftOf(e->modifiers()), static_cast<float>(p.x()),
                  static_cast<float>(p.y()));
}

void quilButtonBase::enterEvent(QEnterEvent* e)
{
    quilControl::enterEvent(e);
    pointerSeen();
}

// ================================================================ quilButton

quilButton::quilButton(QWidget* parent) : quilButtonBase(parent)
{
    // Any width from the least up, one line high: as a push button sits in a layout.
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    quilButton::InitProperties();
}

QSize quilButton::sizeHint() const
{
    const platform::Surface& s = faceOf(this);
    const int TH = s.TextHeight(QStringLiteral("I"));
    const int TW = caption.isEmpty() ? 0 : s.TextWidth(caption);
    int IW = 0, IH = 0;
    if (imageList && imageIndex != 0) {
        const LateImageList list{imageList.data()};
        IW = std::max(list.number("ImageWidth"), 0);
        IH = std::max(list.number("ImageHeight"), 0);
    }
    // Side by side: the picture 12 from the edge, the caption 12 after it,
    // 12 to spare at the far end; without a picture the caption centred in
    // the same margins. A line of text or the picture, with 5 above and below.
    int w = 12 + TW + 12;
    if (IW > 0)
        w = caption.isEmpty() ? 12 + IW + 12 : 12 + IW + 12 + TW + 12;
    const int h = std::max(TH, IH) + 10;
    return {std::max(w, 2 * TH), h};
}

QSize quilButton::minimumSizeHint() const
{
    // The border and one line of text: the caption may be cut, never the frame.
    const int TH = faceOf(this).TextHeight(QStringLiteral("I"));
    return {TH + 4, TH + 4};
}

const QList<PersistedProperty>& quilButton::Persisted() const
{
    static const QList<PersistedProperty> table = [] {
        QList<PersistedProperty> t = ButtonPersisted();
        t.push_back({"TabSelectColor", QVariant::fromValue<quint32>(38631)});
        t.push_back({"ImageList", QVariant::fromValue<QObject*>(nullptr)});
        t.push_back({"ImageIndex", 0});
        return t;
    }();
    return table;
}

void quilButton::InitProperties()
{
    initButton();
    tabSelectColor = 38631;
    imageList = nullptr;
    imageIndex = 0;
    updateGeometry();
    Refresh();
}

void quilButton::ReadProperties(PropertyBag& bag)
{
    readButton(bag);
    tabSelectColor = readColor(bag, "TabSelectColor");
    const QVariant list = readProp(bag, "ImageList");
    imageList = list.canConvert<QObject*>() ? list.value<QObject*>() : nullptr;
    imageIndex = static_cast<int>(readInt(bag, "ImageIndex"));
    updateGeometry();
    Refresh();
}

void quilButton::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(foreColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Font", Font());
    writeProp(bag, "Caption", caption);
    writeProp(bag, "TabSelectColor", QVariant::fromValue<quint32>(tabSelectColor));
    writeProp(bag, "ImageList", QVariant::fromValue<QObject*>(imageList.data()));
    writeProp(bag, "ImageIndex", imageIndex);
}

void quilButton::setTabSelectColor(OLE_COLOR c)
{
    tabSelectColor = c;
    changed("TabSelectColor");
}

void quilButton::setImageList(QObject* list)
{
    imageList = list;
    updateGeometry();
    changed("ImageList");
}

void quilButton::setImageIndex(int index)
{
    imageIndex = index;
    updateGeometry();
    changed("ImageIndex");
}

ColorScheme quilButton::CurrentScheme() const
{
    if (state == StateIdle && focusFlag == 1)
        return SchemeFocus(backColor, tabSelectColor, foreColor);
    return quilButtonBase::CurrentScheme();
}

bool quilButton::Stacked() const
{
    const LateImageList list{imageList.data()};
    const int TH = faceOf(this).TextHeight(QStringLiteral("I"));
    return list.number("ImageHeight") + 1.7 * TH <= height() - 6;
}

void quilButton::paintContent(OLE_COLOR captionColour, bool enabled)
{
    platform::Surface& s = faceOf(this);
    const double w = s.ScaleWidth(), h = s.ScaleHeight();
    const double TW = s.TextWidth(caption), TC = s.TextHeight(caption);
    if (!imageList || imageIndex == 0) {
        printAt(caption, Fix(w / 2 - TW / 2), Fix(h / 2 - TC / 2), captionColour);
        return;
    }
    const LateImageList list{imageList.data()};
    const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
    const double TH = s.TextHeight(QStringLiteral("I"));
    QPoint image, text;
    if (caption.isEmpty()) {
        image = {Fix(w / 2 - IW / 2.0), Fix(h / 2 - IH / 2.0)};
    } else if (IH + 1.7 * TH <= h - 6) {
        image = {Fix(w / 2 - IW / 2.0), Fix(h / 2 - (IH + TH + 5) / 2)};
        text = {Fix(w / 2 - TW / 2), Fix(h / 2 - (IH + TH + 5) / 2 + IH + 5)};
    } else {
        image = {12, Fix(h / 2 - IH / 2.0)};
        text = {IW + 24, Fix(h / 2 - TC / 2)};
    }
    list.draw(s, imageIndex, image.x(), image.y(), enabled);
    if (!caption.isEmpty())
        printAt(caption, text.x(), text.y(), captionColour);
}

} // namespace quil
