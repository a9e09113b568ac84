// The colour palette's geometry and rules, and how the picker draws them.
#include "controls/qbColorPalette.h"
#include "controls/qbColorPicker.h"

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <cmath>

using namespace qbColorPalette;

namespace {

TPaletteLayout MakeLayout(bool withDefault, bool withCustom, bool system = false) {
    TLayoutOptions options;
    options.Edge = 2;
    options.Spacing = 8;
    options.ShowDefault = withDefault;
    options.ShowCustom = withCustom;
    options.ShowSystemColors = system;
    options.TextSize = QSize(60, 15);
    return TPaletteLayout(options);
}

constexpr int Rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

} // namespace

class TestColorPalette : public QObject {
    Q_OBJECT
private slots:
    void layoutNumbers_data() {
        QTest::addColumn<bool>("withDefault");
        QTest::addColumn<bool>("withCustom");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("fullHeight");
        QTest::addColumn<QPoint>("cell0");
        QTest::newRow("grid only") << false << false << 164 << 98 << 98 << QPoint(10, 4);
        QTest::newRow("default") << true << false << 164 << 127 << 127 << QPoint(10, 33);
        QTest::newRow("default and custom") << true << true << 164 << 156 << 308 << QPoint(10, 33);
    }
    void layoutNumbers() {
        QFETCH(bool, withDefault);
        QFETCH(bool, withCustom);
        const TPaletteLayout layout = MakeLayout(withDefault, withCustom);
        QTEST(layout.Width(), "width");
        QTEST(layout.Height(), "height");
        QTEST(layout.FullHeight(), "fullHeight");
        QTEST(layout.CellRect(0).topLeft(), "cell0");
        QCOMPARE(layout.CellRect(39),
                 QRect(layout.CellRect(0).topLeft() + QPoint(7 * 18, 4 * 18), QSize(18, 18)));
        QCOMPARE(layout.LastCell(), 39);
    }

    void itemAndSectionRectangles() {
        const TPaletteLayout layout = MakeLayout(true, true);
        QCOMPARE(layout.DefaultRect(), QRect(QPoint(10, 4), QPoint(153, 28)));
        QCOMPARE(layout.CustomRect(), QRect(QPoint(10, 127), QPoint(153, 151)));
        QCOMPARE(layout.CustomSwatch(), QRect(136 + 3, 127 + 3 + 3, 12, 12));
        QCOMPARE(layout.CombRect(), QRect(10, 156, 126, 126));
        QCOMPARE(layout.GreyRect(), QRect(QPoint(10, 278), QPoint(156, 303)));
        QCOMPARE(layout.SliderRect().width(), 20);
        QCOMPARE(layout.SliderRect().top(), 156 + 11);
        QCOMPARE(layout.SliderRect().bottom(), 156 + 126 - 11 - 1);
        QVERIFY(layout.SliderRect().left() > layout.CombRect().right());
        QVERIFY(layout.SliderRect().right() < layout.Width() - 2);
    }

    void negativeSpacingCountsAsZero() {
        TLayoutOptions options;
        options.Spacing = -5;
        QCOMPARE(TPaletteLayout(options).Width(), 144 + 4);
    }

    void systemColoursAddFourRows() {
        const TPaletteLayout layout = MakeLayout(false, false, true);
        QCOMPARE(layout.LastCell(), 64);
        QCOMPARE(layout.SystemTop(), 4 + 90 + 6);
        QCOMPARE(layout.CellRect(40).topLeft(), QPoint(10, 100));
        QCOMPARE(layout.CellRect(64).topLeft(), QPoint(10, 100 + 3 * 18));
        QCOMPARE(layout.Height(), 100 + 4 * 18 + 4);
        QCOMPARE(SystemColorName(13), QString("system color: highlight"));
    }

