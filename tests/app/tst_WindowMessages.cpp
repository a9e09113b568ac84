// The window's message-level parts without the main window: the key filter, the notification
// area, the shortcut badges, the error-window closer and the question that takes no typing
// queued before it showed.
#include "app/qbAppMessageFilter.h"
#include "app/qbApplication.h"
#include "app/qbErrorWindowCloser.h"
#include "app/qbShortcutBadges.h"
#include "app/qbSteadyQuestion.h"
#include "app/qbTrayKeeper.h"
#include "common/qbAppTestMain.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <memory>

Q_DECLARE_METATYPE(TqbErrorWindowCloser::TAction)

namespace {

// A window with a text box, shown and active, the way the main window meets keys.
struct TTypingWindow {
    QWidget Window;
    QLineEdit* Edit = new QLineEdit(&Window);
    QPushButton* Button = new QPushButton("button", &Window);

    TTypingWindow() {
        auto* layout = new QVBoxLayout(&Window);
        layout->addWidget(Edit);
        layout->addWidget(Button);
        Window.setWindowIcon(QIcon(QPixmap(16, 16)));
        Window.show();
        Window.activateWindow();
        Edit->setFocus();
    }
};

} // namespace

class TestWindowMessages : public QObject {
    Q_OBJECT

    std::unique_ptr<TTypingWindow> W;
    TqbKeyState m_state{TqbPanelMode::Tree, TqbViewMode::Edit, true, true};
    QStringList m_log; // what the filter asked for, in order
    std::function<void()> m_commit; // what the platform does when asked to commit

    std::unique_ptr<TqbAppMessageFilter> MakeFilter(TqbShortcutBadges* badges = nullptr) {
        TqbAppMessageFilter::THooks hooks;
        hooks.State = [this] { return m_state; };
        hooks.Run = [this](TqbKeyCommand command) { m_log << QString("run %1").arg(int(command)); };
        hooks.SetNoteModified = [this](bool on) { m_log << QString("modified %1").arg(on); };
        hooks.StyleCheck = [this] { m_log << "style"; };
        hooks.Commit = [this] {
            m_log << "commit";
            if (m_commit)
                m_commit();
        };
        auto filter = std::make_unique<TqbAppMessageFilter>(hooks, badges);
        qApp->installEventFilter(filter.get());
        return filter;
    }

private slots:
    void init() {
        m_log.clear();
        m_commit = nullptr;
        m_state = {TqbPanelMode::Tree, TqbViewMode::Edit, true, true};
        W = std::make_unique<TTypingWindow>();
        QVERIFY(QTest::qWaitForWindowActive(&W->Window));
        QTRY_COMPARE(QApplication::focusWidget(), W->Edit);
    }
    void cleanup() { W.reset(); }

    // ---- the key filter

