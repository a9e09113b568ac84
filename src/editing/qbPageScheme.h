#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>
#include <functional>

class QWebEngineProfile;

// Pages too big to hand over as data come to the engine from memory, at an address that stands
// for their file ("qbpage://<key>/<the file's path>"). The engine reads them as it reads a file,
// as they come, and addresses relative to the page lead to the files beside it, which are read
// from disk where the editor's rules allow. Nothing is ever written.
class TqbPageScheme : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    using TMayLoad = std::function<bool(const QUrl& fileUrl)>;

    // The engine must know the scheme before its first page is made; later calls do nothing.
    static void Register();
    // The profile's handler, installed with the first call.
    static TqbPageScheme* For(QWebEngineProfile* profile);
    static bool IsPageAddress(const QUrl& url);
    // A page address as the file address it stands for; other addresses as they are.
    static QUrl ToFileUrl(const QUrl& url);

    // Serves the page's UTF-8 text at the returned address until Drop(key) or the next Offer
    // under the key; other files there only where mayLoad allows.
    QUrl Offer(const QString& key, const QString& filePath, const QByteArray& utf8Page,
               TMayLoad mayLoad);
    void Drop(const QString& key);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    struct TSource {
        QString FilePath;
        QByteArray Page;
        TMayLoad MayLoad;
    };
    QHash<QString, TSource> m_sources;
};
