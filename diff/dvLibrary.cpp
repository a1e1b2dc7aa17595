#include "diff/dvLibrary.h"

#include <QStringDecoder>

int dvEnsureRange(int value, int min, int max) {
  if (min > max) throw EdvRangeError(Format("%d is not less than or equal to %d", min, max));
  if (value < min) return min;
  if (value > max) return max;
  return value;
}

QColor dvColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QString dvToQString(std::string_view text) {
  // Stateless: every call starts fresh, so one decoder serves all lines.
  static QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
  if (!decoder.isValid()) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}
