// The tree operations through the main window, over a temporary program folder, library and trash.
#include "library/NewNoteName.h"
#include "library/UserFileName.h"
#include "app/main.h"
#include "editing/qbDhtmlEdit.h"
#include "library/qbNoteInfo.h"
#include "prjinfo/qbProjectInfo.h"
#include "library/qbTree.h"
#include "platform/qbPageCodec.h"
#include "common/qbAppTestMain.h"
#include "common/qbDialogAnswerer.h"
#include "common/qbWindowFixture.h"

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
#include <QSignalSpy>
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

    TqbWindowFixture F;
    QString m_typed;
    QString m_template;

    QString Trashed(const QString& name) const { return F.Dir->filePath("xdg/Trash/files/" + name); }
    TqbTree* Tree() const { return F.Window->NoteTree(); }

    void MakeWindow() {
        F.BeforeShow = [this](TqbWindowFixture&) {
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
        };
        F.Open([](TqbWindowFixture& f) {
            QDir(f.Dir->path()).mkpath("xdg");
            qputenv("XDG_DATA_HOME", f.Dir->filePath("xdg").toLocal8Bit());
            QDir(f.Dir->path()).mkpath("BookData/폴더");
            WriteBytes(f.Lib("첫노트.htm"),
                       "<HTML><HEAD><META http-equiv=Content-Type content=\"text/"
                       "html; charset=euc-kr\"></HEAD><BODY><DIV>one</DIV></BODY>"
                       "</HTML>\r\n");
            WriteBytes(f.Lib("둘째.htm"), "<HTML><BODY><DIV>two</DIV></BODY></HTML>\r\n");
        });
    }

    QString Lib(const QString& relative) const { return F.Lib(relative); }
    QPersistentModelIndex Node(const QString& text) const { return F.Node(text); }
    void Select(const QString& text) { F.Select(text); }
    void TypeIntoPage(const QString& text) { F.TypeIntoPage(text); }

