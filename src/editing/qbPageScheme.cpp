#include "editing/qbPageScheme.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace {

const QByteArray SchemeName = QByteArrayLiteral("qbpage");

} // namespace

void TqbPageScheme::Register() {
    static const bool registered = [] {
        QWebEngineUrlScheme scheme(SchemeName);
        // A host and a path, so that relative addresses resolve as they do for files; local,
        // so that the page may show local files as a file's page may.
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
        scheme.setFlags(QWebEngineUrlScheme::LocalScheme |
                        QWebEngineUrlScheme::LocalAccessAllowed);
        QWebEngineUrlScheme::registerScheme(scheme);
        return true;
    }();
    Q_UNUSED(registered);
}

TqbPageScheme* TqbPageScheme::For(QWebEngineProfile* profile) {
    if (auto* handler = profile->findChild<TqbPageScheme*>(QString(), Qt::FindDirectChildrenOnly))
        return handler;
    auto* handler = new TqbPageScheme(profile);
    profile->installUrlSchemeHandler(SchemeName, handler);
    return handler;
}

bool TqbPageScheme::IsPageAddress(const QUrl& url) {
    return url.scheme().toLatin1() == SchemeName;
}

QUrl TqbPageScheme::ToFileUrl(const QUrl& url) {
    if (!IsPageAddress(url))
        return url;
    QUrl file = QUrl::fromLocalFile(url.path());
    file.setQuery(url.query());
    file.setFragment(url.fragment());
    return file;
}

QUrl TqbPageScheme::Offer(const QString& key, const QString& filePath, const QByteArray& utf8Page,
                          TMayLoad mayLoad) {
    const QString path = QFileInfo(filePath).absoluteFilePath();
    m_sources.insert(key, {path, utf8Page, std::move(mayLoad)});
    QUrl url;
    url.setScheme(QString::fromLatin1(SchemeName));
    url.setHost(key);
    url.setPath(path);
    return url;
}

void TqbPageScheme::Drop(const QString& key) {
    m_sources.remove(key);
}

void TqbPageScheme::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl url = job->requestUrl();
    const auto source = m_sources.constFind(url.host());
    if (source == m_sources.cend()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QString path = url.path();
    if (path == source->FilePath) {
        auto* page = new QBuffer(job);
        page->setData(source->Page);
        page->open(QIODevice::ReadOnly);
        job->reply(QByteArrayLiteral("text/html;charset=utf-8"), page);
        return;
    }
    if (!source->MayLoad(QUrl::fromLocalFile(path)) || !QFileInfo(path).isFile()) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    auto* file = new QFile(path, job);
    if (!file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(QMimeDatabase().mimeTypeForFile(path).name().toLatin1(), file);
}
