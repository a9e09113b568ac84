// The mail dialog: what it hands over, what it says, and that a failed hand-off loses nothing.
#include "common/qbFakeMailProgram.h"
#include "dialogs/NoteToMail.h"
#include "dialogs/NoteToMailRules.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TqbMailStatus)

using namespace NoteToMailRules;

class tst_NoteToMail : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString NotePath() const { return m_dir.filePath(QStringLiteral("여행 계획.htm")); }

    static QColor TextColour(const QLabel* label) {
        return label->palette().color(QPalette::WindowText);
    }

private slots:
    void initTestCase() {
        QFile note(NotePath());
        QVERIFY(note.open(QIODevice::WriteOnly));
    }

    void opensEmpty() {
        TfrmNoteToMail dialog("여행", NotePath());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("메일 전송"));
        QCOMPARE(dialog.ClientSize(), QSize(406, 189));
        QVERIFY(dialog.edtName->text().isEmpty());
        QVERIFY(dialog.edtMailAddress->text().isEmpty());
        QCOMPARE(dialog.memBody->toPlainText(), DefaultBody);
        QVERIFY(dialog.labMsg->isHidden());
        QVERIFY(dialog.btnConfirm->isDefault());
    }

    void tabOrder() {
        TfrmNoteToMail dialog("여행", NotePath());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.edtName->setFocus();
        const QList<QWidget*> order{dialog.edtMailAddress, dialog.memBody, dialog.btnConfirm,
                                    dialog.btnCancel, dialog.edtName};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    // Enter in a one-line box confirms, Enter in the memo is a new line, Escape anywhere cancels.
    void keys_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter in the address") << "edtMailAddress" << int(Qt::Key_Return) << 1
                                              << int(QDialog::Accepted);
        QTest::newRow("Enter in the name") << "edtName" << int(Qt::Key_Enter) << 1
                                           << int(QDialog::Accepted);
        QTest::newRow("Enter in the memo") << "memBody" << int(Qt::Key_Return) << 0 << -1;
        QTest::newRow("Escape in the memo") << "memBody" << int(Qt::Key_Escape) << 0
                                            << int(QDialog::Rejected);
        QTest::newRow("Escape in the address") << "edtMailAddress" << int(Qt::Key_Escape) << 0
                                               << int(QDialog::Rejected);
    }
    void keys() {
        QFETCH(QString, box);
        QFETCH(int, key);
        QFETCH(int, sent);
        QFETCH(int, result);
        int handedOver = 0;
        TfrmNoteToMail dialog("여행", NotePath(), [&](const TqbMailMessage&) {
            ++handedOver;
            return TqbMailResult{TqbMailStatus::HandedOver, 0, {}};
        });
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.edtMailAddress->setText("a@b.org");
        auto* target = dialog.findChild<QWidget*>(box);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(handedOver, sent);
        if (result < 0) {
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.memBody->toPlainText().count(u'\n'), 1);
        } else {
            QCOMPARE(dialog.result(), result);
            QVERIFY(!dialog.isVisible());
        }
    }

    void blankAddressWarns_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << "";
        QTest::newRow("spaces") << "   ";
        QTest::newRow("control characters") << "\t \a ";
    }
    void blankAddressWarns() {
        QFETCH(QString, address);
        int sent = 0;
        TfrmNoteToMail dialog("여행", NotePath(), [&](const TqbMailMessage&) {
            ++sent;
            return TqbMailResult{TqbMailStatus::HandedOver, 0, {}};
        });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.edtName->setFocus();
        dialog.edtMailAddress->setText(address);
        dialog.btnConfirm->click();
        QCOMPARE(sent, 0);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.labMsg->isVisible());
        QCOMPARE(dialog.labMsg->text(), MsgNoAddress);
        QCOMPARE(TextColour(dialog.labMsg), QColor(255, 0, 0));
        QCOMPARE(QApplication::focusWidget(), dialog.edtMailAddress);
        QVERIFY(dialog.btnConfirm->isEnabled());
    }

    void handsOverToMailProgram_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("recipient");
        QTest::newRow("memo untouched") << "홍길동" << "hong@example.org" << DefaultBody << DefaultBody
                                        << "\"홍길동\" <hong@example.org>";
        QTest::newRow("address trimmed, no name, lines joined by LF")
            << "" << "  hong@example.org \t" << "두 줄\n내용" << "두 줄\n내용" << "hong@example.org";
    }
    void handsOverToMailProgram() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, memo);
        QFETCH(QString, body);
        QFETCH(QString, recipient);
        qbFakeMailProgram fake;
        TfrmNoteToMail dialog("여행 계획", NotePath());
        dialog.show();
        dialog.edtName->setText(name);
        dialog.edtMailAddress->setText(address);
        dialog.memBody->setPlainText(memo);
        dialog.btnConfirm->click();

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(fake.Option("--subject"), QStringLiteral("qbNivora-여행 계획"));
        QCOMPARE(fake.Option("--body"), body);
        QCOMPARE(fake.Option("--attach"), NotePath());
        QCOMPARE(fake.Arguments().last(), recipient);
    }

    void saysSendingWhileHandingOver() {
        bool visible = false, confirmEnabled = true;
        QString text;
        QColor colour;
        TfrmNoteToMail* dialogPtr = nullptr;
        TfrmNoteToMail dialog("여행", NotePath(), [&](const TqbMailMessage&) {
            visible = dialogPtr->labMsg->isVisible();
            text = dialogPtr->labMsg->text();
            colour = TextColour(dialogPtr->labMsg);
            confirmEnabled = dialogPtr->btnConfirm->isEnabled();
            return TqbMailResult{TqbMailStatus::HandedOver, 0, {}};
        });
        dialogPtr = &dialog;
        dialog.show();
        dialog.edtMailAddress->setText("a@b.org");
        dialog.btnConfirm->click();
        QVERIFY(visible);
        QCOMPARE(text, MsgSending);
        QCOMPARE(colour, QColor(0, 0, 128));
        QVERIFY(!confirmEnabled);
    }

    // Where the mail never left, the user hears why and keeps what was typed.
    void failureSaysWhyAndKeepsDialog_data() {
        QTest::addColumn<TqbMailStatus>("status");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("phrase");
        QTest::newRow("no xdg-email") << TqbMailStatus::NoProgram << 0 << "xdg-email";
        QTest::newRow("no mail handler") << TqbMailStatus::NoHandler << 3 << "설정되어 있지 않습니다";
        QTest::newRow("non-zero exit") << TqbMailStatus::Failed << 4 << "(코드 4)";
        QTest::newRow("time limit") << TqbMailStatus::TimedOut << 0 << "30초";
        QTest::newRow("attachment gone") << TqbMailStatus::AttachmentMissing << 2 << "여행 계획.htm";
        QTest::newRow("too long") << TqbMailStatus::TooLong << 0 << "내용이 너무 길어";
    }
    void failureSaysWhyAndKeepsDialog() {
        QFETCH(TqbMailStatus, status);
        QFETCH(int, exitCode);
        QFETCH(QString, phrase);
        TfrmNoteToMail dialog("여행", NotePath(), [&](const TqbMailMessage&) {
            return TqbMailResult{status, exitCode, {}};
        });
        dialog.show();
        dialog.edtMailAddress->setText("a@b.org");
        dialog.memBody->setPlainText("꼭 읽어 주세요");
        dialog.btnConfirm->click();

        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box);
        QVERIFY(box->text().startsWith(MsgNotSent));
        QVERIFY2(box->text().contains(phrase), qPrintable(box->text()));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.btnConfirm->isEnabled());
        QVERIFY(dialog.labMsg->isHidden());
        QCOMPARE(dialog.memBody->toPlainText(), QStringLiteral("꼭 읽어 주세요"));
        QCOMPARE(dialog.edtMailAddress->text(), QStringLiteral("a@b.org"));
        box->close();
    }

    // xdg-email makes each line break CR LF itself: the mail gets one, not CR CR LF.
    void realXdgEmailGetsOneLineBreak() {
        if (QStandardPaths::findExecutable("xdg-email").isEmpty())
            QSKIP("xdg-email is not installed");
        qbFakeMailProgram hook(0, qbFakeMailProgram::Hook);
        TfrmNoteToMail dialog("여행", NotePath());
        dialog.show();
        dialog.edtMailAddress->setText("a@b.org");
        dialog.memBody->setPlainText("a\nb");
        dialog.btnConfirm->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY2(hook.Arguments().value(0).contains("&body=a%0D%0Ab&"),
                 qPrintable(hook.Arguments().value(0)));
    }

    void outputExcerpt_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("excerpt");
        const QString longLine = QString(150, u'x');
        QTest::newRow("nothing") << "" << "";
        QTest::newRow("few lines whole") << "a\nb\nc\nd" << "a\nb\nc\nd";
        QTest::newRow("blank lines and blanks dropped") << "\n  a \n\n\tb\n" << "a\nb";
        QTest::newRow("long line cut")
            << longLine << QString(OutputLineLength - 1, u'x') + QStringLiteral("…");
        QTest::newRow("many lines: the first two and the last")
            << "1\n2\n3\n4\n5\nlast" << "1\n2\n…\nlast";
    }
    void outputExcerpt() {
        QFETCH(QString, output);
        QFETCH(QString, excerpt);
        QCOMPARE(OutputExcerpt(output), excerpt);
    }

    // xdg-utils without a mail program writes a line for every browser it tried; the box
    // says why in one sentence and shows only the start and the end of that.
    void noHandlerFromMailProgram() {
        QByteArray tried;
        for (int i = 1; i <= 14; ++i)
            tried += "/usr/bin/xdg-email: 786: browser" + QByteArray::number(i) + ": not found\n";
        qbFakeMailProgram fake(3, qbFakeMailProgram::Exit,
                               tried + "xdg-email: no method available for opening 'mailto:a'\n");
        TfrmNoteToMail dialog("여행", NotePath());
        dialog.show();
        dialog.edtMailAddress->setText("a@b.org");
        dialog.btnConfirm->click();
        QVERIFY(fake.Called());
        QVERIFY(dialog.isVisible());
        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box);
        QCOMPARE(box->text(), MsgNotSent +
                                  "\n메일을 받아 줄 메일 프로그램이 설정되어 있지 않습니다.\n\n"
                                  "/usr/bin/xdg-email: 786: browser1: not found\n"
                                  "/usr/bin/xdg-email: 786: browser2: not found\n…\n"
                                  "xdg-email: no method available for opening 'mailto:a'");
    }
};

QTEST_MAIN(tst_NoteToMail)
#include "tst_NoteToMail.moc"
