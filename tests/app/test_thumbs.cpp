// The thumbnail grid on real picture files made by the tests.
#include "thumbs/ThumbsCtl.h"
#include "platform/picture/Picture.h"
#include "../support/Doubles.h"
#include "../support/TestHome.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QImageReader>
#include <QThreadPool>
#include <QUrl>
#include <QSignalSpy>
#include <QTimer>
#include <QWheelEvent>
#include <QKeyEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace murivo;

namespace {

// A control whose surface is the given width in twips, with automatic columns.
std::unique_ptr<ThumbsCtl> grid(platform::ScriptedMessageBoxService& boxes, double interiorTwips = 11010)
{
    auto t = std::make_unique<ThumbsCtl>(nullptr, &boxes);
    t->setSurfaceWidthTwips(interiorTwips);
    return t;
}

// The grid never waits for a decode; a test lets them come back.
void settle(ThumbsCtl& t)
{
    if (!QTest::qWaitFor([&] { return t.Pending() == 0; }, 120000))
        ADD_FAILURE() << t.Pending() << " decodes never came back";
}

QString writeFile(TestHome& home, const QString& rel, const QByteArray& bytes)
{
    const QString p = home.path(rel);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return p;
}

// A PNG whose header claims w x h pixels with no picture data: PNG decoders
// cannot scale while decoding, so its whole size counts.
QByteArray HugePng(quint32 w, quint32 h)
{
    auto be32 = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int k = 0; k < 4; ++k)
            b[k] = static_cast<char>((v >> (24 - 8 * k)) & 0xff);
        return b;
    };
    auto crc32 = [](const QByteArray& b) {
        quint32 c = 0xffffffffu;
        for (char ch : b) {
            c ^= static_cast<uchar>(ch);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
        }
        return ~c;
    };
    auto chunk = [&](const QByteArray& body) { return be32(static_cast<quint32>(body.size() - 4)) + body + be32(crc32(body)); };
    const QByteArray ihdr = "IHDR" + be32(w) + be32(h) + QByteArray("\x08\x02\0\0\0", 5);   // 8-bit RGB
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk(ihdr) + chunk(QByteArray("IDAT\x78\x9c", 6)) + chunk("IEND");
}

} // namespace

TEST(ThumbsLayout, AutomaticColumnsFollowTheSurfaceWidth)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    const QString pic = home.picture("p/a.jpg", Qt::red, QSize(40, 30), "JPG");
    auto six = grid(boxes, 11010);
    for (int i = 0; i < 7; ++i)
        six->AddItem(pic);
    EXPECT_EQ(six->CellTwips(6).left, 5 * 1835.0) << "11010 twips hold six columns";
    EXPECT_EQ(six->CellTwips(7).left, 0.0) << "the seventh starts the second row";
    EXPECT_EQ(six->CellTwips(7).top, 1790.0 + 200);
    EXPECT_EQ(six->InteriorTwips().height, 3820.0) << "seven items in six columns: two rows";

    auto five = grid(boxes, 11009);
    for (int i = 0; i < 6; ++i)
        five->AddItem(pic);
    EXPECT_EQ(five->CellTwips(6).left, 0.0) << "11009 twips hold five";

    auto none = grid(boxes, 1834);
    none->AddItem(pic);
    EXPECT_FALSE(none->HasCell(1)) << "narrower than one column shows nothing";
    EXPECT_EQ(none->ListCount(), 1);

    auto fixed = grid(boxes, 1834);
    fixed->setColumnType(1);
    fixed->setColumns(2);
    fixed->AddItem(pic);
    fixed->AddItem(pic);
    EXPECT_EQ(fixed->CellTwips(2).left, 1835.0) << "fixed columns ignore the width";
}

