// The insert panel's content and rules, and where an inserted picture's address points.
#include "platform/qbError.h"
#include "editing/qbInsertTools.h"
#include "editing/qbPictureDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

using namespace qbInsert;

namespace {

void Touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("GIF89a");
}

void TurnWheel(QWidget* target, int delta) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

} // namespace

class TestInsertTools : public QObject {
    Q_OBJECT
private slots:
    void specialCharactersInOrder() {
        const QString& set = SpecialCharacterSet();
        QCOMPARE(set.size(), 73);
        QCOMPARE(set.at(0), QChar(0x25A0));
        QCOMPARE(set.at(13), QChar(0x00F8));
        QCOMPARE(set.at(36), QChar(0x0424));
        QCOMPARE(set.at(41), QChar(0x02D0));
        QCOMPARE(set.at(72), QChar(0x2299));
        // Every one of them is a double-byte character of code page 949.
        for (QChar c : set)
            QVERIFY2(c.unicode() >= 0xA0, qPrintable(QString(c)));
    }

    void gridCells_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 0 << 0 << "■";
        QTest::newRow("row 0 last") << 0 << 3 << "◀";
        QTest::newRow("row 1") << 1 << 0 << "※";
        QTest::newRow("last character") << 18 << 0 << "⊙";
        QTest::newRow("empty after it") << 18 << 1 << "";
        QTest::newRow("last cell") << 18 << 3 << "";
        QTest::newRow("outside") << 19 << 0 << "";
    }
    void gridCells() {
        QFETCH(int, row);
        QFETCH(int, column);
        QCOMPARE(GridRowCount(), 19);
        QTEST(GridCharacter(row, column), "text");
        TqbInsertTools tools;
        if (row < 19)
            QTEST(tools.Grid()->item(row, column)->text(), "text");
    }

    void gridShape() {
        TqbInsertTools tools;
        QTableWidget* grid = tools.Grid();
        QCOMPARE(grid->objectName(), QString("grd"));
        QCOMPARE(grid->columnCount(), 4);
        QCOMPARE(grid->rowCount(), 19);
        QCOMPARE(grid->columnWidth(0), 16);
        QCOMPARE(grid->rowHeight(18), 16);
        QCOMPARE(grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(tools.PasteBar()->height(), 24);
    }

    void timeStamp_data() {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("morning") << QDateTime(QDate(2004, 3, 7), QTime(9, 5, 3))
                                 << "2004-03-07 09:05:03";
        QTest::newRow("evening") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))
                                 << "1999-12-31 23:59:59";
    }
    void timeStamp() {
        QFETCH(QDateTime, time);
        QTEST(TimeStamp(time), "text");
        QTEST(SnippetFor(itTime, time), "text");
    }

    void snippets() {
        const QDateTime now = QDateTime::currentDateTime();
        QCOMPARE(SnippetFor(itTitle, now),
                 QString("<DIV>▶<strong><font color=\"#4070aa\"> 제 목</font></strong></DIV>"
                         "<DIV><HR></DIV><DIV></DIV>"));
        QCOMPARE(SnippetFor(itBox, now),
                 QString("<table width=\"500\" border=\"0\" cellpadding=\"4\" cellspacing=\"1\" "
                         "bgcolor=\"#3c62c6\"><tr bgcolor=\"#ffffff\"><td><div>내용</div></td></tr>"
                         "</table>"));
        QVERIFY(SnippetFor(3, now).isEmpty());
    }

    void buttonsReportTheirSnippets_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("hint");
        QTest::newRow("title") << "ToolButton11" << 0 << "제목 달기";
        QTest::newRow("time") << "ToolButton13" << 1 << "시간 넣기";
        QTest::newRow("box") << "ToolButton15" << 2 << "";
    }
    void buttonsReportTheirSnippets() {
        QFETCH(QString, button);
        QFETCH(int, kind);
        TqbInsertTools tools;
        auto* tool = tools.findChild<QToolButton*>(button);
        QVERIFY(tool);
        QTEST(tool->toolTip(), "hint");
        QSignalSpy inserted(&tools, &TqbInsertTools::InsertHtml);
        tool->click();
        QCOMPARE(inserted.count(), 1);
        const QString html = inserted.at(0).at(0).toString();
        if (kind == itTime)
            QVERIFY(QDateTime::fromString(html, "yyyy-MM-dd HH:mm:ss").isValid());
        else
            QCOMPARE(html, SnippetFor(kind, {}));
    }

    void clickingACellInsertsItsText_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("a character") << 2 << 1 << "♩";
        QTest::newRow("an empty cell") << 18 << 2 << "";
    }
    void clickingACellInsertsItsText() {
        QFETCH(int, row);
        QFETCH(int, column);
        QWidget window;
        auto* tools = new TqbInsertTools(&window);
        tools->resize(69, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTableWidget* grid = tools->Grid();
        QSignalSpy inserted(tools, &TqbInsertTools::InsertHtml);
        QSignalSpy focus(tools, &TqbInsertTools::CharacterInserted);
        grid->scrollToItem(grid->item(row, column));
        const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTRY_COMPARE(inserted.count(), 1);
        QTEST(inserted.at(0).at(0).toString(), "text");
        QCOMPARE(focus.count(), 1);
    }

    void wheelMovesTheCurrentRow_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("row");
        QTest::newRow("away moves up") << 5 << 120 << 4;
        QTest::newRow("stops at the first row") << 0 << 120 << 0;
        QTest::newRow("towards moves down") << 5 << -120 << 6;
        QTest::newRow("zero moves down") << 5 << 0 << 6;
        QTest::newRow("stops at the last row") << 18 << -120 << 18;
    }
    void wheelMovesTheCurrentRow() {
        QFETCH(int, start);
        QFETCH(int, delta);
        QTEST(RowAfterWheel(start, 19, delta), "row");
        QWidget window;
        auto* tools = new TqbInsertTools(&window);
        auto* elsewhere = new QWidget(&window);
        tools->setGeometry(0, 0, 69, 300);
        elsewhere->setGeometry(100, 0, 100, 100);
        window.resize(200, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        tools->Grid()->setCurrentCell(start, 1);
        TurnWheel(elsewhere, delta);
        QCOMPARE(tools->Grid()->currentRow(), start);
        TurnWheel(tools->PasteBar(), delta);
        QTEST(tools->Grid()->currentRow(), "row");
        QCOMPARE(tools->Grid()->currentColumn(), 1);
    }

    void pictureAddresses() {
        QTemporaryDir dir;
        const QString library = dir.filePath("BookData");
        QDir().mkpath(library + "/폴더/그림");
        QDir().mkpath(dir.filePath("밖"));
        const QString note = library + "/폴더/노트.htm";
        Touch(library + "/폴더/그림/a b.gif");
        Touch(dir.filePath("밖/사진.gif"));
        Touch(library + "/폴더/사진.gif");

        using qbPicture::PlaceInNote;
        QCOMPARE(PlaceInNote("http://example.com/a.png", note, library),
                 QString("http://example.com/a.png"));
        QCOMPARE(PlaceInNote(library + "/폴더/그림/a b.gif", note, library),
                 QString("%EA%B7%B8%EB%A6%BC/a%20b.gif"));
        // From outside the library: copied beside the note, under a free name.
        const QString placed = PlaceInNote(dir.filePath("밖/사진.gif"), note, library);
        QCOMPARE(QUrl::fromPercentEncoding(placed.toUtf8()), QString("사진(2).gif"));
        QVERIFY(QFile::exists(library + "/폴더/사진(2).gif"));
        QVERIFY_THROWS_EXCEPTION(EqbError, PlaceInNote(dir.filePath("없는.gif"), note, library));
    }
};

QTEST_MAIN(TestInsertTools)
#include "tst_InsertTools.moc"
