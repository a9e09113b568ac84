#include "platform/qbTextFile.h"

#include "platform/qbAtomicWrite.h"
#include "platform/qbError.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace qbText {

namespace {

// Far enough into a page to pass a long style block in its head.
constexpr qsizetype ScanLimit = 8192;

QString NativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

bool IsAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The value after "charset" (or "encoding") inside one tag: charset=x, charset="x", charset='x'.
QByteArray AttributeValue(const QByteArray& tag, const QByteArray& attribute) {
    qsizetype pos = 0;
    while ((pos = tag.indexOf(attribute, pos)) >= 0) {
        qsizetype i = pos + attribute.size();
        pos = i;
        while (i < tag.size() && IsAsciiSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            continue;
        ++i;
        while (i < tag.size() && IsAsciiSpace(tag[i]))
            ++i;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\''))
            ++i;
        const qsizetype start = i;
        while (i < tag.size() && !IsAsciiSpace(tag[i]) && tag[i] != '"' && tag[i] != '\'' &&
               tag[i] != ';' && tag[i] != '>' && tag[i] != '/')
            ++i;
        if (i > start)
            return tag.mid(start, i - start);
    }
    return {};
}

// As browsers read a META declaration: a page that claims UTF-16 in ASCII bytes is not UTF-16.
QByteArray FromMeta(const QByteArray& name) {
    if (name.startsWith("utf-16"))
        return "UTF-8";
    return NormalizeCharset(name);
}

bool RoundTrips(const QByteArray& bytes, QStringView text, const QByteArray& charset) {
    QStringDecoder decoder(charset.constData(), QStringDecoder::Flag::ConvertInitialBom);
    const QString back = decoder.decode(bytes);
    return !decoder.hasError() && back == text;
}

QByteArray CharacterReference(char32_t codePoint) {
    return "&#x" + QByteArray::number(quint32(codePoint), 16).toUpper() + ';';
}

} // namespace

QByteArray NormalizeCharset(const QByteArray& name) {
    QByteArray n = name.trimmed();
    if (n.size() >= 2 && (n.front() == '"' || n.front() == '\'') && n.back() == n.front())
        n = n.mid(1, n.size() - 2).trimmed();
    const QByteArray lower = n.toLower();
    static const QByteArray korean[] = {
        "euc-kr",        "cp949",         "ks_c_5601-1987", "windows-949", "uhc",
        "x-windows-949", "ms949",         "ks_c_5601-1989", "ksc5601",     "ks_c_5601",
        "korean",        "csksc56011987", "iso-ir-149",     "csEUCKR"};
    for (const QByteArray& alias : korean) {
        if (lower == alias.toLower())
            return DefaultCharset;
    }
    if (lower == "utf-8" || lower == "utf8")
        return "UTF-8";
    // Browsers read these labels as windows-1252; reading them otherwise would lose bytes.
    static const QByteArray western[] = {"us-ascii", "ascii",      "iso-8859-1", "iso8859-1",
                                         "latin1",   "iso_8859-1", "l1",         "cp1252"};
    for (const QByteArray& alias : western) {
        if (lower == alias)
            return "windows-1252";
    }
    if (!n.isEmpty() && QStringEncoder(n.constData()).isValid())
        return n;
    return DefaultCharset;
}

// The page's own declaration, empty when it has none.
static QByteArray Declaration(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return "UTF-8";
    if (bytes.startsWith("\xFF\xFE"))
        return "UTF-16LE";
    if (bytes.startsWith("\xFE\xFF"))
        return "UTF-16BE";

    const QByteArray head = bytes.left(ScanLimit).toLower();
    if (head.startsWith("<?xml")) {
        const qsizetype end = head.indexOf("?>");
        const QByteArray name = AttributeValue(head.left(end < 0 ? head.size() : end), "encoding");
        if (!name.isEmpty())
            return FromMeta(name);
    }

    qsizetype pos = 0;
    while ((pos = head.indexOf('<', pos)) >= 0) {
        if (QByteArrayView(head).sliced(pos).startsWith("<!--")) {
            const qsizetype end = head.indexOf("-->", pos + 4);
            if (end < 0)
                break;
            pos = end + 3;
            continue;
        }
        const QByteArrayView rest = QByteArrayView(head).sliced(pos + 1);
        const auto isTag = [&](QByteArrayView name) {
            return rest.startsWith(name) &&
                   (rest.size() == name.size() || IsAsciiSpace(rest[name.size()]) ||
                    rest[name.size()] == '/' || rest[name.size()] == '>');
        };
        // A declaration in the body is not the page's.
        if (isTag("body"))
            break;
        qsizetype end = head.indexOf('>', pos);
        if (end < 0)
            end = head.size();
        if (isTag("meta")) {
            const QByteArray name = AttributeValue(head.mid(pos, end - pos), "charset");
            if (!name.isEmpty())
                return FromMeta(name);
        }
        pos = end;
    }
    return {};
}

