#pragma once
// A horizontal or vertical scroll bar: a shaded channel, an arrow button at
// each end and a draggable thumb with a ridged grip. The value runs from Min
// to Max in whole percent of the range.

#include "quilControl.h"

#include <optional>

namespace quil {

class quilXButton;

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
    enum State { StateNormal = 0, StateUnused = 1, StateHover = 2, StateDragging = 3, StateDisabled = 4, StateLeft = 5 };

    explicit quilScrollBar(QWidget* parent = nullptr);
    ~quilScrollBar() override;
    Q_INVOKABLE short ID() const { return 10; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    int Min() const { return min; }
    void setMin(int v);
    int Max() const { return max; }
    void setMax(int v);
    int Value() const { return value; }
    void setValue(int v);
    MyOrientation Orientation() const { return orientation; }
    void setOrientation(MyOrientation o);
    OLE_COLOR BackColor() const { return backColor; }
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const { return foreColor; }
    void setForeColor(OLE_COLOR c);

    // The bar's own size: its usual thickness across, room for both arrow
    // areas and a thumb along. The thickness is fixed; the length is free.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The size a form gives a bar asked to be `asked`: the thickness kept
    // within 15 to 25 pixels. A layout or setGeometry is taken as given.
    QSize FormSize(const QSize& asked) const;

    // Geometry along the bar, in pixels.
    struct Geometry {
        int L = 0, T = 0, s = 0, b = 0, TL = 0, TR = 0;
    };
    Geometry Layout() const;
    int ThumbOffset() const { return thumbOffset; }
    int State_() const { return state; }
    bool Dragging() const { return dragging; }
    ColorScheme Scheme() const { return scheme; }
    // The arrow with that index (0 left or top, 1 right or bottom).
    quilControl* Arrow(int index) const;
    // Whether the point (in the bar's pixels) lies on the thumb.
    bool OverThumb(int x, int y) const;

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
    void ClickNotify() override { emit Click(); }
    void resizeEvent(QResizeEvent*) override;

private:
    void computeScheme();
    void setState(int s);
    void layoutBar();
    void setUpArrows();
    void paintThumb(const Geometry& g);
    int offsetForValue(const Geometry& g) const;
    int valueForOffset(double d, const Geometry& g) const;
    void arrowClicked(int index);
    void wireArrow(int index);
    void raiseValueChanged();
    void applyPolicy();
    void resolvePending();
    void forgetPendingLater();

    OLE_COLOR foreColor = 0;
    OLE_COLOR backColor = 0;
    int min = 0;
    int max = 0;
    int value = 0;
    MyOrientation orientation = MyOrientation(0);
    int state = StateNormal;
    ColorScheme scheme;
    bool dragging = false;
    int lastReported = 0;
    int thumbOffset = 0;
    int grabOffset = 0;
    bool valueChangePending = false;
    QSize laidOut;
    // Writes that the range did not allow yet (Designer and uic write Min,
    // Max and Value in their own order): taken up once the range allows
    // them, forgotten when the event loop next runs.
    std::optional<int> pendingMin, pendingMax, pendingValue;
    bool forgetQueued = false;
    quilXButton* arrows[2] = {nullptr, nullptr};
};

} // namespace quil