private slots:
    void init() { MakeWindow(); }
    void cleanup() {
        F.Close();
        m_typed.clear();
        m_template.clear();
    }

    void templatesInstalledAtFirstStart() {
        for (const QString name : {"빈 노트", "일기", "회의록"}) {
            const QString installed = F.Dir->filePath("qbTemplate/" + name + ".htm");
            QCOMPARE(ReadMaybe(installed),
                     ReadMaybe(QFINDTESTDATA("../../resources/templates/" + name + ".htm")));
            QVERIFY(QFileInfo::exists(F.Dir->filePath("qbTemplate/" + name + ".ico")));
        }
        // A changed template is kept at the next start.
        F.Window.reset();
        WriteBytes(F.Dir->filePath("qbTemplate/일기.htm"), "mine\r\n");
        F.Window = std::make_unique<TfrmMainNivora>(*F.Prj, *F.Notes);
        QCOMPARE(ReadMaybe(F.Dir->filePath("qbTemplate/일기.htm")), QByteArray("mine\r\n"));
    }

    // Its fields filled, and what is typed at once lands in the body, never in the title.
    void newNoteFromTemplate() {
        Select("폴더");
        m_template = "일기";
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
        F.Window->Action("actFileNewNote")->trigger();
        QCOMPARE(proposed, QStringLiteral("폴더_01"));
        QCOMPARE(templates, 4);
        QCOMPARE(F.Window->ViewMode(), TqbViewMode::Edit);
        const QString made = qbPageCodec::Read(Lib("폴더/폴더_01.htm")).Text;
        QVERIFY(made.contains("<DIV><FONT size=4><B>폴더_01</B></FONT></DIV>"));
        QVERIFY(made.contains("<DIV><!--qbCaret-->&nbsp;</DIV>"));
        QCOMPARE(Tree()->OpenPath(), Lib("폴더/폴더_01.htm"));
        F.WaitForPage();
        QInputMethodEvent typed;
        typed.setCommitString(QStringLiteral("오늘은춥다"));
        QApplication::sendEvent(F.PageWidget(), &typed);
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->Dhtml()->DocumentHtml().contains("<div>오늘은춥다</div>"),
                                 TqbWindowFixture::PageTimeoutMs);
        const QString html = F.Window->Dhtml()->DocumentHtml();
        QVERIFY(html.contains("<b>폴더_01</b>"));
        QVERIFY(!html.contains("qbCaret"));
    }

    void newFolderThroughAction() {
        // Beside a top-level note: at the top level.
        Select("첫노트");
        m_typed = "새 폴더";
        F.Window->Action("actFileNewFolder")->trigger();
        QVERIFY(QFileInfo::exists(Lib("새 폴더/___폴더설명.qb")));
        QCOMPARE(Tree()->currentIndex().data().toString(), QStringLiteral("새 폴더"));
        QCOMPARE(Tree()->OpenPath(), Lib("새 폴더/___폴더설명.qb"));
    }

    void renameOpenNoteKeepsEdits() {
        Select("둘째");
        F.Window->SetViewMode(TqbViewMode::Edit);
        F.WaitForPage();
        TypeIntoPage(QStringLiteral("고침"));
        m_typed = "셋째";
        // The action follows the selection on the window's update timer.
        QAction* rename = F.Window->Action("actFileRename");
        QTRY_VERIFY_WITH_TIMEOUT(rename->isEnabled(), TqbWindowFixture::PageTimeoutMs);
        rename->trigger();
        QVERIFY(!QFileInfo::exists(Lib("둘째.htm")));
        QVERIFY(ReadMaybe(Lib("셋째.htm")).contains("\xB0\xED\xC4\xA7"));
        QCOMPARE(Tree()->OpenPath(), Lib("셋째.htm"));
    }

    void renameDisabledWhileSearchListShows() {
        Select("둘째");
        F.Window->UpdateActions();
        QVERIFY(F.Window->Action("actFileRename")->isEnabled());
        F.Window->SetPanelMode(TqbPanelMode::Search);
        F.Window->UpdateActions();
        QVERIFY(!F.Window->Action("actFileRename")->isEnabled());
        F.Window->SetPanelMode(TqbPanelMode::Tree);
    }

    void deleteOpenNoteWithEdits() {
        Select("둘째");
        F.Window->SetViewMode(TqbViewMode::Edit);
        F.WaitForPage();
        TypeIntoPage(QStringLiteral("사라질"));
        {
            TqbDialogAnswerer catcher(QMessageBox::Ok);
            F.Window->Action("actFileDelete")->trigger();
            QCOMPARE(catcher.texts, QStringList{"둘째를 삭제합니까?"});
        }
        QVERIFY(QFileInfo::exists(Trashed("둘째.htm")));
        QVERIFY(!Node("둘째").isValid());
        // Neither the next selection nor a later save brings it back.
        F.WaitForPage();
        F.Window->SaveCurrentNote();
        Select("첫노트");
        F.Window->SaveCurrentNote();
        QVERIFY(!QFileInfo::exists(Lib("둘째.htm")));
        QVERIFY(!ReadMaybe(Trashed("둘째.htm")).contains("\xBB\xE7\xB6\xF3"));
    }

    void deleteFolderAboveOpenDescription() {
        Select("폴더");
        F.Window->SetViewMode(TqbViewMode::Edit);
        F.WaitForPage();
        TypeIntoPage(QStringLiteral("설명"));
        {
            TqbDialogAnswerer catcher(QMessageBox::Ok);
            F.Window->Action("actFileDelete")->trigger();
        }
        F.WaitForPage();
        F.Window->SaveCurrentNote();
        QVERIFY(!QFileInfo::exists(Lib("폴더")));
        QVERIFY(QFileInfo::exists(Trashed("폴더")));
    }

    // With nothing left to open, typing goes into no page, and nothing is written anywhere.
    void deletingEverythingLeavesNoPageToTypeInto() {
        for (const QString name : {"첫노트", "둘째"}) {
            TqbDialogAnswerer yes(QMessageBox::Ok);
            Tree()->setCurrentIndex(Node(name));
            F.Window->Action("actFileDelete")->trigger();
        }
        Select("폴더");
        F.Window->SetViewMode(TqbViewMode::Edit);
        F.WaitForPage();
        {
            TqbDialogAnswerer yes(QMessageBox::Ok);
            F.Window->Action("actFileDelete")->trigger();
        }
        QCOMPARE(Tree()->model()->rowCount(), 0);
        QVERIFY(!F.Window->Dhtml()->IsDocumentReady());
        QVERIFY(F.Window->Dhtml()->DocumentPath().isEmpty());
        QSignalSpy changed(F.Window->Dhtml(), &TqbDhtmlEdit::ContentChanged);
        QInputMethodEvent typed;
        typed.setCommitString(QStringLiteral("사라질"));
        QApplication::sendEvent(F.PageWidget(), &typed);
        QTest::keyClicks(F.PageWidget(), "lost");
        QVERIFY(F.Window->SaveCurrentNote());
        QCOMPARE(changed.count(), 0);
        QVERIFY(!F.Window->NoteModified());
        QCOMPARE(QDir(Lib("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
    }

    // By the pop-up menu, or by Ctrl+X and Ctrl+V in the tree, which the window's own editing
    // shortcuts on those keys leave to it.
    void cutAndPasteOpenNoteKeepsEdits_data() {
        QTest::addColumn<bool>("keys");
        QTest::newRow("pop-up menu") << false;
        QTest::newRow("keys") << true;
    }
    void cutAndPasteOpenNoteKeepsEdits() {
        QFETCH(bool, keys);
        Select("둘째");
        F.Window->SetViewMode(TqbViewMode::Edit);
        F.WaitForPage();
        TypeIntoPage(QStringLiteral("옮김"));
        if (keys) {
            Tree()->setFocus();
            QTest::keyClick(Tree(), Qt::Key_X, Qt::ControlModifier);
            Tree()->setCurrentIndex(Node("폴더"));
            QTest::keyClick(Tree(), Qt::Key_V, Qt::ControlModifier);
        } else {
            Tree()->SetContextNode(Node("둘째"));
            Tree()->PopupItem("itemCut")->trigger();
            Tree()->SetContextNode(Node("폴더"));
            Tree()->PopupItem("itemPaste")->trigger();
        }
        QVERIFY(!QFileInfo::exists(Lib("둘째.htm")));
        QVERIFY(ReadMaybe(Lib("폴더/둘째.htm")).contains("\xBF\xC5\xB1\xE8"));
        F.WaitForPage();
        F.Window->SaveCurrentNote();
        QVERIFY(!QFileInfo::exists(Lib("둘째.htm")));
    }

    void moveBelowItselfShowsMessage() {
        QDir().mkpath(Lib("폴더/안"));
        Tree()->LoadRoot(Lib(""));
        Tree()->ExpandFolder(Node("폴더"));
        TqbDialogAnswerer catcher;
        Tree()->MoveNode(Node("안"), Node("폴더"));
        QCOMPARE(catcher.texts, QStringList{TqbTree::MoveBelowMessage});
        QVERIFY(QFileInfo::exists(Lib("폴더/안")));
    }
};

QB_APP_TEST_MAIN(TestTreeOps)
#include "tst_TreeOps.moc"
