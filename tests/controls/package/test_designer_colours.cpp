// Colours in Designer itself: its form editor core loads the plugin from its
// plugin folder, builds the controls with its own widget factory, shows the
// properties in its own property editor and writes the form with its own
// writer. What it saves must still be a form uic and QUiLoader take.
#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QDesignerComponents>
#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowCursorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerFormWindowManagerInterface>
#include <QDesignerIntegration>
#include <QDesignerPropertyEditorInterface>
#include <QDesignerPropertySheetExtension>
#include <QDesignerWidgetFactoryInterface>
#include <QDir>
#include <QExtensionManager>
#include <QMultiMap>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QUiLoader>
#include <QUndoStack>
#include <QWidget>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

QString pluginDir() { return qEnvironmentVariable("QUIL_DESIGNER_PLUGINS"); }

// One Designer core for the whole run, as the program has one.
QDesignerFormEditorInterface* designer()
{
    static QDesignerFormEditorInterface* core = nullptr;
    if (!core) {
        // Designer looks for plugins in "designer" below each library path.
        QDir dir(pluginDir());
        dir.cdUp();
        QCoreApplication::addLibraryPath(dir.absolutePath());
        core = QDesignerComponents::createFormEditor(qApp);
        // The glue Designer's main window sets up: form windows need it.
        new QDesignerIntegration(core, qApp);
        QDesignerComponents::initializePlugins(core);
    }
    return core;
}

const char* const kForm = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Form1</class>
 <widget class="QWidget" name="Form1">
  <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>200</height></rect></property>
  <widget class="quil::quilButton" name="cmdSave">
   <property name="geometry"><rect><x>10</x><y>10</y><width>120</width><height>30</height></rect></property>
   <property name="BackColor"><UInt>2147483663</UInt></property>
   <property name="ForeColor"><UInt>255</UInt></property>
  </widget>
  <widget class="quil::quilColorPicker" name="Picker1">
   <property name="geometry"><rect><x>140</x><y>10</y><width>160</width><height>100</height></rect></property>
   <property name="Color"><UInt>11189196</UInt></property>
  </widget>
 </widget>
 <customwidgets>
  <customwidget><class>quil::quilButton</class><extends>QWidget</extends>
   <header location="global">quilObjects/quilObjects.h</header></customwidget>
  <customwidget><class>quil::quilColorPicker</class><extends>QWidget</extends>
   <header location="global">quilObjects/quilObjects.h</header></customwidget>
 </customwidgets>
</ui>
)";

// What a saved form says about one control: property name -> (element, text).
std::map<QString, std::pair<QString, QString>> savedProperties(const QString& xml, const QString& control)
{
    std::map<QString, std::pair<QString, QString>> found;
    QXmlStreamReader r(xml);
    int depth = 0, inside = -1;
    QString property;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            ++depth;
            if (r.name() == u"widget" && r.attributes().value(QStringLiteral("name")) == control)
                inside = depth;
            else if (inside > 0 && r.name() == u"property" && depth == inside + 1)
                property = r.attributes().value(QStringLiteral("name")).toString();
            else if (inside > 0 && !property.isEmpty() && depth == inside + 2)
                found[property] = {r.name().toString(), r.readElementText(QXmlStreamReader::IncludeChildElements)},
                --depth;
        } else if (r.isEndElement()) {
            if (depth == inside)
                inside = -1;
            if (depth == inside + 1)
                property.clear();
            --depth;
        }
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return found;
}

// What Designer's property editor shows for an object: name -> value text.
QMultiMap<QString, QString> editorRows(QDesignerPropertyEditorInterface* editor, QObject* object)
{
    editor->setObject(object);
    QMultiMap<QString, QString> rows;
    for (QTreeWidget* tree : editor->findChildren<QTreeWidget*>())
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            rows.insert((*it)->text(0), (*it)->text(1));
    return rows;
}

// How the colour editor writes a colour: "[red, green, blue] (alpha)".
const QRegularExpression colourText(QStringLiteral(R"(^\[\d+, \d+, \d+\] \(255\)$)"));

TEST(DesignerPlugin, DesignersOwnWidgetFactoryMakesEveryControl)
{
    QDesignerFormEditorInterface* core = designer();
    ASSERT_NE(core, nullptr);
    std::unique_ptr<QDesignerPropertyEditorInterface> editor(QDesignerComponents::createPropertyEditor(core, nullptr));
    ASSERT_NE(editor, nullptr);
    int colours = 0;
    // The editor shows the objects of a form: an empty one, as File > New makes it.
    QDesignerFormWindowInterface* fw = core->formWindowManager()->createFormWindow(nullptr);
    ASSERT_NE(fw, nullptr);
    std::unique_ptr<QWidget> window(fw);
    ASSERT_TRUE(fw->setContents(QStringLiteral(
        "<ui version=\"4.0\"><class>Form</class><widget class=\"QWidget\" name=\"Form\"/></ui>")));
    QWidget& parent = *fw->mainContainer();
    for (const char* name : {"quil::quilButton", "quil::quilColorPicker", "quil::quilDropDown", "quil::quilLabel",
                             "quil::quilListbox", "quil::quilMonthview", "quil::quilPUMenu", "quil::quilProgressBar",
                             "quil::quilScrollBar", "quil::quilSlider", "quil::quilTab", "quil::quilTextBox",
                             "quil::quilToolbar"}) {
        SCOPED_TRACE(name);
        QWidget* w = core->widgetFactory()->createWidget(QString::fromLatin1(name), &parent);
        ASSERT_NE(w, nullptr) << name;
        // Designer falls back to a placeholder widget for classes it cannot make.
        EXPECT_STREQ(w->metaObject()->className(), name);
        fw->manageWidget(w);
        // Every OLE colour shows once, with the colour editor; nothing else does.
        const auto rows = editorRows(editor.get(), w);
        for (int i = w->metaObject()->propertyOffset(); i < w->metaObject()->propertyCount(); ++i) {
            const QMetaProperty p = w->metaObject()->property(i);
            const QString pname = QString::fromLatin1(p.name());
            if (p.metaType().id() == QMetaType::UInt && pname.endsWith(u"Color")) {
                ++colours;
                ASSERT_EQ(rows.count(pname), 1) << name << " " << p.name();
                EXPECT_TRUE(colourText.match(rows.value(pname)).hasMatch())
                    << name << " " << p.name() << " shows " << rows.value(pname).toStdString();
            } else {
                for (const QString& text : rows.values(pname))
                    EXPECT_FALSE(colourText.match(text).hasMatch()) << name << " " << p.name();
            }
        }
    }
    EXPECT_GE(colours, 30);
}

