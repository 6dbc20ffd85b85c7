// ThemedButton: faces against pixels computed from their recipes (Style 8's
// worked example included), layout, states, the tip window and OpenLink.
#include "widgets/ThemedButton.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace murivo;
using platform::MemoryPropertyBag;
using platform::RGB;
using platform::ToQRgb;

namespace {

std::unique_ptr<ThemedButton> themed(int w, int h, std::initializer_list<std::pair<const char*, QVariant>> props)
{
    auto b = std::make_unique<ThemedButton>();
    MemoryPropertyBag bag;
    bag.values["Caption"] = QString();   // text stays out of exact-pixel checks
    for (auto& [k, v] : props)
        bag.values[k] = v;
    b->SetSize(w, h);
    b->ReadProperties(bag);
    b->Show();
    return b;
}

QRgb px(const ThemedButton& b, int x, int y) { return b.Surface().Image().pixel(x, y) | 0xff000000u; }
QRgb rgb(int r, int g, int b) { return qRgb(r, g, b); }

} // namespace

TEST(ThemedStyle8, TheWorkedExample)
{
    const int W = 75, H = 23;
    auto b = themed(W, H, {{"Style", 8}});
    b->PaintState(1);
    EXPECT_EQ(px(*b, 30, 2), rgb(227, 223, 215)) << "body starts at F + 15";
    EXPECT_EQ(px(*b, 30, H - 4), rgb(197, 193, 185)) << "and ends at F - 15";
    EXPECT_EQ(px(*b, 30, 1), rgb(255, 255, 255)) << "bevel F + 96, clamped";
    EXPECT_EQ(px(*b, 1, 10), rgb(255, 255, 255));
    EXPECT_EQ(px(*b, 30, H - 3), rgb(212, 208, 200)) << "bottom inner line in F";
    for (QPoint p : {QPoint(30, 0), QPoint(0, 10), QPoint(30, H - 2), QPoint(W - 2, 10), QPoint(1, 1), QPoint(W - 3, H - 3)})
        EXPECT_EQ(px(*b, p.x(), p.y()), rgb(164, 160, 152)) << "frame K at " << p.x() << "," << p.y();
    for (QPoint p : {QPoint(30, H - 1), QPoint(W - 1, 10), QPoint(W - 4, H - 1), QPoint(W - 2, H - 3)})
        EXPECT_EQ(px(*b, p.x(), p.y()), rgb(185, 181, 173)) << "shadow at " << p.x() << "," << p.y();
    EXPECT_EQ(px(*b, W - 3, H - 1), rgb(200, 196, 188)) << "corner diagonal";
    EXPECT_EQ(px(*b, W - 2, H - 2), rgb(200, 196, 188));
    EXPECT_FALSE(b->InShape(0, 0)) << "octagon B";
    EXPECT_TRUE(b->InShape(2, 0));

    b->EnterFocus();
    b->PaintState(1);
    EXPECT_EQ(px(*b, 30, 0), rgb(116, 112, 104)) << "focused frame K = base - 96";
    EXPECT_EQ(px(*b, 30, H - 1), rgb(137, 133, 125));
    EXPECT_EQ(px(*b, W - 3, H - 1), rgb(152, 148, 140));
    EXPECT_EQ(px(*b, 30, 2), rgb(227, 223, 215)) << "the body does not change with focus";

    b->ExitFocus();
    b->PaintState(2);
    EXPECT_EQ(px(*b, 30, 2), rgb(242, 238, 230)) << "state 2: F = sys(15) + 15";
    EXPECT_EQ(px(*b, 30, H - 4), rgb(212, 208, 200));
    EXPECT_EQ(px(*b, 30, 0), rgb(164, 160, 152));
}

