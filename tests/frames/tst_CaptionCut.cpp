// Captions cut by their code-page-949 byte budget.
#include "frames/qbCaptionCut.h"

#include <QFontMetrics>
#include <QtTest>

using namespace qbCaptionCut;

class TstCaptionCut : public QObject {
    Q_OBJECT
private slots:
    void cut_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("budget");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << "abc" << 10 << "abc";
        QTest::newRow("exactly the budget") << "abcdefghij" << 10 << "abcdefghij";
        QTest::newRow("hangul fits by bytes") << "가나다라마" << 10 << "가나다라마";
        QTest::newRow("ascii") << "abcdefghijk" << 10 << "abcdef...";
        QTest::newRow("cut after a whole syllable") << "가나다라마바" << 10 << "가나다...";
        QTest::newRow("cut would split a syllable") << "a가나다라마" << 10 << "a가나...";
        QTest::newRow("outside the BMP counts two, stays whole")
            << QString::fromUtf8("a😀😀😀😀😀") << 10 << QString::fromUtf8("a😀😀...");
        QTest::newRow("budget below four") << "abcdef" << 3 << "...";
        QTest::newRow("no room at all") << "가" << 0 << "...";
    }
    void cut() {
        QFETCH(QString, text);
        QFETCH(int, budget);
        QFETCH(QString, shown);
        QCOMPARE(CutToBudget(text, budget), shown);
    }

    void budgetFromTheLetterM() {
        QFont font;
        font.setPixelSize(12);
        const QFontMetrics metrics(font);
        const int m = metrics.horizontalAdvance(QLatin1Char('M'));
        QVERIFY(m > 0);
        const QString text = QStringLiteral("가나다라마바사");
        QCOMPARE(CutCaption(text, 10 * m + m - 1, metrics), QStringLiteral("가나다..."));
        QCOMPARE(CutCaption(text, 14 * m, metrics), text);
    }

    void byteLength() {
        QCOMPARE(ByteLength(QStringLiteral("ab가")), 4);
        QCOMPARE(ByteLength(QString()), 0);
    }
};

QTEST_MAIN(TstCaptionCut)
#include "tst_CaptionCut.moc"
