#include "library/qbLinkPolicy.h"

#include "library/qbFolderListing.h"
#include "library/qbNoteInfo.h"
#include "library/qbNoteLinks.h"
#include "library/qbSyncNames.h"

#include <QDir>
#include <QFileInfo>

namespace qbLinkPolicy {

TLinkAction Decide(const QUrl& url, const QString& libraryRoot, const QString& noteExt) {
    const QString scheme = url.scheme().toLower();
    if (!url.isValid())
        return TLinkAction::RefuseScheme;
    if (scheme == u"http" || scheme == u"https" || scheme == u"mailto")
        return TLinkAction::Desktop;
    if (scheme != u"file")
        return TLinkAction::RefuseScheme;
    const QString root = QDir::cleanPath(libraryRoot);
    if (root.isEmpty() || !QDir::cleanPath(qbNoteLinks::LocalPath(url)).startsWith(root + u'/'))
        return TLinkAction::RefuseOutsideLibrary;
    const QString path = LibraryPath(url);
    const QString name = QFileInfo(path).fileName();
    const bool page = IsNoteFileName(name, noteExt) || name == TqbNoteInfo::FolderDescriptionName;
    // A conflict copy beside its original is no note of its own, as the tree does not show it.
    const QString original = qbSyncNames::ConflictOriginal(name);
    const bool copy =
        !original.isEmpty() && QFileInfo::exists(QFileInfo(path).dir().filePath(original));
    return page && !copy ? TLinkAction::ShowInTree : TLinkAction::RefuseNotANote;
}

namespace {

// The path as the disk spells it, where a name was written with its Hangul composed (NFC) and is
// kept decomposed (NFD, as macOS writes names), or the other way round.
QString AsOnDisk(const QString& path) {
    if (QFileInfo::exists(path))
        return path;
    const QStringList parts = path.split(u'/');
    QString at = parts.first();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        QString next = at + u'/' + parts[i];
        for (const auto form : {QString::NormalizationForm_C, QString::NormalizationForm_D}) {
            const QString other = at + u'/' + parts[i].normalized(form);
            if (!QFileInfo::exists(next) && QFileInfo::exists(other))
                next = other;
        }
        at = next;
    }
    return at;
}

} // namespace

QString LibraryPath(const QUrl& url) {
    const QString path = AsOnDisk(QDir::cleanPath(qbNoteLinks::LocalPath(url)));
    // A folder shows in the tree as its page.
    if (QFileInfo(path).isDir())
        return path + u'/' + TqbNoteInfo::FolderDescriptionName;
    return path;
}

QString RefusalText(const QUrl& url, TLinkAction action) {
    switch (action) {
    case TLinkAction::Desktop:
    case TLinkAction::ShowInTree:
        return QString();
    case TLinkAction::RefuseNotANote:
        return QStringLiteral("노트가 아닌 파일은 열지 않습니다: %1")
            .arg(QDir::toNativeSeparators(LibraryPath(url)));
    case TLinkAction::RefuseOutsideLibrary:
        return QStringLiteral("라이브러리 밖의 파일은 열지 않습니다: %1")
            .arg(url.host().isEmpty() ? QDir::toNativeSeparators(QDir::cleanPath(qbNoteLinks::LocalPath(url)))
                                      : url.toDisplayString());
    case TLinkAction::RefuseScheme:
        if (!url.isValid())
            return QStringLiteral("이 종류의 링크는 열지 않습니다: 잘못된 주소");
        return QStringLiteral("이 종류의 링크는 열지 않습니다: %1")
            .arg(url.scheme().isEmpty() ? url.toDisplayString() : url.scheme() + u':');
    }
    return QString();
}

QUrl ForDesktop(const QUrl& url, QStringList* dropped) {
    if (url.scheme().compare(u"mailto", Qt::CaseInsensitive) != 0 || !url.hasQuery())
        return url;
    QStringList kept;
    for (const QString& item : url.query(QUrl::FullyEncoded).split(u'&')) {
        const QString key = QUrl::fromPercentEncoding(item.section(u'=', 0, 0).toLatin1()).toLower();
        if (key != u"attach" && key != u"attachment") {
            kept << item;
            continue;
        }
        const QString value = item.section(u'=', 1);
        if (dropped)
            *dropped << QUrl::fromPercentEncoding(value.toLatin1());
    }
    QUrl out = url;
    out.setQuery(kept.isEmpty() ? QString() : kept.join(u'&'), QUrl::StrictMode);
    return out;
}

QString DroppedAttachmentsText(const QStringList& dropped) {
    return QStringLiteral("메일 링크가 첨부하려던 파일은 넘기지 않았습니다. 필요하면 메일 "
                          "프로그램에서 직접 첨부하세요:\n%1")
        .arg(dropped.join(u'\n'));
}

} // namespace qbLinkPolicy
