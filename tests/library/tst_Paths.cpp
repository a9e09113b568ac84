#include "library/qbPaths.h"

#include <QTest>

// Every character one pixel wide: widths are lengths.
static int Chars(const QString& s) { return int(s.size()); }

class TestPaths : public QObject {
    Q_OBJECT
private slots:
    void fileNameNoExt_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("two dots") << "/notes/x.y.htm" << "x.y";
        QTest::newRow("a.b.htm") << "a.b.htm" << "a.b";
        QTest::newRow("no extension") << "noext" << "noext";
        QTest::newRow("dot in folder only") << "/a.d/memo" << "memo";
        QTest::newRow("korean") << "/책/일기.htm" << "일기";
        QTest::newRow("hidden-like") << ".htm" << "";
    }
    void fileNameNoExt() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(FileNameNoExt(path), name);
    }

    void stripTrailingDelim_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("stripped");
        QTest::newRow("one slash") << "/a/b/" << "/a/b";
        QTest::newRow("only one goes") << "/a//" << "/a/";
        QTest::newRow("none") << "/a/b" << "/a/b";
        QTest::newRow("root") << "/" << "";
        QTest::newRow("empty") << "" << "";
#ifndef Q_OS_WIN
        QTest::newRow("colon is a letter here") << "a:" << "a:";
#endif
    }
    void stripTrailingDelim() {
        QFETCH(QString, path);
        QFETCH(QString, stripped);
        QCOMPARE(StripTrailingDelim(path), stripped);
    }

    void shortenPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<QString>("shown");
        const QString p = "/home/me/Documents/Notes/";
        QTest::newRow("fits, trailing slash dropped") << "/data/Notes/" << 100 << "/data/Notes";
        QTest::newRow("one wider fits whole") << p << 25 << "/home/me/Documents/Notes";
        QTest::newRow("exact width does not fit") << p << 24 << "/home/me/.../Notes";
        QTest::newRow("drop me") << p << 18 << "/home/.../Notes";
        QTest::newRow("nothing fits") << p << 15 << "Notes";
        QTest::newRow("narrower than the name") << p << 2 << "Notes";
        QTest::newRow("parent never shown alone") << "/a/b" << 3 << "b";
    }
    void shortenPath() {
        QFETCH(QString, path);
        QFETCH(int, maxWidth);
        QFETCH(QString, shown);
        QCOMPARE(ShortenPath(path, Chars, maxWidth), shown);
    }

    // The candidates are tried from the longest head down.
    void shortenPathTriesCandidatesInOrder() {
        QStringList tried;
        const auto width = [&](const QString& s) {
            tried << s;
            return 1000;
        };
        QCOMPARE(ShortenPath("/home/me/Documents/Notes/", width, 10), QString("Notes"));
        QCOMPARE(tried, QStringList({"/home/me/Documents/Notes", "/home/me/.../Notes",
                                     "/home/.../Notes"}));
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_Paths.moc"
