// The painted dialog frame: its pieces, its see-through corners, and how the dialog answers.
#include "controls/qbGradiBtn.h"
#include "controls/qbImglstBtn.h"
#include "controls/qbBlankPnl.h"
#include "frames/BlueDialog.h"
#include "frames/qbGrayFrame.h"
#include "common/qbPixels.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QtTest>

using namespace qbGrayFrame;

class TstGrayDialog : public QObject {
    Q_OBJECT
private slots:
    void bitmap() {
        const QImage b = Bitmap();
        QCOMPARE(b.size(), QSize(54, 18));
        QCOMPARE(b.pixelColor(53, 0), QColor(144, 165, 226));
        QCOMPARE(b.pixelColor(53, 17), QColor(79, 90, 195));
        // Each corner piece's outer pixels hold the key colour.
        const auto pieces = FramePieces(QSize(40, 30));
        for (const TPiece& piece : std::vector(pieces.begin() + 4, pieces.end())) {
            const QRect s = piece.Source;
            const QPoint outer(piece.Target.left() == 0 ? s.left() : s.right(),
                               piece.Target.top() == 0 ? s.top() : s.bottom());
            QCOMPARE(b.pixel(outer), KeyColor);
        }
    }

    void framePieces() {
        const auto pieces = FramePieces(QSize(100, 50));
        const std::vector<std::pair<QRect, QRect>> expected = {
            {QRect(52, 0, 1, 3), QRect(0, 0, 100, 3)},   {QRect(48, 15, 1, 3), QRect(0, 47, 100, 3)},
            {QRect(48, 5, 3, 1), QRect(0, 0, 3, 50)},    {QRect(50, 14, 3, 1), QRect(97, 0, 3, 50)},
            {QRect(48, 0, 5, 4), QRect(0, 0, 5, 4)},     {QRect(48, 9, 5, 4), QRect(95, 0, 5, 4)},
            {QRect(48, 5, 5, 4), QRect(0, 46, 5, 4)},    {QRect(48, 14, 5, 4), QRect(95, 46, 5, 4)},
        };
        QCOMPARE(pieces.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(pieces[i].Source, expected[i].first);
            QCOMPARE(pieces[i].Target, expected[i].second);
        }
        QCOMPARE(CloseCell(ClosePressed), QRect(32, 0, 16, 16));
        QCOMPARE(CaptionColumn(), QRect(53, 0, 1, 18));
    }

