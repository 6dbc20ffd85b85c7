// The published description, as quil-typelib prints it, against the class
// table and the enumerations the library promises its users.
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

QStringList typelib()
{
    QProcess p;
    p.start(QStringLiteral(QUIL_TYPELIB), {});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// The lines under a heading, up to the next heading.
QStringList section(const QStringList& all, const QString& heading)
{
    QStringList lines;
    bool in = false;
    for (const QString& l : all) {
        if (!l.startsWith(' ')) {
            in = l == heading || l.startsWith(heading + ' ');
            continue;
        }
        if (in)
            lines << l.trimmed();
    }
    return lines;
}

// One class's members as printed: names of properties, and of methods and
// events with their argument names and how many arguments they need.
struct Member {
    QString name;
    QStringList args;
    int required = 0;
};

struct Members {
    QStringList properties;
    std::vector<Member> methods, events;
};

Member parseCall(const QString& text)
{
    Member m;
    m.name = text.section('(', 0, 0);
    const QString inner = text.section('(', 1).section(')', 0, 0);
    m.required = 0;
    for (const QString& raw : inner.split(", ", Qt::SkipEmptyParts)) {
        const bool optional = raw.startsWith('[');
        QString a = raw;
        a.remove('[').remove(']');
        m.args << a.section(' ', -1);
        if (!optional)
            ++m.required;
    }
    return m;
}

Members membersOf(const QStringList& all, const QString& cls)
{
    Members out;
    for (const QString& l : section(all, "class " + cls)) {
        if (l.startsWith("property "))
            out.properties << l.section(' ', 1, 1);
        else if (l.startsWith("method "))
            out.methods.push_back(parseCall(l.mid(7).section(" -> ", 0, 0)));
        else if (l.startsWith("event "))
            out.events.push_back(parseCall(l.mid(6)));
    }
    return out;
}

// A member of a table: its arguments, and how many of them are optional.
struct Expected {
    QString name;
    QStringList args;
    int optional = 0;
};

QString text(const Expected& e) { return e.name + '(' + e.args.join(", ") + ')'; }

// The method can be called late bound as the table says: some overload
// takes every argument under its name, and the overloads together accept
// every count of arguments from the required ones up.
bool callable(const std::vector<Member>& printed, const Expected& e)
{
    bool full = false;
    std::set<int> counts;
    for (const Member& m : printed) {
        if (m.name != e.name)
            continue;
        full = full || m.args == e.args;
        for (int n = m.required; n <= m.args.size(); ++n)
            counts.insert(n);
    }
    for (int n = static_cast<int>(e.args.size()) - e.optional; n <= e.args.size(); ++n)
        full = full && counts.count(n);
    return full;
}

void expectMembers(const QStringList& all, const QString& cls, const QStringList& properties,
                   const std::vector<Expected>& methods, const std::vector<Expected>& events, bool exactly)
{
    SCOPED_TRACE(cls.toStdString());
    const Members m = membersOf(all, cls);
    for (const QString& p : properties)
        EXPECT_TRUE(m.properties.contains(p)) << "property " << p.toStdString();
    for (const Expected& e : methods)
        EXPECT_TRUE(callable(m.methods, e)) << "method " << text(e).toStdString();
    // Events in the order of their table, each with its arguments.
    QStringList printedEvents, tableEvents;
    for (const Member& e : m.events)
        printedEvents << e.name + '(' + e.args.join(", ") + ')';
    for (const Expected& e : events)
        tableEvents << text(e);
    EXPECT_EQ(printedEvents, tableEvents);
    if (exactly) {
        EXPECT_EQ(m.properties.size(), properties.size()) << m.properties.join(' ').toStdString();
        std::set<QString> names, printedNames;
        for (const Expected& e : methods)
            names.insert(e.name);
        for (const Member& p : m.methods)
            printedNames.insert(p.name);
        EXPECT_EQ(printedNames, names);
    }
}

} // namespace

