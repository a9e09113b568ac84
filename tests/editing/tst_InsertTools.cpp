// The insert panel's content and rules, and where an inserted picture's address points.
#include "platform/qbError.h"
#include "editing/qbInsertTools.h"
#include "editing/qbNotePictures.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QStringEncoder>
#include <QWheelEvent>
#include <iterator>

using namespace qbInsert;

namespace {

void Touch(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
    // The grid against the list of code points it must show, one row per index.
    void specialCharacters_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("codePoint");
        const int expected[] = {
            0x25A0, 0x25A1, 0x25B6, 0x25C0, 0x203B, 0x2663, 0x25CF, 0x260E, 0x2605, 0x2669,
            0x266A, 0x266C, 0x00B1, 0x00F8, 0x2153, 0x2154, 0x215B, 0x215C, 0x215D, 0x215E,
            0x00B9, 0x00B2, 0x00B3, 0x207F, 0x2081, 0x2082, 0x2083, 0x2084, 0x03B1, 0x03B2,
            0x03B8, 0x03C6, 0x03C9, 0x03BE, 0x03BB, 0x03B7, 0x0424, 0x2202, 0x2113, 0x2211,
            0x2126, 0x02D0, 0x039B, 0x0394, 0x212B, 0x2109, 0x2103, 0x00B0, 0x00F7, 0x221E,
            0x2261, 0x2264, 0x2265, 0x221A, 0x00AE, 0x2122, 0x2194, 0x2190, 0x2191, 0x2192,
            0x2193, 0x2195, 0x2196, 0x2197, 0x2198, 0x2199, 0x2234, 0x2235, 0x223C, 0x223D,
            0x2252, 0x2260, 0x2299};
        QCOMPARE(int(std::size(expected)), 73);
        for (int i = 0; i < 73; ++i)
            QTest::addRow("%d U+%04X", i, expected[i]) << i << expected[i];
    }
    void specialCharacters() {
        QFETCH(int, index);
        QFETCH(int, codePoint);
        QCOMPARE(SpecialCharacterSet().size(), 73);
        QCOMPARE(int(SpecialCharacterSet().at(index).unicode()), codePoint);
        QCOMPARE(GridCharacter(index / GridColumns, index % GridColumns), QString(QChar(codePoint)));
        // Each one is a double-byte character of code page 949.
        QStringEncoder cp949("windows-949");
        const QByteArray bytes = cp949.encode(QString(QChar(codePoint)));
        QVERIFY(!cp949.hasError());
        QCOMPARE(bytes.size(), 2);
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
        QCOMPARE(SnippetFor(itTodo, now),
                 QString("<DIV><input type=\"checkbox\"> 할 일</DIV><DIV><input type=\"checkbox\"> 할 일"
                         "</DIV><DIV><input type=\"checkbox\"> 할 일</DIV>"));
        QVERIFY(SnippetFor(4, now).isEmpty());
    }

