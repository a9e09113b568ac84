#pragma once

#include "frames/qbFormNC.h"

#include <QImage>

class QKeyEvent;
class TqbBlankPanel;
class TqbCaptionDrag;
class TqbImageList;
class TqbImageListButton;

// The painted dialog frame: a three-pixel frame with see-through rounded corners, a blue
// caption strip with the dialog's icon and title, and a close button. Dragging the caption
// with any button moves the dialog; the close button and Escape anywhere in it cancel.
class TfrmQbGrayDialog : public TfrmQbNoCaption {
    Q_OBJECT
public:
    explicit TfrmQbGrayDialog(QWidget* parent = nullptr);
    ~TfrmQbGrayDialog() override;

    TqbBlankPanel* imgCaption = nullptr;
    TqbImageListButton* btnClose = nullptr;

    bool ActiveLook() const { return m_activeLook; }
    virtual void SetActive(bool active);

    // The caption strip as painted at one device pixel per pixel.
    QImage CaptionImage() const;

protected:
    // Sees every key of the dialog before its controls do.
    virtual void frmQbNoCaptionKeyDown(QKeyEvent* event);
    void btnCloseClick();

    void DrawFrame(QPainter& painter, QSize outer) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void frmQbNoCaptionCreate();
    void imgCaptionPaint(QPainter& painter) const;

    QImage FFrameBitmap;
    TqbImageList* FCloseImages = nullptr;
    TqbCaptionDrag* m_drag = nullptr;
    bool m_activeLook = false;
};
