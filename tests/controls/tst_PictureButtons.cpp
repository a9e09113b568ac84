// Image-list buttons, blank and colour panels.
#include "controls/qbBlankPnl.h"
#include "controls/qbColorPanel.h"
#include "controls/qbImageList.h"
#include "controls/qbImglstBtn.h"

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QColor Idle(200, 0, 0), Enter(0, 200, 0), Click(0, 0, 200), Disable(90, 90, 90);

QImage Solid(const QColor& color) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// Black where a press counts, white in the 4x4 corners.
QImage CornerMask() {
    QImage image = Solid(Qt::black);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x < 4 || x >= 12) && (y < 4 || y >= 12))
                image.setPixel(x, y, qRgb(255, 255, 255));
    return image;
}

// Cells: 0 idle, 1 enter, 2 click, 3 mask, 4 disable.
struct TButtonFixture {
    TqbImageList list{QSize(16, 16)};
    TqbImageListButton button;
    TButtonFixture() {
        for (const QColor& c : {Idle, Enter, Click})
            list.Add(Solid(c));
        list.Add(CornerMask());
        list.Add(Solid(Disable));
        button.resize(16, 16);
        button.SetImageList(&list);
        button.SetIndexButton(0);
        button.SetIndexEnter(1);
        button.SetIndexClick(2);
        button.SetIndexMask(3);
    }
    QColor Shown() const { return button.Render().pixelColor(8, 8); }
};

// What the system sends for a double click: press, release, double click, release.
void DoubleClick(QWidget* w, QPoint at) {
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

} // namespace

class TstPictureButtons : public QObject {
    Q_OBJECT
private slots:
    void maskDecidesThePress_data() {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("clicks");
        QTest::newRow("corner, masked") << 3 << QPoint(1, 1) << false;
        QTest::newRow("far corner, masked") << 3 << QPoint(14, 14) << false;
        QTest::newRow("edge middle, masked") << 3 << QPoint(1, 8) << true;
        QTest::newRow("centre, masked") << 3 << QPoint(8, 8) << true;
        QTest::newRow("corner, no mask") << -1 << QPoint(1, 1) << true;
        QTest::newRow("centre, no mask") << -1 << QPoint(8, 8) << true;
    }
    void maskDecidesThePress() {
        QFETCH(int, mask);
        QFETCH(QPoint, at);
        QFETCH(bool, clicks);
        TButtonFixture f;
        f.button.SetIndexMask(mask);
        QSignalSpy spy(&f.button, &QPushButton::clicked);
        QTest::mousePress(&f.button, Qt::LeftButton, {}, at);
        QCOMPARE(f.button.isDown(), clicks);
        QCOMPARE(f.Shown(), clicks ? Click : Idle);
        QTest::mouseRelease(&f.button, Qt::LeftButton, {}, at);
        QCOMPARE(spy.count(), clicks ? 1 : 0);
    }

