#include "editing/qbDhtmlPage.h"

TqbDhtmlPage::TqbDhtmlPage(QObject* parent, Filter filter)
    : QWebEnginePage(parent), m_filter(std::move(filter)) {}

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
