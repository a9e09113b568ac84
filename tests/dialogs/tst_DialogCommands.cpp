// The window's mail and configuration commands, without the window: what they save first,
// what they attach and what they give back for the tree.
#include "dialogs/Config.h"
#include "dialogs/qbDialogCommands.h"
#include "library/qbNoteInfo.h"
#include "prjinfo/qbProjectInfo.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>

using namespace qbDialogCommands;

namespace {

// Acts on the modal dialog of type T as soon as its loop runs, until the object goes: a dialog
// that wrongly opens is closed rather than left waiting for a user.
template <typename T>
class WhenModal {
public:
    explicit WhenModal(std::function<void(T*)> act)
        : m_act(std::make_shared<std::function<void(T*)>>(std::move(act))) {
        Post(m_act);
    }
    ~WhenModal() {
        *m_act = nullptr;
        QApplication::processEvents();
    }

private:
    using TAct = std::shared_ptr<std::function<void(T*)>>;
    static void Post(TAct act) {
        QMetaObject::invokeMethod(qApp, [act] {
            if (!*act)
                return;
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()))
                (*act)(dialog);
            else
                Post(act);
        }, Qt::QueuedConnection);
    }
    TAct m_act;
};

} // namespace

class tst_DialogCommands : public QObject {
    Q_OBJECT

private slots:
    void mailOnlyWithOpenDocument() {
        QVERIFY(!NoteToMailEnabled(QString()));
        QVERIFY(NoteToMailEnabled("/lib/a.htm"));
        int saves = 0;
        QVERIFY(!RunNoteToMail(nullptr, "a", QString(), [&] { return ++saves, true; }));
        QCOMPARE(saves, 0);
    }

    void failedSaveStopsMail() {
        bool sent = false;
        bool shown = false;
        WhenModal<TfrmNoteToMail> guard([&](TfrmNoteToMail* dialog) {
            shown = true;
            dialog->reject();
        });
        const bool ran = RunNoteToMail(nullptr, "a", "/lib/a.htm", [] { return false; },
                                       [&](const TqbMailMessage&) {
                                           sent = true;
                                           return TqbMailResult{TqbMailStatus::HandedOver, 0, {}};
                                       });
        QVERIFY(!ran);
        QVERIFY(!sent);
        QVERIFY(!shown);
    }

    void mailAttachesSavedDocument_data() {
        QTest::addColumn<QString>("openPath");
        QTest::addColumn<QString>("attached");
        QTest::newRow("note") << "/lib/여행.htm" << "/lib/여행.htm";
        QTest::newRow("folder page") << "/lib/여행/" << "/lib/여행/___폴더설명.qb";
    }
    void mailAttachesSavedDocument() {
        QFETCH(QString, openPath);
        QFETCH(QString, attached);
        int saves = 0;
        int savesWhenShown = -1;
        TqbMailMessage message;
        WhenModal<TfrmNoteToMail> driver([&](TfrmNoteToMail* dialog) {
            savesWhenShown = saves;
            dialog->edtMailAddress->setText("a@b.org");
            dialog->btnConfirm->click();
        });
        QVERIFY(RunNoteToMail(nullptr, "여행", openPath, [&] { return ++saves, true; },
                              [&](const TqbMailMessage& m) {
                                  message = m;
                                  return TqbMailResult{TqbMailStatus::HandedOver, 0, {}};
                              }));
        QCOMPARE(savesWhenShown, 1);
        QCOMPARE(message.AttachmentPath, attached);
        QCOMPARE(message.Subject, QStringLiteral("qbNivora-여행"));
    }

    // A note that cannot be saved asks whether to drop its changes: the library can still be
    // switched away from one gone read-only.
    void configReloadsAfterOk_data() {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("discard");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("asked");
        QTest::addColumn<bool>("shows");
        QTest::newRow("confirmed") << true << false << true << 0 << true;
        QTest::newRow("cancelled") << true << false << false << 0 << true;
        QTest::newRow("save failed, changes kept") << false << false << true << 1 << false;
        QTest::newRow("save failed, changes dropped") << false << true << true << 1 << true;
    }
    void configReloadsAfterOk() {
        QFETCH(bool, saved);
        QFETCH(bool, discard);
        QFETCH(bool, confirm);
        QFETCH(int, asked);
        QFETCH(bool, shows);
        QTemporaryDir temp;
        TqbPrjInfo prj("qbNivora", temp.path());
        TqbNoteInfo noteInfo(prj);
        const QString library = temp.filePath("library");
        prj.Ini().WriteString("PROGRAM", "DirData", library);
        {
            QFile header(noteInfo.DefHeaderFileName());
            QVERIFY(header.open(QIODevice::WriteOnly));
            header.write("<html>\r\n<body>\r\n");
        }
        bool shown = false;
        WhenModal<TfrmConfig> driver([&](TfrmConfig* dialog) {
            shown = true;
            if (confirm)
                dialog->btnConfirm->click();
            else
                dialog->reject();
        });
        int questions = 0;
        const std::optional<QString> dir = RunConfig(
            nullptr, noteInfo, [&] { return saved; }, [&] { return ++questions, discard; });
        QCOMPARE(questions, asked);
        QCOMPARE(shown, shows);
        const bool reloads = shows && confirm;
        QCOMPARE(dir.has_value(), reloads);
        QCOMPARE(noteInfo.DefaultHeader() == QStringList({"<html>", "<body>"}), reloads);
        if (reloads) {
            QCOMPARE(*dir, library);
            QVERIFY(QFileInfo(library).isDir());
        }
    }
};

QTEST_MAIN(tst_DialogCommands)
#include "tst_DialogCommands.moc"
