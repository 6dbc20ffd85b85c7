#pragma once
// Designer edits the controls' OLE colours with its own colour editor.
//
// An OLE colour is a quint32 (0x00BBGGRR, or a system colour index with the
// high bit set); Designer would offer a bare number. The sheet below wraps
// Designer's own sheet of a control and answers for the colour properties.
//
// Designer picks an editor from the type of the value its property editor
// reads, and its form writer saves whatever type the same call returns: a
// QColor everywhere would put <color> into the form, which uic turns into a
// call that does not compile and which drops system colours. So the value
// is a QColor only when the property editor reads it to show it (it asks
// whether the property is visible, then its name and index, then the
// value); every other reader (the writer, undo, the commands) gets the
// number. A picked colour arrives as a QColor and is stored as 0x00BBGGRR;
// a system colour nobody picked again is never rewritten.
#include <QDesignerPropertySheetExtension>
#include <QExtensionFactory>
#include <QPointer>
#include <QVector>

class QExtensionManager;

namespace quil::designer {

class ColorSheet : public QObject, public QDesignerPropertySheetExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerPropertySheetExtension)
public:
    ColorSheet(QObject* control, QObject* inner, QObject* parent);
    // The value as the property editor shows it: a colour for a colour property.
    QVariant shownValue(int index) const;

    // The colour properties of a control: quint32 properties named "...Color".
    static QVector<int> ColorProperties(const QObject* control, const QDesignerPropertySheetExtension& sheet);

    int count() const override;
    int indexOf(const QString& name) const override;
    QString propertyName(int index) const override;
    QString propertyGroup(int index) const override;
    void setPropertyGroup(int index, const QString& group) override;
    bool hasReset(int index) const override;
    bool reset(int index) override;
    bool isVisible(int index) const override;
    void setVisible(int index, bool b) override;
    bool isAttribute(int index) const override;
    void setAttribute(int index, bool b) override;
    QVariant property(int index) const override;
    void setProperty(int index, const QVariant& value) override;
    bool isChanged(int index) const override;
    void setChanged(int index, bool changed) override;
    bool isEnabled(int index) const override;

private:
    bool isColor(int index) const { return colors.contains(index); }
    // Where the property editor's reading of one property stands.
    void step(int index, int stage) const;

    QPointer<QObject> innerObject;
    mutable int showing = -1, stage = 0;
    QDesignerPropertySheetExtension* inner;
    QVector<int> colors;
};

class ColorSheetFactory : public QExtensionFactory {
    Q_OBJECT
public:
    explicit ColorSheetFactory(QExtensionManager* parent);

protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;

private:
    mutable bool asking = false;
};

// Registers the factory with a Designer core once.
void RegisterColorSheet(QExtensionManager* manager);

} // namespace quil::designer