    // A key is decided once, however far it travels up the parents, and a handled key never
    // reaches the text box.
    void keysAreDecidedOnceWhereTheFocusIs_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("typed");
        QTest::newRow("Ctrl+S saves, the box sees nothing")
            << int(Qt::Key_S) << Qt::KeyboardModifiers(Qt::ControlModifier)
            << QStringList{QString("run %1").arg(int(TqbKeyCommand::Save))} << "";
        QTest::newRow("a letter marks the note and is typed")
            << int(Qt::Key_A) << Qt::KeyboardModifiers() << QStringList{"modified 1"} << "a";
        QTest::newRow("Escape hides and still reaches the box")
            << int(Qt::Key_Escape) << Qt::KeyboardModifiers()
            << QStringList{QString("run %1").arg(int(TqbKeyCommand::HideToTray))} << "";
    }
    void keysAreDecidedOnceWhereTheFocusIs() {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QStringList, log);
        QFETCH(QString, typed);
        const auto filter = MakeFilter();
        QTest::keyPress(W->Edit, Qt::Key(key), modifiers);
        QCOMPARE(m_log, log);
        QCOMPARE(W->Edit->text(), typed);
    }

    void keyReleaseAndLeftClicksRunTheStyleCheck_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("key release") << "key";
        QTest::newRow("left click") << "left";
    }
    void keyReleaseAndLeftClicksRunTheStyleCheck() {
        QFETCH(QString, what);
        const auto filter = MakeFilter();
        if (what == "key")
            QTest::keyRelease(W->Edit, Qt::Key_Right);
        else
            QTest::mouseClick(W->Button, Qt::LeftButton);
        // Once, after the event reached its target.
        QVERIFY(!m_log.contains("style"));
        QTRY_COMPARE(m_log.count("style"), 1);
    }

    // Korean input: a syllable still being composed is committed before a command or a click
    // can take it away, and only then.
    void aComposedSyllableIsCommittedFirst_data() {
        QTest::addColumn<bool>("composing");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QStringList>("log");
        const QString save = QString("run %1").arg(int(TqbKeyCommand::Save));
        // The platform here commits nothing: the filter types the syllable itself.
        QTest::newRow("Ctrl+S while composing")
            << true << "save" << QStringList{"commit", "modified 1", save};
        QTest::newRow("Ctrl+S after the syllable") << false << "save" << QStringList{save};
        QTest::newRow("click while composing")
            << true << "click" << QStringList{"commit", "modified 1"};
        QTest::newRow("click after the syllable") << false << "click" << QStringList{};
        QTest::newRow("a plain key is the input method's")
            << true << "key" << QStringList{"modified 1"};
    }
    void aComposedSyllableIsCommittedFirst() {
        QFETCH(bool, composing);
        QFETCH(QString, what);
        QFETCH(QStringList, log);
        const auto filter = MakeFilter();
        QInputMethodEvent preedit(QStringLiteral("한"), {});
        QApplication::sendEvent(W->Edit, &preedit);
        if (!composing) {
            QInputMethodEvent done;
            done.setCommitString(QStringLiteral("한"));
            QApplication::sendEvent(W->Edit, &done);
        }
        QCOMPARE(filter->Composing(), composing);
        // Input-method text is typing: it marks the note.
        QVERIFY(m_log.contains("modified 1"));
        m_log.clear();
        if (what == "save")
            QTest::keyPress(W->Edit, Qt::Key_S, Qt::ControlModifier);
        else if (what == "click")
            QTest::mousePress(W->Button, Qt::LeftButton);
        else
            QTest::keyPress(W->Edit, Qt::Key_Space);
        QCOMPARE(m_log, log);
    }

    // Some input methods commit a syllable again when told to end a composition the program
    // already ended: the repeat is dropped, and nothing else is.
    void aForcedCommitIsTypedOnce_data() {
        // Whether the platform commits the syllable when told to, or the input method keeps it
        // until its next key (the filter then types it where it was composed).
        QTest::addColumn<bool>("commitsAtOnce");
        QTest::addColumn<QStringList>("after"); // input-method events after the click
        QTest::addColumn<QString>("typed");
        for (const bool atOnce : {true, false}) {
            const char* how = atOnce ? "committed at once" : "committed with the next key";
            QTest::addRow("%s: the repeat", how) << atOnce << QStringList{"commit 한"} << "한";
            QTest::addRow("%s: no repeat, the next syllable", how)
                << atOnce << QStringList{"preedit 글", "commit 글"} << "한글";
            QTest::addRow("%s: the same syllable composed again", how)
                << atOnce << QStringList{"preedit 한", "commit 한"} << "한한";
            QTest::addRow("%s: a key in between", how)
                << atOnce << QStringList{"key", "commit 한"} << "한a한";
        }
    }
    void aForcedCommitIsTypedOnce() {
        QFETCH(bool, commitsAtOnce);
        QFETCH(QStringList, after);
        QFETCH(QString, typed);
        const auto filter = MakeFilter();
        const auto send = [this](const QString& what) {
            if (what == "key") {
                // The click gave the button the focus; a key goes where the focus is.
                W->Edit->setFocus();
                QTest::keyClick(W->Edit, Qt::Key_A);
                return;
            }
            const bool preedit = what.startsWith("preedit ");
            QInputMethodEvent event(preedit ? what.mid(8) : QString(), {});
            if (!preedit)
                event.setCommitString(what.mid(7));
            QApplication::sendEvent(W->Edit, &event);
        };
        // The platform ends a composition by committing what it shows, or does nothing yet.
        if (commitsAtOnce)
            m_commit = [&] { send("commit 한"); };
        send("preedit 한");
        QTest::mousePress(W->Button, Qt::LeftButton);
        QCOMPARE(W->Edit->text(), "한");
        for (const QString& what : after)
            send(what);
        QCOMPARE(W->Edit->text(), typed);
    }

    // ibus may take a syllable off the screen while it still holds it, or because it was erased.
    // A click asks the platform, which knows: what it still holds goes in where it was composed,
    // once; what was erased stays gone.
    void aHiddenSyllableIsCommittedWhereItWasComposed_data() {
        QTest::addColumn<bool>("held");
        QTest::addColumn<QStringList>("after"); // input-method events after the click
        QTest::addColumn<QString>("typed");
        QTest::newRow("held, then repeated") << true << QStringList{"commit 한"} << "한";
        QTest::newRow("held, the next syllable") << true << QStringList{"commit 글"} << "한글";
        QTest::newRow("erased") << false << QStringList{"commit 글"} << "글";
    }
    void aHiddenSyllableIsCommittedWhereItWasComposed() {
        QFETCH(bool, held);
        QFETCH(QStringList, after);
        QFETCH(QString, typed);
        const auto filter = MakeFilter();
        const auto send = [this](const QString& preedit, const QString& commit = {}) {
            QInputMethodEvent event(preedit, {});
            event.setCommitString(commit);
            QApplication::sendEvent(W->Edit, &event);
        };
        if (held)
            m_commit = [&] { send({}, "한"); };
        send("한");
        send({});
        send({});
        QCOMPARE(filter->PendingSyllable(), "한");
        QTest::mousePress(W->Button, Qt::LeftButton);
        QCOMPARE(W->Edit->text(), held ? "한" : "");
        for (const QString& what : after)
            send({}, what.mid(7));
        QCOMPARE(W->Edit->text(), typed);
        QCOMPARE(filter->PendingSyllable(), "");
    }

    // Escape leaves the Korean mode of some input methods, ending the composition: it must not
    // also hide the window.
    void escapeThatEndsACompositionDoesNotHide_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<bool>("hides");
        QTest::newRow("while composing") << QStringList{"preedit"} << false;
        QTest::newRow("right after the commit it caused") << QStringList{"preedit", "commit"}
                                                           << false;
        // What one input method sends for Escape: the end of the composition, its text, and
        // an empty event besides.
        QTest::newRow("ended in several events")
            << QStringList{"preedit", "empty", "empty", "commit", "empty"} << false;
        QTest::newRow("after a key") << QStringList{"preedit", "commit", "key"} << true;
        QTest::newRow("no composition") << QStringList{} << true;
    }
    void escapeThatEndsACompositionDoesNotHide() {
        QFETCH(QStringList, before);
        QFETCH(bool, hides);
        const auto filter = MakeFilter();
        for (const QString& what : before) {
            if (what == "key") {
                QTest::keyClick(W->Edit, Qt::Key_A);
                continue;
            }
            QInputMethodEvent event(what == "preedit" ? QStringLiteral("한") : QString(), {});
            if (what == "commit")
                event.setCommitString(QStringLiteral("한"));
            QApplication::sendEvent(W->Edit, &event);
        }
        m_log.clear();
        QTest::keyPress(W->Edit, Qt::Key_Escape);
        QCOMPARE(m_log.contains(QString("run %1").arg(int(TqbKeyCommand::HideToTray))), hides);
    }

    // ---- the notification area

    void hideAndRestore_data() {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("notification area, normal") << true << false;
        QTest::newRow("notification area, maximized") << true << true;
        QTest::newRow("no notification area, normal") << false << false;
        QTest::newRow("no notification area, maximized") << false << true;
    }
    void hideAndRestore() {
        QFETCH(bool, tray);
        QFETCH(bool, maximized);
        QWidget& window = W->Window;
        TqbTrayKeeper keeper(&window, "qbNivora 1.0 build 1", [tray] { return tray; });
        if (maximized)
            window.showMaximized();
        keeper.HideToTray();
        QCOMPARE(keeper.WasMaximized(), maximized);
        // Without a notification area the window stays in the task list, minimized.
        QCOMPARE(window.isVisible(), !tray);
        QCOMPARE(window.isMinimized(), !tray);
        QCOMPARE(keeper.TrayIcon()->isVisible(), tray);

        keeper.RestoreFromTray();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        QCOMPARE(window.isMaximized(), maximized);
        QVERIFY(!keeper.TrayIcon()->isVisible());
    }

    void minimizingHidesOnlyWhereThereIsATray_data() {
        QTest::addColumn<bool>("tray");
        QTest::newRow("notification area") << true;
        QTest::newRow("none") << false;
    }
    void minimizingHidesOnlyWhereThereIsATray() {
        QFETCH(bool, tray);
        QWidget& window = W->Window;
        TqbTrayKeeper keeper(&window, "title", [tray] { return tray; });
        window.showMaximized();
        window.showMinimized();
        QCoreApplication::processEvents(); // the queued hiding, where there is one
        QCOMPARE(window.isVisible(), !tray);
        QCOMPARE(keeper.TrayIcon()->isVisible(), tray);
        QVERIFY(keeper.WasMaximized());
        keeper.RestoreFromTray();
        QVERIFY(window.isVisible());
        QVERIFY(window.isMaximized());
    }

    void aPressOnTheIconRestores_data() {
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<bool>("restored");
        QTest::newRow("left press") << QSystemTrayIcon::Trigger << true;
        QTest::newRow("right press") << QSystemTrayIcon::Context << true;
        QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << true;
        QTest::newRow("middle press") << QSystemTrayIcon::MiddleClick << false;
    }
    void aPressOnTheIconRestores() {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(bool, restored);
        TqbTrayKeeper keeper(&W->Window, "title", [] { return true; });
        keeper.HideToTray();
        // The icon reports the press from inside its own mouse handler: it must still be there
        // when the report returns, or that handler runs on a deleted widget.
        bool iconKeptDuringThePress = false;
        connect(keeper.TrayIcon(), &QSystemTrayIcon::activated, this,
                [&] { iconKeptDuringThePress = keeper.TrayIcon()->isVisible(); });
        emit keeper.TrayIcon()->activated(reason);
        QVERIFY(iconKeptDuringThePress);
        if (restored)
            QTRY_VERIFY(W->Window.isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(W->Window.isVisible(), restored);
        QCOMPARE(keeper.TrayIcon()->isVisible(), !restored);
    }

    void aShownWindowStaysAsItIs() {
        TqbTrayKeeper keeper(&W->Window, "title", [] { return true; });
        W->Window.showMaximized();
        keeper.RestoreFromTray();
        QVERIFY(W->Window.isMaximized());
        QVERIFY(!keeper.TrayIcon()->isVisible());
    }

    void tipIsCutTo63Characters_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("tip");
        QTest::newRow("short") << "qbNivora 1.0 build 1"
                               << "qbNivora 1.0 build 1";
        QTest::newRow("63") << QString(63, u'가') << QString(63, u'가');
        QTest::newRow("64") << QString(64, u'가') << QString(63, u'가');
        QTest::newRow("no half character")
            << QString(62, u'a') + QStringLiteral("\U0001F600b") << QString(62, u'a');
    }
    void tipIsCutTo63Characters() {
        QFETCH(QString, title);
        QFETCH(QString, tip);
        QCOMPARE(TqbTrayKeeper::TipText(title), tip);
        TqbTrayKeeper keeper(&W->Window, title, [] { return true; });
        QCOMPARE(keeper.TrayIcon()->toolTip(), tip);
    }

    // ---- the shortcut badges

    void badgePlaces_data() {
        QTest::addColumn<QRect>("control");
        QTest::addColumn<QSize>("panel");
        QTest::addColumn<QRect>("badge");
        QTest::newRow("over the top edge")
            << QRect(60, 30, 23, 22) << QSize(250, 400) << QRect(61, 24, 11, 12);
        QTest::newRow("kept below the panel's top")
            << QRect(3, 1, 60, 21) << QSize(400, 23) << QRect(4, 0, 11, 12);
        QTest::newRow("kept left of the panel's right")
            << QRect(245, 30, 23, 22) << QSize(250, 400) << QRect(239, 24, 11, 12);
    }
    void badgePlaces() {
        QFETCH(QRect, control);
        QFETCH(QSize, panel);
        QFETCH(QRect, badge);
        QCOMPARE(TqbShortcutBadges::BadgePlace(control, panel), badge);
    }

    void heldCtrlShowsTheBadgesAndAReleaseHidesThem() {
        TqbShortcutBadges badges(&W->Window);
        QLabel* s = badges.Add("S", W->Button, &W->Window);
        const auto filter = MakeFilter(&badges);
        QTest::keyPress(W->Edit, Qt::Key_Control, Qt::ControlModifier);
        QVERIFY(badges.Timer()->isActive());
        QVERIFY(!s->isVisible());
        QVERIFY(QSignalSpy(badges.Timer(), &QTimer::timeout).wait(5000));
        QVERIFY(s->isVisible());
        QCOMPARE(s->text(), QString("S"));
        QCOMPARE(s->size(), QSize(11, 12));
        QVERIFY(s->geometry().intersects(W->Button->geometry()));
        QTest::keyRelease(W->Edit, Qt::Key_Control);
        QVERIFY(!s->isVisible());
        QVERIFY(!badges.Timer()->isActive());
    }

    // White bold letters on maroon inside a black single border.
    void aBadgeLooksItsPart() {
        TqbShortcutBadges badges(&W->Window);
        QLabel* f = badges.Add("F", W->Button, &W->Window);
        badges.ShowShortcutHints(true);
        QCOMPARE(f->font().pixelSize(), 11);
        QVERIFY(f->font().bold());
        const QImage image = f->grab().toImage();
        QCOMPARE(image.size(), QSize(11, 12));
        const QRect inside = image.rect().adjusted(1, 1, -1, -1);
        int maroon = 0, white = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (!inside.contains(x, y)) {
                    QCOMPARE(QColor(pixel), QColor(Qt::black));
                    continue;
                }
                maroon += QColor(pixel) == QColor(0x80, 0, 0);
                // The letter's edges blend into the maroon; its strokes are light.
                white += qGreen(pixel) > 0xC0 && qBlue(pixel) > 0xC0;
            }
        QVERIFY2(maroon > inside.width() * inside.height() / 2, "mostly maroon");
        QVERIFY2(white > 3, "a white letter");
    }

    // A held key repeats; the repeats must not put the badges off for ever.
    void repeatsKeepTheFirstStart() {
        TqbShortcutBadges badges(&W->Window);
        badges.Add("P", W->Button, &W->Window);
        const auto filter = MakeFilter(&badges);
        QTRY_VERIFY_WITH_TIMEOUT(
            (QTest::keyPress(W->Edit, Qt::Key_Control, Qt::ControlModifier), badges.Showing()),
            5000);
    }

    void deactivationHidesTheBadges() {
        TqbShortcutBadges badges(&W->Window);
        QLabel* d = badges.Add("D", W->Button, &W->Window);
        badges.ShowShortcutHints(true);
        QVERIFY(d->isVisible());
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(!d->isVisible());
    }

    // ---- the error-window closer

    void errorTitles_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<TqbErrorWindowCloser::TAction>("action");
        using A = TqbErrorWindowCloser::TAction;
        QTest::newRow("no error word") << "qbNivora 1.0 build 1" << A::Nothing;
        QTest::newRow("Error is not error") << "Error" << A::Nothing;
        QTest::newRow("begins with error") << "error in script" << A::ClickSecondButtonAndClose;
        QTest::newRow("begins with 오류") << "오류 보고" << A::ClickSecondButtonAndClose;
        QTest::newRow("error further in") << "Script error" << A::Close;
        QTest::newRow("오류 further in") << "스크립트 오류" << A::Close;
        QTest::newRow("both words") << "오류 error" << A::Close;
    }
    void errorTitles() {
        QFETCH(QString, title);
        QFETCH(TqbErrorWindowCloser::TAction, action);
        QCOMPARE(TqbErrorWindowCloser::ActionFor(title), action);
    }

    void anErrorWindowTakingTheActivationIsClosed_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("keepOpen");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("secondClicked");
        QTest::newRow("error box") << "error"
                                   << "" << false << true << true;
        QTest::newRow("script error box") << "Script error"
                                          << "" << false << true << false;
        QTest::newRow("other box") << "qbNivora"
                                   << "" << false << false << false;
        QTest::newRow("the general error report")
            << "error" << TqbApplication::ErrorReportName << false << false << false;
        QTest::newRow("a report of our own") << "오류"
                                             << "" << true << false << false;
    }
    void anErrorWindowTakingTheActivationIsClosed() {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QFETCH(bool, keepOpen);
        QFETCH(bool, closed);
        QFETCH(bool, secondClicked);
        TqbErrorWindowCloser closer(&W->Window);
        QMessageBox box(QMessageBox::Critical, title, "text", QMessageBox::NoButton);
        box.setObjectName(name);
        box.setProperty(TqbErrorWindowCloser::KeepOpenProperty, keepOpen);
        auto* first = box.addButton("first", QMessageBox::AcceptRole);
        auto* second = box.addButton("second", QMessageBox::RejectRole);
        QSignalSpy firstClicks(first, &QAbstractButton::clicked);
        QSignalSpy secondClicks(second, &QAbstractButton::clicked);
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        if (closed)
            QTRY_VERIFY(!box.isVisible());
        else
            QCOMPARE(closer.CloseIfError(&box), TqbErrorWindowCloser::TAction::Nothing);
        QCOMPARE(box.isVisible(), !closed);
        QCOMPARE(secondClicks.count(), secondClicked ? 1 : 0);
        QCOMPARE(firstClicks.count(), 0);
    }

    // Keys on their way as a question comes up (Enter, Escape, Space on a button) answer
    // nothing; a button pressed once the box takes answers does.
    void questionTakesNoTypingQueuedAsItAppears_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("toButtons"); // sent to each button, else to the box
        QTest::newRow("Enter") << int(Qt::Key_Return) << false;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << false;
        QTest::newRow("Space") << int(Qt::Key_Space) << true;
    }
    void questionTakesNoTypingQueuedAsItAppears() {
        QFETCH(int, key);
        QFETCH(bool, toButtons);
        QMessageBox box(QMessageBox::Warning, "Warning", "question", QMessageBox::NoButton);
        QPushButton* both = box.addButton("둘 다 남기기(&B)", QMessageBox::AcceptRole);
        QPushButton* mine = box.addButton("내 것으로 저장(&M)", QMessageBox::YesRole);
        box.setDefaultButton(mine);
        box.setEscapeButton(mine);
        auto* steady = new TqbSteadyQuestion(box, both);
        for (QObject* target : toButtons ? QList<QObject*>{both, mine} : QList<QObject*>{&box}) {
            const QString text = key == Qt::Key_Space ? " " : "";
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, {}, text));
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, {}, text));
        }
        QStringList seen;
        connect(steady, &TqbSteadyQuestion::Steadied, &box, [&] {
            seen << QString("focus %1, default %2")
                        .arg(QApplication::focusWidget() == both)
                        .arg(both->isDefault() || mine->isDefault());
            QTest::keyClick(&box, Qt::Key_Return); // no default: nothing
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        });
        box.exec();
        QCOMPARE(seen, QStringList{"focus 1, default 0"});
        QCOMPARE(box.clickedButton(), both);
    }
};

QB_APP_TEST_MAIN(TestWindowMessages)
#include "tst_WindowMessages.moc"
