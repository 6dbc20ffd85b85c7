#include <quilObjects/IconExtractor.h>
#include <quilObjects/Routines.h>

#include "IconSources.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>

namespace quil {

namespace {

QStringList liveMimeIconNames(const QString& type)
{
    const QMimeDatabase db;
    QMimeType t = db.mimeTypeForName(type);
    if (!t.isValid() && type.startsWith('.'))
        t = db.mimeTypeForFile(QStringLiteral("x") + type, QMimeDatabase::MatchExtension);
    if (!t.isValid() || t.isDefault())
        return {};
    QStringList names{t.iconName(), t.genericIconName()};
    names.removeDuplicates();
    return names;
}

// The folders of one theme that may hold an icon at this size, best first:
// the size itself, scalable, then larger sizes, then smaller ones.
QStringList sizedFolders(const QString& themeDir, int size)
{
    QList<std::pair<int, QString>> ranked;
    static const QRegularExpression sized(QStringLiteral("^(\\d+)x(\\d+)(@\\d+)?$"));
    for (const QString& d : QDir(themeDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch m = sized.match(d);
        int rank;
        if (m.hasMatch()) {
            if (!m.captured(3).isEmpty())
                continue;
            const int s = m.captured(1).toInt();
            rank = s == size ? 0 : s > size ? 10000 + s : 20000 - s;
        } else if (d.startsWith(QLatin1String("scalable"))) {
            rank = 1;
        } else {
            continue;
        }
        ranked.append({rank, d});
    }
    std::sort(ranked.begin(), ranked.end());
    QStringList out;
    for (const auto& r : ranked)
        out << themeDir + '/' + r.second;
    return out;
}

// A freedesktop icon theme lookup of our own: Qt searches the system's icon
// folders only on some platforms, and changing its global theme settings
// would change the host's icons too.
QString themeFile(const QString& name, int size)
{
    QStringList themes;
    if (!QIcon::themeName().isEmpty())
        themes << QIcon::themeName();
    themes << QStringLiteral("Adwaita") << QStringLiteral("hicolor");
    themes.removeDuplicates();
    QStringList bases{QDir::homePath() + QStringLiteral("/.icons")};
    bases += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                       QStandardPaths::LocateDirectory);
    for (const QString& theme : themes)
        for (const QString& base : bases) {
            const QString dir = base + '/' + theme;
            if (!QFileInfo(dir).isDir())
                continue;
            for (const QString& folder : sizedFolders(dir, size))
                for (const QString& context : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                    for (const char* ext : {".png", ".svg"}) {
                        const QString f = folder + '/' + context + '/' + name + QLatin1String(ext);
                        if (QFileInfo(f).isFile())
                            return f;
                    }
        }
    return {};
}

QImage readPicture(const QString& path, int size);

QImage liveThemeIcon(const QString& name, int size)
{
    if (name.isEmpty() || name.contains('/'))
        return {};
    const QIcon icon = QIcon::fromTheme(name);
    if (!icon.isNull())
        return icon.pixmap(QSize(size, size), 1.0).toImage();
    static QHash<QPair<QString, int>, QString> found;
    const auto key = qMakePair(name, size);
    auto it = found.find(key);
    if (it == found.end())
        it = found.insert(key, themeFile(name, size));
    return it->isEmpty() ? QImage() : readPicture(*it, size);
}

const IconSources live{&liveMimeIconNames, &liveThemeIcon};
const IconSources* current = nullptr;
const IconSources& sources() { return current ? *current : live; }

constexpr HKEY classesRoot = HKEY_CLASSES_ROOT;

QString shellFolder() { return SystemFolder() + QStringLiteral("shell32/"); }

bool isShellLibrary(const QString& file)
{
    return FileNamePart(file).trimmed().compare(QLatin1String("shell32.dll"), Qt::CaseInsensitive) == 0;
}

QImage readPicture(const QString& path, int size)
{
    QImageReader reader(path);
    if (!reader.canRead())
        return {};
    if (reader.format() == "svg" || reader.format() == "svgz") {
        reader.setScaledSize(QSize(size, size));
        return reader.read();
    }
    // A picture with several images (an .ico): the one nearest the size, larger preferred.
    QImage best;
    int bestScore = 0;
    const int n = std::max(reader.imageCount(), 1);
    for (int i = 0; i < n; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage img = reader.read();
        if (img.isNull())
            continue;
        const int d = img.width() - size;
        const int score = d >= 0 ? 100000 - d : 50000 + d;
        if (best.isNull() || score > bestScore) {
            best = img;
            bestScore = score;
        }
    }
    return best;
}

// Icon number index of a source, or a null image when it has none.
QImage loadIcon(const QString& file, int index, int size)
{
    if (file.isEmpty())
        return {};
    if (isShellLibrary(file)) {
        const int n = std::abs(index);
        return readPicture(shellFolder() + QString::number(size) + '/' + QString::number(n) + ".png", size);
    }
    const QFileInfo info(file);
    if (info.isFile())
        return index == 0 ? readPicture(info.filePath(), size) : QImage();
    // Not a file: an icon of the theme by name.
    if (index != 0 || file.contains('/'))
        return {};
    return sources().themeIcon(file, size);
}

QImage surface(OLE_COLOR mask, int size)
{
    QImage img(size, size, QImage::Format_RGB32);
    const OLE_COLOR c = TranslateColor(mask);
    img.fill(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    return img;
}

bool drawOn(QImage& img, const QImage& icon)
{
    if (icon.isNull())
        return false;
    QPainter p(&img);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(0, 0, img.width(), img.height()), icon);
    return true;
}

int pixels(IconSize size) { return size == SmallIcon ? 16 : 32; }

} // namespace

const IconSources& LiveIconSources() { return live; }
void SetIconSources(const IconSources* s) { current = s; }

IconLocation ParseIconLocation(const QString& location)
{
    IconLocation r;
    QString file = location;
    const qsizetype comma = location.lastIndexOf(',');
    if (comma >= 0) {
        file = location.left(comma);
        bool ok = false;
        const int n = location.mid(comma + 1).trimmed().toInt(&ok);
        r.index = ok ? n : 0;
    }
    file = file.trimmed();
    file.remove('"');
    const QString root = QStringLiteral("%SystemRoot%\\");
    if (file.startsWith(root, Qt::CaseInsensitive))
        file = WindowsFolder() + file.mid(root.size()).replace('\\', '/');
    r.file = file.trimmed();
    return r;
}

class IconExtractorPrivate {
public:
    OLE_COLOR mask = 0;
};

IconExtractor::IconExtractor(QObject* parent) : QObject(parent), d(std::make_unique<IconExtractorPrivate>()) {}
IconExtractor::~IconExtractor() = default;

OLE_COLOR IconExtractor::MaskColor() const { return d->mask; }
void IconExtractor::setMaskColor(OLE_COLOR c) { d->mask = c; }

int IconExtractor::GetIconCount(const QString& sIconPath) const
{
    if (isShellLibrary(sIconPath)) {
        // Numbered as the shell numbers them: the count runs to the highest number.
        int count = 0;
        for (const QString& f : QDir(shellFolder() + "32").entryList({"*.png"}, QDir::Files)) {
            bool ok = false;
            const int n = f.chopped(4).toInt(&ok);
            if (ok)
                count = std::max(count, n + 1);
        }
        return count;
    }
    const QFileInfo info(sIconPath);
    return info.isFile() && !readPicture(info.filePath(), 32).isNull() ? 1 : 0;
}

QImage IconExtractor::ExtractIcon(const QString& sIconPath, short iIconIndex, IconSize iIconSize) const
{
    const int size = pixels(iIconSize);
    QImage img = surface(d->mask, size);
    drawOn(img, loadIcon(sIconPath, iIconIndex, size));
    return img;
}

QImage IconExtractor::ExtractIconOfFileType(const QString& sFileType, IconSize iIconSize) const
{
    const int size = pixels(iIconSize);
    QImage img = surface(d->mask, size);
    auto fromLocation = [&](const QString& location) {
        const IconLocation s = ParseIconLocation(location);
        return drawOn(img, loadIcon(s.file, s.index, size));
    };
    const QString shellDefault = QStringLiteral("%SystemRoot%\\system32\\shell32.dll,0");

    const QString cls = RegReadString(classesRoot, sFileType, QString(), QString());
    if (!cls.isEmpty()) {
        const QString location = RegReadString(classesRoot, cls + QStringLiteral("\\DefaultIcon"), QString(), QString());
        // "%1": each file is its own icon; a type has none of its own.
        if (location.contains(QLatin1String("%1"))) {
            fromLocation(shellDefault);
            return img;
        }
        if (!location.isEmpty() && fromLocation(location))
            return img;
    }
    for (const QString& name : sources().mimeIconNames(cls.isEmpty() ? sFileType : cls))
        if (drawOn(img, sources().themeIcon(name, size)))
            return img;
    const QString unknown = RegReadString(classesRoot, QStringLiteral("Unknown\\DefaultIcon"), QString(), QString());
    if (!unknown.isEmpty() && !unknown.contains(QLatin1String("%1")) && fromLocation(unknown))
        return img;
    fromLocation(shellDefault);
    return img;
}

} // namespace quil