    void pictureByState_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("hot");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<int>("disable");
        QTest::addColumn<QColor>("shown");
        QTest::newRow("idle") << true << false << false << -1 << Idle;
        QTest::newRow("hot") << true << true << false << -1 << Enter;
        QTest::newRow("pressed") << true << false << true << -1 << Click;
        QTest::newRow("pressed while hot") << true << true << true << -1 << Click;
        QTest::newRow("disabled without own picture") << false << false << false << -1 << Click;
        QTest::newRow("disabled with own picture") << false << true << false << 4 << Disable;
    }
    void pictureByState() {
        QFETCH(bool, enabled);
        QFETCH(bool, hot);
        QFETCH(bool, pressed);
        QFETCH(int, disable);
        QFETCH(QColor, shown);
        TButtonFixture f;
        f.button.SetIndexDisable(disable);
        f.button.setEnabled(enabled);
        if (hot) {
            QEnterEvent enter(QPointF(8, 8), QPointF(8, 8), QPointF(8, 8));
            QCoreApplication::sendEvent(&f.button, &enter);
        }
        f.button.setDown(pressed);
        QCOMPARE(f.Shown(), shown);
    }

    void withoutImageListIsAPlainButton() {
        QWidget host;
        TqbImageListButton drawn(&host);
        QPushButton plain(&host);
        for (QPushButton* b : {static_cast<QPushButton*>(&drawn), &plain}) {
            b->setText("OK");
            b->setGeometry(0, 0, 60, 24);
        }
        QCOMPARE(drawn.grab().toImage(), plain.grab().toImage());

        // Losing the list makes it plain again.
        auto* list = new TqbImageList(QSize(16, 16));
        list->Add(Solid(Idle));
        drawn.SetImageList(list);
        drawn.SetIndexButton(0);
        QVERIFY(drawn.grab().toImage() != plain.grab().toImage());
        delete list;
        QVERIFY(!drawn.ImageList());
        QCOMPARE(drawn.grab().toImage(), plain.grab().toImage());
    }

    void doubleClick_data() {
        QTest::addColumn<bool>("handler");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("doubleClicks");
        QTest::newRow("no handler: a second click") << false << 2 << 0;
        QTest::newRow("handler") << true << 1 << 1;
    }
    void doubleClick() {
        QFETCH(bool, handler);
        QFETCH(int, clicks);
        QFETCH(int, doubleClicks);
        TButtonFixture f;
        int dbl = 0;
        if (handler)
            connect(&f.button, &TqbDrawnButton::DblClick, this, [&] { ++dbl; });
        QSignalSpy spy(&f.button, &QPushButton::clicked);
        DoubleClick(&f.button, QPoint(8, 8));
        QCOMPARE(spy.count(), clicks);
        QCOMPARE(dbl, doubleClicks);
    }

    void blankPanelPaintsOnlyThroughItsHandler() {
        QWidget parent;
        parent.resize(40, 40);
        parent.setAutoFillBackground(true);
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, QColor(255, 0, 0));
        parent.setPalette(pal);
        TqbBlankPanel panel(&parent);
        panel.setGeometry(10, 10, 20, 20);
        QCOMPARE(parent.grab().toImage().pixelColor(20, 20), QColor(255, 0, 0));

        connect(&panel, &TqbBlankPanel::Paint, this,
                [](QPainter& p) { p.fillRect(QRect(0, 0, 5, 5), QColor(0, 0, 255)); });
        const QImage shown = parent.grab().toImage();
        QCOMPARE(shown.pixelColor(12, 12), QColor(0, 0, 255));
        QCOMPARE(shown.pixelColor(20, 20), QColor(255, 0, 0));
    }

    void colorPanelLines_data() {
        QTest::addColumn<int>("thick");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("shown");
        const QColor face(241, 241, 239), left(255, 0, 0), right(0, 255, 0), bottom(0, 0, 255);
        // 20 x 10 panel, top line off.
        QTest::newRow("left") << 1 << QPoint(0, 5) << left;
        QTest::newRow("left reaches the bottom") << 1 << QPoint(0, 8) << left;
        QTest::newRow("no top line") << 1 << QPoint(10, 0) << face;
        QTest::newRow("top-left corner is the left line") << 1 << QPoint(0, 0) << left;
        QTest::newRow("right") << 1 << QPoint(19, 5) << right;
        QTest::newRow("right starts at the top") << 1 << QPoint(19, 0) << right;
        QTest::newRow("bottom") << 1 << QPoint(10, 9) << bottom;
        QTest::newRow("bottom over the corners") << 1 << QPoint(19, 9) << bottom;
        QTest::newRow("inside") << 1 << QPoint(1, 1) << face;
        QTest::newRow("thick left, third pixel") << 3 << QPoint(2, 5) << left;
        QTest::newRow("thick left, fourth pixel") << 3 << QPoint(3, 5) << face;
        QTest::newRow("thick right, third pixel") << 3 << QPoint(17, 5) << right;
        QTest::newRow("thick bottom, third pixel") << 3 << QPoint(10, 7) << bottom;
        QTest::newRow("thick, no top") << 3 << QPoint(10, 2) << face;
    }
    void colorPanelLines() {
        QFETCH(int, thick);
        QFETCH(QPoint, at);
        QFETCH(QColor, shown);
        TqbColorPanel panel;
        panel.resize(20, 10);
        panel.SetColor(QColor(241, 241, 239));
        panel.SetBorderThick(thick);
        panel.SetclrLeft(0x0000FF);
        panel.SetclrTop(TqbColorPanel::NoLine);
        panel.SetclrRight(0x00FF00);
        panel.SetclrBottom(0xFF0000);
        QCOMPARE(panel.Render().pixelColor(at), shown);
        const int sides[4] = {1, TqbColorPanel::NoLine, 2, 3};
        QCOMPARE(TqbColorPanel::SideLines(QSize(20, 10), thick, sides).size(), size_t(3));
    }

    void colorPanelReportsThePointer() {
        TqbColorPanel panel;
        QSignalSpy in(&panel, &TqbColorPanel::MouseEnter);
        QSignalSpy out(&panel, &TqbColorPanel::MouseLeave);
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(&panel, &enter);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&panel, &leave);
        QCOMPARE(in.count(), 1);
        QCOMPARE(out.count(), 1);
        QCOMPARE(in.first().first().value<TqbColorPanel*>(), &panel);
    }
};

QTEST_MAIN(TstPictureButtons)
#include "tst_PictureButtons.moc"
