// The main window on its skinned frame, end to end: the first start's look and settings, the
// window opening maximized with its web view, the skin menu on the program's own menu bar.
#include "app/main.h"
#include "common/qbAppTestMain.h"
#include "common/qbTestFiles.h"
#include "common/qbWindowFixture.h"
#include "controls/qbBlankPnl.h"
#include "frames/qbSkinMenu.h"

#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

namespace {

// A library of one note, and the settings file holding `settings`.
void Fill(TqbWindowFixture& f, const QByteArray& settings = {}) {
    WriteBytes(f.Lib("노트.htm"), "<HTML><BODY><DIV>note</DIV></BODY></HTML>\r\n");
    if (!settings.isEmpty())
        WriteBytes(f.Dir->filePath("qbNivora.ini"), settings);
}

// Counts the window system's windows made for the window watched.
struct TWindowsMade : QObject {
    int Count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WinIdChange && static_cast<QWidget*>(watched)->internalWinId())
            ++Count;
        return false;
    }
};

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT

    TqbWindowFixture F;

private slots:
    void cleanup() { F.Close(); }

    void firstStartIsSkinnedAndStoresTheLook() {
        F.Open([](TqbWindowFixture& f) { Fill(f); });
        TfrmMainNivora& window = *F.Window;
        QVERIFY(window.SkinMode());
        QVERIFY(window.SkinName().isEmpty());
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window.pnlCaption->isVisible());
        QVERIFY(!window.imgResize->pixmap().isNull());
        // The status panel stands left of the grip in the frame's status bar.
        QVERIFY(window.pnlStatusBar->isAncestorOf(window.findChild<QWidget*>("btnToTreeMode")));
        QVERIFY(window.close());
        const TqbIniFile ini = F.Prj->Ini();
        QCOMPARE(ini.ReadString("Skin", "Mode", "?"), QStringLiteral("1"));
        QCOMPARE(ini.ReadString("Skin", "Name", "?"), QString());
        QCOMPARE(ini.ReadString("PROGRAM", "Maximized", "?"), QStringLiteral("0"));
        QCOMPARE(ini.ReadInteger("PROGRAM", "Left", -1), window.geometry().left());
        QCOMPARE(ini.ReadInteger("PROGRAM", "Width", -1), window.geometry().width());
    }

    // A window holding the web view used to lose a maximized state given before its first show.
    void opensMaximizedWhenTheSettingsSaySo_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("BeginMax") << QByteArray("BeginMax=1\r\n") << true;
        QTest::newRow("Maximized") << QByteArray("Maximized=1\r\n") << true;
        QTest::newRow("BeginMax over Maximized")
            << QByteArray("BeginMax=1\r\nMaximized=0\r\n") << true;
        QTest::newRow("neither") << QByteArray("BeginMax=0\r\nMaximized=0\r\n") << false;
    }
    void opensMaximizedWhenTheSettingsSaySo() {
        QFETCH(QByteArray, settings);
        QFETCH(bool, maximized);
        TWindowsMade made;
        F.BeforeShow = [&](TqbWindowFixture& f) { f.Window->installEventFilter(&made); };
        F.Open([&](TqbWindowFixture& f) {
            Fill(f, "[PROGRAM]\r\nLeft=30\r\nTop=40\r\nWidth=500\r\nHeight=400\r\n" + settings);
        });
        F.BeforeShow = {};
        // The web view's first page does not make the window system's window anew, and the
        // toolkit knows where the window is.
        QCOMPARE(made.Count, 1);
        QCOMPARE(F.Window->windowHandle()->geometry().topLeft(), F.Window->geometry().topLeft());
        if (maximized)
            QTRY_VERIFY_WITH_TIMEOUT(F.Window->isMaximized(), TqbWindowFixture::PageTimeoutMs);
        // Still so once the first note has loaded into the web view.
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->DocumentReady(), TqbWindowFixture::PageTimeoutMs);
        QCOMPARE(F.Window->isMaximized(), maximized);
        // Where a maximized window goes back to is checked by the next test.
        if (!maximized)
            QCOMPARE(F.Window->geometry(), QRect(30, 40, 500, 400));
    }

    // Restoring a window that opened maximized gives back the stored place, not the maximized
    // bounds.
    void restoreAfterOpeningMaximizedGivesTheStoredPlace() {
        F.Open([&](TqbWindowFixture& f) {
            Fill(f, "[PROGRAM]\r\nLeft=30\r\nTop=40\r\nWidth=500\r\nHeight=400\r\nBeginMax=1\r\n");
        });
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->isMaximized(), TqbWindowFixture::PageTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->DocumentReady(), TqbWindowFixture::PageTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(F.Window->width() > 500, TqbWindowFixture::PageTimeoutMs);
        F.Window->showNormal();
        QTRY_VERIFY_WITH_TIMEOUT(!F.Window->isMaximized(), TqbWindowFixture::PageTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(F.Window->geometry(), QRect(30, 40, 500, 400),
                                  TqbWindowFixture::PageTimeoutMs);
    }

    void windowsLookKeepsTheSkinMenuOnTheMenuBar() {
        F.Open([](TqbWindowFixture& f) { Fill(f); });
        TfrmMainNivora& window = *F.Window;
        auto* menuBar = window.findChild<QMenuBar*>("tbtMainMenu");
        QVERIFY(menuBar);
        QMenu* file = menuBar->actions().value(1)->menu();
        QVERIFY(file);
        QVERIFY(file->actions().contains(window.SkinMenu()->menuAction()));
        window.SkinMenu()->CommandAction(TqbSkinMenu::CmdWindowsLook)->trigger();
        QVERIFY(!window.SkinMode());
        QVERIFY(!(window.windowFlags() & Qt::FramelessWindowHint));
        QVERIFY(!window.pnlCaption->isVisible());
        QVERIFY(window.isVisible());
        // Still on the menu bar, listing the skins that came with the program.
        QVERIFY(file->actions().contains(window.SkinMenu()->menuAction()));
        emit window.SkinMenu()->aboutToShow();
        QCOMPARE(window.SkinNames().size(), 2);
        QAction* listed = window.SkinMenu()->CommandAction(TqbSkinMenu::CmdFirstSkin + 1);
        QVERIFY(listed);
        listed->trigger();
        QVERIFY(window.SkinMode());
        QCOMPARE(window.SkinName(), window.SkinNames()[1]);
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window.isVisible());
        window.SkinMenu()->CommandAction(TqbSkinMenu::CmdWindowsLook)->trigger();
        window.SkinMenu()->CommandAction(TqbSkinMenu::CmdBasicSkin)->trigger();
        QVERIFY(window.SkinMode());
        QVERIFY(window.SkinName().isEmpty());
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window.isVisible());
    }
};

QB_APP_TEST_MAIN(TestMainFrame)
#include "tst_MainFrame.moc"
