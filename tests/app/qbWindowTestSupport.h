#pragma once
// What the window tests share: file bytes in and out, and an answer to message boxes.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QTest>
#include <QTimer>

inline QByteArray ReadBytes(const QString& path, const QByteArray& whenMissing = {}) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : whenMissing;
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Answers every message box that comes up and keeps what it said.
class MessageCatcher : public QObject {
public:
    QStringList texts;
    QStringList shown; // "caption: text"
    // The button pressed on a question; an information box is just closed.
    explicit MessageCatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        connect(&m_timer, &QTimer::timeout, this, [this, answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                shown << box->windowTitle() + ": " + box->text();
                if (QAbstractButton* button = box->button(answer))
                    button->click();
                else
                    box->accept();
            }
        });
        m_timer.start(20);
    }

private:
    QTimer m_timer;
};
