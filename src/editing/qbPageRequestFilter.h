#pragma once

#include <QStringList>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

// What becomes of one request a note page makes.
struct TqbRequestVerdict {
    enum TKind { Allow, Block, Redirect };
    TKind Kind = Allow;
    QUrl Target; // for Redirect
};

// Notes may show local files from the allowed folders only: a page must not read
// file:///etc/passwd into an iframe, a picture or an object. Web addresses are not ours to judge.
// A big page shown from its hidden copy finds its relative files through the copy's folder:
// those requests go on to the note's own folder.
class TqbPageRequestFilter : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Folders whose files (and sub-folders' files) pages may load.
    void SetAllowedRoots(const QStringList& folders);
    QStringList AllowedRoots() const { return m_roots; }
    // The open note's folder is always allowed; empty when no note is open.
    void SetDocumentFolder(const QString& folder);
    // Requests under `copyFolder` are sent to `noteFolder`, except for `copyPage` itself. Empty
    // folders end the mapping.
    void SetViewCopy(const QString& copyFolder, const QString& copyPage, const QString& noteFolder);

    // The rule itself. Folders must be clean absolute paths without a trailing "/".
    static TqbRequestVerdict Judge(const QUrl& url, const QStringList& allowedFolders,
                                   const QString& copyFolder, const QString& copyPage,
                                   const QString& noteFolder);
    // Where a link in the copy really points.
    QUrl MapFromCopy(const QUrl& url) const;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    QStringList AllAllowed() const;

    QStringList m_roots;
    QString m_documentFolder;
    QString m_copyFolder;
    QString m_copyPage;
    QString m_noteFolder;
};
