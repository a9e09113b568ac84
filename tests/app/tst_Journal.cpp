// What was typed and not saved comes back after a crash, and the kept versions come back through
// the window.
#include "app/qbHistoryCommands.h"
#include "app/qbVersionsDialog.h"
#include "common/qbAppTestMain.h"
#include "common/qbDialogAnswerer.h"
#include "common/qbWindowFixture.h"
#include "library/qbNoteVersions.h"
#include "note/qbTypingJournal.h"
#include "platform/qbPageCodec.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <csignal>

namespace {

const QByteArray FirstPage = "<HTML><BODY><P>처음 글</P></BODY></HTML>\r\n";

QList<QByteArray> Kept(TqbNoteVersions& versions, const QString& notePath) {
    QList<QByteArray> out;
    for (const TqbNoteVersion& version : versions.List(notePath))
        out << ReadBytes(version.Path);
    return out;
}

// The versions kept in the library notePath lies in, read as any program would.
QList<QByteArray> Kept(const QString& root, const QString& notePath) {
    TqbNoteVersions versions;
    versions.SetRoot(root);
    return Kept(versions, notePath);
}

} // namespace

class tst_Journal : public QObject {
    Q_OBJECT

private slots:
    // A kill -9 while the user types: the journal holds a whole page of that note with what was
    // typed before its last write, and restoring it keeps the saved note as a version.
    void killedWhileTyping() {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QBNIVORA_INSTANCE_KEY", "qbNivora-test-journal-typer");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral(QB_JOURNAL_TYPER));
        QVERIFY(child.waitForStarted());
        QString dir;
        int typedAfter = -1;
        // Killed a few keys after the first journal write, while it goes on typing and writing.
        while (typedAfter < 3) {
            if (!child.canReadLine()) {
                QSignalSpy output(&child, &QProcess::readyReadStandardOutput);
                QVERIFY2(output.wait(TqbWindowFixture::PageTimeoutMs), "the child stopped");
                continue;
            }
            const QString line = QString::fromUtf8(child.readLine()).trimmed();
            if (line.startsWith("dir "))
                dir = line.mid(4);
            else if (line == "journaled")
                typedAfter = 0;
            else if (typedAfter >= 0 && line.startsWith("typed "))
                ++typedAfter;
        }
        QCOMPARE(::kill(pid_t(child.processId()), SIGKILL), 0);
        QVERIFY(child.waitForFinished());
        const auto cleanup = qScopeGuard([&] { QDir(dir).removeRecursively(); });

        const QString note = dir + "/BookData/note.htm";
        const auto entry = TqbTypingJournal(dir).Read();
        QVERIFY(entry);
        QCOMPARE(entry->NotePath, note);
        const QString page = qbPageCodec::Decode(entry->Bytes).Text;
        QVERIFY2(page.contains("[글자0]") && page.contains("start") &&
                     page.trimmed().endsWith("</html>", Qt::CaseInsensitive),
                 qPrintable(page));
        const QByteArray saved = ReadBytes(note);
        QCOMPARE(saved, QByteArray("<HTML><BODY><P>start</P></BODY></HTML>\r\n"));
        // The journal knows the note it began from: that note is still there to write over.
        QCOMPARE(entry->BaseHash, QCryptographicHash::hash(saved, QCryptographicHash::Sha1).toHex());
        QVERIFY(!TqbTypingJournal::NoteChangedSince(*entry));

        TqbNoteVersions versions;
        versions.SetRoot(dir + "/BookData");
        TqbTypingJournal::Restore(*entry, versions);
        QCOMPARE(ReadBytes(note), entry->Bytes);
        QCOMPARE(Kept(versions, note), QList<QByteArray>{saved});
    }

