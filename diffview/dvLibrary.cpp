#include "diffview/dvLibrary.h"

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

TColor dvTintedColor(TColor base, TColor tint) {
  const TColor b = ColorToRGB(base);
  const TColor t = ColorToRGB(tint);
  auto mix = [](uint8_t from, uint8_t to) { return static_cast<uint8_t>((2 * from + to + 1) / 3); };
  return RGB(mix(GetRValue(b), GetRValue(t)), mix(GetGValue(b), GetGValue(t)),
             mix(GetBValue(b), GetBValue(t)));
}

bool dvIsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int extra = 0;
    unsigned min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3, min = 0x10000;
    } else {
      return false;
    }
    if (end - p <= extra) return false;
    unsigned code = c & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) return false;
      code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    p += extra + 1;
  }
  return true;
}

QString dvTextToQString(std::string_view text) {
  if (dvIsValidUtf8(text)) return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return dvToQString(text);
}

QString dvToQString(std::string_view text) {
  // Stateless: every call starts fresh, so one decoder serves all lines.
  static QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
  if (!decoder.isValid()) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  return decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}