TEST(TypeLibrary, IdentityAndEnumerations)
{
    const QStringList all = typelib();
    ASSERT_FALSE(all.isEmpty());
    EXPECT_EQ(all.first(), "library quilObjects 1.0 lcid 0x0409 helpstring \"quilObjects\"");
    const std::map<QString, QStringList> enums = {
        {"MyType", {"tNormal = 0", "tSearch = 1"}},
        {"TickStyles", {"Tick_None = 0", "Tick_Half = 1", "Tick_Four = 2", "Tick_Half_Value = 3", "Tick_Four_Value = 4"}},
        {"MyOrientation", {"pbHorizontal = 1", "pbVertical = 2"}},
        {"eItemType", {"itNormal = 1", "itCheck = 2", "itPlaceholder = 3", "itTitle = 4"}},
        {"eMenuItemType",
         {"mitNormalButton = 1", "mitCheckButton = 2", "mitMenu = 3", "mitMenu2 = 4", "mitPlaceholder = 5",
          "mitSeparator = 6", "mitCaption = 7"}},
        {"eSortDirection", {"sd_Ascending = 0", "sd_Descending = 1"}},
        {"eComboType",
         {"ctDateBox = 1", "ctColorPicker = 2", "ctPrinterSelect = 3", "ctDriveSelect = 4", "ctFontSelect = 5"}},
        {"DataFormats",
         {"df_AllChars = 0", "df_AlphaOnly = 1", "df_NumOnly = 2", "df_NumAndChars = 3", "df_NumAndAlpha = 4",
          "df_NumAndAlphaChars = 5", "df_UCase = 6", "df_UCaseAlphaOnly = 7", "df_UCaseNumAndAlpha = 8",
          "df_UCaseNumAndAlphaChars = 9", "df_LCase = 10", "df_LCaseAlphaOnly = 11", "df_LCaseNumAndAlpha = 12",
          "df_LCaseNumAndAlphaChars = 13", "df_AlphaAndChars = 14", "df_UCaseAlphaAndChars = 15",
          "df_LCaseAlphaAndChars = 16"}},
        {"IconSize", {"LargeIcon = 0", "SmallIcon = 1"}},
    };
    int count = 0;
    for (const QString& l : all)
        count += l.startsWith("enum ");
    EXPECT_EQ(count, 9);
    for (const auto& [name, members] : enums)
        EXPECT_EQ(section(all, "enum " + name), members) << name.toStdString();
}

