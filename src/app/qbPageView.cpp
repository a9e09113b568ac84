#include "app/qbPageView.h"

#include "editing/qbPageFonts.h"
#include "platform/qbPageCodec.h"

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace {

// The web engine takes pages of up to 2 MB this way; a bigger one shows only as text.
constexpr qsizetype MaxShownBytes = 2 * 1000 * 1000 - 4096;

class TReadOnlyPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl&, NavigationType type, bool) override {
        return type != NavigationTypeLinkClicked;
    }
};

} // namespace

TqbPageView::TqbPageView(QWidget* parent) : QWebEngineView(parent) {
    setPage(new TReadOnlyPage(this));
    settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    qbPageFonts::ApplyDefaults(settings());
}

void TqbPageView::ShowPage(const QByteArray& bytes, const QString& notePath) {
    const QUrl base = QUrl::fromLocalFile(notePath);
    if (bytes.size() <= MaxShownBytes)
        setHtml(qbPageCodec::Decode(bytes).Text, base);
    else
        setHtml(QStringLiteral("<p>이 버전은 너무 커서 여기에 보이지 않습니다.</p>"), base);
}