TEST(ThumbsLayout, FitThumbKeepsTheShape)
{
    FittedSize f = FitThumb(4, 3);
    EXPECT_DOUBLE_EQ(f.w, 1635);
    EXPECT_DOUBLE_EQ(f.h, 1635.0 * 3 / 4);
    f = FitThumb(3, 4);
    EXPECT_DOUBLE_EQ(f.h, 1500);
    EXPECT_DOUBLE_EQ(f.w, 1500.0 * 3 / 4);
    f = FitThumb(2, 1);
    EXPECT_DOUBLE_EQ(f.w, 1635);
    EXPECT_DOUBLE_EQ(f.h, 817.5);
    f = FitThumb(5, 5);
    EXPECT_DOUBLE_EQ(f.w, 1500);
    EXPECT_DOUBLE_EQ(f.h, 1500);
    f = FitThumb(1000, 950);   // flatter than 1635 : 1500 allows
    EXPECT_DOUBLE_EQ(f.h, 1500);
    EXPECT_NEAR(f.w, 1578.947, 0.001);
}

TEST(ThumbsLayout, ThumbnailsAreCentredInTheirCellsAndDecodedAtTheirSize)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    auto t = grid(boxes);
    t->AddItem(home.picture("p/wide.jpg", Qt::blue, QSize(400, 300), "JPG"));
    t->AddItem(home.picture("p/tall.gif", Qt::green, QSize(30, 40), "GIF"));
    t->AddItem(home.picture("p/sq.bmp", Qt::red, QSize(50, 50), "BMP"));
    settle(*t);
    const auto w = t->ThumbTwips(1);
    EXPECT_EQ(w.width, 1635);
    EXPECT_EQ(w.height, 1226) << "1226.25 rounded";
    EXPECT_DOUBLE_EQ(w.left, (1725 - 1635) / 2.0);
    EXPECT_DOUBLE_EQ(w.top, (1680 - 1226) / 2.0 + 200);
    EXPECT_EQ(t->ThumbImageOf(1).size(), QSize(109, 82)) << "decoded at the shown size, not 400 x 300";
    EXPECT_EQ(t->ThumbTwips(2).height, 1500);
    EXPECT_EQ(t->ThumbTwips(2).width, 1125);
    EXPECT_DOUBLE_EQ(t->ThumbTwips(2).left, 1835 + (1725 - 1125) / 2.0);
    EXPECT_EQ(t->ThumbTwips(3).width, 1500);
    EXPECT_EQ(t->SizeText(1), "400 x 300") << "the true pixel size";
    EXPECT_EQ(t->SizeText(2), "30 x 40");
    EXPECT_NEAR(qRed(t->ThumbImageOf(3).pixel(10, 10)), 255, 2);
}

TEST(ThumbsTooltips, NameKilobytesAndPixelSize)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    const QString beach = home.picture("p/beach.jpg", Qt::yellow, QSize(64, 48), "JPG");
    {
        QFile f(beach);
        f.open(QIODevice::Append);
        f.write(QByteArray(150000 - static_cast<int>(f.size()), '\0'));   // JPEG readers ignore what follows the end marker
    }
    ASSERT_EQ(QFileInfo(beach).size(), 150000);
    auto t = grid(boxes);
    t->AddItem(beach);
    settle(*t);
    EXPECT_EQ(t->ToolTipOf(1), "beach.jpg (146k) - 64 x 48");
    // Asked for by the pointer resting on the thumbnail's cell.
    t->resize(800, 300);
    t->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(t.get()));
    const QPoint at = t->ThumbRect(1).topLeft() - QPoint(0, 3);
    QWidget* view = t->childAt(at);
    ASSERT_NE(view, nullptr);
    QHelpEvent help(QEvent::ToolTip, view->mapFrom(t.get(), at), t->mapToGlobal(at));
    QApplication::sendEvent(view, &help);
    EXPECT_EQ(QToolTip::text(), "beach.jpg (146k) - 64 x 48");
    QToolTip::hideText();
    t->setImageToolTip(false);
    EXPECT_EQ(t->ToolTipOf(1), "");
    t->setImageToolTip(true);
    EXPECT_EQ(t->ToolTipOf(1), "beach.jpg (146k) - 64 x 48");
}

