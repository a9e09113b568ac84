#include "controls/qbImglstBtn.h"

#include "controls/qbImageList.h"

#include <QImage>
#include <QPainter>

TqbImageListButton::TqbImageListButton(QWidget* parent) : TqbPictureCButton(parent) {
    OwnerDrawChanged();
}

void TqbImageListButton::SetImageList(TqbImageList* list) {
    if (m_imageList)
        disconnect(m_imageList, nullptr, this, nullptr);
    m_imageList = list;
    if (list) {
        connect(list, &TqbImageList::Changed, this, qOverload<>(&QWidget::update));
        connect(list, &QObject::destroyed, this, [this] { OwnerDrawChanged(); });
    }
    OwnerDrawChanged();
}

void TqbImageListButton::SetIndex(int& field, int index) {
    field = index;
    update();
}

void TqbImageListButton::SetIndexButton(int index) { SetIndex(m_indexButton, index); }
void TqbImageListButton::SetIndexEnter(int index) { SetIndex(m_indexEnter, index); }
void TqbImageListButton::SetIndexClick(int index) { SetIndex(m_indexClick, index); }
void TqbImageListButton::SetIndexDisable(int index) { SetIndex(m_indexDisable, index); }
void TqbImageListButton::SetIndexMask(int index) { SetIndex(m_indexMask, index); }

int TqbImageListButton::ChooseIndex(bool enabled, bool pressed, bool hot, int indexButton,
                                    int indexEnter, int indexClick, int indexDisable) {
    if (!enabled)
        return indexDisable >= 0 ? indexDisable : indexClick;
    if (pressed)
        return indexClick;
    return hot ? indexEnter : indexButton;
}

bool TqbImageListButton::MaskAllows(const QImage& mask, int x, int y) {
    if (!mask.valid(x, y))
        return true;
    return (mask.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
}

bool TqbImageListButton::IsHit(int x, int y) const {
    if (!m_imageList || m_indexMask < 0)
        return true;
    return MaskAllows(m_imageList->Image(m_indexMask), x, y);
}

void TqbImageListButton::DrawButton(QPainter& painter, bool pressed) const {
    const int index = ChooseIndex(isEnabled(), pressed, Hot(), m_indexButton, m_indexEnter,
                                  m_indexClick, m_indexDisable);
    m_imageList->Draw(painter, QPoint(0, 0), index);
}
