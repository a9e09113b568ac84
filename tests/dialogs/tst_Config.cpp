// The configuration dialog over a temporary program folder: what it shows and what it writes.
#include "controls/KfFolderDialog.h"
#include "dialogs/Config.h"
#include "dialogs/ConfigRules.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "prjinfo/qbProjectInfo.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

using namespace ConfigRules;

class tst_Config : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<TqbPrjInfo> m_prj;
    std::unique_ptr<TqbNoteInfo> m_noteInfo;

    QString Dir(const QString& name) const { return m_temp->filePath(name); }
    QString StoredDirData() const {
        return m_prj->Ini().ReadString("PROGRAM", "DirData", QStringLiteral("<none>"));
    }

    // Runs the folder dialog from "..." and picks `folder` in it; an empty folder cancels.
    void Browse(TfrmConfig& dialog, const QString& folder) {
        const auto connection = connect(dialog.dlgFolder, &TKfFolderDialog::OnInitialized, this, [&] {
            TKfFolderBrowser* browser = dialog.dlgFolder->DialogWindow();
            QMetaObject::invokeMethod(browser, [=] {
                if (!folder.isEmpty() && browser->SelectFolder(folder))
                    browser->OkButton()->click();
                else
                    browser->reject();
            }, Qt::QueuedConnection);
        });
        dialog.btnDirData->click();
        disconnect(connection);
    }

private slots:
    void init() {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_temp->path()).mkpath("program"));
        QVERIFY(QDir(m_temp->path()).mkpath("old"));
        QVERIFY(QDir(m_temp->path()).mkpath("new"));
        m_prj = std::make_unique<TqbPrjInfo>("qbNivora", Dir("program"));
        m_noteInfo = std::make_unique<TqbNoteInfo>(*m_prj);
        m_prj->Ini().WriteString("PROGRAM", "DirData", Dir("old"));
    }
    void cleanup() {
        m_noteInfo.reset();
        m_prj.reset();
        m_temp.reset();
    }

    void showsStoredDirectory() {
        TfrmConfig dialog(*m_noteInfo);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("환경설정"));
        QCOMPARE(dialog.DirData(), Dir("old"));
        const QFontMetrics metrics = dialog.fontMetrics();
        QCOMPARE(dialog.pnlDirData->text(),
                 ShortenPath(Dir("old"), [&](const QString& t) { return metrics.horizontalAdvance(t); },
                             DirDataTextWidth));
        QCOMPARE(dialog.btnDirData->text(), QStringLiteral("..."));
    }

    void longPathShortenedButWrittenWhole() {
        const QString deep = Dir("첫째 단계의 긴 폴더/둘째 단계의 긴 폴더/셋째 단계의 긴 폴더/"
                                 "넷째 단계의 긴 폴더/다섯째");
        QVERIFY(QDir().mkpath(deep));
        m_prj->Ini().WriteString("PROGRAM", "DirData", deep);
        TfrmConfig dialog(*m_noteInfo);
        const QString shown = dialog.pnlDirData->text();
        QVERIFY2(shown.contains(QDir::toNativeSeparators("/.../")), qPrintable(shown));
        QVERIFY(shown.endsWith(QStringLiteral("다섯째")));
        QVERIFY(dialog.fontMetrics().horizontalAdvance(shown) < DirDataTextWidth);
        dialog.btnConfirm->click();
        QCOMPARE(StoredDirData(), deep);
    }

    void missingSettingShowsDefaultCreated() {
        m_prj->Ini().WriteString("PROGRAM", "DirData", "");
        TfrmConfig dialog(*m_noteInfo);
        QCOMPARE(dialog.DirData(), m_prj->ProgramDir() + "BookData");
        QVERIFY(QFileInfo(dialog.DirData()).isDir());
    }

    void confirmWritesEvenUnchanged() {
        QFile::remove(m_prj->IniFileName());
        TfrmConfig dialog(*m_noteInfo);
        QCOMPARE(StoredDirData(), QStringLiteral("<none>"));
        dialog.btnConfirm->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(StoredDirData(), m_prj->ProgramDir() + "BookData");
    }

    void browseThenConfirm() {
        TfrmConfig dialog(*m_noteInfo);
        dialog.show();
        Browse(dialog, Dir("new"));
        QCOMPARE(dialog.DirData(), Dir("new"));
        QCOMPARE(StoredDirData(), Dir("old"));
        // A second browse starts where the first ended.
        QCOMPARE(dialog.dlgFolder->Folder(), Dir("new"));
        dialog.btnConfirm->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(StoredDirData(), Dir("new"));
    }

    void browseCancelledChangesNothing() {
        TfrmConfig dialog(*m_noteInfo);
        dialog.show();
        const QString shown = dialog.pnlDirData->text();
        Browse(dialog, QString());
        QCOMPARE(dialog.DirData(), Dir("old"));
        QCOMPARE(dialog.pnlDirData->text(), shown);
    }

    void closingWithoutConfirmWritesNothing_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("cancel button") << 0;
        QTest::newRow("escape") << 1;
        QTest::newRow("close") << 2;
    }
    void closingWithoutConfirmWritesNothing() {
        QFETCH(int, how);
        TfrmConfig dialog(*m_noteInfo);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        Browse(dialog, Dir("new"));
        QCOMPARE(dialog.DirData(), Dir("new"));
        if (how == 0)
            dialog.btnCancel->click();
        else if (how == 1)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(StoredDirData(), Dir("old"));
    }

    void unusableFolderRefused() {
        if (!QFileInfo(QStringLiteral("/proc")).isDir())
            QSKIP("no /proc here");
        TfrmConfig dialog(*m_noteInfo);
        dialog.show();
        Browse(dialog, QStringLiteral("/proc"));
        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box);
        QVERIFY(box->text().startsWith(MsgCannotWrite));
        QCOMPARE(dialog.DirData(), Dir("old"));
        box->close();
        dialog.btnConfirm->click();
        QCOMPARE(StoredDirData(), Dir("old"));
    }

    void failedWriteKeepsDialogOpen() {
        TfrmConfig dialog(*m_noteInfo);
        dialog.show();
        // A folder where the settings file should be: it cannot be replaced.
        QVERIFY(QFile::remove(m_prj->IniFileName()));
        QVERIFY(QDir().mkdir(m_prj->IniFileName()));
        dialog.btnConfirm->click();
        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box);
        QVERIFY(box->text().startsWith(MsgCannotSave));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void dataDirFault_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fault");
        QTest::newRow("existing") << "old" << QString();
        QTest::newRow("missing with parents") << "a/b/c" << QString();
        QTest::newRow("under a file") << "program/qbNivora.ini/x" << MsgCannotCreate;
        QTest::newRow("a file") << "program/qbNivora.ini" << MsgCannotCreate;
        QTest::newRow("not writable") << "/proc" << MsgCannotWrite;
    }
    void dataDirFault() {
        QFETCH(QString, path);
        QFETCH(QString, fault);
        const QString full = path.startsWith(u'/') ? path : Dir(path);
        const QString result = DataDirFault(full);
        QCOMPARE(result.section(u'\n', 0, 0), fault);
        if (fault.isEmpty()) {
            QVERIFY(QFileInfo(full).isDir());
            QCOMPARE(QDir(full).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList());
        }
    }
};

QTEST_MAIN(tst_Config)
#include "tst_Config.moc"
