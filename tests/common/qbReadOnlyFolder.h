#pragma once

// A folder nothing can be written into while this lives, whoever runs the test. Root passes over
// permission bits, so for root it is a read-only bind mount of the folder onto itself; where
// mounting is refused, IsReadOnly() is false and Error() says why.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

class TqbReadOnlyFolder {
public:
    explicit TqbReadOnlyFolder(const QString& path) : m_path(QFile::encodeName(path)) {
        if (::geteuid() != 0) {
            m_changedMode = ::chmod(m_path.constData(), 0555) == 0;
            if (!m_changedMode)
                m_error = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        m_mounted = ::mount(m_path.constData(), m_path.constData(), nullptr, MS_BIND, nullptr) == 0;
        if (m_mounted && ::mount(nullptr, m_path.constData(), nullptr,
                                 MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0) {
            m_readOnlyMount = true;
            return;
        }
        m_error = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TqbReadOnlyFolder() {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
        if (m_changedMode)
            ::chmod(m_path.constData(), 0755);
    }
    TqbReadOnlyFolder(const TqbReadOnlyFolder&) = delete;
    TqbReadOnlyFolder& operator=(const TqbReadOnlyFolder&) = delete;

    bool IsReadOnly() const { return m_changedMode || m_readOnlyMount; }
    const QString& Error() const { return m_error; }

private:
    QByteArray m_path;
    QString m_error;
    bool m_changedMode = false;
    bool m_mounted = false;
    bool m_readOnlyMount = false;
};
