#include <quilObjects/quilButton.h>
#include <quilObjects/Routines.h>

#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "frame/Gradient.h"
#include "frame/LateImageList.h"
#include "platform/surface/Surface.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPointer>
#include <cmath>

namespace quil {

class quilButtonBasePrivate {
public:
    static quilButtonBasePrivate& of(const quilButtonBase* b) { return *b->d; }

    OLE_COLOR backColor = 0xFFFFFF;
    OLE_COLOR foreColor = 0xC00000;
    QString caption;
    bool mouseDown = false;
    int state = quilButtonBase::StateIdle;
    int focusFlag = 0;
    int paintedState = -1;
    int paintedFocus = -1;
    // The caption is still the container's name for the button, and follows it
    // (code generated from forms names a control after creating it).
    bool captionIsName = false;
};

class quilButtonPrivate {
public:
    QPointer<QObject> imageList;
    int imageIndex = 0;
    OLE_COLOR tabSelectColor = 38631;
};

// ================================================================ the shared button

quilButtonBase::quilButtonBase(QWidget* parent) : quilControl(parent), d(std::make_unique<quilButtonBasePrivate>())
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, false);
    connect(this, &QObject::objectNameChanged, this, [this] {
        if (d->captionIsName) {
            d->caption = AmbientDisplayName();
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

quilButtonBase::~quilButtonBase() = default;

void quilButtonBase::initButton()
{
    quilControl::InitProperties();
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->caption = AmbientDisplayName();
    d->captionIsName = true;
}

void quilButtonBase::readButton(PropertyBag& bag)
{
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    applyEnabled(readBool(bag, "Enabled"));
    applyFont(readFont(bag));
    d->caption = readText(bag, "Caption");
    d->captionIsName = false;
}

OLE_COLOR quilButtonBase::BackColor() const { return d->backColor; }
OLE_COLOR quilButtonBase::ForeColor() const { return d->foreColor; }
QString quilButtonBase::Caption() const { return d->caption; }
int quilButtonBase::State_() const { return d->state; }
bool quilButtonBase::MouseIsDown() const { return d->mouseDown; }
bool quilButtonBase::FocusFlag() const { return d->focusFlag != 0; }

void quilButtonBase::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    changed("BackColor");
}

void quilButtonBase::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    changed("ForeColor");
}

void quilButtonBase::setCaption(const QString& text)
{
    d->caption = text;
    d->captionIsName = false;
    updateGeometry();
    changed("Caption");
}

ColorScheme quilButtonBase::CurrentScheme() const
{
    const OLE_COLOR W = 0xFFFFFF;
    switch (d->state) {
    case StateNormal: return SchemeNormal(d->backColor, d->foreColor, W);
    case StateHover: return SchemeHover(d->backColor, d->foreColor, W);
    case StatePressed: return SchemePressed(d->backColor, d->foreColor, W);
    case StateDisabled: return SchemeDisabled(d->backColor, d->foreColor, W);
    default: return SchemeNormal(d->backColor, d->foreColor, W);
    }
}

void quilButtonBase::Paint()
{
    platform::Surface& s = faceOf(this);
    if (!drawsEnabled())
        d->state = StateDisabled;
    else if (d->state == StateDisabled)
        d->state = StateNormal;
    const ColorScheme c = CurrentScheme();
    const int w = s.ScaleWidth(), h = s.ScaleHeight();
    s.BackColor = d->backColor;
    s.Cls();
    GradientTwoStage(s, 0, 0, w, h, c.FaceTop, c.FaceMiddle, c.FaceBottom, pbHorizontal);
    GradientFrame(s, w, h, c);
    if (drawsEnabled()) {
        paintContent(c.Text, true);
    } else {
        d->mouseDown = false;
        paintContent(c.EdgeEnd, false);
    }
    d->paintedState = d->state;
    d->paintedFocus = d->focusFlag;
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
    const bool wasPressed = d->state == StatePressed;
    d->state = s;
    if (wasPressed != (s == StatePressed)) {
        // A screen reader hears the button go down and come up, as with Qt's.
        QAccessible::State pressed;
        pressed.pressed = true;
        QAccessibleStateChangeEvent ev(this, pressed);
        QAccessible::updateAccessibility(&ev);
    }
    // A resting pointer must cost nothing: paint only when the look changes.
    const int effective = !drawsEnabled() ? StateDisabled : (s == StateDisabled ? StateNormal : s);
    if (effective != d->paintedState || d->focusFlag != d->paintedFocus)
        Refresh();
}

void quilButtonBase::HoverTick(bool pointerLeft)
{
    if (pointerLeft)
        setState(StateIdle);
    else
        setState(d->mouseDown ? StatePressed : StateHover);
}

// ------------------------------------------------------------ notifications

void quilButtonBase::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    d->mouseDown = true;
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
    if (d->mouseDown) {
        d->mouseDown = false;
        emit Click();
        if (!self)
            return;
    }
    d->mouseDown = false;
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
    d->focusFlag = focusLook() ? 1 : 0;
    Refresh();
}