TEST(ThumbsItems, RemoveItemClearAndItemData)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    const QString a = home.picture("p/a.jpg", Qt::red), b = home.picture("p/b.jpg", Qt::green), c = home.picture("p/c.jpg", Qt::blue);
    auto t = grid(boxes);
    t->AddItem(a);
    t->AddItem(b);
    t->AddItem(c);
    settle(*t);
    t->RemoveItem(2);
    settle(*t);
    EXPECT_EQ(t->ListCount(), 2);
    EXPECT_EQ(t->ItemData(1), a);
    EXPECT_EQ(t->ItemData(2), c);
    EXPECT_TRUE(t->Loaded(2));
    EXPECT_FALSE(t->Loaded(3));
    EXPECT_NEAR(qBlue(t->ThumbImageOf(2).pixel(5, 5)), 255, 2) << "c was reloaded as item 2";
    t->RemoveItem(7);
    EXPECT_EQ(t->ListCount(), 2) << "an index above ListCount changes nothing";
    EXPECT_EQ(t->ItemData(0), "");
    EXPECT_THROW(t->ItemData(3), std::out_of_range);
    EXPECT_THROW(t->ItemData(-1), std::out_of_range);
    t->Clear();
    EXPECT_EQ(t->ListCount(), 0);
    EXPECT_FALSE(t->Loaded(1));
}

TEST(ThumbsItems, ScanPathTakesTheFourExtensionsAndFolders)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    home.picture("scan/A.JPEG", Qt::red, QSize(8, 8), "JPG");
    home.picture("scan/b.jpg", Qt::red, QSize(8, 8), "JPG");
    home.picture("scan/c.png", Qt::red, QSize(8, 8), "PNG");
    home.picture("scan/D.Gif", Qt::red, QSize(8, 8), "GIF");
    home.picture("scan/e.bMp", Qt::red, QSize(8, 8), "BMP");
    home.picture("scan/.hidden.jpg", Qt::red, QSize(8, 8), "JPG");
    QDir().mkpath(home.path("scan/d.gif"));
    home.picture("scan/sub/inner.jpg", Qt::red, QSize(8, 8), "JPG");
    auto t = grid(boxes);
    t->ScanPath(home.path("scan"));
    settle(*t);
    QStringList names;
    for (const QString& p : t->Paths())
        names << QFileInfo(p).fileName();
    names.sort(Qt::CaseInsensitive);
    EXPECT_EQ(names, QStringList({"A.JPEG", "b.jpg", "D.Gif", "d.gif", "e.bMp"}));
    EXPECT_EQ(t->ToolTipOf(static_cast<int>(t->Paths().indexOf(home.path("scan/d.gif"))) + 1).contains("folder"), true)
        << "the folder named like a picture gets an empty cell saying why";
    t->ScanPath(home.path("missing"));   // no such folder: nothing, no message
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(ThumbsFaults, BrokenPicturesGetAnEmptyCellAndTheLayoutGoesOn)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    const QString good = home.picture("p/good.jpg", Qt::red, QSize(80, 60), "JPG");
    QFile g(good);
    g.open(QIODevice::ReadOnly);
    const QByteArray jpeg = g.readAll();
    auto t = grid(boxes);
    t->AddItem(good);
    t->AddItem(writeFile(home, "p/zero.jpg", {}));
    t->AddItem(writeFile(home, "p/text.gif", "not a picture at all"));
    t->AddItem(writeFile(home, "p/cut.jpg", jpeg.left(20)));
    t->AddItem(good);
    settle(*t);
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(t->Loaded(i)) << "item " << i << " has its cell";
    EXPECT_FALSE(t->ThumbImageOf(1).isNull());
    EXPECT_FALSE(t->ThumbImageOf(5).isNull()) << "the items after the broken ones are loaded";
    EXPECT_TRUE(t->ThumbImageOf(2).isNull());
    EXPECT_TRUE(t->ToolTipOf(2).contains("empty")) << t->ToolTipOf(2).toStdString();
    EXPECT_TRUE(t->ToolTipOf(3).startsWith("text.gif cannot be shown")) << t->ToolTipOf(3).toStdString();
    EXPECT_EQ(t->ThumbTwips(5).left, 4 * 1835 + (1725 - 1635) / 2.0) << "numbering kept";
    EXPECT_TRUE(boxes.shown.empty()) << "broken pictures are no reason for a box";
}