    void cornersSeeThrough_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("shown");
        for (const QPoint c : {QPoint(0, 0), QPoint(119, 0), QPoint(0, 59), QPoint(119, 59)}) {
            const int sx = c.x() == 0 ? 1 : -1;
            const int sy = c.y() == 0 ? 1 : -1;
            const QString name = QStringLiteral("corner %1,%2 ").arg(c.x()).arg(c.y());
            QTest::newRow(qPrintable(name + "tip")) << c << false;
            QTest::newRow(qPrintable(name + "along x")) << c + QPoint(sx, 0) << false;
            QTest::newRow(qPrintable(name + "along y")) << c + QPoint(0, sy) << false;
            QTest::newRow(qPrintable(name + "diagonal")) << c + QPoint(sx, sy) << true;
            QTest::newRow(qPrintable(name + "two along x")) << c + QPoint(2 * sx, 0) << true;
        }
        QTest::newRow("edge") << QPoint(60, 0) << true;
        QTest::newRow("inside") << QPoint(60, 30) << true;
    }
    void cornersSeeThrough() {
        QFETCH(QPoint, at);
        QFETCH(bool, shown);
        QCOMPARE(VisibleRegion(Bitmap(), QSize(120, 60)).contains(at), shown);
    }

    void dialogFrame() {
        TfrmBlueDialog dialog;
        QCOMPARE(dialog.ClientSize(), QSize(329, 193));
        QCOMPARE(dialog.size(), QSize(335, 199));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.mask(), VisibleRegion(Bitmap(), dialog.size()));
        QVERIFY(!dialog.mask().contains(QPoint(334, 198)));
        QCOMPARE(dialog.imgCaption->geometry(), QRect(0, 0, 329, 18));
        QCOMPARE(dialog.btnClose->geometry(), QRect(312, 0, 16, 16));
        QVERIFY(dialog.btnConfirm->isDefault());
        QVERIFY(dialog.btnConfirm->Marked());
        QCOMPARE(dialog.btnConfirm->text(), QStringLiteral("확인(&Y)"));
        QCOMPARE(dialog.btnCancel->text(), QStringLiteral("취소(&C)"));
        QCOMPARE(dialog.btnConfirm->geometry(), QRect(155, 140, 75, 25));
        // The frame around the client: its outer ring on the top edge.
        const QImage shown = dialog.grab().toImage();
        QCOMPARE(shown.pixel(100, 0), Bitmap().pixel(52, 0));
        QCOMPARE(shown.pixel(100, 198), Bitmap().pixel(48, 17));
    }

    void captionLook_data() {
        QTest::addColumn<bool>("active");
        QTest::addColumn<QColor>("text");
        QTest::newRow("active") << true << QColor(248, 248, 248);
        QTest::newRow("inactive") << false << QColor(214, 214, 214);
    }
    void captionLook() {
        QFETCH(bool, active);
        QFETCH(QColor, text);
        TfrmBlueDialog dialog;
        dialog.setWindowTitle(QStringLiteral("이름 등록/변경 MMMM"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.SetActive(active);
        const QImage caption = dialog.CaptionImage();
        QCOMPARE(caption.size(), QSize(329, 18));
        QCOMPARE(caption.pixelColor(300, 0), QColor(144, 165, 226));
        QCOMPARE(caption.pixelColor(300, 17), QColor(79, 90, 195));
        QCOMPARE(HasPixel(caption.copy(20, 0, 200, 18), text), true);
        QCOMPARE(HasPixel(caption.copy(20, 0, 200, 18), active ? QColor(214, 214, 214)
                                                                 : QColor(248, 248, 248)),
                 false);
        // The icon at (1, 1): the blue dialog's own.
        QCOMPARE(caption.pixelColor(2, 2), QColor(0x2A, 0x43, 0x8A));
    }

    void activationFollowsTheWindow() {
        TfrmBlueDialog dialog;
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTRY_VERIFY(dialog.ActiveLook());
    }

    void cancelAndConfirm_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("rejected");
        QTest::addColumn<int>("confirmClicks");
        QTest::newRow("Escape in an edit box") << "escape edit" << true << 0;
        QTest::newRow("Escape in a list") << "escape list" << true << 0;
        QTest::newRow("close button") << "close" << true << 0;
        QTest::newRow("cancel button") << "cancel" << true << 0;
        QTest::newRow("Enter in an edit box") << "enter edit" << false << 1;
    }
    void cancelAndConfirm() {
        QFETCH(QString, action);
        QFETCH(bool, rejected);
        QFETCH(int, confirmClicks);
        TfrmBlueDialog dialog;
        auto* edit = new QLineEdit(dialog.Client());
        edit->setGeometry(10, 30, 200, 22);
        auto* list = new QListWidget(dialog.Client());
        list->setGeometry(10, 60, 200, 60);
        list->addItem("a");
        QSignalSpy rejects(&dialog, &QDialog::rejected);
        QSignalSpy confirms(dialog.btnConfirm, &QPushButton::clicked);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (action == "escape edit")
            QTest::keyClick(edit, Qt::Key_Escape);
        else if (action == "escape list")
            QTest::keyClick(list, Qt::Key_Escape);
        else if (action == "close")
            QTest::mouseClick(dialog.btnClose, Qt::LeftButton, {}, QPoint(8, 8));
        else if (action == "cancel")
            QTest::mouseClick(dialog.btnCancel, Qt::LeftButton, {}, QPoint(10, 10));
        else
            QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(rejects.count(), rejected ? 1 : 0);
        QCOMPARE(dialog.isVisible(), !rejected);
        if (rejected)
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(confirms.count(), confirmClicks);
    }

    void captionDragMovesTheDialog_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
    }
    void captionDragMovesTheDialog() {
        QFETCH(Qt::MouseButton, button);
        TfrmBlueDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPoint start = dialog.pos();
        QTest::mousePress(dialog.imgCaption, button, {}, QPoint(60, 8));
        QTest::mouseMove(dialog.imgCaption, QPoint(90, 28));
        QCOMPARE(dialog.pos(), start + QPoint(30, 20));
        QTest::mouseMove(dialog.imgCaption, QPoint(50, 8));
        QCOMPARE(dialog.pos(), start + QPoint(20, 20));
        QTest::mouseRelease(dialog.imgCaption, button, {}, QPoint(50, 8));
        QTest::mouseMove(dialog.imgCaption, QPoint(80, 8));
        QCOMPARE(dialog.pos(), start + QPoint(20, 20));
    }
};

QTEST_MAIN(TstGrayDialog)
#include "tst_GrayDialog.moc"
