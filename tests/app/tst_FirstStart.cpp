// The window's first start on a library it makes: the user is greeted by the welcome note.
#include "common/qbAppTestMain.h"
#include "common/qbWindowFixture.h"
#include "library/qbWelcomeNote.h"

class TestFirstStart : public QObject {
    Q_OBJECT
private slots:
    void newLibraryOpensOnTheWelcomeNote() {
        TqbWindowFixture fix;
        // No library yet: the window makes it.
        fix.Open([](TqbWindowFixture& f) { QVERIFY(QDir(f.Lib("")).removeRecursively()); });
        QVERIFY(QFileInfo(fix.Lib(qbWelcomeNote::FileName)).isFile());
        QCOMPARE(fix.Tree()->model()->rowCount(), 1);
        QCOMPARE(fix.Tree()->currentIndex(), fix.Tree()->model()->index(0, 0));
        QCOMPARE(fix.Tree()->currentIndex().data().toString(), QStringLiteral("qbNivora 시작하기"));
        QVERIFY(fix.Window->Dhtml()->DocumentHtml().contains("환영합니다"));
    }

    void libraryTheUserHasGetsNothing() {
        TqbWindowFixture fix;
        fix.Open([](TqbWindowFixture& f) { WriteBytes(f.Lib("a.htm"), "<HTML></HTML>"); });
        QCOMPARE(QDir(fix.Lib("")).entryList(QDir::Files), QStringList{"a.htm"});
        QCOMPARE(fix.Tree()->model()->rowCount(), 1);
    }
};

QB_APP_TEST_MAIN(TestFirstStart)
#include "tst_FirstStart.moc"
