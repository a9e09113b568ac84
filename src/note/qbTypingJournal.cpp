#include "note/qbTypingJournal.h"

#include "library/qbNoteVersions.h"
#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"
#include "platform/qbTextFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

TqbTypingJournal::TqbTypingJournal(const QString& dir) : m_dir(QDir::cleanPath(dir)) {}

void TqbTypingJournal::Write(const QString& notePath, const QByteArray& bytes,
                             const QByteArray& baseHash) {
    if (m_written != notePath) {
        // A page of another note must never stand beside this one's path.
        QFile::remove(NotePathFile());
        m_written.clear();
    }
    m_wrote = true;
    qbAtomicWrite::ReplaceFile(PagePath(), bytes);
    if (m_written != notePath) {
        // The start stays until a save or a reload clears the journal.
        qbAtomicWrite::ReplaceFile(BaseFile(), baseHash + '\n');
        qbAtomicWrite::ReplaceFile(NotePathFile(), notePath.toUtf8());
        m_written = notePath;
    }
}

void TqbTypingJournal::Clear() {
    if (m_wrote)
        Drop();
}

void TqbTypingJournal::Drop() {
    // The path first: a page without it is no entry.
    QFile::remove(NotePathFile());
    QFile::remove(PagePath());
    QFile::remove(BaseFile());
    m_written.clear();
    m_wrote = false;
}

std::optional<TqbTypingJournal::TEntry> TqbTypingJournal::Read() const {
    if (!QFileInfo(NotePathFile()).isFile() || !QFileInfo(PagePath()).isFile())
        return std::nullopt;
    try {
        TEntry entry{QString::fromUtf8(qbText::ReadFileBytes(NotePathFile())),
                     qbText::ReadFileBytes(PagePath()), {}};
        if (entry.NotePath.isEmpty())
            return std::nullopt;
        if (QFileInfo(BaseFile()).isFile())
            entry.BaseHash = qbText::ReadFileBytes(BaseFile()).trimmed();
        return entry;
    } catch (const EqbError&) {
        return std::nullopt;
    }
}

void TqbTypingJournal::Restore(const TEntry& entry, TqbNoteVersions& versions) {
    versions.KeepCurrent(entry.NotePath);
    qbAtomicWrite::ReplaceFile(entry.NotePath, entry.Bytes);
}

bool TqbTypingJournal::NoteChangedSince(const TEntry& entry) {
    if (!QFileInfo(entry.NotePath).isFile())
        return false;
    QFile note(entry.NotePath);
    if (entry.BaseHash.isEmpty() || !note.open(QIODevice::ReadOnly))
        return true;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&note);
    return hash.result().toHex() != entry.BaseHash;
}
