// Placement, the choice of backend, and the X11 backend on a real X server.
#include "platform/desktop/Desktop.h"
#include "platform/desktop/X11Backend.h"
#include "platform/registry/Registry.h"
#include "../support/Doubles.h"
#include "../support/TestHome.h"
#include "../support/Xvfb.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Placement, FromTheTwoRegistryValues)
{
    EXPECT_EQ(PlacementFromValues("2", "0"), Placement::Stretched);
    EXPECT_EQ(PlacementFromValues("0", "1"), Placement::Tiled);
    EXPECT_EQ(PlacementFromValues("0", "0"), Placement::Centered);
    EXPECT_EQ(PlacementFromValues(QString(), QString()), Placement::Stretched);
    EXPECT_EQ(PlacementFromValues("6", QString()), Placement::Centered);
}

TEST(Placement, RenderedPixels)
{
    // A 4 x 2 picture: left half red, right half green.
    QImage pic(4, 2, QImage::Format_RGB32);
    pic.fill(Qt::green);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            pic.setPixel(x, y, qRgb(255, 0, 0));

    const QImage tiled = RenderPlacement(pic, QSize(10, 5), Placement::Tiled);
    EXPECT_EQ(tiled.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(tiled.pixel(2, 0), qRgb(0, 255, 0));
    EXPECT_EQ(tiled.pixel(4, 2), qRgb(255, 0, 0));
    EXPECT_EQ(tiled.pixel(9, 4), qRgb(255, 0, 0)) << "x 9 is column 1 of the third tile";

    const QImage centred = RenderPlacement(pic, QSize(10, 6), Placement::Centered);
    EXPECT_EQ(centred.pixel(2, 1), qRgb(0, 0, 0));
    EXPECT_EQ(centred.pixel(3, 2), qRgb(255, 0, 0));
    EXPECT_EQ(centred.pixel(6, 3), qRgb(0, 255, 0));
    EXPECT_EQ(centred.pixel(7, 3), qRgb(0, 0, 0));

    const QImage big = RenderPlacement(pic, QSize(2, 2), Placement::Centered);
    EXPECT_EQ(big.pixel(0, 0), qRgb(255, 0, 0)) << "a larger picture is cropped about its centre";
    EXPECT_EQ(big.pixel(1, 0), qRgb(0, 255, 0));

    const QImage stretched = RenderPlacement(pic, QSize(40, 20), Placement::Stretched);
    EXPECT_EQ(stretched.pixel(2, 10), qRgb(255, 0, 0));
    EXPECT_EQ(stretched.pixel(37, 10), qRgb(0, 255, 0));
}

TEST(DesktopChoice, OverrideAndSession)
{
    TestHome home;
    const QByteArray display = qgetenv("DISPLAY");
    QString note;
    qputenv("MURIVO_DESKTOP", "none");
    EXPECT_EQ(ChooseDesktopBackend(&note)->name(), "none");
    qputenv("MURIVO_DESKTOP", "X11");
    EXPECT_EQ(ChooseDesktopBackend(&note)->name(), "x11");
    qputenv("MURIVO_DESKTOP", "amiga");
    qputenv("DISPLAY", ":9");
    note.clear();
    EXPECT_EQ(ChooseDesktopBackend(&note)->name(), "x11");
    EXPECT_TRUE(note.contains("amiga"));
    qunsetenv("MURIVO_DESKTOP");
    qunsetenv("DISPLAY");
    auto none = ChooseDesktopBackend(&note);
    EXPECT_EQ(none->name(), "none");
    QString err;
    EXPECT_FALSE(none->apply("/x/Wallpaper.bmp", Placement::Stretched, &err)) << "no desktop is a failure";
    EXPECT_TRUE(err.contains("DISPLAY"));
    if (!display.isNull())
        qputenv("DISPLAY", display);
}

TEST(Desktop, ReadsThePlacementFromTheRegistryAtEachCall)
{
    TestHome home;
    Registry reg(home.config() + "/reg.json", home.config() + "/autostart");
    auto rec = std::make_unique<RecordingDesktopBackend>();
    auto* calls = rec.get();
    Desktop desktop(reg, std::move(rec));
    const QString bmp = home.picture("Wallpaper.bmp", Qt::red, QSize(4, 4), "BMP");
    EXPECT_TRUE(desktop.SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, bmp, SPIF_UPDATEINIFILE));
    HKEY k = 0;
    reg.RegCreateKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &k);
    reg.RegSetValueExA(k, "WallpaperStyle", 0, REG_SZ, "0");
    reg.RegSetValueExA(k, "TileWallpaper", 0, REG_SZ, "1");
    EXPECT_TRUE(desktop.SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, bmp, SPIF_UPDATEINIFILE));
    EXPECT_FALSE(desktop.SystemParametersInfoA(19, 0, bmp, 0)) << "other actions are unknown";
    ASSERT_EQ(calls->calls.size(), 2u);
    EXPECT_EQ(calls->calls[0].placement, Placement::Stretched);
    EXPECT_EQ(calls->calls[1].placement, Placement::Tiled);
    calls->fail = true;
    EXPECT_FALSE(desktop.SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, bmp, SPIF_UPDATEINIFILE));
    EXPECT_FALSE(desktop.lastError().isEmpty());
}

TEST(X11Backend, RootShowsThePictureAndThePreviousPixmapIsFreed)
{
    Xvfb x(64, 48);
    ASSERT_TRUE(x.ok()) << x.error().toStdString();
    TestHome home;
    X11Backend backend(x.name());

    QImage pic(32, 24, QImage::Format_RGB32);
    pic.fill(qRgb(250, 10, 20));
    const QString bmp = home.path("Wallpaper.bmp");
    ASSERT_TRUE(pic.save(bmp, "BMP"));
    QString err;
    ASSERT_TRUE(backend.apply(bmp, Placement::Centered, &err)) << err.toStdString();
    QImage root = x.rootImage();
    EXPECT_EQ(root.pixel(32, 24), qRgb(250, 10, 20));
    EXPECT_EQ(root.pixel(2, 2), qRgb(0, 0, 0));
    const unsigned long first = x.rootProperty("_XROOTPMAP_ID");
    EXPECT_NE(first, 0u);
    EXPECT_EQ(first, x.rootProperty("ESETROOT_PMAP_ID"));
    EXPECT_TRUE(x.drawableExists(first)) << "the pixmap outlives its connection";

    pic.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(pic.save(bmp, "BMP"));
    ASSERT_TRUE(backend.apply(bmp, Placement::Stretched, &err)) << err.toStdString();
    root = x.rootImage();
    EXPECT_EQ(root.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(root.pixel(63, 47), qRgb(0, 0, 255));
    const unsigned long second = x.rootProperty("_XROOTPMAP_ID");
    EXPECT_NE(second, first);
    EXPECT_FALSE(x.drawableExists(first)) << "the previous pixmap was not freed";
    EXPECT_TRUE(x.drawableExists(second));
}

TEST(X11Backend, NoServerAndBadBitmapAreReported)
{
    TestHome home;
    X11Backend nowhere(":987");
    const QString bmp = home.picture("w.bmp", Qt::red, QSize(2, 2), "BMP");
    QString err;
    EXPECT_FALSE(nowhere.apply(bmp, Placement::Stretched, &err));
    EXPECT_TRUE(err.contains(":987")) << err.toStdString();
    EXPECT_FALSE(nowhere.apply(home.path("missing.bmp"), Placement::Stretched, &err));
    EXPECT_TRUE(err.contains("missing.bmp"));
}
