#include "controls/qbColorPicker.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOption>
#include <QToolTip>

using namespace qbColorPalette;

namespace {

constexpr int Edge = 2;
const QColor CellFrame(128, 128, 128);

void DrawEdge(QPainter& painter, const QRect& rect, bool raised, const QPalette& palette) {
    const QColor light = palette.color(raised ? QPalette::Light : QPalette::Dark);
    const QColor dark = palette.color(raised ? QPalette::Dark : QPalette::Light);
    painter.setPen(light);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(dark);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

QChar Accelerator(const QString& text) {
    const int at = text.indexOf('&');
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
}

QFont PaletteFont() {
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

} // namespace

// ---- the button

TColorPickerButton::TColorPickerButton(QWidget* parent) : QWidget(parent) {
    resize(45, 22);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    m_popup = new TColorPopup(this);
}

TColorPickerButton::~TColorPickerButton() {
    delete m_popup;
}

void TColorPickerButton::SetSelectionColor(int color) {
    if (color == m_color)
        return;
    m_color = color;
    if (DroppedDown())
        m_popup->SelectColor(color);
    update();
    emit Change();
}

void TColorPickerButton::SetDefaultText(const QString& text) {
    m_defaultText = text;
    LayoutChanged();
}

void TColorPickerButton::SetCustomText(const QString& text) {
    m_customText = text;
    LayoutChanged();
}

void TColorPickerButton::SetShowSystemColors(bool show) {
    m_showSystemColors = show;
    LayoutChanged();
}

void TColorPickerButton::SetPopupSpacing(int spacing) {
    m_popupSpacing = spacing;
    LayoutChanged();
}

void TColorPickerButton::SetDropDownWidth(int width) {
    m_dropDownWidth = qMax(0, width);
    update();
}

void TColorPickerButton::SetDropDownArrowColor(const QColor& color) {
    m_arrowColor = color;
    update();
}

void TColorPickerButton::SetIndicatorBorder(TIndicatorBorder border) {
    m_indicatorBorder = border;
    update();
}

void TColorPickerButton::SetLayout(TButtonLayout layout) {
    m_layout = layout;
    update();
}

void TColorPickerButton::SetFlat(bool flat) {
    m_flat = flat;
    update();
}

void TColorPickerButton::SetTransparent(bool transparent) {
    m_transparent = transparent;
    update();
}

void TColorPickerButton::SetGlyph(const QIcon& glyph) {
    m_glyph = glyph;
    update();
}

void TColorPickerButton::SetSpacing(int spacing) {
    m_spacing = spacing;
    update();
}

void TColorPickerButton::LayoutChanged() {
    m_popup->Relayout();
}

bool TColorPickerButton::DroppedDown() const {
    return m_popup->isVisible();
}

void TColorPickerButton::SetDroppedDown(bool open) {
    if (open == DroppedDown())
        return;
    bool allowed = true;
    emit DropChanging(allowed);
    if (!allowed)
        return;
    if (open) {
        m_popup->SelectColor(m_color);
        const QRect button(mapToGlobal(QPoint(0, 0)), size());
        QScreen* screen = QGuiApplication::screenAt(button.center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
        m_popup->move(PlacePopup(button, m_popup->size(), area));
        m_popup->show();
        m_popup->setFocus();
    } else {
        m_popup->hide();
    }
    emit DropChanged();
    update();
}

QRect TColorPickerButton::IndicatorRect() const {
    const QRect area = QRect(0, 0, width() - m_dropDownWidth, height()).adjusted(2, 2, -2, -2);
    const int glyph = qMin(16, qMax(0, area.height() - 6));
    switch (m_layout) {
    case blGlyphTop:
        return QRect(area.left(), area.top() + glyph + 1, area.width(),
                     area.bottom() - area.top() - glyph);
    case blGlyphBottom:
        return QRect(area.left(), area.top(), area.width(), qMax(1, area.height() - glyph - 1));
    case blGlyphRight:
        return QRect(area.left(), area.top(), qMax(1, area.width() - glyph - m_spacing),
                     area.height());
    case blGlyphLeft:
    default:
        return QRect(area.left() + glyph + m_spacing, area.top(),
                     qMax(1, area.width() - glyph - m_spacing), area.height());
    }
}

void TColorPickerButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QRect whole = rect().adjusted(0, 0, -1, -1);
    const int split = width() - m_dropDownWidth;
    const bool open = DroppedDown();
    if (!m_transparent || !m_flat)
        painter.fillRect(rect(), pal.color(QPalette::Button));
    if (!m_flat || m_hover || m_pressed || open) {
        if (!m_lastPressDropDown || !open) {
            DrawEdge(painter, whole, !m_pressed, pal);
            if (!m_pressed) {
                painter.setPen(pal.color(QPalette::Light));
                painter.drawLine(split, 1, split, height() - 2);
                painter.setPen(pal.color(QPalette::Dark));
                painter.drawLine(split - 1, 1, split - 1, height() - 2);
            }
        } else {
            DrawEdge(painter, whole, true, pal);
            DrawEdge(painter, QRect(split, 0, m_dropDownWidth - 1, height() - 1), false, pal);
        }
    }

    const int shift = m_pressed ? 1 : 0;
    const QRect area = QRect(0, 0, split, height()).adjusted(2, 2, -2, -2);
    const QRect bar = IndicatorRect().translated(shift, shift);
    const int glyph = qMin(16, qMax(0, area.height() - 6));
    QRect glyphRect;
    switch (m_layout) {
    case blGlyphTop:
        glyphRect = QRect(area.left() + (area.width() - glyph) / 2, area.top(), glyph, glyph);
        break;
    case blGlyphBottom:
        glyphRect = QRect(area.left() + (area.width() - glyph) / 2, area.bottom() + 1 - glyph,
                          glyph, glyph);
        break;
    case blGlyphRight:
        glyphRect =
            QRect(area.right() + 1 - glyph, area.top() + (area.height() - glyph) / 2, glyph, glyph);
        break;
    default:
        glyphRect = QRect(area.left(), area.top() + (area.height() - glyph) / 2, glyph, glyph);
        break;
    }
    if (!m_glyph.isNull())
        m_glyph.paint(&painter, glyphRect.translated(shift, shift), Qt::AlignCenter,
                      isEnabled() ? QIcon::Normal : QIcon::Disabled);

    const QColor fill = isEnabled() ? FromColorRef(m_color) : pal.color(QPalette::Mid);
    painter.fillRect(bar, fill);
    if (m_indicatorBorder == ibFlat) {
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawRect(bar.adjusted(0, 0, -1, -1));
    } else if (m_indicatorBorder != ibNone) {
        DrawEdge(painter, bar.adjusted(0, 0, -1, -1), m_indicatorBorder == ibRaised, pal);
    }

    const int d = m_dropDownWidth;
    const int arrowShift = open ? 1 : 0;
    const int x = width() - d + (d + 5) / 2 - 6 + arrowShift;
    const int y = height() / 2 + arrowShift;
    const QPolygon arrow({QPoint(x, y), QPoint(x + 6, y), QPoint(x + 3, y + 3)});
    const QColor arrowColor = isEnabled() ? m_arrowColor : pal.color(QPalette::Dark);
    painter.setPen(arrowColor);
    painter.setBrush(arrowColor);
    painter.drawPolygon(arrow);
}

void TColorPickerButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    m_lastPressDropDown = InDropDownZone(event->position().toPoint().x());
    if (m_lastPressDropDown) {
        SetDroppedDown(true);
        return;
    }
    m_tracking = true;
    m_pressed = true;
    update();
}

void TColorPickerButton::mouseMoveEvent(QMouseEvent* event) {
    if (!m_tracking)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != m_pressed) {
        m_pressed = inside;
        update();
    }
}

void TColorPickerButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_tracking)
        return;
    m_tracking = false;
    const bool inside = rect().contains(event->position().toPoint());
    m_pressed = false;
    update();
    if (inside)
        emit Click();
}

void TColorPickerButton::enterEvent(QEnterEvent*) {
    m_hover = true;
    update();
}

void TColorPickerButton::leaveEvent(QEvent*) {
    m_hover = false;
    update();
}

void TColorPickerButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            SetDroppedDown(false);
        update();
    }
    QWidget::changeEvent(event);
}

// ---- the palette

TColorPopup::TColorPopup(TColorPickerButton* owner)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), m_owner(owner) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setFont(PaletteFont());
    m_greyCells = qbColorPalette::GreyCells();
    Relayout();
}

void TColorPopup::Relayout() {
    const QFontMetrics metrics(font());
    QSize text;
    for (const QString& caption : {m_owner->DefaultText(), m_owner->CustomText()}) {
        const QString plain = QString(caption).remove('&');
        text = text.expandedTo(QSize(metrics.horizontalAdvance(plain), metrics.height()));
    }
    TLayoutOptions options;
    options.Edge = Edge;
    options.Spacing = m_owner->PopupSpacing();
    options.ShowDefault = !m_owner->DefaultText().isEmpty();
    options.ShowCustom = !m_owner->CustomText().isEmpty();
    options.ShowSystemColors = m_owner->ShowSystemColors();
    options.TextSize = text;
    m_layout = TPaletteLayout(options);
    if (!options.ShowCustom && m_chosen == CustomItem)
        m_chosen = NoItem;
    Resize();
    update();
}

