// The library driven from JavaScript through QJSEngine, a container that
// knows it only by name: controls made by the factory, a list box and a
// menu filled and used, a file search run, events received by script
// functions, and failures that come back as null or false with a warning
// instead of an exception.
#include <quilObjects/EventRelay.h>
#include <quilObjects/Library.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilPUMenu.h>

#include <QDir>
#include <QFile>
#include <QJSEngine>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

// What a container puts into its script: the library's factory by class name.
class Host : public QObject {
    Q_OBJECT
public:
    explicit Host(QWidget* form) : form(form) {}
    // Controls go on the form; the form owns what it makes.
    Q_INVOKABLE QObject* create(const QString& className)
    {
        return quilCreateObject(className.toUtf8().constData(), form);
    }
    // An event's arguments are passed by reference; the relay hands them to the script.
    Q_INVOKABLE QObject* events(QObject* control) { return new quil::EventRelay(control, control); }

private:
    QWidget* form;
};

// Collects the warnings the library gives while it lives.
struct Warnings {
    static inline QStringList seen;
    QtMessageHandler previous;
    Warnings() : previous(qInstallMessageHandler(&handle)) { seen.clear(); }
    ~Warnings() { qInstallMessageHandler(previous); }
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (type == QtWarningMsg)
            seen << text;
    }
};

struct Script {
    QWidget form;
    Host host{&form};
    QJSEngine engine;
    Script()
    {
        engine.installExtensions(QJSEngine::GarbageCollectionExtension);
        // The host is the test's, not the engine's to collect.
        QJSEngine::setObjectOwnership(&host, QJSEngine::CppOwnership);
        engine.globalObject().setProperty("host", engine.newQObject(&host));
    }
    QJSValue run(const QString& code)
    {
        QJSValue v = engine.evaluate(code);
        EXPECT_FALSE(v.isError()) << v.toString().toStdString() << " at line "
                                  << v.property("lineNumber").toInt();
        return v;
    }
    QString text(const QString& code) { return run(code).toString(); }
};

} // namespace

TEST(Script, ControlsAreMadeByNameAndOnlyCreatableOnes)
{
    Script s;
    EXPECT_EQ(s.text("var l = host.create('quilListbox'); l.ID()"), "6");
    EXPECT_EQ(s.text("host.create('quilObjects.quilPUMenu').ID()"), "9");
    EXPECT_EQ(s.text("String(host.create('quilXButton'))"), "null") << "private to the library";
    EXPECT_EQ(s.text("String(host.create('ComboDatas'))"), "null") << "handed out by the controls only";
    EXPECT_EQ(s.text("String(host.create('NoSuchClass'))"), "null");
    // Properties of what the control hands out are typed objects, not opaque values.
    EXPECT_EQ(s.text("typeof l.ListboxItems.Add"), "function");
    EXPECT_EQ(s.text("l.TempListboxItems.Count"), "0");
}

