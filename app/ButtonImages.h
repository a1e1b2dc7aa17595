#pragma once
// The four pictures of the copy buttons: a hand and a blue arrowhead, each
// pointing left (copy into the Latest document on the left) and right (copy
// into the History document on the right). The buttons show them drawn
// from SVG; the 16 x 16 bitmaps are the same pictures as pixels.

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
/// The picture for a button, drawn from its vector image at whatever size
/// and pixel density the button asks for, so it stays sharp on a scaled screen.
QIcon ButtonIcon(TButtonImage image);

/// The program's own icon, for its windows (also drawn from a vector image).
QIcon ProgramIcon();

}  // namespace app
