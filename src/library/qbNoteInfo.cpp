#include "library/qbNoteInfo.h"

#include "platform/qbError.h"
#include "prjinfo/qbProjectInfo.h"
#include "platform/qbTextFile.h"

#include <QDir>
#include <QFileInfo>

TqbNoteInfo::TqbNoteInfo(const TqbPrjInfo& prjInfo) : m_prjInfo(prjInfo) {
    LoadDefaultHeader();
}

TqbNoteInfo::~TqbNoteInfo() = default;

QString TqbNoteInfo::TempFileName() const { return m_prjInfo.ProgramDir() + "qbtmp.qb"; }

QString TqbNoteInfo::DefHeaderFileName() const { return m_prjInfo.ProgramDir() + "DefHeader.dat"; }

QString TqbNoteInfo::TemplateDir() const { return m_prjInfo.ProgramDir() + "qbTemplate/"; }

QString TqbNoteInfo::AppTitle() const { return m_prjInfo.AppName() + " " + m_prjInfo.VersionText(); }

namespace {

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// DataDirFault, telling also whether it made the folder.
QString CheckDataDir(const QString& dir, bool& created) {
    const bool existed = QFileInfo::exists(dir);
    QString fault = TqbNoteInfo::DataDirFault(dir);
    created = !existed && fault.isEmpty();
    return fault;
}

} // namespace

QString TqbNoteInfo::DataDirFault(const QString& dir) {
    const QFileInfo info(dir);
    const QString canonical = info.canonicalFilePath();
    if (QDir(dir).isRoot() || (!canonical.isEmpty() && QDir(canonical).isRoot()))
        return QStringLiteral("데이터 폴더 \"%1\"은(는) 파일 시스템의 최상위 폴더라서 쓸 수 없습니다.")
            .arg(Shown(dir));
    if (info.exists() && !info.isDir())
        return QStringLiteral("데이터 폴더 \"%1\"은(는) 폴더가 아니라 파일입니다.").arg(Shown(dir));
    if (info.isDir()) {
        if (!info.isReadable() || !info.isExecutable())
            return QStringLiteral("데이터 폴더 \"%1\"을(를) 읽을 수 없습니다.").arg(Shown(dir));
        return {};
    }
    // Only the last level is made: a missing parent is more likely a typing error or a drive
    // that is not there than a wish for a new tree of folders.
    const QString parent = QFileInfo(QDir::cleanPath(info.absoluteFilePath())).absolutePath();
    if (!QFileInfo(parent).isDir())
        return QStringLiteral("데이터 폴더 \"%1\"의 상위 폴더가 없습니다.").arg(Shown(dir));
    if (!QDir().mkdir(dir))
        return QStringLiteral("데이터 폴더 \"%1\"을(를) 만들 수 없습니다.").arg(Shown(dir));
    return {};
}

QString TqbNoteInfo::DefaultDataDir() const {
    return m_prjInfo.ProgramDir() + "BookData";
}

QString TqbNoteInfo::GetDataDir() const {
    const QString def = DefaultDataDir();
    QString dir = m_prjInfo.Ini().ReadString("PROGRAM", "DirData", def);
    // An empty value would make the tree list the file system's root.
    if (dir.isEmpty())
        dir = def;
    // The working folder is wherever the program was started from; the program folder is not.
    if (QDir::isRelativePath(dir))
        dir = m_prjInfo.ProgramDir() + dir;

    m_dataDirProblem = CheckDataDir(dir, m_dataDirCreated);
    if (m_dataDirProblem.isEmpty() || dir == def)
        return dir;
    const QString defaultProblem = CheckDataDir(def, m_dataDirCreated);
    m_dataDirProblem += u'\n';
    m_dataDirProblem += defaultProblem.isEmpty()
        ? QStringLiteral("기본 데이터 폴더 \"%1\"을(를) 대신 씁니다.").arg(Shown(def))
        : defaultProblem;
    return def;
}

void TqbNoteInfo::SetDataDir(const QString& path) {
    TqbIniFile ini = m_prjInfo.Ini();
    ini.WriteString("PROGRAM", "DirData", path);
}

QStringList TqbNoteInfo::BuiltInHeader() {
    return {
        R"(<HTML><HEAD><META http-equiv=Content-Type content="text/html; charset=euc-kr">)",
        R"(<style type="text/css"><!--)",
        R"(BODY,TD,SELECT,input,DIV,form,TEXTAREA,option {font-size:9pt; font-family:verdana;color:333333})",
        R"(A:link {color:#4077a0;text-decoration:none;font-weight: bold})",
        R"(A:visited {color:#4077a0;text-decoration:none;font-weight: bold})",
        R"(A:hover{color:#990000;text-decoration:none;font-weight: bold})",
        R"(--></style></HEAD><BODY><DIV></DIV>)",
        R"(</BODY></HTML>)",
    };
}

void TqbNoteInfo::LoadDefaultHeader() {
    const QString file = DefHeaderFileName();
    if (QFileInfo(file).isFile()) {
        try {
            m_defaultHeader = qbText::ReadLines(file);
            return;
        } catch (const EqbError&) {
            // An unreadable file is treated as absent: the built-in page still gives a document.
        }
    }
    m_defaultHeader = BuiltInHeader();
}
