// The gradient arithmetic and the faces of the gradient and glossy buttons, on rendered images.
#include "controls/qbGradiBtn.h"
#include "controls/qbGradiClrs.h"
#include "controls/qbGradient.h"
#include "controls/qbImageList.h"
#include "controls/qbXpBtn.h"

#include <QSignalSpy>
#include <QtTest>

using namespace qbGradient;

namespace {

int Rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

QColor Qc(int color) {
    return ToColor(color);
}

// The leftmost column holding a dark (caption) pixel inside the face, or -1.
int CaptionLeft(const QImage& image) {
    for (int x = 3; x < image.width() - 3; ++x)
        for (int y = 3; y < image.height() - 3; ++y)
            if (qGray(image.pixel(x, y)) < 100)
                return x;
    return -1;
}

void Hover(QWidget& w) {
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&w, &enter);
}

} // namespace

class TstGradiButton : public QObject {
    Q_OBJECT
private slots:
    void gradientRows_data() {
        QTest::addColumn<int>("begin");
        QTest::addColumn<int>("end");
        QTest::addColumn<int>("height");
        QTest::addColumn<QList<int>>("firstRows");
        const TqbGradiColors defaults;
        QTest::newRow("default colours at 22: one level darker each row")
            << defaults.clrBegin << defaults.clrEnd << 22
            << QList<int>{Rgb(255, 252, 238), Rgb(254, 251, 237), Rgb(253, 250, 236)};
        QTest::newRow("step below 1 upwards stays flat")
            << Rgb(100, 100, 100) << Rgb(110, 115, 120) << 22
            << QList<int>{Rgb(100, 100, 100), Rgb(100, 100, 100), Rgb(100, 100, 100)};
        QTest::newRow("whole steps")
            << Rgb(0, 0, 0) << Rgb(22, 44, 66) << 22
            << QList<int>{Rgb(0, 0, 0), Rgb(1, 2, 3), Rgb(2, 4, 6)};
        QTest::newRow("step -0.3 lowers by one")
            << Rgb(100, 100, 100) << Rgb(97, 97, 97) << 10
            << QList<int>{Rgb(100, 100, 100), Rgb(99, 99, 99), Rgb(98, 98, 98)};
        QTest::newRow("channels stay within 0..255")
            << Rgb(1, 254, 0) << Rgb(0, 255, 0) << 1
            << QList<int>{Rgb(1, 254, 0), Rgb(0, 255, 0), Rgb(0, 255, 0)};
    }
    void gradientRows() {
        QFETCH(int, begin);
        QFETCH(int, end);
        QFETCH(int, height);
        QFETCH(QList<int>, firstRows);
        const auto lines = GradientLines(QSize(75, height), 3, false, begin, end);
        for (int i = 0; i < firstRows.size() && i < int(lines.size()); ++i)
            QCOMPARE(lines[i].Color, firstRows[i]);
    }

    void defaultFaceDarkensRowByRow() {
        TqbGradiColors colors;
        TqbGradiButton button;
        button.resize(75, 22);
        button.SetColors(&colors);
        const QImage face = button.Render();
        // Row 1 lies under the light edge and row 20 under the dark one.
        for (int y = 2; y <= 19; ++y)
            QCOMPARE(face.pixelColor(37, y), QColor(256 - y, 253 - y, 239 - y));
        QCOMPARE(face.pixelColor(37, 1), Qc(colors.clrOutBright));
        QCOMPARE(face.pixelColor(37, 20), Qc(colors.clrOutShadow));
        QCOMPARE(face.pixelColor(37, 0), Qc(colors.clrOutBorder));
        QCOMPARE(face.pixelColor(37, 21), Qc(colors.clrOutBorder));
        // The bottom rows end darker than the end colour.
        QVERIFY(face.pixelColor(37, 19).red() < Qc(colors.clrEnd).red());
    }

