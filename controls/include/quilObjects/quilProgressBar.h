#pragma once
// A percentage (0 to 100) shown as a row of separate shaded blocks inside a
// shaded, framed trough, with an optional centred caption; or, in the
// searching style, a comet of three blocks whose position follows the value.

#include "quilControl.h"

namespace quil {

class quilProgressBarPrivate;

class QUILOBJECTS_EXPORT quilProgressBar : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "8")
    Q_CLASSINFO("Interface", "_quilProgressBar")
    Q_CLASSINFO("EventInterface", "__quilProgressBar")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "ProgressBar")
    // Value has no Min and Max of its own to read the range from.
    Q_CLASSINFO("AccessibleRange", "0 100")
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(quil::MyOrientation Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(quil::MyType Style READ Style WRITE setStyle)
    Q_PROPERTY(int Value READ Value WRITE setValue)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
public:
    explicit quilProgressBar(QWidget* parent = nullptr);
    ~quilProgressBar() override;
    Q_INVOKABLE short ID() const { return 8; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    MyOrientation Orientation() const;
    void setOrientation(MyOrientation o);
    MyType Style() const;
    void setStyle(MyType s);
    // An int, as Designer edits no 16-bit property; the field is 16 bits.
    int Value() const;
    // Limited to 0 ... 100.
    void setValue(int v);
    QString Caption() const;
    void setCaption(const QString& text);

    // A line of the caption with its halo and the trough's frame across;
    // room for the caption of a full bar along. Fixed across, free along.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The text the caption shows: "%" stands for the value or for "Searching...".
    QString CaptionText() const;

    // The searching style's own animation, for containers that do not step
    // Value themselves: every tick moves Value one step from 0 to 100 and
    // round again. It runs only while the bar is shown and in that style.
    void StartSearch(int intervalMs = 25);
    void StopSearch();
    bool Searching() const;
    // Whether the timer is running now.
    bool Animating() const;

protected:
    void Paint() override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    friend class quilProgressBarPrivate;
    std::unique_ptr<quilProgressBarPrivate> d;
};

} // namespace quil