TEST(ThumbsFaults, TooBigPicturesSayTheirMessageOncePerLayout)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    // 200000 x 200000 pixels (160 GB decoded): more than any machine's budget of whole decodes.
    const QString huge = writeFile(home, "p/huge.png", HugePng(200000, 200000));
    auto t = grid(boxes);
    t->setColumnType(1);
    t->setColumns(1);
    t->Clear();
    QStringList many{huge, huge, home.picture("p/ok.jpg", Qt::red)};
    for (const QString& p : many)
        t->Items << p;
    t->LayoutThumbs();
    settle(*t);
    EXPECT_EQ(boxes.texts(), QStringList({"This Picture is to big."}));
    EXPECT_EQ(boxes.shown[0].flags, platform::vbCritical);
    EXPECT_EQ(boxes.shown[0].title, "Murivo 1.1");
    EXPECT_TRUE(t->ToolTipOf(2).contains("200000 x 200000")) << t->ToolTipOf(2).toStdString();
    EXPECT_TRUE(t->ToolTipOf(2).contains("more than this machine can spare")) << t->ToolTipOf(2).toStdString();
    EXPECT_FALSE(t->ThumbImageOf(3).isNull());
    EXPECT_EQ(t->SizeText(1), "200000 x 200000");
    // Thumbnails leave Qt's process-wide limit where whole decodes need it:
    // a 100-megapixel photo (400 MB) must still load as a wallpaper.
    EXPECT_GE(QImageReader::allocationLimit(), 400);
}

TEST(ThumbsFaults, APictureWithinTheMachinesBudgetIsShownHoweverBig)
{
    // 9000 x 9000 pixels (324 MB decoded, a GIF is read whole): what the
    // wallpaper can use, the grid shows too.
    if (!platform::PictureBudget::Fits(QSize(9000, 18000)))
        GTEST_SKIP() << "this machine cannot spare 650 MB for one picture";
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    QByteArray gif = TestHome::solidGif(QSize(1, 1), Qt::red);
    for (int at : {6, 24})
        for (int k : {0, 2}) {
            gif[at + k] = static_cast<char>(9000 & 0xff);
            gif[at + k + 1] = static_cast<char>(9000 >> 8);
        }
    auto t = grid(boxes);
    t->AddItem(writeFile(home, "p/big.gif", gif));
    settle(*t);
    EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join(" | ").toStdString();
    EXPECT_FALSE(t->ThumbImageOf(1).isNull()) << t->ToolTipOf(1).toStdString();
    EXPECT_EQ(t->SizeText(1), "9000 x 9000");
}

