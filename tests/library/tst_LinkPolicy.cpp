// Which links a note may follow, and what the user is told about the others.
#include "common/qbTestFiles.h"
#include "library/qbLinkPolicy.h"
#include "library/qbNoteLinks.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using qbLinkPolicy::TLinkAction;

class tst_LinkPolicy : public QObject {
    Q_OBJECT

private slots:
    void decide_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("told");

        const int desktop = int(TLinkAction::Desktop);
        const int tree = int(TLinkAction::ShowInTree);
        const int notANote = int(TLinkAction::RefuseNotANote);
        const int outside = int(TLinkAction::RefuseOutsideLibrary);
        const int scheme = int(TLinkAction::RefuseScheme);
        const QString outsideText = QStringLiteral("라이브러리 밖의 파일은 열지 않습니다: ");
        const QString schemeText = QStringLiteral("이 종류의 링크는 열지 않습니다: ");

        QTest::newRow("web page") << "https://example.org/a?b=1" << desktop << "";
        QTest::newRow("plain web page") << "HTTP://example.org/" << desktop << "";
        QTest::newRow("mail address") << "mailto:someone@example.org" << desktop << "";

        QTest::newRow("note") << "file:///lib/A/메모.htm" << tree << "";
        QTest::newRow("note, upper-case extension") << "file:///lib/B.HTM" << tree << "";
        QTest::newRow("place in a note") << "file:///lib/a.htm#part" << tree << "";
        QTest::newRow("folder page") << "file:///lib/A/___폴더설명.qb" << tree << "";
        QTest::newRow("program inside the library")
            << "file:///lib/A/run.desktop" << notANote
            << QStringLiteral("노트가 아닌 파일은 열지 않습니다: /lib/A/run.desktop");

        QTest::newRow("system file")
            << "file:///etc/passwd" << outside << outsideText + "/etc/passwd";
        QTest::newRow("climbing out of the library")
            << "file:///lib/A/../../home/.bashrc" << outside << outsideText + "/home/.bashrc";
        QTest::newRow("folder beside the library with its name as prefix")
            << "file:///lib2/x.htm" << outside << outsideText + "/lib2/x.htm";
        QTest::newRow("the library folder itself")
            << "file:///lib" << outside << outsideText + "/lib";
        QTest::newRow("file on another machine")
            << "file://server/lib/x.htm" << outside << outsideText + "file://server/lib/x.htm";