void quilButtonBase::ExitFocus()
{
    d->focusFlag = 0;
    // A key or button held while the focus went elsewhere (a modal window
    // took the release) must not leave the button pressed.
    d->mouseDown = false;
    if (d->state == StatePressed)
        d->state = StateIdle;
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

quilButton::quilButton(QWidget* parent) : quilButtonBase(parent), d(std::make_unique<quilButtonPrivate>())
{
    // Any width from the least up, one line high: as a push button sits in a layout.
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    quilButton::InitProperties();
}

quilButton::~quilButton() = default;

QSize quilButton::sizeHint() const
{
    const quilButtonBasePrivate& b = quilButtonBasePrivate::of(this);
    const platform::Surface& s = faceOf(this);
    const int TH = s.TextHeight(QStringLiteral("I"));
    const int TW = b.caption.isEmpty() ? 0 : s.TextWidth(b.caption);
    int IW = 0, IH = 0;
    if (d->imageList && d->imageIndex != 0) {
        const LateImageList list{d->imageList.data()};
        IW = std::max(list.number("ImageWidth"), 0);
        IH = std::max(list.number("ImageHeight"), 0);
    }
    // Side by side: the picture 12 from the edge, the caption 12 after it,
    // 12 to spare at the far end; without a picture the caption centred in
    // the same margins. A line of text or the picture, with 5 above and below.
    int w = 12 + TW + 12;
    if (IW > 0)
        w = b.caption.isEmpty() ? 12 + IW + 12 : 12 + IW + 12 + TW + 12;
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
    d->tabSelectColor = 38631;
    d->imageList = nullptr;
    d->imageIndex = 0;
    updateGeometry();
    Refresh();
}

void quilButton::ReadProperties(PropertyBag& bag)
{
    readButton(bag);
    d->tabSelectColor = readColor(bag, "TabSelectColor");
    const QVariant list = readProp(bag, "ImageList");
    d->imageList = list.canConvert<QObject*>() ? list.value<QObject*>() : nullptr;
    d->imageIndex = static_cast<int>(readInt(bag, "ImageIndex"));
    updateGeometry();
    Refresh();
}

void quilButton::WriteProperties(PropertyBag& bag) const
{
    const quilButtonBasePrivate& b = quilButtonBasePrivate::of(this);
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(b.backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(b.foreColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Font", Font());
    writeProp(bag, "Caption", b.caption);
    writeProp(bag, "TabSelectColor", QVariant::fromValue<quint32>(d->tabSelectColor));
    writeProp(bag, "ImageList", QVariant::fromValue<QObject*>(d->imageList.data()));
    writeProp(bag, "ImageIndex", d->imageIndex);
}

OLE_COLOR quilButton::TabSelectColor() const { return d->tabSelectColor; }
QObject* quilButton::ImageList() const { return d->imageList.data(); }
int quilButton::ImageIndex() const { return d->imageIndex; }

void quilButton::setTabSelectColor(OLE_COLOR c)
{
    d->tabSelectColor = c;
    changed("TabSelectColor");
}

void quilButton::setImageList(QObject* list)
{
    d->imageList = list;
    updateGeometry();
    changed("ImageList");
}

void quilButton::setImageIndex(int index)
{
    d->imageIndex = index;
    updateGeometry();
    changed("ImageIndex");
}

ColorScheme quilButton::CurrentScheme() const
{
    const quilButtonBasePrivate& b = quilButtonBasePrivate::of(this);
    if (b.state == StateIdle && b.focusFlag == 1)
        return SchemeFocus(b.backColor, d->tabSelectColor, b.foreColor);
    return quilButtonBase::CurrentScheme();
}

bool quilButton::Stacked() const
{
    const LateImageList list{d->imageList.data()};
    const int TH = faceOf(this).TextHeight(QStringLiteral("I"));
    return list.number("ImageHeight") + 1.7 * TH <= height() - 6;
}

void quilButton::paintContent(OLE_COLOR captionColour, bool enabled)
{
    const quilButtonBasePrivate& b = quilButtonBasePrivate::of(this);
    platform::Surface& s = faceOf(this);
    const double w = s.ScaleWidth(), h = s.ScaleHeight();
    const double TW = s.TextWidth(b.caption), TC = s.TextHeight(b.caption);
    if (!d->imageList || d->imageIndex == 0) {
        printAt(b.caption, Fix(w / 2 - TW / 2), Fix(h / 2 - TC / 2), captionColour);
        return;
    }
    const LateImageList list{d->imageList.data()};
    const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
    const double TH = s.TextHeight(QStringLiteral("I"));
    QPoint image, text;
    if (b.caption.isEmpty()) {
        image = {Fix(w / 2 - IW / 2.0), Fix(h / 2 - IH / 2.0)};
    } else if (IH + 1.7 * TH <= h - 6) {
        image = {Fix(w / 2 - IW / 2.0), Fix(h / 2 - (IH + TH + 5) / 2)};
        text = {Fix(w / 2 - TW / 2), Fix(h / 2 - (IH + TH + 5) / 2 + IH + 5)};
    } else {
        image = {12, Fix(h / 2 - IH / 2.0)};
        text = {IW + 24, Fix(h / 2 - TC / 2)};
    }
    list.draw(s, d->imageIndex, image.x(), image.y(), enabled);
    if (!b.caption.isEmpty())
        printAt(b.caption, text.x(), text.y(), captionColour);
}

} // namespace quil
