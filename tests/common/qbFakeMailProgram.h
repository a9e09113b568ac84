#pragma once

// A recording stand-in for xdg-email, first on PATH while the object lives. It writes its
// arguments (NUL-separated) to a record file, writes its error text (by default one line naming
// the exit code) and ends with the exit code it was given; with Hang it waits until it is killed.
// With Hook the real xdg-email runs and hands the mailto: address it made to a recording
// xdg-email-hook.sh instead of a mail program.
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

class qbFakeMailProgram {
public:
    enum Mode { Exit, Hang, Hook };

    explicit qbFakeMailProgram(int exitCode = 0, Mode mode = Exit, QByteArray errorText = {})
        : m_oldPath(qgetenv("PATH")) {
        if (errorText.isNull())
            errorText = "fake xdg-email: exit " + QByteArray::number(exitCode) + '\n';
        const QString script = m_dir.filePath(mode == Hook ? QStringLiteral("xdg-email-hook.sh")
                                                           : QStringLiteral("xdg-email"));
        QFile file(script);
        if (file.open(QIODevice::WriteOnly)) {
            QByteArray text = "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + RecordPath().toUtf8() + "'\n";
            text += "cat >&2 <<'EOF'\n" + errorText + "EOF\n";
            text += mode == Hang ? QByteArray("exec sleep 600\n")
                                 : "exit " + QByteArray::number(exitCode) + "\n";
            file.write(text);
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", m_dir.path().toUtf8() + ':' + m_oldPath);
    }
    ~qbFakeMailProgram() { qputenv("PATH", m_oldPath); }
    qbFakeMailProgram(const qbFakeMailProgram&) = delete;
    qbFakeMailProgram& operator=(const qbFakeMailProgram&) = delete;

    QString RecordPath() const { return m_dir.filePath(QStringLiteral("record")); }
    bool Called() const { return QFile::exists(RecordPath()); }

    // The arguments xdg-email was given, in order.
    QStringList Arguments() const {
        QFile file(RecordPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList args;
        const QList<QByteArray> parts = file.readAll().split('\0');
        for (qsizetype i = 0; i + 1 < parts.size(); ++i)
            args << QString::fromUtf8(parts[i]);
        return args;
    }

    // The value after an option such as "--subject"; null when the option is missing.
    QString Option(const QString& name) const {
        const QStringList args = Arguments();
        const qsizetype at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
};
