// The main window's commands, the tray menu, the About window, the slideshow
// and the viewer, driven in-process on real files.
#include "Fixture.h"

#include "engine/PictureFiles.h"
#include "shell/slideshow.h"
#include "shell/tray.h"

#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace murivo;
using platform::vbNo;
using platform::vbYes;

namespace {

// The slideshow decodes on a worker: wait for the picture asked for.
void decoded(slideshow& s)
{
    if (!QTest::qWaitFor([&] { return !s.Loading(); }, 20000))
        ADD_FAILURE() << "the picture was never decoded";
}

QStringList names(const QStringList& paths)
{
    QStringList out;
    for (const QString& p : paths)
        out << QFileInfo(p).fileName();
    return out;
}
}

TEST(MainWindowSelect, ThumbnailThreeNamedSea)
{
    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red), b = f.pic("b.jpg", Qt::green), sea = f.pic("sea.jpg", Qt::blue);
    f.makeList({a, b, sea});
    f.load();
    f.form->ThumbsCtl1_ImageClick(3, sea);
    EXPECT_EQ(f.form->Label1.text(), "Selected Wallpaper :: sea.jpg" + QString(24, ' ') + "Index :: 3");
    EXPECT_EQ(f.form->Text1.text(), "3");
    EXPECT_EQ(f.form->Text3.text(), sea);
    EXPECT_EQ(FileNameOf("/a/b/c d.jpg"), "c d.jpg");

    const QString longName = f.pic("a-very-long-file-name.jpg", Qt::red);   // 25 characters
    f.form->ThumbsCtl1_ImageClick(2, longName);
    EXPECT_EQ(f.form->Label1.text(), "File name is too large to show.");
    EXPECT_EQ(f.form->Text3.text(), longName) << "the picture clicked is selected all the same";
}

TEST(MainWindowRemove, FirstAndLastAreRemovedAndTheRestRenumbered)
{
    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red), b = f.pic("b.jpg", Qt::green), c = f.pic("c.jpg", Qt::blue);
    f.makeList({a, b, c});
    f.load();
    f.form->GlossButton1_Click();
    EXPECT_EQ(f.boxes.texts(), QStringList({"Please select an item by clicking on it"}));
    f.form->ThumbsCtl1_ImageClick(1, a);
    f.form->GlossButton1_Click();
    EXPECT_EQ(f.rowsInFile(), QStringList({b, c}));
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({b, c}));
    EXPECT_TRUE(f.form->Text1.text().isEmpty());
    f.form->ThumbsCtl1_ImageClick(2, c);
    f.form->GlossButton1_Click();
    EXPECT_EQ(f.rowsInFile(), QStringList({b}));
    EXPECT_EQ(f.boxes.shown.size(), 1u);
}

TEST(MainWindowRemove, AfterARightClickRemovalTheSelectedPictureIsRemoved)
{
    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red), b = f.pic("b.jpg", Qt::green), c = f.pic("c.jpg", Qt::blue);
    f.makeList({a, b, c});
    f.load();
    f.boxes.answer(vbYes);
    f.form->ThumbsCtl1_ImageMouseDown(1, 2, 0, 5, 5, a);
    EXPECT_EQ(f.boxes.shown.back().text, "Remove Item?");
    EXPECT_EQ(f.boxes.shown.back().flags, platform::vbYesNo + platform::vbQuestion + platform::vbDefaultButton2);
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({b, c}));
    EXPECT_EQ(f.rowsInFile(), QStringList({a, b, c})) << "the row stays in the list file";
    f.form->ThumbsCtl1_ImageClick(2, c);
    f.form->GlossButton1_Click();
    EXPECT_EQ(f.rowsInFile(), QStringList({a, b})) << "c is removed, not the row now numbered 2";
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({a, b})) << "the rebuilt view shows the hidden row again";
    f.boxes.answer(vbNo);
    f.form->ThumbsCtl1_ImageMouseDown(1, 2, 0, 5, 5, a);
    EXPECT_EQ(f.form->ThumbsCtl1.ListCount(), 2) << "answered No";
    f.form->ThumbsCtl1_ImageMouseDown(1, 1, 0, 5, 5, a);
    EXPECT_EQ(f.boxes.shown.size(), 2u) << "the left button asks nothing";
}

