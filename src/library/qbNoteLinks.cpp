#include "library/qbNoteLinks.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace qbNoteLinks {

namespace {

const char* const Cp949 = "windows-949";

// Whether the bytes are text in the encoding; the text goes to text.
bool Reads(const char* encoding, const QByteArray& bytes, QString* text = nullptr) {
    QStringDecoder decoder(encoding);
    const QString decoded = decoder.decode(bytes);
    if (text)
        *text = decoded;
    return !decoder.hasError();
}

// A name's bytes in code page 949 where asked and every character fits, else in UTF-8.
QByteArray NameBytes(const QString& name, TNameBytes bytes) {
    if (bytes == TNameBytes::Cp949) {
        QStringEncoder cp949(Cp949);
        const QByteArray legacy = cp949.encode(name);
        if (!cp949.hasError())
            return legacy;
    }
    return name.toUtf8();
}

QString Encoded(const QString& path, TNameBytes bytes) {
    QStringList parts = path.split(u'/');
    for (QString& part : parts)
        if (part != u".." && part != u".")
            part = QString::fromLatin1(NameBytes(part, bytes).toPercentEncoding());
    return parts.join(u'/');
}

// The path part of an href: up to its query or place.
qsizetype PathEnd(const QString& href) {
    static const QRegularExpression tail(QStringLiteral("[?#]"));
    const qsizetype end = href.indexOf(tail);
    return end < 0 ? href.size() : end;
}

} // namespace

// A run of escapes is one name or a piece of one, so a path may mix both encodings.
QString Unescaped(const QString& escaped, bool* legacy) {
    static const QRegularExpression run(QStringLiteral("(?:%[0-9A-Fa-f]{2})+"));
    QString out;
    qsizetype from = 0;
    for (auto it = run.globalMatch(escaped); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += escaped.mid(from, m.capturedStart() - from);
        const QByteArray bytes = QByteArray::fromPercentEncoding(m.captured().toLatin1());
        QString text;
        if (Reads("UTF-8", bytes, &text) || !Reads(Cp949, bytes, &text)) {
            out += QString::fromUtf8(bytes);
        } else {
            out += text;
            if (legacy)
                *legacy = true;
        }
        from = m.capturedEnd();
    }
    return out + escaped.mid(from);
}

QUrl Resolve(const QString& href, const QString& notePath) {
    const QUrl base = QUrl::fromLocalFile(QFileInfo(notePath).absoluteFilePath());
    QString written = href.trimmed();
    // Pages made on Windows separate folders by '\', and the engine reads it so.
    const qsizetype pathEnd = PathEnd(written);
    for (qsizetype i = 0; i < pathEnd; ++i)
        if (written[i] == u'\\')
            written[i] = u'/';
    return base.resolved(QUrl(written, QUrl::TolerantMode));
}

QString LocalPath(const QUrl& url) {
    if (!url.isLocalFile())
        return {};
    if (!url.host().isEmpty() && url.host().compare(u"localhost", Qt::CaseInsensitive) != 0)
        return url.toLocalFile();
    return Unescaped(url.path(QUrl::FullyEncoded));
}

TNameBytes NameBytesOf(const QString& href) {
    bool legacy = false;
    Unescaped(href.left(PathEnd(href)), &legacy);
    return legacy ? TNameBytes::Cp949 : TNameBytes::Utf8;
}

QString Href(const QString& fromNote, const QString& toPath, TNameBytes bytes) {
    return Encoded(QDir(QFileInfo(fromNote).absolutePath())
                       .relativeFilePath(QFileInfo(toPath).absoluteFilePath()),
                   bytes);
}

QString EncodedPath(const QString& path, TNameBytes bytes) {
    return Encoded(path, bytes);
}

} // namespace qbNoteLinks
