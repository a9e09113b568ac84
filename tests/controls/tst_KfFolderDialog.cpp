// The folder browse dialog: its rules as tables, and the dialog driven while it runs.
#include "controls/KfFolderDialog.h"
#include "controls/KfFolderRules.h"

#include <QCheckBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <functional>

using namespace KfFolderRules;

class tst_KfFolderDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_temp;
    QString Dir(const QString& name = {}) const {
        return name.isEmpty() ? m_temp.path() : m_temp.path() + u'/' + name;
    }

    // Runs the dialog; drive works on the open window and the dialog closes with `confirm`
    // afterwards, even when drive failed.
    bool Run(TKfFolderDialog& dialog, const std::function<void(TKfFolderBrowser*)>& drive,
             bool confirm) {
        const auto connection = connect(&dialog, &TKfFolderDialog::OnInitialized, this, [&](QDialog*) {
            TKfFolderBrowser* browser = dialog.DialogWindow();
            QMetaObject::invokeMethod(browser, [=] {
                drive(browser);
                if (confirm)
                    browser->OkButton()->click();
                else
                    browser->CancelButton()->click();
                if (browser->isVisible()) // OK may be disabled
                    browser->reject();
            }, Qt::QueuedConnection);
        });
        const bool confirmed = dialog.RunFolderBrowser();
        disconnect(connection);
        return confirmed;
    }