TEST(ThumbsEvents, OnlyThumbnailsRaiseThemWithTheirNumbers)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    auto t = grid(boxes);
    t->resize(800, 300);
    t->show();
    t->AddItem(home.picture("p/a.jpg", Qt::red));
    t->AddItem(home.picture("p/b.jpg", Qt::green));
    settle(*t);
    QSignalSpy click(t.get(), &ThumbsCtl::ImageClick), dbl(t.get(), &ThumbsCtl::ImageDblClick),
        down(t.get(), &ThumbsCtl::ImageMouseDown), up(t.get(), &ThumbsCtl::ImageMouseUp);
    const QRect second = t->ThumbRect(2);
    ASSERT_FALSE(second.isEmpty());
    const QPoint at = second.topLeft() + QPoint(3, 4);
    QWidget* view = t->childAt(at);
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(view, Qt::RightButton, {}, view->mapFrom(t.get(), at));
    ASSERT_EQ(click.count(), 1);
    EXPECT_EQ(click[0][0].toInt(), 2);
    EXPECT_EQ(click[0][1].toString(), t->ItemData(2));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down[0][1].toInt(), 2) << "the right button";
    EXPECT_FLOAT_EQ(down[0][3].toFloat(), 45.0f) << "x in twips within the thumbnail";
    EXPECT_EQ(up.count(), 1);

    // The grey border of a cell around its thumbnail is not the thumbnail.
    const QPoint border = t->ThumbRect(1).topLeft() - QPoint(0, 2);
    QWidget* under = t->childAt(border);
    QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(t.get(), border));
    EXPECT_EQ(click.count(), 1);
    EXPECT_EQ(down.count(), 1);

    QTest::mouseDClick(view, Qt::LeftButton, {}, view->mapFrom(t.get(), at));
    ASSERT_EQ(dbl.count(), 1);
    EXPECT_EQ(dbl[0][0].toInt(), 2);
}

TEST(ThumbsFaults, OneBitPicturesAreScaledAsGreyNotAHatch)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    // A fine black-and-white checkerboard: shrunk, it is grey.
    QImage mono(400, 300, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            mono.setPixel(x, y, (x + y) % 2);
    for (const char* fmt : {"BMP", "PNG"}) {
        const QString p = home.path(QString("p/mono.%1").arg(QString(fmt).toLower()));
        QDir().mkpath(QFileInfo(p).absolutePath());
        ASSERT_TRUE(mono.save(p, fmt));
        const DecodedThumb d = DecodeThumb(p);
        ASSERT_FALSE(d.image.isNull()) << fmt;
        int extremes = 0;
        for (int y = 10; y < 20; ++y)
            for (int x = 10; x < 20; ++x) {
                const int g = qGray(d.image.pixel(x, y));
                if (g < 60 || g > 195)
                    ++extremes;
            }
        EXPECT_EQ(extremes, 0) << fmt << ": black and white pixels instead of grey";
    }
}

TEST(ThumbsItems, EachItemKeepsTheIdItWasAddedWith)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    const QString a = home.picture("p/a.jpg", Qt::red), b = home.picture("p/b.jpg", Qt::green), c = home.picture("p/c.jpg", Qt::blue);
    auto t = grid(boxes);
    t->AddItem(a, 11);
    t->AddItem(b, 12);
    t->AddItem(c, 13);
    EXPECT_EQ(t->ItemId(2), 12);
    t->RemoveItem(1);
    EXPECT_EQ(t->ItemId(1), 12) << "ids move with their items";
    EXPECT_EQ(t->ItemId(2), 13);
    EXPECT_EQ(t->ItemId(3), -1) << "no such item";
    t->Clear();
    t->AddItem(a);
    EXPECT_EQ(t->ItemId(1), -1);
}

TEST(ThumbsItems, AnotherFolderChosenWhileOneLoadsReplacesIt)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    for (int i = 0; i < 6; ++i)
        home.picture(QString("A/a%1.jpg").arg(i), Qt::red, QSize(40, 30), "JPG");
    home.picture("B/b0.jpg", Qt::blue, QSize(40, 30), "JPG");
    home.picture("B/b1.jpg", Qt::blue, QSize(40, 30), "JPG");
    auto t = grid(boxes);
    t->ScanPath(home.path("A"));
    EXPECT_EQ(t->Pending(), 6) << "the scan returns before any picture is decoded";
    QCoreApplication::processEvents();   // some of A's decodes under way
    t->Clear();
    t->ScanPath(home.path("B"));
    settle(*t);
    QStringList shown;
    for (const QString& p : t->Paths())
        shown << QFileInfo(p).fileName();
    EXPECT_EQ(shown, QStringList({"b0.jpg", "b1.jpg"}));
    for (int i = 1; i <= 2; ++i) {
        ASSERT_FALSE(t->ThumbImageOf(i).isNull());
        EXPECT_GT(qBlue(t->ThumbImageOf(i).pixel(5, 5)), 200) << "no picture of A lands in B's cells";
    }
    EXPECT_FALSE(t->HasCell(3));
}