void TColorPopup::Resize() {
    setFixedSize(m_layout.Width(), CustomSectionOpen() ? m_layout.FullHeight() : m_layout.Height());
    if (isVisible()) {
        const QRect button(m_owner->mapToGlobal(QPoint(0, 0)), m_owner->size());
        QScreen* screen = QGuiApplication::screenAt(button.center());
        if (screen)
            move(PlacePopup(button, size(), screen->geometry()));
    }
}

const std::vector<TCell>& TColorPopup::CombCells() {
    if (m_combCells.empty())
        m_combCells = qbColorPalette::CombCells(m_intensity);
    return m_combCells;
}

void TColorPopup::SelectColor(int color) {
    const TMatch match = MatchColor(color, m_owner->ShowSystemColors(), CombCells(), m_greyCells);
    if (match.Item == CustomItem && !m_layout.Options().ShowCustom)
        SetChosen(NoItem);
    else
        SetChosen(match.Item);
    if (match.Item == CustomItem)
        m_combSelection = match.Comb;
    m_hot = NoItem;
    update();
}

void TColorPopup::SetChosen(int item) {
    if (item == DefaultItem && !m_layout.Options().ShowDefault)
        item = NoItem;
    const bool wasOpen = CustomSectionOpen();
    m_chosen = item;
    if (wasOpen != CustomSectionOpen())
        Resize();
    update();
}

int TColorPopup::CellColor(int item) const {
    if (item >= GridColorCount)
        return SystemColorFlag | (item - GridColorCount);
    return GridColor(item).Color;
}

int TColorPopup::CustomColor() {
    if (m_combSelection > 0)
        return CombCells().at(m_combSelection - 1).Color;
    if (m_combSelection < 0)
        return m_greyCells.at(-m_combSelection - 1).Color;
    return -1;
}

void TColorPopup::PaintCell(QPainter& painter, int item, const QRect& rect, int color) {
    const QPalette& pal = palette();
    const bool selected = item == m_chosen;
    const bool hot = item == m_hot;
    painter.fillRect(rect, selected && !hot ? pal.color(QPalette::Highlight)
                                            : pal.color(QPalette::Button));
    const QRect frame = rect.adjusted(0, 0, -1, -1);
    if (selected || (hot && m_leftDown))
        DrawEdge(painter, frame, false, pal);
    else if (hot)
        DrawEdge(painter, frame, true, pal);
    if (color < 0)
        return;
    const QRect swatch = rect.adjusted(Edge + 1, Edge + 1, -(Edge + 1), -(Edge + 1));
    const int rgb = color & SystemColorFlag ? SystemColorValue(color) : color;
    painter.fillRect(swatch, FromColorRef(rgb));
    painter.setPen(CellFrame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

namespace {
constexpr double CellEdgeWidth = 1.5;
} // namespace

QImage TColorPopup::CombImage() {
    const QRect comb = m_layout.CombRect();
    const QRect grey = m_layout.GreyRect();
    const QRect both = comb.united(grey);
    QImage image(both.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Button));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPointF combAt = comb.topLeft() - both.topLeft();
    const QPointF greyAt = grey.topLeft() - both.topLeft();
    const auto hexagon = [](QPointF centre, double size) {
        const std::vector<QPointF> corners = Hexagon(centre, size);
        return QPolygonF(QList<QPointF>(corners.begin(), corners.end()));
    };
    // The cells stand a little closer than hexagons that tile: an edge of their own colour
    // closes the gaps where three meet, which would show the background as light dots.
    for (const TCell& cell : CombCells()) {
        const QColor color = FromColorRef(cell.Color);
        painter.setPen(QPen(color, CellEdgeWidth));
        painter.setBrush(color);
        painter.drawPolygon(hexagon(cell.Center + combAt, HexSize));
    }
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < int(m_greyCells.size()); ++i) {
        painter.setBrush(FromColorRef(m_greyCells[i].Color));
        painter.drawPolygon(
            hexagon(m_greyCells[i].Center + greyAt, IsLargeGreyCell(i) ? 2 * HexSize : HexSize));
    }
    if (m_combSelection != 0) {
        const bool inComb = m_combSelection > 0;
        const int index = inComb ? m_combSelection - 1 : -m_combSelection - 1;
        const QPointF centre =
            inComb ? CombCells()[index].Center + combAt : m_greyCells[index].Center + greyAt;
        const double size = !inComb && IsLargeGreyCell(index) ? 2 * HexSize : HexSize;
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(hexagon(centre, size));
    }
    return image;
}

