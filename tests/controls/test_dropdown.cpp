// quilDropDown: the date text, values set from code (no pick, no event, no
// entry 1 in their place), the type kept when set again, the printer, drive
// and font lists from fixed sources, picks through the real list and
// calendar, the panel's watch with an injected pointer and buttons, the
// stored Enabled flag, persistence, layout and the frame's pixels.
#include "DropDownFixture.h"

#include "TestHome.h"
#include "composite/quilDropDown_p.h"
#include "composite/quilMonthview_p.h"
#include "frame/Gradient.h"

#include <quilObjects/ImageList.h>
#include <quilObjects/Routines.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilScrollBar.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <cmath>

using namespace quil;
using quiltest::at;

TEST(DropDown, DateTextReplacesInOrderAndCaseSensitively)
{
    EXPECT_EQ(quilDropDown::FormatDate("dd.mm.yyyy", 5, 3, 2007), "05.03.2007");
    EXPECT_EQ(quilDropDown::FormatDate("d/m/yy", 7, 9, 2008), "7/9/08");
    EXPECT_EQ(quilDropDown::FormatDate("yyyy-mm-dd", 1, 1, 2005), "2005-01-01");
    EXPECT_EQ(quilDropDown::FormatDate("DD.MM.YYYY", 1, 1, 2005), "DD.MM.YYYY");

    Form f;
    EXPECT_EQ(f.box->Text(), "01.01.2005");
    QSignalSpy picked(f.box, &quilDropDown::ValueChanged);
    // A new pattern shows the next time the date is shown.
    f.box->setDateFormat("d/m/yy");
    EXPECT_EQ(f.box->Text(), "01.01.2005");
    f.box->setDay(7);
    EXPECT_EQ(f.box->Text(), "7/1/05");
    EXPECT_EQ(picked.count(), 0);
}

TEST(DropDown, ANewDropDownIsSetUpAsALoadedOneIs)
{
    Form f;
    // Date type: the calendar fills the panel, the date picture is loaded.
    EXPECT_EQ(f.box->AppliedType(), ctDateBox);
    EXPECT_EQ(f.box->Panel()->size(), f.box->Calendar()->size());
    EXPECT_FALSE(f.box->Calendar()->isHidden());
    EXPECT_TRUE(f.box->List()->isHidden());
    EXPECT_EQ(f.box->TypeImages()->Count(), 1);
    EXPECT_EQ(f.box->TypeIcon(), 1);
    // The stored flag's default False does not disable the control.
    EXPECT_FALSE(f.box->EnabledFlag());
    EXPECT_TRUE(f.box->isEnabled());
    EXPECT_TRUE(f.box->TextField()->isEnabled());
}

TEST(DropDown, EnabledIsAStoredFlagThatChangesNeitherInputNorLook)
{
    Form f;
    const QImage before = f.box->Face();
    QSignalSpy changed(f.box, &quilControl::PropertyChanged);
    f.box->setProperty("Enabled", true);
    f.box->setEnabledFlag(false);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toString(), "Enabled");
    EXPECT_TRUE(f.box->isEnabled());
    EXPECT_EQ(f.box->Face(), before);

    quiltest::RecordingBag bag;
    f.box->WriteProperties(bag);
    EXPECT_FALSE(bag.contains("Enabled"));
    f.box->setEnabledFlag(true);
    f.box->WriteProperties(bag);
    EXPECT_EQ(bag.ReadProperty("Enabled", false).toBool(), true);
}

TEST(DropDown, FontListIsSortedWithoutBlanksOrCaseTwins)
{
    Form f;
    f.box->setComboType(ctFontSelect);
    EXPECT_EQ(f.captions(), (QStringList{"alpha", "Beta Serif", "Mono", "Zeta Sans"}));
    EXPECT_TRUE(f.box->List()->ValueFont());
    // Fonts have no pictures: none is drawn although TypeIcon is 1.
    EXPECT_EQ(f.box->TypeIcon(), 1);
    EXPECT_EQ(f.box->TypeImages()->Count(), 0);
    const quint32 face = f.box->Scheme().FaceTop;
    for (int y = 2; y < f.box->height() - 2; ++y)
        for (int x = 2; x < 22; ++x)
            ASSERT_EQ(at(*f.box, x, y), face) << x << "," << y;
}

