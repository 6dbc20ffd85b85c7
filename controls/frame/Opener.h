#pragma once
// The one way the library opens a file, folder or link (ShellOpen and the
// label's links): a web address or a document, handed to the desktop's
// opener as one argument of an argument vector, started detached so the
// user-interface thread never waits on it. No shell, no program of the
// user's started by us, nothing that would run code: local programs,
// scripts and launchers (.desktop files) are refused, and a local name is
// always made absolute so it can never read as an option.

#include <QString>
#include <QUrl>

#include <functional>

namespace quil {

// Hands a URL to the desktop; true when it was accepted. Tests replace it so
// that nothing is launched; nullptr restores the desktop's opener.
using LinkOpener = std::function<bool(const QUrl&)>;
void SetLinkOpener(LinkOpener opener);

// The URL a link opens, or an invalid URL when it must not be opened. A link
// with a scheme (two letters or more: "C:" is a drive) is an address; one
// without names a file or folder (relative to the folder given, else the
// current one) or, beginning with "www.", a web address.
QUrl LinkTarget(const QString& link, const QString& folder = QString());

// Opens the link's target; false when there is none or the opener could not
// be started. A detached start knows only that the opener began, not what
// became of the document.
bool OpenLink(const QString& link, const QString& folder = QString());

} // namespace quil
