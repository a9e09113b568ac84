#pragma once

#include <QString>
#include <QStringList>

// The words a user added to the spell checker, one a line in a UTF-8 file kept with the
// program's settings, and the copy the web engine reads when it starts.
class TqbUserDictionary {
public:
    // Reads the file when there is one; a missing file is an empty list.
    explicit TqbUserDictionary(QString fileName);

    const QString& FileName() const { return m_fileName; }
    const QStringList& Words() const { return m_words; }
    bool Contains(const QString& word) const { return m_words.contains(word); }

    // Whether the engine takes the word into its own list: one to 99 bytes, no white space.
    static bool IsValidWord(const QString& word);
    // Adds the word and writes the file; false when it was there already. Throws EqbError,
    // the list and the file unchanged, for a word the engine would refuse or a failed write.
    bool Add(const QString& word);

    // The engine's custom dictionary: the words a line, then a checksum of them.
    static QByteArray EngineFileBytes(const QStringList& words);
    // Writes the engine's copy into its storage folder (as the file the engine reads at its
    // start), unless it already holds these words. Throws EqbError when it cannot.
    void WriteEngineFile(const QString& storageFolder) const;
    static QString EngineFileName(const QString& storageFolder);

private:
    QString m_fileName;
    QStringList m_words;
};
