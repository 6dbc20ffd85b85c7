#pragma once
// Running a desktop's own command-line tool: an argument vector, never a
// shell, and a time limit after which the tool is abandoned.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

struct ToolResult {
    bool started = false;
    bool timedOut = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    bool ok() const { return started && !timedOut && exitCode == 0; }
    // "gsettings set ... failed: <why>"
    QString describe(const QString& program, const QStringList& args) const;
};

ToolResult RunTool(const QString& program, const QStringList& args, int timeoutMs);

} // namespace platform
