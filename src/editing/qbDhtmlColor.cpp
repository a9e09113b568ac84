#include "editing/qbDhtmlColor.h"

#include <QRegularExpression>

namespace qbDhtml {

namespace {

int Pack(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

} // namespace

QString ColorToCss(int color) {
    if (color < 0 || color > 0xFFFFFF)
        return {};
    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return QStringLiteral("#%1%2%3")
        .arg(r, 2, 16, QLatin1Char('0'))
        .arg(g, 2, 16, QLatin1Char('0'))
        .arg(b, 2, 16, QLatin1Char('0'));
}

std::optional<int> ColorFromCss(const QString& css) {
    const QString text = css.trimmed().toLower();
    static const QRegularExpression rgb(QStringLiteral(
        R"(^rgba?\(\s*(\d{1,3})\s*,\s*(\d{1,3})\s*,\s*(\d{1,3})\s*(?:,\s*([0-9.]+)\s*)?\)$)"));
    if (const auto m = rgb.match(text); m.hasMatch()) {
        if (m.hasCaptured(4) && m.captured(4).toDouble() == 0)
            return std::nullopt;
        const int r = m.captured(1).toInt(), g = m.captured(2).toInt(), b = m.captured(3).toInt();
        if (r > 255 || g > 255 || b > 255)
            return std::nullopt;
        return Pack(r, g, b);
    }
    static const QRegularExpression hex(QStringLiteral("^#([0-9a-f]{3}|[0-9a-f]{6})$"));
    if (const auto m = hex.match(text); m.hasMatch()) {
        QString digits = m.captured(1);
        if (digits.size() == 3)
            digits = QString(2, digits[0]) + QString(2, digits[1]) + QString(2, digits[2]);
        const uint v = digits.toUInt(nullptr, 16);
        return Pack(int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v) & 0xFF);
    }
    return std::nullopt;
}

} // namespace qbDhtml
