#include "library/qbTreeHost.h"

#include <QApplication>
#include <QMessageBox>

bool IqbTreeHost::ConfirmTreeQuestionDefaultNo(const QString& text) {
    return QMessageBox::question(QApplication::activeWindow(), QStringLiteral("Confirm"), text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}
