// Shortening a name to the bytes a file name may take.
#include "platform/qbNameFit.h"

#include <QTest>

class tst_NameFit : public QObject {
    Q_OBJECT

private slots:
    void fit_data() {
        QTest::addColumn<QString>("stem");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QString>("fitted");

        QTest::newRow("fits as it is") << "note"
                                       << " - 사본.htm" << 255 << "note - 사본.htm";
        QTest::newRow("exactly the limit") << "abcdef"
                                           << ".htm" << 10 << "abcdef.htm";
        QTest::newRow("one byte over") << "abcdef"
                                       << ".htm" << 9 << "abcde.htm";
        // Three bytes a syllable: 7 bytes leave room for two.
        QTest::newRow("Korean, between syllables") << "가나다라"
                                                   << ".htm" << 11 << "가나.htm";
        // An emoji is four bytes (two UTF-16 units): never half of one.
        QTest::newRow("emoji kept whole or dropped") << "a😀b"
                                                     << "" << 4 << "a";
        // A letter with its combining accent is one character.
        QTest::newRow("accent stays with its letter")
            << QString::fromUtf8("ae\u0301z") << "" << 3 << "a";
        QTest::newRow("space left at the cut goes") << "ab cd"
                                                    << "!" << 4 << "ab!";
        QTest::newRow("tail alone too long") << "name"
                                             << "longtail" << 5 << "longtail";
        QTest::newRow("long Korean note copy") << QString("가").repeated(82) << " - 사본.htm" << 255
                                               << QString("가").repeated(80) + " - 사본.htm";
    }

    void fit() {
        QFETCH(QString, stem);
        QFETCH(QString, tail);
        QFETCH(int, maxBytes);
        QFETCH(QString, fitted);
        QCOMPARE(qbNameFit::Fit(stem, tail, maxBytes), fitted);
    }
};

QTEST_GUILESS_MAIN(tst_NameFit)
#include "tst_NameFit.moc"