TEST(Script, AListBoxIsFilledSelectedAndReportsByEvent)
{
    Script s;
    Warnings w;
    s.run("var l = host.create('quilListbox');");
    auto* list = s.form.findChild<quil::quilListbox*>();
    ASSERT_NE(list, nullptr);
    list->resize(200, 120);
    s.run("var items = l.ListboxItems;"
          "var clicked = [];"
          "var raised = 0;"
          "l.ItemClicked.connect(function () { raised++; });"
          "var ev = host.events(l);"
          "ev.Raised.connect(function (name, a) {"
          "  if (name == 'ItemClicked') clicked.push(a[0] + ':' + a[1]);"
          "  if (name == 'KeyDown') ev.SetArgument(0, 0);"
          "});"
          "items.Add('a', 'Alpha', 'va');"
          "items.Add('b', 'Beta', 'vb', 2, 'note');"
          "items.Add('', 'Gamma');"
          "l.Refresh();");
    EXPECT_EQ(s.text("items.Count"), "3");
    EXPECT_EQ(s.text("l.TempListboxItems.Count"), "3") << "every entry laid out";
    EXPECT_EQ(s.text("l.TempListboxItems.Item(2).Index"), "2");
    // Optional arguments: by value, then by caption; none selects the first.
    s.run("l.SelectItem('', 'vb')");
    EXPECT_EQ(s.text("l.SelectedItem"), "2");
    s.run("l.SelectItem('', '', 'Gamma')");
    s.run("l.SelectItem()");
    EXPECT_EQ(s.text("clicked.join(' ') + ' ' + raised"), "2:b 3: 1:a 3");
    // A script's handler zeroes a key passed by reference; a handler after it sees the change.
    short seen = -1;
    QObject::connect(list, &quil::quilListbox::KeyDown, list, [&](short& KeyCode, short&) { seen = KeyCode; });
    list->KeyDownNotify(40, 0);
    EXPECT_EQ(seen, 0);
    EXPECT_EQ(s.text("l.SelectedItem"), "2") << "Down moved the selection first";
    EXPECT_EQ(s.text("items.Item('B').Comment + items.Item('b').Icon"), "note2") << "keys ignore case";
    EXPECT_EQ(s.text("items.Item(3).Caption"), "Gamma");

    // An entry a script keeps outlives its removal, and still writes through while listed.
    s.run("var kept = items.Item('a'); items.Item(2).Caption = 'Bee';");
    EXPECT_EQ(s.text("items.Item('b').Caption"), "Bee") << "a handle is the entry, not a copy";
    EXPECT_EQ(list->ListboxItems()->Item(2)->Caption(), "Bee");
    EXPECT_EQ(s.text("items.Remove(1)"), "true");
    s.engine.collectGarbage();
    EXPECT_EQ(s.text("kept.Caption + ' ' + kept.Value + ' ' + items.Count"), "Alpha va 2");

    // Failures: null or false and a warning naming the member, nothing thrown.
    EXPECT_EQ(s.text("String(items.Item('zzz'))"), "null");
    EXPECT_EQ(s.text("String(items.Item(9))"), "null");
    EXPECT_EQ(s.text("items.Remove(0)"), "false");
    EXPECT_EQ(s.text("String(items.Add('B', 'again'))"), "null") << "a key already there";
    EXPECT_EQ(s.text("items.Count"), "2");
    EXPECT_EQ(w.seen.filter("ComboDatas.").size(), 4) << w.seen.join('\n').toStdString();
    s.run("l.ListboxItems = null");
    EXPECT_EQ(s.text("l.ListboxItems.Count"), "2") << "refused, the list kept";

    // For-each through the enumerator, then Clear.
    EXPECT_EQ(s.text("var e = items.NewEnum(), out = []; for (var x = e.Next(); x; x = e.Next()) out.push(x.Caption);"
                     "out.join(',')"),
              "Bee,Gamma");
    s.run("items.Clear()");
    EXPECT_EQ(s.text("items.Count + ' ' + kept.Caption"), "0 Alpha");
}

TEST(Script, AMenuIsFilledOpenedAndPicked)
{
    Script s;
    s.run("var m = host.create('quilPUMenu');"
          "var picked = [], closed = 0;"
          "host.events(m).Raised.connect(function (name, a) { if (name == 'ItemClick') picked.push(a[0] + ':' + a[1]); });"
          "m.Closed.connect(function () { closed++; });"
          "m.MenuItem.Add('open', 'Open');"
          "m.MenuItem.Add('', '', 0, true, '', '', 3);"
          "m.MenuItem.Add('save', 'Save', 0, true, '', '', 2, true, true);"
          "m.MenuItem.Add('x', 'In X', 0, true, '', 'X');");
    EXPECT_EQ(s.text("var it = m.MenuItem.Item('save'); [it.ItemType, it.Checked, it.Bold, it.Enabled].join()"),
              "2,true,true,true");
    EXPECT_EQ(s.text("String(m.MenuItem.Item(''))"), "null") << "an empty key is no entry";
    s.run("m.CreateMenu(1500, 1500)");
    auto* menu = s.form.findChild<quil::quilPUMenu*>();
    ASSERT_NE(menu, nullptr);
    QWidget* popup = menu->PopupWindow();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->pos(), QPoint(100, 100)) << "twips by value";
    EXPECT_EQ(s.text("m.MenuVisible"), "true");
    EXPECT_EQ(menu->Rows()->Count(), 3) << "the group \"\" only";

    // The user points at the third row (Save) and clicks it.
    const auto save = menu->Rows()->Item(3);
    const QPoint at(20, save->Top() + save->Height() / 2);
    QTest::mouseMove(popup, at);
    QTest::mousePress(popup, Qt::LeftButton, {}, at);
    QTest::mouseRelease(popup, Qt::LeftButton, {}, at);
    EXPECT_EQ(s.text("picked.join()"), "3:save");
    EXPECT_FALSE(popup->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.text("closed") == "1"; }, 5000)) << "Closed follows";

    // Another group, then KillMenu from the script; ClearItems gives a new empty list.
    s.run("m.CreateMenu(1500, 1500, 'X')");
    EXPECT_EQ(menu->Rows()->Count(), 1);
    s.run("m.KillMenu()");
    EXPECT_FALSE(popup->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.text("closed") == "2"; }, 5000));
    s.run("m.ClearItems()");
    EXPECT_EQ(s.text("m.MenuItem.Count"), "0");
    // Another menu's list can be handed over (shared, not copied); nothing else can.
    s.run("var other = host.create('quilPUMenu'); other.MenuItem.Add('k', 'K'); m.MenuItem = other.MenuItem;");
    EXPECT_EQ(s.text("m.MenuItem.Item(1).Caption"), "K");
    const auto menus = s.form.findChildren<quil::quilPUMenu*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->MenuItem(), menus[1]->MenuItem());
    s.run("m.MenuItem = null");
    EXPECT_EQ(s.text("m.MenuItem.Count"), "1") << "refused, the list kept";
}

