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
    QTest::addColumn<QByteArray>("wantQuick");
    QTest::addColumn<QByteArray>("wantFlags");

    QTest::newRow("graphics card: left alone")
        << true << false << false << QByteArray() << QByteArray("--lang=ko") << QByteArray()
        << QByteArray("--lang=ko");
    QTest::newRow("no card") << false << false << false << QByteArray() << QByteArray()
                             << QByteArray("software") << QByteArray("--disable-gpu");
    QTest::newRow("software GL forced")
        << true << true << false << QByteArray() << QByteArray("--lang=ko")
        << QByteArray("software") << QByteArray("--lang=ko --disable-gpu");
    QTest::newRow("offscreen") << true << false << true << QByteArray() << QByteArray()
                               << QByteArray("software") << QByteArray("--disable-gpu");
    QTest::newRow("user's choices stay")
        << false << false << false << QByteArray("rhi") << QByteArray("--disable-gpu --lang=ko")
        << QByteArray() << QByteArray("--disable-gpu --lang=ko");
}

void tst_RenderPath::Decide() {
    QFETCH(bool, device);
    QFETCH(bool, forced);
    QFETCH(bool, headless);
    QFETCH(QByteArray, quick);
    QFETCH(QByteArray, flags);
    QFETCH(QByteArray, wantQuick);
    QFETCH(QByteArray, wantFlags);
    TMachine machine;
    machine.HasRenderDevice = device;
    machine.SoftwareGlForced = forced;
    machine.Headless = headless;
    machine.QuickBackend = quick;
    machine.EngineFlags = flags;
    const auto choice = qbRenderPath::Decide(machine);
    QCOMPARE(choice.QuickBackend, wantQuick);
    QCOMPARE(choice.EngineFlags, wantFlags);
}

QTEST_APPLESS_MAIN(tst_RenderPath)
#include "tst_RenderPath.moc"
