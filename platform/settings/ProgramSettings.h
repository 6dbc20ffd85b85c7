#pragma once
// Per-user program settings read and written by application, section and key.
// Values are text. The store of application A is $XDG_CONFIG_HOME/A/A.ini.

#include <QString>

namespace platform {

class ProgramSettings {
public:
    virtual ~ProgramSettings() = default;
    virtual QString GetSetting(const QString& app, const QString& section, const QString& key,
                               const QString& def) = 0;
    // False when the store could not be written.
    virtual bool SaveSetting(const QString& app, const QString& section, const QString& key,
                             const QString& value) = 0;
};

class IniProgramSettings : public ProgramSettings {
public:
    static QString fileFor(const QString& app);
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& def) override;
    // Written through at once so a crash loses nothing already saved.
    bool SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override;
};

} // namespace platform
