#include "dialogs/qbWarningBox.h"

#include "platform/qbParticle.h"

#include <QMessageBox>

void qbShowWarningBox(QWidget* parent, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Warning"),
                                qbParticle::Resolve(text),
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
