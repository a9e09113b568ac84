#include "search/qbBacklinks.h"

#include "library/qbLinkPolicy.h"
#include "library/qbNoteInfo.h"
#include "library/qbNoteLinks.h"
#include "library/qbPictureLinks.h"
#include "platform/qbError.h"
#include "platform/qbPageCodec.h"
#include "search/qbFoldedByteSearch.h"
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

// The piece with each character outside ASCII written as a numeric reference, as pages in an
// ASCII charset hold names.
QByteArray AsReferences(const QString& piece, bool hex) {
    QByteArray out;
    for (const char32_t c : piece.toUcs4()) {
        if (c < 0x80)
            out += char(c);
        else
            out += (hex ? "&#x" + QByteArray::number(uint(c), 16) : "&#" + QByteArray::number(uint(c))) + ';';
    }
    return out;
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
    // Pages in UTF-16 or with references come from Windows programs, which compose Hangul.
    QList<QByteArray> needles{piece.toUtf8(),
                              QUrl::toPercentEncoding(piece),
                              decomposed.toUtf8(),
                              QUrl::toPercentEncoding(decomposed),
                              AsReferences(piece, true),
                              AsReferences(piece, false),
                              QStringEncoder("UTF-16LE").encode(piece),
                              QStringEncoder("UTF-16BE").encode(piece)};
    QStringEncoder cp949("windows-949");
    const QByteArray legacy = cp949.encode(piece);
    if (!cp949.hasError())
        needles << legacy << legacy.toPercentEncoding();
    for (QByteArray& needle : needles)
        needle = Folded(needle);
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
    const QString wanted = QDir::cleanPath(target);
    // Links are read as the rewrite after a move reads them.
    for (const TqbPictureLink& href : qbPictureLinks::FindHrefs(qbPageCodec::Decode(page).Text)) {
        const QUrl url = qbNoteLinks::Resolve(href.File, pagePath);
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
