// The library in the container Qt users have: Designer's plugin interface and
// QUiLoader. The test does not link the library; it reaches the controls only
// through the plugin named by QUIL_DESIGNER_PLUGINS, as Designer does.
#include <QBuffer>
#include <QDesignerCustomWidgetCollectionInterface>
#include <QDesignerCustomWidgetInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPluginLoader>
#include <QTest>
#include <QUiLoader>
#include <QWidget>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString pluginDir() { return qEnvironmentVariable("QUIL_DESIGNER_PLUGINS"); }

QString pluginFile()
{
    const QStringList found = QDir(pluginDir()).entryList({QStringLiteral("*.so")}, QDir::Files);
    return found.size() == 1 ? QDir(pluginDir()).filePath(found.first()) : QString();
}

QDesignerCustomWidgetCollectionInterface* collection()
{
    static QPluginLoader* loader = nullptr;
    if (!loader) {
        loader = new QPluginLoader(pluginFile());
        if (!loader->load())
            ADD_FAILURE() << loader->errorString().toStdString();
    }
    return qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader->instance());
}

QDesignerCustomWidgetInterface* offered(const QString& name)
{
    auto* c = collection();
    if (!c)
        return nullptr;
    for (QDesignerCustomWidgetInterface* w : c->customWidgets())
        if (w->name() == name)
            return w;
    return nullptr;
}

// Counts a control's events; reached by name, as a form's code connects them.
class Recorder : public QObject {
    Q_OBJECT
public:
    int clicks = 0, scrolls = 0, valueChanges = 0, keyDowns = 0;
    short lastKeyCode = -1, lastShift = -1;
    bool swallowKeys = false;
    QList<int> valuesSeen;

public slots:
    void onClick() { ++clicks; }
    void onScroll() { ++scrolls; }
    void onValueChanged() { ++valueChanges; valuesSeen << sender()->property("Value").toInt(); }
    void onKeyDown(short& KeyCode, short& Shift)
    {
        ++keyDowns;
        lastKeyCode = KeyCode;
        lastShift = Shift;
        if (swallowKeys)
            KeyCode = 0;   // handled here: the control must not act on it
    }
};

