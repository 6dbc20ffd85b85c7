// The library's shared routines: colours, schemes, gradients, text, paths,
// the read-only registry, window effects and the opener.
#include <quilObjects/Routines.h>

#include "frame/Gradient.h"
#include "frame/Registry.h"
#include "frame/Rounding.h"
#include "frame/Shell.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>
#include <cfenv>
#include <cmath>
#include <limits>
#include <map>

using namespace quil;

namespace {
constexpr OLE_COLOR rgb(int r, int g, int b) { return OLE_COLOR(r | (g << 8) | (b << 16)); }
QRgb px(const platform::Surface& s, int x, int y) { return s.Image().pixel(x, y) & 0xFFFFFF; }
constexpr QRgb q(int r, int g, int b) { return QRgb((r << 16) | (g << 8) | b); }
} // namespace

TEST(Colours, TranslateClearsOnlyTheHighBit)
{
    EXPECT_EQ(TranslateColor(0x8000000D), rgb(10, 36, 106));   // highlight
    EXPECT_EQ(TranslateColor(0x8000000F), rgb(212, 208, 200));   // button face
    // The low byte alone would name the highlight; the whole index names nothing.
    EXPECT_EQ(TranslateColor(0x8000010D), 0u);
    EXPECT_EQ(TranslateColor(0x00123456), 0x00123456u);
}

TEST(Colours, BlendWeightsAndRounding)
{
    EXPECT_EQ(BlendColors(0xFFFFFF, 0, 128), rgb(128, 128, 128));
    const OLE_COLOR a = rgb(10, 200, 37), b = rgb(250, 3, 99);
    EXPECT_EQ(BlendColors(a, b, 255), a);
    EXPECT_EQ(BlendColors(a, b, 0), b);
    // System colours are resolved before blending.
    EXPECT_EQ(BlendColors(0x8000000D, 0x8000000F, 255), rgb(10, 36, 106));
    EXPECT_EQ(BlendColors(0x8000000D, 0x8000000F, 0), rgb(212, 208, 200));
    // By hand: 100 * 25/255 + 200 * 230/255 = 9.80 + 180.39 = 190.2 -> 190.
    EXPECT_EQ(BlendColors(rgb(200, 200, 200), rgb(100, 100, 100), 230), rgb(190, 190, 190));
}

TEST(Colours, SchemesOfWhiteAndDeepBlue)
{
    // White back, fore &HC00000 (blue 192), white third: each slot worked by hand.
    const ColorScheme n = SchemeNormal(0xFFFFFF, 0xC00000, 0xFFFFFF);
    EXPECT_EQ(n.Accent, 0xC00000u);
    EXPECT_EQ(n.Back, 0xFFFFFFu);
    // (B, A, 230) is 230/255 of white: red 230; blue 230 + 192 * 25/255 = 248.8 -> 249.
    EXPECT_EQ(n.FaceTop, rgb(230, 230, 249));
    EXPECT_EQ(n.FaceMiddle, rgb(190, 190, 239));   // 190 + 192 * 65/255 = 238.9
    EXPECT_EQ(n.EdgeEnd, rgb(120, 120, 222));   // 120 + 192 * 135/255 = 221.6
    // Text: black and A at 140: 0*140/255 + 192*115/255 = 86.6 -> 87 blue.
    EXPECT_EQ(n.Text, rgb(0, 0, 87));
    EXPECT_EQ(n.Tint1, 0xFFFFFFu);

    const ColorScheme d = SchemeDisabled(0xFFFFFF, 0xC00000, 0xFFFFFF);
    EXPECT_EQ(d.Text, rgb(140, 140, 227));   // toward the back colour, not black
    const ColorScheme p = SchemePressed(0xFFFFFF, 0xC00000, 0xFFFFFF);
    EXPECT_EQ(p.FaceTop, n.FaceBottom);
    EXPECT_EQ(p.FaceBottom, n.FaceTop);
    EXPECT_EQ(p.EdgeStart, n.EdgeEnd);

    // Focus: M = BlendColors(accent, third, 128) takes the face.
    const ColorScheme f = SchemeFocus(0xFFFFFF, 38631, 0xC00000);
    const OLE_COLOR M = BlendColors(38631, 0xC00000, 128);
    EXPECT_EQ(f.Accent, 38631u);
    EXPECT_EQ(f.FaceTop, BlendColors(0xFFFFFF, M, 230));
    EXPECT_EQ(f.Tint3, BlendColors(0xFFFFFF, 0xC00000, 130));

    // A system back colour is kept in Back and resolved in the blends.
    const ColorScheme s = SchemeNormal(0x8000000F, 0xC00000, 0xFFFFFF);
    EXPECT_EQ(s.Back, 0x8000000Fu);
    EXPECT_EQ(s.FaceTop, BlendColors(rgb(212, 208, 200), 0xC00000, 230));
}

