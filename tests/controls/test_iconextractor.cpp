// Icons of files and file types: the library's shell pictures, picture files
// read directly, file types through a scripted registry and through the real
// MIME database and icon theme.
#include <quilObjects/IconExtractor.h>
#include <quilObjects/Routines.h>

#include "frame/Registry.h"
#include "services/IconSources.h"

#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

using namespace quil;

namespace {

constexpr quint32 magenta = 0xFF00FF;

QString shell() { return SystemFolder() + "shell32.dll"; }

quint32 px(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return quint32(qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16));
}

bool plain(const QImage& img, quint32 colour)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (px(img, x, y) != colour)
                return false;
    return true;
}

// HKEY_CLASSES_ROOT as a table of key → default value.
struct TableRegistry : RegistryApi {
    std::map<QString, QString> keys;
    std::map<HKEY, QString> open;
    HKEY next = 100;
    long RegOpenKeyA(HKEY root, const QString& subKey, HKEY* result) override
    {
        const auto it = keys.find(subKey.toLower());
        if (root != HKEY_CLASSES_ROOT || it == keys.end())
            return ERROR_FILE_NOT_FOUND;
        *result = next;
        open[next++] = it->second;
        return ERROR_SUCCESS;
    }
    long RegQueryValueExA(HKEY key, const QString& name, quint32* type, QByteArray* data, quint32* size) override
    {
        if (!name.isEmpty() || !open.count(key))
            return ERROR_FILE_NOT_FOUND;
        const QByteArray v = open[key].toUtf8() + '\0';
        *type = REG_SZ;
        if (data)
            *data = v;
        *size = quint32(v.size());
        return ERROR_SUCCESS;
    }
    long RegCloseKey(HKEY key) override { return open.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; }
};

struct RegistryGuard {
    explicit RegistryGuard(RegistryApi* api) { SetRegistryApi(api); }
    ~RegistryGuard() { SetRegistryApi(nullptr); }
};

// No MIME database, no theme: only the registry and the library's pictures.
QStringList noNames(const QString&) { return {}; }
QImage noIcon(const QString&, int) { return {}; }
const IconSources none{&noNames, &noIcon};
struct SourcesGuard {
    SourcesGuard() { SetIconSources(&none); }
    ~SourcesGuard() { SetIconSources(nullptr); }
};

} // namespace

TEST(IconExtractor, SizesAndTheMaskColour)
{
    IconExtractor ex;
    EXPECT_EQ(ex.MaskColor(), 0u);
    const QImage large = ex.ExtractIcon(shell(), 3);
    EXPECT_EQ(large.size(), QSize(32, 32));
    EXPECT_EQ(ex.ExtractIcon(shell(), 3, SmallIcon).size(), QSize(16, 16));
    EXPECT_EQ(ex.ExtractIconOfFileType(".quil-nothing").size(), QSize(32, 32));
    EXPECT_EQ(ex.ExtractIconOfFileType(".quil-nothing", SmallIcon).size(), QSize(16, 16));

    ex.setMaskColor(magenta);
    // The folder picture: its body at (2, 8), its edge at (1, 5), nothing above the tab.
    const QImage folder = ex.ExtractIcon(shell(), 3, SmallIcon);
    EXPECT_EQ(px(folder, 2, 8), 0x50C8F0u);   // RGB(240, 200, 80)
    EXPECT_EQ(px(folder, 1, 5), 0x1E82AAu);   // RGB(170, 130, 30)
    EXPECT_EQ(px(folder, 8, 1), magenta) << "the transparent part shows the mask colour";
    // The large picture is drawn for its size: a one-pixel edge at (2, 10), body at (3, 11).
    const QImage big = ex.ExtractIcon(shell(), 3);
    EXPECT_EQ(px(big, 2, 10), 0x1E82AAu);
    EXPECT_EQ(px(big, 3, 11), 0x50C8F0u);

    // No such icon, no such file: a plain mask-colour square.
    EXPECT_TRUE(plain(ex.ExtractIcon(shell(), 5), magenta));
    EXPECT_TRUE(plain(ex.ExtractIcon("/nonexistent/x.ico", 0, SmallIcon), magenta));
    ex.setMaskColor(0x80000000u | 15);   // a system colour: the button face
    EXPECT_TRUE(plain(ex.ExtractIcon(shell(), 5, SmallIcon), TranslateColor(0x80000000u | 15)));
}