TEST(DropDown, AValueSetFromCodeIsNoPickAndAMissingOneChangesNothing)
{
    Form f;
    f.box->setComboType(ctFontSelect);
    QSignalSpy picked(f.box, &quilDropDown::ValueChanged);
    f.box->setFontName("Mono");
    EXPECT_EQ(f.box->Text(), "Mono");
    EXPECT_EQ(f.box->TextField()->cursorPosition(), 0) << "a long name shows its beginning";
    EXPECT_EQ(f.box->List()->SelectedItem(), f.indexOf("Mono"));

    // Nothing matches: the list keeps its selection, the box its text, and
    // entry 1 is never put in the value's place.
    f.box->setFontName("No Such Font");
    EXPECT_EQ(f.box->FontName(), "No Such Font");
    EXPECT_EQ(f.box->Text(), "Mono");
    EXPECT_EQ(f.box->List()->SelectedItem(), f.indexOf("Mono"));

    // Opening the panel selects the value quietly too.
    f.box->setFontName("Zeta Sans");
    f.box->OpenPanel();
    EXPECT_TRUE(f.box->Panel()->isVisible());
    EXPECT_EQ(f.box->List()->SelectedItem(), f.indexOf("Zeta Sans"));
    EXPECT_EQ(f.box->FontName(), "Zeta Sans");
    EXPECT_EQ(picked.count(), 0);
}

TEST(DropDown, SettingTheSameTypeKeepsItsListAndANewTypeFillsAnew)
{
    Form f;
    f.box->setComboType(ctFontSelect);
    const auto entries = f.box->Entries();
    ASSERT_EQ(entries->Count(), 4);
    f.system.fonts = {"Other"};
    f.box->setComboType(ctFontSelect);
    f.box->SetComboType();
    f.box->setDateFormat("yyyy");
    EXPECT_EQ(f.box->Entries()->Count(), 4);

    f.box->setComboType(ctPrinterSelect);
    EXPECT_EQ(f.box->Entries()->Count(), 3);
    // The colour type has no list and no picture, not another type's.
    f.box->setComboType(ctColorPicker);
    EXPECT_EQ(f.box->TypeIcon(), 0);
    EXPECT_TRUE(f.box->List()->isHidden());
    EXPECT_EQ(f.box->TypeImages()->Count(), 4);
    f.box->setComboType(ctFontSelect);
    EXPECT_EQ(f.captions(), QStringList{"Other"});
}

TEST(DropDown, PrintersShowNetworkNamesWithoutBackslashesAndMarkTheDefault)
{
    Form f;
    f.box->setComboType(ctPrinterSelect);
    EXPECT_EQ(f.captions(), (QStringList{"office", "srv\\laser", "lab"}));
    const auto items = f.box->Entries();
    EXPECT_EQ(items->Item(1)->Icon(), 3);   // the default, local
    EXPECT_EQ(items->Item(2)->Icon(), 2);   // "\\" makes it a network printer
    EXPECT_EQ(items->Item(3)->Icon(), 2);   // remote by the system's word
    EXPECT_FALSE(items->Item(1)->Key().isEmpty());

    QSignalSpy picked(f.box, &quilDropDown::ValueChanged);
    f.box->setPrinterName("not installed");
    EXPECT_EQ(f.box->Text(), "");
    EXPECT_EQ(picked.count(), 0);

    // The user's pick: through the real list, while the panel is open.
    f.box->OpenPanel();
    quilListbox* list = f.box->List();
    const int row = list->RowHeight();
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(30, row + row / 2 + 1));
    EXPECT_EQ(picked.count(), 1);
    EXPECT_EQ(f.box->PrinterName(), "\\\\srv\\laser");
    EXPECT_EQ(f.box->Text(), "srv\\laser");
    EXPECT_EQ(f.box->TypeIcon(), 2);
    EXPECT_FALSE(f.box->Panel()->isVisible());
}

