#pragma once

#include "platform/qbIniFile.h"

#include <QString>

struct TqbVersion {
    int major = 0, minor = 0, patch = 0, build = 0;
};

// What the program knows of itself: its name, its folder, its settings file and its version.
// One instance lives for the whole process.
class TqbPrjInfo {
public:
    // programDir empty: the executable's folder, or the per-user data folder where the
    // executable's folder is not writable.
    explicit TqbPrjInfo(QString appName, QString programDir = {});
    ~TqbPrjInfo();
    TqbPrjInfo(const TqbPrjInfo&) = delete;
    TqbPrjInfo& operator=(const TqbPrjInfo&) = delete;

    const QString& AppName() const { return m_appName; }
    // Ends with "/".
    const QString& ProgramDir() const { return m_programDir; }
    QString IniFileName() const { return m_programDir + m_appName + ".ini"; }
    TqbIniFile Ini() const { return TqbIniFile(IniFileName()); }

    static TqbVersion CompiledVersion();
    // The address the home-page item opens.
    static QString HomePage();
    // "major.minor build N"; empty for a zero version.
    static QString VersionText(const TqbVersion& version);
    QString VersionText() const { return VersionText(CompiledVersion()); }

    bool StartMaximized() const;

    // The folder rule on its own, for the caller that wants to know where settings live.
    static QString ChooseProgramDir(const QString& executableDir, const QString& userDataDir);

private:
    QString m_appName;
    QString m_programDir;
};
