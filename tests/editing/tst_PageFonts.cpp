// Which installed face stands in for a font a page asks for.
#include "editing/qbPageFonts.h"

#include <QtTest>

namespace {

// What this kind of machine has: Debian with fonts-nanum, DejaVu and Liberation.
const QStringList Debian = {"DejaVu Sans",     "DejaVu Serif",     "DejaVu Sans Mono",
                            "Liberation Sans", "Liberation Serif", "Liberation Mono",
                            "NanumGothic",     "NanumMyeongjo",    "NanumGothicCoding",
                            "NanumBarunGothic", "Droid Sans Fallback"};
const QStringList NotoOnly = {"Noto Sans CJK KR", "Noto Serif CJK KR", "Noto Sans", "Noto Serif",
                              "Noto Mono"};
const QStringList NoKorean = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"};

} // namespace

class TstPageFonts : public QObject {
    Q_OBJECT
private slots:
    void substitute_data() {
        QTest::addColumn<QString>("pageFont");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("굴림 is a Korean sans") << "굴림" << Debian << "NanumGothic";
        QTest::newRow("Gulim in any case") << "gULIM" << Debian << "NanumGothic";
        QTest::newRow("돋움") << "돋움" << Debian << "NanumGothic";
        QTest::newRow("맑은 고딕") << "맑은 고딕" << Debian << "NanumGothic";
        QTest::newRow("굴림체 is fixed") << "굴림체" << Debian << "NanumGothicCoding";
        QTest::newRow("바탕 is a Korean serif") << "바탕" << Debian << "NanumMyeongjo";
        QTest::newRow("궁서") << "궁서" << Debian << "NanumMyeongjo";
        QTest::newRow("verdana is a wide sans") << "verdana" << Debian << "DejaVu Sans";
        QTest::newRow("Tahoma") << "Tahoma" << Debian << "DejaVu Sans";
        QTest::newRow("Arial keeps its widths") << "Arial" << Debian << "Liberation Sans";
        QTest::newRow("Times New Roman") << "Times New Roman" << Debian << "Liberation Serif";
        QTest::newRow("Courier New") << "Courier New" << Debian << "Liberation Mono";
        QTest::newRow("blanks around the name") << "  Verdana " << Debian << "DejaVu Sans";
        QTest::newRow("installed name is kept") << "NanumGothic" << Debian << "";
        QTest::newRow("installed in other case") << "dejavu sans" << Debian << "";
        QTest::newRow("unknown name") << "Wingdings" << Debian << "";
        QTest::newRow("empty") << "" << Debian << "";
        QTest::newRow("Noto: 굴림") << "굴림" << NotoOnly << "Noto Sans CJK KR";
        QTest::newRow("Noto: 바탕") << "바탕" << NotoOnly << "Noto Serif CJK KR";
        QTest::newRow("Noto: verdana") << "verdana" << NotoOnly << "Noto Sans";
        QTest::newRow("Noto: 굴림체 falls to fixed") << "굴림체" << NotoOnly << "Noto Mono";
        QTest::newRow("no Korean: 굴림 stays a sans") << "굴림" << NoKorean << "DejaVu Sans";
        QTest::newRow("no Korean: 바탕 stays a serif") << "바탕" << NoKorean << "DejaVu Serif";
        QTest::newRow("nothing installed") << "굴림" << QStringList() << "";
    }
    void substitute() {
        QFETCH(QString, pageFont);
        QFETCH(QStringList, installed);
        QFETCH(QString, expected);
        QCOMPARE(qbPageFonts::Substitute(pageFont, installed), expected);
    }

    void neverASerifForASans_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::newRow("debian") << Debian;
        QTest::newRow("noto") << NotoOnly;
        QTest::newRow("no korean") << NoKorean;
    }
    void neverASerifForASans() {
        QFETCH(QStringList, installed);
        const QStringList serifs = {"DejaVu Serif", "Liberation Serif", "NanumMyeongjo",
                                    "Noto Serif CJK KR", "Noto Serif"};
        for (const char* sans : {"굴림", "돋움", "Gulim", "verdana", "Tahoma", "Arial"})
            QVERIFY2(!serifs.contains(qbPageFonts::Substitute(QString::fromUtf8(sans), installed)),
                     sans);
        const qbPageFonts::TFamilies families = qbPageFonts::Defaults(installed);
        QVERIFY(!serifs.contains(families.Standard));
        QVERIFY(!serifs.contains(families.SansSerif));
    }

    void aliasesCoverMissingNamesOnly() {
        const QList<qbPageFonts::TAlias> aliases = qbPageFonts::Aliases(Debian);
        QHash<QString, QString> byName;
        for (const auto& alias : aliases)
            byName.insert(alias.Name, alias.Substitute);
        QCOMPARE(byName.value("굴림"), QStringLiteral("NanumGothic"));
        QCOMPARE(byName.value("verdana"), QStringLiteral("DejaVu Sans"));
        QCOMPARE(byName.value("Verdana"), QStringLiteral("DejaVu Sans"));
        QCOMPARE(byName.value("gulimche"), QStringLiteral("NanumGothicCoding"));
        QVERIFY(!byName.contains("NanumGothic"));
        // A machine that has Verdana needs no alias for it.
        for (const auto& alias : qbPageFonts::Aliases(Debian + QStringList{"Verdana"}))
            QVERIFY(alias.Name.compare("verdana", Qt::CaseInsensitive) != 0);
    }

    void boxNames_data() {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("Korean names replace, all sorted without case")
            << QStringList{"NanumGothic", "dejaVu Sans", "Arial", "NanumMyeongjo"}
            << QStringList{"Arial", "dejaVu Sans", "나눔고딕", "나눔명조"};
        QTest::newRow("each name once")
            << QStringList{"Arial", "arial", "NanumGothic", "나눔고딕"}
            << QStringList{"Arial", "나눔고딕"};
        QTest::newRow("none") << QStringList() << QStringList();
    }
    void boxNames() {
        QFETCH(QStringList, families);
        const QHash<QString, QString> korean = {{"NanumGothic", "나눔고딕"},
                                                {"NanumMyeongjo", "나눔명조"}};
        QTEST(qbPageFonts::BoxNames(families, korean), "names");
    }

    void defaults() {
        const qbPageFonts::TFamilies families = qbPageFonts::Defaults(Debian);
        QCOMPARE(families.Standard, QStringLiteral("NanumGothic"));
        QCOMPARE(families.SansSerif, QStringLiteral("NanumGothic"));
        QCOMPARE(families.Serif, QStringLiteral("NanumMyeongjo"));
        QCOMPARE(families.Fixed, QStringLiteral("NanumGothicCoding"));
    }
};

QTEST_APPLESS_MAIN(TstPageFonts)
#include "tst_PageFonts.moc"
