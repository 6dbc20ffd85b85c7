#pragma once
// A small colour chooser drawn entirely by the control: eight strips shading
// from white through a pure colour to black, a square marker on the last
// picked point, the picked colour and the host's colour as two swatches, and
// the picked colour's channels and hexadecimal text. Pressing or dragging
// with the left button picks the colour of the pixel under the pointer.

#include "quilControl.h"

namespace quil {

class quilColorPicker;
// The picked colour as assistive technology reads it.
QString AccessibleColorText(const quilColorPicker& picker);

class QUILOBJECTS_EXPORT quilColorPicker : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "1")
    Q_CLASSINFO("Interface", "_quilColorPicker")
    Q_CLASSINFO("EventInterface", "__quilColorPicker")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "ColorChooser")
    Q_PROPERTY(quint32 Color READ Color WRITE setColor)
public:
    explicit quilColorPicker(QWidget* parent = nullptr);
    Q_INVOKABLE short ID() const { return 1; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    // Room for the strips, the swatches and the numbers at the face's font.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The host's colour, shown in the lower swatch.
    OLE_COLOR Color() const { return color; }
    void setColor(OLE_COLOR c);

    // Host notifications, called from Qt's events; tests may call them.
    // Every one raises MouseMove first and picks with the arguments as the
    // handler left them.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;

signals:
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);

protected:
    void Paint() override;

private:
    friend QString AccessibleColorText(const quilColorPicker& picker);
    // False when a handler deleted the control.
    bool trackPointer(short& button, short& shift, float& x, float& y);

    // The picked colour and the marker are the control's own: the host
    // learns of a pick only through the pointer events.
    float markerX = 3;
    float markerY = 3;
    OLE_COLOR color = 0;
    OLE_COLOR picked = 0xFFFFFF;
};

} // namespace quil