TEST(MainWindowAdd, AddAllTakesTheFourExtensionsAndFolders)
{
    MainWindowFixture f;
    f.load();
    f.home.picture("folder/A.JPEG", Qt::red, QSize(8, 8), "JPG");
    f.home.picture("folder/b.jpg", Qt::red, QSize(8, 8), "JPG");
    f.home.picture("folder/c.png", Qt::red, QSize(8, 8), "PNG");
    QDir().mkpath(f.home.path("folder/d.gif"));
    f.form->setDir1Path(f.home.path("folder"));
    f.form->GlossButton4_Click();
    EXPECT_EQ(names(f.form->ThumbsCtl1.Paths()), QStringList({"A.JPEG", "b.jpg", "d.gif"}));
    EXPECT_EQ(names(f.rowsInFile()), QStringList({"A.JPEG", "b.jpg", "d.gif"}));
    EXPECT_EQ(names(f.form->ThumbsCtl2.Paths()), QStringList({"A.JPEG", "b.jpg", "d.gif"})) << "the folder view shows the folder";

    // The next start drops the folder named like a picture.
    MainWindowFixture again;
    again.makeList(f.rowsInFile());
    again.load();
    EXPECT_EQ(names(again.rowsInFile()), QStringList({"A.JPEG", "b.jpg"}));
}

TEST(MainWindowAdd, OnePictureTwiceAndRemoveAll)
{
    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red);
    f.makeList({f.pic("z.jpg", Qt::blue)});
    f.load();
    f.form->ThumbsCtl2_ImageDblClick(1, a);
    f.form->ThumbsCtl2_ImageDblClick(1, a);
    EXPECT_EQ(f.form->Text2.text(), a);
    EXPECT_EQ(names(f.rowsInFile()), QStringList({"z.jpg", "a.jpg", "a.jpg"})) << "no check for duplicates";
    EXPECT_EQ(f.form->ListCursor->Fields(0).Value().toString(), f.home.path("pics/z.jpg")) << "the rotation goes on from the first row";

    f.boxes.answer(vbNo);
    f.form->GlossButton2_Click();
    EXPECT_EQ(f.rowsInFile().size(), 3);
    f.boxes.answer(vbYes);
    f.form->GlossButton2_Click();
    EXPECT_TRUE(f.rowsInFile().isEmpty());
    EXPECT_EQ(f.form->ThumbsCtl1.ListCount(), 0);
    EXPECT_EQ(f.boxes.shown[0].text, "All items in the list will be deleted !!!! Are you sure ?");
}

TEST(MainWindowPictures, SetWallpaperAndTheViewerNameABrokenPicture)
{
    MainWindowFixture f;
    const QString bad = f.home.path("pics/bad.jpg");
    QDir().mkpath(f.home.path("pics"));
    {
        QFile b(bad);
        b.open(QIODevice::WriteOnly);
        b.write("no picture");
    }
    const QString good = f.pic("good.jpg", Qt::green);
    f.makeList({bad, good});
    f.load();
    f.form->ThumbsCtl1_ImageClick(1, bad);
    f.form->GlossButton5_Click(); f.settle();
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_TRUE(f.boxes.shown[0].text.contains(bad));
    bool shown = false;
    f.form->showModal = [&](QWidget&) { shown = true; };
    f.form->ThumbsCtl1_ImageDblClick(1, bad);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.boxes.shown.size() == 2; }, 20000));
    EXPECT_FALSE(shown) << "no empty window";
    EXPECT_TRUE(f.boxes.shown.back().text.contains(bad));
    QSize viewerSize;
    f.form->showModal = [&](QWidget& w) {
        shown = true;
        viewerSize = w.findChild<QLabel*>()->size();
    };
    f.form->ThumbsCtl1_ImageDblClick(2, good);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown; }, 20000));
    EXPECT_EQ(viewerSize, QSize(40, 30)) << "the picture's natural size";
    f.form->ThumbsCtl1_ImageClick(2, good);
    f.form->GlossButton5_Click(); f.settle();
    EXPECT_EQ(f.shown(), std::vector<QRgb>({kGreen}));
}

