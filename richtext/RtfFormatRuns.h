#pragma once
// Formatting of RTF text per plain-text line, and what changed between two
// bodies whose plain text is the same. Two topics can differ only in how
// their text looks (a word made bold, a font or colour swapped, a paragraph
// centred); the line difference sees equal text, so these changes are told
// here in words, per line.
//
// The lines are exactly those of RtfToPlainTextLines (same count, same
// order, same UTF-8 text). Formats are resolved to what is shown: font
// names instead of font numbers, RGB instead of colour-table indexes, so
// that RTF spelt differently but looking alike compares equal.
// Fields' link targets are not reported by the reader, so links are not
// compared.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "richtext/RtfListener.h"
#include "richtext/RtfPlainText.h"

/// Character format as shown.
struct TRunFormat {
  std::string FontName;  // UTF-8; empty when the document declares no font
  int SizeHalfPoints = 24;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strike = false;
  uint8_t Caps = 0;                    // 0 normal, 1 capitals, 2 small capitals
  int8_t VertAlign = 0;                // 0 baseline, 1 superscript, 2 subscript
  std::optional<uint32_t> Color;       // 0xRRGGBB; std::nullopt: automatic
  std::optional<uint32_t> Background;  // 0xRRGGBB; std::nullopt: none
  friend bool operator==(const TRunFormat&, const TRunFormat&) = default;
};

/// Bytes [Begin, End) of a line's UTF-8 text in one format.
struct TFormatRun {
  size_t Begin = 0;
  size_t End = 0;
  TRunFormat Format;
};

/// One plain-text line with its runs (they cover the text in order, none is
/// empty, neighbours differ in format) and its paragraph's format; the lines
/// a \line splits a paragraph into share the paragraph's format.
struct TFormattedLine {
  std::string Text;
  std::vector<TFormatRun> Runs;
  TRtfParaFormat Para;
};

/// Collects TFormattedLine's, splitting lines exactly as
/// TRtfPlainTextListener does.
class TRtfFormatRunsListener : public TRtfListener {
 public:
  explicit TRtfFormatRunsListener(TCodePageDecoder decoder);
  ~TRtfFormatRunsListener() override;
  TRtfFormatRunsListener(const TRtfFormatRunsListener&) = delete;
  TRtfFormatRunsListener& operator=(const TRtfFormatRunsListener&) = delete;

  void Start(const TRtfTables& tables) override;
  void Text(std::string_view bytes, int codePage, const TRtfCharFormat& format) override;
  void Unicode(char32_t codePoint, const TRtfCharFormat& format) override;
  void LineBreak(const TRtfCharFormat& format) override;
  void ParagraphEnd(const TRtfParaFormat& format) override;
  void Finish(const TRtfParaFormat& format) override;

  /// The lines, complete after Finish.
  const std::vector<TFormattedLine>& Lines() const { return FLines; }
  std::vector<TFormattedLine> TakeLines() { return std::move(FLines); }

 private:
  struct TFontName {
    std::string Raw;  // the name's bytes when it was decoded
    std::string Utf8;
  };
  void StartLineIfPending();
  void PushCurrent();
  void Append(std::string_view utf8, const TRtfCharFormat& format);
  const TRunFormat& Resolve(const TRtfCharFormat& format);

  TCodePageDecoder FDecode;
  const TRtfTables* FTables = nullptr;
  std::vector<TFormattedLine> FLines;
  TFormattedLine FCurrent;
  size_t FParaFirst = 0;  // first line of the paragraph being read
  bool FPending = false;  // a paragraph ended; FCurrent is still its last line
  std::string FScratch;
  bool FHaveLast = false;
  TRtfCharFormat FLastChr;
  TRunFormat FLastResolved;
  std::unordered_map<int, TFontName> FFontNames;
};

/// The formatted lines of a stream's bytes, the same lines as
/// RtfToPlainTextLines(bytes, decode); text that is not RTF gets one run
/// in the default format per line.
std::vector<TFormattedLine> RtfToFormattedLines(std::string_view bytes, const TCodePageDecoder& decode);

/// One change of a line's formatting, in English (UTF-8), e.g.
/// "bold added: 'Save'", "font Arial → Tahoma: 'Title'",
/// "alignment left → centre", "left indent 0 pt → 36 pt".
/// Lengths are told in points. Quoted text is cut after 40 characters.
struct TFormatChangeItem {
  std::string Description;
  bool Paragraph = false;  // a change of the line's paragraph, not of characters
  size_t Begin = 0;        // for character changes: bytes [Begin, End) of the text
  size_t End = 0;
};

/// What changed in one line's formatting; paragraph changes come first,
/// then character changes in text order.
struct TFormatChange {
  bool Differs = false;
  std::vector<TFormatChangeItem> Items;
};

/// Compares the formatting of two lines whose texts are equal (were they
/// not, only the bytes both have are compared). Linear in the line's length.
TFormatChange CompareLineFormatting(const TFormattedLine& line1, const TFormattedLine& line2);

/// Line i against line i, for lines the caller has aligned; the result has
/// min(lines1.size(), lines2.size()) entries.
std::vector<TFormatChange> CompareFormatting(const std::vector<TFormattedLine>& lines1,
                                             const std::vector<TFormattedLine>& lines2);

/// Reads both bodies and compares line i with line i; std::nullopt when their
/// plain texts are not equal line by line (then the text difference tells).
std::optional<std::vector<TFormatChange>> CompareRtfFormatting(std::string_view rtf1, std::string_view rtf2,
                                                               const TCodePageDecoder& decode);

/// The first MaxItems descriptions joined with "; ", then "; and N more".
std::string FormatChangeSummary(const TFormatChange& change, size_t maxItems = 6);
