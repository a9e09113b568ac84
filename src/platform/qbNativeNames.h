#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// File names as bytes on disk and as the program shows them. Names copied from Windows arrive as
// code page 949 bytes, which the file name encoding (UTF-8) cannot read.
namespace qbNativeNames {

struct TDecoded {
    QString Name;
    // Name came from code page 949: it cannot be turned back into the file's bytes.
    bool Cp949 = false;
};

// The name raw stands for, read in the file name encoding, else in code page 949; nothing when
// it is in neither. Bytes that read in the file name encoding as Latin-1 characters only beyond
// ASCII, and in code page 949 as Hangul syllables, are taken as code page 949.
std::optional<TDecoded> Decode(const QByteArray& raw);

// A path given by its bytes as shown: each name decoded as Decode does, a name in neither
// encoding as the file name encoding reads it.
QString ShownPath(const QByteArray& nativePath);

// Gives the entry of dir (ending with "/") named name in code page 949 bytes the name itself,
// unless an entry has that name already. Returns why it could not; empty when it was renamed
// or there was nothing to do.
QString AdoptCp949Name(const QString& dir, const QString& name);
// The same for each entry of dir whose name is in code page 949. Returns a message for each
// that could not be renamed.
QStringList AdoptCp949Names(const QString& dir);

} // namespace qbNativeNames