TEST(Colours, SplitAndVertexMaskToTwentyFourBits)
{
    int r = -1, g = -1, b = -1;
    SplitColor(rgb(1, 2, 3), r, g, b);
    EXPECT_EQ(std::tuple(r, g, b), std::tuple(1, 2, 3));
    SplitColor(0x8000000D, r, g, b);   // a system colour: its RGB, never garbage
    EXPECT_EQ(std::tuple(r, g, b), std::tuple(10, 36, 106));
    SplitColor(0x7F00FF00, r, g, b);   // stray high bits below the flag are masked off
    EXPECT_EQ(std::tuple(r, g, b), std::tuple(0, 255, 0));
    const platform::TRIVERTEX v = ColorToVertex(rgb(0xFF, 0x80, 0x01));
    EXPECT_EQ(v.Red, 0xFF00);
    EXPECT_EQ(v.Green, 0x8000);
    EXPECT_EQ(v.Blue, 0x0100);
    EXPECT_EQ(v.Alpha, 0);
}

TEST(Text, HexDigitsAndPadZeros)
{
    EXPECT_EQ(PadZeros("FF", 6), "0000FF");
    EXPECT_EQ(PadZeros("  FF ", 3), "0FF");
    EXPECT_EQ(PadZeros("1234567", 6), "1234567");
    EXPECT_EQ(HexDigits(15), "00000F");
    EXPECT_EQ(HexDigits(4096), "001000");
    EXPECT_EQ(HexDigits(0), "000000");
    EXPECT_EQ(HexDigits(0x8000000D), "8000000D");
    EXPECT_EQ(HexDigits(0xFFFFFFFF), "FFFFFFFF");
}

TEST(Text, PathParts)
{
    EXPECT_EQ(FolderPart("C:\\Pictures\\sea.jpg"), "C:\\Pictures\\");
    EXPECT_EQ(FileNamePart("C:\\Pictures\\sea.jpg"), "sea.jpg");
    EXPECT_EQ(FolderPart("/home/ann/My Pictures/sea one.jpg"), "/home/ann/My Pictures/");
    EXPECT_EQ(FileNamePart("/home/ann/My Pictures/sea one.jpg"), "sea one.jpg");
    EXPECT_EQ(FolderPart("a/b\\c"), "a/b\\");
    EXPECT_EQ(FileNamePart("  sea.jpg "), "sea.jpg");
    EXPECT_EQ(FolderPart("  sea.jpg "), "sea.jpg");
}

TEST(Gradients, LineRectAndNothingForNoLength)
{
    platform::Surface s(10, 4);
    s.BackColor = 0x000000;
    s.Cls();
    // Horizontal from black to (255,0,0) over 5 columns: channel i*255/5 truncated, high byte.
    GradientLine(s, 2, 1, 5, pbHorizontal, 0, rgb(255, 0, 0));
    const int expected[5] = {0, 51, 102, 153, 204};   // (0xFF00 * i / 5) >> 8
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(px(s, 2 + i, 1), q(expected[i], 0, 0)) << i;
    EXPECT_EQ(px(s, 7, 1), 0u) << "the far end is excluded";
    EXPECT_EQ(px(s, 2, 0), 0u);
    EXPECT_EQ(px(s, 2, 2), 0u);

    const QImage before = s.Image();
    GradientLine(s, 0, 0, 0, pbHorizontal, 0xFFFFFF, 0xFFFFFF);
    GradientLine(s, 0, 0, -3, pbVertical, 0xFFFFFF, 0xFFFFFF);
    GradientTwoStage(s, 0, 0, 0, 4, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, pbHorizontal);
    GradientTwoStage(s, 0, 0, 10, 4, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0);   // no such orientation
    EXPECT_EQ(s.Image(), before);
}

