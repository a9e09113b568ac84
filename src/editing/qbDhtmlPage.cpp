#include "editing/qbDhtmlPage.h"

TqbDhtmlPage::TqbDhtmlPage(QWebEngineProfile* profile, QObject* parent, Filter filter)
    : QWebEnginePage(profile, parent), m_filter(std::move(filter)) {}

bool TqbDhtmlPage::acceptNavigationRequest(const QUrl& url, NavigationType type,
                                           bool isMainFrame) {
    return m_filter(url, type, isMainFrame);
}

void TqbDhtmlPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                            const QString& message, int line,
                                            const QString& source) {
    if (level == ErrorMessageLevel)
        qWarning("editor page: %s (%s:%d)", qPrintable(message), qPrintable(source), line);
}
