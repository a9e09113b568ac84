// Korean particles chosen by the sound of the word before them.
#include "platform/qbParticle.h"

#include <QTest>

class tst_Particle : public QObject {
    Q_OBJECT

private slots:
    void resolve_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("resolved");

        QTest::newRow("final consonant") << "오늘 일기 을(를) 삭제합니까?" << "오늘 일기를 삭제합니까?";
        QTest::newRow("no space before") << "원본을(를) 지움" << "원본을 지움";
        QTest::newRow("subject after consonant") << "메모장 이(가) 없다" << "메모장이 없다";
        QTest::newRow("subject after vowel") << "노트 이(가) 없다" << "노트가 없다";
        QTest::newRow("topic after vowel") << "폴더 은(는)" << "폴더는";
        QTest::newRow("topic after consonant") << "사진 은(는)" << "사진은";
        QTest::newRow("direction after ㄹ") << "서울 (으)로" << "서울로";
        QTest::newRow("direction after ㅁ") << "보관함 (으)로" << "보관함으로";
        QTest::newRow("direction after vowel") << "노트 (으)로" << "노트로";
        QTest::newRow("with after vowel") << "사과 과(와)" << "사과와";
        QTest::newRow("with after consonant") << "책 과(와)" << "책과";
        QTest::newRow("quoted names, two forms")
            << "\"가\" 을(를) \"B/책\" (으)로 옮길 수 없습니다." << "\"가\"를 \"B/책\"으로 옮길 수 없습니다.";
        QTest::newRow("closing bracket") << "노트 (사본) 이(가)" << "노트 (사본)이";
        QTest::newRow("digit 3 is 삼") << "test3 을(를)" << "test3을";
        QTest::newRow("digit 2 is 이") << "test2 을(를)" << "test2를";
        QTest::newRow("digit 1 is 일, direction") << "v1 (으)로" << "v1로";
        QTest::newRow("digit 0 is 영") << "2020 은(는)" << "2020은";
        QTest::newRow("Latin L is 엘") << "HTML 을(를)" << "HTML을";
        QTest::newRow("Latin n is 엔") << "plan 이(가)" << "plan이";
        QTest::newRow("Latin vowel-named letter") << "memo 을(를)" << "memo를";
        QTest::newRow("file name with extension") << "\"a.htm\" 을(를)" << "\"a.htm\"을";
        QTest::newRow("path ending in a slash kept") << "\"/home/a/\" 은(는)" << "\"/home/a/\" 은(는)";
        QTest::newRow("emoji kept") << "😀 을(를)" << "😀 을(를)";
        QTest::newRow("at the start kept") << "이(가) 없음" << "이(가) 없음";
        QTest::newRow("nothing to resolve") << "저장할까요?" << "저장할까요?";
    }

    void resolve() {
        QFETCH(QString, text);
        QFETCH(QString, resolved);
        QCOMPARE(qbParticle::Resolve(text), resolved);
    }
};

QTEST_GUILESS_MAIN(tst_Particle)
#include "tst_Particle.moc"
