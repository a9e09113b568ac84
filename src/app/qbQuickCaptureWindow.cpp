#include "app/qbQuickCaptureWindow.h"

#include "app/qbQuickCapture.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

const QString TqbQuickCaptureWindow::Title = QStringLiteral("빠른 메모");

TqbQuickCaptureWindow::TqbQuickCaptureWindow(TqbQuickCapture& capture, QWidget* parent)
    : QDialog(parent), m_capture(capture), m_text(new QPlainTextEdit(this)) {
    setWindowTitle(Title);
    m_text->setObjectName("QuickCaptureText");
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("받은 메모에 넣기"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("닫기"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(360, 180);
}

void TqbQuickCaptureWindow::accept() {
    if (!m_capture.Capture(m_text->toPlainText()))
        return;
    m_text->clear();
    QDialog::accept();
}
