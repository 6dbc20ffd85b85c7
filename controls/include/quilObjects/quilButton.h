#pragma once
// The library's push button: a two-stage gradient face with a one-pixel
// gradient border, an optional picture from a host image list and a centred
// caption, in five looks (normal, hover, pressed, disabled, idle/focused).

#include "quilControl.h"

namespace quil {

class quilButtonBasePrivate;
class quilButtonPrivate;

// What the library's two buttons share: states, face, mouse, keys, focus.
class QUILOBJECTS_EXPORT quilButtonBase : public quilControl {
    Q_OBJECT
public:
    enum State { StateNormal = 0, StateHover = 1, StatePressed = 2, StateDisabled = 3, StateIdle = 4 };

    ~quilButtonBase() override;

    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    QString Caption() const;
    void setCaption(const QString& text);

    int State_() const;
    bool MouseIsDown() const;
    bool FocusFlag() const;
    // The scheme of the current state, as the next paint uses it.
    virtual ColorScheme CurrentScheme() const;

    // Host notifications, called from Qt's events; tests may call them.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;
    void KeyDownNotify(short keyCode, short shift) override;
    void KeyUpNotify(short keyCode, short shift) override;
    void KeyPressNotify(short keyAscii) override;
    void EnterFocus() override;
    void ExitFocus() override;

signals:
    void Click();
    void KeyDown(short& KeyCode, short& Shift);
    void KeyPress(short& KeyAscii);
    void KeyUp(short& KeyCode, short& Shift);
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);

protected:
    explicit quilButtonBase(QWidget* parent);

    void Paint() override;
    void HoverTick(bool pointerLeft) override;
    // What both buttons persist, and their first steps of initialising and loading.
    static const QList<PersistedProperty>& ButtonPersisted();
    void initButton();
    void readButton(PropertyBag& bag);
    // Moves to a state; repaints only when the look changes.
    void setState(int s);
    virtual bool focusLook() const = 0;
    // Picture and caption over the face, in the caption colour.
    virtual void paintContent(OLE_COLOR captionColour, bool enabled) = 0;
    void printAt(const QString& text, int x, int y, OLE_COLOR colour);

    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;

private:
    friend class quilButtonBasePrivate;
    std::unique_ptr<quilButtonBasePrivate> d;
};

class QUILOBJECTS_EXPORT quilButton : public quilButtonBase {
    Q_OBJECT
    Q_CLASSINFO("ID", "0")
    Q_CLASSINFO("Interface", "_quilButton")
    Q_CLASSINFO("EventInterface", "__quilButton")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "PushButton")
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(quint32 TabSelectColor READ TabSelectColor WRITE setTabSelectColor)
    Q_PROPERTY(QObject* ImageList READ ImageList WRITE setImageList)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE setImageIndex)
public:
    explicit quilButton(QWidget* parent = nullptr);
    ~quilButton() override;
    Q_INVOKABLE short ID() const { return 0; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    OLE_COLOR TabSelectColor() const;
    void setTabSelectColor(OLE_COLOR c);
    QObject* ImageList() const;
    void setImageList(QObject* list);
    int ImageIndex() const;
    void setImageIndex(int index);

    ColorScheme CurrentScheme() const override;
    // Room for the caption and the picture as the face lays them out: side
    // by side, 12 pixels from the edge and 12 apart. Any width above the
    // least, one line high.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Whether picture and caption are stacked at the current size.
    bool Stacked() const;

protected:
    bool focusLook() const override { return true; }
    void paintContent(OLE_COLOR captionColour, bool enabled) override;

private:
    friend class quilButtonPrivate;
    std::unique_ptr<quilButtonPrivate> d;
};

} // namespace quil
