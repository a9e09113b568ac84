#pragma once

#include "controls/qbGradiClrs.h"
#include "controls/qbImageList.h"

#include <QColor>
#include <QPalette>
#include <QPointer>

// What every gradient-drawn button shares: its colour set, icon and caption place, and the
// colour of the corners outside its rounded border. A removed colour set or image list is
// forgotten; every change repaints.
template <class Base>
class TqbGradiProps : public Base {
public:
    using Base::Base;

    // Without a colour set the button is the toolkit's own.
    TqbGradiColors* Colors() const { return m_colors; }
    void SetColors(TqbGradiColors* colors) {
        if (m_colors == colors)
            return;
        if (m_colors)
            QObject::disconnect(m_colors, nullptr, this, nullptr);
        m_colors = colors;
        if (colors)
            QObject::connect(colors, &QObject::destroyed, this, [this] { ColorsChanged(); });
        ColorsChanged();
    }
    TqbImageList* Images() const { return m_images; }
    void SetImages(TqbImageList* images) {
        if (m_images)
            QObject::disconnect(m_images, nullptr, this, nullptr);
        m_images = images;
        if (images) {
            QObject::connect(images, &QObject::destroyed, this, [this] { this->update(); });
            QObject::connect(images, &TqbImageList::Changed, this, [this] { this->update(); });
        }
        this->update();
    }
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index) { Set(m_imageIndex, index); }
    // CapX below 0 centres the caption.
    int CapX() const { return m_capX; }
    void SetCapX(int x) { Set(m_capX, x); }
    int CapY() const { return m_capY; }
    void SetCapY(int y) { Set(m_capY, y); }
    int IconX() const { return m_iconX; }
    void SetIconX(int x) { Set(m_iconX, x); }
    int IconY() const { return m_iconY; }
    void SetIconY(int y) { Set(m_iconY, y); }
    // The corners outside the rounded border; the background beneath until set.
    QColor Color() const {
        return m_color.isValid() ? m_color : this->palette().color(QPalette::Window);
    }
    void SetColor(const QColor& color) { Set(m_color, color); }

protected:
    virtual void ColorsChanged() { this->update(); }

    template <class T>
    void Set(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        this->update();
    }
    void DrawIcon(QPainter& painter, bool grayed) const {
        if (m_images && m_imageIndex >= 0)
            m_images->Draw(painter, QPoint(m_iconX, m_iconY), m_imageIndex, grayed);
    }

private:
    QPointer<TqbGradiColors> m_colors;
    QPointer<TqbImageList> m_images;
    int m_imageIndex = -1;
    int m_capX = -1;
    int m_capY = -1;
    int m_iconX = 5;
    int m_iconY = 5;
    QColor m_color;
};