    void namedColours_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("color");
        QTest::newRow("first") << 0 << "Black" << 0;
        QTest::newRow("brown") << 1 << "Brown" << Rgb(153, 51, 0);
        QTest::newRow("grey 40") << 23 << "Grey-40%" << Rgb(150, 150, 150);
        QTest::newRow("sky blue") << 29 << "Sky Blue" << Rgb(0, 204, 255);
        QTest::newRow("last") << 39 << "White" << Rgb(255, 255, 255);
    }
    void namedColours() {
        QFETCH(int, index);
        QTEST(QString::fromLatin1(GridColor(index).Name), "name");
        QTEST(GridColor(index).Color, "color");
    }

    void honeycombCorners_data() {
        QTest::addColumn<int>("sector");
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("angle");
        QTest::newRow("magenta") << 0 << Rgb(255, 0, 255) << 90;
        QTest::newRow("red") << 1 << Rgb(255, 0, 0) << 30;
        QTest::newRow("yellow") << 2 << Rgb(255, 255, 0) << -30;
        QTest::newRow("green") << 3 << Rgb(0, 255, 0) << -90;
        QTest::newRow("cyan") << 4 << Rgb(0, 255, 255) << -150;
        QTest::newRow("blue") << 5 << Rgb(0, 0, 255) << 150;
    }
    void honeycombCorners() {
        QFETCH(int, sector);
        QFETCH(int, angle);
        const std::vector<TCell> cells = CombCells(1.0);
        QCOMPARE(int(cells.size()), 127);
        // Each sector holds 1 + 2 + ... + 6 cells; the outer ring starts 15 cells in.
        const TCell& corner = cells[1 + 21 * sector + 15];
        QTEST(corner.Color, "color");
        const double reach = 63 * std::cos(M_PI / 6);
        const double a = angle * M_PI / 180;
        QCOMPARE(qRound(corner.Center.x() * 100), qRound((63 + reach * std::cos(a)) * 100));
        QCOMPARE(qRound(corner.Center.y() * 100), qRound((63 - reach * std::sin(a)) * 100));
    }

    void honeycombCentreFollowsIntensity_data() {
        QTest::addColumn<double>("intensity");
        QTest::addColumn<int>("color");
        QTest::newRow("full") << 1.0 << Rgb(255, 255, 255);
        QTest::newRow("half") << 0.5 << Rgb(128, 128, 128);
        QTest::newRow("none") << 0.0 << 0;
    }
    void honeycombCentreFollowsIntensity() {
        QFETCH(double, intensity);
        const std::vector<TCell> cells = CombCells(intensity);
        QCOMPARE(cells[0].Center, QPointF(63, 63));
        QTEST(cells[0].Color, "color");
        // Ring one of sector 0 lies a sixth of the way to magenta.
        QCOMPARE(cells[1].Color, Rgb(qRound((intensity + (1 - intensity) / 6) * 255),
                                     qRound(intensity * 5 / 6 * 255),
                                     qRound((intensity + (1 - intensity) / 6) * 255)));
    }

    void honeycombCellsAreDistinctPlaces() {
        const std::vector<TCell> cells = CombCells(1.0);
        for (size_t i = 0; i < cells.size(); ++i)
            for (size_t j = i + 1; j < cells.size(); ++j)
                QVERIFY2(QLineF(cells[i].Center, cells[j].Center).length() > 8,
                         qPrintable(QString("%1 %2").arg(i).arg(j)));
    }

    void greyRow_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<int>("level");
        QTest::newRow("white") << 0 << QPointF(11, 11) << 255;
        QTest::newRow("first small") << 1 << QPointF(33, 6) << 225;
        QTest::newRow("second small, lower") << 2 << QPointF(38, 14) << 210;
        QTest::newRow("last small") << 15 << QPointF(33 + 14 * 5, 6) << 15;
        QTest::newRow("black") << 16 << QPointF(124, 11) << 0;
    }
    void greyRow() {
        QFETCH(int, index);
        QFETCH(int, level);
        const std::vector<TCell> cells = GreyCells();
        QCOMPARE(int(cells.size()), 17);
        QTEST(cells[index].Center, "centre");
        QCOMPARE(cells[index].Color, Rgb(level, level, level));
        QCOMPARE(IsLargeGreyCell(index), index == 0 || index == 16);
    }

    void hitTesting_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("item");
        QTest::newRow("default item") << QPoint(80, 10) << DefaultItem;
        QTest::newRow("custom item") << QPoint(80, 140) << CustomItem;
        QTest::newRow("first cell") << QPoint(11, 34) << 0;
        QTest::newRow("second column") << QPoint(28, 34) << 1;
        QTest::newRow("second row") << QPoint(11, 51) << 8;
        QTest::newRow("last cell") << QPoint(153, 122) << 39;
        QTest::newRow("left margin") << QPoint(5, 40) << NoItem;
        QTest::newRow("right margin") << QPoint(158, 40) << NoItem;
        QTest::newRow("between default and grid") << QPoint(80, 31) << NoItem;
        QTest::newRow("custom section") << QPoint(70, 200) << NoItem;
    }
    void hitTesting() {
        QFETCH(QPoint, point);
        QTEST(MakeLayout(true, true).HitItem(point), "item");
    }

    void hitTestingCells() {
        const std::vector<TCell> comb = CombCells(1.0);
        QCOMPARE(HitCombCell(comb, QPointF(63, 63)), 0);
        QCOMPARE(HitCombCell(comb, comb[100].Center + QPointF(3, 3)), 100);
        QCOMPARE(HitCombCell(comb, QPointF(0, 0)), -1);
        const std::vector<TCell> greys = GreyCells();
        QCOMPARE(HitGreyCell(greys, QPointF(11 + 10, 11)), 0); // large: within H
        QCOMPARE(HitGreyCell(greys, QPointF(38, 14 + 5)), 2);  // small: within H div 2
        QCOMPARE(HitGreyCell(greys, QPointF(140, 25)), -1);
    }

    void keyboardNavigation_data() {
        QTest::addColumn<bool>("withDefault");
        QTest::addColumn<bool>("withCustom");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        const int L = Qt::Key_Left, R = Qt::Key_Right, U = Qt::Key_Up, D = Qt::Key_Down;
        QTest::newRow("left in a row") << true << true << L << 5 << 4;
        QTest::newRow("left wraps a row") << true << true << L << 8 << 7;
        QTest::newRow("left from first to default") << true << true << L << 0 << DefaultItem;
        QTest::newRow("left from first to custom") << false << true << L << 0 << CustomItem;
        QTest::newRow("left from first to last") << false << false << L << 0 << 39;
        QTest::newRow("left from default to custom")
            << true << true << L << DefaultItem << CustomItem;
        QTest::newRow("left from default to last") << true << false << L << DefaultItem << 39;
        QTest::newRow("left from custom to last") << true << true << L << CustomItem << 39;
        QTest::newRow("up a row") << true << true << U << 12 << 4;
        QTest::newRow("up from first row") << true << true << U << 3 << DefaultItem;
        QTest::newRow("up from first row, no items") << false << false << U << 3 << 39;
        QTest::newRow("right in a row") << true << true << R << 4 << 5;
        QTest::newRow("right wraps a row") << true << true << R << 7 << 8;
        QTest::newRow("right past last to custom") << true << true << R << 39 << CustomItem;
        QTest::newRow("right past last to default") << true << false << R << 39 << DefaultItem;
        QTest::newRow("right past last to first") << false << false << R << 39 << 0;
        QTest::newRow("right from default") << true << true << R << DefaultItem << 0;
        QTest::newRow("right from custom to default")
            << true << true << R << CustomItem << DefaultItem;
        QTest::newRow("right from custom to first") << false << true << R << CustomItem << 0;
        QTest::newRow("down a row") << true << true << D << 4 << 12;
        QTest::newRow("down past last row") << true << true << D << 35 << CustomItem;
        QTest::newRow("down past last row, no items") << false << false << D << 35 << 0;
        QTest::newRow("down from default") << true << true << D << DefaultItem << 0;
        QTest::newRow("down from custom") << false << true << D << CustomItem << 0;
        QTest::newRow("from nothing") << true << true << R << NoItem << 1;
    }
    void keyboardNavigation() {
        QFETCH(bool, withDefault);
        QFETCH(bool, withCustom);
        QFETCH(int, key);
        QFETCH(int, from);
        QTEST(MakeLayout(withDefault, withCustom).Navigate(key, from), "to");
    }

    void keyboardNavigationWithSystemColours() {
        const TPaletteLayout layout = MakeLayout(false, false, true);
        QCOMPARE(layout.Navigate(Qt::Key_Left, 0), 64);
        QCOMPARE(layout.Navigate(Qt::Key_Right, 39), 40);
        QCOMPARE(layout.Navigate(Qt::Key_Right, 64), 0);
    }

    void colourMatching_data() {
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("comb");
        QTest::newRow("nothing") << NoColor << NoItem << 0;
        QTest::newRow("default") << DefaultColor << DefaultItem << 0;
        QTest::newRow("black, a grid colour before the grey") << 0 << 0 << 0;
        QTest::newRow("grid red") << Rgb(255, 0, 0) << 16 << 0;
        QTest::newRow("grid white") << Rgb(255, 255, 255) << 39 << 0;
        QTest::newRow("grey 225") << Rgb(225, 225, 225) << CustomItem << -2;
        QTest::newRow("honeycomb ring one") << CombCells(1.0)[1].Color << CustomItem << 2;
        QTest::newRow("no match") << Rgb(1, 2, 3) << NoItem << 0;
        QTest::newRow("system colour hidden") << (SystemColorFlag | 5) << NoItem << 0;
    }
    void colourMatching() {
        QFETCH(int, color);
        const TMatch match = MatchColor(color, false, CombCells(1.0), GreyCells());
        QTEST(match.Item, "item");
        QTEST(match.Comb, "comb");
    }

    void systemColourMatchesItsCell() {
        QCOMPARE(MatchColor(SystemColorFlag | 5, true, CombCells(1.0), GreyCells()).Item, 45);
    }

    void intensityFromSlider_data() {
        QTest::addColumn<int>("y");
        QTest::addColumn<double>("intensity");
        QTest::newRow("top") << 100 << 1.0;
        QTest::newRow("above") << 50 << 1.0;
        QTest::newRow("middle") << 150 << 0.5;
        QTest::newRow("bottom") << 200 << 0.0;
        QTest::newRow("below") << 300 << 0.0;
    }
    void intensityFromSlider() {
        QFETCH(int, y);
        QTEST(IntensityAt(QRect(QPoint(0, 100), QPoint(19, 200)), y), "intensity");
    }

    void placement_data() {
        QTest::addColumn<QRect>("button");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("below the button") << QRect(100, 100, 41, 22) << QPoint(99, 122);
        QTest::newRow("near the bottom: above") << QRect(100, 700, 41, 22) << QPoint(99, 700 - 300);
        QTest::newRow("slightly low: ends at the bottom")
            << QRect(100, 460, 41, 22) << QPoint(99, 768 - 300);
        QTest::newRow("right edge") << QRect(1000, 100, 41, 22) << QPoint(1024 - 164, 122);
        QTest::newRow("left edge") << QRect(0, 100, 41, 22) << QPoint(0, 122);
    }
    void placement() {
        QFETCH(QRect, button);
        QTEST(PlacePopup(button, QSize(164, 300), QRect(0, 0, 1024, 768)), "place");
    }

    // Where hexagons of the honeycomb meet, only their colours show: drawn on a black and on a
    // white background, the inside of the honeycomb comes out the same.
    void honeycombShowsNoBackgroundWhereCellsMeet() {
        TColorPickerButton button;
        button.SetCustomText(QStringLiteral("사용자 색상"));
        TColorPopup* popup = button.Popup();
        popup->SelectColor(popup->CombCells()[5].Color);
        QVERIFY(popup->CustomSectionOpen());
        const auto drawOn = [popup](Qt::GlobalColor background) {
            QPalette palette = popup->palette();
            palette.setColor(QPalette::Button, background);
            popup->setPalette(palette);
            return popup->grab().toImage();
        };
        const QImage onBlack = drawOn(Qt::black);
        const QImage onWhite = drawOn(Qt::white);
        // Inside the outer ring every point belongs to some cell.
        const QRect comb = popup->PaletteLayout().CombRect();
        const QPointF centre = comb.topLeft() + popup->CombCells().front().Center;
        const double inner = CombHalfSize * std::cos(qDegreesToRadians(30.0)) * 5 / 6;
        int checked = 0;
        for (int y = comb.top(); y <= comb.bottom(); ++y)
            for (int x = comb.left(); x <= comb.right(); ++x) {
                if (std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y()) > inner)
                    continue;
                ++checked;
                // A trace of coverage rounding is no dot; a gap differs by far more.
                const QColor black = onBlack.pixelColor(x, y), white = onWhite.pixelColor(x, y);
                const int apart = std::max({std::abs(black.red() - white.red()),
                                            std::abs(black.green() - white.green()),
                                            std::abs(black.blue() - white.blue())});
                QVERIFY2(apart <= 3, qPrintable(QString("a gap at %1,%2").arg(x).arg(y)));
            }
        QVERIFY(checked > 1000);
    }

    void windowsColourLayout() {
        QCOMPARE(ToColorRef(QColor(0x11, 0x22, 0x33)), 0x332211);
        QCOMPARE(FromColorRef(0x332211), QColor(0x11, 0x22, 0x33));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TestColorPalette test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ColorPalette.moc"