    void buttonsReportTheirSnippets_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("hint");
        QTest::newRow("title") << "ToolButton11" << 0 << "제목 달기";
        QTest::newRow("time") << "ToolButton13" << 1 << "시간 넣기";
        QTest::newRow("box") << "ToolButton15" << 2 << "";
        QTest::newRow("to-do list") << "ToolButton17" << 3 << "할 일 목록";
    }
    void buttonsReportTheirSnippets() {
        QFETCH(QString, button);
        QFETCH(int, kind);
        TqbInsertTools tools;
        tools.resize(69, 400); // as wide as the window's panel: no button is pushed off it
        tools.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tools));
        auto* tool = tools.findChild<QToolButton*>(button);
        QVERIFY(tool);
        QVERIFY(tool->isVisible());
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

    // Pictures from outside the library go to the note folder's "__images"; those inside are
    // linked where they are.
    void pictureAddresses_data() {
        QTest::addColumn<QString>("picture"); // "@" is the test folder, "#" the library
        QTest::addColumn<QString>("note");    // below the library
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("copy");    // below the library; empty: none made
        QTest::newRow("web address") << "http://example.com/a.png" << "폴더/노트.htm"
                                     << "http://example.com/a.png" << "";
        QTest::newRow("inside the library")
            << "#/폴더/그림/a b.gif" << "폴더/노트.htm" << "%EA%B7%B8%EB%A6%BC/a%20b.gif" << "";
        QTest::newRow("inside, another folder")
            << "#/그림.gif" << "폴더/노트.htm" << "../%EA%B7%B8%EB%A6%BC.gif" << "";
        QTest::newRow("outside, first copy")
            << "@/밖/새.png" << "폴더/노트.htm" << "__images/%EC%83%88.png" << "폴더/__images/새.png";
        QTest::newRow("outside, same bytes already there")
            << "@/밖/같은.png" << "폴더/노트.htm" << "__images/%EA%B0%99%EC%9D%80.png"
            << "폴더/__images/같은.png";
        QTest::newRow("outside, other bytes under that name")
            << "@/밖/다른.png" << "폴더/노트.htm" << "__images/%EB%8B%A4%EB%A5%B8_3.png"
            << "폴더/__images/다른_3.png";
        QTest::newRow("outside, as a file address")
            << "file://@/밖/새.png" << "노트.htm" << "__images/%EC%83%88.png" << "__images/새.png";
        QTest::newRow("folder page") << "@/밖/새.png" << "폴더/___폴더설명.qb"
                                     << "__images/%EC%83%88.png" << "폴더/__images/새.png";
    }
    void pictureAddresses() {
        QFETCH(QString, picture);
        QFETCH(QString, note);
        QFETCH(QString, address);
        QFETCH(QString, copy);
        QTemporaryDir dir;
        const QString library = dir.filePath("BookData");
        QDir().mkpath(library + "/폴더/그림");
        QDir().mkpath(library + "/폴더/__images");
        QDir().mkpath(dir.filePath("밖"));
        Touch(library + "/폴더/그림/a b.gif", "GIF89a");
        Touch(library + "/그림.gif", "GIF89a");
        for (const char* name : {"새", "같은", "다른"})
            Touch(dir.filePath(QString("밖/%1.png").arg(QString::fromUtf8(name))), "outside");
        Touch(library + "/폴더/__images/같은.png", "outside");
        Touch(library + "/폴더/__images/다른.png", "other");
        Touch(library + "/폴더/__images/다른_2.png", "other too");

        picture.replace('@', dir.path()).replace('#', library);
        QCOMPARE(qbPicture::PlaceInNote(picture, library + "/" + note, library), address);
        if (!copy.isEmpty())
            QCOMPARE(FileBytes(library + "/" + copy), QByteArray("outside"));
        QCOMPARE(FileBytes(library + "/폴더/__images/다른.png"), QByteArray("other"));
    }

    // Pictures that come as bytes are written into "__images" as the copies above are.
    void keptPictures_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address"); // empty: refused, nothing written
        QTest::addColumn<QString>("file");    // below the note's folder
        const QByteArray pic("pic");
        QTest::newRow("pasted") << pic << "image/png" << ""
                                << "__images/pasted-20240501-153012.png"
                                << "__images/pasted-20240501-153012.png";
        QTest::newRow("pasted JPEG") << pic << "image/jpeg" << ""
                                     << "__images/pasted-20240501-153012.jpg"
                                     << "__images/pasted-20240501-153012.jpg";
        QTest::newRow("dropped file keeps its name")
            << pic << "image/png" << "휴가.png" << "__images/%ED%9C%B4%EA%B0%80.png"
            << "__images/휴가.png";
        QTest::newRow("name taken by other bytes")
            << pic << "image/png" << "다른.png" << "__images/%EB%8B%A4%EB%A5%B8_2.png"
            << "__images/다른_2.png";
        QTest::newRow("same bytes already there")
            << pic << "image/png" << "같은.png" << "__images/%EA%B0%99%EC%9D%80.png"
            << "__images/같은.png";
        QTest::newRow("not a picture") << pic << "text/plain" << "" << "" << "";
        QTest::newRow("empty picture pasted") << QByteArray() << "image/png" << "" << "" << "";
        QTest::newRow("empty file dropped") << QByteArray() << "image/png" << "빈.png" << "" << "";
    }
    void keptPictures() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, type);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, file);
        QTemporaryDir dir;
        const QString folder = dir.filePath("폴더");
        QDir().mkpath(folder);
        const QString note = folder + "/노트.htm";
        const QDateTime now(QDate(2024, 5, 1), QTime(15, 30, 12));
        if (address.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(EqbError, qbPicture::KeepInNote(bytes, type, name, note, now));
            QVERIFY(!QFileInfo::exists(folder + "/__images"));
            return;
        }
        QDir().mkpath(folder + "/__images");
        Touch(folder + "/__images/다른.png", "other");
        Touch(folder + "/__images/같은.png", "pic");
        QCOMPARE(qbPicture::KeepInNote(bytes, type, name, note, now), address);
        QCOMPARE(FileBytes(folder + "/" + file), bytes);
        QCOMPARE(FileBytes(folder + "/__images/다른.png"), QByteArray("other"));
    }

    // Pictures in pasted markup: kept by their scheme; web ones never fetched.
    void pastedPictures_data() {
        QTest::addColumn<QString>("picture"); // "@" stands for a folder outside the library
        QTest::addColumn<QString>("address"); // empty: refused
        QTest::addColumn<QByteArray>("kept"); // the bytes in "__images", for a copy
        QTest::newRow("data in base64") << "data:image/png;base64,cGlj"
                                        << "__images/pasted-20240501-153012.png" << QByteArray("pic");
        QTest::newRow("data percent-encoded") << "data:image/svg+xml,%3Csvg%2F%3E"
                                              << "__images/pasted-20240501-153012.svg"
                                              << QByteArray("<svg/>");
        QTest::newRow("data that is no picture") << "data:text/html,%3Cb%3E" << "" << QByteArray();
        QTest::newRow("data without its comma") << "data:image/png;base64" << "" << QByteArray();
        QTest::newRow("a temporary file of the word processor")
            << "file://@/clip_image001.png" << "__images/clip_image001.png" << QByteArray("pic");
        QTest::newRow("a file that is gone") << "file://@/clip_image002.png" << "" << QByteArray();
        QTest::newRow("web picture") << "https://example.org/a.png" << "https://example.org/a.png"
                                     << QByteArray();
    }
    void pastedPictures() {
        QFETCH(QString, picture);
        QFETCH(QString, address);
        QFETCH(QByteArray, kept);
        QTemporaryDir dir;
        const QString library = dir.filePath("BookData");
        QDir().mkpath(library);
        QDir().mkpath(dir.filePath("밖"));
        Touch(dir.filePath("밖/clip_image001.png"), "pic");
        picture.replace('@', dir.filePath("밖"));
        const QString note = library + "/노트.htm";
        const QDateTime now(QDate(2024, 5, 1), QTime(15, 30, 12));
        if (address.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(EqbError, qbPicture::KeepPasted(picture, note, library, now));
            QVERIFY(!QFileInfo::exists(library + "/__images") ||
                    QDir(library + "/__images").isEmpty());
            return;
        }
        QCOMPARE(qbPicture::KeepPasted(picture, note, library, now), address);
        if (!kept.isEmpty())
            QCOMPARE(FileBytes(library + "/" + address), kept);
    }

    void missingPictureThrows() {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(EqbError, qbPicture::PlaceInNote(dir.filePath("없는.gif"),
                                                                 dir.filePath("노트.htm"),
                                                                 dir.path()));
        QVERIFY(!QFileInfo::exists(dir.filePath("__images")));
    }
};

QTEST_MAIN(TestInsertTools)
#include "tst_InsertTools.moc"
