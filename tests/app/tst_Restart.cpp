// The window as the next start shows it: the note open at the close, the folders left open and
// the view mode.
#include "app/main.h"
#include "common/qbAppTestMain.h"
#include "common/qbTestFiles.h"
#include "common/qbWindowFixture.h"

class tst_Restart : public QObject {
    Q_OBJECT

    TqbWindowFixture F;

    static void Fill(TqbWindowFixture& f) {
        QDir(f.Lib("")).mkpath("폴더");
        WriteBytes(f.Lib("메모.htm"), "<HTML><BODY>memo</BODY></HTML>\r\n");
        WriteBytes(f.Lib("폴더/회의록.htm"), "<HTML><BODY>minutes</BODY></HTML>\r\n");
        WriteBytes(f.Lib("폴더/일기.htm"), "<HTML><BODY>diary</BODY></HTML>\r\n");
    }

    QString OpenPath() const { return F.Window->OpenNote()->Path(); }

    // The window as the next start shows it, over the same program folder.
    void Restart(TqbViewMode mode = TqbViewMode::Browse) {
        if (F.Window->isVisible())
            F.Window->close();
        F.Window.reset();
        F.Notes = std::make_unique<TqbNoteInfo>(*F.Prj);
        F.Window = std::make_unique<TfrmMainNivora>(*F.Prj, *F.Notes);
        F.Window->show();
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->ViewMode(), mode, TqbWindowFixture::PageTimeoutMs);
        F.WaitForPage();
    }

    // Opens a note of a folder the tree has not listed yet, as a followed link does.
    void Open(const QString& relative) {
        F.Window->OpenLinkedNote(F.Lib(relative));
        F.WaitForPage();
    }

private slots:
    void init() { F.Open(Fill); }
    void cleanup() { F.Close(); }

    // Deleted meanwhile: the first node opens instead.
    void aNoteDeletedSinceTheCloseGivesWayToTheFirst() {
        const QString first = OpenPath();
        Open("폴더/회의록.htm");
        F.Window->close();
        QVERIFY(QFile::remove(F.Lib("폴더/회의록.htm")));
        Restart();
        QCOMPARE(OpenPath(), first);
    }

    // The folders left open and the mode come back with the note.
    void theWindowAsLeftAtClose_data() {
        QTest::addColumn<TqbViewMode>("mode");
        QTest::addColumn<bool>("folderOpen");
        QTest::newRow("edit mode, folder open") << TqbViewMode::Edit << true;
        QTest::newRow("source mode comes back as edit") << TqbViewMode::Source << true;
        QTest::newRow("browse mode, folder closed") << TqbViewMode::Browse << false;
    }
    void theWindowAsLeftAtClose() {
        QFETCH(TqbViewMode, mode);
        QFETCH(bool, folderOpen);
        Open("폴더/회의록.htm");
        F.Select("메모");
        F.Tree()->setExpanded(F.Node("폴더"), folderOpen);
        F.EnterMode(mode);
        Restart(mode == TqbViewMode::Browse ? TqbViewMode::Browse : TqbViewMode::Edit);
        QCOMPARE(OpenPath(), F.Lib("메모.htm"));
        QCOMPARE(F.Tree()->isExpanded(F.Node("폴더")), folderOpen);
    }
};

QB_APP_TEST_MAIN(tst_Restart)
#include "tst_Restart.moc"
