// The tree operations through the main window, over a temporary program folder, library and trash.
#include "library/NewNoteName.h"
#include "library/UserFileName.h"
#include "app/main.h"
#include "editing/qbDhtmlEdit.h"
#include "library/qbNoteInfo.h"
#include "prjinfo/qbProjectInfo.h"
#include "library/qbTree.h"
#include "qbWindowTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <memory>

namespace {

QByteArray ReadMaybe(const QString& path) { return ReadBytes(path, "<missing>"); }

} // namespace

class TestTreeOps : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TqbPrjInfo> m_prj;
    std::unique_ptr<TqbNoteInfo> m_notes;
    std::unique_ptr<TfrmMainNivora> m_window;
    QString m_typed;
    QString m_template;

    QString Lib(const QString& relative) const { return m_dir->filePath("BookData/" + relative); }
    QString Trashed(const QString& name) const { return m_dir->filePath("xdg/Trash/files/" + name); }
    TqbTree* Tree() const { return m_window->NoteTree(); }

    void MakeWindow() {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir(m_dir->path()).mkpath("xdg");
        qputenv("XDG_DATA_HOME", m_dir->filePath("xdg").toLocal8Bit());
        QDir(m_dir->path()).mkpath("BookData/폴더");
        WriteBytes(Lib("첫노트.htm"), "<HTML><HEAD><META http-equiv=Content-Type content=\"text/"
                                      "html; charset=euc-kr\"></HEAD><BODY><DIV>one</DIV></BODY>"
                                      "</HTML>\r\n");
        WriteBytes(Lib("둘째.htm"), "<HTML><BODY><DIV>two</DIV></BODY></HTML>\r\n");
        m_prj = std::make_unique<TqbPrjInfo>("qbNivora", m_dir->path());
        m_notes = std::make_unique<TqbNoteInfo>(*m_prj);
        m_window = std::make_unique<TfrmMainNivora>(*m_prj, *m_notes);
        Tree()->SetDialogRunner([this](QDialog& dialog) {
            if (auto* user = dynamic_cast<TfrmUserFileName*>(&dialog)) {
                user->edtName->setText(m_typed);
                user->btnConfirmClick();
                return user->result() == QDialog::Accepted;
            }
            auto* note = dynamic_cast<TfrmNewNoteName*>(&dialog);
            if (!m_typed.isEmpty())
                note->edtName->setText(m_typed);
            if (!m_template.isEmpty())
                note->lstTemplate->findItems(m_template, Qt::MatchExactly).value(0)->setSelected(true);
            note->btnConfirmClick();
            return note->result() == QDialog::Accepted;
        });
        m_window->show();
        QTRY_COMPARE(m_window->ViewMode(), int(TfrmMainNivora::vmBrowse));
        QTRY_VERIFY(m_window->DocumentReady());
    }

    QTreeWidgetItem* Node(const QString& text) {
        return Tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    }

    void Select(const QString& text) {
        Tree()->setCurrentItem(Node(text));
        QTRY_VERIFY(m_window->DocumentReady());
    }

    void TypeIntoPage(const QString& text) {
        m_window->Dhtml()->FocusAtStart();
        QInputMethodEvent typed;
        typed.setCommitString(text);
        QApplication::sendEvent(m_window->Dhtml()->findChild<QWebEngineView*>()->focusProxy(),
                                &typed);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->NoteModified(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->Dhtml()->DocumentHtml().contains(text), 10000);
    }