void TColorPopup::PaintCustomSection(QPainter& painter) {
    const QRect both = m_layout.CombRect().united(m_layout.GreyRect());
    painter.drawImage(both.topLeft(), CombImage());
    const QRect slider = m_layout.SliderRect();
    const int lines = slider.height();
    for (int i = 0; i < lines; ++i) {
        const int level = lines > 1 ? qRound((lines - 1 - i) * 255.0 / (lines - 1)) : 255;
        painter.setPen(QColor(level, level, level));
        painter.drawLine(slider.left(), slider.top() + i, slider.right(), slider.top() + i);
    }
    const QPoint tip(slider.left() + 11, slider.top() + qRound((1 - m_intensity) * (lines - 1)));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.drawPolygon(QPolygon({tip, tip + QPoint(5, -3), tip + QPoint(5, 3)}));
}

void TColorPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::Button));
    painter.setFont(font());
    const TLayoutOptions& options = m_layout.Options();
    if (options.ShowDefault) {
        const QRect item = m_layout.DefaultRect();
        PaintCell(painter, DefaultItem, item, -1);
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawRect(item.adjusted(Edge + 1, Edge + 1, -(Edge + 2), -(Edge + 2)));
        painter.setPen(pal.color(QPalette::ButtonText));
        painter.drawText(item, Qt::AlignCenter | Qt::TextShowMnemonic, m_owner->DefaultText());
    }
    for (int i = 0; i <= m_layout.LastCell(); ++i)
        PaintCell(painter, i, m_layout.CellRect(i), CellColor(i));
    if (options.ShowSystemColors) {
        const int y = m_layout.SystemTop() - Edge - 1;
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(Edge, y, width() - Edge - 1, y);
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(Edge, y + 1, width() - Edge - 1, y + 1);
    }
    if (options.ShowCustom) {
        const QRect item = m_layout.CustomRect();
        const int y = item.top() - 2 * Edge + 1;
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(Edge, y, width() - Edge - 1, y);
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(Edge, y + 1, width() - Edge - 1, y + 1);
        PaintCell(painter, CustomItem, item, -1);
        painter.setPen(pal.color(QPalette::ButtonText));
        painter.drawText(item.adjusted(0, 0, -CellSize, 0), Qt::AlignCenter | Qt::TextShowMnemonic,
                         m_owner->CustomText());
        const QRect swatch = m_layout.CustomSwatch();
        const int custom = CustomColor();
        if (custom >= 0) {
            painter.fillRect(swatch, FromColorRef(custom));
            painter.setPen(CellFrame);
        } else {
            painter.setPen(pal.color(QPalette::Dark));
        }
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        if (CustomSectionOpen())
            PaintCustomSection(painter);
    }
    DrawEdge(painter, rect().adjusted(0, 0, -1, -1), true, pal);
}

void TColorPopup::Track(QPoint point) {
    const QRect slider = m_layout.SliderRect();
    const bool onSlider =
        slider.adjusted(-2, 0, 2, 0).contains(point) ||
        (m_trackZone == 3 && point.x() >= slider.left() && point.x() <= slider.right());
    if ((m_trackZone == 0 || m_trackZone == 3) && onSlider) {
        m_trackZone = 3;
        m_intensity = IntensityAt(slider, point.y());
        m_combCells = qbColorPalette::CombCells(m_intensity);
        update();
        return;
    }
    if (m_trackZone == 3)
        return;
    const QPointF inGrey = QPointF(point - m_layout.GreyRect().topLeft());
    const int grey = m_layout.GreyRect().contains(point) ? HitGreyCell(m_greyCells, inGrey) : -1;
    if ((m_trackZone == 0 || m_trackZone == 2) && grey >= 0) {
        m_trackZone = 2;
        m_combSelection = -grey - 1;
        update();
        return;
    }
    if (m_trackZone == 2)
        return;
    const QPointF inComb = QPointF(point - m_layout.CombRect().topLeft());
    const int comb = HitCombCell(CombCells(), inComb);
    if (comb >= 0) {
        m_trackZone = 1;
        m_combSelection = comb + 1;
    } else if (m_trackZone == 0 || m_trackZone == 1) {
        if (m_trackZone == 0)
            m_combSelection = 0;
    }
    update();
}

