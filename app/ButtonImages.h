#pragma once
// The four 16 x 16 pictures of the copy buttons, drawn at start-up: a hand
// and a blue arrowhead, each pointing left (copy into the Latest document
// on the left) and right (copy into the History document on the right).

#include <QIcon>
#include <QImage>
#include <QRgb>

namespace app {

/// Positions in the image list, as the actions refer to them.
enum TButtonImage { biHandLeft = 0, biHandRight = 1, biArrowLeft = 2, biArrowRight = 3, biCount = 4 };

/// The colour that stands for "transparent" in the bitmaps.
inline constexpr QRgb kTransparentColor = 0xFFFF00FF;

/// The bitmap as drawn: 16 x 16, the background in magenta.
QImage ButtonBitmap(TButtonImage image);
/// The same bitmap with the magenta made transparent, ready for a button.
QIcon ButtonIcon(TButtonImage image);

}  // namespace app
