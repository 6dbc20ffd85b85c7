#include <quilObjects/quilControl.h>
#include "frame/quilControl_p.h"

#include "Arrow.h"
#include "FaceCompleter.h"
#include "KeyHook.h"
#include "platform/forms/PropertyBag.h"
#include "platform/surface/Surface.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QPainter>
#include <QMouseEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QTimer>

namespace quil {

void InstallAccessibleFactory();

namespace {
// The poll's period: often enough to look immediate, rare enough to cost nothing.
constexpr int PollInterval = 10;

quilControlPrivate::PointerSource& pointerSource()
{
    static quilControlPrivate::PointerSource source;
    return source;
}
} // namespace


quilControl::quilControl(QWidget* parent) : QWidget(parent), d(std::make_unique<quilControlPrivate>())
{
    InstallAccessibleFactory();
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Every move over a control is an event of its own, pressed or not.
    setMouseTracking(true);
    d->surface.face.Resize(width(), height());
    d->surface.face.Font = QWidget::font();
    d->poll.setInterval(PollInterval);
    connect(&d->poll, &QTimer::timeout, this, [this] { quilControlPrivate::PollTick(this); });
}

quilControl::~quilControl() = default;

Surface& quilControl::surface() const { return d->published; }

namespace {

QHash<const quilControl*, std::function<void()>>& completers()
{
    static QHash<const quilControl*, std::function<void()>> all;
    return all;
}

void completeFace(const quilControl* c)
{
    if (completers().isEmpty())
        return;
    const auto it = completers().constFind(c);
    if (it != completers().cend()) {
        // A copy: completing may replace the entry.
        const std::function<void()> complete = *it;
        complete();
    }
}

} // namespace

void SetFaceCompleter(const quilControl* c, std::function<void()> complete)
{
    if (complete)
        completers().insert(c, std::move(complete));
    else
        completers().remove(c);
}

const QImage& quilControl::Face() const
{
    completeFace(this);
    // A hidden control hears of a resize only when shown: catch up before showing the face.
    if (d->surface.face.ScaleWidth() != width() || d->surface.face.ScaleHeight() != height())
        const_cast<quilControl*>(this)->Refresh();
    return d->surface.face.Image();
}

void quilControl::Refresh()
{
    // A hidden control learns its new size only when shown; paint at the size it has now.
    if (d->surface.face.ScaleWidth() != width() || d->surface.face.ScaleHeight() != height())
        d->surface.face.Resize(width(), height());
    // Painting may raise an event whose handler deletes the control.
    QPointer<quilControl> self(this);
    Paint();
    if (self)
        update();
}

bool quilControl::notify(const char* name)
{
    QPointer<quilControl> self(this);
    Announce(this, name);
    emit PropertyChanged(QString::fromLatin1(name));
    return !self.isNull();
}

void quilControl::changed(const char* name)
{
    if (notify(name))
        Refresh();
}

// ------------------------------------------------------------ persistence

void quilControl::InitProperties()
{
    applyEnabled(true);
    applyFont(AmbientFont());
}

void quilControl::ReadProperties(PropertyBag& bag) { readCommon(bag); }

const QList<PersistedProperty>& quilControl::Persisted() const
{
    static const QList<PersistedProperty> none;
    return none;
}

void quilControl::WriteProperties(PropertyBag& bag) const
{
    for (const PersistedProperty& p : Persisted())
        writeProp(bag, p.name, property(p.name));
}

QVariant quilControl::defaultOf(const char* name) const
{
    for (const PersistedProperty& p : Persisted()) {
        if (qstrcmp(p.name, name) != 0)
            continue;
        switch (p.ambient) {
        case PersistedProperty::DisplayName: return AmbientDisplayName();
        case PersistedProperty::Font: return AmbientFont();
        case PersistedProperty::None: return p.def;
        }
    }
    return {};
}

QVariant quilControl::readProp(PropertyBag& bag, const char* name) const
{
    return bag.ReadProperty(QString::fromLatin1(name), defaultOf(name));
}

OLE_COLOR quilControl::readColor(PropertyBag& bag, const char* name) const
{
    return static_cast<OLE_COLOR>(readInt(bag, name));
}

qint64 quilControl::readInt(PropertyBag& bag, const char* name) const
{
    return platform::BagInt(readProp(bag, name), defaultOf(name).toLongLong());
}

bool quilControl::readBool(PropertyBag& bag, const char* name) const
{
    return platform::BagBool(readProp(bag, name), defaultOf(name).toBool());
}

QString quilControl::readText(PropertyBag& bag, const char* name) const
{
    const QVariant v = readProp(bag, name);
    return v.isValid() ? v.toString() : defaultOf(name).toString();
}

QFont quilControl::readFont(PropertyBag& bag) const
{
    return platform::BagFont(readProp(bag, "Font"), AmbientFont());
}

void quilControl::writeProp(PropertyBag& bag, const char* name, const QVariant& value) const
{
    bag.WriteProperty(QString::fromLatin1(name), value, defaultOf(name));
}

void quilControl::readCommon(PropertyBag& bag)
{
    applyEnabled(readBool(bag, "Enabled"));
    applyFont(readFont(bag));
}

void quilControl::writeCommon(PropertyBag& bag) const
{
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Font", Font());
}

// ------------------------------------------------------------ Enabled, Font

bool quilControl::Enabled() const { return d->enabled; }

void quilControl::setEnabled(bool on)
{
    // Qt's own flag follows, so that a disabled control gets no input;
    // changeEvent sends the notification and repaints.
    QWidget::setEnabled(on);
    // Inside a disabled container Qt's state does not change and sends no
    // event: the control's own flag changes all the same.
    if (on != d->enabled) {
        d->enabled = on;
        changed("Enabled");
    }
}

void quilControl::applyEnabled(bool on)
{
    d->quiet = true;
    QWidget::setEnabled(on);
    d->enabled = on;
    d->quiet = false;
}

bool quilControl::drawsEnabled() const
{
    if (!d->enabled)
        return false;
    // The nearest container that is not one of the library's controls decides.
    const QWidget* w = parentWidget();
    while (w && !w->isWindow() && qobject_cast<const quilControl*>(w))
        w = w->parentWidget();
    return !w || w->isEnabled();
}

QFont quilControl::Font() const { return d->surface.face.Font; }

void quilControl::setFont(const QFont& font)
{
    if (font == d->surface.face.Font && testAttribute(Qt::WA_SetFont))
        return;
    d->surface.face.Font = font;
    d->quiet = true;
    QWidget::setFont(font);
    d->quiet = false;
    changed("Font");
}

void quilControl::applyFont(const QFont& f)
{
    d->surface.face.Font = f;
    d->quiet = true;
    QWidget::setFont(f);
    d->quiet = false;
}

void quilControl::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange) {
        // The control's own flag is Qt's explicit one: a disabled parent
        // blocks input but leaves it as it is.
        const bool own = !testAttribute(Qt::WA_ForceDisabled);
        if (own != d->enabled) {
            d->enabled = own;
            if (!d->quiet)
                changed("Enabled");
        } else if (!d->quiet) {
            // The container's state changed: the look follows it.
            Refresh();
        }
    } else if (e->type() == QEvent::FontChange && !d->quiet) {
        // A font set through QWidget, or inherited from the container (a
        // style sheet's too). A symbol font draws arrows, not text: no text
        // font stands in for it.
        if (QWidget::font() != d->surface.face.Font && !IsSymbolFont(d->surface.face.Font)) {
            d->surface.face.Font = QWidget::font();
            changed("Font");
        }
    }
    QWidget::changeEvent(e);
}

