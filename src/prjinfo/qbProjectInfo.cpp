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
        programDir = ChooseProgramDir(QCoreApplication::applicationDirPath(),
                                      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    }
    m_programDir = WithSlash(programDir);
}

TqbPrjInfo::~TqbPrjInfo() = default;

QString TqbPrjInfo::ChooseProgramDir(const QString& executableDir, const QString& userDataDir) {
    if (CanWriteIn(executableDir))
        return WithSlash(executableDir);
    QDir().mkpath(userDataDir);
    return WithSlash(userDataDir);
}

TqbVersion TqbPrjInfo::CompiledVersion() {
    return {QBNIVORA_VERSION_MAJOR, QBNIVORA_VERSION_MINOR, QBNIVORA_VERSION_PATCH,
            QBNIVORA_VERSION_BUILD};
}

QString TqbPrjInfo::HomePage() {
    return QStringLiteral(QBNIVORA_HOME_PAGE);
}

QString TqbPrjInfo::VersionText(const TqbVersion& v) {
    if (v.major == 0 && v.minor == 0 && v.patch == 0 && v.build == 0)
        return {};
    return QString::asprintf("%d.%d build %d", v.major, v.minor, v.build);
}

bool TqbPrjInfo::StartMaximized() const {
    return Ini().ReadBool("PROGRAM", "BeginMax", false);
}