TEST(Gradients, TwoStageSharesARowAndPlacesTheSecondBandFromTheEdge)
{
    // Height 6 from row 0: band one rows 0..3 (3 + 1 rows) white to grey, band two from row 3.
    platform::Surface s(2, 10);
    s.BackColor = 0x000000;
    s.Cls();
    GradientTwoStage(s, 0, 0, 2, 6, rgb(255, 255, 255), rgb(0, 0, 0), rgb(255, 255, 255), pbHorizontal);
    EXPECT_EQ(px(s, 0, 0), q(255, 255, 255));
    // Row 3 is shared; the second band (black to white over 3 rows) paints it black.
    EXPECT_EQ(px(s, 0, 3), q(0, 0, 0));
    EXPECT_EQ(px(s, 0, 5), q(170, 170, 170));   // 0xFF00 * 2 / 3 >> 8
    EXPECT_EQ(px(s, 0, 6), 0u);

    // From y = 2 with height 6: band one rows 2..5, band two still rows 3..5 (from the edge),
    // so the last painted row is 5 (= y + height - 3), as the scroll bar's thumb needs.
    platform::Surface t(1, 10);
    t.BackColor = rgb(1, 2, 3);
    t.Cls();
    GradientTwoStage(t, 0, 2, 1, 6, rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255), pbHorizontal);
    EXPECT_EQ(px(t, 0, 2), q(255, 0, 0));
    EXPECT_EQ(px(t, 0, 3), q(0, 255, 0)) << "band two starts at row 6 - 3 = 3";
    EXPECT_EQ(px(t, 0, 6), q(1, 2, 3)) << "row 6 keeps the background: band one ended at row 5";
    EXPECT_EQ(px(t, 0, 7), q(1, 2, 3));

    // Vertical orientation: the same along the width.
    platform::Surface u(6, 1);
    u.BackColor = 0;
    u.Cls();
    GradientTwoStage(u, 0, 0, 6, 1, rgb(255, 255, 255), 0, rgb(255, 255, 255), pbVertical);
    EXPECT_EQ(px(u, 0, 0), q(255, 255, 255));
    EXPECT_EQ(px(u, 3, 0), 0u);
}

namespace {

// Records every call and fails the ones it is told to.
struct ScriptedRegistry : RegistryApi {
    bool openFails = false;
    int failQueryNumber = 0;   // 1-based query that fails
    quint32 type = REG_SZ;
    QByteArray data = QByteArray("text\0rest", 9);
    QStringList calls;
    int queries = 0;

    long RegOpenKeyA(HKEY, const QString& subKey, HKEY* result) override
    {
        calls << "open " + subKey;
        if (openFails)
            return ERROR_FILE_NOT_FOUND;
        *result = 7;
        return ERROR_SUCCESS;
    }
    long RegQueryValueExA(HKEY, const QString& name, quint32* t, QByteArray* d, quint32* size) override
    {
        calls << QString("query %1 %2").arg(name, d ? "buffer" : "size");
        if (++queries == failQueryNumber)
            return ERROR_MORE_DATA;
        *t = type;
        if (d)
            *d = data;
        *size = static_cast<quint32>(data.size());
        return ERROR_SUCCESS;
    }
    long RegCloseKey(HKEY) override
    {
        calls << "close";
        return ERROR_SUCCESS;
    }
};

struct RegistryGuard {
    ~RegistryGuard() { SetRegistryApi(nullptr); }
};

} // namespace

