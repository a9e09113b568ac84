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

// A value written on Windows (D:\내 문서\BookData, \\server\share) would be taken here as one
// strange name in the program folder, and the library copied beside it would be ignored.
bool IsWindowsPath(const QString& value) {
    const bool drive = value.size() >= 2 && value.at(1) == u':' && value.at(0).isLetter() &&
                       value.at(0).unicode() < 0x80;
    return drive || value.contains(u'\\');
}

// The kernel's own views of the system: a folder there is never one to keep notes in.
bool IsSystemFolder(const QString& path) {
    for (const QString& system : {QStringLiteral("/proc"), QStringLiteral("/sys")}) {
        if (path == system || path.startsWith(system + u'/'))
            return true;
    }
    return false;
}

QString RealPath(const QString& dir) {
    const QFileInfo info(dir);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

QString TqbNoteInfo::DataDirFault(const QString& dir) {
    const QFileInfo info(dir);
    const QString canonical = info.canonicalFilePath();
    if (QDir(dir).isRoot() || (!canonical.isEmpty() && QDir(canonical).isRoot()))
        return QStringLiteral("데이터 폴더 \"%1\"은(는) 파일 시스템의 최상위 폴더라서 쓸 수 없습니다.")
            .arg(Shown(dir));
    if (IsSystemFolder(RealPath(dir)))
        return QStringLiteral("데이터 폴더 \"%1\"은(는) 시스템이 쓰는 폴더라서 쓸 수 없습니다.")
            .arg(Shown(QDir::cleanPath(dir)));
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

QString TqbNoteInfo::StoredDataDirFault(const QString& value, const QString& dir) const {
    if (IsWindowsPath(value))
        return QStringLiteral("데이터 폴더 \"%1\"은(는) 윈도우의 경로라서 이 컴퓨터에서는 쓸 수 "
                              "없습니다.").arg(value);
    // The program's own files would show up as the library's notes and folders.
    if (RealPath(dir) == RealPath(m_prjInfo.ProgramDir()))
        return QStringLiteral("데이터 폴더 \"%1\"은(는) 프로그램 폴더라서 쓸 수 없습니다.")
            .arg(Shown(QDir::cleanPath(dir)));
    return CheckDataDir(dir, m_dataDirCreated);
}

QString TqbNoteInfo::GetDataDir() const {
    const QString def = DefaultDataDir();
    QString value = m_prjInfo.Ini().ReadString("PROGRAM", "DirData", def);
    // An empty value would make the tree list the file system's root.
    if (value.isEmpty())
        value = def;
    // The working folder is wherever the program was started from; the program folder is not.
    const QString dir = QDir::isRelativePath(value) ? m_prjInfo.ProgramDir() + value : value;

    m_dataDirCreated = false;
    m_dataDirProblem = StoredDataDirFault(value, dir);
    if (m_dataDirProblem.isEmpty() || dir == def)
        return dir;
    // The default is the "BookData" beside the settings file: where a library copied from
    // another computer together with its settings lies.
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