QByteArray DeclaredCharset(const QByteArray& bytes) {
    const QByteArray declared = Declaration(bytes);
    return declared.isEmpty() ? QByteArray(DefaultCharset) : declared;
}

bool DeclaresCharset(const QByteArray& bytes) {
    return !Declaration(bytes).isEmpty();
}

QString Decode(const QByteArray& bytes, const QByteArray& charset) {
    const QByteArray name = NormalizeCharset(charset);
    QStringDecoder decoder(name.constData());
    return decoder.decode(bytes);
}

QByteArray Encode(const QString& text, const QByteArray& charset) {
    const QByteArray name = NormalizeCharset(charset);
    QStringEncoder encoder(name.constData());
    const QByteArray whole = encoder.encode(text);
    // The encoder puts "?" for what it cannot hold; the decode check also catches characters
    // that it silently maps to a look-alike.
    if (!encoder.hasError() && RoundTrips(whole, text, name))
        return whole;

    QByteArray out;
    out.reserve(whole.size() + 64);
    QHash<char32_t, QByteArray> cache;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        qsizetype len = 1;
        char32_t codePoint = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            len = 2;
        }
        auto it = cache.constFind(codePoint);
        if (it == cache.constEnd()) {
            const QStringView piece = QStringView(text).sliced(i, len);
            // A fresh converter each time: Qt's reset does not clear an ICU converter's error.
            QStringEncoder single(name.constData());
            QByteArray bytes = single.encode(piece);
            if (single.hasError() || !RoundTrips(bytes, piece, name))
                bytes = CharacterReference(codePoint);
            it = cache.insert(codePoint, bytes);
        }
        out += *it;
        i += len;
    }
    return out;
}

QString DecodeReferences(const QString& text) {
    if (!text.contains(u'&'))
        return text;
    static const QRegularExpression reference(
        QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|amp|quot|lt|gt|apos);"));
    QString out;
    qsizetype last = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(text).mid(last, match.capturedStart() - last);
        const QString name = match.captured(1);
        if (name.startsWith(u'#')) {
            bool ok = false;
            const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF))
                out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            else
                out += match.captured(0);
        } else {
            static const QHash<QString, QChar> named = {
                {"amp", u'&'}, {"quot", u'"'}, {"lt", u'<'}, {"gt", u'>'}, {"apos", u'\''}};
            out += named.value(name);
        }
        last = match.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString JoinLines(const QStringList& lines, QStringView lineEnd) {
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + lineEnd.size();
    QString text;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

QString DominantLineEnd(QStringView text) {
    qsizetype crLf = 0, lf = 0, cr = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'\n') {
            ++lf;
        } else if (text[i] == u'\r') {
            if (i + 1 < n && text[i + 1] == u'\n') {
                ++crLf;
                ++i;
            } else {
                ++cr;
            }
        }
    }
    if (lf > crLf && lf >= cr)
        return QStringLiteral("\n");
    if (cr > crLf && cr > lf)
        return QStringLiteral("\r");
    return QStringLiteral("\r\n");
}

QStringList ReadLines(const QString& path) {
    const QByteArray bytes = ReadFileBytes(path);
    return SplitLines(Decode(bytes, DeclaredCharset(bytes)));
}

void WriteLines(const QString& path, const QStringList& lines) {
    const QString text = JoinLines(lines);
    const QByteArray charset = DeclaredCharset(text.left(ScanLimit).toUtf8());
    WriteFileBytes(path, Encode(text, charset));
}

QByteArray ReadFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EqbError(QStringLiteral("파일을 읽을 수 없습니다: %1\n%2")
                           .arg(NativePath(path), file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EqbError(QStringLiteral("파일을 읽는 중 오류가 났습니다: %1\n%2")
                           .arg(NativePath(path), file.errorString()));
    return bytes;
}

void WriteFileBytes(const QString& path, const QByteArray& bytes) {
    qbAtomicWrite::ReplaceFile(path, bytes);
}

} // namespace qbText