TEST(TypeLibrary, ClassesAgainstTheClassTable)
{
    const QStringList all = typelib();
    // The classes this library has so far, as the class table gives them.
    const QStringList heads = {
        "class quilButton kind control creatable container interface _quilButton id 0 events __quilButton",
        "class quilColorPicker kind control creatable container interface _quilColorPicker id 1 events "
        "__quilColorPicker",
        "class quilDropDown kind control creatable container interface _quilDropDown id 2 events __quilDropDown",
        "class quilLabel kind control creatable container interface _quilLabel id 5 events __quilLabel",
        "class quilListbox kind control creatable container interface _quilListbox id 6 events __quilListbox",
        "class quilMonthview kind control creatable container interface _quilMonthview id 7 events __quilMonthview",
        "class quilPUMenu kind control creatable container interface _quilPUMenu id 9 events __quilPUMenu",
        "class quilScrollBar kind control creatable container interface _quilScrollBar id 10 events __quilScrollBar",
        "class quilProgressBar kind control creatable container interface _quilProgressBar id 8 events "
        "__quilProgressBar",
        "class quilSlider kind control creatable container interface _quilSlider id 11 events __quilSlider",
        "class quilTab kind control creatable container interface _quilTab id 12 events __quilTab",
        "class IconExtractor kind service creatable no interface _IconExtractor",
        "class Search kind service creatable yes, global interface _Search",
        "class sf_Information kind collection creatable yes interface _sf_Information",
        "class sf_InformationValue kind item creatable no interface _sf_InformationValue",
        "class quilToolbar kind control creatable container interface _quilToolbar id 14 events __quilToolbar",
        "class ToolbarItems kind collection creatable no interface _ToolbarItems events __ToolbarItems",
        "class ComboDatas kind collection creatable no interface _ComboDatas events __ComboDatas",
        "class ComboData kind item creatable no interface _ComboData",
        "class MenuItems kind collection creatable no interface _MenuItems",
        "class MenuItem kind item creatable no interface _MenuItem",
        "class MenuItemListings kind collection creatable no interface _MenuItemListings",
        "class MenuItemListing kind item creatable no interface _MenuItemListing",
        "class ToolbarItem kind item creatable no interface _ToolbarItem",
        "class quilTextBox kind control creatable container interface _quilTextBox id 13 events __quilTextBox",
        "class ClsMain kind class creatable no interface _ClsMain",
    };
    for (const QString& h : heads)
        EXPECT_TRUE(all.contains(h)) << h.toStdString();
    for (const QString& l : all) {
        EXPECT_FALSE(l.contains("quilXButton")) << "private to the library";
        EXPECT_FALSE(l.contains(QRegularExpression(" id [34]( |$)"))) << l.toStdString();
    }

    EXPECT_EQ(section(all, "class quilButton"),
              QStringList({"property BackColor : OLE_COLOR = &HFFFFFF", "property ForeColor : OLE_COLOR = &HC00000",
                           "property Enabled : bool = True", "property Font : QFont = Ambient.Font",
                           "property Caption : QString = Ambient.DisplayName",
                           "property TabSelectColor : OLE_COLOR = &H96E7", "property ImageList : QObject* = Nothing",
                           "property ImageIndex : int = 0", "event Click()",
                           "event KeyDown(short& KeyCode, short& Shift)", "event KeyPress(short& KeyAscii)",
                           "event KeyUp(short& KeyCode, short& Shift)",
                           "event MouseDown(short& Button, short& Shift, float& X, float& Y)",
                           "event MouseMove(short& Button, short& Shift, float& X, float& Y)",
                           "event MouseUp(short& Button, short& Shift, float& X, float& Y)", "method ID() -> short"}));
    const QStringList bar = section(all, "class quilScrollBar");
    QStringList events;
    for (const QString& l : bar)
        if (l.startsWith("event "))
            events << l.section('(', 0, 0).mid(6);
    EXPECT_EQ(events, QStringList({"MouseDown", "MouseUp", "MouseMove", "Click", "KeyPress", "KeyUp", "KeyDown",
                                   "Scroll", "ValueChanged"}));
    EXPECT_TRUE(bar.contains("property Orientation : quil::MyOrientation = pbVertical"));
    EXPECT_TRUE(bar.contains("property Min : int = 1"));
    EXPECT_EQ(section(all, "class quilTab"), QStringList({"method ID() -> short"}));
    // The drop-down's events in their numbered order; its stored Enabled starts False.
    const QStringList drop = section(all, "class quilDropDown");
    QStringList dropEvents;
    for (const QString& l : drop)
        if (l.startsWith("event "))
            dropEvents << l.section('(', 0, 0).mid(6);
    EXPECT_EQ(dropEvents,
              QStringList({"ValueChanged", "KeyUp", "MouseDown", "MouseMove", "MouseUp", "KeyDown", "KeyPress"}));
    EXPECT_TRUE(drop.contains("property Enabled : bool = False"));
    EXPECT_TRUE(drop.contains("property ComboType : quil::eComboType = ctDateBox"));
    EXPECT_TRUE(drop.contains("method SetComboType() -> void"));

    EXPECT_EQ(section(all, "class quilSlider"),
              QStringList({"property BackColor : OLE_COLOR = &HFFFFFF", "property ForeColor : OLE_COLOR = &HC00000",
                           "property Enabled : bool = True", "property Font : QFont = Ambient.Font",
                           "property TabSelectColor : OLE_COLOR = &H96E7",
                           "property Orientation : quil::MyOrientation = pbHorizontal",
                           "property TickStyle : quil::TickStyles = Tick_None", "property Min : int = 0",
                           "property Max : int = 10", "property Value : int = 5", "event Click()",
                           "event KeyDown(short& KeyCode, short& Shift)", "event KeyPress(short& KeyAscii)",
                           "event KeyUp(short& KeyCode, short& Shift)", "event ValueChange()", "event Slide()",
                           "method ID() -> short"}));
    EXPECT_EQ(section(all, "class quilProgressBar"),
              QStringList({"property BackColor : OLE_COLOR = &HFFFFFF", "property Enabled : bool = True",
                           "property Font : QFont = Ambient.Font",
                           "property Orientation : quil::MyOrientation = pbHorizontal",
                           "property Style : quil::MyType = tNormal", "property Value : int = 50",
                           "property Caption : QString = \"%\"", "property ForeColor : OLE_COLOR = &HC00000",
                           "method ID() -> short"}))
        << "no events, and the animation is not part of the published interface";

    EXPECT_EQ(section(all, "class quilColorPicker"),
              QStringList({"property Color : OLE_COLOR = &H96E7",
                           "event MouseDown(short& Button, short& Shift, float& X, float& Y)",
                           "event MouseMove(short& Button, short& Shift, float& X, float& Y)",
                           "event MouseUp(short& Button, short& Shift, float& X, float& Y)", "method ID() -> short"}));
    const QStringList label = section(all, "class quilLabel");
    QStringList labelEvents, labelProperties;
    for (const QString& l : label) {
        if (l.startsWith("event "))
            labelEvents << l.mid(6);
        if (l.startsWith("property "))
            labelProperties << l.section(' ', 1, 1);
    }
    EXPECT_EQ(labelEvents, QStringList({"MouseDown(short& Button, short& Shift, float& X, float& Y)",
                                        "MouseMove(short& Button, short& Shift, float& X, float& Y)",
                                        "MouseUp(short& Button, short& Shift, float& X, float& Y)", "Click()",
                                        "HyperlinkClick(QString& sHyperlink, short& Cancel)"}));
    EXPECT_EQ(labelProperties, QStringList({"AutoSize", "TextWrap", "BackColor", "ForeColor", "ImageList", "ImageIndex",
                                            "Caption", "Hyperlink", "SelectionColor", "Enabled", "Font",
                                            "MousePointer", "MouseIcon"}));
    EXPECT_TRUE(label.contains("property SelectionColor : OLE_COLOR = &H80FF"));
    EXPECT_TRUE(label.contains("property AutoSize : bool = 0")) << "stored as a number";
    EXPECT_TRUE(label.contains("method ID() -> short"));
    EXPECT_TRUE(section(all, "class ClsMain").isEmpty());
    EXPECT_TRUE(section(all, "class Search").contains("property Separator : uchar"));
    EXPECT_TRUE(section(all, "class IconExtractor").contains("property MaskColor : OLE_COLOR"));

    EXPECT_EQ(section(all, "class quilToolbar"),
              QStringList({"property BackColor : OLE_COLOR = &HFFFFFF", "property ForeColor : OLE_COLOR = &HC00000",
                           "property SelectionColor : OLE_COLOR = &H80FF",
                           "property MenuImageList : QObject* = Nothing", "property ImageList : QObject*",
                           "property Enabled : bool = True", "property Font : QFont = Ambient.Font",
                           "property ToolbarItems : quil::ToolbarItems*",
                           "event ItemClicked(short& ItemIndex, QString& ItemKey)",
                           "event MenuItemClicked(short& ItemIndex, QString& ItemKey, short& MenuItemIndex, "
                           "QString& MenuItemKey)",
                           "method ID() -> short"}));
}

