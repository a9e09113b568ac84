#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"

#include "common/qbSmallDisk.h"
#include "common/qbTestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Bytes that tell the old and the new version apart anywhere in the file.
QByteArray Page(qsizetype size, char fill) {
    return QByteArray(size, fill);
}

QStringList Temporaries(const QString& dir) {
    QStringList found;
    for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (qbAtomicWrite::IsTemporaryName(name))
            found << name;
    }
    return found;
}

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

mode_t Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// Expects ReplaceFile to fail for the path, naming the file and the system's reason.
void ExpectFailure(const QString& path, const QByteArray& bytes, const QString& reason) {
    try {
        qbAtomicWrite::ReplaceFile(path, bytes);
        QFAIL(qPrintable("no error for " + path));
    } catch (const EqbError& e) {
        QVERIFY2(e.Message().contains(QFileInfo(path).fileName()), qPrintable(e.Message()));
        if (!reason.isEmpty())
            QVERIFY2(e.Message().contains(reason), qPrintable(e.Message()));
        QVERIFY2(!e.Message().contains("Unknown error"), qPrintable(e.Message()));
    }
}

// The process may write no file beyond limit bytes; a write past it fails with EFBIG instead of
// ending the process.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t limit) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        struct rlimit lowered = m_old;
        lowered.rlim_cur = limit;
        m_set = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~TFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool IsSet() const { return m_set; }

private:
    struct rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

} // namespace

class TstAtomicWrite : public QObject {
    Q_OBJECT
private slots:
    void init();
    void ReplacesWholeFile_data();
    void ReplacesWholeFile();
    void KeepsPermissions_data();
    void KeepsPermissions();
    void WritesThroughLinks_data();
    void WritesThroughLinks();
    void FailureKeepsOldFile_data();
    void FailureKeepsOldFile();
    void ShortWriteKeepsOldFile_data();
    void ShortWriteKeepsOldFile();
    void FullDiskKeepsOldFile_data();
    void FullDiskKeepsOldFile();
    void TemporaryNames_data();
    void TemporaryNames();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TstAtomicWrite::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TstAtomicWrite::ReplacesWholeFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("old"); // null: no file yet
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("new file") << "new.htm" << QByteArray() << Page(100, 'n');
    QTest::newRow("shorter than before") << "a.htm" << Page(5000, 'o') << Page(10, 'n');
    QTest::newRow("longer than before") << "a.htm" << Page(10, 'o') << Page(3 << 20, 'n');
    QTest::newRow("emptied") << "a.htm" << Page(10, 'o') << QByteArray("");
    // The temporary's name does not grow with the note's.
    QTest::newRow("longest name") << QString(251, u'n') + ".htm" << Page(10, 'o') << Page(10, 'n');
    QTest::newRow("korean name") << QStringLiteral("메모 가.htm") << Page(10, 'o') << Page(10, 'n');
}

void TstAtomicWrite::ReplacesWholeFile() {
    QFETCH(QString, name);
    QFETCH(QByteArray, old);
    QFETCH(QByteArray, bytes);
    const QString path = m_dir->filePath(name);
    if (!old.isNull())
        WriteBytes(path, old);
    qbAtomicWrite::ReplaceFile(path, bytes);
    QCOMPARE(ReadBytes(path), bytes);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{name});
}

void TstAtomicWrite::KeepsPermissions_data() {
    QTest::addColumn<uint>("mode");
    QTest::newRow("private 0600") << 0600u;
    QTest::newRow("group 0640") << 0640u;
    QTest::newRow("executable 0755") << 0755u;
}

void TstAtomicWrite::KeepsPermissions() {
    QFETCH(uint, mode);
    const QString path = m_dir->filePath("note.htm");
    WriteBytes(path, "old");
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
    qbAtomicWrite::ReplaceFile(path, "new");
    QCOMPARE(ReadBytes(path), QByteArray("new"));
    QCOMPARE(uint(Mode(path)), mode);
}

void TstAtomicWrite::WritesThroughLinks_data() {
    QTest::addColumn<QString>("linkText"); // %1 stands for the temporary folder
    QTest::addColumn<bool>("chain");       // a second link stands between
    QTest::newRow("link to a file") << "%1/real/note.htm" << false;
    QTest::newRow("relative link") << "../real/note.htm" << false;
    QTest::newRow("link to a link") << "%1/real/note.htm" << true;
}

void TstAtomicWrite::WritesThroughLinks() {
    QFETCH(QString, linkText);
    QFETCH(bool, chain);
    QVERIFY(QDir(m_dir->path()).mkpath("real"));
    QVERIFY(QDir(m_dir->path()).mkpath("links"));
    const QString target = m_dir->filePath("real/note.htm");
    WriteBytes(target, "old");
    QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0640), 0);

    const QString link = m_dir->filePath("links/note.htm");
    const QString first = chain ? m_dir->filePath("links/middle.htm") : link;
    QCOMPARE(::symlink(QFile::encodeName(QString(linkText).replace("%1", m_dir->path())).constData(),
                       QFile::encodeName(first).constData()),
             0);
    if (chain)
        QVERIFY(QFile::link(first, link));

    qbAtomicWrite::ReplaceFile(link, "new");
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(ReadBytes(target), QByteArray("new"));
    QCOMPARE(uint(Mode(target)), 0640u);
    QVERIFY(Temporaries(m_dir->filePath("real")).isEmpty());
    QVERIFY(Temporaries(m_dir->filePath("links")).isEmpty());
}

