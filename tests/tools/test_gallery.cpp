// The gallery: every control class on its form, the form saved and loaded
// back whole, damaged form files refused, and events logged with their
// arguments read through the signals' references.
#include "EventSink.h"
#include "FormFile.h"
#include "GalleryWindow.h"
#include "PropertySheet.h"

#include <quilObjects/quilObjects.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using gallery::GalleryWindow;

namespace {

QStringList names(const QList<QWidget*>& controls)
{
    QStringList n;
    for (QWidget* w : controls)
        n << w->objectName();
    return n;
}

// A value other than the property's default, of the kind the property holds.
QVariant otherThan(const quil::PersistedProperty& p, int salt, QObject* images)
{
    const QString n = QString::fromLatin1(p.name);
    if (n == "Min")
        return -5;
    if (n == "Max")
        return 250;
    if (n == "Value")
        return 77;
    if (n == "Orientation")
        return QVariant::fromValue(p.def.toInt() == quil::pbHorizontal ? quil::pbVertical : quil::pbHorizontal);
    if (n == "ImageIndex")
        return QVariant::fromValue<short>(2);
    // The text box: a text long enough for a selection, one mask character,
    // an alignment it has, and room for the text.
    if (n == "Text")
        return QStringLiteral("Wörds, \"quoted\" & %1").arg(salt);
    if (n == "PasswordChar")
        return QStringLiteral("*");
    if (n == "Alignment")
        return 2;
    if (n == "MaxLength")
        return 40;
    if (p.ambient == quil::PersistedProperty::DisplayName)
        return QStringLiteral("Wörds, \"quoted\" & %1").arg(salt);
    if (p.ambient == quil::PersistedProperty::Font) {
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPointSize(13);
        f.setBold(true);
        f.setItalic(salt % 2 == 0);
        return f;
    }
    switch (p.def.typeId()) {
    case QMetaType::Bool: return !p.def.toBool();
    case QMetaType::UInt:
        // System colours are kept as they are, not resolved.
        return QVariant::fromValue<quint32>(salt % 2 ? 0x80000005u : 0x00123456u + quint32(salt));
    case QMetaType::QObjectStar: return QVariant::fromValue(images);
    case QMetaType::QImage: {
        QImage picture(4, 3, QImage::Format_ARGB32);
        picture.fill(qRgba(10, 20, 30 + salt % 200, 255));
        picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
        return picture;
    }
    default: return p.def.toLongLong() + 3;
    }
}

// The property a persisted value belongs to: the calendar stores iDay,
// iMonth and iYear as "Day", "Month" and "Year".
QByteArray propertyOf(const QObject& c, const char* persisted)
{
    const QMetaObject* m = c.metaObject();
    if (m->indexOfProperty(persisted) >= 0)
        return persisted;
    // A name stored in another case than the property's ("Imagelist").
    for (int i = 0; i < m->propertyCount(); ++i)
        if (qstricmp(m->property(i).name(), persisted) == 0)
            return m->property(i).name();
    return QByteArray("i") + persisted;
}

QString tempPath(QTemporaryDir& dir, const QString& name) { return dir.filePath(name); }

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

TEST(Gallery, HostsEveryControlClassOfTheLibrary)
{
    GalleryWindow w;
    QSet<QString> present;
    for (QWidget* c : w.controls())
        present.insert(QString::fromLatin1(c->metaObject()->className()).section("::", -1));
    for (const quil::ClassEntry& e : quil::ClassTable())
        if (e.kind == quil::ClassEntry::Control && e.create) {
            EXPECT_TRUE(present.contains(QString::fromLatin1(e.name))) << e.name;
        }
    EXPECT_FALSE(present.contains("quilXButton")) << "private to the library";

    QSet<int> orientations;
    bool disabled = false, picture = false;
    for (QWidget* c : w.controls()) {
        if (auto* bar = qobject_cast<quil::quilScrollBar*>(c)) {
            orientations.insert(bar->Orientation());
            const QSize along = bar->Orientation() == quil::pbHorizontal ? bar->size() : bar->size().transposed();
            EXPECT_GE(along.width(), 100) << "a bar long enough for its thumb";
            EXPECT_EQ(along.height(), 17);
        }
        if (auto* b = qobject_cast<quil::quilButton*>(c)) {
            disabled |= !b->Enabled();
            picture |= b->ImageList() == w.imageList() && b->ImageIndex() > 0;
        }
    }
    EXPECT_EQ(orientations, (QSet<int>{quil::pbHorizontal, quil::pbVertical}));
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(picture);
    EXPECT_EQ(w.imageList()->Count(), 3);

    // The toolbar: a File and an Edit menu, pictures, and check buttons.
    quil::quilToolbar* bar = nullptr;
    for (QWidget* c : w.controls())
        if (auto* t = qobject_cast<quil::quilToolbar*>(c))
            bar = t;
    ASSERT_NE(bar, nullptr);
    const auto items = bar->ToolbarItems();
    ASSERT_GE(items->Count(), 2);
    EXPECT_EQ(items->Item("file")->Style(), quil::mitMenu);
    EXPECT_GT(items->Item("file")->ToolbarMenuItems()->Count(), 0);
    EXPECT_GT(items->Item("edit")->ToolbarMenuItems()->Count(), 0);
    int checks = 0, pictures = 0;
    for (const auto& item : *items) {
        checks += item->Style() == quil::mitCheckButton;
        pictures += item->IconIndex() > 0;
    }
    EXPECT_GE(checks, 2);
    EXPECT_GT(pictures, 0);
    EXPECT_EQ(bar->ImageList(), w.imageList());
}

TEST(Gallery, FitsA1280By800Screen)
{
    // Its frame takes a few pixels more than its own size: leave room for it.
    GalleryWindow w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_LE(w.width(), 1280 - 16);
    EXPECT_LE(w.height(), 800 - 48);
    EXPECT_LE(w.minimumSizeHint().width(), 1280 - 16);
    EXPECT_LE(w.minimumSizeHint().height(), 800 - 48);
    // The form still shows every control whole.
    for (QWidget* c : w.controls())
        EXPECT_TRUE(c->parentWidget()->rect().contains(c->geometry())) << qPrintable(c->objectName());
}

TEST(Gallery, SaveThenLoadRoundTripsEveryProperty)
{
    QTemporaryDir dir;
    const QString path = tempPath(dir, "a form ü.quilform");
    GalleryWindow a;
    int salt = 0;
    for (QWidget* w : a.controls()) {
        auto* c = qobject_cast<quil::quilControl*>(w);
        ASSERT_TRUE(c);
        for (const quil::PersistedProperty& p : c->Persisted())
            ASSERT_TRUE(c->setProperty(propertyOf(*c, p.name), otherThan(p, ++salt, a.imageList()))) << p.name;
        // A host sets a selection by its start, then its length (a new start leaves none).
        if (qobject_cast<quil::quilTextBox*>(c))
            c->setProperty("SelLength", 2);
        // Every persisted property now differs from its default, so every one is in the file.
        quil::MemoryPropertyBag bag;
        c->WriteProperties(bag);
        for (const quil::PersistedProperty& p : c->Persisted()) {
            // A label's AutoSize and TextWrap exclude each other: turning AutoSize on turned TextWrap off.
            if (qstrcmp(p.name, "TextWrap") == 0 && c->property("AutoSize").toBool())
                continue;
            EXPECT_TRUE(bag.contains(QString::fromLatin1(p.name))) << qPrintable(c->objectName()) << " " << p.name;
        }
    }
    a.controls().first()->move(33, 44);
    QString error;
    ASSERT_TRUE(a.saveTo(path, &error)) << qPrintable(error);

    GalleryWindow b;
    b.showcase();
    ASSERT_TRUE(b.loadFrom(path, &error)) << qPrintable(error);
    ASSERT_EQ(names(b.controls()), names(a.controls()));
    for (QWidget* wa : a.controls()) {
        auto* ca = qobject_cast<quil::quilControl*>(wa);
        auto* cb = qobject_cast<quil::quilControl*>(b.control(wa->objectName()));
        ASSERT_TRUE(cb);
        EXPECT_STREQ(ca->metaObject()->className(), cb->metaObject()->className());
        EXPECT_EQ(ca->geometry(), cb->geometry()) << qPrintable(ca->objectName());
        for (const quil::PersistedProperty& p : ca->Persisted()) {
            const QVariant va = ca->property(propertyOf(*ca, p.name)), vb = cb->property(propertyOf(*cb, p.name));
            if (va.typeId() == QMetaType::QObjectStar) {
                // The same list by name: the loading window's own.
                EXPECT_EQ(vb.value<QObject*>(), b.imageList()) << p.name;
                continue;
            }
            EXPECT_EQ(va, vb) << qPrintable(ca->objectName()) << " " << p.name << ": " << qPrintable(va.toString())
                              << " / " << qPrintable(vb.toString());
        }
    }
}

TEST(Gallery, SaveThenLoadKeepsTheCollectionsAndTheMenusOpener)
{
    QTemporaryDir dir;
    const QString path = tempPath(dir, "collections.quilform");
    GalleryWindow a;
    a.show();
    QString error;
    ASSERT_TRUE(a.saveTo(path, &error)) << qPrintable(error);
    GalleryWindow b;
    ASSERT_TRUE(b.loadFrom(path, &error)) << qPrintable(error);
    b.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    auto find = [](const GalleryWindow& w, auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        for (QWidget* c : w.controls())
            if (auto* t = qobject_cast<T*>(c))
                return t;
        return static_cast<T*>(nullptr);
    };
    // The list's entries, in their order, and its look.
    auto* la = find(a, static_cast<quil::quilListbox*>(nullptr));
    auto* lb = find(b, static_cast<quil::quilListbox*>(nullptr));
    ASSERT_TRUE(la && lb);
    ASSERT_GT(la->ListboxItems()->Count(), 0);
    ASSERT_EQ(lb->ListboxItems()->Count(), la->ListboxItems()->Count());
    for (int i = 1; i <= la->ListboxItems()->Count(); ++i) {
        EXPECT_EQ(lb->ListboxItems()->Item(i)->Caption(), la->ListboxItems()->Item(i)->Caption()) << i;
        EXPECT_EQ(lb->ListboxItems()->Item(i)->Value(), la->ListboxItems()->Item(i)->Value()) << i;
    }
    EXPECT_TRUE(lb->ValueFont());
    EXPECT_EQ(lb->ListboxItems()->Sorted(), la->ListboxItems()->Sorted());
    EXPECT_EQ(lb->Face(), la->Face()) << "the loaded list shows what the saved one showed";
    // The toolbar's buttons and their menus.
    auto* ta = find(a, static_cast<quil::quilToolbar*>(nullptr));
    auto* tb = find(b, static_cast<quil::quilToolbar*>(nullptr));
    ASSERT_TRUE(ta && tb);
    ASSERT_EQ(tb->ToolbarItems()->Count(), ta->ToolbarItems()->Count());
    for (int i = 1; i <= ta->ToolbarItems()->Count(); ++i) {
        const auto x = ta->ToolbarItems()->Item(i), y = tb->ToolbarItems()->Item(i);
        EXPECT_EQ(y->sKey(), x->sKey());
        EXPECT_EQ(y->Caption(), x->Caption());
        EXPECT_EQ(y->Style(), x->Style());
        EXPECT_EQ(y->IconIndex(), x->IconIndex());
        EXPECT_EQ(y->Checked(), x->Checked());
        EXPECT_EQ(y->Enabled(), x->Enabled());
        EXPECT_EQ(y->ToolbarMenuItems()->Count(), x->ToolbarMenuItems()->Count()) << qPrintable(x->sKey());
    }
    EXPECT_EQ(tb->ToolbarItems()->Item("edit")->ToolbarMenuItems()->Item("wrap")->ItemType(), quil::itCheck);
    EXPECT_EQ(tb->Face(), ta->Face());
    // The popup menu's items, and the button that opens it.
    auto* ma = find(a, static_cast<quil::quilPUMenu*>(nullptr));
    auto* mb = find(b, static_cast<quil::quilPUMenu*>(nullptr));
    ASSERT_TRUE(ma && mb);
    ASSERT_EQ(mb->MenuItem()->Count(), ma->MenuItem()->Count());
    for (int i = 1; i <= ma->MenuItem()->Count(); ++i) {
        const auto x = ma->MenuItem()->Item(i), y = mb->MenuItem()->Item(i);
        EXPECT_EQ(std::tuple(y->Key(), y->Caption(), y->Icon(), y->ItemType(), y->Checked(), y->Bold()),
                  std::tuple(x->Key(), x->Caption(), x->Icon(), x->ItemType(), x->Checked(), x->Bold()));
    }
    quil::quilButtonBase* opener = nullptr;
    for (QWidget* c : b.controls())
        if (c->property(gallery::OpensMenuProperty).toString() == mb->objectName())
            opener = qobject_cast<quil::quilButtonBase*>(c);
    ASSERT_NE(opener, nullptr) << "the form kept which button opens the menu";
    QTest::mouseClick(opener, Qt::LeftButton);
    EXPECT_TRUE(mb->MenuVisible()) << "a click on the loaded opener opens the loaded menu";
    mb->KillMenu();
}

TEST(Gallery, DamagedFormFilesAreRefusedWithAMessage)
{
    QTemporaryDir dir;
    GalleryWindow w;
    const QStringList before = names(w.controls());
    const QString good = tempPath(dir, "good.quilform");
    QString error;
    ASSERT_TRUE(w.saveTo(good, &error));
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray data = f.readAll();
    const QJsonObject root = QJsonDocument::fromJson(data).object();

    auto withFirstControl = [&](const std::function<void(QJsonObject&)>& change) {
        QJsonObject r = root;
        QJsonArray list = r["controls"].toArray();
        QJsonObject c = list[0].toObject();
        change(c);
        list[0] = c;
        r["controls"] = list;
        return QJsonDocument(r).toJson();
    };
    const struct {
        const char* what;
        QByteArray content;
        const char* mentions;
    } cases[] = {
        {"truncated", data.left(data.size() / 2), "not a form file"},
        {"empty", QByteArray(), "not a form file"},
        {"garbage", QByteArray("\x89PNG\r\n\x1a\n\0\0garbage", 17), "not a form file"},
        {"another JSON document", QByteArray(R"({"hello": [1, 2]})"), "format"},
        {"unknown class", withFirstControl([](QJsonObject& c) { c["class"] = "quilNothing"; }), "quilNothing"},
        {"private class", withFirstControl([](QJsonObject& c) { c["class"] = "quilXButton"; }), "quilXButton"},
        {"negative width", withFirstControl([](QJsonObject& c) { c["geometry"] = QJsonArray{0, 0, -5, 10}; }),
         "geometry"},
        {"geometry as text", withFirstControl([](QJsonObject& c) { c["geometry"] = "0,0,10,10"; }), "geometry"},
        {"bad value",
         withFirstControl([](QJsonObject& c) {
             QJsonObject p = c["properties"].toObject();
             p["BackColor"] = QJsonObject{{"type", "uint"}, {"value", "white"}};
             c["properties"] = p;
         }),
         "BackColor"},
        {"unknown object",
         withFirstControl([](QJsonObject& c) {
             QJsonObject p = c["properties"].toObject();
             p["ImageList"] = QJsonObject{{"type", "object"}, {"value", "ImageList9"}};
             c["properties"] = p;
         }),
         "ImageList9"},
        {"unnamed", withFirstControl([](QJsonObject& c) { c.remove("name"); }), "name"},
    };
    for (const auto& c : cases) {
        const QString path = tempPath(dir, QString::fromLatin1(c.what) + ".quilform");
        writeFile(path, c.content);
        error.clear();
        EXPECT_FALSE(w.loadFrom(path, &error)) << c.what;
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.mentions), Qt::CaseInsensitive))
            << c.what << ": " << qPrintable(error);
        EXPECT_EQ(names(w.controls()), before) << c.what << ": the form is left as it was";
    }
    error.clear();
    EXPECT_FALSE(w.loadFrom(tempPath(dir, "missing.quilform"), &error));
    EXPECT_TRUE(error.contains("cannot read")) << qPrintable(error);
    error.clear();
    EXPECT_FALSE(w.loadFrom(dir.path(), &error));
    EXPECT_TRUE(error.contains("folder")) << qPrintable(error);
    // A huge file is refused before it is read into memory.
    const QString huge = tempPath(dir, "huge.quilform");
    {
        QFile h(huge);
        ASSERT_TRUE(h.open(QIODevice::WriteOnly));
        ASSERT_TRUE(h.resize(17 * 1024 * 1024));
    }
    error.clear();
    EXPECT_FALSE(w.loadFrom(huge, &error));
    EXPECT_TRUE(error.contains("too large")) << qPrintable(error);
    EXPECT_EQ(names(w.controls()), before);
    // The good file still loads after all that.
    EXPECT_TRUE(w.loadFrom(good, &error)) << qPrintable(error);
}