TEST(ThemedStyles, Style7RightColumnStyle9OddHeightAndStyle10Skins)
{
    auto s7 = themed(60, 24, {{"Style", 7}});
    s7->PaintState(1);
    const QRgb frame = ToQRgb(ThemedButton::AddToChannels(ThemedButton::AddToChannels(RGB(212, 208, 200), 8), -96));
    EXPECT_EQ(px(*s7, 59, 0), frame) << "the right column's ends keep the frame colour";
    EXPECT_EQ(px(*s7, 59, 23), frame);
    EXPECT_EQ(px(*s7, 59, 1), ToQRgb(ThemedButton::AddToChannels(RGB(212, 208, 200), -21)));
    EXPECT_EQ(px(*s7, 0, 0), ToQRgb(ThemedButton::AddToChannels(RGB(212, 208, 200), 8))) << "the left column's ends stay background";

    auto s9 = themed(60, 23, {{"Style", 9}});
    s9->PaintState(1);
    const platform::OLE_COLOR F = ThemedButton::AddToChannels(RGB(212, 208, 200), -15);
    EXPECT_EQ(px(*s9, 2, 8), ToQRgb(ThemedButton::AddToChannels(F, -37))) << "column 2 upper part: rows 4 to 4 + round(4.5)";
    EXPECT_EQ(px(*s9, 2, 9), ToQRgb(F)) << "round(4.5) is 4, so row 9 stays";
    EXPECT_EQ(px(*s9, 2, 10), ToQRgb(ThemedButton::AddToChannels(F, -37))) << "lower part starts at round(9.5) = 10";

    auto a = themed(80, 30, {{"Style", 10}});
    a->PaintState(1);
    EXPECT_EQ(px(*a, 5, 15), rgb(213, 213, 213));
    EXPECT_EQ(px(*a, 1, 15), rgb(160, 160, 160));
    EXPECT_EQ(px(*a, 79, 15), rgb(246, 246, 246));
    EXPECT_EQ(px(*a, 76, 15), rgb(195, 195, 195)) << "right column W - 4";
    EXPECT_EQ(px(*a, 40, 0), rgb(106, 105, 103));
    EXPECT_EQ(px(*a, 40, 28), rgb(84, 84, 84));
    EXPECT_EQ(px(*a, 40, 29), rgb(197, 197, 197));
    EXPECT_EQ(px(*a, 40, 15), rgb(232, 231, 234)) << "centre";
    a->PaintState(2);
    EXPECT_EQ(px(*a, 40, 15), rgb(106, 166, 226)) << "skin B when hot";
    EXPECT_EQ(px(*a, 0, 15), rgb(247, 247, 247)) << "skin B keeps the outer light column";
    EXPECT_EQ(px(*a, 2, 15), rgb(19, 46, 113));
    a->PaintState(3);
    EXPECT_EQ(px(*a, 40, 15), rgb(106, 155, 204)) << "skin C when pressed";

    auto narrow = themed(30, 23, {{"Style", 10}});
    narrow->PaintState(1);
    EXPECT_EQ(px(*narrow, 5, 12), rgb(213, 213, 213)) << "edges are drawn as usual";
    EXPECT_EQ(px(*narrow, 15, 3), rgb(238, 238, 238));
    EXPECT_EQ(narrow->EdgeMargin(), 7);
}

