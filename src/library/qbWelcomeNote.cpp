#include "library/qbWelcomeNote.h"

#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "platform/qbTextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace qbWelcomeNote {

namespace {

// A folder under the home folder is shown from "~", as shells and file managers show it.
QString Shown(const QString& dir) {
#ifndef Q_OS_WIN
    const QString home = QDir::homePath() + u'/';
    if (dir.startsWith(home))
        return QStringLiteral("~/") + dir.mid(home.size());
#endif
    return QDir::toNativeSeparators(dir);
}

} // namespace

QString Page(const QString& templateDir) {
    const QString shownTemplateDir = Shown(templateDir).toHtmlEscaped();
    const QStringList lines = {
        R"(<HTML><HEAD><META http-equiv=Content-Type content="text/html; charset=euc-kr">)",
        R"(<TITLE>qbNivora 시작하기</TITLE>)",
        R"(<style type="text/css"><!--)",
        R"(BODY,TD,SELECT,input,DIV,form,TEXTAREA,option {font-size:9pt; font-family:verdana;color:333333})",
        R"(LI {margin-bottom:6px})",
        R"(--></style></HEAD><BODY>)",
        R"(<H3>qbNivora에 오신 것을 환영합니다</H3>)",
        R"(<P>qbNivora는 노트를 이 컴퓨터의 폴더에 HTML 페이지로 보관합니다. 이 노트는 새 데이터 )"
        R"(폴더를 만들 때 한 번만 생깁니다. 다 읽었으면 지워도 됩니다.</P>)",
        R"(<UL>)",
        R"(<LI><B>트리</B>: 왼쪽 트리가 데이터 폴더 그대로입니다. 폴더는 디렉터리 하나, 노트는 )"
        R"(.htm 파일 하나입니다. 트리의 팝업 메뉴나 파일 메뉴로 폴더와 노트를 만들고 이름을 )"
        R"(바꾸며(F2), 끌어다 놓거나 잘라내기와 붙여넣기로 옮깁니다.</LI>)",
        R"(<LI><B>세 가지 모드</B>: 브라우즈 모드(F6)는 읽기만 하고, 수정모드(F7)는 보이는 )"
        R"(그대로 고치고, 소스 수정모드(F8)는 HTML을 글자로 고칩니다. 고친 내용은 다른 노트를 )"
        R"(고를 때, 모드를 바꿀 때, Ctrl+S를 누를 때, 고치는 동안 1분마다, 프로그램을 닫을 때 )"
        R"(저장됩니다.</LI>)",
        R"(<LI><B>서식</B>: 노트 만들기(Ctrl+Ins)에서 서식을 골라 새 노트를 시작합니다. 서식 )"
        R"(폴더 %1에 .htm 파일을 넣으면 서식이 늘어납니다.</LI>)",
        R"(<LI><B>검색</B>: Ctrl+D나 아래쪽의 Search 단추로 검색 창을 엽니다. 찾은 노트를 )"
        R"(고르면 찾은 글자가 표시되고, 두 번 누르면 그 노트를 고칠 수 있습니다. Data 단추를 )"
        R"(누르면 트리로 돌아갑니다.</LI>)",
        R"(<LI><B>노트로 이동</B>: Ctrl+J를 누르고 노트나 폴더 이름을 치면 목록이 좁혀집니다. )"
        R"(초성만 쳐도 됩니다("ㅎㄱ"는 "한글"). Enter로 그 노트를 엽니다. Alt+왼쪽과 Alt+오른쪽은 )"
        R"(앞서 연 노트로 오갑니다.</LI>)",
        R"(<LI><B>링크</B>: 수정모드에서 링크 만들기(Ctrl+K)로 웹 주소나 다른 노트에 연결합니다. )"
        R"(노트에 연결한 링크는 그 노트를 옮기거나 이름을 바꿔도 따라 고쳐집니다. 편집 메뉴의 )"
        R"("이 노트를 가리키는 노트"는 이 노트에 연결된 노트를 보여 줍니다.</LI>)",
        R"(<LI><B>이전 버전</B>: 저장할 때마다 앞의 내용이 버전으로 남습니다. 파일 메뉴의 이전 )"
        R"(버전(Ctrl+H)에서 골라 보고 비교하고 되살립니다. 프로그램이 갑자기 끝나도 치던 글은 )"
        R"(다음 시작 때 되살릴 수 있습니다.</LI>)",
        R"(<LI><B>맞춤법 검사</B>: 수정모드에서 틀린 한글과 영어 낱말에 밑줄이 그어집니다. 밑줄 )"
        R"(친 낱말을 오른쪽 단추로 누르면 고칠 말과 "사전에 추가"가 나옵니다. 편집 메뉴의 )"
        R"("맞춤법 검사"로 끄고 켭니다.</LI>)",
        R"(<LI><B>휴지통</B>: 폴더 노트 삭제(Ctrl+Shift+Del)는 바로 지우지 않고 데스크톱의 )"
        R"(휴지통으로 보냅니다. 파일 관리자의 휴지통에서 되살릴 수 있습니다.</LI>)",
        R"(</UL>)",
        R"(<P>데이터 폴더는 환경설정에서 바꿀 수 있습니다.</P>)",
        R"(</BODY></HTML>)",
    };
    // Every note file ends its lines with CR LF.
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).arg(shownTemplateDir);
}

bool Write(const QString& libraryDir, const QString& templateDir, QString* problem) {
    const QString path = QDir(libraryDir).filePath(FileName);
    // A note of this name is the user's, whatever it holds.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return true;
    try {
        qbPageCodec::Write(path, Page(templateDir), qbText::DefaultCharset);
        return true;
    } catch (const EqbError& error) {
        if (problem)
            *problem = error.Message();
        return false;
    }
}

} // namespace qbWelcomeNote
