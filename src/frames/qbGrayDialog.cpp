#include "frames/qbGrayDialog.h"

#include "controls/qbBlankPnl.h"
#include "controls/qbImageList.h"
#include "controls/qbImglstBtn.h"
#include "controls/qbOffscreen.h"
#include "frames/qbCaptionCut.h"
#include "frames/qbCaptionDrag.h"
#include "frames/qbGrayFrame.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace {

constexpr int CaptionTextX = 20;
constexpr int CaptionTextY = 3;

} // namespace

TfrmQbGrayDialog::TfrmQbGrayDialog(QWidget* parent) : TfrmQbNoCaption(parent) {
    frmQbNoCaptionCreate();
}

TfrmQbGrayDialog::~TfrmQbGrayDialog() {
    qApp->removeEventFilter(this);
}

void TfrmQbGrayDialog::frmQbNoCaptionCreate() {
    SetColor(Qt::white);
    FFrameBitmap = qbGrayFrame::Bitmap();
    FCloseImages = new TqbImageList(QSize(16, 16), this);
    for (auto state : {qbGrayFrame::CloseNormal, qbGrayFrame::CloseHot, qbGrayFrame::ClosePressed})
        FCloseImages->Add(FFrameBitmap.copy(qbGrayFrame::CloseCell(state)));

    imgCaption = new TqbBlankPanel(Client());
    imgCaption->setObjectName(QStringLiteral("imgCaption"));
    connect(imgCaption, &TqbBlankPanel::Paint, this, [this](QPainter& p) {
        p.drawImage(QPoint(0, 0),
                    qbOffscreen::Render(imgCaption->size(), imgCaption->devicePixelRatioF(),
                                        [this](QPainter& q) { imgCaptionPaint(q); }));
    });
    m_drag = new TqbCaptionDrag(imgCaption);

    btnClose = new TqbImageListButton(Client());
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setFocusPolicy(Qt::NoFocus);
    btnClose->setAutoDefault(false);
    btnClose->SetImageList(FCloseImages);
    btnClose->SetIndexButton(0);
    btnClose->SetIndexEnter(1);
    btnClose->SetIndexClick(2);
    connect(btnClose, &QPushButton::clicked, this, &TfrmQbGrayDialog::btnCloseClick);

    SetClientSize(351, 222);
    qApp->installEventFilter(this);
}

void TfrmQbGrayDialog::SetActive(bool active) {
    m_activeLook = active;
    imgCaption->update();
}

void TfrmQbGrayDialog::imgCaptionPaint(QPainter& painter) const {
    const int w = imgCaption->width();
    painter.drawImage(QRect(0, 0, w, qbGrayFrame::CaptionHeight), FFrameBitmap,
                      qbGrayFrame::CaptionColumn());
    painter.setFont(font());
    const QString text =
        qbCaptionCut::CutCaption(windowTitle(), w - CaptionTextX, QFontMetrics(font()));
    // An inactive caption reads paler, yet still stands out on the blue.
    painter.setPen(m_activeLook ? QColor(248, 248, 248) : QColor(214, 214, 214));
    painter.drawText(QPoint(CaptionTextX, CaptionTextY + QFontMetrics(font()).ascent()), text);
    windowIcon().paint(&painter, QRect(1, 1, 16, 16));
}

QImage TfrmQbGrayDialog::CaptionImage() const {
    return qbOffscreen::Render(imgCaption->size(), 1.0,
                               [this](QPainter& p) { imgCaptionPaint(p); });
}

void TfrmQbGrayDialog::DrawFrame(QPainter& painter, QSize outer) const {
    qbGrayFrame::DrawFrame(painter, FFrameBitmap, outer);
}

void TfrmQbGrayDialog::btnCloseClick() {
    reject();
}

void TfrmQbGrayDialog::frmQbNoCaptionKeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        event->accept();
    }
}

bool TfrmQbGrayDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !isVisible() || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != this)
        return TfrmQbNoCaption::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool accepted = key->isAccepted();
    key->ignore();
    frmQbNoCaptionKeyDown(key);
    if (key->isAccepted())
        return true;
    key->setAccepted(accepted);
    return false;
}

void TfrmQbGrayDialog::changeEvent(QEvent* event) {
    TfrmQbNoCaption::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        SetActive(isActiveWindow());
    else if (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::FontChange)
        imgCaption->update();
}

void TfrmQbGrayDialog::resizeEvent(QResizeEvent* event) {
    TfrmQbNoCaption::resizeEvent(event);
    const int w = ClientSize().width();
    imgCaption->setGeometry(0, 0, w, qbGrayFrame::CaptionHeight);
    btnClose->setGeometry(w - 17, 0, 16, 16);
    btnClose->raise();
    setMask(qbGrayFrame::VisibleRegion(FFrameBitmap, size()));
}