TEST(EventLog, ReferenceArgumentsAreLoggedWithTheirValues)
{
    quil::quilButton b;
    b.setObjectName("quilButton7");
    // A handler that runs first and changes the key: the log reads through the reference.
    QObject::connect(&b, &quil::quilButtonBase::KeyDown, [](short& code, short&) {
        if (code == 13)
            code = 0;
    });
    gallery::EventSink sink;
    std::vector<gallery::LoggedEvent> seen;
    sink.onEvent = [&](const gallery::LoggedEvent& e) { seen.push_back(e); };
    sink.watch(&b);

    b.KeyDownNotify(32, 1);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0].event, "KeyDown");
    EXPECT_EQ(seen[0].args, (QVariantList{QVariant::fromValue<short>(32), QVariant::fromValue<short>(1)}));
    EXPECT_EQ(seen[0].text(), "quilButton7.KeyDown(KeyCode=32, Shift=1)");
    EXPECT_EQ(seen[1].text(), "quilButton7.Click()");

    seen.clear();
    b.KeyDownNotify(13, 0);
    ASSERT_EQ(seen.size(), 1u) << "the handler's 0 stops the Click";
    EXPECT_EQ(seen[0].text(), "quilButton7.KeyDown(KeyCode=0, Shift=0)");

    seen.clear();
    b.MouseDownNotify(1, 2, 3.5f, 4.25f);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text(), "quilButton7.MouseDown(Button=1, Shift=2, X=3.5, Y=4.25)");

    seen.clear();
    b.setCaption("Go");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].propertyChange);
    EXPECT_EQ(seen[0].text(), "quilButton7: property Caption changed");

    // A watched control that goes away leaves the sink working for the rest.
    auto* gone = new quil::quilScrollBar;
    gone->setObjectName("bar");
    sink.watch(gone);
    delete gone;
    seen.clear();
    b.KeyUpNotify(65, 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text(), "quilButton7.KeyUp(KeyCode=65, Shift=0)");
}

