// The note picker as the user drives it: its buttons, and keys that come before the list has
// caught up with them.
#include "dialogs/qbNotePicker.h"
#include "library/qbNameMatch.h"

#include <QFile>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

class tst_NotePicker : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;

    QString Lib(const QString& name) const { return m_temp->filePath(name); }

    std::unique_ptr<TqbNotePicker> NewPicker(const QString& acceptText = QStringLiteral("열기")) {
        auto picker = std::make_unique<TqbNotePicker>(QStringLiteral("노트로 이동"), acceptText,
                                                      m_temp->path(), ".htm", QStringList{});
        picker->show();
        return picker;
    }

    static void WaitGathered(TqbNotePicker& picker) {
        QTRY_VERIFY(!picker.List().Gathering());
        QTRY_COMPARE(picker.Rows()->topLevelItemCount(), 3);
    }

    static void Commit(TqbNotePicker& picker, const QString& text) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(picker.QueryBox(), &commit);
    }

private slots:
    void init() {
        m_temp = std::make_unique<QTemporaryDir>();
        for (const char* name : {"회의록.htm", "회계.htm", "메모.htm"}) {
            QFile file(Lib(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

    void buttons_data() {
        QTest::addColumn<QString>("acceptText");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("jump opens") << "열기" << "btnAccept" << true;
        QTest::newRow("link links") << "연결" << "btnAccept" << true;
        QTest::newRow("cancel") << "열기" << "btnCancel" << false;
    }
    void buttons() {
        QFETCH(QString, acceptText);
        QFETCH(QString, button);
        QFETCH(bool, accepted);
        auto picker = NewPicker(acceptText);
        WaitGathered(*picker);
        QCOMPARE(picker->findChild<QPushButton*>("btnAccept")->text(), acceptText);
        QCOMPARE(picker->findChild<QPushButton*>("btnCancel")->text(), QStringLiteral("취소"));
        Commit(*picker, QStringLiteral("메모"));
        QTRY_COMPARE(picker->Rows()->topLevelItemCount(), 1);
        QTest::mouseClick(picker->findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(picker->result(), accepted ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(picker->ChosenPath(), accepted ? Lib("메모.htm") : QString());
    }

    // An input method ends a composed initial consonant as the user presses Down: the key moves
    // in the rows listed for it, and stays where it moved.
    void downRightAfterACommit() {
        auto picker = NewPicker();
        WaitGathered(*picker);
        QInputMethodEvent composing(QStringLiteral("ㅎ"), {});
        QApplication::sendEvent(picker->QueryBox(), &composing);
        QTRY_COMPARE(picker->Rows()->topLevelItemCount(), 2);
        Commit(*picker, QStringLiteral("ㅎ"));
        QTest::keyClick(picker->QueryBox(), Qt::Key_Down);
        QTest::keyClick(picker->QueryBox(), Qt::Key_Return);
        QCOMPARE(picker->result(), QDialog::Accepted);
        QCOMPARE(picker->ChosenPath(), Lib("회의록.htm"));
    }

    // Enter typed before any name has arrived chooses once they have.
    void enterBeforeTheNamesArrive() {
        auto picker = NewPicker();
        QSignalSpy accepted(picker.get(), &QDialog::accepted);
        Commit(*picker, QStringLiteral("메모"));
        QTest::keyClick(picker->QueryBox(), Qt::Key_Return);
        QVERIFY(accepted.wait());
        QCOMPARE(picker->ChosenPath(), Lib("메모.htm"));
    }

    // Names that arrive later do not take the row the user moved to away.
    void movedRowStaysAsNamesArrive() {
        auto picker = NewPicker();
        WaitGathered(*picker);
        QTest::keyClick(picker->QueryBox(), Qt::Key_Down);
        const QString moved = picker->Rows()->currentItem()->text(0);
        picker->List().AddNames(
            {{Lib("가.htm"), QStringLiteral("가"), QString(), qbNameMatch::Prepare("가"), {}, {}}});
        QTRY_COMPARE(picker->Rows()->topLevelItemCount(), 4);
        QCOMPARE(picker->Rows()->currentItem()->text(0), moved);
    }
};

QTEST_MAIN(tst_NotePicker)
#include "tst_NotePicker.moc"
