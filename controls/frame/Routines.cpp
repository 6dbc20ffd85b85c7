#include "Opener.h"
#include "Rounding.h"
#include "Shell.h"

#include <quilObjects/Routines.h>

#include "platform/colors/Colors.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>
#include <cmath>
#include <dlfcn.h>

namespace quil {

OLE_COLOR TranslateColor(OLE_COLOR colour)
{
    if (colour & 0x80000000u)
        return platform::GetSysColor(static_cast<int>(colour & 0x7FFFFFFFu));
    return colour;
}

OLE_COLOR BlendColors(OLE_COLOR a, OLE_COLOR b, int weight)
{
    const OLE_COLOR ca = TranslateColor(a), cb = TranslateColor(b);
    const double w = std::clamp(weight, 0, 255);
    auto channel = [&](int shift) {
        const double va = (ca >> shift) & 0xFF, vb = (cb >> shift) & 0xFF;
        return Round<OLE_COLOR>(vb * (255.0 - w) / 255.0 + va * w / 255.0);
    };
    return channel(0) | (channel(8) << 8) | (channel(16) << 16);
}

namespace {

struct Weights {
    int faceTop, faceMiddle, faceBottom, edgeStart, edgeMiddle, edgeEnd;
};

ColorScheme build(OLE_COLOR B, OLE_COLOR A, OLE_COLOR T, OLE_COLOR faceColour, const Weights& w, OLE_COLOR textBase)
{
    ColorScheme s;
    s.Accent = A;
    s.Back = B;
    s.FaceTop = BlendColors(B, faceColour, w.faceTop);
    s.FaceMiddle = BlendColors(B, faceColour, w.faceMiddle);
    s.FaceBottom = BlendColors(B, faceColour, w.faceBottom);
    s.EdgeStart = BlendColors(B, faceColour, w.edgeStart);
    s.EdgeMiddle = BlendColors(B, faceColour, w.edgeMiddle);
    s.EdgeEnd = BlendColors(B, faceColour, w.edgeEnd);
    s.Text = BlendColors(textBase, faceColour, 140);
    s.Tint1 = BlendColors(B, T, 230);
    s.Tint2 = BlendColors(B, T, 180);
    s.Tint3 = BlendColors(B, T, 130);
    return s;
}

} // namespace

ColorScheme SchemeNormal(OLE_COLOR B, OLE_COLOR A, OLE_COLOR T)
{
    return build(B, A, T, A, {230, 190, 170, 220, 200, 120}, 0);
}

ColorScheme SchemeHover(OLE_COLOR B, OLE_COLOR A, OLE_COLOR T)
{
    return build(B, A, T, A, {245, 205, 185, 220, 200, 120}, 0);
}

ColorScheme SchemePressed(OLE_COLOR B, OLE_COLOR A, OLE_COLOR T)
{
    return build(B, A, T, A, {170, 190, 230, 120, 120, 220}, 0);
}

ColorScheme SchemeDisabled(OLE_COLOR B, OLE_COLOR A, OLE_COLOR T)
{
    return build(B, A, T, A, {200, 190, 180, 220, 200, 120}, B);
}

ColorScheme SchemeFocus(OLE_COLOR B, OLE_COLOR A, OLE_COLOR T)
{
    return build(B, A, T, BlendColors(A, T, 128), {230, 190, 170, 220, 200, 120}, 0);
}

void SplitColor(OLE_COLOR colour, int& red, int& green, int& blue)
{
    const OLE_COLOR c = TranslateColor(colour) & 0xFFFFFFu;
    red = static_cast<int>(c & 0xFF);
    green = static_cast<int>((c >> 8) & 0xFF);
    blue = static_cast<int>((c >> 16) & 0xFF);
}

void AddDropShadow(QWidget* window)
{
    if (!window)
        return;
    QWidget* w = window->window();
    w->setAttribute(Qt::WA_X11NetWmWindowTypeDropDownMenu, true);
    w->setProperty("quilDropShadow", true);
}

void SetWindowOpacity(QWidget* window, int alpha)
{
    if (window)
        window->window()->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
}

void ClearWindowOpacity(QWidget* window)
{
    if (!window)
        return;
    window->window()->setWindowOpacity(1.0);
    window->window()->update();
}

namespace {

QString& openerProgram()
{
    static QString program = QStringLiteral("xdg-open");
    return program;
}

} // namespace

void SetOpener(const QString& program) { openerProgram() = program; }
QString Opener() { return openerProgram(); }

bool ShellOpen(const QString& file, const QString& verb, const QString& parameters, const QString& folder, int show)
{
    // A document takes no parameters, and the desktop decides how to show it.
    Q_UNUSED(parameters);
    Q_UNUSED(show);
    const QString v = verb.trimmed().toLower();
    if (!(v.isEmpty() || v == "open" || v == "explore" || v == "edit"))
        return false;
    return OpenLink(file, folder);
}

namespace {

QString dataRoot()
{
    // Installed: beside the library, at the same place relative to it as at
    // install time. In the build tree: the source folder.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&dataRoot), &info) && info.dli_fname) {
        const QDir libDir = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteDir();
        const QFileInfo installed(libDir.filePath(QStringLiteral(QUIL_RELATIVE_DATADIR)));
        if (installed.isDir())
            return installed.canonicalFilePath();
    }
    return QStringLiteral(QUIL_SOURCE_DATADIR);
}

QString withSlash(QString s)
{
    s = s.trimmed();
    if (!s.endsWith('/'))
        s += '/';
    return s;
}

} // namespace

QString WindowsFolder() { return withSlash(dataRoot()); }
QString SystemFolder() { return withSlash(dataRoot() + QStringLiteral("/system")); }

QString HexDigits(quint32 n)
{
    return PadZeros(QString::number(n, 16).toUpper(), 6);
}

QString PadZeros(const QString& text, int length)
{
    QString t = text.trimmed();
    while (t.size() < length)
        t.prepend('0');
    return t;
}

namespace {
qsizetype lastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
}
} // namespace

QString FileNamePart(const QString& path)
{
    const qsizetype i = lastSeparator(path);
    return i < 0 ? path.trimmed() : path.mid(i + 1);
}

QString FolderPart(const QString& path)
{
    const qsizetype i = lastSeparator(path);
    return i < 0 ? path.trimmed() : path.left(i + 1);
}

} // namespace quil
