// quilButton and quilXButton: faces against pixels worked by hand from the
// drawing rules, picture layout, and the mouse, key and focus sequences.
#include "Helpers.h"
#include "basic/quilXButton.h"

#include <quilObjects/ImageList.h>
#include <quilObjects/Routines.h>
#include <quilObjects/quilButton.h>

#include <QKeyEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <cmath>

using namespace quil;
using quiltest::at;
using quiltest::rgb;

namespace {

// Default colours (white back, &HC00000 fore), worked by hand: weight w of white,
// blue = w + 192 * (255 - w) / 255 rounded.
constexpr quint32 NormalFaceTop = rgb(230, 230, 249);   // 230
constexpr quint32 NormalFaceMiddle = rgb(190, 190, 239);   // 190
constexpr quint32 NormalEdgeStart = rgb(220, 220, 246);   // 220
constexpr quint32 NormalEdgeMiddle = rgb(200, 200, 241);   // 200
constexpr quint32 NormalEdgeEnd = rgb(120, 120, 222);   // 120

std::unique_ptr<quilButton> plain(int w, int h)
{
    auto b = std::make_unique<quilButton>();
    b->resize(w, h);
    b->setCaption(QString());   // text stays out of exact-pixel checks
    return b;
}

void sendKey(QWidget* w, QEvent::Type type, int key, bool autoRepeat)
{
    QKeyEvent e(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString(), autoRepeat);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

TEST(quilButtonFace, IdleFaceEdgesAndCorners)
{
    auto b = plain(8, 6);
    EXPECT_EQ(b->State_(), quilButtonBase::StateIdle);
    // Face: rows 0-3 shade FaceTop to FaceMiddle over 4 rows, rows 3-5 FaceMiddle to FaceBottom over 3.
    // Red channel, 16-bit steps truncated: 230, 220, 210 | 190, 183, 176.
    EXPECT_EQ(at(*b, 0, 0), NormalFaceTop) << "corner keeps the face";
    EXPECT_EQ(at(*b, 7, 0), NormalFaceTop);
    EXPECT_EQ(at(*b, 0, 5), rgb(176, 176, 235)) << "bottom corner keeps the face's last row";
    EXPECT_EQ(at(*b, 7, 5), rgb(176, 176, 235));
    EXPECT_EQ(at(*b, 3, 2), rgb(210, 210, 244));
    EXPECT_EQ(at(*b, 3, 3), NormalFaceMiddle) << "the shared row belongs to the second band";
    EXPECT_EQ(at(*b, 3, 4), rgb(183, 183, 237));
    // Top edge from (1,0), six pixels, EdgeStart to EdgeMiddle; left edge from (0,1), four.
    EXPECT_EQ(at(*b, 1, 0), NormalEdgeStart);
    EXPECT_EQ(at(*b, 0, 1), NormalEdgeStart);
    EXPECT_EQ(at(*b, 7, 1), NormalEdgeMiddle) << "right edge starts at EdgeMiddle";
    for (int x = 1; x <= 6; ++x)
        EXPECT_EQ(at(*b, x, 5), NormalEdgeEnd) << "bottom line, x " << x;
    // Left edge ends one row above the bottom: rows 1-4, red 220 -> 120 in four steps.
    EXPECT_EQ(at(*b, 0, 4), rgb(145, 145, 228));
}

TEST(quilButtonFace, LooksOfEachState)
{
    auto b = plain(8, 6);
    quiltest::Pointer pointer;
    b->MouseMoveNotify(0, 0, 3, 3);
    quiltest::pollTick(b);
    EXPECT_EQ(b->State_(), quilButtonBase::StateHover);
    EXPECT_EQ(at(*b, 0, 0), rgb(245, 245, 253));   // 245 + 192 * 10/255 = 252.5 -> 253

    b->MouseDownNotify(1, 0, 3, 3);
    quiltest::pollTick(b);
    EXPECT_EQ(b->State_(), quilButtonBase::StatePressed);
    EXPECT_EQ(at(*b, 0, 0), rgb(170, 170, 234)) << "pressed: the face runs the other way";
    EXPECT_EQ(at(*b, 1, 0), NormalEdgeEnd) << "and the edges too";

    b->setEnabled(false);
    EXPECT_EQ(b->State_(), quilButtonBase::StateDisabled);
    EXPECT_FALSE(b->MouseIsDown()) << "disabling drops the press";
    EXPECT_EQ(at(*b, 0, 0), rgb(200, 200, 241));

    // Focused and idle: SchemeFocus(white, 38631, &HC00000); M = (116, 75, 96);
    // FaceTop = 230/255 white + 25/255 M = (241, 237, 239).
    auto f = plain(8, 6);
    f->EnterFocus();
    EXPECT_EQ(at(*f, 0, 0), rgb(241, 237, 239));
    f->ExitFocus();
    EXPECT_EQ(at(*f, 0, 0), NormalFaceTop);
}

TEST(quilButtonFace, CaptionIsPrintedInTheDarkenedForeColour)
{
    quilButton b;
    b.setObjectName("OkButton");
    b.resize(80, 24);
    b.InitProperties();
    EXPECT_EQ(b.Caption(), "OkButton") << "a new button is captioned with its name";
    b.setObjectName("ApplyButton");
    EXPECT_EQ(b.Caption(), "ApplyButton") << "named after creation, as generated form code does";
    b.setCaption("Apply");
    b.setObjectName("Other");
    EXPECT_EQ(b.Caption(), "Apply") << "a caption of its own stays";
    EXPECT_EQ(b.CurrentScheme().Text, rgb(0, 0, 87));   // 192 * 115/255 = 86.6
    int ink = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 80; ++x)
            if (qRed(b.Face().pixel(x, y)) < 100)
                ++ink;
    EXPECT_GT(ink, 20) << "the caption left dark pixels";
}

namespace {

// A 16 x 16 picture: red, with a one-pixel border in the mask colour.
QImage picture()
{
    QImage p(16, 16, QImage::Format_RGB32);
    p.fill(qRgb(192, 192, 192));
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x)
            p.setPixel(x, y, qRgb(255, 0, 0));
    return p;
}

} // namespace

