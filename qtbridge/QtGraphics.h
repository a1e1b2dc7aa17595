#pragma once
// The toolkit's colours and fonts as Qt paints them, and back: the Gui half
// of the boundary between the core and Qt (the text half is QtText.h).

#include <QColor>
#include <QFont>
#include <QPalette>

#include "toolkit/Graphics.h"

namespace qtbridge {

/// The colour as painted. A system colour (clWindow, clBtnFace, ...) is the
/// matching role of the application's palette, so that everything drawn with
/// them follows a dark or light scheme; without an application object it is
/// the toolkit's fixed table.
QColor ToQColor(TColor color);

/// The colour as RGB, system colours resolved as ToQColor does.
TColor ResolveColor(TColor color);

/// A Qt colour as a toolkit RGB colour (alpha dropped).
TColor FromQColor(const QColor& color);

/// A Qt font as the toolkit's: family as Windows-1252 (a character the code
/// page lacks becomes '?'), size in points (pixel sizes at 96 per inch),
/// pitch from what the font really is.
TFont ToTFont(const QFont& font);

/// The contrast ratio of two colours as the web's accessibility guidelines
/// define it: 1 (same luminance) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

/// The contrast text needs to be read with ease (the guidelines' level AA).
inline constexpr double kReadableContrast = 4.5;

/// `wanted` where it is readable on `background`; otherwise `wanted` moved
/// towards black or white (whichever stands out on the background) just far
/// enough to reach `ratio`, so that its hue still tells what it meant.
QColor ReadableOn(const QColor& wanted, const QColor& background, double ratio = kReadableContrast);

/// Whether text is light on a dark background in this palette.
bool IsDarkPalette(const QPalette& palette);

}  // namespace qtbridge