TEST(ThemedHelpers, SaturatingChannelsAndGreys)
{
    EXPECT_EQ(ThemedButton::AddToChannels(RGB(250, 10, 100), 128), RGB(255, 138, 228));
    EXPECT_EQ(ThemedButton::AddToChannels(RGB(250, 10, 100), -128), RGB(122, 0, 0));
    EXPECT_EQ(ThemedButton::LightenColor(RGB(0, 128, 255), 0), RGB(0, 128, 255));
    EXPECT_EQ(ThemedButton::LightenColor(RGB(0, 128, 255), 255), RGB(255, 255, 255));
    EXPECT_EQ(ThemedButton::AverageColor(RGB(1, 2, 3), RGB(2, 2, 6)), RGB(2, 2, 4)) << "halves round to even";

    ThemedButton b;
    platform::Surface target(4, 1);
    QImage icon(3, 1, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgba(0x80, 0x80, 0x80, 255));
    icon.setPixel(1, 0, qRgba(0x90, 0x90, 0x90, 255));
    icon.setPixel(2, 0, qRgba(250, 250, 250, 255));
    ASSERT_TRUE(b.PaintIconGrayscale(&target, icon, 0, 0, 1, 3));
    EXPECT_EQ(target.Point(0, 0), qRgb(0x80, 0x80, 0x80)) << "a kept grey";
    EXPECT_EQ(target.Point(1, 0), qRgb(0x94, 0x94, 0x94)) << "0x909090 is not kept: 1.03 x 144";
    EXPECT_EQ(target.Point(2, 0), qRgb(255, 255, 255)) << "capped";
    EXPECT_FALSE(b.PaintIconGrayscale(nullptr, icon, 0, 0, 1, 3));
    EXPECT_FALSE(b.PaintIconGrayscale(&target, QImage(), 0, 0, 1, 3));
}

TEST(ThemedProperties, DefaultsBagNamesAndOrder)
{
    ThemedButton fresh;
    fresh.InitProperties("ThemedButton1");
    EXPECT_EQ(fresh.Style(), 0) << "a newly placed control";
    EXPECT_EQ(fresh.Caption(), "ThemedButton1");

    ThemedButton read;
    MemoryPropertyBag empty;
    read.ReadProperties(empty);
    EXPECT_EQ(read.Style(), 3) << "an empty bag reads Style 3";
    EXPECT_EQ(read.Caption(), "ThemedButton");
    EXPECT_EQ(empty.read.count("ToolTipText"), 2) << "ToolTipText is read twice";
    EXPECT_LT(empty.read.indexOf("CaptionAlign"), empty.read.indexOf("IconAlign"));
    EXPECT_LT(empty.read.indexOf("UseMaskColor"), empty.read.indexOf("MaskColor"));

    read.setCaption(QString());
    MemoryPropertyBag out;
    read.WriteProperties(out);
    EXPECT_FALSE(out.contains("Caption")) << "an empty caption equals the write default";
    EXPECT_EQ(out.written.first(), "Icon");
    EXPECT_EQ(out.written.last(), "bRTLText");
    for (const char* name : {"iNonThemeStyle", "USeCustomColors", "Tooltiptitle", "ttBackColor", "ttForeColor", "bRTLText"})
        EXPECT_TRUE(out.written.contains(name)) << name;
    ThemedButton back;
    back.ReadProperties(out);
    EXPECT_EQ(back.Caption(), "ThemedButton");
}

TEST(ThemedLayout, IconAndCaptionPlacementAndMinimumSize)
{
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(qRgb(255, 0, 0));
    auto b = themed(60, 40, {{"Style", 0}, {"Icon", icon}, {"IconAlign", 5}, {"CaptionAlign", 5}});
    EXPECT_EQ(px(*b, 0, 0), rgb(255, 0, 0)) << "IconAlign 5 puts the icon at (0, 0)";
    EXPECT_EQ(b->CaptionRect(), (platform::RECT{4, 4, 56, 36})) << "CaptionAlign 5 keeps the full rectangle";
    EXPECT_EQ(b->CaptionFormat(), 17u) << "and the previous format";
    b->setIconAlign(2);
    EXPECT_EQ(px(*b, 60 - 16 - 3, 12), rgb(255, 0, 0)) << "right: W - size - margin";
    b->setCaptionAlign(1);
    EXPECT_EQ(b->CaptionFormat(), 20u);
    b->setRightToLeft(true);
    b->ResizeNotify();
    EXPECT_EQ(b->CaptionFormat(), 20u | 0x20000u);

    auto tiny = themed(8, 5, {{"Style", 0}});
    EXPECT_EQ(tiny->width(), 20) << "at least 300 twips";
    EXPECT_EQ(tiny->height(), 20);
}

