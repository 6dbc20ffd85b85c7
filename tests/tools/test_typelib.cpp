// The published description, as quil-typelib prints it, against the class
// table and the enumerations the library promises its users.
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

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
    const QStringList value = section(all, "class sf_InformationValue");
    EXPECT_EQ(value, QStringList({"property Path : QString", "property Filename : QString",
                                  "property DateTime : QString", "property Attrib : short", "property Size : QString"}));
    EXPECT_TRUE(section(all, "class Search").contains("property Separator : uchar"));
    EXPECT_TRUE(section(all, "class IconExtractor").contains("property MaskColor : OLE_COLOR"));

    EXPECT_EQ(section(all, "class quilToolbar"),
              QStringList({"property BackColor : OLE_COLOR = &HFFFFFF", "property ForeColor : OLE_COLOR = &HC00000",
                           "property SelectionColor : OLE_COLOR = &H80FF",
                           "property MenuImageList : QObject* = Nothing", "property ImageList : QObject*",
                           "property Enabled : bool = True", "property Font : QFont = Ambient.Font",
                           "event ItemClicked(short& ItemIndex, QString& ItemKey)",
                           "event MenuItemClicked(short& ItemIndex, QString& ItemKey, short& MenuItemIndex, "
                           "QString& MenuItemKey)",
                           "method ID() -> short"}));
    EXPECT_EQ(section(all, "class MenuItem"),
              QStringList({"property Key : QString", "property Caption : QString", "property Icon : short",
                           "property Enabled : bool", "property Child : QString", "property Group : QString",
                           "property ItemType : quil::eItemType", "property Checked : bool", "property Bold : bool"}));
    EXPECT_TRUE(section(all, "class ComboData").contains("property Value : QString"));
    EXPECT_EQ(section(all, "class MenuItemListings"), QStringList({"property Count : int"}));
    EXPECT_EQ(section(all, "class ToolbarItems"), QStringList({"event ItemAdded()", "event ItemChanged()"}));
    EXPECT_EQ(section(all, "class ToolbarItem"),
              QStringList({"property sKey : QString", "property Caption : QString", "property IconIndex : short",
                           "property Style : quil::eMenuItemType", "property Checked : bool",
                           "property Enabled : bool"}));
}
