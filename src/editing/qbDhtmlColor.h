#pragma once

#include <QString>
#include <optional>

// Colours cross the editing control as Windows colour integers (0x00BBGGRR, red in the low
// byte); the page speaks CSS. These are the only places that translate.
namespace qbDhtml {

// "#rrggbb" for 0x00BBGGRR; empty for values outside 0..0xFFFFFF (system colours, "none").
QString ColorToCss(int color);

// "rgb(r, g, b)", "rgba(r, g, b, a)", "#rrggbb" or "#rgb" as 0x00BBGGRR; nothing for a
// transparent colour or text that is not one of these.
std::optional<int> ColorFromCss(const QString& css);

} // namespace qbDhtml
