#pragma once
// A small colour chooser drawn entirely by the control: eight strips shading
// from white through a pure colour to black, a square marker on the last
// picked point, the picked colour and the host's colour as two swatches, and
// the picked colour's channels and hexadecimal text. Pressing or dragging
// with the left button picks the colour of the pixel under the pointer.

#include "quilControl.h"

namespace quil {

class quilColorPickerPrivate;

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
    ~quilColorPicker() override;
    Q_INVOKABLE short ID() const { return 1; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    // Room for the strips, the swatches and the numbers at the face's font.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The host's colour, shown in the lower swatch.
    OLE_COLOR Color() const;
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
    friend class quilColorPickerPrivate;
    std::unique_ptr<quilColorPickerPrivate> d;
};

} // namespace quil
