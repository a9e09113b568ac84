#pragma once
// File bytes in and out, for tests that check what lands on disk.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

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
