// Speed buttons: groups, states and faces.
#include "controls/qbGradiClrs.h"
#include "controls/qbGradiSpeedBtn.h"
#include "controls/qbGradient.h"
#include "controls/qbImageList.h"

#include <QSignalSpy>
#include <QtTest>

using namespace qbGradient;

namespace {

// The bounding box of the dark (caption) pixels.
QRect Ink(const QImage& image) {
    QRect box;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            if (qGray(image.pixel(x, y)) < 110)
                box |= QRect(x, y, 1, 1);
    return box;
}

struct TStatusBar {
    QWidget bar;
    TqbGradiColors* colors = TqbGradiColors::CreateColorsBrown(&bar);
    TqbGradiSpeedButton* tree = Make("Data", QRect(3, 1, 60, 21));
    TqbGradiSpeedButton* search = Make("Search", QRect(64, 1, 60, 21));
    TStatusBar() { tree->SetDown(true); }
    TqbGradiSpeedButton* Make(const QString& caption, const QRect& bounds) {
        auto* b = new TqbGradiSpeedButton(&bar);
        b->setText(caption);
        b->setGeometry(bounds);
        b->SetGroupIndex(100);
        b->SetRoundDegree(2);
        b->SetColors(colors);
        return b;
    }
    QColor Face(TqbGradiSpeedButton* b) const { return b->Render().pixelColor(4, 10); }
};

} // namespace

class TstGradiSpeedButton : public QObject {
    Q_OBJECT
private slots:
    void groupReleasesEachOther() {
        TStatusBar s;
        const QColor selected = ToColor(s.colors->clrSelected);
        QCOMPARE(s.Face(s.tree), selected);
        QVERIFY(s.Face(s.search) != selected);

        QSignalSpy clicks(s.search, &QAbstractButton::clicked);
        QTest::mouseClick(s.search, Qt::LeftButton, {}, QPoint(30, 10));
        QCOMPARE(clicks.count(), 1);
        QVERIFY(s.search->Down());
        QVERIFY(!s.tree->Down());
        QCOMPARE(s.Face(s.search), selected);
        QVERIFY(s.Face(s.tree) != selected);

        // Going down in code releases the other just the same.
        s.tree->SetDown(true);
        QVERIFY(!s.search->Down());
    }

    void clickOnADownButton_data() {
        QTest::addColumn<int>("group");
        QTest::addColumn<bool>("allowAllUp");
        QTest::addColumn<bool>("downAfterOneClick");
        QTest::addColumn<bool>("downAfterTwoClicks");
        QTest::newRow("no group never stays down") << 0 << false << false << false;
        QTest::newRow("group keeps its button down") << 7 << false << true << true;
        QTest::newRow("group allowing all up") << 7 << true << true << false;
    }
    void clickOnADownButton() {
        QFETCH(int, group);
        QFETCH(bool, allowAllUp);
        QFETCH(bool, downAfterOneClick);
        QFETCH(bool, downAfterTwoClicks);
        QWidget parent;
        TqbGradiSpeedButton b(&parent);
        b.resize(40, 20);
        b.SetGroupIndex(group);
        b.SetAllowAllUp(allowAllUp);
        QSignalSpy clicks(&b, &QAbstractButton::clicked);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(b.Down(), downAfterOneClick);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(b.Down(), downAfterTwoClicks);
        QCOMPARE(clicks.count(), 2);
        b.SetDown(false);
        QCOMPARE(b.Down(), downAfterTwoClicks && !allowAllUp);
    }

    void disabledDownButton() {
        TStatusBar s;
        s.tree->setEnabled(false);
        QCOMPARE(s.tree->State(), TqbGradiSpeedButton::Disabled);
        QCOMPARE(s.Face(s.tree), ToColor(s.colors->clrDisabled));
        s.tree->setEnabled(true);
        QCOMPARE(s.tree->State(), TqbGradiSpeedButton::Exclusive);
        QCOMPARE(s.Face(s.tree), ToColor(s.colors->clrSelected));
    }

    void captionShift_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("imageList");
        QTest::addColumn<int>("shift");
        QTest::newRow("pressed") << "pressed" << false << 1;
        QTest::newRow("pressed with image list") << "pressed" << true << 0;
        QTest::newRow("exclusive") << "exclusive" << false << 0;
    }
    void captionShift() {
        QFETCH(QString, state);
        QFETCH(bool, imageList);
        QFETCH(int, shift);
        TStatusBar s;
        TqbImageList list(QSize(16, 16));
        TqbGradiSpeedButton* b = s.search;
        if (imageList)
            b->SetImages(&list);
        const int left = Ink(b->Render()).left();
        if (state == "pressed")
            b->setDown(true);
        else
            b->SetDown(true);
        QCOMPARE(Ink(b->Render()).left(), left + shift);
    }

    void fontRotate_data() {
        QTest::addColumn<int>("angle");
        QTest::addColumn<bool>("upwards");
        QTest::newRow("900 runs upwards") << 900 << true;
        QTest::newRow("-900 stays level") << -900 << false;
        QTest::newRow("0 level") << 0 << false;
    }
    void fontRotate() {
        QFETCH(int, angle);
        QFETCH(bool, upwards);
        TqbGradiColors colors;
        TqbGradiSpeedButton b;
        b.resize(80, 80);
        b.setText("Search");
        b.SetColors(&colors);
        b.SetCapX(30);
        b.SetCapY(60);
        b.SetFontRotate(angle);
        const QRect ink = Ink(b.Render());
        QVERIFY(!ink.isEmpty());
        QCOMPARE(ink.height() > ink.width(), upwards);
        if (upwards)
            QVERIFY(ink.bottom() <= 62 && ink.top() < 40);
    }

    void iconOnlyWithAnIndex_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("icon");
        QTest::newRow("index 0") << 0 << true;
        QTest::newRow("index -1") << -1 << false;
    }
    void iconOnlyWithAnIndex() {
        QFETCH(int, index);
        QFETCH(bool, icon);
        TStatusBar s;
        TqbImageList list(QSize(16, 16));
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        list.Add(red);
        s.tree->SetImages(&list);
        s.tree->SetImageIndex(index);
        s.tree->SetIconX(3);
        s.tree->SetIconY(2);
        QCOMPARE(s.tree->Render().pixelColor(8, 8) == QColor(Qt::red), icon);
    }

    void withoutColorsTheToolkitsButton() {
        QWidget host;
        TqbGradiSpeedButton drawn(&host);
        QToolButton plain(&host);
        for (QToolButton* b : {static_cast<QToolButton*>(&drawn), &plain}) {
            b->setText("Data");
            b->setGeometry(0, 0, 60, 21);
        }
        QCOMPARE(drawn.grab().toImage(), plain.grab().toImage());
        TqbGradiColors colors;
        drawn.SetColors(&colors);
        QVERIFY(drawn.grab().toImage() != plain.grab().toImage());
    }

    void doubleClickWithoutHandlerIsASecondClick() {
        TqbGradiSpeedButton b;
        b.resize(40, 20);
        QSignalSpy clicks(&b, &QAbstractButton::clicked);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseDClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 2);
    }
};

QTEST_MAIN(TstGradiSpeedButton)
#include "tst_GradiSpeedButton.moc"
