#include "app/qbApplication.h"

#include "platform/qbError.h"
#include "platform/qbParticle.h"

#include <QMessageBox>
#include <QProxyStyle>
#include <QScopedValueRollback>

namespace {

std::function<void(const QString&)>& Reporter() {
    static std::function<void(const QString&)> reporter;
    return reporter;
}

bool g_reporting = false;

// The desktop's own look, with hints that show as soon as the pointer rests on a control.
class TqbHintPauseStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return TqbApplication::HintPauseMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TqbApplication::TqbApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setStyle(new TqbHintPauseStyle);
}

bool TqbApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const EqbError& error) {
        ReportError(error.Message());
    } catch (const std::exception& error) {
        ReportError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void TqbApplication::ReportError(const QString& message) {
    const QString text = qbParticle::Resolve(message);
    if (Reporter()) {
        Reporter()(text);
        return;
    }
    if (g_reporting) {
        qWarning("error while another is shown: %s", qPrintable(text));
        return;
    }
    const QScopedValueRollback<bool> reporting(g_reporting, true);
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(ErrorReportName);
    box.exec();
}

void TqbApplication::SetErrorReporter(std::function<void(const QString&)> reporter) {
    Reporter() = std::move(reporter);
}
