#pragma once
// File bytes in and out, for tests that check what lands on disk.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <cstdio>

inline QByteArray ReadBytes(const QString& path, const QByteArray& whenMissing = {}) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : whenMissing;
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A file whose name need not be in the file name encoding (names copied from Windows); QFile
// cannot reach such a name.
inline bool MakeRawFile(const QByteArray& nativePath, const QByteArray& bytes = {}) {
    FILE* file = std::fopen(nativePath.constData(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) ==
                         size_t(bytes.size());
    return std::fclose(file) == 0 && written;
}

// "___폴더설명.qb" as Windows names it: code page 949 bytes.
inline const QByteArray Cp949PageName = "___\xC6\xFA\xB4\xF5\xBC\xB3\xB8\xED.qb";

// The small library the tree and library tests start from, in temp's "BookData": a folder with a
// note and a subfolder, another folder, a top-level note. The trash goes to temp's "xdg".
inline QString MakeSampleLibrary(const QString& tempDir) {
    const QString root = tempDir + QStringLiteral("/BookData");
    QDir().mkpath(tempDir + QStringLiteral("/xdg"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(tempDir + QStringLiteral("/xdg")));
    for (const char* rel : {"A/a1", "A/Sub/s1", "B/b1", "top"})
        WriteBytes(root + u'/' + QLatin1String(rel) + QStringLiteral(".htm"),
                   QFileInfo(QLatin1String(rel)).fileName().toLatin1());
    return root;
}
