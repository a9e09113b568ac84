// Where the main window opens and what closing stores, over monitors given as rectangles; the
// bounds of a maximized window; resizing from the painted edges.
#include "frames/qbFrameEdges.h"
#include "frames/qbPlacement.h"

#include <QtTest>

using namespace qbPlacement;

namespace {

// A 1920 x 1080 primary monitor with a 40-pixel panel at the bottom, and a 1280 x 1024 monitor
// to its right.
const TScreen Left{QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040), true};
const TScreen Right{QRect(1920, 0, 1280, 1024), QRect(1920, 0, 1280, 1024), false};
const QList<TScreen> Two{Left, Right};
// The frame's border and caption strip.
constexpr int CaptionHeight = 23;
// The same two with the primary one on the right.
const QList<TScreen> PrimaryRight{{Left.Geometry, Left.WorkArea, false},
                                  {Right.Geometry, Right.WorkArea, true}};

} // namespace

class TstPlacement : public QObject {
    Q_OBJECT
private slots:
    void nearestScreen_data() {
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<int>("screen");
        QTest::newRow("inside the first") << QRect(100, 100, 500, 400) << 0;
        QTest::newRow("inside the second") << QRect(2000, 100, 500, 400) << 1;
        QTest::newRow("mostly on the second") << QRect(1800, 100, 500, 400) << 1;
        QTest::newRow("mostly on the first") << QRect(1500, 100, 500, 400) << 0;
        QTest::newRow("off to the right: the closest") << QRect(4000, 100, 500, 400) << 1;
        QTest::newRow("off to the left: the closest") << QRect(-3000, 100, 500, 400) << 0;
        QTest::newRow("below the second only") << QRect(2500, 1100, 200, 200) << 1;
    }
    void nearestScreen() {
        QFETCH(QRect, rect);
        QFETCH(int, screen);
        QCOMPARE(NearestScreen(rect, Two), screen);
    }

    void defaultPlaceIsTheScreenLessFifty() {
        QCOMPARE(DefaultPlace(Two), QRect(25, 25, 1870, 1030));
        QCOMPARE(DefaultPlace(PrimaryRight), QRect(25, 25, 1230, 974));
    }

    void restoredPlace_data() {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("opens");
        QTest::newRow("on the first") << QRect(25, 25, 800, 600) << QRect(25, 25, 800, 600);
        QTest::newRow("on the second") << QRect(2000, 50, 800, 600) << QRect(2000, 50, 800, 600);
        QTest::newRow("partly off the left edge stays")
            << QRect(-300, 10, 800, 600) << QRect(-300, 10, 800, 600);
        QTest::newRow("caption above the top edge comes down")
            << QRect(-300, -10, 800, 600) << QRect(-300, 0, 800, 600);
        QTest::newRow("caption above the second monitor comes down onto it")
            << QRect(2000, -100, 800, 600) << QRect(2000, 0, 800, 600);
        QTest::newRow("caption under the panel comes up")
            << QRect(100, 1030, 800, 600) << QRect(100, 1017, 800, 600);
        QTest::newRow("too little caption left of the edge")
            << QRect(-790, 100, 800, 600) << QRect(-777, 100, 800, 600);
        QTest::newRow("caption across both monitors stays")
            << QRect(1900, 10, 800, 600) << QRect(1900, 10, 800, 600);
        QTest::newRow("monitor unplugged: primary work area")
            << QRect(3500, 100, 800, 600) << QRect(25, 25, 800, 600);
        QTest::newRow("far above: primary")
            << QRect(100, -5000, 800, 600) << QRect(25, 25, 800, 600);
        QTest::newRow("too big for the primary: shrunk to it")
            << QRect(5000, 0, 2500, 1500) << QRect(25, 25, 1870, 990);
    }
    void restoredPlace() {
        QFETCH(QRect, stored);
        QFETCH(QRect, opens);
        QCOMPARE(RestoredPlace(stored, Two, CaptionHeight), opens);
    }

    void placeToStore_data() {
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<bool>("writesLeftTop");
        QTest::addColumn<QPoint>("leftTop");
        QTest::addColumn<bool>("writesSize");
        QTest::addColumn<QSize>("size");
        QTest::newRow("normal: the window's bounds")
            << false << QRect(40, 50, 700, 500) << QRect(1, 2, 3, 4) << true << QPoint(40, 50)
            << true << QSize(700, 500);
        QTest::newRow("maximized on the stored rectangle's monitor: nothing moves")
            << true << Left.WorkArea << QRect(100, 80, 700, 500) << false << QPoint() << false
            << QSize();
        QTest::newRow("maximized on the second: left and top move there")
            << true << Right.WorkArea << QRect(100, 80, 700, 500) << true << QPoint(2020, 80)
            << false << QSize();
        QTest::newRow("maximized on the first, stored on the second: back by the offset")
            << true << Left.WorkArea << QRect(2020, 80, 700, 500) << true << QPoint(100, 80)
            << false << QSize();
    }
    void placeToStore() {
        QFETCH(bool, maximized);
        QFETCH(QRect, window);
        QFETCH(QRect, stored);
        QFETCH(bool, writesLeftTop);
        QFETCH(QPoint, leftTop);
        QFETCH(bool, writesSize);
        QFETCH(QSize, size);
        const TPlaceToStore place = PlaceToStore(maximized, window, stored, Two);
        QCOMPARE(place.Maximized, maximized);
        QCOMPARE(place.LeftTop.has_value(), writesLeftTop);
        if (writesLeftTop)
            QCOMPARE(*place.LeftTop, leftTop);
        QCOMPARE(place.Size.has_value(), writesSize);
        if (writesSize)
            QCOMPARE(*place.Size, size);
    }

