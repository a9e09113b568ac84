#include "library/qbLinkPolicy.h"

#include "library/qbFolderListing.h"
#include "library/qbNoteInfo.h"

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
    if (root.isEmpty() || !QDir::cleanPath(url.toLocalFile()).startsWith(root + u'/'))
        return TLinkAction::RefuseOutsideLibrary;
    const QString path = LibraryPath(url);
    const QString name = QFileInfo(path).fileName();
    return IsNoteFileName(name, noteExt) || name == TqbNoteInfo::FolderDescriptionName
               ? TLinkAction::ShowInTree
               : TLinkAction::RefuseNotANote;
}

QString LibraryPath(const QUrl& url) {
    const QString path = QDir::cleanPath(url.toLocalFile());
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
            .arg(url.host().isEmpty() ? QDir::toNativeSeparators(QDir::cleanPath(url.toLocalFile()))
                                      : url.toDisplayString());
    case TLinkAction::RefuseScheme:
        if (!url.isValid())
            return QStringLiteral("이 종류의 링크는 열지 않습니다: 잘못된 주소");
        return QStringLiteral("이 종류의 링크는 열지 않습니다: %1")
            .arg(url.scheme().isEmpty() ? url.toDisplayString() : url.scheme() + u':');
    }
    return QString();
}

} // namespace qbLinkPolicy