namespace {
QWheelEvent notch(QWidget& w, QPoint at, int delta)
{
    return QWheelEvent(QPointF(at), QPointF(w.mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
}
} // namespace

TEST(ThumbsScrolling, TheWheelAndTheArrowMoveByRows)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    ThumbsCtl t(nullptr, &boxes);
    t.resize(500, 300);
    t.show();
    const QString pic = home.picture("p/a.jpg", Qt::red, QSize(40, 30), "JPG");
    for (int i = 0; i < 320; ++i)
        t.AddItem(pic);
    settle(t);
    const double top0 = t.InteriorTwips().top;
    t.scrThumbs().triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(top0 - t.InteriorTwips().top, 1790) << "one arrow click scrolls one row";

    // One notch, one row, over a thumbnail, a bare cell and the bar alike.
    const QPoint over = t.ThumbRect(t.scrThumbs().value() * 3 + 1).center();
    ASSERT_FALSE(over.isNull());
    for (QPoint at : {over, QPoint(t.scrThumbs().x() + 3, 40)}) {
        const double before = t.InteriorTwips().top;
        QWidget* under = t.childAt(at);
        ASSERT_NE(under, nullptr);
        QWheelEvent down = notch(t, under->mapFrom(&t, at), -120);
        QApplication::sendEvent(under, &down);
        EXPECT_EQ(before - t.InteriorTwips().top, 1790) << "one notch is one row of " << t.ListCount() / 3;
    }
    // A fine wheel adds up to a notch.
    const double before = t.InteriorTwips().top;
    for (int i = 0; i < 3; ++i) {
        QWheelEvent bit = notch(t, QPoint(20, 20), -40);
        QApplication::sendEvent(t.childAt(QPoint(20, 20)), &bit);
    }
    EXPECT_EQ(before - t.InteriorTwips().top, 1790);
    QWheelEvent back = notch(t, QPoint(20, 20), 120);
    QApplication::sendEvent(t.childAt(QPoint(20, 20)), &back);
    EXPECT_EQ(before, t.InteriorTwips().top) << "and back up";
}

TEST(ThumbsScrolling, TheKeysScrollAsAListDoes)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    QWidget window;
    window.resize(520, 320);
    ThumbsCtl t(&window, &boxes);
    t.setGeometry(0, 0, 500, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QString pic = home.picture("p/a.jpg", Qt::red, QSize(40, 30), "JPG");
    for (int i = 0; i < 60; ++i)
        t.AddItem(pic);
    // A click on the grid gives it the keys.
    QTest::mouseClick(t.childAt(QPoint(5, 5)), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(t.hasFocus());
    QScrollBar& bar = t.scrThumbs();
    const int page = bar.pageStep();
    ASSERT_GE(page, 1);
    QTest::keyClick(window.windowHandle(), Qt::Key_Down);
    EXPECT_EQ(bar.value(), 1);
    QTest::keyClick(window.windowHandle(), Qt::Key_PageDown);
    EXPECT_EQ(bar.value(), 1 + page);
    QTest::keyClick(window.windowHandle(), Qt::Key_Up);
    EXPECT_EQ(bar.value(), page);
    QTest::keyClick(window.windowHandle(), Qt::Key_End);
    EXPECT_EQ(bar.value(), bar.maximum());
    EXPECT_GT(bar.maximum(), 1 + page);
    QTest::keyClick(window.windowHandle(), Qt::Key_PageUp);
    EXPECT_EQ(bar.value(), bar.maximum() - page);
    QTest::keyClick(window.windowHandle(), Qt::Key_Home);
    EXPECT_EQ(bar.value(), 0);

    // A key the grid does not use goes on to its window.
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(&t, &other);
    EXPECT_FALSE(other.isAccepted());
}

TEST(ThumbsScrolling, EveryRowOfTheLongestListCanBeReached)
{
    platform::ScriptedMessageBoxService boxes;
    ThumbsCtl t(nullptr, &boxes);
    t.setDecoder([](const QString&) { return DecodedThumb{}; });
    t.resize(760, 400);
    for (int i = 1; i <= 32767; ++i)
        t.AddItem(QString("/nowhere/p%1.jpg").arg(i));
    ASSERT_TRUE(t.HasCell(32767)) << "every item has its cell before any picture is decoded";
    const double frame = t.FundoTwips().height;
    auto inView = [&](int index) {
        const auto c = t.CellTwips(index);
        const double top = c.top + t.InteriorTwips().top;
        return top >= 0 && top + c.height <= frame;
    };
    QScrollBar& bar = t.scrThumbs();
    bar.setValue(bar.minimum());
    EXPECT_TRUE(inView(1)) << "the first row at the top";
    bar.setValue(bar.maximum());
    EXPECT_TRUE(inView(32767)) << "the last row at the bottom; the bar's maximum is " << bar.maximum();
    bar.setValue(bar.maximum() - 1);
    EXPECT_FALSE(inView(32767)) << "and not sooner";
}


namespace {

// Holds every decode until opened, and records which paths were asked for, in order.
struct Gate {
    std::mutex m;
    std::condition_variable opened;
    bool open = false;
    QStringList asked;

    static ThumbsCtl::Decoder decoder(const std::shared_ptr<Gate>& g)
    {
        return [g](const QString& path) {
            std::unique_lock<std::mutex> lock(g->m);
            g->asked << path;
            g->opened.wait(lock, [&] { return g->open; });
            lock.unlock();
            return DecodeThumb(path);
        };
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(m);
            open = true;
        }
        opened.notify_all();
    }
    QStringList seen()
    {
        std::lock_guard<std::mutex> lock(m);
        return asked;
    }
};

} // namespace

TEST(ThumbsLoading, AShownGridOfFiveThousandHasEveryCellBeforeAnyPicture)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    const QString pic = home.picture("p/a.jpg", Qt::red, QSize(40, 30), "JPG");
    auto gate = std::make_shared<Gate>();
    ThumbsCtl t(nullptr, &boxes);
    t.setDecoder(Gate::decoder(gate));
    t.resize(760, 400);
    for (int i = 0; i < 5000; ++i)
        t.AddItem(pic, i + 1);
    t.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t));
    EXPECT_EQ(t.Pending(), 5000) << "shown before any decode came back";
    EXPECT_TRUE(t.HasCell(1));
    EXPECT_TRUE(t.HasCell(5000));
    EXPECT_FALSE(t.Loaded(1)) << "an empty cell while its picture decodes";
    gate->release();
    settle(t);
    EXPECT_FALSE(t.ThumbRect(1).isEmpty());
    QTest::keyClick(&t, Qt::Key_End);
    EXPECT_TRUE(t.ThumbRect(1).isEmpty()) << "scrolled away";
    const QRect last = t.ThumbRect(5000);
    ASSERT_FALSE(last.isEmpty()) << "the last row is reachable";
    EXPECT_TRUE(t.rect().contains(last));
    // Thumbnails far from the view may have been set aside; those in view come back.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !t.ThumbImageOf(5000).isNull(); }, 60000));
    QSignalSpy click(&t, &ThumbsCtl::ImageClick);
    QWidget* view = t.childAt(last.center());
    QTest::mouseClick(view, Qt::LeftButton, {}, view->mapFrom(&t, last.center()));
    ASSERT_EQ(click.count(), 1);
    EXPECT_EQ(click[0][0].toInt(), 5000);
    EXPECT_EQ(t.ItemId(5000), 5000);
}

