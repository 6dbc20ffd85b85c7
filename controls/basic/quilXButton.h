#pragma once
// The library's own small push button, used inside its controls (the scroll
// bar's arrows, the drop-down's button): the push button without picture or
// focus look, its caption one pixel above the centre. Arrow captions in the
// Webdings font are drawn as triangles.

#include <quilObjects/quilButton.h>

namespace quil {

class quilXButton : public quilButtonBase {
    Q_OBJECT
    Q_CLASSINFO("ID", "15")
    Q_CLASSINFO("Creatable", "no")
    Q_CLASSINFO("AccessibleRole", "PushButton")
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
public:
    explicit quilXButton(QWidget* parent = nullptr);
    Q_INVOKABLE short ID() const { return 15; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    const QList<PersistedProperty>& Persisted() const override;

    // The arrow a Webdings caption stands for, as the box it is drawn in.
    static QRect ArrowGlyph(const QString& caption, int w, int h);

protected:
    bool focusLook() const override { return false; }
    void paintContent(OLE_COLOR captionColour, bool enabled) override;
};

} // namespace quil
