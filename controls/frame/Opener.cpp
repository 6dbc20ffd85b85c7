#include "Opener.h"
#include "Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>

namespace quil {

namespace {

LinkOpener& opener()
{
    static LinkOpener o;
    return o;
}

// Types the desktop would run rather than show.
bool runsCode(const QFileInfo& info)
{
    if (info.isExecutable())
        return true;
    static const char* const programs[] = {
        "application/x-desktop", "application/x-executable", "application/x-sharedlib",
        "application/x-pie-executable", "application/x-shellscript", "application/x-ms-dos-executable",
        "application/x-msdownload", "application/vnd.microsoft.portable-executable", "application/x-msi",
        "application/x-ms-shortcut", "application/x-java-archive", "application/x-appimage",
        "application/x-flatpak", "application/vnd.flatpak.ref",
    };
    static const QMimeDatabase db;
    // The name and the content may disagree; either is enough to refuse.
    for (const QMimeType& type : {db.mimeTypeForFile(info, QMimeDatabase::MatchExtension),
                                  db.mimeTypeForFile(info, QMimeDatabase::MatchContent)})
        for (const char* p : programs)
            if (type.inherits(QString::fromLatin1(p)))
                return true;
    return info.suffix().compare(QLatin1String("desktop"), Qt::CaseInsensitive) == 0;
}

QUrl localTarget(const QString& path, const QString& folder)
{
    const QFileInfo info(folder.isEmpty() ? QDir::current() : QDir(folder), path);
    if (!info.exists())
        return {};
    if (info.isFile()) {
        // A link may hide a program behind an innocent name: judge the target too.
        const QFileInfo target(info.canonicalFilePath());
        if (runsCode(info) || runsCode(target))
            return {};
    }
    // Absolute, so that a name beginning with "-" never reads as an option.
    return QUrl::fromLocalFile(info.absoluteFilePath());
}

} // namespace

void SetLinkOpener(LinkOpener o) { opener() = std::move(o); }

QUrl LinkTarget(const QString& link, const QString& folder)
{
    QString l = link;
    while (l.startsWith(' '))
        l.remove(0, 1);
    while (l.endsWith(' '))
        l.chop(1);
    if (l.isEmpty())
        return {};
    // A scheme has two letters or more: "C:" is a drive, not a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(l).hasMatch()) {
        const QUrl url(l, QUrl::TolerantMode);
        if (!url.isValid())
            return {};
        if (url.isLocalFile() || url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
            return url.toLocalFile().isEmpty() ? QUrl() : localTarget(url.toLocalFile(), QString());
        return url;
    }
    const QUrl local = localTarget(l, folder);
    if (local.isValid())
        return local;
    if (l.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) {
        const QUrl web(QStringLiteral("http://") + l, QUrl::TolerantMode);
        return web.isValid() ? web : QUrl();
    }
    return {};
}

bool OpenLink(const QString& link, const QString& folder)
{
    const QUrl url = LinkTarget(link, folder);
    if (!url.isValid())
        return false;
    if (const LinkOpener& o = opener())
        return o(url);
    // Detached: the opener may run as long as it likes (a browser it became,
    // a dialog it shows) and nothing of it is left for us to wait on or free.
    const QString argument = url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded);
    const QString workingDirectory = QFileInfo(folder).isDir() ? folder : QString();
    return QProcess::startDetached(Opener(), {argument}, workingDirectory);
}

} // namespace quil
