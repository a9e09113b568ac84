// The hand-off to the desktop's mail program, against a recording xdg-email.
#include "common/qbFakeMailProgram.h"
#include "platform/qbMailHandoff.h"

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
