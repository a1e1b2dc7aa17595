#include "toolkit/Graphics.h"
#include "toolkit/StoreChanged.h"

namespace {

// The default colour scheme of the platform the files come from, so that
// a system colour written into RTF or painted always gives the same RGB.
constexpr TColor kSystemColors[COLOR_ENDCOLORS + 1] = {
    RGB(200, 200, 200),  // scroll bar
    RGB(0, 0, 0),        // background
    RGB(153, 180, 209),  // active caption
    RGB(191, 205, 219),  // inactive caption
    RGB(240, 240, 240),  // menu
    RGB(255, 255, 255),  // window
    RGB(100, 100, 100),  // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(0, 0, 0),        // caption text
    RGB(180, 180, 180),  // active border
    RGB(244, 247, 252),  // inactive border
    RGB(171, 171, 171),  // application workspace
    RGB(0, 120, 215),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(240, 240, 240),  // button face
    RGB(160, 160, 160),  // button shadow
    RGB(109, 109, 109),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(0, 0, 0),        // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(105, 105, 105),  // 3-D dark shadow
    RGB(227, 227, 227),  // 3-D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(0, 0, 0),        // (unused index 25)
    RGB(0, 102, 204),    // hot light
    RGB(185, 209, 234),  // gradient active caption
    RGB(215, 228, 242),  // gradient inactive caption
    RGB(0, 120, 215),    // menu highlight
    RGB(240, 240, 240),  // menu bar
};

int MulDiv(int number, int numerator, int denominator) {
  const long long product = static_cast<long long>(number) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

TColor ColorToRGB(TColor color) {
  if (IsSystemColor(color)) {
    const int index = color & 0xFF;
    return index <= COLOR_ENDCOLORS ? kSystemColors[index] : clBlack;
  }
  return color;
}

void TFont::SetName(const std::string& name) {
  if (name.empty() || FName == name) return;
  FName = name;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, ScreenPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch, 72)); }

void TFont::SetHeight(int height) {
  if (StoreChanged(FHeight, height)) Changed();
}

void TFont::SetCharset(int charset) {
  if (StoreChanged(FCharset, charset)) Changed();
}

void TFont::SetColor(TColor color) {
  if (StoreChanged(FColor, color)) Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (StoreChanged(FStyle, style)) Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (StoreChanged(FPitch, pitch)) Changed();
}

void TFont::AssignFont(const TFont& other) {
  FName = other.FName;
  FHeight = other.FHeight;
  FCharset = other.FCharset;
  FColor = other.FColor;
  FStyle = other.FStyle;
  FPitch = other.FPitch;
}

void TFont::Assign(const TPersistent& source) {
  if (const auto* font = dynamic_cast<const TFont*>(&source)) {
    if (font != this) {
      AssignFont(*font);
      Changed();
    }
    return;
  }
  TPersistent::Assign(source);
}

bool TFont::Equals(const TFont& other) const {
  return FName == other.FName && FHeight == other.FHeight && FCharset == other.FCharset &&
         FColor == other.FColor && FStyle == other.FStyle && FPitch == other.FPitch;
}

void TFont::Changed() {
  if (OnChange) OnChange(this);
}