TEST(ThumbsLoading, RowsInViewAreDecodedFirst)
{
    platform::ScriptedMessageBoxService boxes;
    auto gate = std::make_shared<Gate>();
    ThumbsCtl t(nullptr, &boxes);
    t.setDecoder(Gate::decoder(gate));
    t.resize(760, 400);
    for (int i = 1; i <= 300; ++i)
        t.AddItem(QString("/nowhere/p%1.jpg").arg(i));
    t.scrThumbs().setValue(t.scrThumbs().maximum());   // before any decode was asked for
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gate->seen().isEmpty(); }, 10000));
    QTest::qWait(50);
    const QStringList first = gate->seen();
    gate->release();
    ASSERT_FALSE(first.isEmpty());
    for (const QString& p : first)
        EXPECT_GE(QFileInfo(p).baseName().mid(1).toInt(), 250) << p.toStdString() << " is not in view";
    settle(t);
    EXPECT_TRUE(t.Loaded(1)) << "the rest follows";
    EXPECT_TRUE(t.ToolTipOf(1).startsWith("p1.jpg cannot be shown"));
}

TEST(ThumbsFaults, TooBigIsSaidOnceForPicturesAddedOneByOne)
{
    TestHome home;
    platform::ScriptedMessageBoxService boxes;
    const QString huge = writeFile(home, "p/huge.png", HugePng(200000, 200000));
    auto t = grid(boxes);
    t->AddItem(huge);
    t->AddItem(home.picture("p/ok.jpg", Qt::red));
    t->AddItem(huge);
    settle(*t);
    EXPECT_EQ(boxes.texts(), QStringList({"This Picture is to big."}));
    EXPECT_TRUE(t->ToolTipOf(3).contains("200000 x 200000"));
    t->Clear();
    t->AddItem(huge);
    settle(*t);
    EXPECT_EQ(boxes.shown.size(), 2u) << "said again for the next pictures shown";
}