void TColorPopup::ShowHint(QPoint point) {
    QString text;
    const QPoint global = mapToGlobal(point);
    if (m_hot >= 0) {
        text = m_hot < GridColorCount ? QString::fromLatin1(GridColor(m_hot).Name)
                                      : SystemColorName(m_hot - GridColorCount);
    } else if (m_hot == DefaultItem || m_hot == CustomItem) {
        emit m_owner->Hint(m_hot, text);
        if (text.isEmpty())
            text = m_owner->toolTip();
    } else if (CustomSectionOpen() && m_layout.SliderRect().adjusted(-2, 0, 2, 0).contains(point)) {
        text = QStringLiteral("Intensity: %1%").arg(qRound(m_intensity * 100));
        const QPoint at = mapToGlobal(QPoint(m_layout.SliderRect().right() + 1, point.y() - 8));
        QToolTip::showText(at, text, this, {}, 5000);
        return;
    } else if (CustomSectionOpen()) {
        const int comb = HitCombCell(CombCells(), QPointF(point - m_layout.CombRect().topLeft()));
        const int grey =
            m_layout.GreyRect().contains(point)
                ? HitGreyCell(m_greyCells, QPointF(point - m_layout.GreyRect().topLeft()))
                : -1;
        if (comb >= 0 || grey >= 0) {
            const QColor c =
                FromColorRef(comb >= 0 ? CombCells()[comb].Color : m_greyCells[grey].Color);
            text = QStringLiteral("red: %1, green: %2, blue: %3")
                       .arg(c.red())
                       .arg(c.green())
                       .arg(c.blue());
            QToolTip::showText(global, text, this, {}, 5000);
            return;
        }
    }
    if (text.isEmpty() && m_hot == NoItem)
        emit m_owner->Hint(NoItem, text);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(global, text, this);
}

void TColorPopup::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const int hit = m_layout.HitItem(point);
    if (hit != m_hot) {
        m_hot = hit;
        update();
    }
    if (hit == NoItem && (event->buttons() & Qt::LeftButton) && CustomSectionOpen())
        Track(point);
    ShowHint(point);
}

void TColorPopup::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!rect().contains(point)) {
        m_owner->SetDroppedDown(false);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_leftDown = true;
    m_hot = m_layout.HitItem(point);
    if (m_hot == NoItem && CustomSectionOpen())
        Track(point);
    update();
}

void TColorPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_leftDown = false;
    const int zone = m_trackZone;
    m_trackZone = 0;
    const int hit = m_layout.HitItem(event->position().toPoint());
    int item = hit;
    if (item == NoItem && CustomSectionOpen() && m_combSelection != 0 && zone != 3)
        item = CustomItem;
    if (item == NoItem) {
        update();
        return;
    }
    SetChosen(item);
    const bool endsDrag = item == CustomItem && hit == NoItem && (zone == 1 || zone == 2);
    if (item != CustomItem || endsDrag)
        CloseWith(item);
}

void TColorPopup::keyPressEvent(QKeyEvent* event) {
    const int from = m_hot != NoItem ? m_hot : m_chosen;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        CloseWith(m_hot);
        return;
    case Qt::Key_Escape:
        m_owner->SetDroppedDown(false);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_hot = m_layout.Navigate(event->key(), from);
        update();
        return;
    default:
        break;
    }
    if (event->modifiers() & Qt::AltModifier) {
        const QChar letter =
            event->text().isEmpty() ? QChar(event->key()).toLower() : event->text().at(0).toLower();
        if (!letter.isNull() && letter == Accelerator(m_owner->DefaultText())) {
            CloseWith(DefaultItem);
            return;
        }
        if (!letter.isNull() && letter == Accelerator(m_owner->CustomText()) &&
            m_chosen != CustomItem) {
            SetChosen(CustomItem);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void TColorPopup::CloseWith(int item) {
    if (item != NoItem)
        SetChosen(item);
    m_closing = true;
    m_owner->SetDroppedDown(false);
    m_closing = false;
    if (item >= 0) {
        m_owner->SetSelectionColor(CellColor(item));
    } else if (item == CustomItem) {
        const int custom = CustomColor();
        if (custom >= 0)
            m_owner->SetSelectionColor(custom);
    } else {
        emit m_owner->DefaultSelect();
    }
}

void TColorPopup::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    QToolTip::hideText();
    m_leftDown = false;
    m_trackZone = 0;
    // A popup that lost the focus closes itself; the button must learn of it.
    if (!m_closing)
        QMetaObject::invokeMethod(
            m_owner, [owner = m_owner] { owner->update(); }, Qt::QueuedConnection);
}