private slots:
    void init() { MakeWindow(); }
    void cleanup() {
        m_window.reset();
        m_notes.reset();
        m_prj.reset();
        m_dir.reset();
        m_typed.clear();
        m_template.clear();
    }

    void templatesInstalledAtFirstStart() {
        for (const QString name : {"빈 노트", "일기", "회의록"}) {
            const QString installed = m_dir->filePath("qbTemplate/" + name + ".htm");
            QCOMPARE(ReadMaybe(installed),
                     ReadMaybe(QFINDTESTDATA("../../resources/templates/" + name + ".htm")));
            QVERIFY(QFileInfo::exists(m_dir->filePath("qbTemplate/" + name + ".ico")));
        }
        // A changed template is kept at the next start.
        m_window.reset();
        WriteBytes(m_dir->filePath("qbTemplate/일기.htm"), "mine\r\n");
        m_window = std::make_unique<TfrmMainNivora>(*m_prj, *m_notes);
        QCOMPARE(ReadMaybe(m_dir->filePath("qbTemplate/일기.htm")), QByteArray("mine\r\n"));
    }

    void newNoteFromTemplate() {
        Select("폴더");
        m_template = "회의록";
        QString proposed;
        int templates = 0;
        Tree()->SetDialogRunner([&](QDialog& dialog) -> bool {
            auto* note = dynamic_cast<TfrmNewNoteName*>(&dialog);
            proposed = note->edtName->text();
            templates = note->lstTemplate->count();
            note->lstTemplate->findItems(m_template, Qt::MatchExactly).value(0)->setSelected(true);
            note->btnConfirmClick();
            return note->result() == QDialog::Accepted;
        });
        m_window->Action("actFileNewNote")->trigger();
        QCOMPARE(proposed, QStringLiteral("폴더_01"));
        QCOMPARE(templates, 4);
        QCOMPARE(m_window->ViewMode(), int(TfrmMainNivora::vmEdit));
        QCOMPARE(ReadMaybe(Lib("폴더/폴더_01.htm")),
                 ReadMaybe(m_dir->filePath("qbTemplate/회의록.htm")));
        QCOMPARE(Tree()->OpenPath(), Lib("폴더/폴더_01.htm"));
        QTRY_VERIFY(m_window->DocumentReady());
    }

    void newFolderThroughAction() {
        // Beside a top-level note: at the top level.
        Select("첫노트");
        m_typed = "새 폴더";
        m_window->Action("actFileNewFolder")->trigger();
        QVERIFY(QFileInfo::exists(Lib("새 폴더/___폴더설명.qb")));
        QCOMPARE(Tree()->currentItem()->text(0), QStringLiteral("새 폴더"));
        QCOMPARE(Tree()->OpenPath(), Lib("새 폴더/___폴더설명.qb"));
    }

    void renameOpenNoteKeepsEdits() {
        Select("둘째");
        m_window->SetViewMode(TfrmMainNivora::vmEdit);
        QTRY_VERIFY(m_window->DocumentReady());
        TypeIntoPage(QStringLiteral("고침"));
        m_typed = "셋째";
        m_window->Action("actFileRename")->trigger();
        QVERIFY(!QFileInfo::exists(Lib("둘째.htm")));
        QVERIFY(ReadMaybe(Lib("셋째.htm")).contains("\xB0\xED\xC4\xA7"));
        QCOMPARE(Tree()->OpenPath(), Lib("셋째.htm"));
    }

    void renameDisabledWhileSearchListShows() {
        Select("둘째");
        m_window->UpdateActions();
        QVERIFY(m_window->Action("actFileRename")->isEnabled());
        m_window->SetPanelMode(TfrmMainNivora::pmSearch);
        m_window->UpdateActions();
        QVERIFY(!m_window->Action("actFileRename")->isEnabled());
        m_window->SetPanelMode(TfrmMainNivora::pmTree);
    }

    void deleteOpenNoteWithEdits() {
        Select("둘째");
        m_window->SetViewMode(TfrmMainNivora::vmEdit);
        QTRY_VERIFY(m_window->DocumentReady());
        TypeIntoPage(QStringLiteral("사라질"));
        {
            MessageCatcher catcher(QMessageBox::Ok);
            m_window->Action("actFileDelete")->trigger();
            QCOMPARE(catcher.texts, QStringList{"둘째 을(를) 삭제합니까?"});
        }
        QVERIFY(QFileInfo::exists(Trashed("둘째.htm")));
        QVERIFY(!Node("둘째"));
        // Neither the next selection nor a later save brings it back.
        QTRY_VERIFY(m_window->DocumentReady());
        m_window->SaveCurrentNote();
        Select("첫노트");
        m_window->SaveCurrentNote();
        QVERIFY(!QFileInfo::exists(Lib("둘째.htm")));
        QVERIFY(!ReadMaybe(Trashed("둘째.htm")).contains("\xBB\xE7\xB6\xF3"));
    }

    void deleteFolderAboveOpenDescription() {
        Select("폴더");
        m_window->SetViewMode(TfrmMainNivora::vmEdit);
        QTRY_VERIFY(m_window->DocumentReady());
        TypeIntoPage(QStringLiteral("설명"));
        {
            MessageCatcher catcher(QMessageBox::Ok);
            m_window->Action("actFileDelete")->trigger();
        }
        QTRY_VERIFY(m_window->DocumentReady());
        m_window->SaveCurrentNote();
        QVERIFY(!QFileInfo::exists(Lib("폴더")));
        QVERIFY(QFileInfo::exists(Trashed("폴더")));
    }

    void cutAndPasteOpenNoteKeepsEdits() {
        Select("둘째");
        m_window->SetViewMode(TfrmMainNivora::vmEdit);
        QTRY_VERIFY(m_window->DocumentReady());
        TypeIntoPage(QStringLiteral("옮김"));
        Tree()->SetContextNode(Node("둘째"));
        Tree()->PopupItem("itemCut")->trigger();
        Tree()->SetContextNode(Node("폴더"));
        Tree()->PopupItem("itemPaste")->trigger();
        QVERIFY(!QFileInfo::exists(Lib("둘째.htm")));
        QVERIFY(ReadMaybe(Lib("폴더/둘째.htm")).contains("\xBF\xC5\xB1\xE8"));
        QTRY_VERIFY(m_window->DocumentReady());
        m_window->SaveCurrentNote();
        QVERIFY(!QFileInfo::exists(Lib("둘째.htm")));
    }

    void moveBelowItselfShowsMessage() {
        QDir().mkpath(Lib("폴더/안"));
        Tree()->LoadRoot(Lib(""));
        Tree()->ExpandFolder(Node("폴더"));
        MessageCatcher catcher;
        Tree()->MoveNode(Node("안"), Node("폴더"));
        QCOMPARE(catcher.texts, QStringList{TqbTree::MoveBelowMessage});
        QVERIFY(QFileInfo::exists(Lib("폴더/안")));
    }
};

QTEST_MAIN(TestTreeOps)
#include "tst_TreeOps.moc"