TEST(EventLog, TheWindowLogsTheSelectedOrAllControls)
{
    GalleryWindow w;
    auto* bar = qobject_cast<quil::quilScrollBar*>(w.control("quilScrollBar1"));
    auto* button = qobject_cast<quil::quilButton*>(w.control("quilButton1"));
    ASSERT_TRUE(bar && button);
    w.setLogAll(true);
    w.clearLog();
    bar->setValue(bar->Value() + 5);
    button->KeyUpNotify(40, 0);
    EXPECT_TRUE(w.logLines().contains("quilScrollBar1.ValueChanged()")) << qPrintable(w.logLines().join('\n'));
    EXPECT_TRUE(w.logLines().contains("  ~ quilScrollBar1: property Value changed"));
    EXPECT_TRUE(w.logLines().contains("quilButton1.KeyUp(KeyCode=40, Shift=0)"));

    w.setLogAll(false);
    w.select(button);
    w.clearLog();
    bar->setValue(bar->Value() + 5);
    button->KeyUpNotify(40, 0);
    EXPECT_EQ(w.logLines(), QStringList{"quilButton1.KeyUp(KeyCode=40, Shift=0)"});
}

TEST(PropertySheet, EditsThePropertiesOfTheSelectedControlLive)
{
    GalleryWindow w;
    auto* bar = qobject_cast<quil::quilScrollBar*>(w.control("quilScrollBar1"));
    ASSERT_TRUE(bar);
    w.select(bar);
    auto* back = w.sheet()->editor("BackColor")->findChild<QLineEdit*>();
    ASSERT_TRUE(back);
    back->setText("#102030");
    emit back->editingFinished();
    EXPECT_EQ(bar->BackColor(), 0x302010u) << "#RRGGBB is stored as 0x00BBGGRR";
    QSignalSpy changes(bar, &quil::quilControl::PropertyChanged);
    emit back->editingFinished();   // leaving the field after Return finishes it again
    EXPECT_EQ(changes.count(), 0) << "the same value is not set twice";
    EXPECT_EQ(back->text(), "&H00302010&");
    back->setText("&H8000000F&");
    emit back->editingFinished();
    EXPECT_EQ(bar->BackColor(), 0x8000000Fu);
    back->setText("not a colour");
    emit back->editingFinished();
    EXPECT_EQ(bar->BackColor(), 0x8000000Fu);
    EXPECT_EQ(back->text(), "&H8000000F&") << "a refused text goes back to the value";

    auto* orientation = qobject_cast<QComboBox*>(w.sheet()->editor("Orientation"));
    ASSERT_TRUE(orientation);
    const int horizontal = orientation->findData(int(quil::pbHorizontal));
    ASSERT_GE(horizontal, 0);
    orientation->setCurrentIndex(horizontal);
    emit orientation->activated(horizontal);
    EXPECT_EQ(bar->Orientation(), quil::pbHorizontal);

    auto* value = qobject_cast<QSpinBox*>(w.sheet()->editor("Value"));
    ASSERT_TRUE(value);
    bar->setValue(60);
    EXPECT_EQ(value->value(), 60) << "the sheet follows the control's own changes";
    value->setValue(500);
    EXPECT_EQ(bar->Value(), 100) << "the setter's limit";
    EXPECT_EQ(value->value(), 100) << "the sheet shows what the control holds";

    auto* enabled = qobject_cast<QCheckBox*>(w.sheet()->editor("Enabled"));
    ASSERT_TRUE(enabled);
    enabled->setChecked(false);
    EXPECT_FALSE(bar->Enabled());
}