TEST(Registry, CallsAndTheirFailures)
{
    RegistryGuard guard;
    ScriptedRegistry reg;
    SetRegistryApi(&reg);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "k", "v", "def"), "text");
    EXPECT_EQ(reg.calls, QStringList({"open k", "query v size", "query v buffer", "close"}));

    ScriptedRegistry closed;
    closed.openFails = true;
    SetRegistryApi(&closed);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "k", "v", "def"), "def");
    EXPECT_EQ(closed.calls, QStringList({"open k"})) << "nothing to query or close on a key never opened";

    ScriptedRegistry second;
    second.failQueryNumber = 2;
    SetRegistryApi(&second);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "k", "v", "def"), "def") << "never a buffer of blanks";
    EXPECT_EQ(second.calls.last(), "close");

    ScriptedRegistry number;
    number.type = REG_DWORD;
    SetRegistryApi(&number);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "k", "v", "def"), "def");

    ScriptedRegistry whole;
    whole.data = "no-nul";
    SetRegistryApi(&whole);
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "k", "v", "def"), "no-nul");
}

TEST(Registry, LiveKeys)
{
    const QString sf = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, sf, "Desktop", "x"),
              QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, sf.toUpper(), "personal", "x"),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        << "keys and names compare without regard to case";
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, sf, "NoSuchFolder", "x"), "x");
    EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Software\\Nothing", "Desktop", "x"), "x");
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "Software\\quilObjects\\1.0", "Major", "dword"), "dword")
        << "a DWORD value reads as the default";
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "Software\\quilObjects\\1.0", "Path", "x"), WindowsFolder());
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, ".png", "", "x"), "image/png");
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, "image/png\\DefaultIcon", "", "x"), "image-png");
    EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, ".no-such-extension-here", "", "x"), "x");
}

TEST(Folders, FixedReadOnlyAndSlashEnded)
{
    const QString w = WindowsFolder(), s = SystemFolder();
    EXPECT_TRUE(w.endsWith('/'));
    EXPECT_TRUE(s.endsWith('/'));
    EXPECT_TRUE(s.startsWith(w));
    EXPECT_TRUE(QDir(w).exists());
    EXPECT_TRUE(QDir(s).exists());
    EXPECT_EQ(WindowsFolder(), w);
}

TEST(Windows, ShadowAndOpacityTouchOnlyTheWindowGiven)
{
    QWidget a, b;
    AddDropShadow(&a);
    EXPECT_TRUE(a.testAttribute(Qt::WA_X11NetWmWindowTypeDropDownMenu));
    EXPECT_FALSE(b.testAttribute(Qt::WA_X11NetWmWindowTypeDropDownMenu)) << "another window of the same class";
    AddDropShadow(nullptr);

    SetWindowOpacity(&a, 230);
    EXPECT_NEAR(a.windowOpacity(), 230 / 255.0, 0.01);
    EXPECT_DOUBLE_EQ(b.windowOpacity(), 1.0);
    SetWindowOpacity(&a, 999);
    EXPECT_DOUBLE_EQ(a.windowOpacity(), 1.0);
    SetWindowOpacity(&a, 0);
    ClearWindowOpacity(&a);
    EXPECT_DOUBLE_EQ(a.windowOpacity(), 1.0);
}