    void roundDegree_data() {
        QTest::addColumn<int>("round");
        QTest::addColumn<bool>("squareCorners");
        QTest::newRow("0: square") << 0 << true;
        QTest::newRow("3: rounded") << 3 << false;
    }
    void roundDegree() {
        QFETCH(int, round);
        QFETCH(bool, squareCorners);
        const QSize size(40, 22);
        const auto lines = GradientLines(size, round, false, 0, 0);
        QCOMPARE(lines.front().From.y(), 1);
        bool allFull = true;
        for (const TLine& l : lines)
            allFull = allFull && l.From.x() == 0 && l.To.x() == size.width();
        QCOMPARE(allFull, squareCorners);

        TqbGradiColors colors;
        TqbGradiButton button;
        button.resize(size);
        button.SetColor(QColor(1, 2, 3));
        button.SetRoundDegree(round);
        button.SetColors(&colors);
        const QImage face = button.Render();
        const QColor corner = squareCorners ? Qc(colors.clrOutBorder) : QColor(1, 2, 3);
        for (const QPoint p : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 21), QPoint(39, 21)})
            QCOMPARE(face.pixelColor(p), corner);
    }

    void verticalGradientRunsAcross() {
        const auto lines = GradientLines(QSize(30, 10), 2, true, Rgb(30, 30, 30), Rgb(0, 0, 0));
        QCOMPARE(lines.front().From, QPoint(1, 1));
        QCOMPARE(lines.front().To, QPoint(1, 9));
        QCOMPARE(lines[2].From, QPoint(3, 0));
        QCOMPARE(lines[2].To, QPoint(3, 10));
        QCOMPARE(lines[1].Color, Rgb(29, 29, 29));
    }

    void markTriangle() {
        TqbGradiColors colors;
        TqbGradiButton button;
        button.resize(75, 25);
        button.SetColors(&colors);
        button.SetMarked(true);
        const QImage face = button.Render();
        for (const QPoint p : {QPoint(64, 3), QPoint(71, 3), QPoint(71, 10), QPoint(67, 6)})
            QCOMPARE(face.pixelColor(p), Qc(colors.clrMarkBorder));
        QCOMPARE(face.pixelColor(70, 4), Qc(colors.clrMarkFace));
        QCOMPARE(face.pixelColor(70, 8), Qc(colors.clrMarkFace));
        for (const QPoint p : {QPoint(63, 3), QPoint(65, 5), QPoint(72, 5), QPoint(71, 11)})
            QVERIFY(face.pixelColor(p) != Qc(colors.clrMarkBorder));
    }

    void faceByState_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("face");
        QTest::addColumn<QColor>("border");
        const TqbGradiColors c;
        QTest::newRow("normal") << "normal" << Rgb(246, 243, 229) << Qc(c.clrOutBorder);
        QTest::newRow("hot") << "hot" << TChannels(c.clrMouseInBegin, c.clrMouseInEnd, 22).Color()
                             << Qc(c.clrOutBorder);
        QTest::newRow("pressed") << "pressed" << c.clrBegin << Qc(c.clrOutBorder);
        QTest::newRow("selected") << "selected" << c.clrSelected << QColor(Qt::black);
        QTest::newRow("disabled") << "disabled" << c.clrDisabled << Qc(c.clrOutBorder);
        QTest::newRow("disabled while selected") << "disabled selected" << c.clrDisabled
                                                 << QColor(Qt::black);
    }
    void faceByState() {
        QFETCH(QString, state);
        QFETCH(int, face);
        QFETCH(QColor, border);
        TqbGradiColors colors;
        TqbGradiButton button;
        button.resize(75, 22);
        button.SetColors(&colors);
        if (state == "hot") {
            Hover(button);
            // The hot gradient's first row lies under the light edge: check row 2 below.
            TChannels ch(colors.clrMouseInBegin, colors.clrMouseInEnd, 22);
            for (int row = 1; row < 10; ++row)
                ch.Advance();
            face = ch.Color();
        }
        button.setDown(state == "pressed");
        button.SetSelected(state.contains("selected"));
        button.setEnabled(!state.contains("disabled"));
        const QImage image = button.Render();
        QCOMPARE(image.pixelColor(5, 10), Qc(face));
        QCOMPARE(image.pixelColor(37, 0), border);
    }

    void captionShiftWhenPressed_data() {
        QTest::addColumn<bool>("imageList");
        QTest::addColumn<int>("capX");
        QTest::addColumn<int>("shift");
        QTest::newRow("centred, no image list") << false << -1 << 1;
        QTest::newRow("centred, image list") << true << -1 << 0;
        QTest::newRow("placed, no image list") << false << 20 << 1;
        QTest::newRow("placed, image list") << true << 20 << 0;
    }
    void captionShiftWhenPressed() {
        QFETCH(bool, imageList);
        QFETCH(int, capX);
        QFETCH(int, shift);
        TqbGradiColors colors;
        TqbImageList list(QSize(16, 16));
        TqbGradiButton button;
        button.resize(75, 25);
        button.setText("I");
        button.SetColors(&colors);
        button.SetCapX(capX);
        button.SetCapY(5);
        if (imageList)
            button.SetImages(&list);
        const int normal = CaptionLeft(button.Render());
        QVERIFY(normal > 0);
        if (capX >= 0)
            QVERIFY(qAbs(normal - capX) <= 3);
        button.setDown(true);
        QCOMPARE(CaptionLeft(button.Render()), normal + shift);
    }

    void captionText_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("drawn");
        QTest::newRow("accelerator") << "확인(&Y)" << "확인(Y)";
        QTest::newRow("two ampersands, first removed") << "a&&b&c" << "a&b&c";
        QTest::newRow("none") << "Data" << "Data";
        QTest::newRow("alone") << "&" << "";
    }
    void captionText() {
        QFETCH(QString, caption);
        QFETCH(QString, drawn);
        QCOMPARE(CaptionText(caption), drawn);
    }

    void icon_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("grayed");
        QTest::addColumn<bool>("red");
        QTest::newRow("icon") << 0 << false << true;
        QTest::newRow("grayed icon") << 0 << true << false;
        QTest::newRow("no icon") << -1 << false << false;
    }
    void icon() {
        QFETCH(int, index);
        QFETCH(bool, grayed);
        QFETCH(bool, red);
        TqbGradiColors colors;
        TqbImageList list(QSize(16, 16));
        QImage solid(16, 16, QImage::Format_ARGB32);
        solid.fill(QColor(255, 0, 0));
        list.Add(solid);
        TqbGradiButton button;
        button.resize(75, 25);
        button.SetColors(&colors);
        button.SetImages(&list);
        button.SetImageIndex(index);
        button.SetIconX(6);
        button.SetIconY(4);
        button.SetGrayed(grayed);
        const QImage image = button.Render();
        QCOMPARE(image.pixelColor(6 + 8, 4 + 8) == QColor(255, 0, 0), red);
        QVERIFY(image.pixelColor(5, 12) != QColor(255, 0, 0));
    }

    void withoutColorsAPlainButton() {
        QWidget host;
        TqbGradiButton drawn(&host);
        QPushButton plain(&host);
        for (QPushButton* b : {static_cast<QPushButton*>(&drawn), &plain}) {
            b->setText("확인(&Y)");
            b->setGeometry(0, 0, 75, 25);
        }
        QCOMPARE(drawn.grab().toImage(), plain.grab().toImage());
        auto* colors = new TqbGradiColors;
        drawn.SetColors(colors);
        QVERIFY(drawn.testAttribute(Qt::WA_OpaquePaintEvent));
        QVERIFY(drawn.grab().toImage() != plain.grab().toImage());
        delete colors;
        QVERIFY(!drawn.Colors());
        QVERIFY(!drawn.testAttribute(Qt::WA_OpaquePaintEvent));
        QCOMPARE(drawn.grab().toImage(), plain.grab().toImage());
    }

    void colorsBrown() {
        QObject owner;
        const TqbGradiColors* brown = TqbGradiColors::CreateColorsBrown(&owner);
        const TqbGradiColors defaults;
        QCOMPARE(brown->objectName(), QStringLiteral("ColorsBrown"));
        QCOMPARE(brown->clrEnd, 15201786);
        QCOMPARE(brown->clrSelcText, 4276545);
        QCOMPARE(brown->clrBegin, defaults.clrBegin);
        QCOMPARE(brown->clrMarkBorder, defaults.clrMarkBorder);
    }

    void xpFace_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("useThick");
        QTest::addColumn<QString>("look");
        QTest::newRow("plain") << "" << true << "face";
        QTest::newRow("default") << "default" << true << "glow";
        QTest::newRow("default without thick") << "default" << false << "face";
        QTest::newRow("hot") << "hot" << true << "hot glow";
        QTest::newRow("pressed") << "pressed" << true << "begin";
        QTest::newRow("disabled") << "disabled" << true << "end";
    }
    void xpFace() {
        QFETCH(QString, state);
        QFETCH(bool, useThick);
        QFETCH(QString, look);
        TqbGradiColors c;
        TqbXpButton button;
        const QSize size(75, 23);
        button.resize(size);
        button.SetColors(&c);
        button.SetUseFocusedThick(useThick);
        button.setDefault(state == "default");
        if (state == "hot")
            Hover(button);
        button.setDown(state == "pressed");
        button.setEnabled(state != "disabled");
        int expected = 0;
        if (look == "face")
            expected = FaceLines(size, c.clrBegin, c.clrEnd).front().Color;
        else if (look == "glow")
            expected = GlowLines(size, c.clrThick, c.clrSelected)[1].Color;
        else if (look == "hot glow")
            expected = GlowLines(size, c.clrMouseInBegin, c.clrMouseInEnd)[1].Color;
        else
            expected = look == "begin" ? c.clrBegin : c.clrEnd;
        const QImage image = button.Render();
        QCOMPARE(image.pixelColor(37, 2), Qc(expected));
        if (look.contains("glow"))
            QCOMPARE(image.pixelColor(37, 11), Qc(c.clrBegin)); // the inner face
    }
};

QTEST_MAIN(TstGradiButton)
#include "tst_GradiButton.moc"