private slots:
    void initTestCase() {
        QVERIFY(QDir(Dir()).mkpath("a/b"));
        QVERIFY(QDir(Dir()).mkpath(".hidden/lib"));
        QFile blocker(Dir("a/file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }

    void statusPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<QString>("shown");
        const QString fifty = "/home/" + QString(44, u'n');
        QTest::newRow("short") << "/home/kim/notes" << QChar(u'/') << "/home/kim/notes";
        QTest::newRow("exactly 50") << fifty << QChar(u'/') << fifty;
        QTest::newRow("no delimiter cut at 50") << QString(60, u'x') << QChar(u'/') << QString(50, u'x');
        QTest::newRow("one delimiter after the start")
            << "/" + QString(55, u'y') + "/z" << QChar(u'/') << "/" + QString(49, u'y');
        QTest::newRow("drive keeps its root and the tail that fits")
            << R"(C:\Documents and Settings\Administrator\My Documents\qbNivora\BookData)"
            << QChar(u'\\') << R"(C:\...\My Documents\qbNivora\BookData)";
        QTest::newRow("network path keeps its two delimiters")
            << R"(\\fileserver\share\projects\notebooks\qbNivora\BookData\travel)" << QChar(u'\\')
            << R"(\\fileserver\...\qbNivora\BookData\travel)";
        QTest::newRow("root path keeps its first folder")
            << "/home/kimchulsoo/Documents/qbNivora/BookData/여행/2024/서울" << QChar(u'/')
            << "/home/.../Documents/qbNivora/BookData/여행/2024/서울";
        QTest::newRow("long last component cut to 47 and dots")
            << "C:\\a\\" + QString(60, u'x') << QChar(u'\\')
            << "C:\\...\\" + QString(40, u'x') + "...";
        QTest::newRow("short tail") << "/a/" + QString(55, u'y') + "/z" << QChar(u'/') << "/a/.../z";
    }
    void statusPath() {
        QFETCH(QString, path);
        QFETCH(QChar, delimiter);
        QFETCH(QString, shown);
        const QString result = ShortenStatusPath(path, delimiter);
        QCOMPARE(result, shown);
        QVERIFY(result.size() <= StatusPathLength);
    }

    void caption_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::newRow("empty list") << QStringList() << "0412" << "";
        QTest::newRow("korean label falls to Default")
            << DefaultLabelCaptions() << "0412" << "Current folder:";
        QTest::newRow("korean button falls to Default")
            << DefaultNewFolderCaptions() << "0412" << "New folder";
        QTest::newRow("german") << DefaultLabelCaptions() << "0407" << "Ausgewählter Ordner:";
        QTest::newRow("polish") << DefaultLabelCaptions() << "0415" << "Bieżący folder";
        QTest::newRow("key without case") << DefaultNewFolderCaptions() << "080c" << "Nouveau Dossier";
        QTest::newRow("own korean list") << QStringList{"0412=새폴더"} << "0412" << "새폴더";
        QTest::newRow("first line without Default")
            << QStringList{"0412=새폴더", "0407=Neuer Ordner"} << "0409" << "새폴더";
        QTest::newRow("first line without key") << QStringList{"폴더"} << "0409" << "폴더";
        QTest::newRow("text may hold =") << QStringList{"Default=a=b"} << "0409" << "a=b";
    }
    void caption() {
        QFETCH(QStringList, lines);
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QCOMPARE(ChooseCaption(lines, key), caption);
    }

    void languageKey_data() {
        QTest::addColumn<QLocale::Language>("language");
        QTest::addColumn<QLocale::Territory>("territory");
        QTest::addColumn<QString>("key");
        QTest::newRow("korean") << QLocale::Korean << QLocale::SouthKorea << "0412";
        QTest::newRow("us english") << QLocale::English << QLocale::UnitedStates << "0409";
        QTest::newRow("british") << QLocale::English << QLocale::UnitedKingdom << "0809";
        QTest::newRow("english elsewhere") << QLocale::English << QLocale::India << "0409";
        QTest::newRow("austrian") << QLocale::German << QLocale::Austria << "0C07";
        QTest::newRow("C locale") << QLocale::C << QLocale::AnyTerritory << "0409";
        QTest::newRow("no identifier here") << QLocale::Swahili << QLocale::Kenya << "0000";
    }
    void languageKey() {
        QFETCH(QLocale::Language, language);
        QFETCH(QLocale::Territory, territory);
        QFETCH(QString, key);
        QCOMPARE(WindowsLanguageKey(language, territory), key);
    }

    void newFolderPath_data() {
        QTest::addColumn<QString>("working");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "/home/kim" << "new" << QChar(u'/') << "/home/kim/new";
        QTest::newRow("leading delimiter") << "/home/kim" << "/new" << QChar(u'/') << "/home/kim/new";
        QTest::newRow("root") << "/" << "new" << QChar(u'/') << "/new";
        QTest::newRow("nested") << "/home/kim" << "a/b" << QChar(u'/') << "/home/kim/a/b";
        QTest::newRow("drive root") << "C:\\" << "x" << QChar(u'\\') << "C:\\x";
    }
    void newFolderPath() {
        QFETCH(QString, working);
        QFETCH(QString, name);
        QFETCH(QChar, delimiter);
        QFETCH(QString, path);
        QCOMPARE(NewFolderPath(working, name, delimiter), path);
    }

    void buttonPlace_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("textWidth");
        QTest::addColumn<QRect>("rect");
        // Client height 300, caption height 20.
        QTest::newRow("96") << 96 << 40 << QRect(12, 264, 75, 23);
        QTest::newRow("120") << 120 << 40 << QRect(15, 255, 93, 28);
        QTest::newRow("other") << 110 << 40 << QRect(13, 263, 85, 26);
        QTest::newRow("long caption widens") << 96 << 70 << QRect(12, 264, 82, 23);
        QTest::newRow("caption that fits") << 96 << 63 << QRect(12, 264, 75, 23);
    }
    void buttonPlace() {
        QFETCH(int, dpi);
        QFETCH(int, textWidth);
        QFETCH(QRect, rect);
        QCOMPARE(NewFolderButtonRect(dpi, 300, 20, textWidth), rect);
    }

    void koreanCaptions() {
        TKfFolderDialog dialog(nullptr, "0412");
        QString label, button;
        Run(dialog, [&](TKfFolderBrowser* browser) {
            label = browser->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)->text();
            button = browser->NewFolderButton()->text();
            dialog.SetNewFolderCaptions({"0412=새폴더"});
        }, false);
        QCOMPARE(label, QStringLiteral("Current folder:"));
        QCOMPARE(button, QStringLiteral("New folder"));
        QCOMPARE(dialog.NewFolderCaption(), QStringLiteral("새폴더"));
    }

    void confirmsSelectedFolder() {
        TKfFolderDialog dialog(nullptr, "0412");
        dialog.SetFlags(TKfBrowseFlag::OnlyFileSystem | TKfBrowseFlag::ShowPath);
        dialog.SetFolder(Dir("a"));
        QString status;
        QPoint place, centre;
        Run(dialog, [&](TKfFolderBrowser* browser) {
            status = browser->StatusText();
            place = browser->pos();
            centre = CentredTopLeft(browser->screen()->geometry(), browser->frameGeometry().size());
            QSignalSpy changed(&dialog, &TKfFolderDialog::OnSelectionChanged);
            QVERIFY(browser->SelectFolder(Dir("a/b")));
            QCOMPARE(changed.count(), 1);
            QCOMPARE(changed.first().at(1).toString(), Dir("a/b"));
        }, true);
        QCOMPARE(dialog.Folder(), Dir("a/b"));
        QCOMPARE(status, ShortenStatusPath(QDir::toNativeSeparators(Dir("a"))));
        QCOMPARE(place, centre);
    }

    void cancelKeepsFolder() {
        TKfFolderDialog dialog;
        dialog.SetFolder(Dir("a"));
        const bool confirmed = Run(dialog, [&](TKfFolderBrowser* browser) {
            browser->SelectFolder(Dir("a/b"));
        }, false);
        QVERIFY(!confirmed);
        QCOMPARE(dialog.Folder(), Dir("a"));
    }

    void newFolder_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("created");
        QTest::newRow("plain") << "새 폴더" << "a/새 폴더";
        QTest::newRow("leading delimiter") << "/lead" << "a/lead";
        QTest::newRow("parents too") << "p/q/r" << "a/p/q/r";
        QTest::newRow("existing is selected") << "b" << "a/b";
    }
    void newFolder() {
        QFETCH(QString, name);
        QFETCH(QString, created);
        TKfFolderDialog dialog;
        dialog.SetFolder(Dir("a"));
        dialog.SetNamePrompt([&](QWidget*, const QString& title) {
            return title == dialog.NewFolderCaption() ? std::optional<QString>(name) : std::nullopt;
        });
        Run(dialog, [&](TKfFolderBrowser* browser) {
            browser->NewFolderButton()->click();
            QCOMPARE(browser->WorkingPath(), Dir(created));
        }, true);
        QVERIFY(QFileInfo(Dir(created)).isDir());
        QCOMPARE(dialog.Folder(), Dir(created));
    }

    void newFolderCancelledCreatesNothing() {
        TKfFolderDialog dialog;
        dialog.SetFolder(Dir("a"));
        const QStringList before = QDir(Dir("a")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        for (const std::optional<QString>& answer : {std::optional<QString>(), std::optional<QString>("")}) {
            dialog.SetNamePrompt([&](QWidget*, const QString&) { return answer; });
            Run(dialog, [&](TKfFolderBrowser* browser) {
                browser->NewFolderButton()->click();
                QCOMPARE(browser->WorkingPath(), Dir("a"));
            }, false);
        }
        QCOMPARE(QDir(Dir("a")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    void newFolderFailureSaysSo() {
        TKfFolderDialog dialog(nullptr, "0412");
        dialog.SetNewFolderCaptions({"0412=새폴더"});
        dialog.SetFolder(Dir("a"));
        Run(dialog, [&](TKfFolderBrowser* browser) {
            QVERIFY(!browser->CreateNewFolder("file/sub"));
            auto* box = browser->findChild<QMessageBox*>();
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("새폴더"));
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QVERIFY(box->text().startsWith(DialogTexts("0412").CannotCreate));
            QCOMPARE(browser->WorkingPath(), Dir("a"));
            box->close();
        }, true);
        QCOMPARE(dialog.Folder(), Dir("a"));
    }

    void inHiddenFolder_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("plain") << "/home/kim/notes" << false;
        QTest::newRow("hidden on the way") << "/home/kim/.local/share/qbNivora/BookData" << true;
        QTest::newRow("hidden itself") << "/home/kim/.notes" << true;
        QTest::newRow("dot in the middle of a name") << "/home/kim/v1.2" << false;
        QTest::newRow("parent steps cleaned away") << "/home/kim/../kim/notes/." << false;
    }
    void inHiddenFolder() {
        QFETCH(QString, path);
        QFETCH(bool, hidden);
        QCOMPARE(InHiddenFolder(path), hidden);
    }

    // The installed program's default library lies under ~/.local: a hidden folder can be
    // shown on request, and one to start at is shown at once.
    void hiddenFolders() {
        TKfFolderDialog dialog(nullptr, "0412");
        dialog.SetFolder(Dir("a"));
        const auto shown = [](TKfFolderBrowser* browser, const QString& name) {
            const auto* model = static_cast<const QFileSystemModel*>(browser->Tree()->model());
            const QModelIndex parent = model->index(QFileInfo(name).path());
            for (int row = 0; row < model->rowCount(parent); ++row)
                if (model->filePath(model->index(row, 0, parent)) == name)
                    return true;
            return false;
        };
        Run(dialog, [&](TKfFolderBrowser* browser) {
            QCheckBox* check = browser->HiddenCheck();
            QCOMPARE(check->text(), QStringLiteral("숨김 폴더 보기"));
            QVERIFY(!check->isChecked());
            QTRY_VERIFY(shown(browser, Dir("a")));
            QVERIFY(!shown(browser, Dir(".hidden")));
            check->click();
            QTRY_VERIFY(shown(browser, Dir(".hidden")));
            check->click();
            QTRY_VERIFY(!shown(browser, Dir(".hidden")));
        }, false);

        dialog.SetFolder(Dir(".hidden/lib"));
        Run(dialog, [&](TKfFolderBrowser* browser) {
            QVERIFY(browser->HiddenCheck()->isChecked());
            QCOMPARE(browser->WorkingPath(), Dir(".hidden/lib"));
        }, true);
        QCOMPARE(dialog.Folder(), Dir(".hidden/lib"));
    }

    void buttonsFollowFlagsAndSelection() {
        TKfFolderDialog dialog;
        dialog.SetFlags(TKfBrowseFlag::OnlyFileSystem);
        dialog.SetFolder(Dir("a"));
        Run(dialog, [&](TKfFolderBrowser* browser) {
            QPushButton* ok = browser->OkButton();
            QPushButton* newFolder = browser->NewFolderButton();
            QVERIFY(ok->isEnabled());
            QVERIFY(newFolder->isEnabled());
            QVERIFY(!browser->findChild<QLabel*>("status")->isVisible());

            browser->Tree()->setCurrentIndex(QModelIndex());
            QVERIFY(browser->WorkingPath().isEmpty());
            QVERIFY(!ok->isEnabled());
            QVERIFY(!newFolder->isEnabled());
            dialog.SetFlags(TKfBrowseFlag::ShowPath);
            QVERIFY(ok->isEnabled());
            QVERIFY(browser->findChild<QLabel*>("status")->isVisible());

            QVERIFY(browser->SelectFolder(Dir("a")));
            dialog.SetNewFolderEnabled(false);
            QVERIFY(!newFolder->isEnabled());
            dialog.SetNewFolderEnabled(true);
            QVERIFY(newFolder->isEnabled());
            dialog.SetNewFolderVisible(false);
            QVERIFY(newFolder->isHidden());

            const QRect expected = NewFolderButtonRect(
                browser->logicalDpiY(), browser->height(),
                browser->style()->pixelMetric(QStyle::PM_TitleBarHeight),
                newFolder->fontMetrics().horizontalAdvance(newFolder->text()));
            QCOMPARE(newFolder->geometry(), expected);
        }, false);
    }
};

QTEST_MAIN(tst_KfFolderDialog)
#include "tst_KfFolderDialog.moc"