    void fitToWorkArea_data() {
        QTest::addColumn<QRect>("monitor");
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<bool>("primary");
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("primary with a 40-pixel panel: bottom border inside")
            << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1920, 1040) << true
            << QRect(-4, -4, 1928, 1044);
        QTest::newRow("primary with a panel on top")
            << QRect(0, 0, 1920, 1080) << QRect(0, 30, 1920, 1050) << true
            << QRect(-4, 26, 1928, 1054);
        QTest::newRow("primary with a hidden 2-pixel panel: last row left free")
            << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1920, 1078) << true
            << QRect(-4, -4, 1928, 1081);
        QTest::newRow("primary without a panel")
            << QRect(0, 0, 1280, 800) << QRect(0, 0, 1280, 800) << true
            << QRect(-4, -4, 1288, 803);
        QTest::newRow("another monitor: all around it, panel or not")
            << QRect(1920, 0, 1280, 1024) << QRect(1920, 0, 1280, 990) << false
            << QRect(1916, -4, 1288, 1032);
    }
    void fitToWorkArea() {
        QFETCH(QRect, monitor);
        QFETCH(QRect, workArea);
        QFETCH(bool, primary);
        QFETCH(QRect, bounds);
        QCOMPARE(FitToWorkArea({monitor, workArea, primary}), bounds);
    }

    void edgesAt_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("edges");
        const int l = Qt::LeftEdge, t = Qt::TopEdge, r = Qt::RightEdge, b = Qt::BottomEdge;
        QTest::newRow("inside") << QPoint(200, 150) << 0;
        QTest::newRow("just inside the border") << QPoint(4, 150) << 0;
        QTest::newRow("left") << QPoint(0, 150) << l;
        QTest::newRow("left, last border column") << QPoint(3, 150) << l;
        QTest::newRow("right") << QPoint(399, 150) << r;
        QTest::newRow("top") << QPoint(200, 0) << t;
        QTest::newRow("bottom") << QPoint(200, 298) << b;
        QTest::newRow("top-left corner") << QPoint(0, 0) << (l | t);
        QTest::newRow("left edge near the top") << QPoint(1, 15) << (l | t);
        QTest::newRow("left edge past the corner") << QPoint(1, 16) << l;
        QTest::newRow("top edge near the right") << QPoint(390, 2) << (t | r);
        QTest::newRow("bottom-right corner") << QPoint(399, 299) << (r | b);
        QTest::newRow("bottom edge near the left") << QPoint(10, 297) << (l | b);
        QTest::newRow("outside") << QPoint(400, 150) << 0;
    }
    void edgesAt() {
        QFETCH(QPoint, at);
        QFETCH(int, edges);
        QCOMPARE(int(qbFrameEdges::EdgesAt(at, QSize(400, 300), 4)), edges);
    }

    void resized_data() {
        QTest::addColumn<int>("edges");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("result");
        const QRect start(100, 100, 500, 400);
        QTest::newRow("bottom-right grows") << int(Qt::RightEdge | Qt::BottomEdge) << QPoint(30, 20)
                                            << QRect(100, 100, 530, 420);
        QTest::newRow("left moves the left edge only") << int(Qt::LeftEdge) << QPoint(-50, 9)
                                                       << QRect(50, 100, 550, 400);
        QTest::newRow("top-left shrinks") << int(Qt::LeftEdge | Qt::TopEdge) << QPoint(100, 50)
                                          << QRect(200, 150, 400, 350);
        QTest::newRow("right stops at the minimum width")
            << int(Qt::RightEdge) << QPoint(-400, 0) << QRect(100, 100, 300, 400);
        QTest::newRow("left stops at the minimum, right edge stays")
            << int(Qt::LeftEdge) << QPoint(400, 0) << QRect(300, 100, 300, 400);
        QTest::newRow("top stops at the minimum height")
            << int(Qt::TopEdge) << QPoint(0, 500) << QRect(100, 300, 500, 200);
    }
    void resized() {
        QFETCH(int, edges);
        QFETCH(QPoint, delta);
        QFETCH(QRect, result);
        QCOMPARE(qbFrameEdges::Resized(QRect(100, 100, 500, 400), Qt::Edges(edges), delta,
                                       QSize(MinWidth, MinHeight)),
                 result);
    }
};

QTEST_APPLESS_MAIN(TstPlacement)
#include "tst_Placement.moc"