TEST(DropDown, DrivesListDesktopComputerVolumesDocumentsNetworkAndDesktopFolders)
{
    TestHome home;
    const QString desktop = home.path("Schreibtisch mit Leer");
    QDir().mkpath(desktop + "/Projekte");
    QDir().mkpath(desktop + "/alt");
    QDir().mkpath(desktop + "/.versteckt");
    QFile(desktop + "/notiz.txt").open(QIODevice::WriteOnly);
    QFile dirs(home.config() + "/user-dirs.dirs");
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    // Documents names a folder that is not there: its row is skipped.
    dirs.write(("XDG_DESKTOP_DIR=\"" + desktop + "\"\nXDG_DOCUMENTS_DIR=\"" + home.path("missing") + "\"\n").toUtf8());
    dirs.close();

    Form f;
    f.system.volumes = {{"/", "system", "", VolumeEntry::Fixed, true},
                        {"/media/stick", "STICK", "", VolumeEntry::Removable, true},
                        {"/media/cdrom", "", "", VolumeEntry::CD, false},
                        {"/mnt/z", "", "//server/data", VolumeEntry::Network, true}};
    f.box->setComboType(ctDriveSelect);
    EXPECT_EQ(f.captions(), (QStringList{"Desktop", "\tComputer", "\t\t(/) system", "\t\t(/media/stick) STICK",
                                         "\t\t(/media/cdrom)", "\t\t(/mnt/z) data [server/]", "Network", "alt",
                                         "Projekte"}))
        << f.box->FillError().toStdString();
    const auto items = f.box->Entries();
    std::vector<short> icons;
    for (int i = 1; i <= items->Count(); ++i)
        icons.push_back(items->Item(i)->Icon());
    EXPECT_EQ(icons, (std::vector<short>{5, 7, 1, 2, 3, 4, 8, 9, 9}));
    EXPECT_EQ(items->Item(1)->Value(), desktop);
    EXPECT_EQ(items->Item(9)->Value(), desktop + "/Projekte");
    EXPECT_EQ(items->Item(3)->Value(), "/");
    EXPECT_EQ(f.box->TypeImages()->Count(), 9);
    // The stored default "C:" matches nothing and shows nothing.
    EXPECT_EQ(f.box->DriveLetter(), "C:");
    EXPECT_EQ(f.box->Text(), "");

    // Without a desktop folder nothing of it is listed, never the root's folders.
    QFile::remove(home.config() + "/user-dirs.dirs");
    QDir(desktop).removeRecursively();
    qputenv("HOME", home.path("").toUtf8());
    f.box->setComboType(ctFontSelect);
    f.box->setComboType(ctDriveSelect);
    qunsetenv("HOME");
    EXPECT_FALSE(f.captions().contains("Desktop"));
    EXPECT_EQ(f.captions().first(), "\tComputer");
    EXPECT_TRUE(f.box->FillError().isEmpty());
}

TEST(DropDown, VolumesAreClassifiedAndPseudoFileSystemsLeftOut)
{
    EXPECT_TRUE(IsPseudoFileSystem("tmpfs"));
    EXPECT_TRUE(IsPseudoFileSystem("overlay"));
    EXPECT_TRUE(IsPseudoFileSystem("proc"));
    EXPECT_FALSE(IsPseudoFileSystem("ext4"));
    EXPECT_FALSE(IsPseudoFileSystem("vfat"));
    EXPECT_EQ(ClassifyVolume("cifs", "//srv/x", false), VolumeEntry::Network);
    EXPECT_EQ(ClassifyVolume("fuse.sshfs", "me@host:/x", false), VolumeEntry::Network);
    EXPECT_EQ(ClassifyVolume("iso9660", "/dev/loop0", false), VolumeEntry::CD);
    EXPECT_EQ(ClassifyVolume("vfat", "/dev/sr0", false), VolumeEntry::CD);
    EXPECT_EQ(ClassifyVolume("vfat", "/dev/sdb1", true), VolumeEntry::Removable);
    EXPECT_EQ(ClassifyVolume("ext4", "/dev/sda1", false), VolumeEntry::Fixed);
    EXPECT_EQ(VolumeCaption({"/srv/nfs", "", "host:/export/data", VolumeEntry::Network, true}),
              "(/srv/nfs) data [host:/export/]");
    EXPECT_EQ(VolumeCaption({"/mnt/share", "", "hostshare", VolumeEntry::Network, true}), "(/mnt/share) hostshare");

    // The live table: no pseudo file system of this machine is offered.
    for (const VolumeEntry& v : LiveVolumes()) {
        EXPECT_FALSE(v.mountPoint.startsWith("/proc")) << v.mountPoint.toStdString();
        EXPECT_FALSE(v.mountPoint.startsWith("/sys")) << v.mountPoint.toStdString();
        EXPECT_NE(v.mountPoint, "/dev");
    }
    const QStringList fonts = LiveFonts();
    EXPECT_FALSE(fonts.isEmpty());
    QSet<QString> folded;
    for (const QString& name : fonts) {
        EXPECT_FALSE(QFontDatabase::isPrivateFamily(name)) << name.toStdString();
        EXPECT_FALSE(folded.contains(name.toCaseFolded())) << name.toStdString();
        folded.insert(name.toCaseFolded());
    }
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache",
                            "@C:\\WINDOWS\\system32\\SHELL32.dll,-9217", "x"),
              "Network");
}

