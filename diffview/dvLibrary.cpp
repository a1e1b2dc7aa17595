#include "diffview/dvLibrary.h"

#include "qtbridge/QtGraphics.h"
#include "qtbridge/QtText.h"

int dvEnsureRange(int value, int min, int max) {
  if (min > max) throw EdvRangeError(Format("%d is not less than or equal to %d", min, max));
  if (value < min) return min;
  if (value > max) return max;
  return value;
}

QColor dvColor(TColor color) { return qtbridge::ToQColor(color); }

TColor dvTintedColor(TColor base, TColor tint) {
  const TColor b = qtbridge::ResolveColor(base);
  const TColor t = qtbridge::ResolveColor(tint);
  auto mix = [](uint8_t from, uint8_t to) { return static_cast<uint8_t>((2 * from + to + 1) / 3); };
  return RGB(mix(GetRValue(b), GetRValue(t)), mix(GetGValue(b), GetGValue(t)),
             mix(GetBValue(b), GetBValue(t)));
}

bool dvIsValidUtf8(std::string_view text) { return qtbridge::IsValidUtf8(text); }

QString dvTextToQString(std::string_view text) { return qtbridge::CoreTextToQString(text); }

QString dvToQString(std::string_view text) { return qtbridge::AnsiToQString(text); }