// The members of the lists, the popup menu, the list box, the drop-down,
// the toolbar and the search, as their tables give them: what a container
// that knows the library only by name can reach.
TEST(TypeLibrary, CollectionsTheirEntriesAndTheControlsThatHandThemOut)
{
    const QStringList all = typelib();
    const Expected newEnum{"NewEnum", {}, 0};

    expectMembers(all, "ComboDatas", {"Sorting", "Sorted", "Count"},
                  {{"Add", {"Key", "Caption", "Value", "Icon", "sComment"}, 4},
                   {"Item", {"vntIndexKey"}, 0},
                   {"Remove", {"vntIndexKey"}, 0},
                   {"Clear", {}, 0},
                   newEnum},
                  {{"ItemAdded", {}, 0}, {"ItemChanged", {}, 0}}, true);
    expectMembers(all, "ComboData", {"Comment", "Key", "Index", "Icon", "Value", "Caption"}, {}, {}, true);
    // The entry's fields in the order of its interface.
    EXPECT_EQ(membersOf(all, "ComboData").properties,
              QStringList({"Comment", "Key", "Index", "Icon", "Value", "Caption"}));

    expectMembers(all, "MenuItems", {"Count"},
                  {{"Add", {"Key", "Caption", "Icon", "Enabled", "Child", "Group", "ItemType", "Checked", "Bold"}, 8},
                   {"Item", {"vntIndexKey"}, 0},
                   {"Remove", {"vntIndexKey"}, 0},
                   newEnum},
                  {}, true);
    expectMembers(all, "MenuItem", {"Key", "Caption", "Icon", "Enabled", "Child", "Group", "ItemType", "Checked", "Bold"},
                  {}, {}, true);
    expectMembers(all, "MenuItemListings", {"Count"},
                  {{"Add", {"Key", "Index", "Top", "Height", "Selectable"}, 0},
                   {"Item", {"vntIndexKey"}, 0},
                   {"Clear", {}, 0},
                   {"Remove", {"vntIndexKey"}, 0},
                   newEnum},
                  {}, true);
    expectMembers(all, "MenuItemListing", {"Key", "Index", "Top", "Height", "Selectable"}, {}, {}, true);

    expectMembers(all, "quilPUMenu", {"MenuItem", "MenuVisible", "BackColor", "ForeColor", "SelectionColor", "Font",
                                      "ImageList"},
                  {{"ID", {}, 0}, {"ClearItems", {}, 0}, {"CreateMenu", {"X", "Y", "sGroup", "M_Width"}, 4},
                   {"KillMenu", {}, 0}},
                  {{"ItemClick", {"ItemIndex", "ItemKey"}, 0}, {"Closed", {}, 0}}, false);

    const std::vector<Expected> mouse = {{"MouseDown", {"Button", "Shift", "X", "Y"}, 0},
                                         {"MouseMove", {"Button", "Shift", "X", "Y"}, 0},
                                         {"MouseUp", {"Button", "Shift", "X", "Y"}, 0}};
    expectMembers(all, "quilListbox",
                  {"TempListboxItems", "ValueFont", "ListboxItems", "BackColor", "ForeColor", "SelectionColor",
                   "Enabled", "Font", "ImageList", "SelectedItem", "HoverSelect"},
                  {{"ID", {}, 0}, {"Refresh", {}, 0}, {"SelectItem", {"mKey", "mValue", "mCaption"}, 3}},
                  {{"Click", {}, 0},
                   {"DblClick", {}, 0},
                   {"KeyDown", {"KeyCode", "Shift"}, 0},
                   {"KeyPress", {"KeyAscii"}, 0},
                   {"KeyUp", {"KeyCode", "Shift"}, 0},
                   mouse[0],
                   mouse[1],
                   mouse[2],
                   {"ItemClicked", {"iIndex", "sKey"}, 0}},
                  false);

    expectMembers(all, "quilDropDown",
                  {"BackColor", "ForeColor", "SelectionColor", "TabSelectColor", "Enabled", "Font", "DateFormat",
                   "ComboType", "Day", "Year", "Month", "PrinterName", "FontName", "DriveLetter"},
                  {{"ID", {}, 0}, {"SetComboType", {}, 0}, {"CreateMenu", {"X", "Y"}, 0}},
                  {{"ValueChanged", {}, 0},
                   {"KeyUp", {"KeyCode", "Shift"}, 0},
                   mouse[0],
                   mouse[1],
                   mouse[2],
                   {"KeyDown", {"KeyCode", "Shift"}, 0},
                   {"KeyPress", {"KeyAscii"}, 0}},
                  false);

    expectMembers(all, "ToolbarItems", {"Count"},
                  {{"Add", {"Key", "Caption", "IconIndex", "Style", "Checked", "Enabled"}, 5},
                   {"Clear", {}, 0},
                   {"Item", {"vntIndexKey"}, 0},
                   {"Remove", {"vntIndexKey"}, 0},
                   {"Refresh", {}, 0},
                   newEnum},
                  {{"ItemAdded", {}, 0}, {"ItemChanged", {}, 0}}, true);
    expectMembers(all, "ToolbarItem", {"sKey", "Caption", "IconIndex", "Style", "Checked", "Enabled", "ToolbarMenuItems"},
                  {}, {}, true);
    expectMembers(all, "quilToolbar",
                  {"ToolbarItems", "BackColor", "ForeColor", "SelectionColor", "MenuImageList", "ImageList", "Enabled",
                   "Font"},
                  {{"ID", {}, 0}},
                  {{"ItemClicked", {"ItemIndex", "ItemKey"}, 0},
                   {"MenuItemClicked", {"ItemIndex", "ItemKey", "MenuItemIndex", "MenuItemKey"}, 0}},
                  false);

    expectMembers(all, "sf_Information", {"Count"},
                  {{"Add", {"Path", "Filename", "DateTime", "Attrib", "Size", "sKey"}, 1},
                   {"Item", {"vntIndexKey"}, 0},
                   {"Remove", {"vntIndexKey"}, 0},
                   newEnum},
                  {}, true);
    expectMembers(all, "sf_InformationValue", {"Path", "Filename", "DateTime", "Attrib", "Size"}, {}, {}, true);
    expectMembers(all, "Search", {"Separator"},
                  {{"Search_File", {"sDirectory", "sFileToSearch", "FileAttributes", "cFoundFiles"}, 0},
                   {"Search_Directory", {"sDirectory", "sDirToSearch", "cFoundDirs"}, 0},
                   {"ScanPathforFiles", {"SearchPath", "sFilter", "cFoundFiles"}, 0},
                   {"ScanPathforPaths", {"SearchPath", "cFoundFiles"}, 0}},
                  {}, true);

    // What the controls hand out is typed, so a container can follow it.
    EXPECT_TRUE(section(all, "class quilListbox").contains("property ListboxItems : quil::ComboDatas*"));
    EXPECT_TRUE(section(all, "class quilPUMenu").contains("property MenuItem : quil::MenuItems*"));
    EXPECT_TRUE(section(all, "class quilToolbar").contains("property ToolbarItems : quil::ToolbarItems*"));
}
