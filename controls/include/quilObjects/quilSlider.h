#pragma once
// A track bar: a thin shaded groove, a pointer-shaped thumb that is dragged,
// clicked into place or moved with the arrow keys, and optional tick marks
// with value labels. The value runs from Min to Max in whole percent of the
// range along the groove.

#include "quilControl.h"

#include <optional>

namespace quil {

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
    enum State { StateNormal = 0, StateUnused = 1, StateHover = 2, StatePressed = 3, StateDisabled = 4, StateIdle = 5 };

    explicit quilSlider(QWidget* parent = nullptr);
    Q_INVOKABLE short ID() const { return 11; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    OLE_COLOR BackColor() const { return backColor; }
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const { return foreColor; }
    void setForeColor(OLE_COLOR c);
    OLE_COLOR TabSelectColor() const { return tabSelectColor; }
    void setTabSelectColor(OLE_COLOR c);
    MyOrientation Orientation() const { return orientation; }
    void setOrientation(MyOrientation o);
    TickStyles TickStyle() const { return tickStyle; }
    void setTickStyle(TickStyles t);
    int Min() const { return min; }
    void setMin(int v);
    int Max() const { return max; }
    void setMax(int v);
    int Value() const { return value; }
    void setValue(int v);

    // The slider's own size: 25 pixels across, 41 with labels under a
    // horizontal groove, the labels' width beside a vertical one; any length.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The size a form gives a slider asked to be `asked`: the thickness set
    // by the rules above. A layout or setGeometry is taken as given.
    QSize FormSize(const QSize& asked) const;

    int State_() const { return state; }
    bool FocusFlag() const { return focus != 0; }
    bool Pressed() const { return pressFlag; }
    ColorScheme Scheme() const { return scheme; }
    // The thumb's offset along the groove (its left or top edge is 5 further).
    int ThumbPosition() const { return thumbPosition; }
    // Whether the point (in the slider's pixels) lies on the thumb.
    bool OverThumb(float x, float y) const;
    // The value a thumb centred at this pixel along the groove stands for.
    int ValueAt(double position) const;

    // A label as the last paint printed it.
    struct Label {
        QString text;
        int x = 0, y = 0;
        bool operator==(const Label&) const = default;
    };
    const std::vector<Label>& Labels() const { return labels; }

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
    void ClickNotify() override { emit Click(); }
    void resizeEvent(QResizeEvent*) override;

private:
    void computeScheme();
    void setState(int s);
    void layoutSlider();
    int thickness() const;
    void applyPolicy();
    void resolvePending();
    void forgetPendingLater();
    int lengthAlong() const;
    int positionOf(qint64 v);
    void paintGroove();
    void paintTicks();
    void paintThumb();
    void printLabel(const QString& text, double u);

    OLE_COLOR foreColor = 0;
    OLE_COLOR backColor = 0;
    OLE_COLOR tabSelectColor = 0;
    MyOrientation orientation = MyOrientation(0);
    TickStyles tickStyle = Tick_None;
    int min = 0;
    int max = 0;
    int value = 0;
    ColorScheme scheme;
    int state = StateIdle;
    int focus = 0;
    bool pressFlag = false;
    int lastReported = 0;
    int thumbPosition = 0;
    bool valueChangePending = false;
    int hintedThickness = -1;
    // A Min or Max the other end did not allow yet (Designer and uic write
    // them in their own order): taken up once it does, forgotten when the
    // event loop next runs.
    std::optional<int> pendingMin, pendingMax;
    bool forgetQueued = false;
    std::vector<Label> labels;
};

} // namespace quil
