// The table commands on a real page: the whole table as saved after each, and after undo.
#include "editing/qbDhtmlEdit.h"
#include "editing/qbTableEdit.h"
#include "qbEditorFixture.h"

#include <QRegularExpression>
#include <QtTest>

using TCommand = TqbTableEdit::TCommand;
Q_DECLARE_METATYPE(TCommand)

namespace {

QByteArray Page(const QString& body) {
    return ("<html><head><meta charset=\"utf-8\"></head><body>" + body + "</body></html>").toUtf8();
}

QString Table(const QString& rows) {
    return "<table border=\"1\"><tbody>" + rows + "</tbody></table>";
}

const QString Three = Table("<tr><td>a</td><td>b</td><td>c</td></tr>"
                            "<tr><td>d</td><td>e</td><td>f</td></tr>"
                            "<tr><td>g</td><td>h</td><td>i</td></tr>");
const QString Empty = "<td><br></td>";

} // namespace

class TestTableEdit : public QObject, protected TqbEditorFixture {
    Q_OBJECT

    // What the body holds as a save writes it.
    QString SavedBody() {
        static const QRegularExpression body("<body>(.*)</body>",
                                             QRegularExpression::DotMatchesEverythingOption);
        return body.match(m_edit->DocumentHtml()).captured(1);
    }

    bool Open(const QString& body) {
        return LoadForEditing(Write("note.htm", Page(body))) && StartEditing();
    }

    // Selects from the first cell to the second, each given as row and cell index.
    void SelectCells(QPoint from, QPoint to) {
        AskPage(QStringLiteral("(function () {"
                               "  const t = document.getElementsByTagName('table')[0];"
                               "  const a = t.rows[%1].cells[%2], f = t.rows[%3].cells[%4];"
                               "  getSelection().setBaseAndExtent(a, 0, f, f.childNodes.length);"
                               "})();")
                    .arg(from.y())
                    .arg(from.x())
                    .arg(to.y())
                    .arg(to.x()));
    }

    void CaretIn(QPoint cell) {
        AskPage(QStringLiteral("(function () {"
                               "  const c = document.getElementsByTagName('table')[0]"
                               "    .rows[%1].cells[%2];"
                               "  getSelection().setBaseAndExtent(c, 0, c, 0);"
                               "})();")
                    .arg(cell.y())
                    .arg(cell.x()));
    }

    void Undo(int steps) {
        for (int i = 0; i < steps; ++i)
            m_edit->DocExec(qbDhtml::IDM_UNDO);
    }

private slots:
    void initTestCase() { QVERIFY(ShowEditor()); }

