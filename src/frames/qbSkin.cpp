#include "frames/qbSkin.h"

#include "controls/qbColorPalette.h"
#include "platform/qbIniFile.h"

#include <QFileInfo>

namespace qbSkin {

namespace {

constexpr int DefaultActText = 16777215;   // white
constexpr int DefaultInActText = 12632256; // RGB 192, 192, 192

QColor Rgb(int r, int g, int b) {
    return QColor(r, g, b);
}

TqbSkin::TFrameColors DefaultActColors() {
    const QColor outer = Rgb(42, 67, 138), light = Rgb(188, 207, 255), mid = Rgb(127, 152, 224);
    return {outer, outer, outer, outer, light, light, mid, mid,
            mid, Rgb(161, 183, 247), Rgb(183, 202, 255), Rgb(183, 202, 255)};
}

TqbSkin::TFrameColors DefaultInActColors() {
    const QColor outer = Rgb(101, 101, 101), light = Rgb(206, 206, 206), mid = Rgb(152, 152, 152);
    return {outer, outer, outer, outer, light, light, mid, mid,
            Rgb(153, 153, 153), Rgb(183, 183, 183), Rgb(202, 202, 202), Rgb(202, 202, 202)};
}

QImage Resource(const char* name) {
    return QImage(QStringLiteral(":/skins/%1.bmp").arg(QLatin1String(name)));
}

// The file's picture, or the built-in one where the file is missing or no picture.
QImage BitmapOr(const QString& file, const QImage& builtIn) {
    if (!QFileInfo(file).isFile())
        return builtIn;
    QImage image(file);
    return image.isNull() ? builtIn : image;
}

QColor ColorOr(const TqbIniFile& ini, const QString& section, const QString& key, const QColor& def) {
    const int fallback = qbColorPalette::ToColorRef(def);
    return qbColorPalette::FromColorRef(ini.ReadInteger(section, key, fallback) & 0xFFFFFF);
}

} // namespace

TqbSkin BuiltIn() {
    static const TqbSkin skin = [] {
        TqbSkin s;
        s.ActCaption = Resource("BMP_ACT_CAP");
        s.InActCaption = Resource("BMP_INACT_CAP");
        s.Buttons = Resource("BMP_BUTTONS");
        s.ActTextColor = qbColorPalette::FromColorRef(DefaultActText);
        s.InActTextColor = qbColorPalette::FromColorRef(DefaultInActText);
        s.ActColors = DefaultActColors();
        s.InActColors = DefaultInActColors();
        return s;
    }();
    return skin;
}

TqbSkin Load(const QString& skinsDir, const QString& name) {
    TqbSkin skin = BuiltIn();
    if (name.isEmpty())
        return skin;
    const QString dir = skinsDir + name + '/';
    skin.ActCaption = BitmapOr(dir + "ActCap.bmp", skin.ActCaption);
    skin.InActCaption = BitmapOr(dir + "InActCap.bmp", skin.InActCaption);
    skin.Buttons = BitmapOr(dir + "Buttons.bmp", skin.Buttons);
    // A missing "skin.ini" reads as empty: every colour its default.
    const TqbIniFile ini(dir + "skin.ini");
    skin.ActTextColor = ColorOr(ini, "Caption", "ActText", skin.ActTextColor);
    skin.InActTextColor = ColorOr(ini, "Caption", "InActText", skin.InActTextColor);
    for (int n = 0; n < TqbSkin::FrameColorCount; ++n) {
        const QString key = QString::number(n);
        skin.ActColors[n] = ColorOr(ini, "ActCOLORS", key, skin.ActColors[n]);
        skin.InActColors[n] = ColorOr(ini, "InActCOLORS", key, skin.InActColors[n]);
    }
    return skin;
}

QImage CaptionColumn(const QImage& caption, int height) {
    QImage column(1, qMax(0, height), QImage::Format_ARGB32);
    if (caption.isNull() || height <= 0) {
        column.fill(Qt::black);
        return column;
    }
    for (int y = 0; y < height; ++y)
        column.setPixel(0, y, caption.pixel(0, qMin(y, caption.height() - 1)));
    return column;
}

} // namespace qbSkin
