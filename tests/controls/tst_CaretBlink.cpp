#include "controls/qbCaretBlink.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleHints>
#include <QtTest>

// Carets blink after the user's key, click or composed text, and stop once the user rests.
class tst_CaretBlink : public QObject {
    Q_OBJECT
private slots:
    void blinksAfterInputThenRests_data() {
        QTest::addColumn<int>("input");
        QTest::newRow("a key") << 0;
        QTest::newRow("a click") << 1;
        QTest::newRow("composed text") << 2;
    }
    void blinksAfterInputThenRests() {
        QFETCH(int, input);
        const int desktop = QGuiApplication::styleHints()->cursorFlashTime();
        QVERIFY(desktop > 0);
        QLineEdit box;
        box.show();
        TqbCaretBlink blink(nullptr, 50);
        QSignalSpy changed(&blink, &TqbCaretBlink::BlinkingChanged);
        QVERIFY(blink.Blinking());
        QVERIFY(changed.wait());
        QCOMPARE(changed.takeFirst(), QVariantList{false});
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);

        if (input == 0) {
            QTest::keyClick(&box, Qt::Key_A);
        } else if (input == 1) {
            QTest::mouseClick(&box, Qt::LeftButton);
        } else {
            QInputMethodEvent composing(QString::fromUtf8("\xED\x95\x9C"), {});
            QCoreApplication::sendEvent(&box, &composing);
        }
        QCOMPARE(changed.takeFirst(), QVariantList{true});
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), desktop);
        QVERIFY(changed.wait());
        QCOMPARE(changed.takeFirst(), QVariantList{false});
    }

    // The desktop's own flash time comes back when the watcher goes.
    void desktopFlashTimeComesBack() {
        const int desktop = QGuiApplication::styleHints()->cursorFlashTime();
        {
            TqbCaretBlink blink(nullptr, 10);
            QSignalSpy changed(&blink, &TqbCaretBlink::BlinkingChanged);
            QVERIFY(changed.wait());
        }
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), desktop);
    }
};

QTEST_MAIN(tst_CaretBlink)
#include "tst_CaretBlink.moc"
