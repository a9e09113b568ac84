// The configuration dialog over a temporary program folder: what it shows and what it writes.
#include "controls/KfFolderDialog.h"
#include "controls/qbColorPanel.h"
#include "dialogs/Config.h"
#include "dialogs/ConfigRules.h"
#include "library/qbNoteInfo.h"
#include "library/qbPaths.h"
#include "platform/qbIniFile.h"
#include "prjinfo/qbProjectInfo.h"

#include <QKeySequenceEdit>
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
        QCOMPARE(dialog.ClientSize(), QSize(336, 150));
        QCOMPARE(dialog.pnlDirData->Caption(),
                 ShortenPath(Dir("old"), [&](const QString& t) { return metrics.horizontalAdvance(t); },
                             DirDataTextWidth));
        QCOMPARE(dialog.btnDirData->text(), QStringLiteral("..."));
    }

    // The field shows its path from the left inside grey lines; "..." is a drawn brown button.
    void dirDataControlsDrawn() {
        TfrmConfig dialog(*m_noteInfo);
        const QImage field = dialog.pnlDirData->Render();
        QCOMPARE(field.size(), QSize(294, 18));
        const QColor line(206, 206, 198);
        for (const QPoint at : {QPoint(0, 9), QPoint(293, 9), QPoint(150, 0), QPoint(150, 17)})
            QCOMPARE(field.pixelColor(at), line);
        QCOMPARE(field.pixelColor(1, 1), QColor(241, 241, 239));
        int firstInk = -1;
        for (int x = 1; x < field.width() - 1 && firstInk < 0; ++x)
            for (int y = 1; y < field.height() - 1; ++y)
                if (field.pixelColor(x, y).lightness() < 160) {
                    firstInk = x;
                    break;
                }
        QVERIFY2(firstInk >= 3 && firstInk <= 6, qPrintable(QString::number(firstInk)));

        const QImage button = dialog.btnDirData->Render();
        QCOMPARE(button.size(), QSize(17, 17));
        QCOMPARE(button.pixelColor(8, 0), QColor(0x50, 0x50, 0x50));
        // All three dots inside the border: a face wider than Arial's would lose the last.
        int dots = 0;
        bool inDot = false;
        for (int x = 1; x < 16; ++x) {
            bool ink = false;
            for (int y = 2; y < 15; ++y)
                ink = ink || button.pixelColor(x, y).lightness() < 128;
            dots += ink && !inDot;
            inDot = ink;
        }
        QCOMPARE(dots, 3);
    }

    void longPathShortenedButWrittenWhole() {
        const QString deep = Dir("첫째 단계의 긴 폴더/둘째 단계의 긴 폴더/셋째 단계의 긴 폴더/"
                                 "넷째 단계의 긴 폴더/다섯째");
        QVERIFY(QDir().mkpath(deep));
        m_prj->Ini().WriteString("PROGRAM", "DirData", deep);
        TfrmConfig dialog(*m_noteInfo);
        const QString shown = dialog.pnlDirData->Caption();
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

    // After a switch the program's own library can be had again with one button, though it
    // may lie in a hidden folder; the browser then opens there.
    void defaultLocation() {
        TfrmConfig dialog(*m_noteInfo);
        dialog.show();
        QCOMPARE(dialog.btnDefaultDir->text(), QStringLiteral("기본 위치"));
        dialog.btnDefaultDir->click();
        const QString def = m_prj->ProgramDir() + "BookData";
        QCOMPARE(dialog.DirData(), def);
        QVERIFY(QFileInfo(def).isDir());
        QCOMPARE(dialog.dlgFolder->Folder(), def);
        QCOMPARE(StoredDirData(), Dir("old"));
        dialog.btnConfirm->click();
        QCOMPARE(StoredDirData(), def);
    }

    void browseCancelledChangesNothing() {
        TfrmConfig dialog(*m_noteInfo);
        dialog.show();
        const QString shown = dialog.pnlDirData->Caption();
        Browse(dialog, QString());
        QCOMPARE(dialog.DirData(), Dir("old"));
        QCOMPARE(dialog.pnlDirData->Caption(), shown);
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

    // The dialog refuses what the library would refuse at the next start, and a folder the
    // program cannot write in; the shown folder stays.
    void unusableFolderRefused_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("phrase");
        QTest::newRow("file system root") << QDir::rootPath() << QStringLiteral("최상위 폴더");
        QTest::newRow("a system folder") << QStringLiteral("/proc")
                                         << QStringLiteral("시스템이 쓰는 폴더");
    }
    void unusableFolderRefused() {
        QFETCH(QString, folder);
        QFETCH(QString, phrase);
        if (!QFileInfo(folder).isDir())
            QSKIP("no such folder here");
        TfrmConfig dialog(*m_noteInfo);
        dialog.show();
        Browse(dialog, folder);
        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box);
        QVERIFY2(box->text().contains(phrase), qPrintable(box->text()));
        QCOMPARE(dialog.DirData(), Dir("old"));
        box->close();
        dialog.btnConfirm->click();
        QCOMPARE(StoredDirData(), Dir("old"));
    }

    // The quick capture key: a changed one is put to work at OK; one another program holds, or
    // one the keyboard lacks, is refused with a message, shown back as it was, and the dialog
    // stays open.
    void captureKey_data() {
        QTest::addColumn<QString>("typed"); // "-" for the clear button
        QTest::addColumn<TqbGlobalKey::TOutcome>("outcome");
        QTest::addColumn<QStringList>("applied");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        const auto registered = TqbGlobalKey::TOutcome::Registered;
        QTest::newRow("unchanged")
            << "Ctrl+Alt+M" << registered << QStringList{} << "Ctrl+Alt+M" << QString();
        QTest::newRow("another key") << "Ctrl+Shift+K" << registered << QStringList{"Ctrl+Shift+K"}
                                     << "Ctrl+Shift+K" << QString();
        QTest::newRow("only the first of two")
            << "Ctrl+K, Ctrl+L" << registered << QStringList{"Ctrl+K"} << "Ctrl+K" << QString();
        QTest::newRow("cleared") << "-" << registered << QStringList{""} << "" << QString();
        QTest::newRow("no global keys here")
            << "Ctrl+Shift+K" << TqbGlobalKey::TOutcome::Unavailable << QStringList{"Ctrl+Shift+K"}
            << "Ctrl+Shift+K" << QString();
        QTest::newRow("held by another program")
            << "Ctrl+Shift+K" << TqbGlobalKey::TOutcome::Taken << QStringList{"Ctrl+Shift+K"}
            << "Ctrl+Alt+M" << MsgKeyTaken;
        QTest::newRow("no such key")
            << "Ctrl+Shift+K" << TqbGlobalKey::TOutcome::Unusable << QStringList{"Ctrl+Shift+K"}
            << "Ctrl+Alt+M" << MsgKeyUnusable;
    }
    void captureKey() {
        QFETCH(QString, typed);
        QFETCH(TqbGlobalKey::TOutcome, outcome);
        QFETCH(QString, message);
        TfrmConfig dialog(*m_noteInfo);
        QStringList applied;
        dialog.SetCaptureKey(QKeySequence(QStringLiteral("Ctrl+Alt+M")),
                             [&](const QKeySequence& key) {
                                 applied << key.toString(QKeySequence::PortableText);
                                 return outcome;
                             });
        dialog.show();
        if (typed == u'-')
            dialog.btnNoCaptureKey->click();
        else
            dialog.edtCaptureKey->setKeySequence(QKeySequence(typed));
        dialog.btnConfirm->click();
        QTEST(applied, "applied");
        QTEST(dialog.edtCaptureKey->keySequence().toString(QKeySequence::PortableText), "shown");
        auto* box = dialog.findChild<QMessageBox*>();
        QCOMPARE(box ? box->text() : QString(), message);
        QCOMPARE(dialog.result(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
    }

    // Stored in the settings as portable text; a missing setting gives the default, an empty
    // one no key. A key this session cannot hold is stored for one that can.
    void captureKeySetting_data() {
        QTest::addColumn<QString>("stored"); // "-" for no setting
        QTest::addColumn<QString>("read");
        QTest::newRow("missing") << "-"
                                 << "Ctrl+Alt+M";
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("chosen") << "Ctrl+Shift+F5"
                                << "Ctrl+Shift+F5";
    }
    void captureKeySetting() {
        QFETCH(QString, stored);
        TqbIniFile ini = m_prj->Ini();
        if (stored != u'-')
            ini.WriteString("PROGRAM", "QuickCaptureKey", stored);
        QTEST(StoredCaptureKey(ini).toString(QKeySequence::PortableText), "read");

        TqbGlobalKey offscreen(QStringLiteral("빠른 메모"));
        QCOMPARE(ApplyCaptureKey(offscreen, ini, QKeySequence(QStringLiteral("Meta+N"))),
                 TqbGlobalKey::TOutcome::Unavailable);
        QCOMPARE(ini.ReadString("PROGRAM", "QuickCaptureKey", {}), QStringLiteral("Meta+N"));
        QCOMPARE(StoredCaptureKey(ini), QKeySequence(QStringLiteral("Meta+N")));
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
        QTest::addColumn<QString>("phrase"); // empty: accepted
        QTest::newRow("existing") << "old" << QString();
        QTest::newRow("missing, parent there") << "new/c" << QString();
        QTest::newRow("missing parent") << "a/b/c" << QStringLiteral("상위 폴더가 없습니다");
        QTest::newRow("under a file") << "program/qbNivora.ini/x"
                                      << QStringLiteral("상위 폴더가 없습니다");
        QTest::newRow("a file") << "program/qbNivora.ini" << QStringLiteral("파일입니다");
        QTest::newRow("file system root") << "/" << QStringLiteral("최상위 폴더");
        QTest::newRow("link to the root") << "root-link" << QStringLiteral("최상위 폴더");
        QTest::newRow("unreadable") << "locked" << QStringLiteral("읽을 수 없습니다");
        QTest::newRow("a system folder") << "/proc" << QStringLiteral("시스템이 쓰는 폴더");
        QTest::newRow("empty") << "" << MsgCannotCreate;
    }
    void dataDirFault() {
        QFETCH(QString, path);
        QFETCH(QString, phrase);
        QVERIFY(QFile::link(QDir::rootPath(), Dir("root-link")));
        QVERIFY(QDir(m_temp->path()).mkdir("locked"));
        QVERIFY(QFile::setPermissions(Dir("locked"), QFileDevice::WriteOwner));
        if (path == "locked" && QFileInfo(Dir("locked")).isReadable())
            QSKIP("rights do not stop this user from reading");
        if (path == "/proc" && !QFileInfo(path).isDir())
            QSKIP("no /proc here");
        const QString full = path.isEmpty() || path.startsWith(u'/') ? path : Dir(path);
        const QString result = DataDirFault(full);
        QVERIFY2(phrase.isEmpty() ? result.isEmpty() : result.contains(phrase), qPrintable(result));
        if (phrase.isEmpty()) {
            QVERIFY(QFileInfo(full).isDir());
            QCOMPARE(QDir(full).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList());
        } else {
            QVERIFY(!QFileInfo::exists(Dir("a")));
        }
    }
};

QTEST_MAIN(tst_Config)
#include "tst_Config.moc"
