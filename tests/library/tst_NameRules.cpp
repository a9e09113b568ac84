// The name rules and the two name dialogs, without the tree.
#include "library/NewNoteName.h"
#include "library/UserFileName.h"
#include "library/qbNameRules.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace qbNameRules;

namespace {

void Touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

} // namespace

class tst_NameRules : public QObject {
    Q_OBJECT

    QTemporaryDir m_temp;
    QString Base() const { return m_temp.path() + u'/'; }

private slots:
    void trim() {
        QCOMPARE(TrimName(QStringLiteral("  a b \t\a")), QStringLiteral("a b"));
        QCOMPARE(TrimName(QStringLiteral("   ")), QString());
    }

    void faultsInOrder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("fault");
        QTest::newRow("empty") << "" << false << MsgEmpty;
        QTest::newRow("spaces") << "   " << true << MsgEmpty;
        QTest::newRow("colon") << "a:b" << false << MsgForbidden;
        QTest::newRow("bar") << "a|b" << true << MsgForbidden;
        for (const QString c : {"\\", "/", "*", "?", "<", ">"})
            QTest::newRow(qPrintable("char " + c)) << "x" + c + "y" << false << MsgForbidden;
        QTest::newRow("forbidden before dot") << ".a?" << false << MsgForbidden;
        QTest::newRow("dot") << ".hidden" << false << MsgLeadingDot;
        QTest::newRow("dot folder") << " .git" << true << MsgLeadingDot;
        QTest::newRow("images folder") << "__images" << true << MsgReserved;
        QTest::newRow("images note") << "__images" << false << QString();
        QTest::newRow("images other case") << "__Images" << true << QString();
        QTest::newRow("control") << "a\ab" << false << MsgControlChar;
        QTest::newRow("too long") << QString(300, u'가').left(90) << false << MsgTooLong;
        QTest::newRow("fits") << QString(80, u'가') << false << QString();
        QTest::newRow("plain") << "노트" << false << QString();
    }
    void faultsInOrder() {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QFETCH(QString, fault);
        QCOMPARE(UserFileNameFault(Base(), name, folder, true), fault);
        if (!folder)
            QCOMPARE(NewNoteNameFault(Base(), name), fault);
    }

    void existing() {
        QDir(m_temp.path()).mkpath("dir");
        Touch(Base() + "note.htm");
        Touch(Base() + "file");
        QCOMPARE(UserFileNameFault(Base(), " dir ", true, true), MsgDirExists);
        QCOMPARE(UserFileNameFault(Base(), "dir", true, false), QString());
        // Only an item of the same kind is refused.
        QCOMPARE(UserFileNameFault(Base(), "file", true, true), QString());
        QCOMPARE(UserFileNameFault(Base(), "dir", false, true), QString());
        QCOMPARE(UserFileNameFault(Base(), "note", false, true), MsgFileExists);
        QCOMPARE(UserFileNameFault(Base(), "note", false, false), QString());
        QCOMPARE(NewNoteNameFault(Base(), "note "), MsgFileExists);
    }

    void proposeName() {
        QTemporaryDir temp;
        QDir(temp.path()).mkpath("일기");
        const QString base = temp.path() + "/일기/";
        QCOMPARE(ProposeName(base), QStringLiteral("일기_01"));
        Touch(base + "일기_01.htm");
        Touch(base + "일기_03.htm");
        QCOMPARE(ProposeName(base), QStringLiteral("일기_02"));
        for (int n = 1; n <= 99; ++n)
            Touch(base + NumberedName("일기", n) + ".htm");
        QCOMPARE(ProposeName(base), QStringLiteral("일기_100"));
        QCOMPARE(ProposalStem(QStringLiteral("/")), DefaultNoteBase);
        QCOMPARE(ProposalStem(QStringLiteral("/x/BookData/")), QStringLiteral("BookData"));
    }

    void userFileNameDialog() {
        TfrmUserFileName dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("이름 등록/변경"));
        QCOMPARE(dialog.btnConfirm->text(), QStringLiteral("확인(&Y)"));
        QCOMPARE(dialog.btnCancel->text(), QStringLiteral("취소(&C)"));
        QVERIFY(dialog.CheckExisting);
        QVERIFY(dialog.edtName->text().isEmpty());
        QCOMPARE(dialog.edtName->geometry().topLeft(), QPoint(45, 53));
        dialog.SetFolderMode(true);
        QCOMPARE(dialog.labMsg->text(), PromptFolder);
        dialog.SetFolderMode(false);
        QCOMPARE(dialog.labMsg->text(), PromptNote);

        QDir(m_temp.path()).mkpath("있음");
        dialog.SetFolderMode(true);
        dialog.BasePath = Base();
        dialog.show();
        dialog.edtName->setText(QStringLiteral("있음"));
        dialog.btnConfirm->click();
        QCOMPARE(dialog.labMsg->text(), MsgDirExists);
        QCOMPARE(dialog.labMsg->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.edtName->setText(QStringLiteral("  새 폴더  "));
        dialog.btnConfirm->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Name(), QStringLiteral("새 폴더"));
    }

    void newNoteNameDialog() {
        QTemporaryDir tpl;
        Touch(tpl.filePath("회의록.htm"));
        Touch(tpl.filePath("가계부.htm"));
        Touch(tpl.filePath("무시.txt"));
        QVERIFY(QFile::copy(QFINDTESTDATA("../../resources/templates/일기.ico"),
                            tpl.filePath("가계부.ico")));
        TfrmNewNoteName dialog(tpl.path() + u'/');
        QCOMPARE(dialog.ClientSize(), QSize(419, 268));
        QCOMPARE(dialog.lstTemplate->count(), 2);
        QCOMPARE(dialog.lstTemplate->item(0)->text(), QStringLiteral("가계부"));
        QCOMPARE(dialog.lstTemplate->item(1)->text(), QStringLiteral("회의록"));
        QCOMPARE(dialog.SelectedTemplate(), QStringLiteral("가계부"));
        QVERIFY(!dialog.lstTemplate->item(0)->icon().isNull());
        QCOMPARE(dialog.lstTemplate->item(0)->icon().availableSizes().value(0), QSize(32, 32));
        QVERIFY(dialog.lstTemplate->item(1)->icon().isNull());
        QVERIFY(dialog.labMsg->text().isEmpty());
        QCOMPARE(dialog.labMsg->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));

        QDir(m_temp.path()).mkpath("일기");
        const QString base = Base() + "일기/";
        Touch(base + "일기_01.htm");
        dialog.ProposeName(base);
        QCOMPARE(dialog.edtName->text(), QStringLiteral("일기_02"));
        dialog.show();
        dialog.edtName->setText(QStringLiteral("일기_01"));
        dialog.btnConfirm->click();
        QCOMPARE(dialog.labMsg->text(), MsgFileExists);
        QCOMPARE(dialog.edtName->selectedText(), QStringLiteral("일기_01"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.edtName->setText(QStringLiteral("a/b"));
        dialog.lstTemplateDblClick();
        QCOMPARE(dialog.labMsg->text(), MsgForbidden);
        dialog.edtName->setText(QStringLiteral("일기_02"));
        dialog.lstTemplateDblClick();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // On the dialog frame: Enter in the name box validates like the confirm button, and
    // Escape cancels from anywhere.
    void keysInTheNameBox_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("open");
        QTest::newRow("Enter, refused") << int(Qt::Key_Return) << "a?b" << int(QDialog::Rejected)
                                        << true;
        QTest::newRow("Enter, accepted") << int(Qt::Key_Return) << "b" << int(QDialog::Accepted)
                                         << false;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << "b" << int(QDialog::Rejected) << false;
    }
    void keysInTheNameBox() {
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(int, result);
        QFETCH(bool, open);
        TfrmUserFileName dialog;
        dialog.BasePath = Base();
        dialog.SetFolderMode(false);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.edtName->setText(typed);
        QTest::keyClick(dialog.edtName, Qt::Key(key));
        QCOMPARE(dialog.result(), result);
        QCOMPARE(dialog.isVisible(), open);
        if (open)
            QCOMPARE(dialog.labMsg->text(), MsgForbidden);
    }

    void emptyTemplateFolder() {
        TfrmNewNoteName dialog(m_temp.path() + "/nothing/");
        QCOMPARE(dialog.lstTemplate->count(), 0);
        QVERIFY(dialog.SelectedTemplate().isEmpty());
    }
};

QTEST_MAIN(tst_NameRules)
#include "tst_NameRules.moc"
