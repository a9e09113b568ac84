#pragma once

#include <QStringList>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

// Notes may show local files from the allowed folders only: a page must not read
// file:///etc/passwd into an iframe, a picture or an object. Web addresses are not ours to judge.
class TqbPageRequestFilter : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Folders whose files (and sub-folders' files) pages may load.
    void SetAllowedRoots(const QStringList& folders);
    QStringList AllowedRoots() const { return m_roots; }
    // The open note's folder is always allowed; empty when no note is open.
    void SetDocumentFolder(const QString& folder);
    // The rule itself: whether a page may load `url`. Folders are real absolute paths without
    // a trailing "/" (as AllowedRoots gives them).
    static bool MayLoad(const QUrl& url, const QStringList& allowedFolders);
    // The allowed roots and the note's folder.
    QStringList AllAllowed() const;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    QStringList m_roots;
    QString m_documentFolder;
};