TEST(ThemedIcons, Style4ShadowWithAndWithoutMaskColour)
{
    QImage icon(16, 16, QImage::Format_RGB32);
    icon.fill(qRgb(255, 0, 0));
    auto plain = themed(40, 40, {{"Style", 4}, {"Icon", icon}, {"IconAlign", 0}});
    plain->PaintState(2);
    EXPECT_EQ(px(*plain, 10, 10), rgb(255, 0, 0)) << "the icon 2 pixels up and left of its place (12, 12)";
    EXPECT_EQ(px(*plain, 27, 27), rgb(128, 128, 128)) << "the silhouette at the icon's own place";
    EXPECT_EQ(px(*plain, 28, 28), ToQRgb(ThemedButton::LightenColor(RGB(10, 36, 106), 176)));

    auto masked = themed(40, 40, {{"Style", 4}, {"Icon", icon}, {"IconAlign", 0}, {"UseMaskColor", true}});
    masked->PaintState(2);
    EXPECT_EQ(px(*masked, 28, 28), rgb(128, 128, 128)) << "the silhouette 1 down and right";
    EXPECT_EQ(px(*masked, 26, 26), rgb(255, 0, 0)) << "the icon 1 up and left";
    EXPECT_EQ(px(*masked, 10, 10), rgb(255, 0, 0)) << "and again 2 up and left";

    QImage withMask(16, 16, QImage::Format_RGB32);
    withMask.fill(qRgb(192, 192, 192));
    withMask.setPixel(5, 5, qRgb(0, 0, 255));
    auto m = themed(40, 40, {{"Style", 4}, {"Icon", withMask}, {"IconAlign", 0}, {"UseMaskColor", true}});
    m->PaintState(1);
    EXPECT_EQ(px(*m, 17, 17), rgb(0, 0, 255));
    EXPECT_NE(px(*m, 18, 18), rgb(192, 192, 192)) << "the mask colour is transparent";
}

TEST(ThemedStates, ToggleTabAndDisabled)
{
    auto b = themed(60, 24, {{"Style", 8}, {"ButtonType", 1}});
    QSignalSpy click(b.get(), &ThemedButton::Click), leave(b.get(), &ThemedButton::MouseLeave);
    b->WindowMouseMove();
    b->MouseDownNotify(1);
    b->MouseUpNotify(1);
    b->ClickNotify();
    EXPECT_TRUE(b->Value());
    EXPECT_EQ(b->LastPaintedState(), 3) << "the first click leaves it pressed";
    EXPECT_EQ(click.count(), 0);
    b->MouseDownNotify(1);
    b->MouseUpNotify(1);
    EXPECT_EQ(click.count(), 1) << "the second click raises Click on release";
    b->ClickNotify();
    EXPECT_FALSE(b->Value());

    b->KeyDownNotify(9);
    EXPECT_EQ(leave.count(), 1) << "Tab raises MouseLeave";
    b->KeyDownNotify(32);
    b->KeyUpNotify(32);
    EXPECT_EQ(click.count(), 2) << "Space clicks";

    b->setEnabledProperty(false);
    b->WindowMouseLeave();
    b->WindowMouseMove();
    EXPECT_EQ(b->LastPaintedState(), 4) << "a disabled button shows state 4 whatever the pointer does";

    auto design = std::make_unique<ThemedButton>();
    MemoryPropertyBag bag;
    bag.values["Style"] = 3;
    design->ReadProperties(bag, false);
    design->Show();
    EXPECT_EQ(design->LastPaintedState(), 2) << "at design time the hot face";
}