void TstAtomicWrite::FailureKeepsOldFile_data() {
    QTest::addColumn<QString>("path");   // relative to the temporary folder
    QTest::addColumn<QString>("reason"); // the system's words for it
    QTest::newRow("target is a folder") << "folder" << Reason(EISDIR);
    QTest::newRow("folder is a file") << "plain/note.htm" << Reason(ENOTDIR);
    QTest::newRow("folder is missing") << "missing/note.htm" << Reason(ENOENT);
}

void TstAtomicWrite::FailureKeepsOldFile() {
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QVERIFY(QDir(m_dir->path()).mkpath("folder/inside"));
    WriteBytes(m_dir->filePath("plain"), "plain");
    ExpectFailure(m_dir->filePath(path), "new", reason);
    QCOMPARE(ReadBytes(m_dir->filePath("plain")), QByteArray("plain"));
    QVERIFY(QFileInfo(m_dir->filePath("folder/inside")).isDir());
    QVERIFY(Temporaries(m_dir->path()).isEmpty());
}

void TstAtomicWrite::ShortWriteKeepsOldFile_data() {
    QTest::addColumn<qsizetype>("size");
    QTest::newRow("1 KB") << qsizetype(1024);
    QTest::newRow("16 KB") << qsizetype(16 * 1024);
    QTest::newRow("1 MB") << qsizetype(1024 * 1024);
}

void TstAtomicWrite::ShortWriteKeepsOldFile() {
    QFETCH(qsizetype, size);
    const QString path = m_dir->filePath("note.htm");
    const QByteArray old = Page(size, 'o');
    WriteBytes(path, old);
    {
        TFileSizeLimit limit(rlim_t(size / 2));
        QVERIFY(limit.IsSet());
        ExpectFailure(path, Page(size, 'n'), Reason(EFBIG));
    }
    QCOMPARE(ReadBytes(path), old);
    QVERIFY(Temporaries(m_dir->path()).isEmpty());
}

void TstAtomicWrite::FullDiskKeepsOldFile_data() {
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<bool>("existing");
    QTest::newRow("1 KB") << qsizetype(1024) << true;
    QTest::newRow("16 KB") << qsizetype(16 * 1024) << true;
    QTest::newRow("1 MB") << qsizetype(1024 * 1024) << true;
    QTest::newRow("new 2 KB page") << qsizetype(2048) << false;
}

void TstAtomicWrite::FullDiskKeepsOldFile() {
    QFETCH(qsizetype, size);
    QFETCH(bool, existing);
    TqbSmallDisk disk(4 << 20);
    if (!disk.IsMounted())
        QSKIP(qPrintable("no small disk: " + disk.Error()));
    const QString path = disk.FilePath("note.htm");
    const QByteArray old = Page(size, 'o');
    if (existing)
        WriteBytes(path, old);
    QVERIFY(disk.Fill() > 0);

    ExpectFailure(path, Page(size, 'n'), Reason(ENOSPC));
    QCOMPARE(QFileInfo::exists(path), existing);
    if (existing)
        QCOMPARE(ReadBytes(path), old);
    QVERIFY(Temporaries(disk.Path()).isEmpty());

    // Once there is room again the same save goes through.
    disk.Unfill();
    qbAtomicWrite::ReplaceFile(path, Page(size, 'n'));
    QCOMPARE(ReadBytes(path), Page(size, 'n'));
}

void TstAtomicWrite::TemporaryNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("temporary");
    QTest::newRow("ours") << ".qbsave-a1b2c3d4" << true;
    QTest::newRow("note") << "note.htm" << false;
    QTest::newRow("prefix only") << ".qbsave-" << false;
    QTest::newRow("too short") << ".qbsave-a1b2c3" << false;
    QTest::newRow("too long") << ".qbsave-a1b2c3d4e" << false;
    QTest::newRow("upper case") << ".qbsave-A1B2C3D4" << false;
    QTest::newRow("user's hidden note") << ".qbsave-a1b2c3d4.htm" << false;
    QTest::newRow("not hidden") << "qbsave-a1b2c3d4" << false;
}

void TstAtomicWrite::TemporaryNames() {
    QFETCH(QString, name);
    QFETCH(bool, temporary);
    QCOMPARE(qbAtomicWrite::IsTemporaryName(name), temporary);
}

QTEST_GUILESS_MAIN(TstAtomicWrite)
#include "tst_AtomicWrite.moc"