TEST(DropDown, TheWatchClosesThePanelOnlyForAPressOutsideBoxAndPanel)
{
    Form f(100);
    f.box->setComboType(ctFontSelect);
    // A narrow box still opens a panel 177 pixels wide.
    EXPECT_EQ(f.box->Panel()->width(), quilDropDown::PanelMinWidth);
    QSignalSpy picked(f.box, &quilDropDown::ValueChanged);

    f.system.buttons = Qt::LeftButton;   // still held from the opening click
    f.pointer.pos = QPoint(2000, 2000);
    f.box->OpenPanel();
    const QRect panel = f.box->Panel()->frameGeometry();
    EXPECT_EQ(panel.topLeft(), f.box->mapToGlobal(QPoint(0, f.box->height())));
    quilDropDownPrivate::of(f.box).FocusTick();
    EXPECT_TRUE(f.box->Panel()->isVisible());

    f.system.buttons = {};
    quilDropDownPrivate::of(f.box).FocusTick();
    // A press inside the panel, outside its list or on it, keeps it open.
    f.pointer.pos = panel.topLeft() + QPoint(5, 5);
    f.system.buttons = Qt::LeftButton;
    quilDropDownPrivate::of(f.box).FocusTick();
    EXPECT_TRUE(f.box->Panel()->isVisible());
    // So does a press on the box itself.
    f.pointer.pos = f.box->mapToGlobal(QPoint(3, 3));
    quilDropDownPrivate::of(f.box).FocusTick();
    EXPECT_TRUE(f.box->Panel()->isVisible());

    // A right press elsewhere closes it; the watch ends at the next tick outside.
    f.pointer.pos = QPoint(2000, 2000);
    f.system.buttons = Qt::RightButton;
    quilDropDownPrivate::of(f.box).FocusTick();
    EXPECT_FALSE(f.box->Panel()->isVisible());
    EXPECT_FALSE(f.box->PanelOpen());
    EXPECT_FALSE(f.box->Watching());
    EXPECT_EQ(picked.count(), 0);

    // A press on another widget of the program closes it at once, before any tick.
    f.system.buttons = {};
    f.box->OpenPanel();
    QWidget other(&f.host);
    other.setGeometry(200, 40, 50, 30);
    other.show();
    QTest::mousePress(&other, Qt::LeftButton);
    EXPECT_FALSE(f.box->Panel()->isVisible());
    QTest::mouseRelease(&other, Qt::LeftButton);
    // One on the panel's own list does not.
    f.box->OpenPanel();
    QTest::mousePress(f.box->List()->ScrollBar(), Qt::LeftButton, {}, QPoint(8, 40));
    EXPECT_TRUE(f.box->Panel()->isVisible());
    QTest::mouseRelease(f.box->List()->ScrollBar(), Qt::LeftButton, {}, QPoint(8, 40));
    EXPECT_EQ(picked.count(), 0);
    // So does another program taking the user.
    f.box->OpenPanel();
    QApplicationStateChangeEvent away(Qt::ApplicationInactive);
    QCoreApplication::sendEvent(qApp, &away);
    EXPECT_FALSE(f.box->Panel()->isVisible());
    f.box->OpenPanel();
    // Hiding the form takes the panel with it.
    f.host.hide();
    EXPECT_FALSE(f.box->Panel()->isVisible());
}