TEST(ThemedStates, Style6UsesTheDesktopStyleOrFallsBack)
{
    auto themedOk = themed(80, 26, {{"Style", 6}});
    EXPECT_EQ(themedOk->Style(), 6);
    const QRgb edge = px(*themedOk, 0, 13), face = px(*themedOk, 40, 13);
    EXPECT_NE(edge, face) << "the desktop style drew a button";

    auto b = std::make_unique<ThemedButton>();
    b->themeAvailable = false;
    MemoryPropertyBag bag;
    bag.values["Style"] = 6;
    bag.values["Caption"] = QString();
    b->SetSize(80, 26);
    b->ReadProperties(bag);
    QSignalSpy changed(b.get(), &ThemedButton::PropertyChanged);
    b->Show();   // its first paint fails over, its second paints the fallback
    EXPECT_EQ(b->Style(), 5);
    EXPECT_EQ(changed.count(), 0) << "without a notification";
    EXPECT_EQ(px(*b, 0, 1), rgb(106, 139, 162)) << "Style 5's corner pixel";
}

TEST(ThemedTips, BorrowedTextReplacementTypesAndColours)
{
    auto b = themed(60, 24, {{"Style", 8}});
    b->containerToolTip = "Open the home page";
    b->WindowMouseMove();
    ASSERT_NE(b->tipWindow(), nullptr);
    EXPECT_EQ(b->ToolTipText(), "Open the home page");
    EXPECT_TRUE(b->containerToolTip.isEmpty()) << "borrowed while the tip is installed";
    EXPECT_TRUE(b->tipWindow()->Balloon());
    EXPECT_EQ(b->tipWindow()->Back(), QColor(255, 255, 225));
    QPointer<TipWindow> first = b->tipWindow();
    b->setToolTipText("Another text");
    EXPECT_TRUE(first.isNull()) << "the old tip window is replaced, not kept";
    EXPECT_EQ(b->tipWindow()->Text(), "Another text");
    b->WindowMouseLeave();
    EXPECT_EQ(b->tipWindow(), nullptr);
    EXPECT_EQ(b->containerToolTip, "Another text") << "given back";

    auto r = themed(60, 24, {{"Style", 8}, {"ToolTipType", 2}, {"ttBackColor", 0}, {"ttForeColor", 0x0000FF},
                             {"Tooltiptitle", "Title"}, {"ToolTipIcon", 2}});
    r->containerToolTip = "x";
    r->WindowMouseMove();
    ASSERT_NE(r->tipWindow(), nullptr);
    EXPECT_FALSE(r->tipWindow()->Balloon()) << "any other type is rectangular";
    EXPECT_EQ(r->tipWindow()->Back(), QColor(255, 255, 225)) << "0 means the platform's own colour";
    EXPECT_EQ(r->tipWindow()->Fore(), QColor(255, 0, 0));
    EXPECT_EQ(r->tipWindow()->Title(), "Title");
    EXPECT_EQ(r->tipWindow()->Icon(), 2);
}

TEST(ThemedShell, OpenLinkPassesTheLinkAsOneArgument)
{
    QTemporaryDir dir;
    const QString record = dir.filePath("argv");
    const QString script = dir.filePath("opener");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QString("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > '%1.tmp'\nmv '%1.tmp' '%1'\n").arg(record).toUtf8());
        f.close();
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString saved = ThemedButton::opener;
    ThemedButton::opener = script;
    ThemedButton b;
    const QString link = "https://murivo.example.org/a b?q='x'&r=\"y\";rm -rf ~";
    EXPECT_GT(b.OpenLink(link), 32);
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(record) && t.elapsed() < 10000)
        QThread::msleep(20);
    QFile f(record);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "the opener never ran";
    const QList<QByteArray> args = f.readAll().split('\0');
    ASSERT_EQ(args.size(), 2) << "one argument (and the final separator)";
    EXPECT_EQ(QString::fromUtf8(args[0]), link);
    ThemedButton::opener = "/nonexistent/opener";
    EXPECT_LE(b.OpenLink(link), 32) << "a failure is reported as the shell would";
    ThemedButton::opener = saved;
    EXPECT_EQ(b.Version(), "1.0");
    auto about = b.AboutBox();
    EXPECT_TRUE(about->findChildren<QLabel*>().first()->text().contains("ThemedButton 1.0"));
}
