// Finding note names by what has been typed so far, and their order in the list.
#include "library/qbNameMatch.h"

#include <QTest>

using namespace qbNameMatch;

class tst_NameMatch : public QObject {
    Q_OBJECT

private slots:
    void matches_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        const QString nfd = QStringLiteral("한글 입력").normalized(QString::NormalizationForm_D);
        QTest::newRow("syllable inside") << "글"
                                         << "한글 입력" << true;
        QTest::newRow("decomposed name") << "글 입" << nfd << true;
        QTest::newRow("decomposed query") << nfd << "한글 입력" << true;
        QTest::newRow("latin case") << "NOTE"
                                    << "My notes" << true;
        QTest::newRow("initials") << "ㅎㄱ"
                                  << "한글" << true;
        QTest::newRow("initials over a space") << "ㅎㄱㅇ"
                                               << "한글 입력" << true;
        QTest::newRow("initials out of order") << "ㄱㅎ"
                                               << "한글" << false;
        QTest::newRow("initials not consecutive") << "ㅎㅇ"
                                                  << "한글 입력" << false;
        QTest::newRow("syllable then initial") << "한ㄱ"
                                               << "한글" << true;
        QTest::newRow("initial then syllable") << "ㅎ글"
                                               << "한글" << true;
        QTest::newRow("spaces left out") << "한글입력"
                                         << "한글 입력" << true;
        QTest::newRow("composing, final") << "하"
                                          << "한글" << true;
        QTest::newRow("composing, vowel") << "고"
                                          << "과자" << true;
        QTest::newRow("composing only last") << "하글"
                                             << "한글" << false;
        QTest::newRow("composing, other vowel") << "허"
                                                << "한글" << false;
        QTest::newRow("finished by a space") << "하 "
                                             << "한글" << false;
        QTest::newRow("final moves on") << "한"
                                        << "하나" << true;
        QTest::newRow("double final moves on") << "읽"
                                               << "일거리" << true;
        QTest::newRow("final moves to wrong initial") << "한"
                                                      << "하다" << false;
        QTest::newRow("compound final grows") << "갈"
                                              << "갉다" << true;
        QTest::newRow("jamo in name") << "ㅎ"
                                      << "ㅎㅎ 메모" << true;
        QTest::newRow("longer than name") << "한글날"
                                          << "한글" << false;
        QTest::newRow("control char in name") << "b"
                                              << QString("a\x01"
                                                         "b")
                                              << true;
        QTest::newRow("lone surrogates")
            << "x" << QString(QChar(0xD800)) + "x" + QChar(0xDC00) << true;
        QTest::newRow("lone surrogate query") << QString(QChar(0xDC00)) << "abc" << false;
    }
    void matches() {
        QFETCH(QString, query);
        QFETCH(QString, name);
        QFETCH(bool, found);
        QCOMPARE(Match(query, name).has_value(), found);
    }

    void ranks_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("whole, start, word, anywhere")
            << "글" << QStringList{"한글", "글자 모음", "새 글", "글", "없음"}
            << QList<int>{3, 1, 2, 0};
        QTest::newRow("shorter first, ties stay")
            << "ab" << QStringList{"xxab", "xab", "yyab", "abc", "abcd"}
            << QList<int>{3, 4, 1, 0, 2};
        QTest::newRow("word separators")
            << "n" << QStringList{"an", "a_n", "a-n", "a(n", "a/n", "a.n"}
            << QList<int>{1, 2, 3, 4, 0, 5};
        QTest::newRow("later word start beats first hit")
            << "ab" << QStringList{"xab", "xab ab"} << QList<int>{1, 0};
        QTest::newRow("initials and syllables alike")
            << "ㅎㄱ" << QStringList{"국어 한글", "한글", "한국어", "하기 싫음"}
            << QList<int>{1, 2, 3, 0};
        QTest::newRow("empty query keeps all")
            << " " << QStringList{"b", "", "a"} << QList<int>{0, 1, 2};
    }
    void ranks() {
        QFETCH(QString, query);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, order);
        QCOMPARE(Rank(query, names), order);
    }
};

QTEST_GUILESS_MAIN(tst_NameMatch)
#include "tst_NameMatch.moc"
