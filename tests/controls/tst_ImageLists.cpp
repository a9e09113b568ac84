#include "controls/qbImageLists.h"

#include <QImage>
#include <QtTest>

namespace {

bool HasInk(const QIcon& icon) {
    const QImage img = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    if (img.size() != QSize(16, 16))
        return false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) != 0)
                return true;
    return false;
}

} // namespace

class TstImageLists : public QObject {
    Q_OBJECT
private slots:
    void Pictures_data();
    void Pictures();
};

void TstImageLists::Pictures_data() {
    QTest::addColumn<QIcon>("icon");
    QTest::addColumn<bool>("drawn");

    QCOMPARE(qbImgs16Count(), 41);
    for (int i = 0; i < qbImgs16Count(); ++i)
        QTest::addRow("imgs16 %d", i) << qbImgs16(i) << true;

    const QList<QIcon> tree = qbImgsTree();
    QCOMPARE(tree.size(), 4);
    for (int i = 0; i < tree.size(); ++i)
        QTest::addRow("tree %d", i) << tree[i] << true;

    QTest::newRow("app") << qbAppIcon() << true;
    QTest::newRow("grip") << QIcon(qbResizeGrip()) << true;
    QTest::newRow("below range") << qbImgs16(-1) << false;
    QTest::newRow("above range") << qbImgs16(qbImgs16Count()) << false;
}

void TstImageLists::Pictures() {
    QFETCH(QIcon, icon);
    QFETCH(bool, drawn);
    QCOMPARE(icon.isNull(), !drawn);
    QCOMPARE(HasInk(icon), drawn);
}

QTEST_MAIN(TstImageLists)
#include "tst_ImageLists.moc"
