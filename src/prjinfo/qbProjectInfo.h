#pragma once

#include "platform/qbIniFile.h"

#include <QString>
#include <QUrl>

struct TqbVersion {
    int major = 0, minor = 0, patch = 0, build = 0;
};

// What the program knows of itself: its name, its folder, its settings file and its version.
// One instance lives for the whole process.
class TqbPrjInfo {
public:
    // programDir empty: the executable's folder, or the per-user data folder for an installed
    // copy and where the executable's folder is not writable.
    explicit TqbPrjInfo(QString appName, QString programDir = {});
    ~TqbPrjInfo();
    TqbPrjInfo(const TqbPrjInfo&) = delete;
    TqbPrjInfo& operator=(const TqbPrjInfo&) = delete;

    const QString& AppName() const { return m_appName; }
    // Ends with "/".
    const QString& ProgramDir() const { return m_programDir; }
    // The installed copy's own read-only files ("<prefix>/share/qbNivora/"); empty when the
    // program does not run from an install tree.
    const QString& SharedDir() const { return m_sharedDir; }
    // Where the defaults of a kind ("qbTemplate", "qbSkinFiles2") are copied from into the
    // program folder: the installed "<SharedDir><folder>/" when it holds anything, so a
    // packager's set wins; else builtInDir (the compiled-in copy).
    QString DefaultsDir(const QString& folder, const QString& builtInDir) const {
        return DefaultsDir(m_sharedDir, folder, builtInDir);
    }
    static QString DefaultsDir(const QString& sharedDir, const QString& folder,
                               const QString& builtInDir);
    QString IniFileName() const { return m_programDir + m_appName + ".ini"; }
    TqbIniFile Ini() const { return TqbIniFile(IniFileName()); }

    static TqbVersion CompiledVersion();
    // The desktop's name for the program: its .desktop file without the extension, its icon.
    static QString DesktopId();
    // What the home-page item opens: the address the build was given, else the program's
    // README; empty when there is neither.
    static QUrl HomePage();
    // The README installed in the doc folder beside executableDir's install tree, else
    // sourceReadme (the source tree's, for a copy run from its build folder); empty when
    // neither is a file.
    static QString ReadmeFile(const QString& executableDir, const QString& sourceReadme);
    // "major.minor build N"; empty for a zero version.
    static QString VersionText(const TqbVersion& version);
    QString VersionText() const { return VersionText(CompiledVersion()); }

    bool StartMaximized() const;

    // The folder rule on its own, for the caller that wants to know where settings live.
    static QString ChooseProgramDir(const QString& executableDir, const QString& userDataDir);
    // The install tree's shared folder beside executableDir ("../share/qbNivora/"), ending
    // with "/"; empty when there is none, as in a build folder or a copy of its own.
    static QString InstalledSharedDir(const QString& executableDir);

private:
    QString m_appName;
    QString m_programDir;
    QString m_sharedDir;
};
