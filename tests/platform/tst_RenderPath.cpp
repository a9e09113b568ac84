#include "platform/qbRenderPath.h"

#include <QtTest>

using qbRenderPath::TMachine;

class tst_RenderPath : public QObject {
    Q_OBJECT
private slots:
    void Decide_data();
    void Decide();
};

void tst_RenderPath::Decide_data() {
    QTest::addColumn<bool>("device");
    QTest::addColumn<bool>("forced");
    QTest::addColumn<bool>("headless");
    QTest::addColumn<QByteArray>("quick");
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<QByteArray>("gl");
    QTest::addColumn<QByteArray>("wantQuick");
    QTest::addColumn<QByteArray>("wantFlags");
    QTest::addColumn<QByteArray>("wantGl");

    const QByteArray small = "--js-flags=--optimize-for-size";
    QTest::newRow("graphics card: only the small heap")
        << true << false << false << QByteArray() << QByteArray("--lang=ko") << QByteArray()
        << QByteArray() << QByteArray("--lang=ko " + small) << QByteArray();
    QTest::newRow("no card")
        << false << false << false << QByteArray() << QByteArray() << QByteArray()
        << QByteArray("software") << QByteArray(small + " --disable-gpu") << QByteArray("none");
    QTest::newRow("software GL forced")
        << true << true << false << QByteArray() << QByteArray("--lang=ko") << QByteArray()
        << QByteArray("software") << QByteArray("--lang=ko " + small + " --disable-gpu")
        << QByteArray("none");
    QTest::newRow("offscreen")
        << true << false << true << QByteArray() << QByteArray() << QByteArray()
        << QByteArray("software") << QByteArray(small + " --disable-gpu") << QByteArray("none");
    QTest::newRow("user's choices stay")
        << false << false << false << QByteArray("rhi")
        << QByteArray("--disable-gpu --js-flags=--expose-gc") << QByteArray("glx") << QByteArray()
        << QByteArray("--disable-gpu --js-flags=--expose-gc") << QByteArray();
}

void tst_RenderPath::Decide() {
    QFETCH(bool, device);
    QFETCH(bool, forced);
    QFETCH(bool, headless);
    QFETCH(QByteArray, quick);
    QFETCH(QByteArray, flags);
    QFETCH(QByteArray, gl);
    QFETCH(QByteArray, wantQuick);
    QFETCH(QByteArray, wantFlags);
    QFETCH(QByteArray, wantGl);
    TMachine machine;
    machine.HasRenderDevice = device;
    machine.SoftwareGlForced = forced;
    machine.Headless = headless;
    machine.QuickBackend = quick;
    machine.EngineFlags = flags;
    machine.GlIntegration = gl;
    const auto choice = qbRenderPath::Decide(machine);
    QCOMPARE(choice.QuickBackend, wantQuick);
    QCOMPARE(choice.EngineFlags, wantFlags);
    QCOMPARE(choice.GlIntegration, wantGl);
}

QTEST_APPLESS_MAIN(tst_RenderPath)
#include "tst_RenderPath.moc"
