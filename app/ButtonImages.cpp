#include "app/ButtonImages.h"

#include <QPixmap>
#include <cstdlib>

namespace app {

namespace {

constexpr int kSize = 16;

// A white-gloved hand pointing right: cuff on the left, the index finger
// stretched out, the other fingers curled under it. '.' is the background.
constexpr const char* kHandRight[kSize] = {
    "................",  //
    "................",  //
    "................",  //
    "................",  //
    "...kkkkk........",  //
    "..kwwwwwkkkkkkk.",  //
    "kkkwwwwwwwwwwwwk",  //
    "kckwwwwwwwwwwwwk",  //
    "kckwwwwwkkkkkkk.",  //
    "kckwwwwwwwwk....",  //
    "kckwwwwwkkk.....",  //
    "kckwwwwwwwk.....",  //
    "kckwwwwwkkk.....",  //
    "kckkwwwwwk......",  //
    "kkk.kkkkk.......",  //
    "................",  //
};

QRgb ColorOf(char c) {
  switch (c) {
    case 'k':
      return qRgb(0, 0, 0);
    case 'w':
      return qRgb(255, 255, 255);
    case 'c':
      return qRgb(128, 128, 128);  // the cuff
    case 'b':
      return qRgb(0, 0, 255);
    case 'n':
      return qRgb(0, 0, 128);
    default:
      return kTransparentColor;
  }
}

// A solid arrowhead pointing right, blue with a navy rim.
char ArrowRightAt(int x, int y) {
  auto inside = [](int px, int py) {
    if (py < 3 || py > 13 || px < 5) return false;
    return px - 5 <= 5 - std::abs(py - 8);
  };
  if (!inside(x, y)) return '.';
  const bool rim = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
  return rim ? 'n' : 'b';
}

QImage Draw(bool hand, bool pointLeft) {
  QImage image(kSize, kSize, QImage::Format_RGB32);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const int sx = pointLeft ? kSize - 1 - x : x;
      const char c = hand ? kHandRight[y][sx] : ArrowRightAt(sx, y);
      image.setPixel(x, y, ColorOf(c));
    }
  }
  return image;
}

}  // namespace

QImage ButtonBitmap(TButtonImage image) {
  switch (image) {
    case biHandLeft:
      return Draw(true, true);
    case biHandRight:
      return Draw(true, false);
    case biArrowLeft:
      return Draw(false, true);
    case biArrowRight:
    default:
      return Draw(false, false);
  }
}

QIcon ButtonIcon(TButtonImage image) {
  QImage picture = ButtonBitmap(image).convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (picture.pixel(x, y) == kTransparentColor) picture.setPixel(x, y, qRgba(0, 0, 0, 0));
  return QIcon(QPixmap::fromImage(picture));
}

}  // namespace app
