#pragma once
// A track bar: a thin shaded groove, a pointer-shaped thumb that is dragged,
// clicked into place or moved with the arrow keys, and optional tick marks
// with value labels. The value runs from Min to Max in whole percent of the
// range along the groove.

#include "quilControl.h"

namespace quil {

class quilSliderPrivate;

class QUILOBJECTS_EXPORT quilSlider : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "11")
    Q_CLASSINFO("Interface", "_quilSlider")
    Q_CLASSINFO("EventInterface", "__quilSlider")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "Slider")
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(quint32 TabSelectColor READ TabSelectColor WRITE setTabSelectColor)
    Q_PROPERTY(quil::MyOrientation Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(quil::TickStyles TickStyle READ TickStyle WRITE setTickStyle)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Value READ Value WRITE setValue)
public:
    explicit quilSlider(QWidget* parent = nullptr);
    ~quilSlider() override;
    Q_INVOKABLE short ID() const { return 11; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    OLE_COLOR TabSelectColor() const;
    void setTabSelectColor(OLE_COLOR c);
    MyOrientation Orientation() const;
    void setOrientation(MyOrientation o);
    TickStyles TickStyle() const;
    void setTickStyle(TickStyles t);
    int Min() const;
    void setMin(int v);
    int Max() const;
    void setMax(int v);
    int Value() const;
    void setValue(int v);

    // The slider's own size: 25 pixels across, 41 with labels under a
    // horizontal groove, the labels' width beside a vertical one; any length.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The size a form gives a slider asked to be `asked`: the thickness set
    // by the rules above. A layout or setGeometry is taken as given.
    QSize FormSize(const QSize& asked) const;

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
    void ValueChange();
    void Slide();

protected:
    void Paint() override;
    void HoverTick(bool pointerLeft) override;
    // The platform's own click: a press and release over the slider.
    void ClickNotify() override;
    void resizeEvent(QResizeEvent*) override;

private:
    friend class quilSliderPrivate;
    std::unique_ptr<quilSliderPrivate> d;
};

} // namespace quil
