#include "search/qbBacklinks.h"

#include "library/qbLinkPolicy.h"
#include "library/qbNoteInfo.h"
#include "library/qbNoteLinks.h"
#include "platform/qbError.h"
#include "search/qbCharacterReferences.h"
#include "search/qbFoldedByteSearch.h"
#include "search/qbPageCharset.h"
#include "search/qbPageReader.h"
#include "search/qbSearchFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <thread>

namespace qbBacklinks {

namespace {

QByteArray Folded(QByteArray bytes) {
    std::transform(bytes.begin(), bytes.end(), bytes.begin(), qbSearch::FoldByte);
    return bytes;
}

// An attribute's value as the page means it: "&amp;" is '&'.
QString Unescaped(const QString& value) {
    if (!value.contains(u'&'))
        return value;
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        char32_t c = 0;
        const qsizetype length =
            value[i] == u'&'
                ? qbSearch::ReadCharacterReference(
                      reinterpret_cast<const char16_t*>(value.constData()) + i, value.size() - i, c)
                : 0;
        if (length == 0) {
            text += value[i];
            continue;
        }
        text += QString::fromUcs4(&c, 1);
        i += length - 1;
    }
    return text;
}

} // namespace

QList<QByteArray> Needles(const QString& target) {
    const QFileInfo info(target);
    const QString name = info.fileName() == TqbNoteInfo::FolderDescriptionName
                             ? info.dir().dirName()
                             : info.fileName();
    // A writer may encode a space or a '#' and leave the letters, or encode everything: the
    // longest piece between such characters is the part every form holds the same way.
    static const QRegularExpression encodable(
        QStringLiteral("[^A-Za-z0-9._~\\-\\x{80}-\\x{10FFFF}]+"));
    QString piece;
    for (const QString& part : name.split(encodable, Qt::SkipEmptyParts))
        if (part.size() > piece.size())
            piece = part;
    if (piece.isEmpty())
        piece = name;
    // Hangul may be written composed or not, whichever way the name on disk has it.
    const QString decomposed = piece.normalized(QString::NormalizationForm_D);
    piece = piece.normalized(QString::NormalizationForm_C);
    QList<QByteArray> needles{Folded(piece.toUtf8()), Folded(QUrl::toPercentEncoding(piece)),
                              Folded(decomposed.toUtf8()),
                              Folded(QUrl::toPercentEncoding(decomposed))};
    QStringEncoder cp949("windows-949");
    const QByteArray legacy = cp949.encode(piece);
    if (!cp949.hasError())
        needles << Folded(legacy);
    std::sort(needles.begin(), needles.end());
    needles.erase(std::unique(needles.begin(), needles.end()), needles.end());
    return needles;
}

struct TNameScan::TSearches {
    std::vector<TqbFoldedByteSearch> All;
};

TNameScan::TNameScan(const QString& target) : m_searches(std::make_unique<TSearches>()) {
    for (const QByteArray& needle : Needles(target))
        m_searches->All.emplace_back(needle);
}

TNameScan::~TNameScan() = default;

bool TNameScan::In(const QByteArray& page) const {
    return std::any_of(m_searches->All.begin(), m_searches->All.end(),
                       [&](const TqbFoldedByteSearch& s) { return s.IndexIn(page) >= 0; });
}

bool LinksTo(const QByteArray& page, const QString& pagePath, const QString& target) {
    // One per call: the readers' threads ask at once, and only candidate pages come here.
    const QRegularExpression href(
        QStringLiteral(R"re(\shref\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QString text = qbSearch::DecodePage(page, qbSearch::PageCharset(page));
    const QString wanted = QDir::cleanPath(target);
    for (auto it = href.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString value = match.captured(1) + match.captured(2) + match.captured(3);
        const QUrl url = qbNoteLinks::Resolve(Unescaped(value), pagePath);
        if (url.isLocalFile() && qbLinkPolicy::LibraryPath(url) == wanted)
            return true;
    }
    return false;
}

QStringList PagesWhere(const QString& root, const TPageTest& take) {
    QList<QByteArray> files;
    qbSearch::CollectSearchFiles(root, files);
    // Each reader takes the next file.
    std::vector<char> taken(size_t(files.size()), 0);
    std::atomic<qsizetype> next = 0;
    const auto read = [&] {
        TqbPageReader reader;
        for (qsizetype i = next++; i < files.size(); i = next++) {
            try {
                taken[size_t(i)] = take(reader.Read(files[i]), QFile::decodeName(files[i]));
            } catch (const EqbError&) {
                // A page that cannot be read links nowhere as far as anyone can tell.
            }
        }
    };
    std::vector<std::thread> threads;
    const unsigned count = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
    for (unsigned t = 1; t < count; ++t)
        threads.emplace_back(read);
    read();
    for (std::thread& thread : threads)
        thread.join();

    QStringList pages;
    for (qsizetype i = 0; i < files.size(); ++i)
        if (taken[size_t(i)])
            pages << QFile::decodeName(files[i]);
    return pages;
}

QStringList LinkingPages(const QString& root, const QString& target) {
    const TNameScan name(target);
    const QString self = QDir::cleanPath(target);
    // A page is confirmed only where a form of the name is.
    return PagesWhere(root, [&](const QByteArray& page, const QString& path) {
        return path != self && name.In(page) && LinksTo(page, path, target);
    });
}

} // namespace qbBacklinks
