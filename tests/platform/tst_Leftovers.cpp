#include "platform/qbLeftovers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class TKind { File, Folder, Link, Fifo, OtherUsersFile };

void MakeEntry(const QString& path, TKind kind, const QDateTime& modified) {
    switch (kind) {
    case TKind::File:
    case TKind::OtherUsersFile: {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write("x"), 1);
        QVERIFY(f.flush());
        QVERIFY(f.setFileTime(modified, QFileDevice::FileModificationTime));
        // Only root can give a file away; the test looks whether it worked.
        if (kind == TKind::OtherUsersFile && ::fchown(f.handle(), 65534, 65534) != 0)
            qWarning("could not give the file away");
        break;
    }
    case TKind::Folder:
        QVERIFY(QDir().mkdir(path));
        break;
    case TKind::Link:
        QVERIFY(QFile::link(QDir::rootPath(), path));
        break;
    case TKind::Fifo:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(TKind)

class TstLeftovers : public QObject {
    Q_OBJECT
private slots:
    void RemovesOnlyOldLeftovers_data();
    void RemovesOnlyOldLeftovers();
    void ProgramStartIsBeforeNow();
};

void TstLeftovers::RemovesOnlyOldLeftovers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<TKind>("kind");
    QTest::addColumn<bool>("old"); // last modified before the cut-off
    QTest::addColumn<bool>("removed");
    QTest::newRow("write temporary") << ".qbsave-a1b2c3d4" << TKind::File << true << true;
    QTest::newRow("view copy") << ".qbview-Ab12Cd.htm" << TKind::File << true << true;
    QTest::newRow("this run's temporary") << ".qbsave-a1b2c3d4" << TKind::File << false << false;
    QTest::newRow("this run's view copy") << ".qbview-Ab12Cd.htm" << TKind::File << false << false;
    QTest::newRow("folder of that name") << ".qbview-Ab12Cd.htm" << TKind::Folder << true << false;
    QTest::newRow("link of that name") << ".qbsave-a1b2c3d4" << TKind::Link << true << false;
    QTest::newRow("fifo of that name") << ".qbsave-a1b2c3d4" << TKind::Fifo << true << false;
    QTest::newRow("another user's") << ".qbview-Ab12Cd.htm" << TKind::OtherUsersFile << true
                                    << false;
    QTest::newRow("note") << "note.htm" << TKind::File << true << false;
    QTest::newRow("user's hidden file") << ".qbsave-notes" << TKind::File << true << false;
    QTest::newRow("other extension") << ".qbview-Ab12Cd.html" << TKind::File << true << false;
    QTest::newRow("longer random part") << ".qbview-Ab12Cde.htm" << TKind::File << true << false;
    QTest::newRow("scratch file") << "qbtmp.qb" << TKind::File << true << false;
}

void TstLeftovers::RemovesOnlyOldLeftovers() {
    QFETCH(QString, name);
    QFETCH(TKind, kind);
    QFETCH(bool, old);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    const QDateTime cutOff = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QString path = dir.filePath(name);
    MakeEntry(path, kind, old ? cutOff.addSecs(-3600) : cutOff.addSecs(30));
    if (kind == TKind::OtherUsersFile && QFileInfo(path).ownerId() == ::geteuid())
        QSKIP("only root can give a file to another user");
    MakeEntry(dir.filePath("keep.htm"), TKind::File, cutOff.addSecs(-3600));

    QCOMPARE(qbLeftovers::RemoveInFolder(dir.path(), cutOff), removed ? 1 : 0);
    QCOMPARE(QFileInfo(path).exists() || QFileInfo(path).isSymLink(), !removed);
    QVERIFY(QFileInfo::exists(dir.filePath("keep.htm")));
    QVERIFY(QFileInfo(QDir::rootPath()).isDir());
}

void TstLeftovers::ProgramStartIsBeforeNow() {
    QVERIFY(qbLeftovers::ProgramStart() <= QDateTime::currentDateTimeUtc());
    QVERIFY(qbLeftovers::ProgramStart().isValid());
}

QTEST_GUILESS_MAIN(TstLeftovers)
#include "tst_Leftovers.moc"
