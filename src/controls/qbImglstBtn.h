#pragma once

#include "controls/qbPicCBtn.h"

#include <QPointer>

class QImage;
class TqbImageList;

// A button drawn from an image list: one picture per state and one as the click mask (white
// pixels cannot be clicked). Without an image list it is an ordinary push button.
class TqbImageListButton : public TqbPictureCButton {
    Q_OBJECT
public:
    explicit TqbImageListButton(QWidget* parent = nullptr);

    TqbImageList* ImageList() const { return m_imageList; }
    void SetImageList(TqbImageList* list);
    int IndexButton() const { return m_indexButton; }
    void SetIndexButton(int index);
    int IndexEnter() const { return m_indexEnter; }
    void SetIndexEnter(int index);
    int IndexClick() const { return m_indexClick; }
    void SetIndexClick(int index);
    int IndexDisable() const { return m_indexDisable; }
    void SetIndexDisable(int index);
    int IndexMask() const { return m_indexMask; }
    void SetIndexMask(int index);

    bool IsHit(int x, int y) const override;

    // The picture for a state: pressed, then hot, then idle; disabled shows its own picture or
    // else the pressed one.
    static int ChooseIndex(bool enabled, bool pressed, bool hot, int indexButton, int indexEnter,
                           int indexClick, int indexDisable);
    // A point is clickable unless the mask is pure white there; outside the mask it is.
    static bool MaskAllows(const QImage& mask, int x, int y);

protected:
    void DrawButton(QPainter& painter, bool pressed) const override;
    bool IsOwnerDrawn() const override { return m_imageList != nullptr; }

private:
    void SetIndex(int& field, int index);

    QPointer<TqbImageList> m_imageList;
    int m_indexButton = -1;
    int m_indexEnter = -1;
    int m_indexClick = -1;
    int m_indexDisable = -1;
    int m_indexMask = -1;
};
