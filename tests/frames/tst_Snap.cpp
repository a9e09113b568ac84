// Drag snapping, one step of the drag at a time, over a 1920 x 1040 work area.
#include "frames/qbSnap.h"

#include <QtTest>

using namespace qbSnap;

namespace {

const QRect Work(0, 0, 1920, 1040);
const QPoint Grab(100, 8); // the caption was taken 100 pixels in from the window's left

} // namespace

class TstSnap : public QObject {
    Q_OBJECT
private slots:
    void snapRectIsTheWorkAreaOnThePrimaryOnly() {
        const QRect monitor(0, 0, 1920, 1080);
        QCOMPARE(SnapRect(monitor, Work, true), Work);
        QCOMPARE(SnapRect(monitor, Work, false), monitor);
    }

    void moving_data() {
        QTest::addColumn<QRect>("proposed");
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<QRect>("result");
        const QSize size(800, 600);
        // A window following the pointer exactly has its origin at cursor - Grab.
        QTest::newRow("free in the middle")
            << QRect(QPoint(500, 300), size) << QPoint(600, 308) << QRect(QPoint(500, 300), size);
        QTest::newRow("14 from the left: flush")
            << QRect(QPoint(14, 300), size) << QPoint(114, 308) << QRect(QPoint(0, 300), size);
        QTest::newRow("15 from the left: free")
            << QRect(QPoint(15, 300), size) << QPoint(115, 308) << QRect(QPoint(15, 300), size);
        QTest::newRow("past the left edge by 14: flush")
            << QRect(QPoint(-14, 300), size) << QPoint(86, 308) << QRect(QPoint(0, 300), size);
        QTest::newRow("14 from the right: flush")
            << QRect(QPoint(1106, 300), size) << QPoint(1206, 308)
            << QRect(QPoint(1120, 300), size);
        QTest::newRow("14 from the top: flush")
            << QRect(QPoint(500, 14), size) << QPoint(600, 22) << QRect(QPoint(500, 0), size);
        QTest::newRow("13 from the bottom: flush")
            << QRect(QPoint(500, 427), size) << QPoint(600, 435) << QRect(QPoint(500, 440), size);
        QTest::newRow("a corner: both")
            << QRect(QPoint(10, 5), size) << QPoint(110, 13) << QRect(QPoint(0, 0), size);
        QTest::newRow("left wins over right in a narrow area")
            << QRect(QPoint(10, 300), QSize(1915, 600)) << QPoint(110, 308)
            << QRect(QPoint(0, 300), QSize(1915, 600));
        // Held flush while the pointer drifts: the window stays snapped...
        QTest::newRow("held: pointer 30 off")
            << QRect(QPoint(12, 300), size) << QPoint(142, 308) << QRect(QPoint(0, 300), size);
        // ... and follows the pointer again once it is more than 30 off.
        QTest::newRow("released: pointer 31 off horizontally")
            << QRect(QPoint(12, 300), size) << QPoint(143, 308) << QRect(QPoint(43, 300), size);
        QTest::newRow("released horizontally keeps the proposed top")
            << QRect(QPoint(12, 5), size) << QPoint(143, 13) << QRect(QPoint(43, 5), size);
        QTest::newRow("released: pointer 31 off vertically")
            << QRect(QPoint(500, 3), size) << QPoint(600, 42) << QRect(QPoint(500, 34), size);
    }
    void moving() {
        QFETCH(QRect, proposed);
        QFETCH(QPoint, cursor);
        QFETCH(QRect, result);
        QCOMPARE(Moving(proposed, cursor, Grab, Work, false), result);
    }

    void maximizedStaysAsProposed() {
        const QRect proposed(10, 5, 800, 600);
        QCOMPARE(Moving(proposed, QPoint(500, 500), Grab, Work, true), proposed);
    }

    // A drag from the middle towards the left edge and on past it, the way the move loop
    // proposes each step: the last rectangle moved by the pointer's step.
    void dragSticksThenLetsGo() {
        QRect window(QPoint(100, 300), QSize(800, 600));
        QPoint last = window.topLeft() + Grab;
        QList<int> lefts;
        const int from = last.x();
        for (int x = from - 10; x >= from - 160; x -= 10) {
            const QPoint cursor(x, last.y());
            window = Moving(window.translated(cursor - last), cursor, Grab, Work, false);
            last = cursor;
            lefts << window.left();
        }
        // Free down to 20, flush from 10 on while the pointer goes 40 further, then at the
        // pointer again.
        QCOMPARE(lefts, (QList<int>{90, 80, 70, 60, 50, 40, 30, 20, 0, 0, 0, 0, 0, 0, -50, -60}));
    }
};

QTEST_APPLESS_MAIN(TstSnap)
#include "tst_Snap.moc"