    // At the start after a crash the user is asked; "되살리기" brings the page back into the
    // note. A note another program wrote since is asked about as any outside change: kept both
    // by default, the typing in a copy beside it.
    void offeredAtTheNextStart_data() {
        QTest::addColumn<QByteArray>("noteNow");
        QTest::addColumn<QString>("shown"); // the page that holds the typing afterwards
        QTest::newRow("note as the typing began") << FirstPage << "a.htm";
        QTest::newRow("note changed since")
            << QByteArray("<HTML><BODY><P>다른 프로그램의 글</P></BODY></HTML>\r\n")
            << "a - 사본.htm";
    }
    void offeredAtTheNextStart() {
        QFETCH(QByteArray, noteNow);
        QFETCH(QString, shown);
        const QByteArray typed = "<HTML><BODY><P>입력하던 글</P></BODY></HTML>\r\n";
        TqbWindowFixture F;
        TqbDialogAnswerer answerer(QMessageBox::Yes);
        F.Open([&](TqbWindowFixture& f) {
            TqbTypingJournal(f.Dir->path())
                .Write(f.Lib("a.htm"), typed,
                       QCryptographicHash::hash(FirstPage, QCryptographicHash::Sha1).toHex());
            WriteBytes(f.Lib("a.htm"), noteNow);
        });
        QTRY_COMPARE_WITH_TIMEOUT(F.Tree()->OpenPath(), F.Lib(shown),
                                  TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(ReadBytes(F.Lib(shown)), typed);
        const bool changed = noteNow != FirstPage;
        QStringList asked{TqbHistoryCommands::JournalQuestion.arg(F.Lib("a.htm"))};
        if (changed)
            asked << QStringLiteral("다른 프로그램이 이 노트를 고쳤습니다. 어느 쪽을 남길까요?");
        QCOMPARE(answerer.texts, asked);
        QCOMPARE(ReadBytes(F.Lib("a.htm")), changed ? noteNow : typed);
        QCOMPARE(Kept(F.Lib(""), F.Lib("a.htm")),
                 changed ? QList<QByteArray>{} : QList<QByteArray>{FirstPage});
        QVERIFY(!TqbTypingJournal(F.Dir->path()).Read());
    }

    // "이전 버전" lists what a save replaced, compares it with the note line by line and
    // "되살리기" brings it back into the editor, the note as it was kept too.
    void versionRestoredThroughTheWindow() {
        TqbWindowFixture F;
        F.Open([](TqbWindowFixture& f) { WriteBytes(f.Lib("a.htm"), FirstPage); });
        F.Select("a");
        F.EnterMode(TqbViewMode::Edit);
        F.TypeIntoPage("새 글 ");
        QVERIFY(F.Window->SaveCurrentNote());
        const QByteArray edited = ReadBytes(F.Lib("a.htm"));
        QVERIFY(edited != FirstPage);

        QString comparison;
        QString previewFont;
        int rows = 0;
        QTimer restorer;
        connect(&restorer, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<TqbVersionsDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            restorer.stop();
            rows = dialog->Rows()->topLevelItemCount();
            comparison = dialog->Comparison()->toPlainText();
            previewFont = dialog->findChild<QWebEngineView*>("vwVersion")->settings()->fontFamily(
                QWebEngineSettings::StandardFont);
            dialog->findChild<QPushButton*>("btnRestore")->click();
        });
        restorer.start(20);
        F.Window->Action("actVersions")->trigger();
        QCOMPARE(rows, 1);
        QCOMPARE(comparison, QStringLiteral("- 처음 글\n+ 새 글 처음 글"));
        // The version shows in the letters the editor shows the note in.
        QCOMPARE(previewFont, F.Window->Dhtml()->findChild<QWebEngineView*>()->settings()->fontFamily(
                                  QWebEngineSettings::StandardFont));
        QCOMPARE(ReadBytes(F.Lib("a.htm")), FirstPage);
        QCOMPARE(Kept(F.Lib(""), F.Lib("a.htm")), (QList<QByteArray>{edited, FirstPage}));
        F.WaitForPage();
        QVERIFY(!F.Window->Dhtml()->DocumentHtml().contains("새 글"));
        QVERIFY(!F.Window->NoteModified());
    }
};

QB_APP_TEST_MAIN(tst_Journal)
#include "tst_Journal.moc"
