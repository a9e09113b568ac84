#include "frames/qbFormNC.h"

#include "controls/qbFonts.h"
#include "controls/qbOffscreen.h"

#include <QPainter>
#include <QScreen>

TfrmQbNoCaption::TfrmQbNoCaption(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_client(new QWidget(this)) {
    m_client->setObjectName(QStringLiteral("Client"));
    m_client->setAutoFillBackground(true);
    setFont(qbGulimChe(12));
    SetColor(QColor(227, 227, 213));
    SetClientSize(583, 385);
}

QSize TfrmQbNoCaption::ClientSize() const {
    return m_client->size();
}

void TfrmQbNoCaption::SetClientSize(QSize size) {
    setFixedSize(size + QSize(2 * FrameWidth, 2 * FrameWidth));
    m_client->setGeometry(FrameWidth, FrameWidth, size.width(), size.height());
}

QColor TfrmQbNoCaption::Color() const {
    return m_client->palette().color(QPalette::Window);
}

void TfrmQbNoCaption::SetColor(const QColor& color) {
    QPalette palette = m_client->palette();
    palette.setColor(QPalette::Window, color);
    m_client->setPalette(palette);
}

void TfrmQbNoCaption::DrawFrame(QPainter& painter, QSize outer) const {
    // The plain raised frame of a dialog: light outside, dark inside, on the dialog face.
    const QRect r(QPoint(0, 0), outer);
    painter.fillRect(r, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    painter.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() - QPoint(1, 1));
    painter.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() - QPoint(1, 1));
}

void TfrmQbNoCaption::paintEvent(QPaintEvent*) {
    qbOffscreen::Paint(*this, [this](QPainter& p) { DrawFrame(p, size()); });
}

void TfrmQbNoCaption::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_client->setGeometry(rect().adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth));
}

void TfrmQbNoCaption::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    const QScreen* where = parentWidget() ? parentWidget()->screen() : screen();
    if (where)
        move(where->availableGeometry().center() - rect().center());
}
