#include "ProgramSettings.h"
#include "../shell/Folders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace platform {

QString IniProgramSettings::fileFor(const QString& app)
{
    return XdgConfigHome() + "/" + app + "/" + app + ".ini";
}

QString IniProgramSettings::GetSetting(const QString& app, const QString& section,
                                       const QString& key, const QString& def)
{
    QSettings s(fileFor(app), QSettings::IniFormat);
    s.beginGroup(section);
    const QVariant v = s.value(key);
    if (!v.isValid())
        return def;
    // A value with commas reads back as a list; it is still one text.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(',');
    return v.toString();
}

bool IniProgramSettings::SaveSetting(const QString& app, const QString& section,
                                     const QString& key, const QString& value)
{
    const QString file = fileFor(app);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings s(file, QSettings::IniFormat);
    s.beginGroup(section);
    s.setValue(key, value);
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace platform