TEST(Gallery, TabGoesThroughTheFormInRowsTopToBottomEachLeftToRight)
{
    GalleryWindow w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QList<QWidget*> expected;
    for (QWidget* c : w.controls())
        if ((c->focusPolicy() & Qt::TabFocus) && c->isEnabled())
            expected << c;
    std::stable_sort(expected.begin(), expected.end(), [](const QWidget* a, const QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    ASSERT_GE(expected.size(), 5);
    // The control a focused widget belongs to (a drop-down's field is the drop-down's).
    const auto owner = [&w](QWidget* f) -> QWidget* {
        for (; f; f = f->parentWidget())
            if (w.controls().contains(f))
                return f;
        return nullptr;
    };
    expected.first()->setFocus(Qt::TabFocusReason);
    QList<QWidget*> seen{owner(QApplication::focusWidget())};
    // Round the window once: the form's controls in the order Tab reaches them.
    for (int i = 0; i < 200 && seen.size() < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* c = owner(QApplication::focusWidget());
        if (c && c != seen.last())
            seen << c;
    }
    EXPECT_EQ(names(seen).join(", ").toStdString(), names(expected).join(", ").toStdString());
}

// The showcase has no labels beside its controls, so each control a user can
// Tab to carries a name of its own; a screen reader said only "slider, 5".
TEST(Gallery, EveryControlTabReachesHasAName)
{
    GalleryWindow w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    int checked = 0;
    for (QWidget* c : w.controls()) {
        if (!(c->focusPolicy() & Qt::TabFocus) || !c->isEnabled())
            continue;
        c->setFocus(Qt::TabFocusReason);
        // What takes the keys: a text box's field, a drop-down's field.
        QWidget* focused = c->focusProxy() ? c->focusProxy() : c;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(focused);
        ASSERT_TRUE(a) << c->objectName().toStdString();
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
            << c->objectName().toStdString() << " reads as a nameless " << int(a->role());
        ++checked;
    }
    EXPECT_GE(checked, 10);
}