        QTest::newRow("script") << "javascript:alert(1)" << scheme << schemeText + "javascript:";
        QTest::newRow("data") << "data:text/html,<b>x</b>" << scheme << schemeText + "data:";
        QTest::newRow("network share") << "smb://server/share" << scheme << schemeText + "smb:";
        QTest::newRow("invalid address") << "http://[::1" << scheme << schemeText + "잘못된 주소";
    }

    void decide() {
        QFETCH(QString, url);
        QFETCH(int, action);
        QFETCH(QString, told);
        const QUrl link(url);
        const TLinkAction decided = qbLinkPolicy::Decide(link, "/lib/", ".htm");
        QCOMPARE(int(decided), action);
        QCOMPARE(qbLinkPolicy::RefusalText(link, decided), told);
    }

    // Mail links reach the mail program without the files they ask it to attach.
    void forDesktop_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QStringList>("dropped");

        QTest::newRow("attachment among other fields")
            << "mailto:a@example.org?subject=%ED%9A%8C%EC%9D%98&attach=/etc/passwd&body=x+y"
            << "mailto:a@example.org?subject=%ED%9A%8C%EC%9D%98&body=x+y"
            << QStringList{"/etc/passwd"};
        QTest::newRow("only attachments, any case, encoded")
            << "MAILTO:a@example.org?Attachment=%2Fhome%2Fu%2F.ssh%2Fid%20rsa&ATTACH=file:///x"
            << "mailto:a@example.org" << QStringList{"/home/u/.ssh/id rsa", "file:///x"};
        QTest::newRow("a field that only names attach")
            << "mailto:a@example.org?subject=attach&body=attach=1"
            << "mailto:a@example.org?subject=attach&body=attach=1" << QStringList{};
        QTest::newRow("web page keeps its query")
            << "https://example.org/?attach=1" << "https://example.org/?attach=1" << QStringList{};
    }
    void forDesktop() {
        QFETCH(QString, url);
        QFETCH(QString, opened);
        QFETCH(QStringList, dropped);
        QStringList got;
        QCOMPARE(qbLinkPolicy::ForDesktop(QUrl(url), &got).toString(QUrl::FullyEncoded), opened);
        QCOMPARE(got, dropped);
    }

    // An href as written in the note "<lib>/개인/오늘.htm", to the file the tree shows.
    void hrefLeadsToTheFile_data() {
        QTest::addColumn<QString>("href");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("path"); // under the library

        const int tree = int(TLinkAction::ShowInTree);
        const int notANote = int(TLinkAction::RefuseNotANote);
        const int outside = int(TLinkAction::RefuseOutsideLibrary);
        const QString folderPage = QStringLiteral("/___폴더설명.qb");

        QTest::newRow("beside") << "어제.htm" << tree << "개인/어제.htm";
        QTest::newRow("parent folder, space, Korean")
            << "../일/2026-12-08 일기.htm" << tree << "일/2026-12-08 일기.htm";
        QTest::newRow("encoded Korean and space")
            << "../%EC%9D%BC/a%20b.htm" << tree << "일/a b.htm";
        QTest::newRow("encoded '#' is part of the name") << "C%23%20%EB%85%B8%ED%8A%B8.htm" << tree
                                                         << "개인/C# 노트.htm";
        QTest::newRow("bare '#' starts a place in the page") << "C#1.htm" << notANote << "개인/C";
        QTest::newRow("place in a note") << "어제.htm#끝" << tree << "개인/어제.htm";
        QTest::newRow("encoded '%'") << "100%25.htm" << tree << "개인/100%.htm";
        QTest::newRow("lone '%' kept") << "100%.htm" << tree << "개인/100%.htm";
        QTest::newRow("'&' and quote") << "Tom&Jerry's.htm" << tree << "개인/Tom&Jerry's.htm";
        QTest::newRow("encoded '&' and quote")
            << "Tom%26Jerry%27s.htm" << tree << "개인/Tom&Jerry's.htm";
        QTest::newRow("query") << "어제.htm?x=1" << tree << "개인/어제.htm";
        QTest::newRow("folder") << "../일/" << tree << QStringLiteral("일") + folderPage;
        QTest::newRow("folder without slash") << "../일" << tree << QStringLiteral("일") + folderPage;
        QTest::newRow("folder page") << "../일/___폴더설명.qb" << tree
                                     << QStringLiteral("일") + folderPage;
        QTest::newRow("absolute address") << "file://<lib>/일/a.htm" << tree << "일/a.htm";
        QTest::newRow("Windows separators") << "..\\일\\a b.htm#p" << tree << "일/a b.htm";
        QTest::newRow("name encoded from code page 949")
            << "../%C0%CF/%B0%A1.htm" << tree << "일/가.htm";
        QTest::newRow("the note itself") << "" << tree << "개인/오늘.htm";
        const QString nfd = QStringLiteral("메모.htm").normalized(QString::NormalizationForm_D);
        QTest::newRow("name composed on disk, decomposed in the link")
            << QStringLiteral("한글.htm").normalized(QString::NormalizationForm_D) << tree
            << "개인/한글.htm";
        QTest::newRow("name decomposed on disk, composed in the link")
            << "../일/메모.htm" << tree << QStringLiteral("일/") + nfd;
        QTest::newRow("conflict copy beside its original")
            << "한글.sync-conflict-20261209-101010-ABCDEFG.htm" << notANote
            << "개인/한글.sync-conflict-20261209-101010-ABCDEFG.htm";
        QTest::newRow("conflict copy alone")
            << "어제 (conflicted copy 2026-12-09 101010).htm" << tree
            << "개인/어제 (conflicted copy 2026-12-09 101010).htm";
        QTest::newRow("library itself") << ".." << outside << "";
        QTest::newRow("out of the library") << "../../x.htm" << outside << "";
    }
    void hrefLeadsToTheFile() {
        QFETCH(QString, href);
        QFETCH(int, action);
        QFETCH(QString, path);
        QTemporaryDir dir;
        const QString lib = dir.filePath("lib");
        QVERIFY(QDir().mkpath(lib + "/일"));
        WriteBytes(lib + "/개인/한글.htm", {});
        WriteBytes(lib + "/일/" + QStringLiteral("메모.htm").normalized(QString::NormalizationForm_D), {});
        href.replace("<lib>", lib);
        const QUrl url = qbNoteLinks::Resolve(href, lib + "/개인/오늘.htm");
        QCOMPARE(int(qbLinkPolicy::Decide(url, lib, ".htm")), action);
        if (!path.isEmpty())
            QCOMPARE(qbLinkPolicy::LibraryPath(url), lib + u'/' + path);
    }

    // The href written from "/lib/개인/오늘.htm", and that it leads back to the same file.
    void hrefToANote_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("href");
        QTest::newRow("beside") << "/lib/개인/abc.htm" << "abc.htm";
        QTest::newRow("space and Korean")
            << "/lib/개인/2026-12-08 일기.htm" << "2026-12-08%20%EC%9D%BC%EA%B8%B0.htm";
        QTest::newRow("'#', '%', '&' and quote")
            << "/lib/개인/C# 100% & 'x'.htm" << "C%23%20100%25%20%26%20%27x%27.htm";
        QTest::newRow("subfolder") << "/lib/개인/a b/c.htm" << "a%20b/c.htm";
        QTest::newRow("parent folder") << "/lib/일/c.htm" << "../%EC%9D%BC/c.htm";
        QTest::newRow("two up") << "/lib/c.htm" << "../c.htm";
        QTest::newRow("folder page")
            << "/lib/일/___폴더설명.qb" << "../%EC%9D%BC/___%ED%8F%B4%EB%8D%94%EC%84%A4%EB%AA%85.qb";
        QTest::newRow("itself") << "/lib/개인/오늘.htm" << "%EC%98%A4%EB%8A%98.htm";
    }
    void hrefToANote() {
        QFETCH(QString, target);
        QFETCH(QString, href);
        const QString note = "/lib/개인/오늘.htm";
        QCOMPARE(qbNoteLinks::Href(note, target), href);
        QCOMPARE(qbLinkPolicy::LibraryPath(qbNoteLinks::Resolve(href, note)), target);
    }
};

QTEST_GUILESS_MAIN(tst_LinkPolicy)
#include "tst_LinkPolicy.moc"
