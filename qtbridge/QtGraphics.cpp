#include "qtbridge/QtGraphics.h"

#include <QFontInfo>

#include "qtbridge/QtText.h"

namespace qtbridge {

QColor ToQColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& color) {
  return RGB(static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
             static_cast<uint8_t>(color.blue()));
}

TFont ToTFont(const QFont& qfont) {
  TFont font;
  font.SetName(QStringToAnsi(qfont.family()));
  const int points = qfont.pointSize() > 0 ? qfont.pointSize() : qfont.pixelSize() * 72 / 96;
  if (points > 0) font.SetSize(points);
  font.SetPitch(QFontInfo(qfont).fixedPitch() ? TFontPitch::fpFixed : TFontPitch::fpVariable);
  return font;
}

}  // namespace qtbridge
