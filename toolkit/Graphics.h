#pragma once
// Colours and fonts as plain data: the core never draws, it only stores
// and writes these values; the Qt layer turns them into QColor and QFont.

#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/Classes.h"

/// A colour: either RGB stored as $00BBGGRR, or a system colour
/// ($FF000000 | index) resolved through a fixed table.
using TColor = int32_t;

inline constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);

/// Indices of the system colours (the platform's COLOR_* numbers).
enum TSysColorIndex : int32_t {
  COLOR_SCROLLBAR = 0,
  COLOR_BACKGROUND = 1,
  COLOR_ACTIVECAPTION = 2,
  COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4,
  COLOR_WINDOW = 5,
  COLOR_WINDOWFRAME = 6,
  COLOR_MENUTEXT = 7,
  COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9,
  COLOR_ACTIVEBORDER = 10,
  COLOR_INACTIVEBORDER = 11,
  COLOR_APPWORKSPACE = 12,
  COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_INACTIVECAPTIONTEXT = 19,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
  COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24,
  COLOR_HOTLIGHT = 26,
  COLOR_GRADIENTACTIVECAPTION = 27,
  COLOR_GRADIENTINACTIVECAPTION = 28,
  COLOR_MENUHILIGHT = 29,
  COLOR_MENUBAR = 30,
  COLOR_ENDCOLORS = 30
};

constexpr TColor SysColor(int32_t index) { return clSystemColor | index; }

inline constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
inline constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
inline constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
inline constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
inline constexpr TColor clMenu = SysColor(COLOR_MENU);
inline constexpr TColor clWindow = SysColor(COLOR_WINDOW);
inline constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
inline constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
inline constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
inline constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
inline constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
inline constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
inline constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
inline constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
inline constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
inline constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
inline constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
inline constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
inline constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
inline constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
inline constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
inline constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
inline constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
inline constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
inline constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

constexpr bool IsSystemColor(TColor color) {
  return (static_cast<uint32_t>(color) & 0xFF000000u) == 0xFF000000u;
}

/// RGB as $00BBGGRR; a system colour is looked up in the fixed table of
/// this platform's default scheme (an unknown index gives black).
TColor ColorToRGB(TColor color);
inline constexpr uint8_t GetRValue(TColor rgb) { return static_cast<uint8_t>(rgb & 0xFF); }
inline constexpr uint8_t GetGValue(TColor rgb) { return static_cast<uint8_t>((rgb >> 8) & 0xFF); }
inline constexpr uint8_t GetBValue(TColor rgb) { return static_cast<uint8_t>((rgb >> 16) & 0xFF); }
inline constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

/// Character sets of fonts (the platform's numbers).
inline constexpr int ANSI_CHARSET = 0;
inline constexpr int DEFAULT_CHARSET = 1;
inline constexpr int SYMBOL_CHARSET = 2;
inline constexpr int SHIFTJIS_CHARSET = 128;
inline constexpr int OEM_CHARSET = 255;

enum class TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

/// A small set of font styles.
class TFontStyles {
 public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
    for (TFontStyle s : styles) FBits |= static_cast<uint8_t>(s);
  }
  constexpr bool Contains(TFontStyle s) const { return (FBits & static_cast<uint8_t>(s)) != 0; }
  constexpr void Include(TFontStyle s) { FBits |= static_cast<uint8_t>(s); }
  constexpr void Exclude(TFontStyle s) { FBits &= static_cast<uint8_t>(~static_cast<uint8_t>(s)); }
  constexpr uint8_t Bits() const { return FBits; }
  constexpr bool Empty() const { return FBits == 0; }
  friend constexpr bool operator==(TFontStyles a, TFontStyles b) = default;

 private:
  uint8_t FBits = 0;
};

enum class TFontPitch { fpDefault, fpVariable, fpFixed };

inline constexpr int ScreenPixelsPerInch = 96;

/// A font as plain data with a change notice. Size (points) and Height
/// (pixels, negative for a character height) are two views of one value,
/// at 96 pixels per inch.
class TFont : public TPersistent {
 public:
  TFont() = default;
  TFont(const TFont& other) : TPersistent() { AssignFont(other); }
  TFont& operator=(const TFont& other) {
    Assign(other);
    return *this;
  }
  std::string ClassName() const override { return "TFont"; }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);
  int Size() const;
  void SetSize(int points);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  int Charset() const { return FCharset; }
  void SetCharset(int charset);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch pitch);

  void Assign(const TPersistent& source) override;
  bool Equals(const TFont& other) const;

  TNotifyEvent OnChange;

 protected:
  virtual void Changed();

 private:
  void AssignFont(const TFont& other);

  std::string FName = "MS Sans Serif";
  int FHeight = -11;  // 8 points
  int FCharset = DEFAULT_CHARSET;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontPitch FPitch = TFontPitch::fpDefault;
};
