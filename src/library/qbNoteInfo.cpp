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

QString TqbNoteInfo::GetDataDir() const {
    const QString def = m_prjInfo.ProgramDir() + "BookData";
    QString dir = m_prjInfo.Ini().ReadString("PROGRAM", "DirData", def);
    // An empty value would make the tree list the file system's root.
    if (dir.isEmpty())
        dir = def;
    if (!QFileInfo(dir).isDir())
        QDir().mkdir(dir);
    return dir;
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