TEST(TrayMenu, SixItemsAboutAndExitAnsweredNo)
{
    MainWindowFixture f;
    f.set(kDailyCheck, "1");
    f.load();
    tray t(f.sv, *f.form);
    t.Form_Load();
    QStringList captions;
    for (QAction* a : t.menuOwner().menu.actions()) {
        captions << a->text();
        EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
    }
    EXPECT_EQ(captions, QStringList({"Exit", "About", "Help", "Visit Website", "Change wallpaper now", " Main"}));
    ASSERT_TRUE(t.Icon);
    EXPECT_EQ(t.Icon->toolTip(), "Murivo Right click for options");
    EXPECT_EQ(Form2::IconKey("Visit Website|@Shutdown Computer|#ie"), "ie");

    f.boxes.answer(vbNo);
    t.mnuExit_Click();
    EXPECT_EQ(f.boxes.shown.back().text, "Are you sure ?");
    EXPECT_TRUE(t.Icon->isVisible());
    EXPECT_TRUE(f.form->Timer1.Enabled()) << "the schedule goes on";
    f.boxes.answer(vbYes);
    t.mnuExit_Click();
    EXPECT_FALSE(t.Icon->isVisible()) << "Exit removes the icon";

    t.menuOwner().settings_Click();
    f.settle();
    EXPECT_EQ(f.boxes.shown.back().text, "There are no wallpapers in the list.Please add some items first.");
    t.menuOwner().main_Click();
    EXPECT_TRUE(f.form->isVisible());

    int closedBy = 0;
    t.menuOwner().showModal = [&](QDialog& d) {
        d.show();
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&d, &esc);
        closedBy += d.result() == QDialog::Accepted && !d.isVisible();
        d.show();
        QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(5, 5));
        closedBy += !d.isVisible();
        d.show();
        d.findChildren<ThemedButton*>().first()->ClickNotify();
        auto* close = d.findChildren<ThemedButton*>().first();
        emit close->Click();
        closedBy += !d.isVisible();
    };
    t.menuOwner().mnuabout_Click();
    EXPECT_EQ(closedBy, 3) << "Escape, a click on the window and Close each close About";
}

TEST(Slideshow, EmptyListOnePicturePauseNextAndWraps)
{
    MainWindowFixture empty;
    empty.load();
    slideshow s0(empty.paths);
    s0.Form_Load();
    decoded(s0);
    EXPECT_FALSE(s0.Label1.isHidden()) << "an empty list shows the message";
    s0.Image2_Click();
    decoded(s0);
    s0.Image3_Click();
    decoded(s0);
    s0.Image4_Click();
    decoded(s0);
    s0.Timer1_Timer();
    decoded(s0);
    EXPECT_TRUE(s0.ShownPath().isEmpty());

    MainWindowFixture one;
    const QString only = one.pic("only.jpg", Qt::red);
    one.makeList({only});
    one.load();
    slideshow s1(one.paths);
    s1.Form_Load();
    decoded(s1);
    EXPECT_EQ(s1.ShownPath(), only);
    for (int i = 0; i < 3; ++i) {
        s1.Timer1_Timer();
        decoded(s1);
        EXPECT_EQ(s1.ShownPath(), only);
    }
    EXPECT_TRUE(s1.Label1.isHidden());

    MainWindowFixture f;
    const QString a = f.pic("a.jpg", Qt::red), b = f.pic("b.jpg", Qt::green), c = f.pic("c.jpg", Qt::blue);
    f.makeList({a, b, c});
    f.load();
    slideshow s(f.paths);
    s.Form_Load();
    decoded(s);
    EXPECT_EQ(s.ShownPath(), a);
    s.Timer1_Timer();
    decoded(s);
    EXPECT_EQ(s.ShownPath(), b);
    s.Image1_Click();
    EXPECT_FALSE(s.Timer1.Enabled()) << "paused";
    s.Image4_Click();
    decoded(s);
    EXPECT_EQ(s.ShownPath(), c) << "next at once";
    EXPECT_TRUE(s.Timer1.Enabled()) << "and the advance resumes";
    s.Timer1_Timer();   // steps past the end: nothing new
    decoded(s);
    EXPECT_EQ(s.ShownPath(), c);
    s.Timer1_Timer();
    decoded(s);
    EXPECT_EQ(s.ShownPath(), b) << "the wrap moved to the first row, this tick to the second";
    s.Image3_Click();
    decoded(s);
    EXPECT_EQ(s.ShownPath(), a);
    s.Image3_Click();   // before the first row: nothing new
    decoded(s);
    EXPECT_EQ(s.ShownPath(), a);
    s.Image3_Click();
    decoded(s);
    EXPECT_EQ(s.ShownPath(), c) << "previous wraps to the last row";
    EXPECT_EQ(f.form->ListCursor->Eof(), true) << "the rotation's cursor never moved";
    s.Timer2_Timer();
    EXPECT_TRUE(s.Picture1.isHidden());
    s.pic_MouseMove();
    EXPECT_FALSE(s.Picture1.isHidden());
    s.Image5_Click();
    EXPECT_FALSE(s.isVisible());
}
