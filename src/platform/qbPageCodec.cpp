#include "platform/qbPageCodec.h"

#include "platform/qbTextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

namespace qbPageCodec {

namespace {

constexpr char16_t ByteOrderMark = 0xFEFF;
constexpr char16_t Replacement = 0xFFFD;
// As far into a page as its declaration is looked for.
constexpr qsizetype DeclarationScan = 8192;

bool IsContinuation(uchar c) {
    return c >= 0x80 && c <= 0xBF;
}

// Valid UTF-8 holding at least one character outside ASCII: such a page is not CP949 text.
bool IsUtf8NotAscii(QByteArrayView bytes) {
    bool beyondAscii = false;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const uchar c = uchar(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        uchar low = 0x80, high = 0xBF; // the second byte's range
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (i + length > n)
            return false;
        const uchar second = uchar(bytes[i + 1]);
        if (second < low || second > high)
            return false;
        for (int k = 2; k < length; ++k)
            if (!IsContinuation(uchar(bytes[i + k])))
                return false;
        beyondAscii = true;
        i += length;
    }
    return beyondAscii;
}

bool IsPureAscii(QByteArrayView bytes) {
    for (const char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

bool SameCharset(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsUnicode(const QByteArray& charset) {
    const QByteArray name = charset.toLower();
    return name == "utf-8" || name.startsWith("utf-16") || name.startsWith("utf-32");
}

// Charsets found only by their byte-order mark: their bytes hide any declaration.
bool OnlyByMark(const QByteArray& charset) {
    const QByteArray name = charset.toLower();
    return name.startsWith("utf-16") || name.startsWith("utf-32");
}

// Charsets where every byte below 0x80 is that ASCII character and never part of a longer
// sequence's start, so a bad sequence can be skipped one byte at a time.
bool IsAsciiBased(const QByteArray& charset) {
    const QByteArray name = charset.toLower();
    return !OnlyByMark(name) && !name.startsWith("iso-2022") && name != "utf-7" && name != "hz" &&
           !name.startsWith("hz-");
}

// Decodes byte by byte, trying sequences of one to four bytes at each place; what does not make
// a character is one U+FFFD for its first byte, and decoding goes on at the next byte.
QString DecodeSequenceBySequence(QByteArrayView bytes, const QByteArray& charset, bool* hadErrors) {
    struct TPiece {
        bool Valid = false;
        QString Text;
    };
    QHash<quint64, TPiece> pieces; // a page repeats its characters: decode each sequence once
    const auto piece = [&](qsizetype at, int length) -> const TPiece& {
        quint64 key = quint64(length) << 32;
        for (int k = 0; k < length; ++k)
            key |= quint64(uchar(bytes[at + k])) << (8 * k);
        auto it = pieces.constFind(key);
        if (it == pieces.constEnd()) {
            QStringDecoder decoder(charset.constData(), QStringDecoder::Flag::Stateless);
            TPiece made;
            made.Text = decoder.decode(bytes.sliced(at, length));
            made.Valid = !decoder.hasError() && !made.Text.isEmpty() &&
                         !made.Text.contains(QChar(Replacement));
            it = pieces.insert(key, made);
        }
        return *it;
    };

    QString text;
    text.reserve(bytes.size());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const uchar c = uchar(bytes[i]);
        if (c < 0x80) {
            text += QChar(c);
            ++i;
            continue;
        }
        int taken = 0;
        for (int length = 1; length <= 4 && i + length <= n; ++length) {
            const TPiece& p = piece(i, length);
            if (p.Valid) {
                text += p.Text;
                taken = length;
                break;
            }
        }
        if (taken == 0) {
            text += QChar(Replacement);
            *hadErrors = true;
            taken = 1;
        }
        i += taken;
    }
    return text;
}

// The charset the text itself names (META or XML declaration), empty when it names none.
QByteArray DeclaredIn(const QString& text) {
    QStringView head = QStringView(text).left(DeclarationScan);
    if (head.startsWith(QChar(ByteOrderMark)))
        head = head.sliced(1);
    const QByteArray bytes = head.toUtf8();
    return qbText::DeclaresCharset(bytes) ? qbText::DeclaredCharset(bytes) : QByteArray();
}

// The text with a META declaring label at the start of its head, made when there is none.
QString WithDeclaration(const QString& text, QLatin1StringView label) {
    const QString meta = QStringLiteral("<meta charset=\"%1\">").arg(label);
    static const QRegularExpression body(QStringLiteral("<body[\\s/>]"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression head(QStringLiteral("<head(?:[\\s/][^>]*)?>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression html(QStringLiteral("<html(?:[\\s/][^>]*)?>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression doctype(QStringLiteral("^\\s*<!doctype[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    const qsizetype bodyAt = text.indexOf(body);
    const qsizetype before = bodyAt < 0 ? text.size() : bodyAt;
    const auto inHead = [&](const QRegularExpression& tag) {
        const QRegularExpressionMatch m = tag.match(text);
        return m.hasMatch() && m.capturedStart() < before ? m.capturedEnd() : qsizetype(-1);
    };
    QString out = text;
    if (const qsizetype at = inHead(head); at >= 0)
        return out.insert(at, meta);
    const QString made = QStringLiteral("<head>%1</head>").arg(meta);
    if (const qsizetype at = inHead(html); at >= 0)
        return out.insert(at, made);
    const QRegularExpressionMatch m = doctype.match(text);
    return out.insert(m.hasMatch() ? m.capturedEnd() : 0, made);
}

QByteArray WithMark(const QByteArray& bytes, const QByteArray& charset) {
    return qbText::Encode(QString(QChar(ByteOrderMark)), charset) + bytes;
}

// UTF-16 without a byte-order mark: markup is mostly ASCII, so one byte of most pairs is NUL,
// always on the same side; pages in other charsets hold no NUL at all. Empty when not so.
QByteArray Utf16WithoutMark(QByteArrayView bytes) {
    const qsizetype pairs = qMin<qsizetype>(bytes.size(), DeclarationScan) / 2;
    qsizetype nulFirst = 0, nulSecond = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        nulFirst += bytes[2 * i] == 0;
        nulSecond += bytes[2 * i + 1] == 0;
    }
    if (qMax(nulFirst, nulSecond) < qMax<qsizetype>(pairs / 4, 4))
        return {};
    if (nulSecond > 4 * nulFirst)
        return "UTF-16LE";
    if (nulFirst > 4 * nulSecond)
        return "UTF-16BE";
    return {};
}

} // namespace

QByteArray Charset(const QByteArray& bytes) {
    if (qbText::DeclaresCharset(bytes))
        return qbText::DeclaredCharset(bytes);
    if (const QByteArray utf16 = Utf16WithoutMark(bytes); !utf16.isEmpty())
        return utf16;
    return IsUtf8NotAscii(bytes) ? QByteArray("UTF-8") : QByteArray(qbText::DefaultCharset);
}

QString Decode(const QByteArray& bytes, const QByteArray& charset, bool* hadErrors) {
    bool errors = false;
    const QByteArray name = qbText::NormalizeCharset(charset);
    // The mark is kept as U+FEFF so that the page is written back with it.
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless |
                                                 QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        errors = true;
        // Qt's own UTF-8 decoder already gives one U+FFFD a bad byte and keeps what follows.
        if (IsAsciiBased(name) && !SameCharset(name, "UTF-8")) {
            errors = false;
            text = DecodeSequenceBySequence(bytes, name, &errors);
        }
    }
    if (hadErrors)
        *hadErrors = errors;
    return text;
}

TqbPageText Decode(const QByteArray& bytes) {
    TqbPageText page;
    page.Charset = Charset(bytes);
    if (SameCharset(page.Charset, qbText::DefaultCharset) && !qbText::DeclaresCharset(bytes) &&
        IsPureAscii(bytes))
        page.Charset = AsciiOnly;
    page.Text = Decode(bytes, page.Charset, &page.HadDecodingErrors);
    page.LineEnd = qbText::DominantLineEnd(page.Text);
    return page;
}

TqbPageText Read(const QString& path) {
    return Decode(qbText::ReadFileBytes(path));
}

std::optional<TqbPageText> Cp949Reading(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF") || !qbText::DeclaresCharset(bytes) ||
        !SameCharset(qbText::DeclaredCharset(bytes), "UTF-8") || IsUtf8NotAscii(bytes) ||
        IsPureAscii(bytes))
        return std::nullopt;
    TqbPageText page;
    page.Charset = qbText::DefaultCharset;
    page.Text = Decode(bytes, page.Charset, &page.HadDecodingErrors);
    if (page.HadDecodingErrors)
        return std::nullopt;
    // The converter gives control and private-use characters to bytes no Korean text has.
    for (const QChar c : std::as_const(page.Text)) {
        const QChar::Category category = c.category();
        if ((category == QChar::Other_Control && c.unicode() >= 0x80) ||
            category == QChar::Other_PrivateUse)
            return std::nullopt;
    }
    // The declaration is ASCII: where it lies in the bytes it lies in the text.
    static const QRegularExpression declared(
        QStringLiteral("((?:charset|encoding)\\s*=\\s*[\"']?\\s*)utf-?8"),
        QRegularExpression::CaseInsensitiveOption);
    const qsizetype body = page.Text.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    const QString head = page.Text.left(body < 0 ? DeclarationScan : qMin(body, DeclarationScan));
    QString renamed = head;
    renamed.replace(declared, QStringLiteral("\\1euc-kr"));
    if (!SameCharset(DeclaredIn(renamed), qbText::DefaultCharset))
        return std::nullopt;
    page.Text.replace(0, head.size(), renamed);
    page.LineEnd = qbText::DominantLineEnd(page.Text);
    return page;
}

QByteArray Encode(const QString& text, const QByteArray& charset) {
    if (SameCharset(charset, AsciiOnly) && DeclaredIn(text).isEmpty()) {
        const QByteArray bytes = qbText::Encode(text, qbText::DefaultCharset);
        if (IsPureAscii(bytes))
            return bytes;
        // Browsers would guess what these first bytes beyond ASCII are in.
        return qbText::Encode(WithDeclaration(text, QLatin1StringView("euc-kr")),
                              qbText::DefaultCharset);
    }
    QByteArray target = qbText::NormalizeCharset(charset);
    const bool marked = text.startsWith(QChar(ByteOrderMark));
    // What decides the charset on reading decides it here: a mark before a declaration.
    if (!OnlyByMark(target) && !(marked && IsUnicode(target))) {
        const QByteArray declared = DeclaredIn(text);
        if (!declared.isEmpty())
            target = declared;
    }
    QStringView body(text);
    if (marked && !IsUnicode(target))
        body = body.sliced(1); // a mark has no place in other charsets
    QByteArray bytes = qbText::Encode(body.toString(), target);

    if (SameCharset(Charset(bytes), target))
        return bytes;
    if (IsPureAscii(bytes) && IsAsciiBased(target))
        return bytes; // the same text whichever way it is read
    if (IsUnicode(target))
        return WithMark(bytes, target);
    // An undeclared charset that reading would not find: the default one reads back the same.
    return qbText::Encode(body.toString(), qbText::DefaultCharset);
}

void Write(const QString& path, const QString& text, const QByteArray& charset) {
    qbText::WriteFileBytes(path, Encode(text, charset));
}

bool WriteIfChanged(const QString& path, const QString& text, const QByteArray& charset) {
    const QByteArray bytes = Encode(text, charset);
    const QFileInfo file(path);
    if (file.isFile() && file.size() == bytes.size()) {
        QFile current(path);
        if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes)
            return false;
    }
    qbText::WriteFileBytes(path, bytes);
    return true;
}

QByteArray BytesForPage(const QString& text, const QByteArray& page, const QByteArray& charset) {
    const bool asciiOnly =
        !qbText::DeclaresCharset(page) &&
        std::all_of(page.cbegin(), page.cend(), [](char c) { return uchar(c) < 0x80; });
    if (!asciiOnly)
        return qbText::Encode(text, charset);
    QByteArray bytes;
    for (const char32_t c : text.toUcs4())
        bytes += c < 0x80 ? QByteArray(1, char(c))
                          : "&#x" + QByteArray::number(uint(c), 16).toUpper() + ';';
    return bytes;
}

QByteArray LineEndOf(const QByteArray& page) {
    if (page.contains("\r\n"))
        return "\r\n";
    if (page.contains('\n'))
        return "\n";
    return page.contains('\r') ? "\r" : "\r\n";
}

} // namespace qbPageCodec