TEST(DropDown, KeysMoveTheSelectionInTheOpenPanelAndOnlyEnterPicks)
{
    Form f;
    f.box->setComboType(ctFontSelect);
    f.box->setFontName("Beta Serif");
    QSignalSpy picked(f.box, &quilDropDown::ValueChanged);
    QLineEdit* field = f.box->TextField();
    QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(f.box->Panel()->isVisible());
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);   // stops at the last entry
    EXPECT_EQ(picked.count(), 0);
    EXPECT_TRUE(f.box->Panel()->isVisible());
    EXPECT_EQ(f.box->FontName(), "Beta Serif");
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(picked.count(), 1);
    EXPECT_EQ(f.box->FontName(), "Mono");
    EXPECT_FALSE(f.box->Panel()->isVisible());
    // Escape closes without a pick; Enter with the panel closed is the field's.
    QTest::keyClick(field, Qt::Key_F4);
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Escape);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(f.box->Panel()->isVisible());
    EXPECT_EQ(picked.count(), 1);
    EXPECT_EQ(f.box->FontName(), "Mono");
}

TEST(DropDown, ADateIsPickedByADoubleClickOnTheSelectedDayOnly)
{
    Form f;
    f.box->setDay(10);
    f.box->setMonth(4);
    f.box->setYear(2024);
    QSignalSpy picked(f.box, &quilDropDown::ValueChanged);
    f.box->OpenPanel();
    quilMonthview* mw = f.box->Calendar();
    EXPECT_EQ(mw->iDay(), 10);
    EXPECT_EQ(mw->iMonth(), 4);
    int cell = 0;
    for (int k = 1; k <= 42 && !cell; ++k)
        if (quilMonthviewPrivate::of(mw).CellAt(k).Day == 17)
            cell = k;
    ASSERT_NE(cell, 0);
    const auto& c = quilMonthviewPrivate::of(mw).CellAt(cell);
    const QPoint centre(c.X + c.Width / 2, c.Y + c.Height / 2);
    QTest::mouseMove(mw, centre);
    QTest::mouseClick(mw, Qt::LeftButton, {}, centre);
    EXPECT_TRUE(f.box->Panel()->isVisible());
    EXPECT_EQ(picked.count(), 0);
    EXPECT_EQ(f.box->Day(), 10);

    QTest::mouseDClick(mw, Qt::LeftButton, {}, centre);
    EXPECT_FALSE(f.box->Panel()->isVisible());
    EXPECT_EQ(picked.count(), 1);
    EXPECT_EQ(f.box->Day(), 17);
    EXPECT_EQ(f.box->Month(), 4);
    EXPECT_EQ(f.box->Text(), "17.04.2024");
}

TEST(DropDown, TheOpenDatePanelsDayMovesByKeysAndEnterPicksItAsADoubleClick)
{
    Form f;
    f.host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f.host));
    f.box->setFocus(Qt::TabFocusReason);
    QLineEdit* field = f.box->TextField();
    ASSERT_TRUE(field->hasFocus());
    f.box->setDay(31);
    f.box->setMonth(3);
    f.box->setYear(2024);
    QSignalSpy picked(f.box, &quilDropDown::ValueChanged);
    QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(f.box->Panel()->isVisible());
    quilMonthview* mw = f.box->Calendar();
    QTest::keyClick(field, Qt::Key_PageUp);
    EXPECT_EQ(mw->iDay(), 29) << "a month back from 31 March 2024";
    EXPECT_EQ(mw->iMonth(), 2);
    QTest::keyClick(field, Qt::Key_Right);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(mw->iDay(), 8);
    EXPECT_EQ(mw->iMonth(), 3);
    QTest::keyClick(field, Qt::Key_Left);
    EXPECT_EQ(picked.count(), 0) << "moving is not picking";
    EXPECT_EQ(f.box->Day(), 31);
    EXPECT_TRUE(field->hasFocus()) << "the box keeps the focus while its panel is open";
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(f.box->Panel()->isVisible());
    EXPECT_EQ(picked.count(), 1);
    EXPECT_EQ(f.box->Text(), "07.03.2024");

    // Escape closes without a change; the focus stays on the box.
    QTest::keyClick(field, Qt::Key_F4);
    ASSERT_TRUE(f.box->Panel()->isVisible());
    QTest::keyClick(field, Qt::Key_End);
    EXPECT_EQ(mw->iDay(), 31);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(f.box->Panel()->isVisible());
    EXPECT_EQ(picked.count(), 1);
    EXPECT_EQ(f.box->Text(), "07.03.2024");
    EXPECT_TRUE(field->hasFocus());
    // Closed, the arrows are no longer the calendar's.
    QTest::keyClick(field, Qt::Key_Left);
    EXPECT_EQ(mw->iDay(), 31);
}

