#include "common/qbTestFiles.h"
#include "library/qbDailyNotes.h"

#include <QTemporaryDir>
#include <QTest>

class TestDailyNotes : public QObject {
    Q_OBJECT
private slots:
    void dayOfAPath_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QDate>("day");
        QTest::newRow("a daily note") << "일기/2026/2026-12-09.htm" << QDate(2026, 12, 9);
        QTest::newRow("extension in capitals") << "일기/2026/2026-01-31.HTM" << QDate(2026, 1, 31);
        QTest::newRow("in another year's folder") << "일기/2025/2026-12-09.htm" << QDate();
        QTest::newRow("no such day") << "일기/2026/2026-02-30.htm" << QDate();
        QTest::newRow("another name") << "일기/2026/장보기.htm" << QDate();
        QTest::newRow("outside the folder") << "업무/2026/2026-12-09.htm" << QDate();
        QTest::newRow("too deep") << "일기/2026/12/2026-12-09.htm" << QDate();
    }
    void dayOfAPath() {
        QFETCH(QString, relative);
        QFETCH(QDate, day);
        QCOMPARE(qbDailyNotes::DayOf("/lib", "/lib/" + relative, ".htm").value_or(QDate()), day);
        if (day.isValid() && relative.endsWith(".htm"))
            QCOMPARE(qbDailyNotes::PathOf("/lib/", day, ".htm"), "/lib/" + relative);
    }

    void neighbourAmongTheDaysOnDisk_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<bool>("earlier");
        QTest::addColumn<QDate>("found");
        QTest::newRow("before a day that has a note")
            << QDate(2026, 1, 2) << true << QDate(2025, 12, 31);
        QTest::newRow("after it, across a gap") << QDate(2026, 1, 2) << false << QDate(2026, 1, 10);
        QTest::newRow("before a day without one") << QDate(2026, 1, 5) << true << QDate(2026, 1, 2);
        QTest::newRow("nothing earlier") << QDate(2025, 12, 31) << true << QDate();
        QTest::newRow("nothing later") << QDate(2026, 1, 10) << false << QDate();
    }
    void neighbourAmongTheDaysOnDisk() {
        QFETCH(QDate, from);
        QFETCH(bool, earlier);
        QFETCH(QDate, found);
        QTemporaryDir dir;
        for (const char* name : {"2026/2026-01-10.htm", "2026/2026-01-02.htm",
                                 "2025/2025-12-31.htm", "2026/메모.htm", "2025/2026-01-01.htm"})
            WriteBytes(dir.filePath(QString("일기/") + name), "x");
        const QList<QDate> days = qbDailyNotes::Days(dir.path(), ".htm");
        QCOMPARE(days, (QList<QDate>{{2025, 12, 31}, {2026, 1, 2}, {2026, 1, 10}}));
        QCOMPARE(qbDailyNotes::Neighbour(days, from, earlier).value_or(QDate()), found);
    }
};

QTEST_GUILESS_MAIN(TestDailyNotes)
#include "tst_DailyNotes.moc"
