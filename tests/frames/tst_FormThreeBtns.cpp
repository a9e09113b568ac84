// The skinned main frame over a temporary program folder: its settings, its painted caption and
// rings, its caption mouse, its buttons, its place and its resizing.
#include "controls/qbBlankPnl.h"
#include "controls/qbImageList.h"
#include "controls/qbImglstBtn.h"
#include "frames/qbCaptionDrag.h"
#include "frames/qbFormThreeBtns.h"
#include "frames/qbSkinFolder.h"
#include "frames/qbSkinMenu.h"
#include "platform/qbError.h"
#include "prjinfo/qbProjectInfo.h"
#include "common/qbPixels.h"
#include "common/qbTestFiles.h"

#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Twelve frame colours that tell every ring and side apart, per state.
QColor Ring(bool active, int index) {
    return active ? QColor(10 + index, 100, 200) : QColor(200, 10 + index, 100);
}

QByteArray DistinctSkinIni() {
    QByteArray ini = "[Caption]\r\nActText=65535\r\nInActText=16711935\r\n";
    for (bool active : {true, false}) {
        ini += active ? "[ActCOLORS]\r\n" : "[InActCOLORS]\r\n";
        for (int n = 0; n < 12; ++n) {
            const QColor c = Ring(active, n);
            const int value = c.red() | (c.green() << 8) | (c.blue() << 16);
            ini += QByteArray::number(n) + '=' + QByteArray::number(value) + "\r\n";
        }
    }
    return ini;
}

} // namespace

