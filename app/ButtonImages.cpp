#include "app/ButtonImages.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <cstdlib>

// Outside every namespace: the macro declares the resource's function where it stands.
static bool RegisterAppIcons() {
  Q_INIT_RESOURCE(icons);
  return true;
}

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

namespace {

// Draws an SVG at the size asked for, mirrored if need be. Qt asks for the
// size in device pixels, so a scaled screen gets a sharp picture rather than
// a magnified bitmap.
class TSvgIconEngine : public QIconEngine {
 public:
  TSvgIconEngine(QByteArray svg, bool mirrored) : FSvg(std::move(svg)), FMirrored(mirrored) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    QSvgRenderer renderer(FSvg);
    painter->save();
    if (FMirrored) {
      painter->translate(rect.left() + rect.right() + 1, 0);
      painter->scale(-1, 1);
    }
    if (mode == QIcon::Disabled) painter->setOpacity(0.4);
    renderer.render(painter, rect);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    }
    return QPixmap::fromImage(image);
  }

  QIconEngine* clone() const override { return new TSvgIconEngine(FSvg, FMirrored); }

 private:
  QByteArray FSvg;
  bool FMirrored;
};

QByteArray ResourceBytes(const QString& name) {
  // The pictures are compiled into the library; a static library needs
  // its resources brought in by name.
  static const bool registered = RegisterAppIcons();
  (void)registered;
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QIcon SvgIcon(const QString& name, bool mirrored) {
  return QIcon(new TSvgIconEngine(ResourceBytes(name), mirrored));
}

}  // namespace

QIcon ButtonIcon(TButtonImage image) {
  switch (image) {
    case biHandLeft:
      return SvgIcon(QStringLiteral(":/icons/hand-right.svg"), true);
    case biHandRight:
      return SvgIcon(QStringLiteral(":/icons/hand-right.svg"), false);
    case biArrowLeft:
      return SvgIcon(QStringLiteral(":/icons/arrow-right.svg"), true);
    case biArrowRight:
    default:
      return SvgIcon(QStringLiteral(":/icons/arrow-right.svg"), false);
  }
}

QIcon ProgramIcon() { return SvgIcon(QStringLiteral(":/icons/program.svg"), false); }

}  // namespace app