    void commands_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<TCommand>("command");
        QTest::addColumn<QString>("after");
        const QPoint e(1, 1);
        QTest::newRow("row above")
            << Three << e << e << TCommand::RowAbove
            << Table("<tr><td>a</td><td>b</td><td>c</td></tr><tr>" + Empty + Empty + Empty +
                     "</tr><tr><td>d</td><td>e</td><td>f</td></tr>"
                     "<tr><td>g</td><td>h</td><td>i</td></tr>");
        QTest::newRow("row below")
            << Three << e << e << TCommand::RowBelow
            << Table("<tr><td>a</td><td>b</td><td>c</td></tr><tr><td>d</td><td>e</td><td>f</td>"
                     "</tr><tr>" +
                     Empty + Empty + Empty + "</tr><tr><td>g</td><td>h</td><td>i</td></tr>");
        QTest::newRow("column left")
            << Three << e << e << TCommand::ColumnLeft
            << Table("<tr><td>a</td>" + Empty + "<td>b</td><td>c</td></tr><tr><td>d</td>" + Empty +
                     "<td>e</td><td>f</td></tr><tr><td>g</td>" + Empty +
                     "<td>h</td><td>i</td></tr>");
        QTest::newRow("column right")
            << Three << e << e << TCommand::ColumnRight
            << Table("<tr><td>a</td><td>b</td>" + Empty +
                     "<td>c</td></tr><tr><td>d</td><td>e</td>" + Empty +
                     "<td>f</td></tr><tr><td>g</td><td>h</td>" + Empty + "<td>i</td></tr>");
        QTest::newRow("delete two rows")
            << Three << QPoint(0, 0) << QPoint(0, 1) << TCommand::DeleteRows
            << Table("<tr><td>g</td><td>h</td><td>i</td></tr>");
        QTest::newRow("delete a column")
            << Three << e << e << TCommand::DeleteColumns
            << Table("<tr><td>a</td><td>c</td></tr><tr><td>d</td><td>f</td></tr>"
                     "<tr><td>g</td><td>i</td></tr>");
        QTest::newRow("delete every column")
            << Three << QPoint(0, 0) << QPoint(2, 0) << TCommand::DeleteColumns << "<br>";
        QTest::newRow("merge a block")
            << Three << QPoint(0, 0) << e << TCommand::MergeCells
            << Table("<tr><td colspan=\"2\" rowspan=\"2\">a<br>b<br>d<br>e</td><td>c</td></tr>"
                     "<tr><td>f</td></tr><tr><td>g</td><td>h</td><td>i</td></tr>");
        QTest::newRow("merge whole rows")
            << Three << QPoint(0, 0) << QPoint(2, 1) << TCommand::MergeCells
            << Table("<tr><td colspan=\"3\">a<br>b<br>c<br>d<br>e<br>f</td></tr>"
                     "<tr><td>g</td><td>h</td><td>i</td></tr>");
        // A merged cell reached by the selection is taken in whole.
        const QString spanned = Table("<tr><td rowspan=\"2\">a</td><td>b</td><td>c</td></tr>"
                                      "<tr><td>e</td><td>f</td></tr>"
                                      "<tr><td>g</td><td>h</td><td>i</td></tr>");
        QTest::newRow("merge across a span")
            << spanned << QPoint(0, 1) << QPoint(0, 0) << TCommand::MergeCells
            << Table("<tr><td rowspan=\"2\" colspan=\"2\">a<br>b<br>e</td><td>c</td></tr>"
                     "<tr><td>f</td></tr><tr><td>g</td><td>h</td><td>i</td></tr>");
        QTest::newRow("split")
            << spanned << QPoint(0, 0) << QPoint(0, 0) << TCommand::SplitCell
            << Table("<tr><td>a</td><td>b</td><td>c</td></tr><tr>" + Empty +
                     "<td>e</td><td>f</td></tr><tr><td>g</td><td>h</td><td>i</td></tr>");
        QTest::newRow("row below grows a span over it")
            << spanned << QPoint(1, 0) << QPoint(1, 0) << TCommand::RowBelow
            << Table("<tr><td rowspan=\"3\">a</td><td>b</td><td>c</td></tr><tr>" + Empty + Empty +
                     "</tr><tr><td>e</td><td>f</td></tr><tr><td>g</td><td>h</td><td>i</td></tr>");
        QTest::newRow("a column beside a span takes its height")
            << spanned << QPoint(0, 0) << QPoint(0, 0) << TCommand::ColumnLeft
            << Table("<tr><td rowspan=\"2\"><br></td><td rowspan=\"2\">a</td><td>b</td>"
                     "<td>c</td></tr><tr><td>e</td><td>f</td></tr>"
                     "<tr>" +
                     Empty + "<td>g</td><td>h</td><td>i</td></tr>");
        QTest::newRow("deleting the row a span starts in moves it down")
            << spanned << QPoint(1, 0) << QPoint(1, 0) << TCommand::DeleteRows
            << Table("<tr><td>a</td><td>e</td><td>f</td></tr><tr><td>g</td><td>h</td><td>i</td></"
                     "tr>");
        const QString wide =
            Table("<tr><td colspan=\"2\">a</td></tr><tr><td>b</td><td>c</td></tr>");
        QTest::newRow("a column through a span widens it")
            << wide << QPoint(1, 1) << QPoint(1, 1) << TCommand::ColumnLeft
            << Table("<tr><td colspan=\"3\">a</td></tr><tr><td>b</td>" + Empty + "<td>c</td></tr>");
        QTest::newRow("deleting a column narrows a span over it")
            << wide << QPoint(0, 1) << QPoint(0, 1) << TCommand::DeleteColumns
            << Table("<tr><td>a</td></tr><tr><td>c</td></tr>");
        QTest::newRow("header row: a row below it is of data cells")
            << Table("<tr><th align=\"center\">x</th></tr><tr><td>y</td></tr>") << QPoint(0, 0)
            << QPoint(0, 0) << TCommand::RowBelow
            << Table("<tr><th align=\"center\">x</th></tr><tr><td align=\"center\"><br></td>"
                     "</tr><tr><td>y</td></tr>");
    }
    void commands() {
        QFETCH(QString, before);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(TCommand, command);
        QFETCH(QString, after);
        QVERIFY(Open(before));
        const QString loaded = SavedBody();
        SelectCells(from, to);
        TqbTableEdit tables(*m_edit);
        QVERIFY(tables.Run(command));
        QCOMPARE(SavedBody(), after);
        m_edit->DocExec(qbDhtml::IDM_UNDO);
        QCOMPARE(SavedBody(), loaded);
    }

    // The caret lands in the new table's first cell: a key typed next goes there.
    void insertTable_data() {
        QTest::addColumn<bool>("header");
        QTest::addColumn<QString>("after");
        const QString table = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\"><tbody>";
        QTest::newRow("plain") << false
                               << table + "<tr><td>z</td>" + Empty + Empty + "</tr><tr>" + Empty +
                                      Empty + Empty + "</tr></tbody></table><p>x</p>";
        QTest::newRow("header row") << true
                                    << table + "<tr><th>z</th><th><br></th><th><br></th></tr><tr>" +
                                           Empty + Empty + Empty + "</tr></tbody></table><p>x</p>";
    }
    void insertTable() {
        QFETCH(bool, header);
        QFETCH(QString, after);
        QVERIFY(Open("<p>x</p>"));
        const QString loaded = SavedBody();
        TqbTableEdit tables(*m_edit);
        QVERIFY(tables.InsertTable(2, 3, header));
        QTest::keyClick(PageWidget(), Qt::Key_Z);
        QTRY_COMPARE_WITH_TIMEOUT(SavedBody(), after, PageTimeoutMs);
        Undo(2);
        QCOMPARE(SavedBody(), loaded);
    }

    // Dragging a cell's right border sets its column's width, in one step of the undo.
    void columnWidthByDragging() {
        QVERIFY(Open(Three));
        const QString loaded = SavedBody();
        const QVariantList box =
            AskPage("(function () {"
                    "  const r = document.getElementsByTagName('table')[0].rows[0].cells[1]"
                    "    .getBoundingClientRect();"
                    "  return [r.left, r.right, r.top + r.height / 2];"
                    "})();")
                .toList();
        QCOMPARE(box.size(), 3);
        const QPoint border(qFloor(box[1].toDouble()) - 2, qRound(box[2].toDouble()));
        const QPoint end = border + QPoint(40, 0);
        QTest::mousePress(PageWidget(), Qt::LeftButton, {}, border);
        QTest::mouseMove(PageWidget(), border + QPoint(20, 0));
        QTest::mouseRelease(PageWidget(), Qt::LeftButton, {}, end);
        const QString width = QString::number(qRound(end.x() - box[0].toDouble()));
        const QString cell = "<td width=\"" + width + "\">%1</td>";
        QTRY_COMPARE_WITH_TIMEOUT(SavedBody(),
                                  Table("<tr><td>a</td>" + cell.arg("b") +
                                        "<td>c</td></tr><tr><td>d</td>" + cell.arg("e") +
                                        "<td>f</td></tr><tr><td>g</td>" + cell.arg("h") +
                                        "<td>i</td></tr>"),
                                  PageTimeoutMs);
        Undo(1);
        QCOMPARE(SavedBody(), loaded);
    }

    void tab_data() {
        QTest::addColumn<QPoint>("cell");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("steps"); // to undo, typing included
        QTest::newRow("to the next cell")
            << QPoint(1, 0) << Qt::KeyboardModifiers()
            << Table("<tr><td>a</td><td>b</td></tr><tr><td>zc</td><td>d</td></tr>") << 1;
        QTest::newRow("back") << QPoint(1, 0) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                              << Table(
                                     "<tr><td>za</td><td>b</td></tr><tr><td>c</td><td>d</td></tr>")
                              << 1;
        QTest::newRow("the last cell adds a row")
            << QPoint(1, 1) << Qt::KeyboardModifiers()
            << Table("<tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr>"
                     "<tr><td>z</td><td><br></td></tr>")
            << 2;
    }
    void tab() {
        QFETCH(QPoint, cell);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, after);
        QFETCH(int, steps);
        QVERIFY(Open(Table("<tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr>")));
        const QString loaded = SavedBody();
        CaretIn(cell);
        QTest::keyClick(PageWidget(), Qt::Key_Tab, modifiers);
        QTest::keyClick(PageWidget(), Qt::Key_Z);
        QTRY_COMPARE_WITH_TIMEOUT(SavedBody(), after, PageTimeoutMs);
        Undo(steps);
        QCOMPARE(SavedBody(), loaded);
    }
};

QTEST_MAIN(TestTableEdit)
#include "tst_TableEdit.moc"