TEST(DropDown, TheHostHearsTheBoxsKeysFirstAndAZeroedKeyIsTaken)
{
    Form f;
    f.box->setDay(10);
    f.box->setMonth(4);
    f.box->setYear(2024);
    QLineEdit* field = f.box->TextField();
    QStringList heard;
    short zero = 0;
    QObject::connect(f.box, &quilDropDown::KeyDown, [&](short& code, short& shift) {
        heard << QString("down %1 %2").arg(code).arg(shift);
        if (code == zero)
            code = 0;
    });
    QObject::connect(f.box, &quilDropDown::KeyUp, [&](short& code, short&) { heard << QString("up %1").arg(code); });
    QObject::connect(f.box, &quilDropDown::KeyPress, [&](short& ascii) { heard << QString("press %1").arg(ascii); });
    QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(f.box->Panel()->isVisible());
    EXPECT_EQ(heard.join(", ").toStdString(), "down 18 4, down 40 4, up 40, up 18") << "Alt, then Down with Alt";
    quilMonthview* mw = f.box->Calendar();
    heard.clear();
    QTest::keyClick(field, Qt::Key_Right);
    EXPECT_EQ(mw->iDay(), 11);
    QTest::keyClick(field, Qt::Key_A);
    EXPECT_EQ(heard.join(", ").toStdString(), "down 39 0, up 39, down 65 0, press 97, up 65");
    // A handler that sets the key to 0 stops the day's move, and Escape's closing.
    zero = 39;
    QTest::keyClick(field, Qt::Key_Right);
    EXPECT_EQ(mw->iDay(), 11);
    zero = 27;
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(f.box->Panel()->isVisible());
    zero = 0;
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(f.box->Panel()->isVisible());
    EXPECT_EQ(f.box->Day(), 10);
}

TEST(DropDown, AHandlerMayDeleteTheDropDownWhileTheListIsInItsClick)
{
    Form f;
    f.box->setComboType(ctFontSelect);
    QPointer<quilDropDown> box(f.box);
    QObject::connect(f.box, &quilDropDown::ValueChanged, [&] { delete box.data(); });
    f.box->OpenPanel();
    quilListbox* list = f.box->List();
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(30, list->RowHeight() / 2 + 1));
    EXPECT_TRUE(box.isNull());
    // The panel goes at the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(DropDown, LoadingAppliesTypeAndValueWithoutAPickAndSavingKeepsDefaultsOut)
{
    FixedSystem system;
    QWidget host;
    quiltest::RecordingBag bag;
    {
        quilDropDown saved(&host);
        saved.setComboType(ctFontSelect);
        saved.setFontName("Beta Serif");
        saved.setTabSelectColor(0x123456);
        saved.WriteProperties(bag);
        EXPECT_FALSE(bag.contains("PrinterName"));
        EXPECT_FALSE(bag.contains("DateFormat"));
        EXPECT_TRUE(bag.contains("TabSelectColor"));
    }
    quilDropDown loaded(&host);
    QSignalSpy picked(&loaded, &quilDropDown::ValueChanged);
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.ComboType(), ctFontSelect);
    EXPECT_EQ(loaded.AppliedType(), ctFontSelect);
    EXPECT_EQ(loaded.FontName(), "Beta Serif");
    EXPECT_EQ(loaded.Text(), "Beta Serif");
    EXPECT_EQ(loaded.TabSelectColor(), 0x123456u);
    EXPECT_EQ(picked.count(), 0);
    // Loading the same type again keeps the list as it is.
    const auto entries = loaded.Entries()->Count();
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.Entries()->Count(), entries);
}

