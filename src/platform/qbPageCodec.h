#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A note page as text, and the charset its bytes came in.
struct TqbPageText {
    // A byte-order mark stays as U+FEFF at the start, so that writing the text back in the same
    // charset gives the same bytes.
    QString Text;
    QByteArray Charset;             // converter name the page came in ("windows-949", "UTF-8", ...)
    bool HadDecodingErrors = false; // some bytes were not valid in Charset
    // What most of its lines end with: a save writes its line ends so, whatever the editor gives.
    QString LineEnd = QStringLiteral("\r\n");
};

// The one place that decides a page's charset: reading and writing note pages goes through here.
namespace qbPageCodec {

// What a page of ASCII bytes without a declaration came in: no charset in particular yet. It is
// written in windows-949, and declared so by the save that first writes other bytes into it.
inline constexpr const char* AsciiOnly = "US-ASCII";

// A byte-order mark; else the page's declaration (META charset, META http-equiv content, or the
// XML declaration's encoding); else UTF-16 without a mark, told by its NUL bytes; else valid
// UTF-8 that is not plain ASCII is UTF-8; else windows-949.
QByteArray Charset(const QByteArray& bytes);

// Each byte that is not valid in the charset becomes one U+FFFD and never takes an ASCII byte
// after it along, as browsers read pages. A page of undeclared ASCII bytes comes in AsciiOnly.
TqbPageText Decode(const QByteArray& bytes);
QString Decode(const QByteArray& bytes, const QByteArray& charset, bool* hadErrors = nullptr);
TqbPageText Read(const QString& path); // throws EqbError naming the file
// A page that declares UTF-8 but is not, and reads cleanly in windows-949 (as old Korean sites
// often are): that reading, its declaration in the text now euc-kr, so that a save writes the
// same bytes back. Nothing for any other page.
std::optional<TqbPageText> Cp949Reading(const QByteArray& bytes);

// Text in `charset`; characters it lacks become numeric references (&#x1F600;). Where the text
// now declares another charset (the user edited the META in source mode) the declaration wins.
// The bytes always read back in the charset they were written in: a Unicode charset the text
// does not declare gets a byte-order mark; another undeclared one falls back to windows-949.
QByteArray Encode(const QString& text, const QByteArray& charset);
void Write(const QString& path, const QString& text, const QByteArray& charset); // atomic, throws
// Writes only when the bytes differ from what the file holds, so that a page nobody changed keeps
// its file and its time; whether it wrote.
bool WriteIfChanged(const QString& path, const QString& text, const QByteArray& charset);

// Text to be put into the page as it stands, in its charset. A page of undeclared ASCII keeps to
// ASCII (character references), so that nothing new has to be guessed about it.
QByteArray BytesForPage(const QString& text, const QByteArray& page, const QByteArray& charset);
// The page's own line end (the first kind it uses); CR LF when it has none.
QByteArray LineEndOf(const QByteArray& page);

} // namespace qbPageCodec
