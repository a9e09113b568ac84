// The notes that link to a note, found in the pages' bytes whatever way their hrefs write it.
#include "search/qbBacklinks.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class tst_Backlinks : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString Lib(const QString& relative) const { return m_dir.filePath(relative); }

    void Write(const QString& relative, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(Lib(relative)).absolutePath());
        QFile file(Lib(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray Page(const QString& body) {
        return "<HTML><BODY>" + body.toUtf8() + "</BODY></HTML>\r\n";
    }

private slots:
    void initTestCase() {
        const QString target = QStringLiteral("C# 노트 & 'x'.htm");
        Write("개인/" + target, Page("<a href=\"C%23%20%EB%85%B8%ED%8A%B8%20%26%20%27x%27.htm\">"
                                     "me</a>"));
        Write("개인/a.htm", Page("<a href=\"C%23%20%EB%85%B8%ED%8A%B8%20%26%20%27x%27.htm\">x</a>"));
        Write("b.htm", Page("<A class=k HREF='개인/C%23 노트 &amp; &#39;x&#39;.htm'>x</A>"));
        Write("c.htm", Page("C# 노트 & 'x'.htm, named but not linked"));
        Write("d.htm", Page("<a href=\"개인/C#%20노트%20&amp;%20'x'.htm\">a place in 개인/C</a>"));
        QStringEncoder cp949("windows-949");
        Write("e.htm", "<HTML><HEAD><META http-equiv=Content-Type content=\"text/html; "
                       "charset=euc-kr\"></HEAD><BODY><a href=\"" +
                           cp949.encode(QStringLiteral("개인/C%23 노트 &amp; 'x'.htm")) +
                           "\">x</a></BODY></HTML>\r\n");
        Write("f.htm", Page("<a href=\"%EA%B0%9C%EC%9D%B8/\">the folder</a>"));
        Write("g.htm", Page("<a href=../outside/개인/a.htm>no</a><a href=개인>folder</a>"));
        Write("개인/___폴더설명.qb", Page("<a href=\"a.htm\">a</a>"));
        Write("개인/한글.htm", Page("composed on disk"));
        Write("h.htm", Page("<a href=\"" +
                            QUrl::toPercentEncoding(QStringLiteral("개인/한글.htm")
                                                        .normalized(QString::NormalizationForm_D),
                                                    "/") +
                            "\">decomposed in the link</a>"));
        Write("i.htm", Page("<iframe src=\"개인/a.htm\"></iframe>"));
        Write("r.htm", Page("<a href=\"&#x2e;/%EA%B0%9C%EC%9D%B8/&#xD55C;&#xAE00;.htm\">refs</a>"));
        Write("t.htm", Page("<textarea><a href=\"개인/a.htm\"></textarea><!-- <a href=\"개인/a.htm\"> -->"
                            "<script>'<a href=\"개인/한글.htm\">'</script>"));
        QStringEncoder utf16("UTF-16LE");
        Write("u.htm", "\xFF\xFE" + utf16.encode(QStringLiteral("<HTML><BODY><a href=\"개인/a.htm\">"
                                                                  "x</a></BODY></HTML>")));
        Write("w.htm", Page("<a href=\"%B0%B3%C0%CE\\a.htm\">a</a><a href=\"%C7%D1%B1%DB.htm\">no</a>"
                            "<a href=\"개인\\%C7%D1%B1%DB.htm\">한글</a>"));
    }

    void linkingPages_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("linking");
        QTest::newRow("note with odd characters")
            << QStringLiteral("개인/C# 노트 & 'x'.htm") << QStringList{"b.htm", "e.htm", "개인/a.htm"};
        QTest::newRow("plain note, linked from a folder page")
            << "개인/a.htm" << QStringList{"i.htm", "u.htm", "w.htm", "개인/___폴더설명.qb"};
        QTest::newRow("folder page") << QStringLiteral("개인/___폴더설명.qb")
                                     << QStringList{"f.htm", "g.htm"};
        QTest::newRow("name composed on disk, decomposed in the link")
            << QStringLiteral("개인/한글.htm") << QStringList{"h.htm", "r.htm", "w.htm"};
        QTest::newRow("no one links here") << "c.htm" << QStringList{};
    }
    void linkingPages() {
        QFETCH(QString, target);
        QFETCH(QStringList, linking);
        QStringList found = qbBacklinks::LinkingPages(m_dir.path(), Lib(target));
        for (QString& path : found)
            path = QDir(m_dir.path()).relativeFilePath(path);
        found.sort();
        QCOMPARE(found, linking);
    }
};

QTEST_GUILESS_MAIN(tst_Backlinks)
#include "tst_Backlinks.moc"
