// The mail dialog: what it hands over, what it says, and that a failed hand-off loses nothing.
#include "common/qbFakeMailProgram.h"
#include "dialogs/NoteToMail.h"
#include "dialogs/NoteToMailRules.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
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
        QCOMPARE(dialog.size(), QSize(406, 189));
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
            return TqbMailResult{TqbMailStatus::HandedOver};
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
        QTest::newRow("address trimmed, no name") << "" << "  hong@example.org \t" << "두 줄\n내용"
                                                  << "두 줄\r\n내용" << "hong@example.org";
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
            return TqbMailResult{TqbMailStatus::HandedOver};
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

    void noHandlerFromMailProgram() {
        qbFakeMailProgram fake(3);
        TfrmNoteToMail dialog("여행", NotePath());
        dialog.show();
        dialog.edtMailAddress->setText("a@b.org");
        dialog.btnConfirm->click();
        QVERIFY(fake.Called());
        QVERIFY(dialog.isVisible());
        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box);
        QVERIFY(box->text().contains(QStringLiteral("fake xdg-email: exit 3")));
    }
};

QTEST_MAIN(tst_NoteToMail)
#include "tst_NoteToMail.moc"
