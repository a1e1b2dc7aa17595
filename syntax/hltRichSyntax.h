#pragma once
// Base of the source-to-RTF converters: the RTF prologue (font table,
// colour table, paragraph defaults), the conversion loop and the epilogue.
// A language class supplies the scanner (Next/GetEol/GetToken/GetTokenKind),
// the escaping and formatting of one token and its default colours.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Streams.h"

/// What the platform reports about a realised font: its character set and
/// its pitch-and-family byte (family class in the high four bits).
struct ThltFontMetrics {
  int Charset = ANSI_CHARSET;
  int PitchAndFamily = 0;
};

/// Family classes (the high four bits of the pitch-and-family byte).
inline constexpr int FF_DONTCARE = 0x00;
inline constexpr int FF_ROMAN = 0x10;
inline constexpr int FF_SWISS = 0x20;
inline constexpr int FF_MODERN = 0x30;
inline constexpr int FF_SCRIPT = 0x40;
inline constexpr int FF_DECORATIVE = 0x50;
inline constexpr int FIXED_PITCH = 0x01;
inline constexpr int VARIABLE_PITCH = 0x02;

/// Asks the platform for a font's metrics. The core has no display, so the
/// default answers from a fixed table of the usual system fonts; the Qt layer
/// may install a provider that asks the real font database.
using ThltFontMetricsProvider = std::function<ThltFontMetrics(const TFont& font)>;

/// The deterministic default: "Courier New" is a fixed-pitch modern ANSI font,
/// "Arial" a swiss one, and so on; unknown names fall back on the font's pitch.
ThltFontMetrics DefaultFontMetrics(const TFont& font);
/// Replaces the provider used by SetFonts; an empty function restores the default.
void SetFontMetricsProvider(ThltFontMetricsProvider provider);
ThltFontMetrics GetFontMetrics(const TFont& font);

/// The converter base. A bare instance has no scanner: it converts every text
/// to the prologue and the epilogue alone.
class ThltRTFSyntax : public TObject {
 public:
  ThltRTFSyntax();
  ~ThltRTFSyntax() override = default;
  ThltRTFSyntax(const ThltRTFSyntax&) = delete;
  ThltRTFSyntax& operator=(const ThltRTFSyntax&) = delete;
  std::string ClassName() const override { return "ThltRTFSyntax"; }

  /// Makes a token safe inside RTF (the base leaves it unchanged).
  virtual void EscapeToken(std::string& token);
  /// One token as RTF: "\cf<Kind> <Token>" in the base.
  virtual std::string FormatToken(int kind, const std::string& token);
  virtual void Next() {}
  virtual bool GetEol() { return true; }
  virtual std::string GetToken() { return std::string(); }
  /// Colour index of the current token: 0 is black, k the k-th colour of SetColors.
  virtual int GetTokenKind() { return 0; }
  /// "\redR\greenG\blueB;" of the colour, system colours resolved to RGB.
  static std::string ColorToRTF(TColor color);

  /// Starts scanning Text; carried scanner state (an open comment) survives.
  virtual void SetLine(const std::string& text, int lineNumber);
  void SetText(const std::string& text) { SetLine(text, 1); }
  /// One font-table entry per font, numbered from 0; the body uses font 0.
  void SetFonts(const std::vector<TFont>& fonts);
  /// Replaces the colour table: black first, then the given colours.
  void SetColors(const std::vector<TColor>& colors);
  /// Replaces the colour table with one already written ("{\\colortbl...}").
  void SetColorTable(std::string table) { FColorTable = std::move(table); }
  /// Writes the RTF document for the current text at the stream's position:
  /// the prologue, one piece per token with "\par " before every line end
  /// (CR LF, CR or LF), and the closing brace. The scan is used up; SetText
  /// again before converting again. Stream errors propagate.
  void ConvertToStream(TStream& stream);
  /// The same document as a string.
  std::string GetRTF();
  /// Installs the language's default colour list.
  virtual void SetDefaultColors() {}

  const std::string& Header() const { return FHeader; }
  const std::string& FontTable() const { return FFontTable; }
  const std::string& ColorTable() const { return FColorTable; }
  const std::string& BodyStart() const { return FBodyStart; }
  int CodePage() const { return FCodePage; }
  void SetCodePage(int codePage) { FCodePage = codePage; }
  /// Everything written before the first token (header to "\f0 ").
  std::string Prologue() const;

 protected:
  /// "\cf<Kind> " + Before + Token + After, built in one allocation.
  static std::string Piece(int kind, std::string_view before, const std::string& token,
                           std::string_view after);

  std::string FHeader;
  std::string FFontTableEnd;
  std::string FBodyStart;
  std::string FColorTable;
  std::string FFontTable;
  int FCodePage = 1252;
  /// Expected size of the RTF of the current text (0: unknown), so that the
  /// output can be reserved at once instead of growing by copies.
  size_t FSizeHint = 0;

 private:
  /// The conversion loop: pieces go to Out, which is handed to Stream in
  /// blocks (or, without a stream, keeps everything).
  void Convert(std::string& out, TStream* stream);
};
