// Offers every public control of the library's class table to Qt Designer
// and QUiLoader. The list is read from the table at load time, so controls
// added to the library appear here without a change.
#include "ColorSheet.h"
#include "Icons.h"

#include <quilObjects/quilObjects.h>

#include <QDesignerCustomWidgetCollectionInterface>
#include <QDesignerCustomWidgetInterface>
#include <QDesignerFormEditorInterface>
#include <QMetaObject>
#include <QPixmap>
#include <QSize>
#include <QtPlugin>
#include <map>

namespace quil::designer {

namespace {

// The size a control gets when dropped on a form.
QSize DefaultSize(const QString& name)
{
    static const std::map<QString, QSize> sizes = {
        {QStringLiteral("quilButton"), {80, 24}},      {QStringLiteral("quilColorPicker"), {160, 100}},
        {QStringLiteral("quilDropDown"), {120, 21}},   {QStringLiteral("quilLabel"), {100, 17}},
        {QStringLiteral("quilListbox"), {120, 97}},    {QStringLiteral("quilMonthview"), {180, 160}},
        {QStringLiteral("quilProgressBar"), {150, 17}}, {QStringLiteral("quilPUMenu"), {32, 32}},
        {QStringLiteral("quilScrollBar"), {17, 100}},  {QStringLiteral("quilSlider"), {150, 25}},
        {QStringLiteral("quilTab"), {32, 32}},         {QStringLiteral("quilTextBox"), {120, 21}},
        {QStringLiteral("quilToolbar"), {200, 26}},
    };
    const auto it = sizes.find(name);
    return it != sizes.end() ? it->second : QSize(100, 24);
}

class ControlInterface : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)
public:
    ControlInterface(const ClassEntry& entry, QObject* parent)
        : QObject(parent), shortName(QString::fromLatin1(entry.name)),
          className(QString::fromLatin1(entry.meta ? entry.meta->className() : entry.name)), id(entry.id)
    {
    }

    // The class as forms name it: quil::quilButton.
    QString name() const override { return className; }
    QString group() const override { return QStringLiteral("quilObjects"); }
    QString toolTip() const override { return shortName; }
    QString whatsThis() const override
    {
        return QStringLiteral("%1, a control of the quilObjects library (ID %2)").arg(shortName).arg(id);
    }
    QString includeFile() const override { return QStringLiteral("<quilObjects/quilObjects.h>"); }
    QIcon icon() const override { return QIcon(QPixmap::fromImage(ToolboxImage(shortName, 24))); }
    bool isContainer() const override { return false; }

    QWidget* createWidget(QWidget* parent) override
    {
        // The factory also runs InitProperties, as for a control placed new.
        if (QWidget* w = CreateControl(shortName, parent))
            return w;
        return new QWidget(parent);   // Designer cannot cope with no widget at all
    }

    bool isInitialized() const override { return initialized; }
    void initialize(QDesignerFormEditorInterface* core) override
    {
        if (initialized)
            return;
        if (core)
            RegisterColorSheet(core->extensionManager());
        initialized = true;
    }

    QString domXml() const override
    {
        const QSize size = DefaultSize(shortName);
        return QStringLiteral("<ui language=\"c++\" displayname=\"%1\">\n"
                              " <widget class=\"%2\" name=\"%1\">\n"
                              "  <property name=\"geometry\">\n"
                              "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
                              "  </property>\n"
                              " </widget>\n"
                              "</ui>\n")
            .arg(shortName, className)
            .arg(size.width())
            .arg(size.height());
    }

private:
    QString shortName;
    QString className;
    int id;
    bool initialized = false;
};

} // namespace

class Collection : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)
public:
    explicit Collection(QObject* parent = nullptr) : QObject(parent)
    {
        // Every control a container may place. The bases quilControl and
        // quilButtonBase are not controls of their own: they come with these.
        for (const ClassEntry& e : ClassTable())
            if (e.kind == ClassEntry::Control && e.create)
                widgets.append(new ControlInterface(e, this));
    }

    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets; }

private:
    QList<QDesignerCustomWidgetInterface*> widgets;
};

} // namespace quil::designer

#include "Plugin.moc"