TEST(ThumbsLoading, AHungDecodeDoesNotHoldTheGridsEnd)
{
    platform::ScriptedMessageBoxService boxes;
    auto gate = std::make_shared<Gate>();
    std::atomic<bool> ended{false}, rescued{false};
    // Should the end wait for the decode, this opens it after a long while and says so.
    std::thread watchdog([&] {
        for (int i = 0; i < 600 && !ended; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!ended) {
            rescued = true;
            gate->release();
        }
    });
    {
        ThumbsCtl t(nullptr, &boxes);
        t.setDecoder(Gate::decoder(gate));
        t.AddItem("/nowhere/hangs.jpg");
        ASSERT_TRUE(QTest::qWaitFor([&] { return !gate->seen().isEmpty(); }, 10000));
    }
    ended = true;
    watchdog.join();
    gate->release();   // the abandoned decode ends on its own and reports to nobody
    EXPECT_FALSE(rescued) << "the grid's end waited for a decode that never ends";
    QCoreApplication::sendPostedEvents();
}

// Qt's allocation limit is one setting for the whole process: the wallpaper,
// slideshow and viewer decodes raise it to the picture budget, and a
// thumbnail decoded meanwhile must not lower it again.
TEST(ThumbsFaults, AThumbnailLeavesQtsLimitWhereBigPicturesNeedIt)
{
    TestHome home;
    const DecodedThumb d = DecodeThumb(home.picture("p/a.png", Qt::red, QSize(300, 200), "PNG"));
    ASSERT_FALSE(d.image.isNull()) << d.error.toStdString();
    EXPECT_GE(qint64(QImageReader::allocationLimit()) << 20, platform::PictureBudget::Total())
        << "a 100-megapixel picture (400 MB) must still decode after a thumbnail";
}