TEST(quilButtonImage, StackedOrSideBySideAndErrorsIgnored)
{
    ImageList list(16, 16);
    list.Add(picture());
    quilButton b;
    b.setCaption("Go");
    b.setImageList(&list);
    b.setImageIndex(1);
    b.resize(90, 40);
    const int TH = QFontMetrics(b.Font()).height();
    const int threshold = static_cast<int>(std::ceil(16 + 1.7 * TH + 6));
    b.resize(90, threshold);
    EXPECT_TRUE(b.Stacked());
    {
        const int h = threshold;
        const int x = static_cast<int>(std::trunc(45 - 8.0)), y = static_cast<int>(std::trunc(h / 2.0 - (16 + TH + 5) / 2.0));
        EXPECT_EQ(at(b, x + 1, y + 1), rgb(255, 0, 0)) << "stacked picture, centred";
        EXPECT_NE(at(b, x, y), rgb(192, 192, 192)) << "the mask colour is left out";
    }
    b.resize(90, threshold - 1);
    EXPECT_FALSE(b.Stacked());
    {
        const int h = threshold - 1;
        const int y = static_cast<int>(std::trunc(h / 2.0 - 8));
        EXPECT_EQ(at(b, 13, y + 1), rgb(255, 0, 0)) << "side by side: 12 pixels from the left";
        EXPECT_NE(at(b, 11, y + 1), rgb(255, 0, 0));
    }

    b.setEnabled(false);
    {
        const int y = static_cast<int>(std::trunc((threshold - 1) / 2.0 - 8));
        EXPECT_EQ(at(b, 13, y + 1), rgb(0, 0, 0)) << "disabled: a black silhouette";
    }
    b.setEnabled(true);

    // Index 0, an index past the end, a wrong object and a deleted list draw no picture.
    for (auto setup : std::initializer_list<std::function<void()>>{
             [&] { b.setImageIndex(0); }, [&] { b.setImageIndex(9); },
             [&] {
                 static QObject wrong;
                 b.setImageList(&wrong);
                 b.setImageIndex(1);
             }}) {
        setup();
        bool red = false;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x)
                red = red || at(b, x, y) == rgb(255, 0, 0);
        EXPECT_FALSE(red);
    }
    {
        auto* gone = new ImageList(16, 16);
        gone->Add(picture());
        b.setImageList(gone);
        delete gone;
        b.setImageIndex(1);
        EXPECT_EQ(b.ImageList(), nullptr) << "a destroyed list is no list";
    }
}