QString quilControl::AmbientDisplayName() const
{
    if (!objectName().isEmpty())
        return objectName();
    QString cls = QString::fromLatin1(metaObject()->className());
    cls = cls.mid(cls.lastIndexOf(':') + 1);
    return cls + QLatin1Char('1');
}

QFont quilControl::AmbientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

// ------------------------------------------------------------ hover poll

void quilControlPrivate::SetPointerSource(PointerSource source) { pointerSource() = std::move(source); }

QPoint quilControlPrivate::PointerPosition()
{
    const PointerSource& s = pointerSource();
    return s ? s() : QCursor::pos();
}

bool quilControl::Polling() const { return d->poll.isActive(); }

void quilControl::pointerSeen()
{
    d->lastSeen = quilControlPrivate::PointerPosition();
    if (!d->poll.isActive())
        d->poll.start();
}

void quilControl::stopPolling() { d->poll.stop(); }

void quilControlPrivate::PollTick(quilControl* c)
{
    quilControlPrivate& d = of(c);
    const QPoint now = PointerPosition();
    // Two pixels or more on either axis without a move event reaching us: gone.
    const bool left = std::abs(now.x() - d.lastSeen.x()) >= 2 || std::abs(now.y() - d.lastSeen.y()) >= 2;
    if (left)
        d.poll.stop();
    c->HoverTick(left);
}

void quilControl::HoverTick(bool) {}

void quilControl::leaveEvent(QEvent* e)
{
    // Outside our windows the pointer may not be readable (Wayland): a leave ends the hover.
    if (d->poll.isActive()) {
        d->poll.stop();
        HoverTick(true);
    }
    QWidget::leaveEvent(e);
}

// ------------------------------------------------------------ keys and buttons

