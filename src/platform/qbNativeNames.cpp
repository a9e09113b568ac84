#include "platform/qbNativeNames.h"

#include "platform/qbShellMove.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace qbNativeNames {

namespace {

// Anything that does not come back to the same bytes would name another file.
std::optional<QString> DecodeCp949(const QByteArray& bytes) {
    QStringDecoder decoder("windows-949");
    QString name = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    // The converter gives control and private-use characters to bytes Windows never puts in a
    // name (0x80, 0xFF, the user-defined area): such a name is no CP949 name.
    for (const QChar c : std::as_const(name)) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_PrivateUse ||
            c == QChar::ReplacementCharacter)
            return std::nullopt;
    }
    QStringEncoder encoder("windows-949");
    const QByteArray back = encoder.encode(name);
    if (encoder.hasError() || back != bytes)
        return std::nullopt;
    return name;
}

// Some characters beyond ASCII, and each of them in [from, to].
bool BeyondAsciiOnlyIn(const QString& name, char16_t from, char16_t to) {
    bool beyond = false;
    for (const QChar c : name) {
        if (c.unicode() < 0x80)
            continue;
        if (c.unicode() < from || c.unicode() > to)
            return false;
        beyond = true;
    }
    return beyond;
}

// A Latin word's accented letters stand among Latin letters; Hangul read as UTF-8 gives signs
// no word holds ("짱" is C2 AF, "¯"), or letters with no Latin letter beside them in the name.
bool ReadsAsLatinWords(const QString& utf8Reading) {
    const QString base = utf8Reading.left(utf8Reading.lastIndexOf(u'.') > 0
                                              ? utf8Reading.lastIndexOf(u'.')
                                              : utf8Reading.size());
    bool latinLetter = false;
    for (const QChar c : base) {
        if (c.unicode() >= 0x80 && (c.unicode() < 0xC0 || c == u'\u00D7' || c == u'\u00F7'))
            return false;
        latinLetter = latinLetter || (c.unicode() < 0x80 && c.isLetter());
    }
    return latinLetter;
}

// Hundreds of Hangul syllables in CP949 are also valid UTF-8 for one Latin-1 character
// ("책" is C3 A5, "å"): unless the name reads as Latin words, it is taken for what a Korean
// library most likely holds.
std::optional<QString> Cp949Looking(const QString& utf8Reading, const QByteArray& raw) {
    if (!BeyondAsciiOnlyIn(utf8Reading, 0x80, 0xFF) || ReadsAsLatinWords(utf8Reading))
        return std::nullopt;
    std::optional<QString> cp949 = DecodeCp949(raw);
    if (!cp949 || !BeyondAsciiOnlyIn(*cp949, 0xAC00, 0xD7A3))
        return std::nullopt;
    return cp949;
}

} // namespace

std::optional<TDecoded> Decode(const QByteArray& raw) {
    QString name = QFile::decodeName(raw);
    if (QFile::encodeName(name) == raw) {
        if (std::optional<QString> cp949 = Cp949Looking(name, raw))
            return TDecoded{std::move(*cp949), true};
        return TDecoded{std::move(name), false};
    }
    if (std::optional<QString> cp949 = DecodeCp949(raw))
        return TDecoded{std::move(*cp949), true};
    return std::nullopt;
}

QString ShownPath(const QByteArray& nativePath) {
    QString shown;
    shown.reserve(nativePath.size());
    qsizetype begin = 0;
    while (begin <= nativePath.size()) {
        qsizetype slash = nativePath.indexOf('/', begin);
        if (slash < 0)
            slash = nativePath.size();
        const QByteArray part = nativePath.sliced(begin, slash - begin);
        const std::optional<TDecoded> decoded = Decode(part);
        shown += decoded ? decoded->Name : QFile::decodeName(part);
        if (slash < nativePath.size())
            shown += u'/';
        begin = slash + 1;
    }
    return shown;
}

QString AdoptCp949Name(const QString& dir, const QString& name) {
    const QByteArray nativeDir = QFile::encodeName(dir);
    const QByteArray own = nativeDir + QFile::encodeName(name);
    QStringEncoder encoder("windows-949");
    const QByteArray cp949 = nativeDir + encoder.encode(name);
    struct stat info {};
    if (encoder.hasError() || cp949 == own || ::lstat(own.constData(), &info) == 0 ||
        ::lstat(cp949.constData(), &info) != 0)
        return {};
    QString error;
    qbShellMove::Rename(cp949, own, &error);
    return error;
}

QStringList AdoptCp949Names(const QString& dir) {
    QStringList names;
    std::error_code ec;
    fs::directory_iterator it(fs::path(QFile::encodeName(dir).toStdString()), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::optional<TDecoded> decoded =
            Decode(QByteArray::fromStdString(it->path().filename().native()));
        if (decoded && decoded->Cp949)
            names << decoded->Name;
    }
    // Renamed once the listing is over: a listing that sees its own renames may skip entries.
    QStringList failures;
    for (const QString& name : std::as_const(names)) {
        if (QString error = AdoptCp949Name(dir, name); !error.isEmpty())
            failures << error;
    }
    return failures;
}

} // namespace qbNativeNames