std::unique_ptr<QWidget> loadForm(QUiLoader& loader)
{
    QFile file(QStringLiteral(QUIL_FORM_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    std::unique_ptr<QWidget> form(loader.load(&file));
    if (!form)
        ADD_FAILURE() << loader.errorString().toStdString();
    return form;
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST(DesignerPlugin, LoadsFromTheFolderAndOffersTheLibrarysControls)
{
    ASSERT_FALSE(pluginDir().isEmpty()) << "QUIL_DESIGNER_PLUGINS is not set";
    ASSERT_FALSE(pluginFile().isEmpty()) << "no single plugin in " << pluginDir().toStdString();
    auto* c = collection();
    ASSERT_NE(c, nullptr);

    QStringList names;
    for (QDesignerCustomWidgetInterface* w : c->customWidgets()) {
        names << w->name();
        EXPECT_EQ(w->group(), QStringLiteral("quilObjects")) << w->name().toStdString();
        EXPECT_EQ(w->includeFile(), QStringLiteral("<quilObjects/quilObjects.h>"));
        EXPECT_FALSE(w->isContainer());
        const QImage icon = w->icon().pixmap(24, 24).toImage();
        ASSERT_FALSE(icon.isNull()) << w->name().toStdString();
        int painted = 0;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                painted += qAlpha(icon.pixel(x, y)) > 0;
        EXPECT_GT(painted, 40) << "an empty icon for " << w->name().toStdString();

        // Designer creates through the factory: the control comes initialised.
        QWidget parent;
        QWidget* made = w->createWidget(&parent);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(QString::fromLatin1(made->metaObject()->className()), w->name());
        EXPECT_EQ(made->parentWidget(), &parent);
        if (made->metaObject()->indexOfProperty("BackColor") >= 0) {
            EXPECT_EQ(made->property("BackColor").toUInt(), 0xFFFFFFu) << w->name().toStdString();
        }
    }
    // All thirteen public controls, each once.
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(sorted, QStringList({"quil::quilButton", "quil::quilColorPicker", "quil::quilDropDown",
                                   "quil::quilLabel", "quil::quilListbox", "quil::quilMonthview",
                                   "quil::quilPUMenu", "quil::quilProgressBar", "quil::quilScrollBar",
                                   "quil::quilSlider", "quil::quilTab", "quil::quilTextBox",
                                   "quil::quilToolbar"}));
    // The private button and the non-visual classes are not offered.
    for (const QString& name : names)
        EXPECT_TRUE(name.startsWith(QStringLiteral("quil::quil")) && name != QStringLiteral("quil::quilXButton"))
            << name.toStdString();
    EXPECT_EQ(names.removeDuplicates(), 0);
}

TEST(DesignerPlugin, ANewControlTakesItsDefaultSizeAndLook)
{
    struct Expect {
        const char* name;
        QSize size;
    };
    for (const Expect& e : {Expect{"quil::quilButton", {80, 24}}, Expect{"quil::quilScrollBar", {17, 100}}}) {
        QDesignerCustomWidgetInterface* w = offered(QString::fromLatin1(e.name));
        ASSERT_NE(w, nullptr) << e.name;
        // Designer builds a dropped control from this XML; so can QUiLoader.
        QByteArray xml = w->domXml().toUtf8();
        QXmlStreamReader reader(xml);
        while (!reader.atEnd() && !reader.hasError())
            reader.readNext();
        ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();

        QUiLoader loader;
        loader.clearPluginPaths();
        loader.addPluginPath(pluginDir());
        QBuffer buffer(&xml);
        buffer.open(QIODevice::ReadOnly);
        std::unique_ptr<QWidget> made(loader.load(&buffer));
        ASSERT_NE(made, nullptr) << loader.errorString().toStdString();
        EXPECT_STREQ(made->metaObject()->className(), e.name);
        EXPECT_EQ(made->size(), e.size) << e.name;
    }
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(pluginDir());
    std::unique_ptr<QWidget> bar(loader.createWidget(QStringLiteral("quil::quilScrollBar")));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->property("Orientation").toInt(), 2);   // pbVertical
}

TEST(DesignerPlugin, AFormKeepsItsPropertiesAndDeliversTheControlsEvents)
{
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(pluginDir());
    EXPECT_TRUE(loader.availableWidgets().contains(QStringLiteral("quil::quilButton")));
    std::unique_ptr<QWidget> form = loadForm(loader);
    ASSERT_NE(form, nullptr);
    auto* button = form->findChild<QWidget*>(QStringLiteral("cmdSave"));
    auto* bar = form->findChild<QWidget*>(QStringLiteral("VScroll1"));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(bar, nullptr);
    ASSERT_STREQ(button->metaObject()->className(), "quil::quilButton");
    ASSERT_STREQ(bar->metaObject()->className(), "quil::quilScrollBar");

    // Properties from the form; the system colour is kept as written.
    EXPECT_EQ(button->property("Caption").toString(), QStringLiteral("Speichern & schließen"));
    EXPECT_EQ(button->property("BackColor").toUInt(), 0x8000000Fu);
    EXPECT_EQ(button->property("ForeColor").toUInt(), 255u);
    EXPECT_EQ(button->size(), QSize(120, 30));
    EXPECT_EQ(bar->property("Value").toInt(), 30);
    EXPECT_EQ(bar->property("Min").toInt(), 1);
    EXPECT_EQ(bar->property("Max").toInt(), 100);
    EXPECT_EQ(bar->size(), QSize(17, 100));

    Recorder rec;
    ASSERT_TRUE(QObject::connect(button, SIGNAL(Click()), &rec, SLOT(onClick())));
    ASSERT_TRUE(QObject::connect(button, SIGNAL(KeyDown(short&,short&)), &rec, SLOT(onKeyDown(short&,short&))));
    ASSERT_TRUE(QObject::connect(bar, SIGNAL(Scroll()), &rec, SLOT(onScroll())));
    ASSERT_TRUE(QObject::connect(bar, SIGNAL(ValueChanged()), &rec, SLOT(onValueChanged())));

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(60, 15));
    EXPECT_EQ(rec.clicks, 1);

    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(rec.keyDowns, 1);
    EXPECT_EQ(rec.lastKeyCode, 32);
    EXPECT_EQ(rec.lastShift, 0);
    EXPECT_EQ(rec.clicks, 2);
    // The arguments are the control's own variables: a handler that takes the key stops the click.
    rec.swallowKeys = true;
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(rec.keyDowns, 2);
    EXPECT_EQ(rec.lastKeyCode, 13);
    EXPECT_EQ(rec.clicks, 2);

    // Dragging the thumb: at 30 of 1..100 on a 100-pixel bar it spans rows 27 to 58;
    // grabbed at row 40 and moved to row 50 it stands for 59.
    sendMouse(bar, QEvent::MouseButtonPress, QPoint(8, 40), Qt::LeftButton, Qt::LeftButton);
    sendMouse(bar, QEvent::MouseMove, QPoint(8, 50), Qt::NoButton, Qt::LeftButton);
    sendMouse(bar, QEvent::MouseButtonRelease, QPoint(8, 50), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(rec.scrolls, 1);
    EXPECT_EQ(bar->property("Value").toInt(), 59);
    EXPECT_EQ(rec.valuesSeen, QList<int>({59}));

    // Setting Value raises ValueChanged once, after the face shows the new value.
    EXPECT_TRUE(bar->setProperty("Value", 80));
    EXPECT_EQ(rec.valuesSeen, QList<int>({59, 80}));
    EXPECT_TRUE(bar->setProperty("Value", 80));
    EXPECT_EQ(rec.valueChanges, 2);
}

TEST(DesignerPlugin, TheControlsComeFromTheExpectedLibraryFile)
{
    const QString want = qEnvironmentVariable("QUIL_EXPECT_LIBDIR");
    ASSERT_FALSE(want.isEmpty()) << "QUIL_EXPECT_LIBDIR is not set";
    ASSERT_NE(collection(), nullptr);
    // Which copy of the library the plugin's run path led the loader to.
    QFile maps(QStringLiteral("/proc/self/maps"));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    QString loaded;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const int at = line.indexOf('/');
        if (at >= 0 && line.contains("libquilObjects.so")) {
            loaded = QString::fromLocal8Bit(line.mid(at));
            break;
        }
    }
    ASSERT_FALSE(loaded.isEmpty()) << "libquilObjects is not loaded";
    EXPECT_EQ(QFileInfo(QFileInfo(loaded).absolutePath()).canonicalFilePath(), QFileInfo(want).canonicalFilePath())
        << loaded.toStdString();
}

} // namespace

#include "test_designer_form.moc"
