#pragma once
// The RTF reader: one flat loop over the tokenizer's tokens with the group
// state kept on an explicit stack, so that deep nesting cannot exhaust the
// call stack. It feeds a TRtfListener and never throws on content:
// malformed input yields what could be read.
//
// Choices where RTF readers differ (kept in step with the rich-text view):
// - hidden text (\v) is neither shown nor part of the plain text;
// - {\pntext} is left out and the label is rebuilt from \pn (it is not part of
//   the text); {\listtext} is shown as text, since \ls lists are not rebuilt;
// - fields and objects show their result; pictures are handed on, of any
//   format (they are no part of the plain text); footnotes, headers and
//   footers show nothing;
// - a table row is one paragraph, its cells separated by a tab (the
//   paragraph end before a \cell is the cell's end, not a line of its own);
//   nested rows likewise, before the row that holds them; \line starts a
//   new plain-text line inside its paragraph; \page and \sect end the
//   paragraph they stand in and add nothing else;
// - footnote reference marks (\chftn) are not shown, as the notes are not;
// - \- (optional hyphen) is dropped, \~ is U+00A0, \_ is U+2011;
// - an unmatched '}' is ignored and reading goes on, so text after it (even
//   after the group that should close the document) is still shown: an
//   unbalanced brace inside a body must not cut off the rest.
// Bytes a code page leaves undefined become U+FFFD in the Qt-free plain text;
// the view decodes with Qt, whose tables may differ for exactly those bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/RtfListener.h"

class TRtfTokenizer;
struct TRtfToken;

class TRtfReader {
 public:
  /// Groups nested deeper than this keep the text but share their parent's
  /// state.
  static constexpr size_t kMaxDepth = 1000;

  /// True when Bytes are RTF: they start with "{\rtf" (or "{\urtf").
  static bool IsRtf(std::string_view bytes);

  /// Reads Bytes and feeds Listener, from Start to Finish.
  void Read(std::string_view bytes, TRtfListener& listener);

  /// The font and colour tables of the last document read.
  const TRtfTables& Tables() const { return FTables; }

  // Where the reader stands, for a listener that maps what it is told back
  // to the bytes (valid inside the listener's calls).
  /// Bytes [TokenBegin, TokenEnd) of the token being read.
  size_t TokenBegin() const { return FTokenBegin; }
  size_t TokenEnd() const { return FTokenEnd; }
  /// Bytes of the token that ended the paragraph or line being reported
  /// (a \par held back in a table is reported later, with its own bytes).
  size_t BreakBegin() const { return FBreakBegin; }
  size_t BreakEnd() const { return FBreakEnd; }
  /// Groups open before the token being read (the document's own included).
  size_t Depth() const { return FStack.size() + FOverflow; }
  /// True while text read now would be shown (not in a table, picture or
  /// other destination).
  bool InShownText() const { return FState.Dest == TDest::Normal; }
  /// The formats of the open groups, outermost first; the last is in force.
  std::vector<TRtfFormatState> StateStack() const;

 private:
  enum class TDest : uint8_t { Normal, Skip, FontTable, ColorTable, Pn, Upr, Pict };
  struct TState {
    TDest Dest = TDest::Normal;
    TRtfCharFormat Chr;
    TRtfParaFormat Para;
    int Uc = 1;
  };

  void GroupStart();
  void GroupEnd();
  void ControlWord(const TRtfToken& token, TRtfTokenizer& tokenizer);
  void ControlSymbol(char symbol);
  void TextBytes(std::string_view bytes);
  void AppendText(std::string_view bytes);
  void EmitUnicode(char32_t codePoint);
  void EmitParagraphEnd();
  void BeforeContent();
  void FlushRun();
  void FlushPendingSurrogate();
  void FontTableText(std::string_view bytes);
  void ColorTableText(std::string_view bytes);
  void PictureText(std::string_view bytes);

  TRtfListener* FListener = nullptr;
  size_t FTokenBegin = 0, FTokenEnd = 0;
  size_t FBreakBegin = 0, FBreakEnd = 0;
  size_t FHeldBreakBegin = 0, FHeldBreakEnd = 0;
  TRtfTables FTables;
  TState FState;
  std::vector<TState> FStack;
  size_t FOverflow = 0;     // groups opened past kMaxDepth
  int FSkipUnits = 0;       // \uc fallback units still to skip
  bool FIgnorable = false;  // the last token was \*
  bool FParaHasContent = false;
  bool FFinalParaSet = false;
  TRtfParaFormat FFinalPara;  // format when the outermost group closed
  TRtfTabKind FNextTabKind = TRtfTabKind::Left;
  char16_t FPendingHigh = 0;   // high surrogate waiting for its partner
  bool FLastWasHexCr = false;  // the last token was \'0d
  // Tables: the tabs owed for cells ended since the last text, and a
  // paragraph end inside a table held back until it is clear that no \cell
  // follows (which ends the paragraph itself).
  int FCellTabs = 0;
  bool FInRow = false;  // since \trowd, until \row: cells may follow (also after a \pard)
  bool FHeldParEnd = false;
  TRtfParaFormat FHeldPara;
  // Text run collected while the format stays the same, across groups and
  // control words that change nothing shown: a character whose bytes a
  // writer split between two groups is decoded whole.
  std::string FRun;
  int FRunCodePage = 1252;
  TRtfCharFormat FRunFormat;
  // Font and colour table parsing.
  int FCurrentFont = 0;
  bool FFontNameDone = true;
  int FRed = 0, FGreen = 0, FBlue = 0;
  bool FColorHasValue = false;
  // The picture being read; pictures do not nest.
  TRtfPicture FPicture;
  int FPictureNibble = -1;     // a first hex digit waiting for its second
  bool FPictureShown = false;  // the picture stands where text is shown
};
