#pragma once
// The toolkit's colours and fonts as Qt paints them, and back: the Gui half
// of the boundary between the core and Qt (the text half is QtText.h).

#include <QColor>
#include <QFont>

#include "toolkit/Graphics.h"

namespace qtbridge {

/// The colour as painted: system colours go through the toolkit's fixed
/// table, so that every machine shows the same RGB.
QColor ToQColor(TColor color);

/// A Qt colour as a toolkit RGB colour (alpha dropped).
TColor FromQColor(const QColor& color);

/// A Qt font as the toolkit's: family as Windows-1252 (a character the code
/// page lacks becomes '?'), size in points (pixel sizes at 96 per inch),
/// pitch from what the font really is.
TFont ToTFont(const QFont& font);

}  // namespace qtbridge