TEST(quilButtonMouse, LeftOnlyAndClickOnReleaseAnywhere)
{
    auto b = plain(80, 24);
    b->show();
    int clicks = 0, downs = 0, ups = 0;
    QObject::connect(b.get(), &quilButton::Click, [&] { ++clicks; });
    QObject::connect(b.get(), &quilButton::MouseDown, [&](short& button, short&, float&, float&) {
        EXPECT_EQ(button, 1);
        ++downs;
    });
    QObject::connect(b.get(), &quilButton::MouseUp, [&](short&, short&, float&, float&) { ++ups; });
    QTest::mouseClick(b.get(), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseClick(b.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(std::tuple(clicks, downs, ups), std::tuple(0, 0, 0));

    quiltest::Pointer pointer;
    QTest::mousePress(b.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    quiltest::pollTick(b);
    EXPECT_EQ(b->State_(), quilButtonBase::StatePressed);
    // Dragged off with the button held: idle at once.
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 10), b->mapToGlobal(QPointF(200, 10)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(b.get(), &move);
    EXPECT_EQ(b->State_(), quilButtonBase::StateIdle);
    EXPECT_FALSE(b->Polling());
    QTest::mouseRelease(b.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 10));
    EXPECT_EQ(std::tuple(clicks, downs, ups), std::tuple(1, 1, 1));
}

TEST(quilButtonKeys, HeldSpaceRepeatsClickAndShowsPressedUntilReleased)
{
    auto b = plain(80, 24);
    int clicks = 0;
    QObject::connect(b.get(), &quilButton::Click, [&] { ++clicks; });
    QList<short> presses;
    QObject::connect(b.get(), &quilButton::KeyPress, [&](short& k) { presses << k; });
    sendKey(b.get(), QEvent::KeyPress, Qt::Key_Space, false);
    EXPECT_EQ(b->State_(), quilButtonBase::StatePressed);
    for (int i = 0; i < 3; ++i) {
        // X11 repeats a held key as release-press pairs.
        sendKey(b.get(), QEvent::KeyRelease, Qt::Key_Space, true);
        EXPECT_EQ(b->State_(), quilButtonBase::StatePressed) << "a repeat's release is not a release";
        sendKey(b.get(), QEvent::KeyPress, Qt::Key_Space, true);
    }
    EXPECT_EQ(clicks, 4);
    EXPECT_EQ(presses, QList<short>({32, 32, 32, 32}));
    sendKey(b.get(), QEvent::KeyRelease, Qt::Key_Space, false);
    EXPECT_EQ(b->State_(), quilButtonBase::StateIdle);

    sendKey(b.get(), QEvent::KeyPress, Qt::Key_Return, false);
    EXPECT_EQ(clicks, 5);
    sendKey(b.get(), QEvent::KeyRelease, Qt::Key_Return, false);
    sendKey(b.get(), QEvent::KeyPress, Qt::Key_A, false);
    EXPECT_EQ(clicks, 5);
}

TEST(quilButtonKeys, AHandlerThatZeroesTheKeySuppressesTheClick)
{
    auto b = plain(80, 24);
    int clicks = 0;
    QList<short> codes;
    QObject::connect(b.get(), &quilButton::Click, [&] { ++clicks; });
    QObject::connect(b.get(), &quilButton::KeyDown, [&](short& code, short& shift) {
        codes << code << shift;
        code = 0;
    });
    b->KeyDownNotify(13, 1);
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::ShiftModifier, " ");
    QCoreApplication::sendEvent(b.get(), &space);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(codes, QList<short>({13, 1, 32, 1}));
    EXPECT_EQ(b->State_(), quilButtonBase::StateIdle);
}

TEST(quilButtonFocus, LosingFocusWhileHeldDropsThePressedLook)
{
    auto b = plain(8, 6);
    b->EnterFocus();
    b->KeyDownNotify(32, 0);
    EXPECT_EQ(b->State_(), quilButtonBase::StatePressed);
    b->ExitFocus();   // the release goes to another window
    EXPECT_EQ(b->State_(), quilButtonBase::StateIdle);
    EXPECT_EQ(at(*b, 0, 0), NormalFaceTop);

    b->MouseDownNotify(1, 0, 1, 1);
    b->ExitFocus();   // a modal window took the release
    EXPECT_FALSE(b->MouseIsDown());
    int clicks = 0;
    QObject::connect(b.get(), &quilButton::Click, [&] { ++clicks; });
    b->MouseUpNotify(1, 0, 1, 1);
    EXPECT_EQ(clicks, 0);
}

TEST(quilButtonFocus, ReenabledShowsNormalWithoutTheFocusAccent)
{
    auto b = plain(8, 6);
    b->EnterFocus();
    EXPECT_EQ(at(*b, 0, 0), rgb(241, 237, 239));
    b->setEnabled(false);
    b->setEnabled(true);
    EXPECT_EQ(b->State_(), quilButtonBase::StateNormal);
    EXPECT_EQ(at(*b, 0, 0), NormalFaceTop) << "no focus accent until the pointer passes or a key is released";
    b->KeyUpNotify(13, 0);
    EXPECT_EQ(at(*b, 0, 0), rgb(241, 237, 239));
}

TEST(quilButtonLife, AHandlerMayDeleteTheButton)
{
    for (int how = 0; how < 3; ++how) {
        QPointer<quilButton> b = new quilButton;
        b->resize(40, 20);
        b->show();
        QObject::connect(b.data(), &quilButton::Click, [&] { delete b.data(); });
        if (how == 0) {
            QTest::mouseClick(b.data(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        } else if (how == 1) {
            sendKey(b.data(), QEvent::KeyPress, Qt::Key_Return, false);
        } else {
            b->MouseDownNotify(1, 0, 1, 1);
            b->MouseUpNotify(1, 0, 1, 1);
        }
        EXPECT_TRUE(b.isNull());
    }
}

TEST(quilXButton, CaptionAboveCentreAndNoFocusLook)
{
    quilXButton x;
    x.resize(13, 13);
    x.setFont(QFont("Webdings", 8));
    x.setCaption("5");
    // Up arrow: 7 wide and 4 high at (Fix(6.5 - 3.5), Fix(6.5 - 2) - 1) = (3, 3).
    EXPECT_EQ(quilXButton::ArrowGlyph("5", 13, 13), QRect(3, 3, 7, 4));
    const quint32 text = x.CurrentScheme().Text;
    EXPECT_EQ(at(x, 6, 3), text) << "the tip";
    EXPECT_NE(at(x, 5, 3), text);
    for (int c = 3; c <= 9; ++c)
        EXPECT_EQ(at(x, c, 6), text) << "the base, column " << c;
    EXPECT_NE(at(x, 6, 7), text);
    EXPECT_EQ(quilXButton::ArrowGlyph("4", 13, 13), QRect(4, 2, 4, 7));

    const QImage before = x.Face();
    x.EnterFocus();
    EXPECT_EQ(x.Face(), before) << "focus changes nothing";
    EXPECT_FALSE(x.FocusFlag());
    EXPECT_EQ(x.ID(), 15);

    int clicks = 0;
    QObject::connect(&x, &quilXButton::Click, [&] { ++clicks; });
    x.KeyDownNotify(32, 0);
    x.KeyDownNotify(32, 0);
    EXPECT_EQ(clicks, 2);
}
