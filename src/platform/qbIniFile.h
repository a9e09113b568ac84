#pragma once

#include <QString>

// Windows profile (INI) rules over a UTF-8 file: every call opens the file by name for that one
// access, section and key names compare without case, writes are atomic and keep every other line.
class TqbIniFile {
public:
    explicit TqbIniFile(QString fileName);

    const QString& FileName() const { return m_fileName; }

    // Strings are cut to 2047 characters, as the profile functions return them.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Decimal, or hexadecimal after "0x"/"0X" when longer than two characters; anything else
    // that is no number gives def.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // Any non-zero integer is true.
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    // Throw EqbError when the file cannot be written; the old file then stays whole.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    static constexpr int MaxStringLength = 2047;

private:
    QString m_fileName;
};
