#pragma once

#include <QWebEnginePage>
#include <functional>

// The editor's page: the editor decides which navigations may replace the document, and a note
// never opens windows.
class TqbDhtmlPage : public QWebEnginePage {
    Q_OBJECT
public:
    using Filter = std::function<bool(const QUrl&, NavigationType, bool)>;
    TqbDhtmlPage(QWebEngineProfile* profile, QObject* parent, Filter filter);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override;

private:
    Filter m_filter;
};