TEST(IconExtractor, PictureFilesAreReadDirectly)
{
    QTemporaryDir t;
    const QString svg = t.path() + "/red.svg", ico = t.path() + "/blue.ico";
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>"
            "<rect x='0' y='0' width='4' height='8' fill='#ff0000'/></svg>");
    f.close();
    QImage blue(32, 32, QImage::Format_ARGB32);
    blue.fill(QColor(0, 0, 255));
    ASSERT_TRUE(QImageWriter(ico, "ico").write(blue));

    IconExtractor ex;
    ex.setMaskColor(magenta);
    const QImage s = ex.ExtractIcon(svg, 0);
    EXPECT_EQ(px(s, 3, 20), 0x0000FFu) << "left half red";
    EXPECT_EQ(px(s, 28, 20), magenta) << "right half transparent";
    EXPECT_EQ(px(ex.ExtractIcon(ico, 0, SmallIcon), 8, 8), 0xFF0000u);
    EXPECT_EQ(ex.GetIconCount(ico), 1);
    EXPECT_TRUE(plain(ex.ExtractIcon(ico, 1), magenta));
    EXPECT_EQ(ex.GetIconCount(t.path() + "/none.ico"), 0);
    EXPECT_EQ(ex.GetIconCount(shell()), 168) << "numbered up to the date picture, 167";
}

TEST(IconExtractor, DefaultIconTexts)
{
    const IconLocation plainFile = ParseIconLocation("\"/x/my file.png\"");
    EXPECT_EQ(plainFile.file, "/x/my file.png");
    EXPECT_EQ(plainFile.index, 0);
    const IconLocation bad = ParseIconLocation("/x/a.png, two");
    EXPECT_EQ(bad.file, "/x/a.png");
    EXPECT_EQ(bad.index, 0);
    const IconLocation neg = ParseIconLocation("%SystemRoot%\\system32\\shell32.dll,-3");
    EXPECT_EQ(neg.file, WindowsFolder() + "system32/shell32.dll");
    EXPECT_EQ(neg.index, -3);
    EXPECT_EQ(ParseIconLocation("/a,b/c.ico,4").file, "/a,b/c.ico");
}

TEST(IconExtractor, FileTypesThroughTheRegistry)
{
    QTemporaryDir t;
    const QString png = t.path() + "/green pic.png";
    QImage green(16, 16, QImage::Format_ARGB32);
    green.fill(QColor(0, 255, 0));
    ASSERT_TRUE(green.save(png));

    TableRegistry reg;
    reg.keys = {{".neg", "negtype"},          {"negtype\\defaulticon", "%SystemRoot%\\system32\\shell32.dll,-3"},
                {".self", "selftype"},        {"selftype\\defaulticon", "%1"},
                {".nocomma", "nocommatype"},  {"nocommatype\\defaulticon", "\"" + png + "\""},
                {".badindex", "badtype"},     {"badtype\\defaulticon", png + ",x"},
                {".noicon", "noicontype"}};
    RegistryGuard rg(&reg);
    SourcesGuard sg;
    IconExtractor ex;
    ex.setMaskColor(magenta);
    const QImage folder = ex.ExtractIcon(shell(), 3, SmallIcon);
    const QImage zero = ex.ExtractIcon(shell(), 0, SmallIcon);
    ASSERT_NE(folder, zero);

    EXPECT_EQ(ex.ExtractIconOfFileType(".neg", SmallIcon), folder) << "a negative number is a resource number";
    EXPECT_EQ(ex.ExtractIconOfFileType(".self", SmallIcon), zero) << "\"%1\": the shell's icon 0";
    EXPECT_TRUE(plain(ex.ExtractIconOfFileType(".nocomma", SmallIcon), 0x00FF00u)) << "no comma: the whole file";
    EXPECT_TRUE(plain(ex.ExtractIconOfFileType(".badindex", SmallIcon), 0x00FF00u)) << "a number that is none: 0";
    EXPECT_EQ(ex.ExtractIconOfFileType(".noicon", SmallIcon), zero);
    EXPECT_EQ(ex.ExtractIconOfFileType(".unregistered", SmallIcon), zero) << "no \"Unknown\" either";

    reg.keys["unknown\\defaulticon"] = "%SystemRoot%\\system32\\shell32.dll,3";
    EXPECT_EQ(ex.ExtractIconOfFileType(".unregistered", SmallIcon), folder) << "\"Unknown\"'s icon";
    EXPECT_EQ(ex.ExtractIconOfFileType(".neg", SmallIcon), folder);
}

TEST(IconExtractor, FileTypesFromTheRealMimeDatabaseAndIconTheme)
{
    IconExtractor ex;
    ex.setMaskColor(magenta);
    const QImage zero = ex.ExtractIcon(shell(), 0);
    const QImage text = ex.ExtractIconOfFileType(".txt");
    const QImage png = ex.ExtractIconOfFileType(".png");
    // The theme's own pictures: neither the fallback nor an empty square, and not alike.
    EXPECT_NE(text, zero);
    EXPECT_FALSE(plain(text, magenta));
    EXPECT_NE(text, png);
    EXPECT_FALSE(LiveIconSources().mimeIconNames(".txt").isEmpty());
    EXPECT_EQ(ex.ExtractIconOfFileType(".quil-no-such-type"), zero);
}
