#pragma once
// A horizontal or vertical scroll bar: a shaded channel, an arrow button at
// each end and a draggable thumb with a ridged grip. The value runs from Min
// to Max in whole percent of the range.

#include "quilControl.h"

namespace quil {

class quilScrollBarPrivate;

class QUILOBJECTS_EXPORT quilScrollBar : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "10")
    Q_CLASSINFO("Interface", "_quilScrollBar")
    Q_CLASSINFO("EventInterface", "__quilScrollBar")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "ScrollBar")
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Value READ Value WRITE setValue)
    Q_PROPERTY(quil::MyOrientation Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
public:
    explicit quilScrollBar(QWidget* parent = nullptr);
    ~quilScrollBar() override;
    Q_INVOKABLE short ID() const { return 10; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    int Min() const;
    void setMin(int v);
    int Max() const;
    void setMax(int v);
    int Value() const;
    void setValue(int v);
    MyOrientation Orientation() const;
    void setOrientation(MyOrientation o);
    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);

    // The bar's own size: its usual thickness across, room for both arrow
    // areas and a thumb along. The thickness is fixed; the length is free.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The size a form gives a bar asked to be `asked`: the thickness kept
    // within 15 to 25 pixels. A layout or setGeometry is taken as given.
    QSize FormSize(const QSize& asked) const;

    // Host notifications, called from Qt's events; tests may call them.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;
    void KeyDownNotify(short keyCode, short shift) override;
    void KeyUpNotify(short keyCode, short shift) override;
    void KeyPressNotify(short keyAscii) override;

signals:
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void Click();
    void KeyPress(short& KeyAscii);
    void KeyUp(short& KeyCode, short& Shift);
    void KeyDown(short& KeyCode, short& Shift);
    void Scroll();
    void ValueChanged();

protected:
    void Paint() override;
    void HoverTick(bool pointerLeft) override;
    // The platform's own click: a press and release over the bar.
    void ClickNotify() override;
    void resizeEvent(QResizeEvent*) override;

private:
    friend class quilScrollBarPrivate;
    std::unique_ptr<quilScrollBarPrivate> d;
};

} // namespace quil
