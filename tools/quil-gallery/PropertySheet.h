#pragma once
// Edits the Q_PROPERTYs of one object live: colours as &H hexadecimal text or
// through a colour dialog, bools, whole numbers, enumerations, text, fonts and
// object references chosen from the host's objects. The sheet follows the
// object's own changes through its PropertyChanged notification.

#include <QPointer>
#include <QWidget>
#include <functional>

class QFormLayout;
class QCheckBox;

namespace gallery {

// "&H00C00000&" for an OLE colour, as the controls' users write it.
QString ColorText(quint32 colour);
// Accepts &H..., #RRGGBB and decimal; false for anything else.
bool ParseColor(const QString& text, quint32& colour);

class PropertySheet : public QWidget {
    Q_OBJECT
public:
    explicit PropertySheet(QWidget* parent = nullptr);

    void setObject(QObject* object);
    QObject* object() const { return target.data(); }
    // The objects an object-valued property may hold, by name.
    std::function<QStringList()> objectNames;
    std::function<QObject*(const QString&)> objectNamed;

    // The editor of a property, for tests.
    QWidget* editor(const QString& property) const;

signals:
    // A value could not be set; the text says why.
    void problem(const QString& message);

private:
    void rebuild();
    void refresh(const QString& property);
    QWidget* makeEditor(int propertyIndex);
    void write(int propertyIndex, const QVariant& value);

    QPointer<QObject> target;
    QFormLayout* form = nullptr;
    QCheckBox* showInherited = nullptr;
    QWidget* body = nullptr;
    QMetaObject::Connection watch;
    QMap<QString, QWidget*> editors;
    QMap<QString, std::function<void()>> loaders;   // reload one editor from the object
    bool loading = false;
};

} // namespace gallery
