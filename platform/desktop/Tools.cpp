#include "Tools.h"

#include <QProcess>

namespace platform {

QString ToolResult::describe(const QString& program, const QStringList& args) const
{
    const QString cmd = (QStringList{program} + args).join(' ');
    if (!started)
        return QString("%1 could not be started (is it installed?)").arg(program);
    if (timedOut)
        return QString("%1 did not answer in time and was abandoned").arg(cmd);
    const QString why = QString::fromUtf8(err).trimmed();
    return QString("%1 failed (exit %2)%3").arg(cmd).arg(exitCode).arg(why.isEmpty() ? QString() : ": " + why);
}

ToolResult RunTool(const QString& program, const QStringList& args, int timeoutMs)
{
    ToolResult r;
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForStarted(timeoutMs))
        return r;
    r.started = true;
    if (!p.waitForFinished(timeoutMs)) {
        r.timedOut = true;
        p.kill();
        p.waitForFinished(1000);
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace platform
