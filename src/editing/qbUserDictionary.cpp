#include "editing/qbUserDictionary.h"

#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace {

// The engine keeps no word longer than this in a custom dictionary.
constexpr int MaxWordBytes = 99;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TqbUserDictionary::TqbUserDictionary(QString fileName) : m_fileName(std::move(fileName)) {
    const QString text = QString::fromUtf8(ReadAll(m_fileName));
    for (const QString& line : text.split(u'\n')) {
        const QString word = line.trimmed();
        if (IsValidWord(word) && !m_words.contains(word))
            m_words.append(word);
    }
}

bool TqbUserDictionary::IsValidWord(const QString& word) {
    const qsizetype bytes = word.toUtf8().size();
    if (bytes == 0 || bytes > MaxWordBytes)
        return false;
    return std::none_of(word.begin(), word.end(), [](QChar c) { return c.isSpace(); });
}

bool TqbUserDictionary::Add(const QString& word) {
    if (!IsValidWord(word))
        throw EqbError(QStringLiteral("사전에 넣을 수 없는 단어입니다: %1").arg(word));
    if (Contains(word))
        return false;
    // Lines the list does not take (edited by hand) stay in the file as they were.
    QByteArray bytes = ReadAll(m_fileName);
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += '\n';
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    qbAtomicWrite::ReplaceFile(m_fileName, bytes + word.toUtf8() + '\n');
    m_words.append(word);
    return true;
}

QByteArray TqbUserDictionary::EngineFileBytes(const QStringList& words) {
    QByteArray content;
    for (const QString& word : words)
        content += word.toUtf8() + '\n';
    const QByteArray sum = QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex();
    return content + "checksum_v1 = " + sum;
}

QString TqbUserDictionary::EngineFileName(const QString& storageFolder) {
    return QDir(storageFolder).filePath(QStringLiteral("Custom Dictionary.txt"));
}

void TqbUserDictionary::WriteEngineFile(const QString& storageFolder) const {
    const QString path = EngineFileName(storageFolder);
    const QByteArray bytes = EngineFileBytes(m_words);
    if (ReadAll(path) == bytes || (m_words.isEmpty() && !QFileInfo::exists(path)))
        return;
    if (!QDir().mkpath(storageFolder))
        throw EqbError(QStringLiteral("폴더를 만들 수 없습니다: %1").arg(storageFolder));
    qbAtomicWrite::ReplaceFile(path, bytes);
}
