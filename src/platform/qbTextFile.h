#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Note pages are bytes in code page 949 unless the page declares another charset.
namespace qbText {

// The code page every page without a declaration is taken to be in.
inline constexpr const char* DefaultCharset = "windows-949";

// The charset named by a META declaration (or XML/BOM) near the start of the bytes, mapped to a
// name the converters know ("euc-kr", "ks_c_5601-1987", "cp949" all become windows-949);
// DefaultCharset when there is none or the name is unknown.
QByteArray DeclaredCharset(const QByteArray& bytes);
// Whether the bytes carry such a declaration at all.
bool DeclaresCharset(const QByteArray& bytes);

// Maps a charset name as a page or the browser gives it ("EUC-KR", "UTF-8") to a converter name.
QByteArray NormalizeCharset(const QByteArray& name);

QString Decode(const QByteArray& bytes, const QByteArray& charset);
// Characters the charset cannot hold become numeric character references ("&#x1F600;").
QByteArray Encode(const QString& text, const QByteArray& charset);

// The text of an attribute value or a run of page text: numeric references and the five
// named ones of XML become their characters; anything else, an invalid code point included,
// stays as written.
QString DecodeReferences(const QString& text);

// Splits at CR, LF or CR LF; a final line end does not make an extra empty line.
QStringList SplitLines(const QString& text);
// Each line followed by lineEnd, the last line included.
QString JoinLines(const QStringList& lines, QStringView lineEnd = u"\r\n");
// The line end most lines of the text end with ("\r\n", "\n" or "\r"); CR LF when the text
// has none or no kind is ahead, as for a new note.
QString DominantLineEnd(QStringView text);

// Reads the file's lines in its declared charset (DefaultCharset when none). Throws EqbError when
// the file cannot be read.
QStringList ReadLines(const QString& path);
// Writes lines with CR LF each, in the charset the lines declare (DefaultCharset when none),
// atomically. Throws EqbError naming the file when the write fails.
void WriteLines(const QString& path, const QStringList& lines);

QByteArray ReadFileBytes(const QString& path);
// Replaces the file atomically and durably (qbAtomicWrite::ReplaceFile): a failed or interrupted
// write leaves the old file whole and throws EqbError with the system's reason.
void WriteFileBytes(const QString& path, const QByteArray& bytes);

} // namespace qbText