TEST(DesignerPlugin, ColoursAreEditedAsColoursAndSavedAsTheNumbers)
{
    QDesignerFormEditorInterface* core = designer();
    ASSERT_NE(core, nullptr);
    QDesignerFormWindowInterface* fw = core->formWindowManager()->createFormWindow(nullptr);
    ASSERT_NE(fw, nullptr);
    std::unique_ptr<QWidget> window(fw);
    ASSERT_TRUE(fw->setContents(QString::fromUtf8(kForm)));
    QWidget* button = fw->mainContainer()->findChild<QWidget*>(QStringLiteral("cmdSave"));
    QWidget* picker = fw->mainContainer()->findChild<QWidget*>(QStringLiteral("Picker1"));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(button->property("BackColor").toUInt(), 0x8000000Fu);

    auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(core->extensionManager(), button);
    ASSERT_NE(sheet, nullptr);
    // Whoever else reads the sheet (the writer, undo) gets the number.
    EXPECT_EQ(sheet->property(sheet->indexOf(QStringLiteral("BackColor"))).toUInt(), 0x8000000Fu);

    // Designer's property editor shows the colours with its colour editor:
    // 255 is 0x0000FF, red in the lowest byte; the system colour shows as
    // the colour it stands for.
    std::unique_ptr<QDesignerPropertyEditorInterface> editor(QDesignerComponents::createPropertyEditor(core, nullptr));
    ASSERT_NE(editor, nullptr);
    const auto rows = editorRows(editor.get(), button);
    EXPECT_EQ(rows.values(QStringLiteral("ForeColor")), QStringList({QStringLiteral("[255, 0, 0] (255)")}));
    ASSERT_EQ(rows.count(QStringLiteral("BackColor")), 1);
    EXPECT_TRUE(colourText.match(rows.value(QStringLiteral("BackColor"))).hasMatch())
        << rows.value(QStringLiteral("BackColor")).toStdString();
    EXPECT_NE(rows.value(QStringLiteral("BackColor")), QStringLiteral("[0, 0, 0] (255)"));

    // The user picks a colour for ForeColor, as the editor hands it to the form.
    fw->cursor()->setWidgetProperty(button, QStringLiteral("ForeColor"), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(button->property("ForeColor").toUInt(), 0x563412u);
    EXPECT_EQ(button->property("BackColor").toUInt(), 0x8000000Fu);
    fw->cursor()->setWidgetProperty(picker, QStringLiteral("Color"), QColor(0xAB, 0xCD, 0xEF));
    EXPECT_EQ(picker->property("Color").toUInt(), 0xEFCDABu);

    // Designer's writer saves the numbers, the untouched system colour as it was.
    const QString saved = fw->contents();
    EXPECT_FALSE(saved.contains(QStringLiteral("<color>"))) << saved.toStdString();
    auto props = savedProperties(saved, QStringLiteral("cmdSave"));
    EXPECT_EQ(props[QStringLiteral("BackColor")], std::make_pair(QStringLiteral("UInt"), QStringLiteral("2147483663")));
    EXPECT_EQ(props[QStringLiteral("ForeColor")], std::make_pair(QStringLiteral("UInt"), QString::number(0x563412)));
    props = savedProperties(saved, QStringLiteral("Picker1"));
    EXPECT_EQ(props[QStringLiteral("Color")], std::make_pair(QStringLiteral("UInt"), QString::number(0xEFCDAB)));

    // The saved form, loaded by the form loader, gives the same numbers.
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(pluginDir());
    QByteArray bytes = saved.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::unique_ptr<QWidget> loaded(loader.load(&buffer));
    ASSERT_NE(loaded, nullptr) << loader.errorString().toStdString();
    QWidget* again = loaded->findChild<QWidget*>(QStringLiteral("cmdSave"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->property("BackColor").toUInt(), 0x8000000Fu);
    EXPECT_EQ(again->property("ForeColor").toUInt(), 0x563412u);

    // Undo gives the old number back, not a colour resolved from it.
    fw->commandHistory()->undo();
    fw->commandHistory()->undo();
    EXPECT_EQ(button->property("ForeColor").toUInt(), 255u);
    EXPECT_EQ(picker->property("Color").toUInt(), 11189196u);
}

} // namespace
