#pragma once
// What every control of the library shares: a persistent pixel face that is
// repainted whole on every change and shown scaled by whole numbers, its own
// Enabled and Font, the property-changed notification, persistence through
// a property bag, the hover poll and the platform's key numbers.

#include "Export.h"
#include "PropertyBag.h"
#include "Types.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

namespace quil {

class Surface;
class quilControlPrivate;

// One persisted property: its bag name and the default used both on reading
// and on writing. An ambient default stands for the container's value.
struct PersistedProperty {
    enum Ambient { None, DisplayName, Font };
    const char* name;
    QVariant def;
    Ambient ambient = None;
};

class QUILOBJECTS_EXPORT quilControl : public QWidget {
    Q_OBJECT
public:
    ~quilControl() override;

    // Host notifications. A new instance has run InitProperties already.
    virtual void InitProperties();
    virtual void ReadProperties(PropertyBag& bag);
    virtual void WriteProperties(PropertyBag& bag) const;
    // The persisted properties in writing order, with their defaults.
    virtual const QList<PersistedProperty>& Persisted() const;

    // The control's own flag: a control inside a disabled one keeps it.
    bool Enabled() const;
    void setEnabled(bool on);
    QFont Font() const;
    void setFont(const QFont& font);

    // The container's name for the control and the container's font.
    QString AmbientDisplayName() const;
    QFont AmbientFont() const;

    // The pixel face as last painted.
    const QImage& Face() const;
    // Paints the whole face again and shows it.
    void Refresh();

    // Whether the control watches the pointer for leaving its hover look.
    bool Polling() const;

signals:
    void PropertyChanged(const QString& PropertyName);

protected:
    explicit quilControl(QWidget* parent);

    // The face Paint() draws on (see Surface.h).
    Surface& surface() const;
    // Draws the whole face into the surface.
    virtual void Paint() = 0;
    // Sends the notification and repaints.
    void changed(const char* name);
    // Sends the notification; false when a handler deleted the control.
    bool notify(const char* name);
    // A property write the control cannot take (from Designer, uic, a form
    // file or a script): says so with a warning naming the property and the
    // value; the caller then keeps the old value. Never throws.
    void refuseValue(const char* property, const QVariant& value, const QString& why) const;

    // The default a property is read and written with.
    QVariant defaultOf(const char* name) const;
    QVariant readProp(PropertyBag& bag, const char* name) const;
    OLE_COLOR readColor(PropertyBag& bag, const char* name) const;
    qint64 readInt(PropertyBag& bag, const char* name) const;
    bool readBool(PropertyBag& bag, const char* name) const;
    QString readText(PropertyBag& bag, const char* name) const;
    QFont readFont(PropertyBag& bag) const;
    void writeProp(PropertyBag& bag, const char* name, const QVariant& value) const;
    // Enabled and Font, as every control persists them.
    void readCommon(PropertyBag& bag);
    void writeCommon(PropertyBag& bag) const;
    // Sets the flag and font without notification (loading).
    void applyEnabled(bool on);
    // Whether the face shows the enabled look: the control's own flag, and a
    // container (a QGroupBox, a dialog page) that is enabled. A control
    // inside another of the library's controls (the scroll bar's arrows)
    // keeps the look its own flag gives it while that host is disabled.
    bool drawsEnabled() const;
    void applyFont(const QFont& f);

    // Keys and focus, as the platform numbers and reports them. The Qt glue
    // below calls these once for every control; a control reacts in them.
    // A key press is KeyDownNotify, then KeyPressNotify for a character.
public:
    virtual void KeyDownNotify(short keyCode, short shift);
    virtual void KeyUpNotify(short keyCode, short shift);
    virtual void KeyPressNotify(short keyAscii);
    virtual void EnterFocus();
    virtual void ExitFocus();
    // The mouse, as the platform numbers it (button 1 left, 2 right, 4
    // middle; x and y in the control's pixels). The Qt glue calls these once
    // for every control; a control that does not react lets the event go on
    // to its container.
    virtual void MouseDownNotify(short button, short shift, float x, float y);
    virtual void MouseMoveNotify(short button, short shift, float x, float y);
    virtual void MouseUpNotify(short button, short shift, float x, float y);

protected:
    // A left press and its release over the control: the platform's own click.
    virtual void ClickNotify();
    // A mouse move over the control: remember where, start the poll.
    void pointerSeen();
    void stopPolling();
    // The tick's verdict; the control changes its state and repaints when it changed.
    virtual void HoverTick(bool pointerLeft);

    // The control acted on the key being handled: it does not go on to the
    // window. A key no control uses (Escape, Enter in a dialog) goes on.
    void acceptKey();

    // The platform's key number for a Qt key (Enter 13, Space 32, arrows 37-40, ...).
    static short KeyCodeOf(int qtKey);
    static short ShiftOf(Qt::KeyboardModifiers m);
    static short ButtonOf(Qt::MouseButton b);
    static short ButtonsOf(Qt::MouseButtons b);

    // Nothing a handler throws leaves through Qt's event loop.
    bool event(QEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;

private:
    friend class quilControlPrivate;
    std::unique_ptr<quilControlPrivate> d;
};

} // namespace quil
