#pragma once
// A caption with an optional picture from a host image list, on one line
// shortened with "..." or wrapped over several lines (a carriage return
// forces a break), that can size itself to its content and act as a link:
// tinted while the pointer rests on it, opened on a click unless the host
// cancels.

#include "quilControl.h"

#include <QImage>
#include <memory>

namespace quil {

class quilLabelPrivate;

class QUILOBJECTS_EXPORT quilLabel : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "5")
    Q_CLASSINFO("Interface", "_quilLabel")
    Q_CLASSINFO("EventInterface", "__quilLabel")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "StaticText")
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool TextWrap READ TextWrap WRITE setTextWrap)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QObject* ImageList READ ImageList WRITE setImageList)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE setImageIndex)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QString Hyperlink READ Hyperlink WRITE setHyperlink)
    Q_PROPERTY(quint32 SelectionColor READ SelectionColor WRITE setSelectionColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(QImage MouseIcon READ MouseIcon WRITE setMouseIcon)
public:
    // LinkState: 1 while the pointer rests on a label with a link, 2 pressed, 4 left.
    enum LinkStates { LinkNone = 0, LinkHover = 1, LinkPressed = 2, LinkLeft = 4 };

    explicit quilLabel(QWidget* parent = nullptr);
    ~quilLabel() override;
    Q_INVOKABLE short ID() const { return 5; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    bool AutoSize() const;
    void setAutoSize(bool on);
    bool TextWrap() const;
    void setTextWrap(bool on);
    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    QObject* ImageList() const;
    void setImageList(QObject* list);
    int ImageIndex() const;
    void setImageIndex(int index);
    QString Caption() const;
    void setCaption(const QString& text);
    QString Hyperlink() const;
    void setHyperlink(const QString& link);
    OLE_COLOR SelectionColor() const;
    void setSelectionColor(OLE_COLOR c);
    // Pointer shapes numbered as the form model numbers them (0 default,
    // 1 arrow, 2 cross, 3 I-beam, ... 15 size all, 99 the MouseIcon picture).
    int MousePointer() const;
    void setMousePointer(int shape);
    QImage MouseIcon() const;
    void setMouseIcon(const QImage& picture);

    int LinkState() const;
    bool LabelDown() const;
    // The size the label takes when it sizes itself.
    QSize ContentSize() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The text as printed on one line: a forced break shows as "ë".
    QString OneLineText() const;

    // Host notifications, called from Qt's events; tests may call them.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;

signals:
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);
    void Click();
    void HyperlinkClick(QString& sHyperlink, short& Cancel);

protected:
    void Paint() override;
    void HoverTick(bool pointerLeft) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent*) override;

private:
    friend class quilLabelPrivate;
    std::unique_ptr<quilLabelPrivate> d;
};

} // namespace quil
