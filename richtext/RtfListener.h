#pragma once
// What the RTF reader hands on: character and paragraph formats, the font
// and colour tables, and the listener interface that receives text.
// Qt-free: text arrives as bytes together with the code page they are in,
// or as Unicode code points; decoding is the listener's business.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// Character format of a run of text, as RTF states it.
struct TRtfCharFormat {
  int Font = -1;            // font number (\f); -1: the document's default font
  int SizeHalfPoints = 24;  // \fs; RTF's default is 12 points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strike = false;
  bool Hidden = false;   // \v
  uint8_t Caps = 0;      // 0 normal, 1 \caps, 2 \scaps
  int8_t VertAlign = 0;  // 0 baseline, 1 superscript, 2 subscript
  int Color = 0;         // colour-table index; 0 (or out of range): automatic
  int Background = 0;    // colour-table index; 0: none
  friend bool operator==(const TRtfCharFormat&, const TRtfCharFormat&) = default;
};

enum class TRtfAlignment : uint8_t { Left, Center, Right, Justify };
enum class TRtfTabKind : uint8_t { Left, Center, Right, Decimal };

struct TRtfTabStop {
  int Position = 0;  // twips from the left margin
  TRtfTabKind Kind = TRtfTabKind::Left;
  friend bool operator==(const TRtfTabStop&, const TRtfTabStop&) = default;
};

/// Numbering of a paragraph built from \pn (the label is rebuilt, and the
/// literal \pntext is then left out).
enum class TRtfNumbering : uint8_t { None, Bullet, Decimal };

/// Paragraph format, as RTF states it (lengths in twips).
struct TRtfParaFormat {
  TRtfAlignment Alignment = TRtfAlignment::Left;
  int LeftIndent = 0;
  int RightIndent = 0;
  int FirstIndent = 0;
  int SpaceBefore = 0;
  int SpaceAfter = 0;
  bool InTable = false;
  TRtfNumbering Numbering = TRtfNumbering::None;
  std::vector<TRtfTabStop> Tabs;
  friend bool operator==(const TRtfParaFormat&, const TRtfParaFormat&) = default;
};

/// The formatting in force at a point of the text, as the reader tracks it:
/// what a text moved elsewhere needs to look as it did.
struct TRtfFormatState {
  TRtfCharFormat Chr;
  TRtfParaFormat Para;
  int Uc = 1;  // \uc: fallback units after each \uN
  friend bool operator==(const TRtfFormatState&, const TRtfFormatState&) = default;
};

/// One font-table entry.
struct TRtfFont {
  std::string Name;    // bytes in the font's own code page
  int Charset = -1;    // \fcharset; -1 when absent
  int CodePage = 0;    // \cpg, or derived from the charset; 0: the document's
  std::string Family;  // "roman", "swiss", "modern", ... ("nil" or empty: unknown)
};

/// The tables a document declares; they grow while the reader runs.
struct TRtfTables {
  std::unordered_map<int, TRtfFont> Fonts;
  /// Entries as 0x00RRGGBB; std::nullopt marks "automatic" (the empty entry).
  std::vector<std::optional<uint32_t>> Colors;
  int DefaultFont = 0;  // \deff
  int AnsiCodePage = 1252;

  /// The font for number Number, or the default font when it is not
  /// declared, or nullptr.
  const TRtfFont* FindFont(int number) const;
  /// The code page text in font Number is written in.
  int CodePageOf(int number) const;
  /// RGB of colour-table index Index, or std::nullopt for "automatic"
  /// (out of range, or the empty entry that usually comes first).
  std::optional<uint32_t> Color(int index) const;
};

/// Code page of the pseudo charset 2 (symbol fonts): bytes are shown as
/// Latin-1, except 0xB7, which is the bullet.
inline constexpr int kSymbolCodePage = 42;

/// The code page a \fcharset value selects; 0 when it selects none.
int CodePageOfCharset(int charset);

/// A picture embedded in the text (\pict).
struct TRtfPicture {
  enum TKind : uint8_t { Png, Jpeg, Other } Kind = Other;
  std::string Data;    // the picture file's bytes (from hex digits or \bin)
  std::string Blip;    // the format word of any other picture as written ("wmetafile8", "emfblip")
  int Width = 0;       // \picw: pixels, or hundredths of a millimetre for a metafile
  int Height = 0;      // \pich
  int WidthGoal = 0;   // twips; 0 when not given
  int HeightGoal = 0;  // twips; 0 when not given
  int ScaleX = 100;    // percent
  int ScaleY = 100;
};

struct TRtfToken;

/// Receives what the reader reads, in document order.
class TRtfListener {
 public:
  virtual ~TRtfListener() = default;
  /// Called before the reader reads each token (after Start). Listeners that
  /// map text back to its bytes ask the reader where it stands; the default
  /// ignores it.
  virtual void BeforeToken(const TRtfToken& token) { (void)token; }
  /// Called once before anything else; Tables stay valid until Finish.
  virtual void Start(const TRtfTables& tables) { (void)tables; }
  /// Bytes of text in code page CodePage (ASCII controls: only TAB).
  virtual void Text(std::string_view bytes, int codePage, const TRtfCharFormat& format) = 0;
  /// One character given as a Unicode code point.
  virtual void Unicode(char32_t codePoint, const TRtfCharFormat& format) = 0;
  /// A picture at this place in the text (of any format: one the view
  /// cannot draw stands as a placeholder); not part of the plain text.
  virtual void Picture(const TRtfPicture& picture, const TRtfCharFormat& format) {
    (void)picture;
    (void)format;
  }
  /// A line break inside the paragraph (\line).
  virtual void LineBreak(const TRtfCharFormat& format) = 0;
  /// The end of a paragraph with its format.
  virtual void ParagraphEnd(const TRtfParaFormat& format) = 0;
  /// The end of the data; Format is the format of the last paragraph.
  virtual void Finish(const TRtfParaFormat& format) = 0;
};
