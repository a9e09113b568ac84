#pragma once
// File bytes in and out for tests that check what lands on disk.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// The file's bytes; empty when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void PutFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}
