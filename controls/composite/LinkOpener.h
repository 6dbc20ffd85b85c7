#pragma once
// Opening a label's link: a web address or a document, handed to the
// desktop's opener as one URL. No shell, no program started by us, and
// nothing that would run code: local programs, scripts and launchers
// (.desktop files) are refused.

#include <QString>
#include <QUrl>

#include <functional>

namespace quil {

// Hands a URL to the desktop; true when it accepted it. Tests replace it so
// that nothing is launched; nullptr restores the desktop's own.
using LinkOpener = std::function<bool(const QUrl&)>;
void SetLinkOpener(LinkOpener opener);

// The URL a link opens, or an invalid URL when it must not be opened. A link
// without a scheme names a file or folder (relative to the current folder)
// or, beginning with "www.", a web address.
QUrl LinkTarget(const QString& link);

// Opens the link's target; false when there is none or the opener refused.
bool OpenLink(const QString& link);

} // namespace quil
