// Pictures in the viewer and the slideshow (decoded on a worker at the size
// shown, big photos included), and the Save command when the settings file
// cannot be written.
#include "Fixture.h"

#include "shell/slideshow.h"

#include <QBuffer>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace murivo;

namespace {

frmImagem* openViewer(MainWindowFixture& f, int index, const QString& path)
{
    f.form->ThumbsCtl1_ImageDblClick(index, path);
    frmImagem* v = nullptr;
    const bool open = QTest::qWaitFor([&] {
        v = f.form->findChild<frmImagem*>();
        return v && v->isVisible();
    }, 30000);
    return open ? v : nullptr;
}

bool viewerGone(MainWindowFixture& f)
{
    return QTest::qWaitFor([&] { return f.form->findChild<frmImagem*>() == nullptr; }, 5000);
}

} // namespace

TEST(Viewer, ABigPictureIsScaledIntoTheScreenAndEscClosesIt)
{
    MainWindowFixture f;
    const QString wide = f.home.picture("pics/wide.jpg", Qt::blue, QSize(1920, 1080), "JPG");
    const QString small = f.pic("small.jpg", Qt::green);
    const QString forty = f.home.picture("pics/forty megapixels.jpg", Qt::red, QSize(8000, 5000), "JPG");
    f.makeList({wide, small, forty});
    f.load();

    frmImagem* v = openViewer(f, 1, wide);
    ASSERT_NE(v, nullptr) << "the viewer never opened";
    EXPECT_EQ(v->windowTitle(), "Full Screen view");
    EXPECT_EQ(v->windowModality(), Qt::ApplicationModal);
    const QRect free = v->screen()->availableGeometry();
    ASSERT_LT(free.width(), 1920) << "the test screen must be smaller than the picture";
    EXPECT_TRUE(free.contains(v->frameGeometry())) << "the whole window, frame and all, is on the screen";
    EXPECT_EQ(v->picImagemOriginal.size(), v->size());
    EXPECT_NEAR(double(v->width()) / v->height(), 1920.0 / 1080.0, 0.01) << "scaled, not cut";
    const QImage shown = v->picImagemOriginal.pixmap().toImage();
    EXPECT_NEAR(qBlue(shown.pixel(shown.width() - 1, shown.height() - 1)), 255, 8) << "the picture's far corner is shown";
    QTest::keyClick(v, Qt::Key_Escape);
    EXPECT_TRUE(viewerGone(f)) << "Esc closes the viewer";

    v = openViewer(f, 2, small);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->size(), QSize(40, 30)) << "a small picture keeps its size";
    QTest::keyClick(v, Qt::Key_Escape);
    EXPECT_TRUE(viewerGone(f)) << "Esc closes it for small pictures too";

    // Over Qt's own allocation limit; shown scaled, decoded on the worker.
    v = openViewer(f, 3, forty);
    ASSERT_NE(v, nullptr) << (f.boxes.shown.empty() ? std::string() : f.boxes.shown.back().text.toStdString());
    EXPECT_TRUE(free.contains(v->frameGeometry()));
    EXPECT_NEAR(double(v->width()) / v->height(), 8000.0 / 5000.0, 0.01);
    v->close();
    EXPECT_TRUE(viewerGone(f));
    EXPECT_TRUE(f.boxes.shown.empty()) << f.boxes.texts().join('\n').toStdString();
}

TEST(Viewer, APictureCutShortIsRefusedByName)
{
    MainWindowFixture f;
    QImage photo(900, 600, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x & 0xff, y & 0xff, (x * y) & 0xff));
    QDir().mkpath(f.home.path("pics"));
    QByteArray bytes;
    {
        QBuffer b(&bytes);
        b.open(QIODevice::WriteOnly);
        photo.save(&b, "JPG", 90);
    }
    const QString cut = f.home.path("pics/cut short.jpg");
    QFile out(cut);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.left(bytes.size() / 2));
    out.close();
    f.makeList({cut});
    f.load();
    f.boxes.shown.clear();
    f.form->ThumbsCtl1_ImageDblClick(1, cut);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.boxes.shown.empty(); }, 20000));
    EXPECT_TRUE(f.boxes.shown[0].text.contains(cut)) << f.boxes.shown[0].text.toStdString();
    EXPECT_TRUE(f.boxes.shown[0].text.contains("incomplete")) << f.boxes.shown[0].text.toStdString();
    EXPECT_TRUE(viewerGone(f)) << "no viewer with half a picture";
}

TEST(Slideshow, ABigPictureIsDecodedOnlyAsFarAsTheWindowShows)
{
    MainWindowFixture f;
    const QString forty = f.home.picture("pics/forty.jpg", QColor(200, 30, 30), QSize(8000, 5000), "JPG");
    f.makeList({forty});
    f.load();
    slideshow s(f.paths);
    s.Form_Load();
    EXPECT_TRUE(s.Loading()) << "the window does not wait for the decode";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !s.Loading(); }, 30000));
    EXPECT_EQ(s.ShownPath(), forty);
    EXPECT_EQ(s.pic.pixmap().size(), s.pic.size()) << "natural size, only the part in the window";
    EXPECT_NEAR(qRed(s.pic.pixmap().toImage().pixel(10, 10)), 200, 8);
    EXPECT_TRUE(s.Label1.isHidden());
}

TEST(SettingsSave, AFileThatCannotBeWrittenIsReportedInsteadOfSaved)
{
    MainWindowFixture f;
    f.load();
    // The settings file's place taken by a folder: no one, root included, can write it.
    const QString file = platform::IniProgramSettings::fileFor(kApp);
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    f.boxes.shown.clear();
    f.form->Check4.setChecked(true);
    f.form->GlossButton6_Click();
    ASSERT_FALSE(f.boxes.shown.empty());
    EXPECT_FALSE(f.boxes.texts().contains("Settings have been saved.")) << f.boxes.texts().join('\n').toStdString();
    EXPECT_TRUE(f.boxes.shown.back().text.contains("could not be saved")) << f.boxes.shown.back().text.toStdString();
    EXPECT_TRUE(f.boxes.shown.back().text.contains(file));
    EXPECT_EQ(f.boxes.shown.back().title, "Murivo 1.1");

    QDir(file).removeRecursively();
    f.boxes.shown.clear();
    f.form->GlossButton6_Click();
    EXPECT_EQ(f.boxes.texts(), QStringList({"Settings have been saved."})) << "saved once it can be written";
}