TEST(DropDown, FrameAndTypePictureFollowTheRules)
{
    Form f;
    quilDropDown& b = *f.box;
    // A bigger Font changes the text, not the box's height.
    const int h = b.height();
    EXPECT_EQ(h, QFontMetrics(f.host.font()).height() + 4);
    b.setFont(QFont("DejaVu Sans", 20));
    EXPECT_EQ(b.sizeHint().height(), h);
    EXPECT_EQ(b.TextField()->font().pointSize(), 20);

    const int w = b.width();
    const ColorScheme s = SchemeNormal(0xFFFFFF, 0xC00000, 0xFFFFFF);
    const QWidget* arrow = b.ArrowButton();
    EXPECT_EQ(arrow->geometry(), QRect(w - (h - 4) - 2, 2, h - 4, h - 4));
    EXPECT_EQ(b.TextField()->geometry(), QRect(22, 2, w - 13 - 16 - (h - 4), h - 4));
    // Corners keep the face; the frame's ends as the gradient lines give them.
    for (QPoint p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        EXPECT_EQ(at(b, p.x(), p.y()), s.FaceTop) << p.x() << "," << p.y();
    EXPECT_EQ(at(b, 1, 0), s.EdgeStart);
    EXPECT_EQ(at(b, 0, 1), s.EdgeStart);
    EXPECT_EQ(at(b, 1, h - 1), s.EdgeEnd);
    EXPECT_EQ(at(b, w - 2, h - 1), s.EdgeEnd);
    EXPECT_EQ(at(b, arrow->x() - 2, 1), s.EdgeStart);
    EXPECT_EQ(at(b, 2, 2), s.FaceTop);

    // The date picture: image 1 at x 4, y = SH / 2 - 8 rounded half to even.
    const auto* image = qobject_cast<ListImage*>(b.TypeImages()->ListImages(1));
    ASSERT_NE(image, nullptr);
    const QImage icon = image->ExtractIcon();
    ASSERT_FALSE(icon.isNull());
    const int y0 = static_cast<int>(std::nearbyint(h / 2.0 - 8));
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(icon.pixel(x, y)) == 255) {
                const QRgb p = icon.pixel(x, y);
                ASSERT_EQ(at(b, 4 + x, y0 + y), quiltest::rgb(qRed(p), qGreen(p), qBlue(p))) << x << "," << y;
                ++drawn;
            }
    EXPECT_GT(drawn, 0);
}

TEST(DropDown, AssistiveTechnologyHearsAComboBoxWithItsText)
{
    Form f;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(f.box);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::ComboBox);
    EXPECT_EQ(a->text(QAccessible::Value), "01.01.2005");
}

TEST(DropDown, AMountOverAnotherListsTheTopOneAndADuplicatePrinterStopsTheFill)
{
    Form f;
    // The same mount point twice (a mount over a mount): one row, the later one's.
    f.system.volumes = {{"/data", "Old", "", VolumeEntry::Fixed, true},
                        {"/media/x", "X", "", VolumeEntry::Removable, true},
                        {"/data", "New", "", VolumeEntry::Fixed, true}};
    f.box->setComboType(ctDriveSelect);
    EXPECT_TRUE(f.box->FillError().isEmpty()) << f.box->FillError().toStdString();
    const QStringList drives = f.captions();
    EXPECT_EQ(drives.indexOf("\t\t(/data) New") + 1, drives.indexOf("\t\t(/media/x) X"));
    EXPECT_FALSE(drives.contains("\t\t(/data) Old"));
    EXPECT_TRUE(drives.contains("Network"));

    // A name listed twice is a key taken twice: the fill stops, keeping what it listed.
    f.system.printers.printers = {{"one", false}, {"two", false}, {"one", false}, {"three", false}};
    f.box->setComboType(ctPrinterSelect);
    EXPECT_FALSE(f.box->FillError().isEmpty());
    EXPECT_EQ(f.captions(), (QStringList{"one", "two"}));
    f.system.printers.printers.pop_back();
    f.system.printers.printers.pop_back();
    f.box->setComboType(ctFontSelect);
    f.box->setComboType(ctPrinterSelect);
    EXPECT_TRUE(f.box->FillError().isEmpty());
}