short quilControl::KeyCodeOf(int k)
{
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return static_cast<short>(k);   // 65-90, as Qt numbers them too
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return static_cast<short>(k);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return static_cast<short>(112 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Menu: return 93;
    default: return 0;
    }
}

short quilControl::ShiftOf(Qt::KeyboardModifiers m)
{
    return static_cast<short>((m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                              (m & Qt::AltModifier ? 4 : 0));
}

short quilControl::ButtonOf(Qt::MouseButton b)
{
    return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : b == Qt::MiddleButton ? 4 : 0;
}

short quilControl::ButtonsOf(Qt::MouseButtons b)
{
    return static_cast<short>((b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
                              (b & Qt::MiddleButton ? 4 : 0));
}

// ------------------------------------------------------------ Qt glue

void quilControl::KeyDownNotify(short, short) {}
void quilControl::KeyUpNotify(short, short) {}
void quilControl::KeyPressNotify(short) {}
void quilControl::EnterFocus() {}
void quilControl::ExitFocus() {}

void quilControl::MouseDownNotify(short, short, float, float) { d->unheard = true; }
void quilControl::MouseMoveNotify(short, short, float, float) { d->unheard = true; }
void quilControl::MouseUpNotify(short, short, float, float) { d->unheard = true; }
void quilControl::ClickNotify() {}

void quilControl::mousePressEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    d->pressedInside = e->button() == Qt::LeftButton;
    d->unheard = false;
    QPointer<quilControl> self(this);
    MouseDownNotify(ButtonOf(e->button()), ShiftOf(e->modifiers()), float(p.x()), float(p.y()));
    if (self && d->unheard)
        e->ignore();
}

void quilControl::mouseMoveEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    d->unheard = false;
    QPointer<quilControl> self(this);
    MouseMoveNotify(ButtonsOf(e->buttons()), ShiftOf(e->modifiers()), float(p.x()), float(p.y()));
    if (self && d->unheard)
        e->ignore();
}

void quilControl::mouseReleaseEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    const bool click = d->pressedInside && e->button() == Qt::LeftButton && rect().contains(p.toPoint());
    d->pressedInside = false;
    d->unheard = false;
    QPointer<quilControl> self(this);
    MouseUpNotify(ButtonOf(e->button()), ShiftOf(e->modifiers()), float(p.x()), float(p.y()));
    if (!self)
        return;
    if (d->unheard)
        e->ignore();
    else if (click)
        ClickNotify();
}

void quilControl::acceptKey() { d->keyUsed = true; }

void quilControl::refuseValue(const char* property, const QVariant& value, const QString& why) const
{
    qWarning("%s.%s: %s refused: %s; the value stays as it was", metaObject()->className(), property,
             qUtf8Printable(value.toString()), qUtf8Printable(why));
}

bool quilControl::event(QEvent* e)
{
    try {
        return QWidget::event(e);
    } catch (const std::exception& x) {
        qWarning("%s: %s", metaObject()->className(), x.what());
    } catch (...) {
        qWarning("%s: an unknown error while handling an event", metaObject()->className());
    }
    return true;
}

void quilControl::keyPressEvent(QKeyEvent* e)
{
    const short code = KeyCodeOf(e->key());
    const QString text = e->text();
    if (code == 0 && text.isEmpty()) {
        QWidget::keyPressEvent(e);
        return;
    }
    d->keyUsed = false;
    QPointer<quilControl> self(this);
    KeyInHand busy;
    KeyDownNotify(code, ShiftOf(e->modifiers()));
    if (self && !text.isEmpty() && text.at(0).unicode() != 0 && !(e->modifiers() & Qt::ControlModifier))
        KeyPressNotify(static_cast<short>(text.at(0).unicode()));
    // A key the control did not use goes on to its window (Escape, Enter, Tab).
    if (self && !d->keyUsed)
        e->ignore();
}

void quilControl::keyReleaseEvent(QKeyEvent* e)
{
    // X11 repeats a held key as release-press pairs; only the last release is real.
    if (e->isAutoRepeat())
        return;
    const short code = KeyCodeOf(e->key());
    if (code == 0) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    d->keyUsed = false;
    QPointer<quilControl> self(this);
    KeyInHand busy;
    KeyUpNotify(code, ShiftOf(e->modifiers()));
    if (self && !d->keyUsed)
        e->ignore();
}

void quilControl::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    EnterFocus();
}

void quilControl::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    ExitFocus();
}

void quilControl::paintEvent(QPaintEvent*)
{
    completeFace(this);
    // The face is the control's pixels at its logical size; on a denser
    // screen each pixel becomes a whole block, never a blur.
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(rect(), d->surface.face.Image());
}

void quilControl::resizeEvent(QResizeEvent* e)
{
    d->surface.face.Resize(e->size().width(), e->size().height());
    Refresh();
}

} // namespace quil
