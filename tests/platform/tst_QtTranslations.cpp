// Qt's own texts follow the user's language; the program's own do not change.
#include "platform/qbQtTranslations.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

class TstQtTranslations : public QObject {
    Q_OBJECT
private slots:
    void messageBoxButtons_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        const QLocale korean(QLocale::Korean, QLocale::SouthKorea);
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("korean ok") << korean << int(QMessageBox::Ok) << QStringLiteral("확인");
        QTest::newRow("korean cancel") << korean << int(QMessageBox::Cancel) << QStringLiteral("취소");
        QTest::newRow("korean yes") << korean << int(QMessageBox::Yes) << QStringLiteral("예");
        QTest::newRow("korean no") << korean << int(QMessageBox::No) << QStringLiteral("아니요");
        QTest::newRow("english ok") << english << int(QMessageBox::Ok) << QStringLiteral("OK");
        QTest::newRow("english no") << english << int(QMessageBox::No) << QStringLiteral("&No");
    }
    void messageBoxButtons() {
        QFETCH(QLocale, locale);
        QFETCH(int, button);
        QFETCH(QString, text);
        const QList<QTranslator*> installed = qbQtTranslations::Install(*qApp, locale);
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), QStringLiteral("x"),
                        QMessageBox::StandardButton(button));
        QString shown = box.button(QMessageBox::StandardButton(button))->text();
        const QString caption = box.windowTitle();
        for (QTranslator* translator : installed) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QCOMPARE(shown.remove(QRegularExpression(QStringLiteral("\\(&.\\)$"))), text);
        QCOMPARE(caption, QStringLiteral("Warning"));
    }

    void dialogTextsFromBothCatalogues() {
        const QList<QTranslator*> installed =
            qbQtTranslations::Install(*qApp, QLocale(QLocale::Korean, QLocale::SouthKorea));
        QCOMPARE(installed.size(), 2);
        QVERIFY(QCoreApplication::translate("QFileDialog", "&Open") != u"&Open");
        for (QTranslator* translator : installed) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QCOMPARE(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("&Open"));
    }
};

QTEST_MAIN(TstQtTranslations)
#include "tst_QtTranslations.moc"
