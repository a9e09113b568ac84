#pragma once

#include "controls/qbColorPalette.h"

#include <QIcon>
#include <QImage>
#include <QWidget>

class TColorPopup;

// A toolbar button holding a colour: the main zone applies it (Click), the arrow zone at the
// right opens the palette, whose choice changes SelectionColor (Change).
class TColorPickerButton : public QWidget {
    Q_OBJECT
public:
    enum TIndicatorBorder { ibNone, ibFlat, ibSunken, ibRaised };
    enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

    explicit TColorPickerButton(QWidget* parent = nullptr);
    ~TColorPickerButton() override;

    int SelectionColor() const { return m_color; }
    void SetSelectionColor(int color);
    QString DefaultText() const { return m_defaultText; }
    void SetDefaultText(const QString& text);
    QString CustomText() const { return m_customText; }
    void SetCustomText(const QString& text);
    bool ShowSystemColors() const { return m_showSystemColors; }
    void SetShowSystemColors(bool show);
    int PopupSpacing() const { return m_popupSpacing; }
    void SetPopupSpacing(int spacing);
    int DropDownWidth() const { return m_dropDownWidth; }
    void SetDropDownWidth(int width);
    QColor DropDownArrowColor() const { return m_arrowColor; }
    void SetDropDownArrowColor(const QColor& color);
    TIndicatorBorder IndicatorBorder() const { return m_indicatorBorder; }
    void SetIndicatorBorder(TIndicatorBorder border);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout layout);
    bool Flat() const { return m_flat; }
    void SetFlat(bool flat);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    QIcon Glyph() const { return m_glyph; }
    void SetGlyph(const QIcon& glyph);
    int Spacing() const { return m_spacing; }
    void SetSpacing(int spacing);

    bool DroppedDown() const;
    void SetDroppedDown(bool open);
    TColorPopup* Popup() const { return m_popup; }
    // The colour bar's rectangle, in button coordinates.
    QRect IndicatorRect() const;

signals:
    void Change();
    void Click();
    void DefaultSelect();
    void DropChanging(bool& allowed);
    void DropChanged();
    // The hint for DefaultItem, CustomItem or NoItem; leave text empty for the button's own.
    void Hint(int cell, QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void LayoutChanged();
    bool InDropDownZone(int x) const { return x > width() - m_dropDownWidth; }

    TColorPopup* m_popup = nullptr;
    int m_color = 0;
    QString m_defaultText;
    QString m_customText;
    bool m_showSystemColors = false;
    int m_popupSpacing = 8;
    int m_dropDownWidth = 15;
    QColor m_arrowColor = Qt::black;
    TIndicatorBorder m_indicatorBorder = ibFlat;
    TButtonLayout m_layout = blGlyphLeft;
    bool m_flat = false;
    bool m_transparent = true;
    QIcon m_glyph;
    int m_spacing = 4;
    bool m_hover = false;
    bool m_pressed = false;  // the main zone is held down with the pointer over it
    bool m_tracking = false; // a press in the main zone waits for its release
    bool m_lastPressDropDown = false;
};

// The palette of a colour picker button: a window of its own, shown below the button.
class TColorPopup : public QWidget {
    Q_OBJECT
public:
    explicit TColorPopup(TColorPickerButton* owner);

    qbColorPalette::TPaletteLayout PaletteLayout() const { return m_layout; }
    void Relayout();
    // Selects what matches the colour (the custom section opens for a honeycomb or grey one).
    void SelectColor(int color);

    int ChosenItem() const { return m_chosen; }
    int HotIndex() const { return m_hot; }
    int CombSelection() const { return m_combSelection; }
    double Intensity() const { return m_intensity; }
    bool CustomSectionOpen() const { return m_chosen == qbColorPalette::CustomItem; }
    const std::vector<qbColorPalette::TCell>& CombCells();
    const std::vector<qbColorPalette::TCell>& GreyCells() const { return m_greyCells; }
    // The colour the custom item would apply, or -1.
    int CustomColor();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetChosen(int item);
    void Track(QPoint point);
    void ShowHint(QPoint point);
    void CloseWith(int item);
    void Resize();
    void PaintCell(QPainter& painter, int item, const QRect& rect, int color);
    void PaintCustomSection(QPainter& painter);
    int CellColor(int item) const;
    QImage CombImage();

    TColorPickerButton* m_owner;
    qbColorPalette::TPaletteLayout m_layout;
    std::vector<qbColorPalette::TCell> m_combCells;
    std::vector<qbColorPalette::TCell> m_greyCells;
    int m_chosen = qbColorPalette::NoItem;
    int m_hot = qbColorPalette::NoItem;
    int m_combSelection = 0;
    double m_intensity = 1;
    int m_trackZone = 0;
    bool m_leftDown = false;
    bool m_closing = false;
};
