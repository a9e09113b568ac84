#include "prjinfo/qbProjectInfo.h"

#include "qbVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString WithSlash(QString dir) {
    dir = QDir::fromNativeSeparators(dir);
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}

// Writability is tested by writing: permission bits do not tell about read-only mounts.
bool CanWriteIn(const QString& dir) {
    QTemporaryFile probe(WithSlash(dir) + ".qbNivora-probe-XXXXXX");
    return probe.open();
}

} // namespace

TqbPrjInfo::TqbPrjInfo(QString appName, QString programDir) : m_appName(std::move(appName)) {
    if (programDir.isEmpty()) {
        const QString executableDir = QCoreApplication::applicationDirPath();
        programDir = ChooseProgramDir(
            executableDir, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        m_sharedDir = InstalledSharedDir(executableDir);
    }
    m_programDir = WithSlash(programDir);
}

TqbPrjInfo::~TqbPrjInfo() = default;

QString TqbPrjInfo::ChooseProgramDir(const QString& executableDir, const QString& userDataDir) {
    // An installed copy never writes into its prefix, even where it could (run as root): the
    // next package update would replace or remove what the user wrote there.
    if (InstalledSharedDir(executableDir).isEmpty() && CanWriteIn(executableDir))
        return WithSlash(executableDir);
    QDir().mkpath(userDataDir);
    return WithSlash(userDataDir);
}

QString TqbPrjInfo::InstalledSharedDir(const QString& executableDir) {
    const QString shared =
        QDir::cleanPath(WithSlash(executableDir) + QStringLiteral(QBNIVORA_SHARED_FROM_BIN));
    return QFileInfo(shared).isDir() ? WithSlash(shared) : QString();
}

QString TqbPrjInfo::DefaultsDir(const QString& sharedDir, const QString& folder,
                                const QString& builtInDir) {
    if (!sharedDir.isEmpty()) {
        const QString installed = sharedDir + folder + u'/';
        if (!QDir(installed).isEmpty())
            return installed;
    }
    return builtInDir;
}

QString TqbPrjInfo::DesktopId() {
    return QStringLiteral(QBNIVORA_APP_ID);
}

TqbVersion TqbPrjInfo::CompiledVersion() {
    return {QBNIVORA_VERSION_MAJOR, QBNIVORA_VERSION_MINOR, QBNIVORA_VERSION_PATCH,
            QBNIVORA_VERSION_BUILD};
}

QUrl TqbPrjInfo::HomePage() {
    const QString address = QStringLiteral(QBNIVORA_HOME_PAGE);
    if (!address.isEmpty())
        return QUrl(address);
    const QString readme =
        ReadmeFile(QCoreApplication::applicationDirPath(), QStringLiteral(QBNIVORA_SOURCE_README));
    return readme.isEmpty() ? QUrl() : QUrl::fromLocalFile(readme);
}

QString TqbPrjInfo::ReadmeFile(const QString& executableDir, const QString& sourceReadme) {
    const QString installed = QDir::cleanPath(WithSlash(executableDir) +
                                              QStringLiteral(QBNIVORA_DOC_FROM_BIN "/README.md"));
    for (const QString& file : {installed, sourceReadme})
        if (!file.isEmpty() && QFileInfo(file).isFile())
            return file;
    return {};
}

QString TqbPrjInfo::VersionText(const TqbVersion& v) {
    if (v.major == 0 && v.minor == 0 && v.patch == 0 && v.build == 0)
        return {};
    return QString::asprintf("%d.%d build %d", v.major, v.minor, v.build);
}

bool TqbPrjInfo::StartMaximized() const {
    return Ini().ReadBool("PROGRAM", "BeginMax", false);
}
