#include "qtbridge/QtGraphics.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <cmath>
#include <optional>

#include "qtbridge/QtText.h"

namespace qtbridge {

namespace {

// The palette role that plays the part of each system colour.
std::optional<QPalette::ColorRole> RoleOf(int index) {
  switch (index) {
    case COLOR_WINDOW:
      return QPalette::Base;
    case COLOR_WINDOWTEXT:
      return QPalette::Text;
    case COLOR_BTNFACE:
    case COLOR_MENU:
    case COLOR_MENUBAR:
      return QPalette::Button;
    case COLOR_BTNTEXT:
    case COLOR_MENUTEXT:
      return QPalette::ButtonText;
    case COLOR_HIGHLIGHT:
    case COLOR_MENUHILIGHT:
      return QPalette::Highlight;
    case COLOR_HIGHLIGHTTEXT:
      return QPalette::HighlightedText;
    case COLOR_BTNSHADOW:
      return QPalette::Dark;
    case COLOR_BTNHIGHLIGHT:
      return QPalette::Light;
    case COLOR_3DLIGHT:
      return QPalette::Midlight;
    case COLOR_3DDKSHADOW:
      return QPalette::Shadow;
    case COLOR_GRAYTEXT:
      return QPalette::PlaceholderText;
    case COLOR_INFOTEXT:
      return QPalette::ToolTipText;
    case COLOR_INFOBK:
      return QPalette::ToolTipBase;
    case COLOR_HOTLIGHT:
      return QPalette::Link;
    case COLOR_APPWORKSPACE:
      return QPalette::Mid;
    default:
      return std::nullopt;
  }
}

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& color) {
  const QColor rgb = color.toRgb();
  return 0.2126 * Linear(rgb.red()) + 0.7152 * Linear(rgb.green()) + 0.0722 * Linear(rgb.blue());
}

QColor Mixed(const QColor& from, const QColor& to, double share) {
  auto mix = [share](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * share)); };
  return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()));
}

}  // namespace

QColor ToQColor(TColor color) {
  if (IsSystemColor(color) && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (const auto role = RoleOf(color & 0xFF)) return QGuiApplication::palette().color(*role);
  }
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor ResolveColor(TColor color) { return IsSystemColor(color) ? FromQColor(ToQColor(color)) : color; }

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

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& wanted, const QColor& background, double ratio) {
  const QColor opaque = wanted.toRgb();
  if (ContrastRatio(opaque, background) >= ratio) return opaque;
  const QColor black(0, 0, 0);
  const QColor white(255, 255, 255);
  const QColor extreme = ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
  // The contrast grows steadily on the way to the extreme: find the nearest
  // step that is enough.
  double low = 0.0;
  double high = 1.0;
  for (int step = 0; step < 16; ++step) {
    const double middle = (low + high) / 2;
    (ContrastRatio(Mixed(opaque, extreme, middle), background) >= ratio ? high : low) = middle;
  }
  return Mixed(opaque, extreme, high);
}

bool IsDarkPalette(const QPalette& palette) {
  return Luminance(palette.color(QPalette::Base)) < Luminance(palette.color(QPalette::Text));
}

}  // namespace qtbridge
