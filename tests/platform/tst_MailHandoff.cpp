// The hand-off to the desktop's mail program, against a recording xdg-email.
#include "common/qbFakeMailProgram.h"
#include "platform/qbMailHandoff.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TqbMailStatus)

class tst_MailHandoff : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    TqbMailMessage Message() const {
        TqbMailMessage m;
        m.Subject = QStringLiteral("qbNivora-여행 계획");
        m.Body = QStringLiteral("저의 자료입니다.\r\n둘째 줄 & ? %20");
        m.RecipientName = QStringLiteral("홍길동");
        m.Address = QStringLiteral("hong@example.org");
        m.AttachmentPath = m_dir.filePath(QStringLiteral("여행 계획.htm"));
        return m;
    }

private slots:
    void initTestCase() {
        QFile note(Message().AttachmentPath);
        QVERIFY(note.open(QIODevice::WriteOnly));
    }

    void recipient_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("argument");
        QTest::newRow("no name") << "" << "a@b.org" << "a@b.org";
        QTest::newRow("korean name") << "홍길동" << "a@b.org" << "\"홍길동\" <a@b.org>";
        QTest::newRow("dash cannot look like an option") << "-x" << "a@b.org" << "\"-x\" <a@b.org>";
        QTest::newRow("quotes escaped") << "a \"b\" \\c" << "a@b.org"
                                        << "\"a \\\"b\\\" \\\\c\" <a@b.org>";
    }
    void recipient() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, argument);
        QCOMPARE(qbMail::RecipientArgument(name, address), argument);
    }

    void recordOfHandOver() {
        qbFakeMailProgram fake;
        const TqbMailMessage m = Message();
        const TqbMailResult result = qbMail::Send(m);
        QCOMPARE(result.Status, TqbMailStatus::HandedOver);
        QCOMPARE(fake.Arguments(),
                 QStringList({"--utf8", "--subject", m.Subject, "--body", m.Body, "--attach",
                              m.AttachmentPath, "\"홍길동\" <hong@example.org>"}));
    }

    // xdg-email refuses an empty --body or --attach, so empty ones are left out.
    void emptyPartsLeftOut() {
        qbFakeMailProgram fake;
        TqbMailMessage m = Message();
        m.Body.clear();
        m.AttachmentPath.clear();
        m.RecipientName.clear();
        QVERIFY(qbMail::Send(m).Ok());
        QCOMPARE(fake.Arguments(), QStringList({"--utf8", "--subject", m.Subject, m.Address}));
    }

    void failures_data() {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<TqbMailStatus>("status");
        QTest::newRow("syntax") << 1 << TqbMailStatus::AddressRefused;
        QTest::newRow("file missing") << 2 << TqbMailStatus::AttachmentMissing;
        QTest::newRow("no handler") << 3 << TqbMailStatus::NoHandler;
        QTest::newRow("action failed") << 4 << TqbMailStatus::Failed;
        QTest::newRow("cannot read file") << 5 << TqbMailStatus::AttachmentMissing;
        QTest::newRow("other") << 77 << TqbMailStatus::Failed;
    }
    void failures() {
        QFETCH(int, exitCode);
        QFETCH(TqbMailStatus, status);
        qbFakeMailProgram fake(exitCode);
        const TqbMailResult result = qbMail::Send(Message());
        QVERIFY(!result.Ok());
        QCOMPARE(result.Status, status);
        QCOMPARE(result.ExitCode, exitCode);
        QCOMPARE(result.ErrorOutput, "fake xdg-email: exit " + QString::number(exitCode));
    }

    void timeLimit() {
        qbFakeMailProgram fake(0, qbFakeMailProgram::Hang);
        const TqbMailResult result = qbMail::Send(Message(), 300);
        QCOMPARE(result.Status, TqbMailStatus::TimedOut);
    }

    // xdg-email hands everything on as one mailto: address; one too long for the system is
    // refused before anything runs, counted as xdg-email encodes it.
    void tooLong_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<TqbMailStatus>("status");
        QTest::newRow("ASCII past the system's limit")
            << QString(140000, u'a') << TqbMailStatus::TooLong;
        QTest::newRow("Korean, 9 bytes a syllable once encoded")
            << QString(15000, u'가') << TqbMailStatus::TooLong;
        QTest::newRow("Korean within the limit") << QString(14000, u'가') << TqbMailStatus::HandedOver;
    }
    void tooLong() {
        QFETCH(QString, body);
        QFETCH(TqbMailStatus, status);
        qbFakeMailProgram fake;
        TqbMailMessage m = Message();
        m.Body = body;
        QCOMPARE(qbMail::Send(m).Status, status);
        QCOMPARE(fake.Called(), status == TqbMailStatus::HandedOver);
    }

    // The length counted is that of the address the installed xdg-email really makes.
    void mailtoOfRealXdgEmail_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("encodedBody");
        QTest::newRow("one line break") << "첫 줄\n둘" << "%EC%B2%AB%20%EC%A4%84%0D%0A%EB%91%98";
        QTest::newRow("kept characters") << "a@b.c-d/e" << "a@b.c-d/e";
        QTest::newRow("punctuation; the last line breaks dropped")
            << "& ?%_\n\n" << "%26%20%3F%25%5F";
    }
    void mailtoOfRealXdgEmail() {
        QFETCH(QString, body);
        QFETCH(QString, encodedBody);
        if (QStandardPaths::findExecutable("xdg-email").isEmpty())
            QSKIP("xdg-email is not installed");
        qbFakeMailProgram hook(0, qbFakeMailProgram::Hook);
        TqbMailMessage m = Message();
        m.Body = body;
        QVERIFY(qbMail::Send(m).Ok());
        const QStringList args = hook.Arguments();
        QCOMPARE(args.size(), 1);
        QVERIFY2(args[0].contains("&body=" + encodedBody + "&attach="), qPrintable(args[0]));
        QCOMPARE(args[0].size(), qbMail::MailtoLength(m));
    }

    void noProgram() {
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", m_dir.path().toUtf8());
        const TqbMailResult result = qbMail::Send(Message());
        qputenv("PATH", oldPath);
        QCOMPARE(result.Status, TqbMailStatus::NoProgram);
    }
};

QTEST_GUILESS_MAIN(tst_MailHandoff)
#include "tst_MailHandoff.moc"