class TstFormThreeBtns : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TqbPrjInfo> m_prj;
    std::unique_ptr<TfrmQbThreeButtons> m_form;

    TqbIniFile Ini() const { return m_prj->Ini(); }
    QString SkinsDir() const { return m_dir->path() + "/qbSkinFiles2/"; }

    TfrmQbThreeButtons& Make() {
        m_prj = std::make_unique<TqbPrjInfo>("qbNivora", m_dir->path());
        m_form = std::make_unique<TfrmQbThreeButtons>(*m_prj);
        auto* content = new QWidget;
        content->setMinimumSize(10, 10);
        m_form->SetContent(content);
        m_form->setWindowTitle(QStringLiteral("qbNivora 1.0 build 1"));
        return *m_form;
    }

    TfrmQbThreeButtons& Show() {
        if (!m_form)
            Make();
        m_form->show();
        if (!QTest::qWaitForWindowExposed(m_form.get()))
            qWarning("the frame did not show");
        return *m_form;
    }

    // Moves the pointer to a global point with the caption's button held.
    void MoveTo(QPoint global) {
        QTest::mouseMove(m_form->pnlCaption, m_form->pnlCaption->mapFromGlobal(global));
    }

    QRect Screen() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        m_form.reset();
        m_prj.reset();
        m_dir.reset();
    }

    void firstStartIsSkinnedWithTheBuiltInSkin() {
        TfrmQbThreeButtons& form = Make();
        QVERIFY(form.SkinMode());
        QVERIFY(form.SkinName().isEmpty());
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(form.Skin().ActCaption, qbSkin::BuiltIn().ActCaption);
        QCOMPARE(Ini().ReadString("Skin", "Mode", "?"), QStringLiteral("1"));
        QCOMPARE(Ini().ReadString("Skin", "Name", "?"), QString());
        // The skins that come with the program are beside it now.
        QStringList listed = qbSkinFolder::List(SkinsDir());
        listed.sort();
        QCOMPARE(listed, qbSkinFolder::BuiltInSkins());
    }

    void storedSettingsAreReadAtConstruction_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("skinMode");
        QTest::addColumn<bool>("ownColors");
        QTest::newRow("the Windows look") << "0" << "" << false << false;
        QTest::newRow("a skin of the user's") << "1" << "Mine" << true << true;
        QTest::newRow("a skin that is gone keeps its name") << "1" << "Gone" << true << false;
    }
    void storedSettingsAreReadAtConstruction() {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        QFETCH(bool, skinMode);
        QFETCH(bool, ownColors);
        WriteBytes(SkinsDir() + "Mine/skin.ini", DistinctSkinIni());
        TqbIniFile ini(m_dir->path() + "/qbNivora.ini");
        ini.WriteString("Skin", "Mode", mode);
        ini.WriteString("Skin", "Name", name);
        TfrmQbThreeButtons& form = Make();
        QCOMPARE(form.SkinMode(), skinMode);
        QCOMPARE(form.SkinName(), name);
        QCOMPARE(bool(form.windowFlags() & Qt::FramelessWindowHint), skinMode);
        QCOMPARE(form.pnlCaption->isVisibleTo(&form), skinMode);
        QCOMPARE(form.Skin().ActColors[0] == Ring(true, 0), ownColors);
        QCOMPARE(Ini().ReadString("Skin", "Name", "?"), name);
    }

    // A settings file that cannot be written keeps nothing from opening; a later choice of the
    // user says that it was not stored.
    void unwritableSettingsDoNotKeepTheFrameFromOpening() {
        QVERIFY(QDir().mkpath(m_dir->path() + "/qbNivora.ini"));
        TfrmQbThreeButtons& form = Make();
        QVERIFY(form.SkinMode());
        QVERIFY(form.SkinName().isEmpty());
        QVERIFY_THROWS_EXCEPTION(EqbError, form.SkinCommand(TqbSkinMenu::CmdWindowsLook));
    }

    void everySkinModeCallGrowsOnePixel() {
        TfrmQbThreeButtons& form = Show();
        const int height = form.height();
        form.SetSkinMode(false);
        QTRY_COMPARE(form.height(), height + 1);
        QVERIFY(!(form.windowFlags() & Qt::FramelessWindowHint));
        QVERIFY(!form.pnlCaption->isVisible());
        QCOMPARE(form.FrameMargins(), QMargins());
        QCOMPARE(Ini().ReadInteger("Skin", "Mode", -1), 0);
        form.SetSkinMode(true);
        QTRY_COMPARE(form.height(), height + 2);
        QVERIFY(form.pnlCaption->isVisible());
        QCOMPARE(form.FrameMargins(), QMargins(4, 4, 4, 4));
        QCOMPARE(Ini().ReadInteger("Skin", "Mode", -1), 1);
    }

    void skinMenuCommands_data() {
        QTest::addColumn<bool>("startInSkinMode");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("skinMode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("growth");
        QTest::newRow("Windows look") << true << 2000 << false << "Mine" << 1;
        QTest::newRow("basic skin in skin mode") << true << 2001 << true << "" << 0;
        QTest::newRow("basic skin from the Windows look") << false << 2001 << true << "" << 1;
        QTest::newRow("a listed skin") << true << 2003 << true << "listed" << 1;
        QTest::newRow("a listed skin from the Windows look") << false << 2004 << true << "listed" << 1;
        QTest::newRow("the 21st skin") << true << 2023 << true << "listed" << 1;
        QTest::newRow("the 22nd skin does nothing") << true << 2024 << true << "Mine" << 0;
    }
    void skinMenuCommands() {
        QFETCH(bool, startInSkinMode);
        QFETCH(int, command);
        QFETCH(bool, skinMode);
        QFETCH(QString, name);
        QFETCH(int, growth);
        // 22 skin folders besides the ones the program brings, which sort after them.
        for (int i = 0; i < 22; ++i)
            QDir().mkpath(SkinsDir() + QStringLiteral("skin%1").arg(i, 2, 10, QLatin1Char('0')));
        for (const QString& shipped : qbSkinFolder::BuiltInSkins())
            QVERIFY(QDir().mkpath(SkinsDir() + shipped)); // already there: not installed
        TqbIniFile ini(m_dir->path() + "/qbNivora.ini");
        ini.WriteBool("Skin", "Mode", startInSkinMode);
        ini.WriteString("Skin", "Name", "Mine");
        TfrmQbThreeButtons& form = Show();
        emit form.SkinMenu()->aboutToShow();
        QCOMPARE(form.SkinNames().size(), 22 + qbSkinFolder::BuiltInSkins().size());
        const int height = form.height();
        // The folder is listed in the file system's order: the entry the command stands for.
        if (name == "listed")
            name = form.SkinNames()[command - 2003];
        QAction* item = form.SkinMenu()->CommandAction(command);
        QVERIFY(item);
        item->trigger();
        QCOMPARE(form.SkinMode(), skinMode);
        QCOMPARE(form.SkinName(), name);
        QTRY_COMPARE(form.height(), height + growth);
        QCOMPARE(Ini().ReadString("Skin", "Name", "?"), name);
        QCOMPARE(Ini().ReadBool("Skin", "Mode", !skinMode), skinMode);
    }

    void layoutOfTheFrame() {
        TfrmQbThreeButtons& form = Show();
        form.resize(600, 400);
        QTRY_COMPARE(form.pnlCaption->geometry(), QRect(4, 4, 592, 19));
        QCOMPARE(form.btnMinimized->geometry(), QRect(592 - 54, 0, 16, 17));
        QCOMPARE(form.btnMaximized->geometry(), QRect(592 - 36, 0, 16, 17));
        QCOMPARE(form.btnClose->geometry(), QRect(592 - 18, 0, 16, 17));
        QCOMPARE(form.pnlStatusBar->geometry(), QRect(4, 400 - 4 - 24, 592, 24));
        QCOMPARE(form.imgResize->geometry(), QRect(592 - 16, 8, 16, 16));
        QCOMPARE(form.minimumSize(), QSize(300, 200));
        QCOMPARE(form.btnMinimized->IndexButton(), 0);
        QCOMPARE(form.btnMaximized->IndexButton(), 3);
        QCOMPARE(form.btnClose->IndexClick(), 11);
        QCOMPARE(form.ButtonImages()->Count(), 16);
    }

    void ringsFollowTheSkinAndTheState_data() {
        QTest::addColumn<bool>("active");
        QTest::newRow("active") << true;
        QTest::newRow("inactive") << false;
    }
    void ringsFollowTheSkinAndTheState() {
        QFETCH(bool, active);
        WriteBytes(SkinsDir() + "Mine/skin.ini", DistinctSkinIni());
        TfrmQbThreeButtons& form = Show();
        form.LoadSkin("Mine");
        form.resize(400, 300);
        QTRY_COMPARE(form.size(), QSize(400, 300));
        form.SetActive(active);
        const QImage shown = form.grab().toImage();
        const int w = 400, h = 300;
        for (int r = 0; r < 3; ++r) {
            const QString ring = QStringLiteral("ring %1").arg(r);
            QCOMPARE(shown.pixelColor(r, h / 2), Ring(active, 4 * r + 0));
            QCOMPARE(shown.pixelColor(w / 2, r), Ring(active, 4 * r + 1));
            QCOMPARE(shown.pixelColor(w - 1 - r, h / 2), Ring(active, 4 * r + 2));
            QCOMPARE(shown.pixelColor(w / 2, h - 1 - r), Ring(active, 4 * r + 3));
            // Each side starts at its corner and leaves out its end point.
            QCOMPARE(shown.pixelColor(r, h - 1 - r), Ring(active, 4 * r + 0));
            QCOMPARE(shown.pixelColor(r, r), Ring(active, 4 * r + 1));
            QCOMPARE(shown.pixelColor(w - 1 - r, r), Ring(active, 4 * r + 2));
            QCOMPARE(shown.pixelColor(w - 1 - r, h - 1 - r), Ring(active, 4 * r + 3));
        }
        // Inside the rings, one row of the form's colour.
        QCOMPARE(shown.pixelColor(3, h / 2), TfrmQbThreeButtons::FormColor);
        QCOMPARE(shown.pixelColor(w / 2, h - 4), TfrmQbThreeButtons::FormColor);
    }

    void captionPaintsFromTheSkin_data() {
        QTest::addColumn<bool>("active");
        QTest::newRow("active") << true;
        QTest::newRow("inactive") << false;
    }
    void captionPaintsFromTheSkin() {
        QFETCH(bool, active);
        TfrmQbThreeButtons& form = Show();
        QPixmap icon(16, 16);
        icon.fill(QColor(0, 200, 0));
        form.setWindowIcon(QIcon(icon));
        form.resize(500, 300);
        QTRY_COMPARE(form.pnlCaption->width(), 492);
        form.SetActive(active);
        const QImage caption = form.CaptionImage();
        QCOMPARE(caption.size(), QSize(492, 19));
        const QImage& column = active ? qbSkin::BuiltIn().ActCaption : qbSkin::BuiltIn().InActCaption;
        for (int y : {0, 9, 18})
            QCOMPARE(caption.pixel(300, y), column.pixel(0, y));
        QCOMPARE(caption.pixelColor(5, 3), QColor(0, 200, 0));
        QCOMPARE(caption.pixelColor(18, 16), QColor(0, 200, 0));
        const QColor text = active ? QColor(255, 255, 255) : QColor(192, 192, 192);
        const QColor other = active ? QColor(192, 192, 192) : QColor(255, 255, 255);
        QVERIFY(HasPixel(caption.copy(20, 3, 200, 14), text));
        QVERIFY(!HasPixel(caption.copy(20, 3, 200, 14), other));
    }

    void longTitleStaysLeftOfTheButtons() {
        TfrmQbThreeButtons& form = Show();
        form.resize(300, 200);
        QTRY_COMPARE(form.pnlCaption->width(), 292);
        form.SetActive(true);
        form.setWindowTitle(QString(200, QChar(u'M')));
        const QImage caption = form.CaptionImage();
        // Nothing of the text lands within the last 20 pixels.
        QVERIFY(!HasPixel(caption.copy(272, 3, 20, 14), QColor(255, 255, 255)));
        QVERIFY(HasPixel(caption.copy(20, 3, 100, 14), QColor(255, 255, 255)));
    }

    void activationFollowsTheWindow() {
        TfrmQbThreeButtons& form = Show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTRY_VERIFY(form.ActiveLook());
    }

    void iconClickOpensTheSystemMenu() {
        TfrmQbThreeButtons& form = Show();
        QTest::mouseClick(form.pnlCaption, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(form.SystemMenu()->isVisible());
        QCOMPARE(form.SystemMenu()->actions().value(0)->menu(), form.SkinMenu());
        QCOMPARE(form.SystemMenu()->pos(), form.pnlCaption->mapToGlobal(QPoint(0, 19)));
        form.SystemMenu()->hide();
    }

    void systemMenuItemsFollowTheWindowState_data() {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("normal") << false;
        QTest::newRow("maximized") << true;
    }
    void systemMenuItemsFollowTheWindowState() {
        QFETCH(bool, maximized);
        TfrmQbThreeButtons& form = Show();
        if (maximized) {
            form.showMaximized();
            QTRY_VERIFY(form.isMaximized());
        }
        emit form.SystemMenu()->aboutToShow();
        QStringList enabled;
        for (QAction* action : form.SystemMenu()->actions())
            if (!action->isSeparator() && action->isEnabled())
                enabled << action->text();
        const QStringList expected =
            maximized ? QStringList{"(&S)스킨 선택....", "이전 크기로(&R)", "최소화(&N)", "닫기(&C)\tAlt+F4"}
                      : QStringList{"(&S)스킨 선택....", "이동(&M)", "크기 조정(&S)", "최소화(&N)",
                                    "최대화(&X)", "닫기(&C)\tAlt+F4"};
        QCOMPARE(enabled, expected);
    }

    // The first click opens the system menu; the second press lands on the menu or, where the
    // menu lets it through, reaches the caption as a double click.
    void iconDoubleClickCloses_data() {
        QTest::addColumn<QString>("second");
        QTest::newRow("press caught by the menu") << "menu press";
        QTest::newRow("double click caught by the menu") << "menu double click";
        QTest::newRow("double click on the caption") << "caption";
    }
    void iconDoubleClickCloses() {
        QFETCH(QString, second);
        TfrmQbThreeButtons& form = Show();
        QTest::mouseClick(form.pnlCaption, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(form.SystemMenu()->isVisible());
        QMenu* menu = form.SystemMenu();
        const QPoint onIcon = menu->mapFromGlobal(form.pnlCaption->mapToGlobal(QPoint(5, 5)));
        if (second == "menu press")
            QTest::mousePress(menu, Qt::LeftButton, {}, onIcon);
        else if (second == "menu double click")
            QTest::mouseDClick(menu, Qt::LeftButton, {}, onIcon);
        else
            QTest::mouseDClick(form.pnlCaption, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(!form.isVisible());
        QVERIFY(!menu->isVisible());
    }

    void captionDoubleClickMaximizesAndRestores() {
        TfrmQbThreeButtons& form = Show();
        QTest::mouseDClick(form.pnlCaption, Qt::LeftButton, {}, QPoint(100, 8));
        QTRY_VERIFY(form.isMaximized());
        QCOMPARE(form.btnMaximized->IndexButton(), 6);
        QCOMPARE(form.btnMaximized->IndexEnter(), 7);
        QCOMPARE(form.btnMaximized->IndexClick(), 8);
        QTest::mouseDClick(form.pnlCaption, Qt::LeftButton, {}, QPoint(100, 8));
        QTRY_VERIFY(!form.isMaximized());
        QCOMPARE(form.btnMaximized->IndexButton(), 3);
    }

    void captionButtons() {
        TfrmQbThreeButtons& form = Show();
        QTest::mouseClick(form.btnMaximized, Qt::LeftButton, {}, QPoint(8, 8));
        QTRY_VERIFY(form.isMaximized());
        QTest::mouseClick(form.btnMaximized, Qt::LeftButton, {}, QPoint(8, 8));
        QTRY_VERIFY(!form.isMaximized());
        QTest::mouseClick(form.btnMinimized, Qt::LeftButton, {}, QPoint(8, 8));
        QTRY_VERIFY(form.isMinimized());
        form.showNormal();
        QTRY_VERIFY(!form.isMinimized());
        QTest::mouseClick(form.btnClose, Qt::LeftButton, {}, QPoint(8, 8));
        QTRY_VERIFY(!form.isVisible());
    }

    // A maximized window's sizing border lies past the work area; at the bottom of the primary
    // monitor it stays inside, with the last row free when the panel is thin or missing.
    void maximizedFrameFitsTheWorkArea() {
        TfrmQbThreeButtons& form = Show();
        form.showMaximized();
        QTRY_VERIFY(form.isMaximized());
        QTRY_COMPARE(form.geometry(), Screen());
        const QScreen* screen = QGuiApplication::primaryScreen();
        const int panel = screen->geometry().height() - screen->availableGeometry().height();
        const int below = panel > 3 ? 4 : 3;
        QCOMPARE(form.FrameRect(), QRect(-4, -4, Screen().width() + 8, Screen().height() + below));
        QCOMPARE(form.FrameMargins(), QMargins(0, 0, 0, 8 - below));
        QCOMPARE(form.pnlCaption->geometry().topLeft(), QPoint(0, 0));
    }

    void captionDragMovesAndSnaps() {
        TfrmQbThreeButtons& form = Show();
        form.setGeometry(200, 150, 400, 300);
        QTRY_COMPARE(form.pos(), QPoint(200, 150));
        const QRect work = Screen();
        const QPoint grab = form.pnlCaption->mapToGlobal(QPoint(100, 8));
        QTest::mousePress(form.pnlCaption, Qt::LeftButton, {}, QPoint(100, 8));
        MoveTo(grab + QPoint(-50, 10));
        QCOMPARE(form.pos(), QPoint(150, 160));
        // 10 pixels from the work area's left edge: flush with it.
        MoveTo(grab + QPoint(work.left() - 190, 10));
        QCOMPARE(form.pos(), QPoint(work.left(), 160));
        // Held while the pointer goes on a little...
        MoveTo(grab + QPoint(work.left() - 200, 10));
        QCOMPARE(form.pos(), QPoint(work.left(), 160));
        // ... and let go once it is far enough.
        MoveTo(grab + QPoint(work.left() - 260, 10));
        QCOMPARE(form.pos(), QPoint(work.left() - 60, 160));
        QTest::mouseRelease(form.pnlCaption, Qt::LeftButton, {}, form.pnlCaption->mapFromGlobal(QCursor::pos()));
    }

    void pressesThatDoNotMove_data() {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<bool>("moves");
        QTest::newRow("on the icon") << QPoint(5, 5) << false;
        QTest::newRow("left of the icon cell") << QPoint(0, 5) << true;
        QTest::newRow("right of the icon cell") << QPoint(18, 5) << true;
    }
    void pressesThatDoNotMove() {
        QFETCH(QPoint, press);
        QFETCH(bool, moves);
        TfrmQbThreeButtons& form = Show();
        form.setGeometry(200, 150, 400, 300);
        QTRY_COMPARE(form.pos(), QPoint(200, 150));
        const QPoint start = form.pnlCaption->mapToGlobal(press);
        QTest::mousePress(form.pnlCaption, Qt::LeftButton, {}, press);
        // No move begins at all, where a system move would swallow the click on the icon.
        QCOMPARE(form.findChild<TqbCaptionDrag*>()->Dragging(), moves);
        MoveTo(start + QPoint(60, 40));
        QTest::mouseRelease(form.pnlCaption, Qt::LeftButton, {}, form.pnlCaption->mapFromGlobal(start + QPoint(60, 40)));
        QCOMPARE(form.pos(), moves ? QPoint(260, 190) : QPoint(200, 150));
        form.SystemMenu()->hide();
    }

    void maximizedWindowDoesNotMove() {
        TfrmQbThreeButtons& form = Show();
        form.showMaximized();
        QTRY_VERIFY(form.isMaximized());
        const QPoint at = form.pos();
        const QPoint grab = form.pnlCaption->mapToGlobal(QPoint(100, 8));
        QTest::mousePress(form.pnlCaption, Qt::LeftButton, {}, QPoint(100, 8));
        MoveTo(grab + QPoint(80, 80));
        QCOMPARE(form.pos(), at);
        QTest::mouseRelease(form.pnlCaption, Qt::LeftButton, {}, QPoint(100, 8));
    }

    void gripAndEdgesResize_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("result");
        QTest::newRow("grip") << "imgResize" << QPoint(8, 8) << QPoint(40, 30) << QRect(100, 100, 440, 330);
        QTest::newRow("grip, not below the minimum") << "imgResize" << QPoint(8, 8) << QPoint(-300, -300)
                                                     << QRect(100, 100, 300, 200);
        QTest::newRow("right edge") << "edgeRight" << QPoint(1, 150) << QPoint(50, 50) << QRect(100, 100, 450, 300);
        QTest::newRow("left edge") << "edgeLeft" << QPoint(1, 150) << QPoint(-20, 5) << QRect(80, 100, 420, 300);
        QTest::newRow("top-left corner") << "edgeTop" << QPoint(2, 1) << QPoint(10, 20) << QRect(110, 120, 390, 280);
    }
    void gripAndEdgesResize() {
        QFETCH(QString, from);
        QFETCH(QPoint, press);
        QFETCH(QPoint, delta);
        QFETCH(QRect, result);
        TfrmQbThreeButtons& form = Show();
        form.setGeometry(100, 100, 400, 300);
        QTRY_COMPARE(form.geometry(), QRect(100, 100, 400, 300));
        auto* handle = form.findChild<QWidget*>(from);
        QVERIFY(handle);
        QVERIFY(handle->isVisible());
        QTest::mousePress(handle, Qt::LeftButton, {}, press);
        QTest::mouseMove(handle, handle->mapFromGlobal(handle->mapToGlobal(press) + delta));
        QTRY_COMPARE(form.geometry(), result);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(QCursor::pos()));
    }

    void edgesGrabNothingWhenMaximizedOrUnskinned() {
        TfrmQbThreeButtons& form = Show();
        auto* edge = form.findChild<QWidget*>("edgeLeft");
        QVERIFY(edge->isVisible());
        form.showMaximized();
        QTRY_VERIFY(form.isMaximized());
        QVERIFY(!edge->isVisible());
        form.showNormal();
        QTRY_VERIFY(edge->isVisible());
        form.SetSkinMode(false);
        QVERIFY(!edge->isVisible());
    }

    void firstShowRestoresThePlace_data() {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<bool>("maximized");
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QTest::newRow("no settings: 25 in, screen less 50")
            << QStringList{} << QRect(25, 25, screen.width() - 50, screen.height() - 50) << false;
        QTest::newRow("stored")
            << QStringList{"Left=40", "Top=30", "Width=500", "Height=350"} << QRect(40, 30, 500, 350) << false;
        QTest::newRow("on no screen: on the primary")
            << QStringList{"Left=9000", "Top=30", "Width=500", "Height=350"} << QRect(25, 25, 500, 350) << false;
        QTest::newRow("caption above the screen: brought down")
            << QStringList{"Left=40", "Top=-15", "Width=500", "Height=350"}
            << QRect(40, QGuiApplication::primaryScreen()->availableGeometry().top(), 500, 350)
            << false;
        QTest::newRow("below the minimum size")
            << QStringList{"Left=40", "Top=30", "Width=100", "Height=50"} << QRect(40, 30, 300, 200) << false;
        QTest::newRow("Maximized") << QStringList{"Left=40", "Top=30", "Width=500", "Height=350", "Maximized=1"}
                                   << QRect(40, 30, 500, 350) << true;
        QTest::newRow("BeginMax whatever Maximized says")
            << QStringList{"Left=40", "Top=30", "Width=500", "Height=350", "BeginMax=1", "Maximized=0"}
            << QRect(40, 30, 500, 350) << true;
    }
    void firstShowRestoresThePlace() {
        QFETCH(QStringList, settings);
        QFETCH(QRect, place);
        QFETCH(bool, maximized);
        WriteBytes(m_dir->path() + "/qbNivora.ini", ("[PROGRAM]\r\n" + settings.join("\r\n") + "\r\n").toUtf8());
        TfrmQbThreeButtons& form = Show();
        if (maximized) {
            QTRY_VERIFY(form.isMaximized());
            QCOMPARE(form.normalGeometry(), place);
        } else {
            QCOMPARE(form.geometry(), place);
            QVERIFY(!form.isMaximized());
        }
        // Later shows leave the place alone.
        form.hide();
        form.showNormal();
        form.setGeometry(60, 70, 400, 300);
        form.hide();
        form.show();
        QTRY_COMPARE(form.geometry(), QRect(60, 70, 400, 300));
    }

    void closingStoresThePlace_data() {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("normal") << false;
        QTest::newRow("maximized") << true;
    }
    void closingStoresThePlace() {
        QFETCH(bool, maximized);
        WriteBytes(m_dir->path() + "/qbNivora.ini", "[PROGRAM]\r\nLeft=40\r\nTop=30\r\nWidth=500\r\nHeight=350\r\n");
        TfrmQbThreeButtons& form = Show();
        form.setGeometry(70, 60, 450, 320);
        QTRY_COMPARE(form.geometry(), QRect(70, 60, 450, 320));
        if (maximized) {
            form.showMaximized();
            QTRY_VERIFY(form.isMaximized());
        }
        QVERIFY(form.close());
        QCOMPARE(Ini().ReadBool("PROGRAM", "Maximized", !maximized), maximized);
        // A maximized window on one monitor keeps the stored rectangle as it was.
        const QRect stored(Ini().ReadInteger("PROGRAM", "Left", 0), Ini().ReadInteger("PROGRAM", "Top", 0),
                           Ini().ReadInteger("PROGRAM", "Width", 0), Ini().ReadInteger("PROGRAM", "Height", 0));
        QCOMPARE(stored, maximized ? QRect(40, 30, 500, 350) : QRect(70, 60, 450, 320));
    }
};

QTEST_MAIN(TstFormThreeBtns)
#include "tst_FormThreeBtns.moc"