TEST(Script, AToolbarsButtonsAndTheirMenus)
{
    Script s;
    s.run("var t = host.create('quilToolbar'); var changes = 0;"
          "t.ToolbarItems.ItemChanged.connect(function () { changes++; });"
          "var f = t.ToolbarItems.Add('file', 'File', 0, 3);"
          "f.ToolbarMenuItems.Add('new', 'New');"
          "t.ToolbarItems.Add('bold', 'Bold', 0, 2, true);");
    EXPECT_EQ(s.text("t.ToolbarItems.Count"), "2");
    EXPECT_EQ(s.text("t.ToolbarItems.Item('FILE').ToolbarMenuItems.Item(1).Caption"), "New");
    EXPECT_EQ(s.text("var b = t.ToolbarItems.Item(2); [b.Style, b.Checked, b.Enabled, b.sKey].join()"),
              "2,true,true,bold");
    s.run("t.ToolbarItems.Refresh(); t.ToolbarItems.Remove('bold');");
    EXPECT_EQ(s.text("changes + ' ' + t.ToolbarItems.Count + ' ' + b.Caption"), "2 1 Bold");
}

TEST(Script, AFileSearchFillsTheListItIsGiven)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path() + "/with space ü";
    ASSERT_TRUE(QDir().mkpath(root + "/sub"));
    for (const QString& name : {root + "/a.txt", root + "/b.txt", root + "/c.jpg", root + "/sub/d.txt"}) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    Script s;
    Warnings w;
    s.engine.globalObject().setProperty("root", root);
    s.run("var search = host.create('Search'); var found = host.create('sf_Information');"
          "search.Search_File(root, '*.txt', 0, found);");
    EXPECT_EQ(s.text("found.Count"), "2");
    EXPECT_EQ(s.text("found.Item(1).Filename + ' ' + found.Item(2).Filename + ' ' + found.Item(1).Size"),
              "a.txt b.txt 1");
    EXPECT_EQ(s.text("String(found.Item('a.txt'))"), "null") << "positions only";
    s.run("search.ScanPathforFiles(root, '*.txt', found)");
    EXPECT_EQ(s.text("found.Count"), "3") << "emptied first, then every file below";
    s.run("search.ScanPathforPaths(root, found)");
    EXPECT_EQ(s.text("found.Count + ' ' + found.Item(1).Filename + ' ' + (found.Item(1).Attrib & 16)"), "1 sub 16");
    s.run("search.Search_Directory(root, '*', found)");
    EXPECT_EQ(s.text("found.Item(1).Path"), root + "/");
    s.run("search.Separator = 124; search.Search_File(root + '|' + root + '/sub', '*.txt', 0, found)");
    EXPECT_EQ(s.text("found.Count + ' ' + found.Item(3).Filename"), "3 d.txt") << "the second folder's file last";
    w.seen.clear();
    s.run("search.Search_File(root, '*', 0, null)");
    EXPECT_EQ(w.seen.filter("Search.Search_File").size(), 1);
}

TEST(Script, TheDropDownOpensItsPanelByName)
{
    Script s;
    s.run("var d = host.create('quilDropDown');");
    auto* drop = s.form.findChild<quil::quilDropDown*>();
    ASSERT_NE(drop, nullptr);
    drop->resize(150, 21);
    s.run("d.CreateMenu(1500, 3000)");
    ASSERT_NE(drop->Panel(), nullptr);
    EXPECT_TRUE(drop->Panel()->isVisible());
    EXPECT_EQ(drop->Panel()->pos(), QPoint(100, 200));
    drop->ClosePanel();
}

#include "test_script.moc"