namespace {

// A recording opener: writes its arguments, one per line, then its parent's
// process number, and marks the end of its work.
struct Recorder {
    QTemporaryDir dir;
    QString script, log, parent, done;
    Recorder()
    {
        script = dir.filePath("opener");
        log = dir.filePath("argv");
        parent = dir.filePath("ppid");
        done = dir.filePath("done");
        QFile f(script);
        f.open(QIODevice::WriteOnly);
        f.write(QString("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '%1'; done\n"
                        "echo $PPID > '%2'\ntouch '%3'\n")
                    .arg(log, parent, done)
                    .toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        SetOpener(script);
    }
    ~Recorder() { SetOpener("xdg-open"); }
    // What the opener was given, once it has finished (it runs on its own).
    QStringList argv() const
    {
        if (!QTest::qWaitFor([this] { return QFile::exists(done); }, 20000))
            return {};
        QFile f(log);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    qint64 parentProcess() const
    {
        QFile f(parent);
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : -1;
    }
};

} // namespace

TEST(Opener, ArgumentVectorsNeverAShell)
{
    {
        Recorder rec;
        const QString link = "https://example.org/a b?q='x';rm -rf ~";
        EXPECT_TRUE(ShellOpen(link, "open", "", "", 1));
        EXPECT_EQ(rec.argv(), QStringList({"https://example.org/a%20b?q='x';rm%20-rf%20~"})) << "one argument";
    }
    {
        Recorder rec;
        QTemporaryDir docs;
        const QString name = "-rf my \"file\".txt";
        QFile(docs.filePath(name)).open(QIODevice::WriteOnly);
        EXPECT_TRUE(ShellOpen(name, "open", "", docs.path(), 1));
        ASSERT_EQ(rec.argv().size(), 1);
        EXPECT_EQ(rec.argv().first(), QDir(docs.path()).filePath(name)) << "made absolute: never an option";
    }
    {
        Recorder rec;
        EXPECT_FALSE(ShellOpen("/no/such/file.txt", "open", "", "", 1));
        EXPECT_FALSE(ShellOpen("", "open", "", "", 1));
        EXPECT_FALSE(ShellOpen("https://example.org", "print", "", "", 1)) << "a verb we cannot do";
        // A program is never started, with or without parameters, nor handed to the opener.
        Recorder program;
        SetOpener(rec.script);
        EXPECT_FALSE(ShellOpen(program.script, "open", "one \"two three\" $HOME", "", 1));
        // Something to wait for, so that anything started before it has had its turn.
        EXPECT_TRUE(ShellOpen("https://example.org/last", "open", "", "", 1));
        EXPECT_EQ(rec.argv(), QStringList({"https://example.org/last"})) << "nothing else was started";
        EXPECT_FALSE(QFile::exists(program.done));
    }
    {
        SetOpener("/no/such/opener");
        EXPECT_FALSE(ShellOpen("https://example.org", "open", "", "", 1)) << "an opener that cannot start";
        SetOpener("xdg-open");
    }
}

TEST(Opener, StartsTheOpenerDetachedAndNeverWaitsForIt)
{
    // The opener is no child of ours: nothing waits for it, nothing of it is
    // left to free however long it runs.
    Recorder rec;
    EXPECT_TRUE(ShellOpen("https://example.org/", "open", "", "", 1));
    ASSERT_EQ(rec.argv(), QStringList({"https://example.org/"}));
    EXPECT_GT(rec.parentProcess(), 0);
    EXPECT_NE(rec.parentProcess(), QCoreApplication::applicationPid());
}

TEST(Rounding, HalvesGoToEvenInAnyModeAndWideResultsSaturate)
{
    // The floating-point unit's mode is the program's, not ours to rely on.
    const int mode = std::fegetround();
    for (int m : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(m);
        EXPECT_EQ(Round(0.5), 0);
        EXPECT_EQ(Round(1.5), 2);
        EXPECT_EQ(Round(2.5), 2);
        EXPECT_EQ(Round(-2.5), -2);
        EXPECT_EQ(Round(-3.5), -4);
        EXPECT_EQ(Round(2.4999), 2);
        EXPECT_EQ(Round(-0.6), -1);
        EXPECT_EQ(Fix(-2.9), -2);
        EXPECT_EQ(Fix(2.9), 2);
    }
    std::fesetround(mode);
    EXPECT_EQ(Round(1e12), std::numeric_limits<int>::max());
    EXPECT_EQ(Fix(-1e12), std::numeric_limits<int>::min());
    EXPECT_EQ(Round(std::nan("")), 0);
    EXPECT_EQ(Round<qint64>(4294967296.5), 4294967296LL);
    EXPECT_EQ(Fix<double>(-1e12 - 0.5), -1e12);
    // The blend rounds its channels the same way: 255 * 128 / 255 = 128 exactly,
    // 255 * 127 / 255 + 0 = 127.
    EXPECT_EQ(BlendColors(0xFFFFFF, 0, 128), 0x808080u);
}
